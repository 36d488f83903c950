#include "formats/amber_titles.h"

namespace tarvex {

AmberTitleSwitches& AmberTitlesWritten() {
  static AmberTitleSwitches switches;
  return switches;
}

}  // namespace tarvex
