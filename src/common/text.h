// Text scanning helpers shared by the readers and the option parsers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsAlpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
inline char ToUpperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Columns first..last of a line, 1-based and inclusive, as file-format
// documents count them. Columns past the end of a short line are absent, so
// the result may be shorter than asked (or empty); it never reads past the line.
inline std::string_view Columns(std::string_view line, size_t first, size_t last) {
  if (first < 1 || first > line.size() || last < first) return {};
  size_t count = last - first + 1;
  return line.substr(first - 1, count);
}
// The text from column `first` (1-based) to the end of the line.
inline std::string_view ColumnsFrom(std::string_view line, size_t first) {
  if (first < 1 || first > line.size()) return {};
  return line.substr(first - 1);
}
// The character at a 1-based column, or a blank past the end of the line.
inline char ColumnChar(std::string_view line, size_t column) {
  return (column >= 1 && column <= line.size()) ? line[column - 1] : ' ';
}

std::string ToUpper(std::string_view text);
std::string_view TrimLeft(std::string_view text, std::string_view chars = " \t\r\n\v\f");
std::string_view TrimRight(std::string_view text, std::string_view chars = " \t\r\n\v\f");
std::string_view Trim(std::string_view text, std::string_view chars = " \t\r\n\v\f");

// Splits at runs of white space; empty pieces are dropped.
std::vector<std::string_view> SplitWhite(std::string_view text);
// Takes the next white-space-separated word from `text`; false when none is left.
bool NextWord(std::string_view& text, std::string_view& word);

// True when every character of a non-empty word is in `allowed` or a digit.
bool IsMadeOf(std::string_view word, std::string_view allowed_besides_digits);

// The text after the last "." of a file name, or the whole name without ".".
std::string_view FileExtension(std::string_view name);
// The file name without its directory part (up to the last "/" or "\") and
// without its extension (from the last ".").
std::string FileStem(std::string_view path);

}  // namespace tarvex
