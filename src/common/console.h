// Standard output and standard error for the whole program.
//
// Standard output is buffered for speed (reports can be long); anything
// written to standard error first flushes standard output, so the two streams
// keep the order in which the program produced them. Standard error is never
// buffered. When standard output is a terminal it is flushed at every line end.
// Tests can redirect both streams into strings with ConsoleCapture.
//
// An output file named "-" is written to standard output. Standard output then
// carries that file alone, byte for byte, and the report the analyzer prints
// (OutText, OutLine, OutBuffer) goes to standard error, in order with the
// warnings, so that a pipe receives a file it can read.
#pragma once

#include <string>
#include <string_view>

namespace tarvex {

// Appends text to standard output.
void OutText(std::string_view text);
// Appends text and a line end to standard output.
void OutLine(std::string_view text = {});
// The buffer of standard output, for writers that format in place. Call
// OutCommit() afterwards so that large buffers are written out.
std::string& OutBuffer();
void OutCommit();
// The output file name that stands for standard output.
inline constexpr std::string_view kStandardOutputName = "-";
// From now on standard output carries an output file: the report goes to
// standard error.
void GiveStandardOutputToFile();
// Writes bytes of the output file given standard output. Returns the error
// number of a failed write, or 0.
int WriteFileToStandardOutput(std::string_view text);
// Writes text to standard error (after flushing standard output).
void ErrText(std::string_view text);
// Writes text and a line end to standard error.
void ErrLine(std::string_view text = {});
// Every warning goes through here: one line on standard error (most begin
// with "Warning"), after what standard output holds so far; the work goes on.
void Warn(std::string_view line);
// Writes everything still buffered for standard output. It never throws: a
// failed write is remembered and later output to standard output dropped.
void FlushOut();
// After a failed write to standard output, prints "Error: cannot write
// standard output: <reason>" once and returns true.
bool ReportOutError();

// The status line: one line drawn on a terminal (the progress of a long job)
// that stands only until something else is printed. ShowStatus draws it at
// the start of the line over what it showed before; anything written to
// standard error, or to standard output on a terminal, erases it first, so
// warnings and errors are never garbled by it.
void ShowStatus(int fd, std::string_view text);
void EraseStatus();

// Redirects both streams into strings for the lifetime of the object.
class ConsoleCapture {
 public:
  ConsoleCapture();
  ~ConsoleCapture();
  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;
  const std::string& Out();
  const std::string& Err() const;
  void Clear();

 private:
  std::string out_;
  std::string err_;
};

}  // namespace tarvex
