#include "driver/run_settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

bool Readable(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = ::fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
  ::close(fd);
  return ok;
}

}  // namespace

std::string FindParameterFile() {
  const RunSettings& settings = Settings();
  if (settings.parameter_file.empty()) return {};
  if (Readable(settings.parameter_file)) return settings.parameter_file;
  for (const std::string& dir : settings.search_path) {
    std::string candidate = dir + "/" + settings.parameter_file;
    if (Readable(candidate)) return candidate;
  }
  return {};
}

}  // namespace tarvex
