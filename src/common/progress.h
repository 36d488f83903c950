// The progress line of a long job: frames read so far, the read rate and,
// where the input's size is known, how much of it has been read.
//
// It is drawn only on a terminal (never into a pipe or a log file) and only
// once the job has run for a while, so short commands print nothing. It is
// one line rewritten in place on standard error through the console's status
// line (common/console.h): a warning or error erases it before it prints,
// and Finish, or the destructor on any way out, erases it at the end. It
// never touches standard output.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvex {

struct ProgressTiming {
  // How long a job runs before the line first appears.
  std::chrono::milliseconds delay{1000};
  // The least time between two drawings of the line.
  std::chrono::milliseconds interval{250};
};

class Progress {
 public:
  static constexpr int kStandardError = 2;
  static constexpr int kNoTerminal = -1;

  // `name` labels the line (its directory part is dropped); `size` is the
  // input's size in bytes, 0 when unknown (a pipe, a compressed file): the
  // line then shows no percentage. Nothing is drawn unless `fd` is a
  // terminal that understands cursor control (TERM is not "dumb").
  Progress(std::string_view name, uint64_t size, int fd, ProgressTiming timing);
  // With the process-wide timing.
  Progress(std::string_view name, uint64_t size, int fd = kStandardError) : Progress(name, size, fd, DefaultTiming()) {}
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // Cheap enough for every frame: the clock is read only every few calls,
  // fewer the faster the calls come.
  void Update(long long frames, uint64_t bytes_read) {
    if (enabled_ && ++calls_ >= stride_) Tick(frames, bytes_read);
  }
  // Erases the line; nothing is drawn afterwards.
  void Finish();

  // The timing of the lines made without one of their own: the analyzers'.
  // Tests shorten it to see a whole command's line without waiting.
  static ProgressTiming& DefaultTiming();

 private:
  using Clock = std::chrono::steady_clock;

  void Tick(long long frames, uint64_t bytes_read);
  std::string Line(long long frames, uint64_t bytes_read, Clock::time_point now) const;

  std::string name_;
  uint64_t size_;
  int fd_;
  ProgressTiming timing_;
  size_t columns_ = 80;
  bool enabled_ = false;
  bool drawn_ = false;
  uint32_t calls_ = 0;
  uint32_t stride_ = 1;
  Clock::time_point start_;
  Clock::time_point last_check_;
  Clock::time_point next_draw_;
};

}  // namespace tarvex
