#include "formats/gaussian_banner.h"

#include <sys/stat.h>

#include <string_view>

#include "common/line_reader.h"
#include "common/text.h"

namespace tarvex {
namespace {

// Link 0 writes "Entering Gaussian System" first; a batch system may put its
// own lines before it (the NIST logs of Gaussian 98 start with eight lines of
// the job script). A log from Windows (Gaussian 03W) begins with link 1, and
// its copyright line is the first mark of Gaussian. Other programs that write
// Gaussian-style files for viewers (xtb's g98.out) open with the link 0 line
// as Gaussian does, and are read as the logs they imitate.
constexpr size_t kBannerLines = 200;
constexpr size_t kBannerBytes = size_t{64} << 10;
constexpr std::string_view kLinkZero = "Entering Gaussian System";
constexpr std::string_view kCopyright = "Gaussian, Inc.";

}  // namespace

bool ShowsGaussianBanner(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if (IsCompressedName(path) && !LineReader::ReadsCompressed()) return false;
  LineReader reader;
  if (!reader.Open(path)) return false;
  std::string_view head = reader.Available(kBannerBytes);
  if (head.size() > kBannerBytes) head = head.substr(0, kBannerBytes);
  for (size_t line = 0; line < kBannerLines && !head.empty(); ++line) {
    const size_t end = head.find('\n');
    const std::string_view text = head.substr(0, end);
    if (TrimLeft(text).starts_with(kLinkZero) || text.find(kCopyright) != std::string_view::npos) return true;
    if (end == std::string_view::npos) break;
    head.remove_prefix(end + 1);
  }
  return false;
}

}  // namespace tarvex
