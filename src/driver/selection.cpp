#include "driver/selection.h"

#include "common/console.h"
#include "common/numbers.h"
#include "common/text.h"

namespace tarvex {
namespace {

// Items are separated by ","; two commas in a row give an empty item.
std::vector<std::string_view> Items(std::string_view word) {
  std::vector<std::string_view> items;
  size_t start = 0;
  for (;;) {
    size_t comma = word.find(',', start);
    items.push_back(word.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (comma == std::string_view::npos) return items;
    start = comma + 1;
  }
}

// Ranges longer than this (ten million atoms, beyond any system a fit is
// run on) are refused with a warning rather than expanded, so a mistyped
// "1-2000000000" cannot exhaust memory.
constexpr long long kMaxRange = 10000000;

}  // namespace

std::vector<int> ParseSelectionNumbers(std::string_view word, bool selected) {
  std::vector<int> positions;
  for (std::string_view item : Items(word)) {
    bool excluded = !item.empty() && item.front() == '_';
    if (excluded) item.remove_prefix(1);
    if (item.empty() || !IsDigit(item.front()) || excluded == selected) continue;
    // In a range every "-" reads as a blank: "N-M" holds the two numbers.
    std::string text(item);
    const bool range = text.find('-') != std::string::npos;
    for (char& c : text) c = c == '-' ? ' ' : c;
    int first = 0;
    size_t used = ParseIntPrefix(text, first);
    if (used == 0) continue;
    if (!range) {
      positions.push_back(first - 1);
      continue;
    }
    int last = 0;
    if (ParseIntPrefix(std::string_view(text).substr(used), last) == 0) continue;
    if (static_cast<long long>(last) - first >= kMaxRange) {
      Warn("Warning: atom number range " + std::string(item) + " is too long; ignored.");
      continue;
    }
    for (long long n = first; n <= last; ++n) positions.push_back(static_cast<int>(n - 1));
  }
  return positions;
}

std::vector<std::string> ParseSelectionNames(std::string_view word) {
  std::vector<std::string> names;
  for (std::string_view item : Items(word)) {
    if (!item.empty() && IsDigit(item.front())) continue;
    if (item.size() >= 2 && item.front() == '_' && IsDigit(item[1])) continue;
    names.emplace_back(item);
  }
  return names;
}

}  // namespace tarvex
