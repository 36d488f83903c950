// Number parsing and fixed-width formatting.
//
// Parsing behaves like stream extraction of one white-space-separated value:
// leading blanks are skipped, a leading "+" is accepted, and reading stops at
// the first character that cannot belong to the number. Formatting gives the
// same digits as iostream `fixed` with `setprecision`, right-justified in a
// minimum width; nothing is left behind on any stream.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvex {

// Reads a decimal integer from the start of `text` (after blanks). Returns the
// number of characters consumed (0 on failure: no digits, or out of range).
size_t ParseIntPrefix(std::string_view text, long long& value);
size_t ParseIntPrefix(std::string_view text, int& value);
// Reads a real number (decimal, optional fraction and exponent; "D" is not an
// exponent). Returns the number of characters consumed, 0 on failure.
size_t ParseDoublePrefix(std::string_view text, double& value);

// The common shape of coordinates, "-12.345": an optional sign, digits with
// at most one point, no more than 15 digits, and nothing else. The integer of
// all the digits and the power of ten are both exact doubles, so their
// quotient is the correctly rounded value, the double std::from_chars gives.
// False for any other text (exponents, blanks, longer numbers), which the
// general readers then take. Inline: it is the inner loop of the readers.
inline bool ParseShortDecimal(std::string_view text, double& value) {
  static constexpr double kPowersOfTen[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const char* s = text.data();
  const char* end = s + text.size();
  bool negative = false;
  if (s < end && (*s == '-' || *s == '+')) negative = *s++ == '-';
  uint64_t mantissa = 0;
  int digits = 0;
  int decimals = 0;
  while (s < end && static_cast<unsigned char>(*s - '0') < 10) {
    mantissa = mantissa * 10 + static_cast<uint64_t>(*s++ - '0');
    ++digits;
  }
  if (s < end && *s == '.') {
    ++s;
    while (s < end && static_cast<unsigned char>(*s - '0') < 10) {
      mantissa = mantissa * 10 + static_cast<uint64_t>(*s++ - '0');
      ++digits;
      ++decimals;
    }
  }
  if (s != end || digits == 0 || digits > 15) return false;
  const double magnitude = static_cast<double>(mantissa) / kPowersOfTen[decimals];
  value = negative ? -magnitude : magnitude;
  return true;
}

// Whole-field forms: the field, with surrounding blanks removed, must be a
// number and nothing else.
bool ParseIntField(std::string_view field, int& value);
bool ParseDoubleField(std::string_view field, double& value);

// Appends `value` in fixed notation with `precision` decimals, right-justified
// in `width` characters (a minimum; longer values are written whole).
void AppendFixed(std::string& out, double value, int width, int precision);
// Appends `count` values as AppendFixed does, `delimiter` between them: the
// room for the row is made once and the digits written straight into it.
void AppendFixedRow(std::string& out, const double* values, size_t count, int width, int precision, char delimiter);
// The same with the numbers side by side (fixed-width columns).
void AppendFixedRow(std::string& out, const double* values, size_t count, int width, int precision);
// Appends a decimal integer right-justified in `width` characters.
void AppendInt(std::string& out, long long value, int width = 0);
// Appends text padded with blanks to `width` characters (never cut).
void AppendRight(std::string& out, std::string_view text, int width);
void AppendLeft(std::string& out, std::string_view text, int width);

std::string FormatFixed(double value, int width, int precision);
std::string FormatInt(long long value, int width = 0);

}  // namespace tarvex
