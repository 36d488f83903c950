// Atom selection words of convert's -ra option, such as
// "C,CA,N,125-630,800-920": atom numbers and ranges select atoms, a leading
// "_" excludes them, and words that do not begin with a digit are atom names
// (a leading "_" marking a name to exclude).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// Selected (selected = true) or excluded atom positions (numbers minus 1), in
// item order, ranges expanded ascending, duplicates kept.
std::vector<int> ParseSelectionNumbers(std::string_view word, bool selected);
// The atom names, in item order, with their "_" marks; empty items included.
std::vector<std::string> ParseSelectionNames(std::string_view word);

}  // namespace tarvex
