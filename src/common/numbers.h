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

// Whole-field forms: the field, with surrounding blanks removed, must be a
// number and nothing else.
bool ParseIntField(std::string_view field, int& value);
bool ParseDoubleField(std::string_view field, double& value);

// Appends `value` in fixed notation with `precision` decimals, right-justified
// in `width` characters (a minimum; longer values are written whole).
void AppendFixed(std::string& out, double value, int width, int precision);
// Appends a decimal integer right-justified in `width` characters.
void AppendInt(std::string& out, long long value, int width = 0);
// Appends text padded with blanks to `width` characters (never cut).
void AppendRight(std::string& out, std::string_view text, int width);
void AppendLeft(std::string& out, std::string_view text, int width);

std::string FormatFixed(double value, int width, int precision);
std::string FormatInt(long long value, int width = 0);

}  // namespace tarvex
