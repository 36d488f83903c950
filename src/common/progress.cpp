#include "common/progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "common/console.h"
#include "common/numbers.h"

namespace tarvex {
namespace {

// The clock is read every `stride` calls; the stride doubles while the
// readings come closer than kQuickLooks and halves when they come further
// apart than kSlowLooks, so a loop of tiny frames reads it every few
// milliseconds instead of every frame.
constexpr std::chrono::milliseconds kQuickLooks{5};
constexpr std::chrono::milliseconds kSlowLooks{50};
constexpr uint32_t kMostStride = uint32_t{1} << 16;
constexpr double kBytesPerMegabyte = 1e6;

std::string_view WithoutDirectory(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

Progress::Progress(std::string_view name, uint64_t size, int fd, ProgressTiming timing)
    : name_(WithoutDirectory(name)), size_(size), fd_(fd), timing_(timing) {
  if (fd < 0 || !::isatty(fd)) return;
  const char* term = std::getenv("TERM");
  if (term && std::string_view(term) == "dumb") return;
  winsize window{};
  if (::ioctl(fd, TIOCGWINSZ, &window) == 0 && window.ws_col > 0) columns_ = window.ws_col;
  enabled_ = true;
  start_ = last_check_ = Clock::now();
  next_draw_ = start_ + timing_.delay;
}

Progress::~Progress() { Finish(); }

ProgressTiming& Progress::DefaultTiming() {
  static ProgressTiming timing;
  return timing;
}

void Progress::Finish() {
  if (drawn_) EraseStatus();
  enabled_ = false;
  drawn_ = false;
}

void Progress::Tick(long long frames, uint64_t bytes_read) {
  calls_ = 0;
  const Clock::time_point now = Clock::now();
  const Clock::duration gap = now - last_check_;
  if (gap < kQuickLooks && stride_ < kMostStride) {
    stride_ *= 2;
  } else if (gap > kSlowLooks && stride_ > 1) {
    stride_ /= 2;
  }
  last_check_ = now;
  if (now < next_draw_) return;
  ShowStatus(fd_, Line(frames, bytes_read, now));
  drawn_ = true;
  next_draw_ = now + timing_.interval;
}

// "traj.crd: 1200 frames, 85.3 MB/s, 42%", kept within the terminal's
// width (a wrapped line could not be rewritten in place): a long name loses
// its beginning first.
std::string Progress::Line(long long frames, uint64_t bytes_read, Clock::time_point now) const {
  const double seconds = std::chrono::duration<double>(now - start_).count();
  std::string counts = FormatInt(frames) + (frames == 1 ? " frame, " : " frames, ");
  AppendFixed(counts, seconds > 0.0 ? static_cast<double>(bytes_read) / kBytesPerMegabyte / seconds : 0.0, 0, 1);
  counts += " MB/s";
  if (size_ > 0) {
    const uint64_t percent = std::min(bytes_read, size_) * 100 / size_;
    counts += ", " + FormatInt(static_cast<long long>(percent)) + "%";
  }
  const size_t room = columns_ - 1;
  if (counts.size() + 2 >= room) return counts.substr(0, room);
  const size_t name_room = room - counts.size() - 2;
  std::string line;
  if (name_.size() <= name_room) {
    line = name_;
  } else if (name_room > 3) {
    line = "..." + name_.substr(name_.size() - (name_room - 3));
  }
  if (!line.empty()) line += ": ";
  return line + counts;
}

}  // namespace tarvex
