#include "analyzers/midmol.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../formats/pdb_test_files.h"

namespace tarvex {
namespace {

// Atoms at 0, 2 and 10 on the x axis.
const Frame kLine = {{0, 0, 0}, {2, 0, 0}, {10, 0, 0}};

TEST(MidmolCenter, BoundingBoxCenterKeepsTheEarlierAtomOnTies) {
  const CenterExtremes found = FindCenterExtremes(kLine, 3, false);
  EXPECT_EQ(found.center, (Point{5, 0, 0}));
  EXPECT_EQ(found.nearest, 1);
  EXPECT_DOUBLE_EQ(found.nearest_squared, 9.0);
  EXPECT_EQ(found.farthest, 0) << "atom 3 at the same distance comes later";
  EXPECT_DOUBLE_EQ(found.farthest_squared, 25.0);
}

TEST(MidmolCenter, CenterOfBalanceIsTheMeanWithoutMasses) {
  const CenterExtremes found = FindCenterExtremes(kLine, 3, true);
  EXPECT_EQ(found.center, (Point{4, 0, 0}));
  EXPECT_EQ(found.nearest, 1);
  EXPECT_DOUBLE_EQ(found.nearest_squared, 4.0);
  EXPECT_EQ(found.farthest, 2);
  EXPECT_DOUBLE_EQ(found.farthest_squared, 36.0);
}

// An atom that is nearer than all before it never counts as the farthest in
// the same step, and one atom is both extremes at distance 0.
TEST(MidmolCenter, OneAtomAndFirstAtomExtremes) {
  const CenterExtremes one = FindCenterExtremes({{1, 2, 3}}, 1, false);
  EXPECT_EQ(one.center, (Point{1, 2, 3}));
  EXPECT_EQ(one.nearest, 0);
  EXPECT_EQ(one.farthest, 0);
  EXPECT_EQ(one.farthest_squared, 0.0);

  const Frame falling = {{9, 0, 0}, {-9, 0, 0}, {1, 0, 0}, {-0.5, 0, 0}};
  const CenterExtremes found = FindCenterExtremes(falling, 4, false);
  EXPECT_EQ(found.nearest, 3);
  EXPECT_EQ(found.farthest, 0);
}

TEST(MidmolCenter, CenterUsesEveryPointButOnlyTheAtomsCount) {
  const CenterExtremes found = FindCenterExtremes({{0, 0, 0}, {4, 0, 0}, {100, 0, 0}}, 2, false);
  EXPECT_EQ(found.center, (Point{50, 0, 0}));
  EXPECT_EQ(found.nearest, 1);
  EXPECT_EQ(found.farthest, 0);
}

TEST(MidmolCorpus, EveryPdbFileRuns) {
  if (!testing_files::CorpusPresent()) GTEST_SKIP() << "corpus not found";
  for (const std::string& input : testing_files::CorpusFiles("pdb")) {
    for (const char* center : {"-i", "-bi"}) {
      SCOPED_TRACE(input + " " + center);
      const auto [out, err] = testing_files::RunAnalyzer<CMidmol>({"midmol", center, input});
      EXPECT_EQ(out.rfind("Number of atoms: ", 0), 0u);
      EXPECT_NE(out.find("Farthest atom from the center: \n  Distance: "), std::string::npos);
      EXPECT_EQ(err, "");
    }
  }
}

}  // namespace
}  // namespace tarvex
