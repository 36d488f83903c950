#include "common/numbers.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

#include "common/text.h"

namespace tarvex {

size_t ParseIntPrefix(std::string_view text, long long& value) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  size_t digits = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  if (i == digits) return 0;
  unsigned long long magnitude = 0;
  auto [ptr, ec] = std::from_chars(text.data() + digits, text.data() + i, magnitude);
  (void)ptr;
  if (ec != std::errc()) return 0;
  if (negative) {
    if (magnitude > static_cast<unsigned long long>(LLONG_MAX) + 1ULL) return 0;
    value =
        magnitude == static_cast<unsigned long long>(LLONG_MAX) + 1ULL ? LLONG_MIN : -static_cast<long long>(magnitude);
  } else {
    if (magnitude > static_cast<unsigned long long>(LLONG_MAX)) return 0;
    value = static_cast<long long>(magnitude);
  }
  return i;
}

size_t ParseIntPrefix(std::string_view text, int& value) {
  long long wide = 0;
  size_t used = ParseIntPrefix(text, wide);
  if (used == 0 || wide < INT_MIN || wide > INT_MAX) return 0;
  value = static_cast<int>(wide);
  return used;
}

size_t ParseDoublePrefix(std::string_view text, double& value) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  size_t start = i;
  if (i < text.size() && text[i] == '+') {
    ++i;
    start = i;
    if (i < text.size() && text[i] == '-') return 0;  // "+-1" is not a number
  }
  // Only plain decimal forms: from_chars would also take "inf" and "nan".
  size_t j = i;
  if (j < text.size() && text[j] == '-') ++j;
  if (j >= text.size() || !(IsDigit(text[j]) || text[j] == '.')) return 0;
  double parsed = 0.0;
  auto [ptr, ec] = std::from_chars(text.data() + start, text.data() + text.size(), parsed, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Stream extraction fails on values beyond the range of double.
    return 0;
  }
  if (ec != std::errc()) return 0;
  value = parsed;
  return static_cast<size_t>(ptr - text.data());
}

bool ParseIntField(std::string_view field, int& value) {
  field = Trim(field);
  if (field.empty()) return false;
  int parsed = 0;
  size_t used = ParseIntPrefix(field, parsed);
  if (used != field.size()) return false;
  value = parsed;
  return true;
}

bool ParseDoubleField(std::string_view field, double& value) {
  field = Trim(field);
  if (field.empty()) return false;
  double parsed = 0.0;
  size_t used = ParseDoublePrefix(field, parsed);
  if (used != field.size()) return false;
  value = parsed;
  return true;
}

