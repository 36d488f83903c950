// Every way the process ends goes through here.
//
// An error prints its lines on standard error and throws ExitRequest; main
// catches it, so destructors run, buffered output is flushed in order and
// unfinished output files are removed. Help and version texts end the process
// the same way with status 0.
#pragma once

#include <initializer_list>
#include <string_view>

namespace tarvex {

class ExitRequest {
 public:
  explicit ExitRequest(int status) : status_(status) {}
  int Status() const { return status_; }

 private:
  int status_;
};

// Ends the process with the status (after unwinding to main).
[[noreturn]] void ExitWith(int status);
// Prints the line on standard error (control characters escaped) and ends
// the process with status 1.
[[noreturn]] void Fatal(std::string_view line);
[[noreturn]] void Fatal(std::initializer_list<std::string_view> lines);

}  // namespace tarvex
