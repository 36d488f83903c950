#include "molecule/bond_map.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

namespace tarvex {
namespace {

// Bonds between atoms far apart in numbering (a file of random bonds, ten
// per atom) crowd the slots the sum of the pair points at; the table then
// mixes its keys instead. Every entry stays where find looks for it, before
// and after, in whatever order the pairs came.
TEST(PairMap, PairsFarApartAreAllFound) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> atom(0, 99999);
  std::vector<std::pair<int, int>> pairs;
  while (pairs.size() < 300000) {
    const int a = atom(random), b = atom(random);
    if (a != b) pairs.emplace_back(a, b);
  }
  PairMap<int> forward, backward;
  for (size_t k = 0; k < pairs.size(); ++k) forward.set(pairs[k].first, pairs[k].second, static_cast<int>(k % 5));
  for (size_t k = pairs.size(); k-- > 0;) {
    if (!backward.contains(pairs[k].second, pairs[k].first)) {
      backward.set(pairs[k].second, pairs[k].first, static_cast<int>(k % 5));
    }
  }
  size_t distinct = 0;
  forward.ForEach([&](int i, int j, int) {
    EXPECT_LT(i, j);
    ++distinct;
  });
  EXPECT_EQ(distinct, forward.size());
  EXPECT_EQ(backward.size(), forward.size());
  for (size_t k = 0; k < pairs.size(); k += 7) {
    ASSERT_NE(forward.find(pairs[k].second, pairs[k].first), nullptr);
  }
  EXPECT_FALSE(forward.contains(0, 0));
  // Neighbours in the file, the usual case, after a clear.
  forward.clear();
  for (int a = 0; a + 1 < 100000; ++a) forward.set(a, a + 1, 1);
  EXPECT_EQ(forward.size(), 99999u);
  EXPECT_EQ(*forward.find(50001, 50000), 1);
  EXPECT_EQ(forward.find(50000, 50002), nullptr);
}

}  // namespace
}  // namespace tarvex
