#include "analyzers/midmol.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../formats/pdb_test_files.h"

namespace tarvex {
namespace {

// The report's examples (atoms at 0, 2 and 10 on the x axis, one atom) are
// golden command-line cases; these are the rules the examples do not reach.
TEST(MidmolCenter, TiesKeepTheEarlierAtomAtBothEnds) {
  const CenterExtremes found = FindCenterExtremes({{9, 0, 0}, {-9, 0, 0}, {1, 0, 0}, {-1, 0, 0}}, 4, false);
  EXPECT_EQ(found.center, (Point{0, 0, 0}));
  EXPECT_EQ(found.nearest, 2);
  EXPECT_EQ(found.farthest, 0);
  EXPECT_DOUBLE_EQ(found.farthest_squared, 81.0);
}

TEST(MidmolCenter, CenterUsesEveryPointButOnlyTheAtomsCount) {
  const CenterExtremes found = FindCenterExtremes({{0, 0, 0}, {4, 0, 0}, {100, 0, 0}}, 2, true);
  EXPECT_DOUBLE_EQ(found.center[0], 104.0 / 3.0);
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
