// Geometry values and bond containers of the molecule record.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace tarvex {

using Point = std::array<double, 3>;  // x, y, z in angstrom
using Frame = std::vector<Point>;     // one point per atom, in atom order
using ReferenceTriple = std::array<int, 3>;

// Bonds as lists of neighbours per atom: atom position -> bonded positions in
// the order the bonds were added. Keys are visited in ascending order; an atom
// without an entry has no bonds (an entry may hold an empty list). Storage is
// dense by atom position, so a million-atom system costs no tree nodes; keys
// are atom positions and therefore never negative (readers drop bonds that
// name no atom before they get here).
class BondMap {
 public:
  using List = std::vector<int>;

  BondMap() = default;
  BondMap(std::initializer_list<std::pair<int, List>> entries);

  bool empty() const { return count_ == 0; }
  size_t size() const { return count_; }
  // One past the largest position that may hold an entry.
  int KeyLimit() const { return static_cast<int>(lists_.size()); }
  bool contains(int atom) const { return atom >= 0 && atom < KeyLimit() && present_[atom]; }
  const List* find(int atom) const { return contains(atom) ? &lists_[atom] : nullptr; }
  List* find(int atom) { return contains(atom) ? &lists_[atom] : nullptr; }
  // The entry of the atom, created empty when absent. `atom` must be >= 0.
  List& operator[](int atom);
  void erase(int atom);
  void clear();
  // Makes room for positions below `limit` without creating entries.
  void reserve(int limit);

  bool operator==(const BondMap& other) const;

  class const_iterator {
   public:
    const_iterator(const BondMap* map, int atom) : map_(map), atom_(atom) { Skip(); }
    std::pair<int, const List&> operator*() const { return {atom_, map_->lists_[atom_]}; }
    const_iterator& operator++() {
      ++atom_;
      Skip();
      return *this;
    }
    bool operator==(const const_iterator& other) const { return atom_ == other.atom_; }
    bool operator!=(const const_iterator& other) const { return atom_ != other.atom_; }

   private:
    void Skip() {
      while (atom_ < map_->KeyLimit() && !map_->present_[atom_]) ++atom_;
    }
    const BondMap* map_;
    int atom_;
  };
  const_iterator begin() const { return const_iterator(this, 0); }
  const_iterator end() const { return const_iterator(this, KeyLimit()); }

 private:
  std::vector<List> lists_;
  std::vector<uint8_t> present_;
  size_t count_ = 0;
};

// A map keyed by an unordered atom pair, stored as (smaller, larger). Used for
// bond orders and bond types; open addressing keeps a million bonds cheap.
// Iteration order is unspecified: writers walk bonds through BondMap instead.
template <typename T>
class PairMap {
 public:
  static uint64_t Key(int i, int j) {
    if (i > j) std::swap(i, j);
    return (static_cast<uint64_t>(static_cast<uint32_t>(i)) << 32) | static_cast<uint32_t>(j);
  }
  static std::pair<int, int> Unkey(uint64_t key) {
    return {static_cast<int>(static_cast<uint32_t>(key >> 32)), static_cast<int>(static_cast<uint32_t>(key))};
  }

  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  void clear() {
    slots_.clear();
    count_ = 0;
    mixed_ = false;
  }
  // Makes room for `count` entries without growing on the way.
  void reserve(size_t count) {
    size_t want = 16;
    while (want < count * 2 + 2) want *= 2;
    if (want > slots_.size()) Rehash(want);
  }
  const T* find(int i, int j) const {
    if (slots_.empty()) return nullptr;
    uint64_t key = Key(i, j);
    for (size_t s = Hash(key) & Mask();; s = (s + 1) & Mask()) {
      const Slot& slot = slots_[s];
      if (!slot.used) return nullptr;
      if (slot.key == key) return &slot.value;
    }
  }
  T* find(int i, int j) { return const_cast<T*>(static_cast<const PairMap*>(this)->find(i, j)); }
  bool contains(int i, int j) const { return find(i, j) != nullptr; }
  T& operator()(int i, int j) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    uint64_t key = Key(i, j);
    size_t probes = 0;
    for (size_t s = Hash(key) & Mask();; s = (s + 1) & Mask(), ++probes) {
      Slot& slot = slots_[s];
      if (!slot.used) {
        if (probes > kLongestProbe && !mixed_) {
          mixed_ = true;
          Rehash(slots_.size());
          return (*this)(i, j);
        }
        slot.used = true;
        slot.key = key;
        slot.value = T();
        ++count_;
        return slot.value;
      }
      if (slot.key == key) return slot.value;
    }
  }
  void set(int i, int j, T value) { (*this)(i, j) = std::move(value); }
  // Calls f(i, j, value) for every entry, i < j.
  template <typename F>
  void ForEach(F&& f) const {
    for (const Slot& slot : slots_) {
      if (slot.used) {
        auto [i, j] = Unkey(slot.key);
        f(i, j, slot.value);
      }
    }
  }
  bool operator==(const PairMap& other) const {
    if (count_ != other.count_) return false;
    bool same = true;
    ForEach([&](int i, int j, const T& value) {
      const T* there = other.find(i, j);
      if (!there || !(*there == value)) same = false;
    });
    return same;
  }

 private:
  struct Slot {
    uint64_t key = 0;
    T value{};
    bool used = false;
  };
  // The slot follows the sum of the two positions, so that the bonds of
  // neighbouring atoms land in neighbouring slots and a pass over a molecule
  // in atom order walks the table in order instead of missing the cache on
  // every bond; the low bits of the difference then spread the pairs that
  // share a sum over eight slots, so that a dense bond graph (hundreds of
  // bonds among atoms close in the file) does not crowd one stretch of the
  // table into long probes. Bonds between atoms far apart in the file, in
  // numbers (a file of random bonds: ten per atom over the whole range of
  // sums), still would: the first probe past kLongestProbe slots switches
  // the table to a multiplicative mix of both positions for good.
  static constexpr size_t kLongestProbe = 64;
  size_t Hash(uint64_t key) const {
    if (mixed_) {
      const uint64_t h = key * 0x9E3779B97F4A7C15ull;
      return static_cast<size_t>(h ^ (h >> 32));
    }
    auto [i, j] = Unkey(key);
    const size_t sum = static_cast<size_t>(static_cast<uint32_t>(i)) + static_cast<size_t>(static_cast<uint32_t>(j));
    const size_t difference = static_cast<size_t>(static_cast<uint32_t>(j) - static_cast<uint32_t>(i));
    return (sum << 3) + ((difference * 0x9E3779B9u) >> 29 & 7u);
  }
  size_t Mask() const { return slots_.size() - 1; }
  void Grow() { Rehash(slots_.empty() ? 16 : slots_.size() * 2); }
  void Rehash(size_t size) {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(size, Slot());
    count_ = 0;
    for (Slot& slot : old) {
      if (slot.used) {
        auto [i, j] = Unkey(slot.key);
        (*this)(i, j) = std::move(slot.value);
      }
    }
  }

  std::vector<Slot> slots_;
  size_t count_ = 0;
  bool mixed_ = false;
};

using BondOrderMap = PairMap<int>;

}  // namespace tarvex
