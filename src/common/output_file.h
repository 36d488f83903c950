// Output files that never destroy what they replace.
//
// An output is written to a temporary file in the target's directory; when the
// whole command has finished without error, every completed output is renamed
// onto its target (CommitOutputs). A command that ends with an error removes its
// temporary files instead (DiscardOutputs), so existing files stay untouched,
// and an input named as the output is read whole before it is replaced.
//
// The name "-" is standard output: written as it comes, nothing to rename.
#pragma once

#include <string>
#include <string_view>

namespace tarvex {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates the temporary file beside `path`. False when the place cannot be
  // written (missing directory, no permission, the target is a directory).
  bool Open(const std::string& path);
  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }

  void Write(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= kFlushThreshold) Flush();
  }
  // The pending text, for formatting in place; call Commit() after appending.
  std::string& Buffer() { return buffer_; }
  void Commit() {
    if (buffer_.size() >= kFlushThreshold) Flush();
  }
  // Writes out the buffer and closes the temporary file; it is renamed onto the
  // target when the command ends successfully.
  void Close();

 private:
  static constexpr size_t kFlushThreshold = size_t{1} << 20;
  void Flush();
  bool WriteOut();
  void Withdraw();

  int fd_ = -1;
  int entry_ = -1;
  bool standard_output_ = false;
  std::string path_;
  std::string buffer_;
};

// For a file that a library writes itself by name (NetCDF): makes the
// temporary file beside `path` as OutputFile::Open does and returns its name,
// to be committed or discarded with the other outputs; a device or pipe is
// returned as it is. Empty when the place cannot be written; standard output
// ("-") ends the command with an error.
std::string OpenOutputForLibrary(const std::string& path);

// Gives the unfinished output written for `target` another target (as
// though it had been opened under that name). False when no output is
// pending for `target`.
bool RetargetOutput(const std::string& target, const std::string& new_target);
// Renames every finished output onto its target. Returns false (after printing
// why) when one could not be put in place.
bool CommitOutputs();
// Removes every temporary output file.
void DiscardOutputs();

}  // namespace tarvex
