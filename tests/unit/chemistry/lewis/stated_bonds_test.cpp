// Bonds a file states, kept beside the perceived ones where their length
// allows a bond.
#include "chemistry/lewis/stated_bonds.h"

#include <gtest/gtest.h>

#include "../../support/scratch_dir.h"
#include "formats/mol2_file.h"

namespace tarvex {
namespace {

BondMap Stated(const std::vector<std::pair<int, int>>& pairs) {
  BondMap map;
  for (auto [a, b] : pairs) map[a].push_back(b);  // one-sided, as CONECT records may be
  return map;
}

TEST(StatedBonds, KeptWhereTheirLengthAllowsABond) {
  testing::UseParameterFile("");
  const CMol2File loads_the_registry;
  // 0 Zn, 1 S at 2.3 (metal bond), 2 S at 2.05 from 1 (disulfide), 3 O at
  // 1.9 from hydrogen 4 (a hydrogen bond), 5 B and 6 F at 1.38 (no standard
  // length), 7 N at 2.9 from 3 (a salt bridge), 8 C without coordinates.
  const std::vector<std::string> types{"ZN", "S", "S", "O", "H", "B", "F", "N", "C"};
  Frame points{{0, 0, 0},    {2.3, 0, 0}, {2.3, 2.05, 0}, {10, 0, 0},
               {11.9, 0, 0}, {20, 0, 0},  {21.38, 0, 0},  {10, 2.9, 0}};
  BondMap bonds;
  bonds[3].push_back(4);  // perceived: nothing of the stated ones but this
  bonds[4].push_back(3);
  AddStatedBonds(bonds, Stated({{0, 1}, {1, 2}, {2, 1}, {4, 3}, {5, 6}, {3, 7}, {8, 2}, {0, 9}, {1, 1}}), 9, points,
                 types);
  EXPECT_EQ(bonds, (BondMap{{0, {1}}, {1, {0, 2}}, {2, {1, 8}}, {3, {4}}, {4, {3}}, {5, {6}}, {6, {5}}, {8, {2}}}));
}

TEST(StatedBonds, HydrogenBondsAndFarPairsAreLeftOut) {
  testing::UseParameterFile("");
  const CMol2File loads_the_registry;
  const std::vector<std::string> types{"O", "H", "N", "C", "C"};
  // H 1 is 1.9 from O 0, N 2 is 2.9 from O 0, C 4 is 2.6 from C 3 (longer
  // than 1.2 times the widened C-C length of 1.755).
  Frame points{{0, 0, 0}, {1.9, 0, 0}, {0, 2.9, 0}, {5, 0, 0}, {7.6, 0, 0}};
  BondMap bonds;
  AddStatedBonds(bonds, Stated({{0, 1}, {0, 2}, {3, 4}}), 5, points, types);
  EXPECT_TRUE(bonds.empty());
}

}  // namespace
}  // namespace tarvex