namespace {

constexpr uint64_t kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
constexpr uint32_t kPowers32[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The digits of `value` with `precision` decimals, the way to_chars writes
// them, for the common case of coordinates: |value| x 10^precision below
// 2^32, where the product is exact to within 2^-20, so rounding it to the
// nearest integer is the correctly rounded decimal unless it lies within
// 1e-6 of a half. The text is written backwards, ending at `end` and padded
// with blanks on the left to `width` (up to kFastWidth); returns its start,
// or nullptr (nothing written) for any other value.
constexpr int kFastWidth = 32;

// value / 10^precision, each divisor a constant the compiler turns into a
// multiplication (a division by a variable takes tens of cycles).
inline uint32_t DivideByPowerOfTen(uint32_t value, int precision) {
  switch (precision) {
    case 1:
      return value / 10;
    case 2:
      return value / 100;
    case 3:
      return value / 1000;
    case 4:
      return value / 10000;
    case 5:
      return value / 100000;
    case 6:
      return value / 1000000;
    case 7:
      return value / 10000000;
    case 8:
      return value / 100000000;
    default:
      return value;
  }
}

// The parts of a value on the fast path: the integer part and the rounded
// decimals as integers, how many digits the integer part has, and the sign.
struct FastNumber {
  uint32_t integer = 0;
  uint32_t decimals = 0;
  int integer_digits = 1;
  bool negative = false;
};

bool FastDigits(double value, int width, int precision, FastNumber& number) {
  if (precision < 0 || precision > 8 || width > kFastWidth || !std::isfinite(value)) return false;
  const double scaled = std::fabs(value) * static_cast<double>(kPowers[precision]);
  if (!(scaled < 4294967295.0)) return false;
  const uint64_t whole = static_cast<uint64_t>(scaled);
  const double fraction = scaled - static_cast<double>(whole);
  if (std::fabs(fraction - 0.5) < 1e-6) return false;
  const uint32_t digits = static_cast<uint32_t>(whole) + (fraction > 0.5 ? 1 : 0);
  number.integer = DivideByPowerOfTen(digits, precision);
  number.decimals = digits - number.integer * kPowers32[precision];
  number.integer_digits = 1;
  for (int k = 1; k < 10; ++k) number.integer_digits += number.integer >= kPowers32[k] ? 1 : 0;
  number.negative = std::signbit(value);
  return true;
}

// The length of the text WriteFastDigits writes.
inline size_t FastLength(const FastNumber& number, int width, int precision) {
  const int length = number.integer_digits + precision + (precision > 0 ? 1 : 0) + (number.negative ? 1 : 0);
  return static_cast<size_t>(std::max(length, width));
}

// Writes the `count` lowest decimal digits of `value` backwards from `end`,
// two at a time; returns where they start.
inline char* WriteDigitsBackward(uint32_t value, int count, char* end) {
  for (; count >= 2; count -= 2) {
    end -= 2;
    std::memcpy(end, kDigitPairs + 2 * (value % 100), 2);
    value /= 100;
  }
  if (count > 0) *--end = static_cast<char>('0' + value % 10);
  return end;
}

// The text of a FastNumber, written backwards from `end`; returns its start.
char* WriteFastDigits(const FastNumber& number, int width, int precision, char* end) {
  char* p = WriteDigitsBackward(number.decimals, precision, end);
  if (precision > 0) *--p = '.';
  p = WriteDigitsBackward(number.integer, number.integer_digits, p);
  if (number.negative) *--p = '-';
  while (end - p < width) *--p = ' ';
  return p;
}

char* FastFixed(double value, int width, int precision, char* end) {
  FastNumber number;
  return FastDigits(value, width, precision, number) ? WriteFastDigits(number, width, precision, end) : nullptr;
}

}  // namespace

void AppendFixed(std::string& out, double value, int width, int precision) {
  char fast[kFastWidth + 16];
  char* const fast_end = fast + sizeof fast;
  if (const char* start = FastFixed(value, width, precision, fast_end)) {
    out.append(start, static_cast<size_t>(fast_end - start));
    return;
  }
  char buffer[400];
  auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  size_t length = ec == std::errc() ? static_cast<size_t>(ptr - buffer) : 0;
  if (ec != std::errc()) {
    // Only values beyond ~1e300 with many decimals overflow the buffer.
    std::string wide(4000, '\0');
    auto [p2, e2] = std::to_chars(wide.data(), wide.data() + wide.size(), value, std::chars_format::fixed, precision);
    wide.resize(e2 == std::errc() ? static_cast<size_t>(p2 - wide.data()) : 0);
    AppendRight(out, wide, width);
    return;
  }
  if (static_cast<int>(length) < width) out.append(static_cast<size_t>(width) - length, ' ');
  out.append(buffer, length);
}

namespace {

template <bool kDelimited>
void AppendRow(std::string& out, const double* values, size_t count, int width, int precision, char delimiter) {
  // Room for the longest text of the fast path (ten digits, point and sign,
  // or the width) and a delimiter, made once; the rare value off the fast
  // path goes through AppendFixed.
  const size_t room = static_cast<size_t>(std::max(width, 12)) + 1;
  size_t at = out.size();
  out.resize(at + count * room);
  for (size_t i = 0; i < count; ++i) {
    if (kDelimited && i > 0) out[at++] = delimiter;
    FastNumber number;
    if (FastDigits(values[i], width, precision, number)) {
      const size_t length = FastLength(number, width, precision);
      WriteFastDigits(number, width, precision, out.data() + at + length);
      at += length;
    } else {
      out.resize(at);
      AppendFixed(out, values[i], width, precision);
      at = out.size();
      out.resize(at + (count - i - 1) * room);
    }
  }
  out.resize(at);
}

}  // namespace

void AppendFixedRow(std::string& out, const double* values, size_t count, int width, int precision, char delimiter) {
  AppendRow<true>(out, values, count, width, precision, delimiter);
}

void AppendFixedRow(std::string& out, const double* values, size_t count, int width, int precision) {
  AppendRow<false>(out, values, count, width, precision, '\0');
}

void AppendInt(std::string& out, long long value, int width) {
  char buffer[32];
  auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)ec;
  size_t length = static_cast<size_t>(ptr - buffer);
  if (static_cast<int>(length) < width) out.append(static_cast<size_t>(width) - length, ' ');
  out.append(buffer, length);
}

void AppendRight(std::string& out, std::string_view text, int width) {
  if (static_cast<int>(text.size()) < width) out.append(static_cast<size_t>(width) - text.size(), ' ');
  out.append(text);
}

void AppendLeft(std::string& out, std::string_view text, int width) {
  out.append(text);
  if (static_cast<int>(text.size()) < width) out.append(static_cast<size_t>(width) - text.size(), ' ');
}

std::string FormatFixed(double value, int width, int precision) {
  std::string out;
  AppendFixed(out, value, width, precision);
  return out;
}

std::string FormatInt(long long value, int width) {
  std::string out;
  AppendInt(out, value, width);
  return out;
}

}  // namespace tarvex
