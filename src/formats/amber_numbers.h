// Fast reading of the white-space-separated real numbers that make up Amber
// coordinate files (trajectories are hundreds of megabytes of "%8.3f" fields).
//
// NumberScanner reads straight out of the LineReader's buffer: no line
// splitting, no copies, no allocation per number. Each number is read with
// stream-extraction semantics (a leading "+" is accepted, reading stops at
// the first character that cannot belong to the number, so "1.000-2.000"
// gives two numbers) and gives exactly the double that std::from_chars gives.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/line_reader.h"
#include "common/output_file.h"
#include "molecule/bond_map.h"

namespace tarvex {

// Why a scan stopped short of the numbers asked for.
enum class ScanStop {
  kNone,         // every number asked for was read
  kEnd,          // the file ended
  kNotANumber,   // a word that does not start with a number
};

class NumberScanner {
 public:
  // Scans from the reader's current position. The reader must not be used
  // for anything else until the scanner is destroyed or Release() is called,
  // which hands the read position back to it.
  explicit NumberScanner(LineReader& reader);
  ~NumberScanner();
  NumberScanner(const NumberScanner&) = delete;
  NumberScanner& operator=(const NumberScanner&) = delete;

  // The next number; false at the end of the file or at a word that is not a
  // number (Stop() tells which). After a false the scanner stays stopped.
  bool Next(double& value);
  // Reads up to `count` numbers into `out` (nullptr: counts them only).
  // Returns how many were read.
  size_t Read(double* out, size_t count);
  // Reads up to 3 x `count` numbers into the points, x y z per point.
  // Returns how many numbers were read.
  size_t ReadPoints(Point* out, size_t count);

  ScanStop Stop() const { return stop_; }
  // The word that stopped the scan (kNotANumber), cut to a readable length.
  const std::string& BadWord() const { return bad_word_; }
  // Hands the read position back to the reader.
  void Release();

 private:
  // Makes more bytes available, keeping those from p_ on. False when the
  // file has nothing more.
  bool Refill();
  // Reads one number from the word starting at p_; word_end is the first
  // blank after it (or the end of the data at the end of the file).
  bool ParseWord(const char* word_end, double& value);

  LineReader& reader_;
  const char* base_ = nullptr;  // start of the bytes taken from the reader
  const char* p_ = nullptr;
  const char* end_ = nullptr;
  bool at_eof_ = false;
  ScanStop stop_ = ScanStop::kNone;
  std::string bad_word_;
};

// A word of a file as a message quotes it: at most 40 characters, anything
// unprintable (a binary file read as text) shown as "?".
std::string QuotedWord(std::string_view word);

// Reads the coordinates of `points` atoms into `frame`, which ends up with
// exactly that many points when every number was there. The frame grows with
// the numbers actually read, so a count that the file cannot back (a wrong
// -n, a lying header) costs no more memory than the file itself. Returns how
// many numbers were read.
size_t ReadFrame(NumberScanner& scanner, Frame& frame, size_t points);

// Writes the number blocks of Amber coordinate files: fixed-point reals of
// one width and precision, a set count per line.
class NumberBlockWriter {
 public:
  NumberBlockWriter(OutputFile& out, int width, int precision, int per_line)
      : out_(out), width_(width), precision_(precision), per_line_(per_line) {}
  void Add(double value);
  void AddPoints(const Frame& points);
  // Ends the current line when it holds any number.
  void EndLine();

 private:
  OutputFile& out_;
  int width_;
  int precision_;
  int per_line_;
  int column_ = 0;
};

}  // namespace tarvex
