#include "formats/amber_names.h"

#include "common/text.h"

namespace tarvex {

std::string AlignAmberName(const std::string& name, std::string_view element) {
  if (element.size() != 1 || name.size() != 4) return name;
  const bool digit_last = element == "H" && IsDigit(name[3]);
  if (name[3] != ' ' && !digit_last) return name;
  std::string aligned(1, digit_last ? name[3] : ' ');
  aligned.append(name, 0, 3);
  return aligned;
}

std::string AmberNameAsWritten(const std::string& name, std::string_view element) {
  std::string written = name;
  if (element.size() == 1 && name.size() == 4 && (name[0] == ' ' || IsDigit(name[0]))) {
    written = name.substr(1) + name[0];
  }
  written.resize(TrimRight(written, " ").size());
  return written;
}

}  // namespace tarvex
