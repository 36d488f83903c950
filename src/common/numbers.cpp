#include "common/numbers.h"

#include <charconv>
#include <climits>
#include <cmath>

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
    value = magnitude == static_cast<unsigned long long>(LLONG_MAX) + 1ULL
                ? LLONG_MIN
                : -static_cast<long long>(magnitude);
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
  auto [ptr, ec] = std::from_chars(text.data() + start, text.data() + text.size(), parsed,
                                   std::chars_format::general);
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

// The digits of `value` with `precision` decimals, the way to_chars writes
// them, for the common case of coordinates: |value| x 10^precision below
// 2^32, where the product is exact to within 2^-20, so rounding it to the
// nearest integer is the correctly rounded decimal unless it lies within
// 1e-6 of a half. The text is written backwards, ending at `end` and padded
// with blanks on the left to `width` (up to kFastWidth); returns its start,
// or nullptr (nothing written) for any other value.
constexpr int kFastWidth = 32;

char* FastFixed(double value, int width, int precision, char* end) {
  if (precision < 0 || precision > 8 || width > kFastWidth || !std::isfinite(value)) return nullptr;
  const double scaled = std::fabs(value) * static_cast<double>(kPowers[precision]);
  if (!(scaled < 4294967296.0)) return nullptr;
  const uint64_t whole = static_cast<uint64_t>(scaled);
  const double fraction = scaled - static_cast<double>(whole);
  if (std::fabs(fraction - 0.5) < 1e-6) return nullptr;
  uint64_t digits = whole + (fraction > 0.5 ? 1 : 0);
  char* p = end;
  for (int k = 0; k < precision; ++k) {
    *--p = static_cast<char>('0' + digits % 10);
    digits /= 10;
  }
  if (precision > 0) *--p = '.';
  do {
    *--p = static_cast<char>('0' + digits % 10);
    digits /= 10;
  } while (digits != 0);
  if (std::signbit(value)) *--p = '-';
  while (end - p < width) *--p = ' ';
  return p;
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
  auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                 precision);
  size_t length = ec == std::errc() ? static_cast<size_t>(ptr - buffer) : 0;
  if (ec != std::errc()) {
    // Only values beyond ~1e300 with many decimals overflow the buffer.
    std::string wide(4000, '\0');
    auto [p2, e2] = std::to_chars(wide.data(), wide.data() + wide.size(), value,
                                  std::chars_format::fixed, precision);
    wide.resize(e2 == std::errc() ? static_cast<size_t>(p2 - wide.data()) : 0);
    AppendRight(out, wide, width);
    return;
  }
  if (static_cast<int>(length) < width) out.append(static_cast<size_t>(width) - length, ' ');
  out.append(buffer, length);
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
