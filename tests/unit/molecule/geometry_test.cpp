#include "molecule/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace tarvex {
namespace {

constexpr Point kOrigin{0, 0, 0};

TEST(Geometry, CollinearPoints) {
  // A straight chain whose cosine rounds past -1: clamped to exactly 180.
  EXPECT_EQ(AngleDegrees({0.1, 0.1, 0.3}, kOrigin, {-0.2, -0.2, -0.6}), 180.0);
  EXPECT_EQ(DefinedAngleDegrees({0.1, 0.1, 0.3}, kOrigin, {-0.2, -0.2, -0.6}), 180.0);
  EXPECT_EQ(AngleDegrees({1, 0, 0}, kOrigin, {3, 0, 0}), 0.0) << "folded back on itself";
  // Three collinear atoms leave the dihedral without a plane, whichever
  // three they are.
  EXPECT_FALSE(DihedralDegrees({1, 0, 0}, kOrigin, {-2, 0, 0}, {0, 1, 0}).has_value());
  EXPECT_FALSE(DihedralDegrees({0, 1, 0}, kOrigin, {1, 0, 0}, {2, 0, 0}).has_value());
  EXPECT_FALSE(DihedralDegrees({1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}).has_value());
}

TEST(Geometry, CoincidentPoints) {
  const Point p{1.5, -2.0, 3.25};
  EXPECT_EQ(Distance(p, p), 0.0);
  EXPECT_EQ(SquaredDistance(p, p), 0.0);
  EXPECT_TRUE(std::isnan(AngleDegrees(p, p, {0, 0, 0}))) << "the plain formula: 0/0";
  EXPECT_FALSE(DefinedAngleDegrees(p, p, {0, 0, 0}).has_value());
  EXPECT_FALSE(DefinedAngleDegrees({0, 0, 0}, p, p).has_value());
  EXPECT_FALSE(DihedralDegrees(p, p, {0, 0, 0}, {1, 1, 1}).has_value());
  EXPECT_FALSE(DihedralDegrees({1, 0, 0}, kOrigin, {0, 1, 0}, {0, 1, 0}).has_value()) << "d on c";
}

// The signs of the four quadrants, and the tiny-normal cut-off: a plane is
// undefined only below 1e-12, so a nearly straight chain still has one.
TEST(Geometry, DihedralSignsAndLimit) {
  const Point a{1, 0, 0};
  const Point c{0, 1, 0};
  EXPECT_NEAR(*DihedralDegrees(a, kOrigin, c, {1, 1, 0}), 0.0, 1e-12);
  EXPECT_NEAR(*DihedralDegrees(a, kOrigin, c, {0, 1, 1}), -90.0, 1e-12);
  EXPECT_NEAR(*DihedralDegrees(a, kOrigin, c, {0, 1, -1}), 90.0, 1e-12);
  EXPECT_EQ(*DihedralDegrees(a, kOrigin, c, {-1, 1, 0}), 180.0);
  EXPECT_TRUE(DihedralDegrees({1, 1e-11, 0}, kOrigin, {-1, 0, 0}, {-1, 1, 0}).has_value());
  EXPECT_FALSE(DihedralDegrees({1, 1e-13, 0}, kOrigin, {-1, 0, 0}, {-1, 1, 0}).has_value());
}

TEST(Geometry, DegreesAreTakenAsXTimes180OverPi) {
  for (double cosine = -1.0; cosine <= 1.0; cosine += 1.0 / 1024) {
    EXPECT_EQ(AcosDegrees(cosine), std::acos(cosine) * 180.0 / 3.141592653589793) << cosine;
  }
  EXPECT_EQ(AcosDegrees(1.0000000000000002), 0.0);
  EXPECT_EQ(AcosDegrees(-1.0000000000000002), 180.0);
  EXPECT_TRUE(std::isnan(AcosDegrees(std::numeric_limits<double>::quiet_NaN())));
}

TEST(Geometry, HugeAndNonFiniteCoordinates) {
  const double huge = 1e300;
  EXPECT_FALSE(DefinedAngleDegrees({huge, 0, 0}, {-huge, 0, 0}, {0, huge, 0}).has_value())
      << "lengths overflow to infinity";
  EXPECT_EQ(Distance({huge, 0, 0}, {-huge, 0, 0}), std::numeric_limits<double>::infinity());
  EXPECT_FALSE(IsFinite({0, std::numeric_limits<double>::quiet_NaN(), 0}));
  EXPECT_FALSE(IsFinite({0, 0, -std::numeric_limits<double>::infinity()}));
  EXPECT_TRUE(IsFinite({huge, -huge, 0}));
}

TEST(Geometry, Arithmetic) {
  const Point a{1, 2, 3};
  const Point b{4, 6, 3};
  EXPECT_EQ(Distance(a, b), 5.0);
  EXPECT_EQ(Minus(b, a), (Point{3, 4, 0}));
  EXPECT_EQ(Plus(a, b), (Point{5, 8, 6}));
  EXPECT_EQ(Scaled(a, -2.0), (Point{-2, -4, -6}));
  EXPECT_EQ(Dot(a, b), 25.0);
  EXPECT_EQ(Cross({1, 0, 0}, {0, 1, 0}), (Point{0, 0, 1}));
  EXPECT_EQ(Norm({3, 4, 12}), 13.0);
}

// phi and psi computed together are bit for bit the two dihedrals computed
// apart, defined or not, on random chains and on chains with collinear or
// coincident atoms.
TEST(Geometry, ConsecutiveDihedralsAreTheDihedralsApart) {
  std::mt19937 random(4);
  std::uniform_real_distribution<double> coordinate(-20.0, 20.0);
  for (int trial = 0; trial < 20000; ++trial) {
    std::array<Point, 5> chain{};
    for (Point& p : chain) p = {coordinate(random), coordinate(random), coordinate(random)};
    if (trial % 5 == 1) chain[2] = chain[1];                                   // coincident atoms
    if (trial % 5 == 2) chain[3] = Plus(chain[2], Minus(chain[2], chain[1]));  // a straight b-c-d
    const auto together = ConsecutiveDihedralsDegrees(chain[0], chain[1], chain[2], chain[3], chain[4]);
    const auto first = DihedralDegrees(chain[0], chain[1], chain[2], chain[3]);
    const auto second = DihedralDegrees(chain[1], chain[2], chain[3], chain[4]);
    ASSERT_EQ(together[0].has_value(), first.has_value()) << trial;
    ASSERT_EQ(together[1].has_value(), second.has_value()) << trial;
    if (first) {
      ASSERT_EQ(*together[0], *first) << trial;
    }
    if (second) {
      ASSERT_EQ(*together[1], *second) << trial;
    }
  }
}

}  // namespace
}  // namespace tarvex
