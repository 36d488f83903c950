#include "molecule/atom_numbers.h"

#include <algorithm>
#include <climits>

namespace tarvex {

AtomNumbers& AtomNumbers::operator=(const AtomNumbers& other) {
  std::vector<int>::operator=(other);
  Changed();
  return *this;
}

AtomNumbers& AtomNumbers::operator=(const std::vector<int>& numbers) {
  std::vector<int>::operator=(numbers);
  Changed();
  return *this;
}

int AtomNumbers::FirstPosition(int number, int limit) {
  const int count = std::min(limit, static_cast<int>(std::min<size_t>(size(), INT_MAX)));
  if (count < 1) return -1;
  if (!built_ || built_count_ != count || built_data_ != data() || built_size_ != size()) Build(count);
  if (sorted_.empty()) {
    const int64_t slot = static_cast<int64_t>(number) - lowest_;
    return slot >= 0 && slot < static_cast<int64_t>(position_of_.size()) ? position_of_[slot] : -1;
  }
  auto found = std::lower_bound(sorted_.begin(), sorted_.end(), std::pair<int, int>{number, INT_MIN});
  return found != sorted_.end() && found->first == number ? found->second : -1;
}

void AtomNumbers::Build(int count) {
  const auto first = begin();
  const auto last = begin() + count;
  const auto [low, high] = std::minmax_element(first, last);
  const int64_t span = static_cast<int64_t>(*high) - *low + 1;
  position_of_.clear();
  sorted_.clear();
  if (span <= 2 * static_cast<int64_t>(count) + 64) {
    lowest_ = *low;
    position_of_.assign(static_cast<size_t>(span), -1);
    // Filled from the last atom back, so that the first carrying a number
    // is the one left.
    for (int i = count - 1; i >= 0; --i) {
      position_of_[static_cast<size_t>((*this)[i] - lowest_)] = i;
    }
  } else {
    sorted_.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) sorted_.emplace_back((*this)[i], i);
    std::sort(sorted_.begin(), sorted_.end());
    // Of equal numbers the first position sorts first; keep only it.
    sorted_.erase(
        std::unique(sorted_.begin(), sorted_.end(), [](const auto& a, const auto& b) { return a.first == b.first; }),
        sorted_.end());
  }
  position_of_.shrink_to_fit();
  sorted_.shrink_to_fit();
  built_ = true;
  built_count_ = count;
  built_data_ = data();
  built_size_ = size();
}

}  // namespace tarvex
