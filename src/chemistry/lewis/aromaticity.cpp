#include "chemistry/lewis/aromaticity.h"

#include <algorithm>
#include <map>

namespace tarvex {
namespace {

bool Hueckel(int electrons) { return electrons >= 2 && (electrons - 2) % 4 == 0; }

int RingElectrons(const std::vector<int>& atoms, const std::vector<int>& contribution) {
  int total = 0;
  for (int a : atoms) {
    const int e = contribution[a];
    if (e < 0) return -1;
    total += e;
  }
  return total;
}

}  // namespace

std::vector<char> AromaticRings(const std::vector<std::vector<int>>& rings, const std::vector<int>& contribution) {
  std::vector<char> aromatic(rings.size(), 0);
  for (size_t r = 0; r < rings.size(); ++r) {
    aromatic[r] = Hueckel(RingElectrons(rings[r], contribution)) ? 1 : 0;
  }
  // Fused pairs: rings sharing a bond (two atoms). Index rings by their
  // bonds so that only real neighbours are paired.
  std::map<std::pair<int, int>, std::vector<size_t>> rings_of_bond;
  for (size_t r = 0; r < rings.size(); ++r) {
    const std::vector<int>& ring = rings[r];
    for (size_t k = 0; k < ring.size(); ++k) {
      int a = ring[k];
      int b = ring[(k + 1) % ring.size()];
      if (a > b) std::swap(a, b);
      rings_of_bond[{a, b}].push_back(r);
    }
  }
  std::vector<int> merged;
  for (const auto& [bond, sharing] : rings_of_bond) {
    for (size_t x = 0; x < sharing.size(); ++x) {
      for (size_t y = x + 1; y < sharing.size(); ++y) {
        const size_t r = sharing[x];
        const size_t s = sharing[y];
        if (aromatic[r] && aromatic[s]) continue;
        merged = rings[r];
        merged.insert(merged.end(), rings[s].begin(), rings[s].end());
        std::sort(merged.begin(), merged.end());
        merged.erase(std::unique(merged.begin(), merged.end()), merged.end());
        if (Hueckel(RingElectrons(merged, contribution))) aromatic[r] = aromatic[s] = 1;
      }
    }
  }
  return aromatic;
}

}  // namespace tarvex
