#include "formats/amber_numbers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "common/numbers.h"
#include "common/printable.h"
#include "molecule/coordinate_limit.h"

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

// ---- The Amber layout, one field of eight characters at a time ----------------
//
// A field is taken as one little-endian 64-bit word, byte i being column
// i + 1 of the field, and checked and converted with a few word operations
// instead of a loop over its characters: "%8.3f" writes "  -1.234",
// "  12.345", "-123.456", "1234.567".
static_assert(std::endian::native == std::endian::little, "the field words are read little-endian");

constexpr uint64_t kOnes = 0x0101010101010101ULL;
constexpr uint64_t kHigh = 0x8080808080808080ULL;
constexpr uint64_t kLow7 = 0x7f7f7f7f7f7f7f7fULL;
constexpr uint64_t ByteBit(int column) { return uint64_t{0x80} << (8 * column); }
constexpr uint64_t kPointColumn = ByteBit(4);
constexpr uint64_t kDigitColumns = ByteBit(3) | ByteBit(5) | ByteBit(6) | ByteBit(7);
constexpr uint64_t kIntegerColumns = ByteBit(0) | ByteBit(1) | ByteBit(2) | ByteBit(3);
constexpr size_t kFieldWidth = 8;
// The fields of a file are "%8.3f": 3 decimals.
constexpr double kFieldScale = 1000.0;

inline uint64_t LoadField(const char* p) {
  uint64_t word = 0;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// The high bit of every byte that equals c, exactly (no false hits).
inline uint64_t BytesEqual(uint64_t word, unsigned char c) {
  const uint64_t y = word ^ (kOnes * c);
  return ~(((y & kLow7) + kLow7) | y | kLow7);
}

// The high bit of every decimal digit; the word holds no byte above 0x7f, so
// no sum carries into the next byte.
inline uint64_t DigitBytes(uint64_t word) { return (word + kOnes * 0x50) & ~(word + kOnes * 0x46) & kHigh; }

// A field as "%8.3f" writes it: blanks, an optional "-", at least one digit,
// the point in column 5 and three digits. A field after the first of a line
// must begin with a blank or "-": one that begins with a digit runs into the
// field before it as words are read, and that line is read word by word.
inline bool IsAmberField(uint64_t word, bool first) {
  if (word & kHigh) return false;
  const uint64_t digits = DigitBytes(word);
  const uint64_t blanks = BytesEqual(word, ' ');
  const uint64_t minus = BytesEqual(word, '-');
  if ((BytesEqual(word, '.') & kPointColumn) == 0 || (digits & kDigitColumns) != kDigitColumns) return false;
  // Columns 1-4: blanks up to the first other character, then an optional
  // "-" there and digits after it.
  const uint64_t lead = ~blanks & kIntegerColumns;
  const uint64_t start = lead & (0 - lead);
  const uint64_t rest = kIntegerColumns & ~(start - 1);
  if (((digits | (minus & start)) & rest) != rest) return false;
  return first || ((blanks | minus) & ByteBit(0)) != 0;
}

// The value of a field that IsAmberField accepted: its seven digits as one
// integer (the point dropped), then divided by 1000. Both are exact doubles,
// so the quotient is the correctly rounded value, as std::from_chars gives.
inline double AmberFieldValue(const char* p) {
  const uint64_t word = LoadField(p);
  uint64_t v = word & 0x0f0f0f0f0f0f0f0fULL & ((DigitBytes(word) >> 7) * 0xff);
  // "0" then columns 1-4 and 6-8: eight digits, the first the most significant.
  v = ((v & 0xffffffffULL) << 8) | (v & 0xffffff0000000000ULL);
  v = v * 10 + (v >> 8);
  v = (((v & 0x000000ff000000ffULL) * (100 + (1000000ULL << 32))) +
       (((v >> 16) & 0x000000ff000000ffULL) * (1 + (10000ULL << 32)))) >>
      32;
  const double magnitude = static_cast<double>(static_cast<uint32_t>(v)) / kFieldScale;
  // The sign set without a branch: signs of coordinates are random.
  const uint64_t sign = static_cast<uint64_t>(BytesEqual(word, '-') != 0) << 63;
  return std::bit_cast<double>(std::bit_cast<uint64_t>(magnitude) | sign);
}

inline bool AllAmberFields(const char* p, size_t fields) {
  for (size_t k = 0; k < fields; ++k) {
    if (!IsAmberField(LoadField(p + kFieldWidth * k), k == 0)) return false;
  }
  return true;
}

// The full line of ten fields, nearly every line of a trajectory. With SSE2
// (every x86-64) two fields are classified at a time: a mask per character
// class, bit j for column j + 1 of the first field and bit j + 8 for the
// second, checked against the rules of IsAmberField all at once; with AVX2
// (chosen when the processor has it) four fields at a time, the same rules
// on 32-bit masks.
constexpr size_t kFullLine = 10 * kFieldWidth;

// The rules on the character-class masks of a run of whole fields: d digits,
// s blanks, m minus signs, dot points; `each` has bit 0 of every field's
// byte group set (0x0101 for two fields, 0x01010101 for four), and `first`
// says the run starts with the line's first field.
inline uint32_t BrokenRules(uint32_t d, uint32_t s, uint32_t m, uint32_t dot, uint32_t each, bool first) {
  uint32_t bad = dot ^ (each * 0x10);         // the point in column 5, nowhere else
  bad |= ~d & (each * 0xe8);                  // digits in columns 4, 6, 7, 8
  bad |= ~(s | m | d) & (each * 0x07);        // columns 1-3: blank, "-" or digit
  bad |= s & ((d | m) << 1) & (each * 0x06);  // no blank after the number began
  bad |= m & ((d | m) << 1) & (each * 0x06);  // no "-" after the number began
  bad |= m & ~(d >> 1) & (each * 0x07);       // a digit after the "-"
  bad |= d & (each - (first ? 1 : 0));        // no field after the first begins with a digit
  return bad;
}

#if defined(__SSE2__)
inline uint32_t BrokenRulesSse2(const char* p, bool first) {
  const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  // Signed compares: bytes above 0x7f are negative and no digit.
  const auto mask = [](__m128i v) { return static_cast<uint32_t>(_mm_movemask_epi8(v)); };
  const uint32_t d =
      mask(_mm_and_si128(_mm_cmpgt_epi8(x, _mm_set1_epi8('0' - 1)), _mm_cmplt_epi8(x, _mm_set1_epi8('9' + 1))));
  const uint32_t s = mask(_mm_cmpeq_epi8(x, _mm_set1_epi8(' ')));
  const uint32_t m = mask(_mm_cmpeq_epi8(x, _mm_set1_epi8('-')));
  const uint32_t dot = mask(_mm_cmpeq_epi8(x, _mm_set1_epi8('.')));
  return BrokenRules(d, s, m, dot, 0x0101, first);
}

bool IsFullAmberLineSse2(const char* p) {
  uint32_t bad = 0;
  for (size_t k = 0; k < kFullLine; k += 16) bad |= BrokenRulesSse2(p + k, k == 0);
  return bad == 0;
}
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TARVEX_AVX2_LINES 1
__attribute__((target("avx2"))) bool IsFullAmberLineAvx2(const char* p) {
  uint32_t bad = 0;
  for (size_t k = 0; k < 64; k += 32) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + k));
    // (A lambda here would not be compiled for AVX2.)
