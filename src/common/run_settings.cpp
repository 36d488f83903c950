#include "common/run_settings.h"

namespace tarvex {

RunSettings& Settings() {
  static RunSettings settings;
  return settings;
}

std::vector<std::string> SplitSearchPath(std::string_view value) {
  std::string_view separators = value.find('\\') != std::string_view::npos ? ";" : ":;";
  std::vector<std::string> pieces;
  size_t start = 0;
  for (;;) {
    size_t cut = value.find_first_of(separators, start);
    if (cut == std::string_view::npos) {
      pieces.emplace_back(value.substr(start));
      return pieces;
    }
    pieces.emplace_back(value.substr(start, cut - start));
    start = cut + 1;
  }
}

std::string ProgramNameFrom(std::string_view argv0) {
  size_t slash = argv0.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? argv0 : argv0.substr(slash + 1));
}

}  // namespace tarvex
