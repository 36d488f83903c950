// The record's atom_index (the atom number of every position, as files and
// users write them) together with the reverse look-up that AtomNumberToIndex
// answers from: the first position carrying a number.
//
// The look-up is built on first use and kept while the numbers hold still:
// a dense table (number - lowest -> position) when the numbers span at most
// about twice their count, as numberings nearly always do, and otherwise a
// sorted list of (number, position). Either costs 4 to 8 bytes per atom, and
// nothing for a record nobody asks.
//
// It is the std::vector<int> that GetAtomIndex hands out, so that every way of
// changing the numbers keeps working. Any assignment, clear() or resize()
// drops the look-up; so does a change of the list's length or storage, or of
// the atom count the search covers. Changes that keep all of these and go
// through a std::vector<int> reference (writing elements, clearing and
// refilling to the same length) must be announced with Changed(): the record
// does so wherever it hands the list out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace tarvex {

class AtomNumbers : public std::vector<int> {
 public:
  AtomNumbers() = default;
  AtomNumbers(const AtomNumbers& other) : std::vector<int>(other) {}
  AtomNumbers& operator=(const AtomNumbers& other);
  AtomNumbers& operator=(const std::vector<int>& numbers);

  // Emptying or resizing the list (to be refilled) drops the look-up.
  void clear() {
    std::vector<int>::clear();
    Changed();
  }
  void resize(size_t count) {
    std::vector<int>::resize(count);
    Changed();
  }

  // The first position i < min(limit, size()) with (*this)[i] == number, or -1.
  int FirstPosition(int number, int limit);
  // The numbers may have changed: the next look-up builds afresh.
  void Changed() {
    built_ = false;
    ++generation_;
  }
  // Grows with every Changed() (assignments included).
  uint64_t Generation() const { return generation_; }

 private:
  void Build(int count);

  bool built_ = false;
  uint64_t generation_ = 0;
  // What the look-up was built from.
  int built_count_ = 0;
  const int* built_data_ = nullptr;
  size_t built_size_ = 0;
  // Dense: position_of_[number - lowest_], -1 where no atom has the number.
  int64_t lowest_ = 0;
  std::vector<int> position_of_;
  // Sparse: (number, first position) ascending by number.
  std::vector<std::pair<int, int>> sorted_;
};

}  // namespace tarvex
