#include "chemistry/lewis/bond_lengths.h"

#include <utility>

#include "chemistry/atomic_numbers.h"

namespace tarvex {

int BondLengthSays(const ChemGraph& graph, int a, int b, float ratio) {
  if (!(ratio > 0.0f)) return 0;
  int za = graph.AtomicNumber(a);
  int zb = graph.AtomicNumber(b);
  if (za == kCarbon && zb == kCarbon) {
    if (ratio <= 0.90f) return 1;
    return ratio >= 0.96f ? -1 : 0;
  }
  if (za == kSulfur) {
    std::swap(za, zb);
    std::swap(a, b);
  }
  if (za == kCarbon && zb == kSulfur && graph.Degree(a) == 3 && ratio >= 0.96f) return -1;
  return 0;
}

}  // namespace tarvex
