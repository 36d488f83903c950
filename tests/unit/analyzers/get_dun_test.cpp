#include "analyzers/get_dun.h"

#include <gtest/gtest.h>

#include "../formats/amber_test_support.h"

namespace tarvex {
namespace {

using namespace amber_test;

const Point kA = {1, 0, 0}, kB = {0, 0, 0}, kC = {0, 1, 0};

TEST(GetDunGeometry, DihedralSignsFollowTheRightHandRule) {
  EXPECT_NEAR(MeasureDihedral(kA, kB, kC, {1, 1, 0}), 0.0, 1e-12);
  EXPECT_NEAR(MeasureDihedral(kA, kB, kC, {0, 1, 1}), -90.0, 1e-12);
  EXPECT_NEAR(MeasureDihedral(kA, kB, kC, {0, 1, -1}), 90.0, 1e-12);
  EXPECT_NEAR(MeasureDihedral(kA, kB, kC, {-1, 1, 0}), 180.0, 1e-12);
  EXPECT_EQ(MeasureDihedral(kA, kB, {2, 0, 0}, {3, 1, 0}), kUndefinedDihedral) << "a, b, c collinear";
}

// Rounding puts the cosine of these straight and planar arrangements just
// beyond -1; they must still measure 180 degrees.
TEST(GetDunGeometry, StraightAnglesAreNotNaN) {
  EXPECT_DOUBLE_EQ(MeasureAngle({0.1, 0.1, 0.3}, kB, {-0.2, -0.2, -0.6}), 180.0);
  EXPECT_NEAR(MeasureAngle(kA, kB, kC), 90.0, 1e-12);
  EXPECT_DOUBLE_EQ(MeasureDistance({1, 2, 3}, {4, 6, 3}), 5.0);
  EXPECT_DOUBLE_EQ(MeasureDihedral({0.1, 0.1, 0.3}, kB, {0.1, 0.2, 0.5}, {0.3, 1.1, 2.5}), 180.0);
  EXPECT_DOUBLE_EQ(MeasureDihedral({0.1, 0.1, 0.3}, kB, {0.1, 0.3, 0.7}, {0.1, 0.1, 0.3}), 0.0);
}

TEST(GetDunMeasurementFile, LineForms) {
  std::vector<std::vector<int>> groups;
  for (const char* line : {"1 2", "  1 2 3  ", "1 2 3 4 # a dihedral", "   # note", "", "5 : 6 7 8", "9:10"}) {
    ParseMeasurementLine(line, groups);
  }
  EXPECT_EQ(groups, (std::vector<std::vector<int>>{{1, 2}, {1, 2, 3}, {1, 2, 3, 4}, {5, 6}, {5, 7}, {5, 8}, {9, 10}}));
  for (const char* line : {"\t\t", "1", "1 2 3 4 5", "C1 C2", "1 x 2", ": 3 4", "1 2 : 3"}) {
    EXPECT_EQ(ErrorOf([&] { ParseMeasurementLine(line, groups); }),
              "Error: numbers of selected atoms are 2, 3, or 4.\n")
        << line;
  }
}

TEST(GetDunTable, RowLayouts) {
  const double values[] = {1.23456, -200.0, 180.0, -179.99996};
  std::string out;
  AppendTableRow(out, values, 4, false, -1, false);
  AppendTableRow(out, values, 2, true, 1000, false);
  AppendTableRow(out, values, 3, true, 5, true);
  AppendTableRow(out, values, 1, true, -500, false);
  AppendTableRow(out, values, 1, true, -1, false);
  EXPECT_EQ(out,
            "   1.2346       NaN  180.0000 -180.0000\n"
            " 1000    1.2346       NaN\n"
            "    5\t 1.2346\t    NaN\t180.0000\n"
            " -500    1.2346\n"
            "   -1    1.2346\n");
}

}  // namespace
}  // namespace tarvex
