#include "common/exit.h"

#include "common/console.h"
#include "common/printable.h"

namespace tarvex {

void ExitWith(int status) { throw ExitRequest(status); }

void Fatal(std::string_view line) {
  ErrLine(EscapeControls(line));
  throw ExitRequest(1);
}

void Fatal(std::initializer_list<std::string_view> lines) {
  for (std::string_view line : lines) ErrLine(EscapeControls(line));
  throw ExitRequest(1);
}

}  // namespace tarvex