#define TARVEX_MASK(v) static_cast<uint32_t>(_mm256_movemask_epi8(v))
    const uint32_t d = TARVEX_MASK(_mm256_and_si256(_mm256_cmpgt_epi8(x, _mm256_set1_epi8('0' - 1)),
                                                    _mm256_cmpgt_epi8(_mm256_set1_epi8('9' + 1), x)));
    const uint32_t s = TARVEX_MASK(_mm256_cmpeq_epi8(x, _mm256_set1_epi8(' ')));
    const uint32_t m = TARVEX_MASK(_mm256_cmpeq_epi8(x, _mm256_set1_epi8('-')));
    const uint32_t dot = TARVEX_MASK(_mm256_cmpeq_epi8(x, _mm256_set1_epi8('.')));
#undef TARVEX_MASK
    bad |= BrokenRules(d, s, m, dot, 0x01010101, k == 0);
  }
  return (bad | BrokenRulesSse2(p + 64, false)) == 0;
}
// Set before main; the processor's features are read first, whatever the
// order of the start-up code.
const bool kHaveAvx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
#endif

inline bool IsFullAmberLine(const char* p) {
#if defined(TARVEX_AVX2_LINES)
  if (kHaveAvx2) return IsFullAmberLineAvx2(p);
#endif
#if defined(__SSE2__)
  return IsFullAmberLineSse2(p);
#else
  return AllAmberFields(p, kFullLine / kFieldWidth);
#endif
}

}  // namespace

