#include "common/console.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "common/exit.h"
#include "common/printable.h"

namespace tarvex {
namespace {

constexpr size_t kFlushThreshold = 1 << 16;
// "\r" returns to the start of the line and ESC [ K clears to its end.
constexpr std::string_view kEraseLine = "\r\033[K";

struct ConsoleState {
  std::string out;
  std::string* capture_out = nullptr;
  std::string* capture_err = nullptr;
  int out_is_terminal = -1;
  int status_fd = -1;  // the terminal that shows a status line, -1 for none
  // The error of the first failed write to standard output (0: none), and
  // whether it has been reported. Once a write fails, later output is dropped.
  int out_error = 0;
  bool out_error_reported = false;
  // Standard output carries an output file ("-o -"): the report goes to
  // standard error.
  bool report_to_err = false;
};

ConsoleState& State() {
  static ConsoleState state;
  return state;
}

// The error number of a failed write, or 0.
int WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    text.remove_prefix(static_cast<size_t>(n));
  }
  return 0;
}

bool OutIsTerminal() {
  ConsoleState& s = State();
  if (s.out_is_terminal < 0) s.out_is_terminal = ::isatty(1) ? 1 : 0;
  return s.out_is_terminal == 1;
}

}  // namespace

void FlushOut() {
  ConsoleState& s = State();
  if (s.out.empty()) return;
  if (s.report_to_err) {
    std::string report;
    report.swap(s.out);
    ErrText(report);
    return;
  }
  if (s.capture_out) {
    s.capture_out->append(s.out);
  } else if (s.out_error == 0) {
    if (OutIsTerminal()) EraseStatus();
    s.out_error = WriteAll(1, s.out);
  }
  s.out.clear();
}

bool ReportOutError() {
  ConsoleState& s = State();
  if (s.out_error == 0) return false;
  if (!s.out_error_reported) {
    s.out_error_reported = true;
    ErrLine(std::string("Error: cannot write standard output: ") + std::strerror(s.out_error));
  }
  return true;
}

std::string& OutBuffer() { return State().out; }

void GiveStandardOutputToFile() {
  FlushOut();
  State().report_to_err = true;
}

int WriteFileToStandardOutput(std::string_view text) {
  ConsoleState& s = State();
  if (s.capture_out) {
    s.capture_out->append(text);
    return 0;
  }
  if (OutIsTerminal()) EraseStatus();
  return WriteAll(1, text);
}

// A failed write ends the command here, while the analyzer is still writing,
// rather than letting it fill a full disk in vain.
void OutCommit() {
  ConsoleState& s = State();
  if (s.out.size() >= kFlushThreshold || s.report_to_err)
    FlushOut();
  else if (!s.capture_out && !s.out.empty() && s.out.back() == '\n' && OutIsTerminal())
    FlushOut();
  if (s.out_error != 0 && ReportOutError()) throw ExitRequest(1);
}

void OutText(std::string_view text) {
  State().out.append(text);
  OutCommit();
}

void OutLine(std::string_view text) {
  std::string& out = State().out;
  out.append(text);
  out.push_back('\n');
  OutCommit();
}

void ErrText(std::string_view text) {
  FlushOut();
  EraseStatus();
  ConsoleState& s = State();
  if (s.capture_err) {
    s.capture_err->append(text);
  } else {
    WriteAll(2, text);  // nothing sensible can be reported about a broken error stream
  }
}

void ErrLine(std::string_view text) {
  std::string line;
  line.reserve(text.size() + 1);
  line.append(text);
  line.push_back('\n');
  ErrText(line);
}

void Warn(std::string_view line) { ErrLine(EscapeControls(line)); }

void ShowStatus(int fd, std::string_view text) {
  std::string line = "\r";
  line.append(text).append("\033[K");
  WriteAll(fd, line);
  State().status_fd = fd;
}

void EraseStatus() {
  ConsoleState& s = State();
  if (s.status_fd < 0) return;
  WriteAll(s.status_fd, kEraseLine);
  s.status_fd = -1;
}

ConsoleCapture::ConsoleCapture() {
  FlushOut();
  State().capture_out = &out_;
  State().capture_err = &err_;
}

// A capture ends what the command it watched set up: the report goes back
// to standard output.
ConsoleCapture::~ConsoleCapture() {
  FlushOut();
  State().capture_out = nullptr;
  State().capture_err = nullptr;
  State().report_to_err = false;
}

const std::string& ConsoleCapture::Out() {
  FlushOut();
  return out_;
}

const std::string& ConsoleCapture::Err() const { return err_; }

void ConsoleCapture::Clear() {
  FlushOut();
  out_.clear();
  err_.clear();
}

}  // namespace tarvex
