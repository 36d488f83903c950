#include "common/text.h"

namespace tarvex {

std::string ToUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ToUpperChar(c);
  return out;
}

std::string_view TrimLeft(std::string_view text, std::string_view chars) {
  size_t start = text.find_first_not_of(chars);
  return start == std::string_view::npos ? std::string_view{} : text.substr(start);
}

std::string_view TrimRight(std::string_view text, std::string_view chars) {
  size_t end = text.find_last_not_of(chars);
  return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

std::string_view Trim(std::string_view text, std::string_view chars) { return TrimRight(TrimLeft(text, chars), chars); }

bool NextWord(std::string_view& text, std::string_view& word) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i == text.size()) {
    text = {};
    return false;
  }
  size_t j = i;
  while (j < text.size() && !IsBlank(text[j])) ++j;
  word = text.substr(i, j - i);
  text.remove_prefix(j);
  return true;
}

std::vector<std::string_view> SplitWhite(std::string_view text) {
  std::vector<std::string_view> words;
  std::string_view word;
  while (NextWord(text, word)) words.push_back(word);
  return words;
}

bool IsMadeOf(std::string_view word, std::string_view allowed_besides_digits) {
  if (word.empty()) return false;
  for (char c : word) {
    if (!IsDigit(c) && allowed_besides_digits.find(c) == std::string_view::npos) return false;
  }
  return true;
}

std::string_view FileExtension(std::string_view name) {
  size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? name : name.substr(dot + 1);
}

std::string FileStem(std::string_view path) {
  size_t slash = path.find_last_of("/\\");
  if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
  size_t dot = path.rfind('.');
  if (dot != std::string_view::npos) path = path.substr(0, dot);
  return std::string(path);
}

}  // namespace tarvex