namespace amber_line {
bool FieldByField(const char* p) { return AllAmberFields(p, kFullLine / kFieldWidth); }
#if defined(__SSE2__)
bool Sse2(const char* p) { return IsFullAmberLineSse2(p); }
#else
bool Sse2(const char* p) { return FieldByField(p); }
#endif
#if defined(TARVEX_AVX2_LINES)
bool Avx2Available() { return kHaveAvx2; }
bool Avx2(const char* p) { return kHaveAvx2 ? IsFullAmberLineAvx2(p) : FieldByField(p); }
#else
bool Avx2Available() { return false; }
bool Avx2(const char* p) { return FieldByField(p); }
#endif
}  // namespace amber_line

size_t ParseStreamWord(std::string_view word, double& value) {
  // The common case, "-12.345", then everything else: exponents, a leading
  // "+", numbers run together, words that are no number.
  if (ParseShortDecimal(word, value)) return word.size();
  return ParseDoublePrefix(word, value);
}

void NumbersOfAtoms(const std::vector<int>& atoms, std::vector<NumberRange>& ranges) {
  ranges.clear();
  for (int atom : atoms) {
    if (atom < 0) continue;
    const size_t begin = 3 * static_cast<size_t>(atom);
    if (!ranges.empty() && ranges.back().end >= begin) {
      ranges.back().end = std::max(ranges.back().end, begin + 3);
    } else {
      ranges.push_back({begin, begin + 3});
    }
  }
}

std::string QuotedWord(std::string_view word) { return Printable(word, kQuotedWordLength); }

void ReaderWindow::Release() {
  reader_.Consume(static_cast<size_t>(p_ - base_));
  base_ = p_;
}

