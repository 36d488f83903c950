#include "molecule/bond_map.h"

namespace tarvex {

BondMap::BondMap(std::initializer_list<std::pair<int, List>> entries) {
  for (const auto& [atom, list] : entries) (*this)[atom] = list;
}

BondMap::List& BondMap::operator[](int atom) {
  size_t index = static_cast<size_t>(atom);
  if (index >= lists_.size()) {
    lists_.resize(index + 1);
    present_.resize(index + 1, 0);
  }
  if (!present_[index]) {
    present_[index] = 1;
    ++count_;
  }
  return lists_[index];
}

void BondMap::erase(int atom) {
  if (!contains(atom)) return;
  size_t index = static_cast<size_t>(atom);
  present_[index] = 0;
  List().swap(lists_[index]);
  --count_;
}

void BondMap::clear() {
  lists_.clear();
  present_.clear();
  count_ = 0;
}

void BondMap::reserve(int limit) {
  if (limit > KeyLimit()) {
    lists_.resize(static_cast<size_t>(limit));
    present_.resize(static_cast<size_t>(limit), 0);
  }
}

bool BondMap::operator==(const BondMap& other) const {
  if (count_ != other.count_) return false;
  for (auto [atom, list] : *this) {
    const List* there = other.find(atom);
    if (!there || *there != list) return false;
  }
  return true;
}

}  // namespace tarvex
