#include "formats/amber_numbers.h"

#include <algorithm>
#include <cstdint>

#include "common/numbers.h"

namespace tarvex {
namespace {

// Bytes asked of the reader at a time: large enough that refills are rare,
// small enough that keeping the unread tail of a block costs nothing.
constexpr size_t kWant = size_t{256} << 10;

// The longest part of an offending word that a message quotes.
constexpr size_t kQuotedWordLength = 40;

inline bool IsSpace(char c) {
  return c == ' ' || static_cast<unsigned char>(c - '\t') < 5;  // \t \n \v \f \r
}

}  // namespace

std::string QuotedWord(std::string_view word) {
  std::string quoted(word.substr(0, kQuotedWordLength));
  for (char& c : quoted) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) c = '?';
  }
  return quoted;
}

NumberScanner::NumberScanner(LineReader& reader) : reader_(reader) {}

NumberScanner::~NumberScanner() { Release(); }

void NumberScanner::Release() {
  reader_.Consume(static_cast<size_t>(p_ - base_));
  base_ = p_;
}

bool NumberScanner::Refill() {
  reader_.Consume(static_cast<size_t>(p_ - base_));
  const size_t have = static_cast<size_t>(end_ - p_);
  const size_t want = std::max(kWant, have + 1);
  std::string_view view = reader_.Available(want);
  base_ = p_ = view.data();
  end_ = p_ + view.size();
  at_eof_ = view.size() < want;
  return view.size() > have;
}

bool NumberScanner::ParseWord(const char* word_end, double& value) {
  // The common case, "-12.345", then everything else.
  if (ParseShortDecimal(std::string_view(p_, static_cast<size_t>(word_end - p_)), value)) {
    p_ = word_end;
    return true;
  }
  // Exponents, a leading "+", numbers run together, words that are no number.
  size_t used = ParseDoublePrefix(std::string_view(p_, static_cast<size_t>(word_end - p_)), value);
  if (used == 0) {
    stop_ = ScanStop::kNotANumber;
    bad_word_ = QuotedWord(std::string_view(p_, static_cast<size_t>(word_end - p_)));
    return false;
  }
  p_ += used;
  return true;
}

bool NumberScanner::Next(double& value) {
  if (stop_ != ScanStop::kNone) return false;
  for (;;) {
    while (p_ < end_ && IsSpace(*p_)) ++p_;
    if (p_ == end_) {
      if (at_eof_ || !Refill()) {
        at_eof_ = true;
        stop_ = ScanStop::kEnd;
        return false;
      }
      continue;
    }
    const char* word_end = p_;
    while (word_end < end_ && !IsSpace(*word_end)) ++word_end;
    if (word_end == end_ && !at_eof_) {
      // The word may go on in the next block.
      Refill();
      continue;
    }
    return ParseWord(word_end, value);
  }
}

size_t NumberScanner::Read(double* out, size_t count) {
  size_t n = 0;
  double value = 0.0;
  while (n < count && Next(value)) {
    if (out) out[n] = value;
    ++n;
  }
  return n;
}

size_t NumberScanner::ReadPoints(Point* out, size_t count) {
  size_t n = 0;
  for (size_t i = 0; i < count; ++i) {
    Point& point = out[i];
    for (double& coordinate : point) {
      if (!Next(coordinate)) return n;
      ++n;
    }
  }
  return n;
}

size_t ReadFrame(NumberScanner& scanner, Frame& frame, size_t points) {
  constexpr size_t kFirstChunk = 4096;
  frame.clear();
  size_t numbers = 0;
  size_t done = 0;
  while (done < points) {
    const size_t chunk_end = std::min(points, std::max(done * 2, kFirstChunk));
    frame.resize(chunk_end);
    const size_t read = scanner.ReadPoints(frame.data() + done, chunk_end - done);
    numbers += read;
    if (read < 3 * (chunk_end - done)) return numbers;
    done = chunk_end;
  }
  return numbers;
}

void NumberBlockWriter::Add(double value) {
  AppendFixed(out_.Buffer(), value, width_, precision_);
  if (++column_ == per_line_) {
    out_.Buffer().push_back('\n');
    column_ = 0;
    out_.Commit();
  }
}

void NumberBlockWriter::AddPoints(const Frame& points) {
  for (const Point& point : points) {
    for (double value : point) Add(value);
  }
}

void NumberBlockWriter::EndLine() {
  if (column_ != 0) out_.Buffer().push_back('\n');
  column_ = 0;
  out_.Commit();
}

}  // namespace tarvex