bool ReaderWindow::Refill() {
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
  const std::string_view word(p_, static_cast<size_t>(word_end - p_));
  const size_t used = ParseStreamWord(word, value);
  if (used == 0 || !HoldableCoordinate(value)) {
    stop_ = used == 0 ? ScanStop::kNotANumber : ScanStop::kTooLarge;
    bad_word_ = QuotedWord(word);
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

// The segment is [p_, line_end); a "\r" before the line end is a blank to
// the word reader and no part of the fixed layout.
void CoordinateScanner::Classify(const char* line_end, const char* next) {
  next_ = next;
  const char* end = line_end;
  if (end > p_ && end[-1] == '\r') --end;
  const size_t length = static_cast<size_t>(end - p_);
  fixed_ = length % kFieldWidth == 0 && AllAmberFields(p_, length / kFieldWidth);
  segment_end_ = fixed_ ? end : line_end;
}

bool CoordinateScanner::NextSegment() {
  p_ = next_;
  // The common line first: ten fields and its line end, which the check
  // proves to be the first one (no field holds a line end).
  if (static_cast<size_t>(end_ - p_) > kFullLine + 1) {
    const size_t line_end = p_[kFullLine] == '\r' ? kFullLine + 1 : kFullLine;
    if (p_[line_end] == '\n' && IsFullAmberLine(p_)) {
      fixed_ = true;
      segment_end_ = p_ + kFullLine;
      next_ = p_ + line_end + 1;
      return true;
    }
  }
  for (;;) {
    const size_t have = static_cast<size_t>(end_ - p_);
    if (const void* hit = have > 0 ? std::memchr(p_, '\n', have) : nullptr) {
      const char* line_end = static_cast<const char*>(hit);
      Classify(line_end, line_end + 1);
      return true;
    }
    if (!at_eof_ && have >= kWant) {
      // A line longer than a block: cut it after its last blank, which ends
      // a word, and read the piece word by word.
      const char* cut = end_;
      while (cut > p_ && !IsSpace(cut[-1])) --cut;
      if (cut > p_) {
        Classify(cut, cut);
        return true;
      }
    }
    if (at_eof_ || !Refill()) {
      at_eof_ = true;
      if (p_ == end_) return false;
      Classify(end_, end_);  // a last line without a line end
      return true;
    }
  }
}

bool CoordinateScanner::NextWord(double& value) {
  while (p_ < segment_end_ && IsSpace(*p_)) ++p_;
  if (p_ == segment_end_) return false;
  const char* word_end = p_;
  while (word_end < segment_end_ && !IsSpace(*word_end)) ++word_end;
  const std::string_view word(p_, static_cast<size_t>(word_end - p_));
  const size_t used = ParseStreamWord(word, value);
  if (used == 0 || !HoldableCoordinate(value)) {
    stop_ = used == 0 ? ScanStop::kNotANumber : ScanStop::kTooLarge;
    bad_word_ = QuotedWord(word);
    return false;
  }
  p_ += used;
  return true;
}

template <typename Store>
size_t CoordinateScanner::Scan(size_t first, size_t last, const NumberRange* wanted, const NumberRange* wanted_end,
                               Store store) {
  if (stop_ != ScanStop::kNone) return 0;
  size_t k = first;
  auto skip_done = [&] {
    while (wanted != wanted_end && wanted->end <= k) ++wanted;
  };
  skip_done();
  while (k < last) {
    if (p_ == segment_end_) {
      if (!NextSegment()) {
        stop_ = ScanStop::kEnd;
        break;
      }
    } else if (fixed_) {
      const size_t stop = k + std::min(static_cast<size_t>(segment_end_ - p_) / kFieldWidth, last - k);
      for (const NumberRange* w = wanted; w != wanted_end && w->begin < stop; ++w) {
        for (size_t j = std::max(w->begin, k), e = std::min(w->end, stop); j < e; ++j) {
          store(j, AmberFieldValue(p_ + kFieldWidth * (j - k)));
        }
      }
      p_ += kFieldWidth * (stop - k);
      k = stop;
      skip_done();
    } else {
      double value = 0.0;
      if (!NextWord(value)) {
        if (stop_ != ScanStop::kNone) break;
        continue;
      }
      if (wanted != wanted_end && wanted->begin <= k) store(k, value);
      ++k;
      skip_done();
    }
  }
  return k - first;
}

size_t CoordinateScanner::ReadFrame(Frame& frame, size_t points, const std::vector<NumberRange>& wanted) {
  constexpr size_t kFirstChunk = 4096;
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const NumberRange all{0, std::numeric_limits<size_t>::max()};
  const NumberRange* first_wanted = wanted.empty() ? &all : wanted.data();
  const NumberRange* wanted_end = wanted.empty() ? &all + 1 : wanted.data() + wanted.size();
  const Point fill = wanted.empty() ? Point{} : Point{kNaN, kNaN, kNaN};
  if (frame.size() != points) frame.clear();
  auto store = [&frame](size_t j, double value) { frame[j / 3][j % 3] = value; };
  size_t numbers = 0;
  size_t done = 0;
  while (done < points) {
    // As ReadFrame below: the frame grows with the numbers read.
    const size_t chunk_end = frame.size() == points ? points : std::min(points, std::max(done * 2, kFirstChunk));
    if (frame.size() < chunk_end) frame.resize(chunk_end, fill);
    const size_t read = Scan(3 * done, 3 * chunk_end, first_wanted, wanted_end, store);
    numbers += read;
    if (read < 3 * (chunk_end - done)) return numbers;
    done = chunk_end;
  }
  return numbers;
}

size_t CoordinateScanner::Read(double* out, size_t count) {
  const NumberRange all{0, count};
  return Scan(0, count, &all, &all + 1, [out](size_t j, double value) { out[j] = value; });
}

void NumberBlockWriter::Add(double value) {
  AppendFixed(out_.Buffer(), value, width_, precision_);
  if (++column_ == per_line_) {
    out_.Buffer().push_back('\n');
    column_ = 0;
    out_.Commit();
  }
}

// Whole lines at once where they fit: the numbers of a line gathered and
// written in one go.
void NumberBlockWriter::AddPoints(const Frame& points) {
  constexpr size_t kLongestLine = 32;
  const size_t total = 3 * points.size();
  const size_t per_line = static_cast<size_t>(per_line_);
  auto value = [&points](size_t k) { return points[k / 3][k % 3]; };
  const bool whole_lines = per_line > 0 && per_line <= kLongestLine;
  size_t k = 0;
  while (k < total && (column_ != 0 || !whole_lines || total - k < per_line)) Add(value(k++));
  std::array<double, kLongestLine> line{};
  for (; whole_lines && total - k >= per_line; k += per_line) {
    for (size_t c = 0; c < per_line; ++c) line[c] = value(k + c);
    AppendFixedRow(out_.Buffer(), line.data(), per_line, width_, precision_);
    out_.Buffer().push_back('\n');
    out_.Commit();
  }
  while (k < total) Add(value(k++));
}

void NumberBlockWriter::EndLine() {
  if (column_ != 0) out_.Buffer().push_back('\n');
  column_ = 0;
  out_.Commit();
}

}  // namespace tarvex
