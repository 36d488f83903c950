// Block-buffered reading of a text file as lines or white-space-separated
// tokens, with positions that can be remembered and returned to.
//
// Lines are handed out as views into the buffer, valid until the next read.
// "\n" and "\r\n" line ends are both accepted, and a last line without a line
// end is still a line. The file is read in large blocks, so memory does not
// grow with the file; a single line longer than kMaxLineLength ends the
// program with an error instead of exhausting memory.
//
// A file whose name ends in ".gz" is read through zlib, transparently: the
// lines, tokens and offsets are those of the uncompressed text. A damaged or
// cut-short compressed file ends the program with an error naming it, so a
// reader never sees a silently shortened file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct gzFile_s;

namespace tarvex {

// Whether a file name ends in ".gz" (in any case): read through zlib.
bool IsCompressedName(std::string_view path);

class LineReader {
 public:
  static constexpr size_t kMaxLineLength = size_t{64} << 20;

  LineReader() = default;
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Opens a regular file (or anything readable that is not a directory).
  bool Open(const std::string& path);
  // Whether the start of the file is text, judged on the first block read
  // (the read position stays): no NUL byte, and no more than a quarter of
  // the bytes anything but printable characters, white space or UTF-8. A
  // binary file (a NetCDF trajectory, an executable, /dev/urandom) read as
  // a text format would give lines of noise, or never end. When it is not
  // text, `reason` says why ("it holds a NUL byte (byte 17)").
  bool LooksLikeText(std::string& reason);
  // Ends the program with "Error: <path> is not a text file: <reason>."
  // unless the file looks like text.
  void RequireText();
  // The owner and permission bits of the open file (false when none is
  // open): what a file found by a search is judged by.
  bool OwnerAndMode(unsigned& uid, unsigned& mode) const;
  // Whether names ending in ".gz" can be read (zlib was built in).
  static bool ReadsCompressed();
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  const std::string& Path() const { return path_; }

  // The next line without its line end; false at the end of the file.
  bool ReadLine(std::string_view& line);
  // The next white-space-separated token, across line ends; false at the end.
  bool ReadToken(std::string_view& token);
  // True when no byte is left to read.
  bool AtEnd();
  // Byte offset of the next unread byte, and a return to such an offset.
  uint64_t Tell() const { return buffer_offset_ + pos_; }
  // A seek outside what is buffered on an input that cannot seek (a pipe,
  // FIFO or terminal) ends the program with an error naming it, unless the
  // reader keeps what it reads (KeepForSeeking).
  void Seek(uint64_t offset);
  void Rewind() { Seek(0); }
  // For readers that go back over the file: on an input that cannot seek,
  // everything read from now on stays in memory, so that any offset since
  // the opening can be returned to. Regular files are unaffected.
  void KeepForSeeking() { keep_all_ = !seekable_; }
  // Lines handed out by ReadLine since the file was opened or rewound to 0.
  uint64_t LineNumber() const { return line_number_; }
  // The most bytes the file can give, when known, else 0: the size of a
  // regular file, and for a compressed one the most that deflate can pack
  // into its size. Counts read from a file are checked against it.
  uint64_t FileSize() const { return file_size_; }
  // Whether the file is read through zlib (Tell counts uncompressed bytes).
  bool Compressed() const { return gz_ != nullptr; }

  // Direct access for fast scanners: makes at least `want` bytes (or all that
  // remain) available from the read position and returns them.
  std::string_view Available(size_t want);
  // Moves the read position forward over bytes returned by Available.
  void Consume(size_t count) { pos_ += count; }

 private:
  // Reads more of the file into the buffer, keeping the unread bytes. False
  // when nothing more could be read.
  bool Fill();
  // Reads up to `size` bytes at `into` from the file or through zlib: the
  // count, 0 at the end. A damaged compressed file ends the program.
  size_t ReadBlock(char* into, size_t size);
  // Opens the zlib stream of a ".gz" name on fd_; without zlib the program
  // ends with an error saying so.
  void OpenCompressed();

  int fd_ = -1;
  gzFile_s* gz_ = nullptr;
  std::string path_;
  std::vector<char> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  uint64_t buffer_offset_ = 0;
  uint64_t line_number_ = 0;
  uint64_t file_size_ = 0;
  bool eof_ = false;
  bool seekable_ = true;
  bool keep_all_ = false;
};

}  // namespace tarvex
