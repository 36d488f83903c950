// What every fuzz target shares: the input written to a file (the readers
// take paths), the console captured, and the process-wide state put back
// between runs.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "chemistry/parameters.h"
#include "common/console.h"
#include "common/exit.h"
#include "common/output_file.h"

namespace tarvex::fuzz {

// A file in the temporary directory holding the input, removed afterwards.
// `suffix` gives it the extension a reader may look at.
class InputFile {
 public:
  InputFile(const uint8_t* data, size_t size, const std::string& suffix) {
    std::string pattern = "/tmp/tarvex-fuzz-XXXXXX" + suffix;
    const int fd = ::mkstemps(pattern.data(), static_cast<int>(suffix.size()));
    if (fd < 0) return;
    size_t done = 0;
    while (done < size) {
      const ssize_t n = ::write(fd, data + done, size - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    ::close(fd);
    path_ = pattern;
  }
  ~InputFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Runs `work` as a command would: an error (ExitRequest) is an ordinary end;
// outputs, registry and captured text are dropped afterwards.
template <typename Work>
void RunQuietly(Work&& work) {
  {
    ConsoleCapture capture;
    try {
      work();
    } catch (const ExitRequest&) {
    }
  }
  DiscardOutputs();
  ResetParameterRegistry();
}

}  // namespace tarvex::fuzz
