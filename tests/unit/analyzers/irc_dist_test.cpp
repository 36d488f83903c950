#include "analyzers/irc_dist.h"

#include <gtest/gtest.h>

#include <cmath>

#include "../formats/pdb_test_files.h"
#include "../support/scratch_dir.h"
#include "common/numbers.h"
#include "molecule/geometry.h"

namespace tarvex {
namespace {

using testing::ScratchDir;
using testing_files::CorpusPresent;
using testing_files::RunAnalyzer;

const std::vector<double> kWaterMasses = {15.9994, 1.00794, 1.00794};
const Frame kWater = {{0.3, -0.2, 0.119262}, {0.3, 0.563239, -0.477047}, {0.3, -0.963239, -0.477047}};

Point Rotate(const Point& p, const Point& axis, double degrees) {
  const double t = degrees * kRadiansPerDegree;
  const Point k = Scaled(axis, 1.0 / Norm(axis));
  return Plus(Plus(Scaled(p, std::cos(t)), Scaled(Cross(k, p), std::sin(t))),
              Scaled(k, Dot(k, p) * (1.0 - std::cos(t))));
}

TEST(IrcGeometry, PrincipalAxesDiagonaliseTheInertia) {
  const Frame centred = CentredOnMass(kWater, kWaterMasses);
  Point centre{0, 0, 0};
  for (size_t i = 0; i < 3; ++i) centre = Plus(centre, Scaled(centred[i], kWaterMasses[i]));
  EXPECT_LT(Norm(centre), 1e-12);
  const PrincipalFrame frame = PrincipalAxes(centred, kWaterMasses);
  EXPECT_LT(frame.moments[0], frame.moments[1]);
  EXPECT_LT(frame.moments[1], frame.moments[2]);
  // A planar molecule: the largest moment is the sum of the other two.
  EXPECT_NEAR(frame.moments[2], frame.moments[0] + frame.moments[1], 1e-9);
  // In its principal axes the products of inertia vanish.
  const Frame oriented = Oriented(centred, frame.axes);
  double xy = 0, xz = 0, yz = 0;
  for (size_t i = 0; i < 3; ++i) {
    xy += kWaterMasses[i] * oriented[i][0] * oriented[i][1];
    xz += kWaterMasses[i] * oriented[i][0] * oriented[i][2];
    yz += kWaterMasses[i] * oriented[i][1] * oriented[i][2];
  }
  EXPECT_NEAR(xy, 0.0, 1e-12);
  EXPECT_NEAR(xz, 0.0, 1e-12);
  EXPECT_NEAR(yz, 0.0, 1e-12);
  EXPECT_NEAR(
      MassWeightedDistance(kWater, Oriented(kWater, {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}, {1, 1, 1}), kWaterMasses), 0.0,
      1e-15);
  EXPECT_NEAR(MassWeightedDistance({{0, 0, 0}}, {{3, 4, 0}}, {4.0}), 10.0, 1e-12);
}

// A log with one geometry block and "SCF Done" line per structure.
std::string Log(const std::vector<Frame>& frames, const std::vector<std::string>& marks) {
  std::string text;
  for (size_t k = 0; k < frames.size(); ++k) {
    text +=
        "                          Input orientation:\n ---\n Center Atomic Atomic Coordinates (Angstroms)\n"
        " Number Number Type X Y Z\n ---------------------------------\n";
    const int elements[3] = {8, 1, 1};
    for (size_t i = 0; i < frames[k].size(); ++i) {
      char line[128];
      std::snprintf(line, sizeof line, " %5zu %10d %11d %15.6f %11.6f %11.6f\n", i + 1, elements[i], 0, frames[k][i][0],
                    frames[k][i][1], frames[k][i][2]);
      text += line;
    }
    text += " ---------------------------------\n";
    text += k < marks.size() ? marks[k] : "";
  }
  return text;
}

// Gaussian 98/03: "SCF Done" lines counted up to "Optimization completed"
// number the structure; the next "SCF Done" is its energy; the last mark
// is dropped. -s passes over the first mark.
TEST(IrcPoints, OptimizationCompletedLayout) {
  ScratchDir scratch;
  const std::string path =
      scratch.Write("old.log",
                    " SCF Done:  E(RHF) =  -1.0\n SCF Done:  E(RHF) =  -2.0\n Optimization completed.\n"
                    " SCF Done:  E(RHF) =  -3.0\n SCF Done:  E(RHF) =  -4.0\n Optimization completed.\n"
                    " SCF Done:  E(RB3LYP) =  -5.0\n Optimization completed.\n");
  IrcPoints points = FindIrcPoints(path, false);
  EXPECT_EQ(points.positions, (std::vector<size_t>{2, 4}));
  EXPECT_EQ(points.energies, (std::vector<double>{-3.0, -5.0}));
  EXPECT_EQ(points.error, "");
  points = FindIrcPoints(path, true);
  EXPECT_EQ(points.positions, (std::vector<size_t>{4}));
  EXPECT_EQ(points.energies, (std::vector<double>{-5.0}));

  const std::string bare = scratch.Write("bare.log",
                                         " Optimization completed.\n Optimization completed.\n"
                                         " SCF Done:  E(RHF) =  -3.0\n Optimization completed.\n");
  EXPECT_EQ(FindIrcPoints(bare, false).error, "Error: an IRC structure of " + bare + " has no SCF energy before it.");
}

// Gaussian 09/16: each "Point Number:" line closes a point whose structure
// and energy are the last before it; the reverse path comes first, from
// its far end, then the transition state and the forward path.
TEST(IrcPoints, PointNumberLayout) {
  ScratchDir scratch;
  const std::string path =
      scratch.Write("new.log",
                    " SCF Done:  E(UB3LYP) =  -10.0\n Point Number:   0          Path Number:   1\n"
                    " SCF Done:  E(UB3LYP) =  -11.0\n Point Number:   1          Path Number:   1\n"
                    " Point Number  2 in FORWARD path direction.\n"
                    " SCF Done:  E(UB3LYP) =  -12.0\n Point Number:   2          Path Number:   1\n"
                    " SCF Done:  E(UB3LYP) =  -13.0\n Point Number:   0          Path Number:   2\n"
                    " SCF Done:  E(UB3LYP) =  -14.0\n Point Number:   1          Path Number:   2\n"
                    " SCF Done:  E(UB3LYP) =  -15.0\n Point Number:   2          Path Number:   2\n");
  IrcPoints points = FindIrcPoints(path, false);
  EXPECT_EQ(points.positions, (std::vector<size_t>{5, 4, 0, 1, 2}));
  EXPECT_EQ(points.energies, (std::vector<double>{-15, -14, -10, -11, -12}));
  EXPECT_EQ(FindIrcPoints(path, true).positions, (std::vector<size_t>{4, 0, 1, 2}));
  const std::string early = scratch.Write("early.log", " Point Number:   0          Path Number:   1\n");
  EXPECT_NE(FindIrcPoints(early, false).error, "");
}

TEST(IrcPoints, Gaussian09RunOfTheCorpus) {
  if (!CorpusPresent()) GTEST_SKIP() << "corpus not found";
  const IrcPoints points = FindIrcPoints(std::string(TARVEX_CORPUS) + "/log/rxn_1_irc_1.out", false);
  ASSERT_EQ(points.positions.size(), 51u);
  for (size_t k = 0; k < points.positions.size(); ++k) EXPECT_EQ(points.positions[k], k);
  EXPECT_EQ(points.energies.front(), -303.577879721);
  EXPECT_EQ(points.energies[1], -303.578211343);
  EXPECT_EQ(points.energies.back(), -303.605611874);
}

// The reorientation absorbs any rigid motion: a rotated, shifted copy is
// no step at all, and neither is a half turn about a principal axis; with
// SECOND the structures are compared as they stand.
TEST(Ircdist, RigidMotionsAreNoStep) {
  ScratchDir scratch;
  Frame moved;
  for (const Point& p : kWater) moved.push_back(Plus(Rotate(p, {1, 2, 3}, 40.0), {5, -1, 2}));
  Frame stretched = kWater;
  stretched[1][1] += 0.1;
  const std::string path = scratch.Write(
      "path.log", Log({kWater, moved, stretched}, {" SCF Done:  E(RHF) =  -76.01\n", " SCF Done:  E(RHF) =  -76.02\n",
                                                   " SCF Done:  E(RHF) =  -76.03\n"}));
  auto [out, err] = RunAnalyzer<CIrcdist>({"ircdist", "-f", "ALL", "-iat", path, "LOG"});
  EXPECT_EQ(err, "");
  // The stretch is a step, and the running total after it that step.
  EXPECT_EQ(out.substr(0, 76), "   0.00000   0.00000     -76.01000000\n   0.00000   0.00000     -76.02000000\n");
  EXPECT_GT(std::stod(out.substr(76, 10)), 0.05);
  EXPECT_NEAR(std::stod(out.substr(76, 10)), std::stod(out.substr(86, 10)), 2e-5);
  EXPECT_EQ(out.substr(96), "     -76.03000000\n");

  std::tie(out, err) =
      RunAnalyzer<CIrcdist>({"ircdist", "-r", "-m", "-76", "-f", "SECOND", "EACH", "-iat", path, "LOG"});
  const std::string step = FormatFixed(-MassWeightedDistance(kWater, moved, kWaterMasses), 10, 5);
  EXPECT_EQ(out.substr(0, 76), "   0.00000   0.00000      -0.01000000\n" + step + step + "      -0.02000000\n");
}

}  // namespace
}  // namespace tarvex
