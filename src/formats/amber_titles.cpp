#include "formats/amber_titles.h"

namespace tarvex {

AmberTitleSwitches& AmberTitlesWritten() {
  static AmberTitleSwitches switches;
  return switches;
}

void AppendTitleOnce(std::string& out, const std::string& title, bool& written) {
  if (written) return;
  out.append(title);
  out.push_back('\n');
  written = true;
}

}  // namespace tarvex
