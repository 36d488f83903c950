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
#include <vector>

#include "common/line_reader.h"
#include "common/output_file.h"
#include "molecule/bond_map.h"

namespace tarvex {

// Why a scan stopped short of the numbers asked for.
enum class ScanStop {
  kNone,        // every number asked for was read
  kEnd,         // the file ended
  kNotANumber,  // a word that does not start with a number
  kTooLarge,    // a number beyond what any molecule file holds (1e300)
};

// The bytes of a LineReader that a scanner reads in place, from the
// reader's current position. The reader must not be used for anything else
// until the scanner is destroyed or Release() is called, which hands the read
// position back to it.
class ReaderWindow {
 public:
  explicit ReaderWindow(LineReader& reader) : reader_(reader) {}
  ~ReaderWindow() { Release(); }
  ReaderWindow(const ReaderWindow&) = delete;
  ReaderWindow& operator=(const ReaderWindow&) = delete;
  void Release();

 protected:
  // Makes more bytes available, keeping those from p_ on. False when the
  // file has nothing more.
  bool Refill();

  LineReader& reader_;
  const char* base_ = nullptr;  // start of the bytes taken from the reader
  const char* p_ = nullptr;     // the read position
  const char* end_ = nullptr;
  bool at_eof_ = false;
};

class NumberScanner : public ReaderWindow {
 public:
  explicit NumberScanner(LineReader& reader) : ReaderWindow(reader) {}

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

 private:
  // Reads one number from the word starting at p_; word_end is the first
  // blank after it (or the end of the data at the end of the file).
  bool ParseWord(const char* word_end, double& value);

  ScanStop stop_ = ScanStop::kNone;
  std::string bad_word_;
};

// The checks that a line (80 characters at p) is ten "%8.3f" fields, one per
// instruction set, for the tests: each must agree with the field-by-field
// check. Avx2 falls back to it where the processor has no AVX2.
namespace amber_line {
bool FieldByField(const char* p);
bool Sse2(const char* p);
bool Avx2(const char* p);
bool Avx2Available();
}  // namespace amber_line

// One white-space-separated word read as stream extraction reads a number:
// the characters used (the number may stop before the word's end, as in
// "1.000-2.000"), 0 when the word does not start with a number.
size_t ParseStreamWord(std::string_view word, double& value);

// A run of numbers of a frame, [begin, end) in the order of the file
// (x1 y1 z1 x2 ...), whose values are wanted.
struct NumberRange {
  size_t begin = 0;
  size_t end = 0;
};
// The numbers of the given atoms (sorted 0-based positions), merged into
// runs: atom a holds the numbers 3a, 3a + 1 and 3a + 2.
void NumbersOfAtoms(const std::vector<int>& atoms, std::vector<NumberRange>& ranges);

// Reads the number blocks of Amber trajectories line by line, giving exactly
// the numbers, stops and offending words that NumberScanner gives.
//
// A line in the layout Amber writes, fields of 8 characters "%8.3f" (at most
// 4 blanks, a "-" right before the digits, a point in the 5th column, 3
// decimals), is cut at its known columns; every field is checked, but only
// the numbers asked for are converted. Any other line (free spacing, numbers
// that run together, exponents, "********" overflow) is read word by word as
// NumberScanner reads it. Lines are only a way of cutting the stream of
// words: where a word is read from plays no part in its value.
class CoordinateScanner : public ReaderWindow {
 public:
  explicit CoordinateScanner(LineReader& reader) : ReaderWindow(reader) {}

  // Reads the coordinates of `points` atoms, as ReadFrame below does; with
  // `wanted` not empty only the numbers of those runs are stored, and the
  // other points of a frame laid out here are NaN. A frame that already has
  // `points` points is filled in place. Returns how many numbers were read.
  size_t ReadFrame(Frame& frame, size_t points, const std::vector<NumberRange>& wanted);
  // Reads up to `count` numbers into `out`. Returns how many were read.
  size_t Read(double* out, size_t count);

  ScanStop Stop() const { return stop_; }
  const std::string& BadWord() const { return bad_word_; }

 private:
  // Reads the numbers [first, last) of the current block, handing the
  // wanted ones (runs sorted, absolute numbers) to `store`.
  template <typename Store>
  size_t Scan(size_t first, size_t last, const NumberRange* wanted, const NumberRange* wanted_end, Store store);
  // Moves to the next line (or piece of an overlong line) and tells its
  // layout. False at the end of the file.
  bool NextSegment();
  void Classify(const char* line_end, const char* next);
  // The next word of a free-layout segment: false at its end, or at a word
  // that is not a number (then stop_ is set).
  bool NextWord(double& value);

  // p_ reads inside the current segment, [p_, segment_end_).
  const char* segment_end_ = nullptr;
  const char* next_ = nullptr;  // where the next segment starts
  bool fixed_ = false;          // the current segment is in the Amber layout
  ScanStop stop_ = ScanStop::kNone;
  std::string bad_word_;
};

// A word of a file as a message quotes it: at most 40 characters (then
// "..."), control characters escaped (common/printable.h).
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
