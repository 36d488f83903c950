#include "chemistry/geometry/bond_perception.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "../../support/scratch_dir.h"
#include "../../support/test_record.h"

namespace tarvex {
namespace {

using testing::TestRecord;

class BondPerceptionTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::UseParameterFile(""); }

  // A record of atoms with types and points, numbered 1..n, without residues.
  static void Fill(TestRecord& record, const std::vector<std::string>& types, const Frame& points) {
    int n = static_cast<int>(types.size());
    record.SetNumberOfAtoms(n);
    record.SetAtomType(types);
    record.SetCartesian(points);
    std::vector<int> numbers(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) numbers[i] = i + 1;
    record.SetAtomIndex(numbers);
  }
};

TEST_F(BondPerceptionTest, EthaneHasSevenBonds) {
  // Staggered ethane, C-C 1.53 and C-H 1.09 angstrom.
  const double cc = 1.53, ch = 1.09, c = ch * std::cos(70.53 * M_PI / 180), s = ch * std::sin(70.53 * M_PI / 180);
  Frame points = {{0, 0, 0}, {cc, 0, 0}};
  for (int k = 0; k < 3; ++k) {
    double phi = k * 2 * M_PI / 3;
    points.push_back({-c, s * std::cos(phi), s * std::sin(phi)});
  }
  for (int k = 0; k < 3; ++k) {
    double phi = k * 2 * M_PI / 3 + M_PI / 3;
    points.push_back({cc + c, s * std::cos(phi), s * std::sin(phi)});
  }
  TestRecord record;
  Fill(record, {"C", "C", "H", "H", "H", "H", "H", "H"}, points);
  record.CreateConnection();
  EXPECT_EQ(
      record.GetConnection(),
      (BondMap{{0, {1, 2, 3, 4}}, {1, {0, 5, 6, 7}}, {2, {0}}, {3, {0}}, {4, {0}}, {5, {1}}, {6, {1}}, {7, {1}}}));
}

TEST_F(BondPerceptionTest, ExactlyTheScaledLengthIsNoBond) {
  TestRecord record;
  const double length = 1.15 * 1.526;
  Fill(record, {"C", "C", "C"}, {{0, 0, 0}, {length, 0, 0}, {0, length * 0.999, 0}});
  record.CreateConnection();
  EXPECT_EQ(record.GetConnection(), (BondMap{{0, {2}}, {2, {0}}}));
}

TEST_F(BondPerceptionTest, OvercoordinatedCarbonLosesItsLongBonds) {
  // Five hydrogens around a carbon: two at 1.09 (kept), three at 1.20, which
  // is within 1.15 x 1.09 = 1.2535 but beyond 1.05 x 1.09 = 1.1445.
  TestRecord record;
  Fill(record, {"C", "H", "H", "H", "H", "H"},
       {{0, 0, 0}, {1.09, 0, 0}, {-1.09, 0, 0}, {0, 1.2, 0}, {0, -1.2, 0}, {0, 0, 1.2}});
  record.CreateConnection();
  EXPECT_EQ(record.GetConnection(), (BondMap{{0, {1, 2}}, {1, {0}}, {2, {0}}}));
}

TEST_F(BondPerceptionTest, UnknownTypesAndLowerCaseLimits) {
  TestRecord record;
  Fill(record, {"XX", "C", "c"}, {{0, 0, 0}, {1.0, 0, 0}, {2.0, 0, 0}});
  record.CreateConnection();
  // XX has no pair length; "c" finds C-C lengths (upper-cased) but its
  // neighbour limit is looked up as written and counts as 0, so its bond at
  // 1.0 (shorter than 1.05 x 1.526) survives only because it is short.
  EXPECT_EQ(record.GetConnection(), (BondMap{{1, {2}}, {2, {1}}}));
}

TEST_F(BondPerceptionTest, PreconditionsAndMissingPoints) {
  TestRecord no_numbers;
  no_numbers.SetNumberOfAtoms(2);
  no_numbers.SetAtomType({"C", "C"});
  no_numbers.SetCartesian({{0, 0, 0}, {1.5, 0, 0}});
  no_numbers.CreateConnection();
  EXPECT_TRUE(no_numbers.GetConnection().empty());

  TestRecord names_without_heads;
  Fill(names_without_heads, {"C", "C"}, {{0, 0, 0}, {1.5, 0, 0}});
  names_without_heads.SetResidueName({"MOL", "MOL"});
  names_without_heads.CreateConnection();
  EXPECT_TRUE(names_without_heads.GetConnection().empty());

  // Three atoms without points (a PREP template's dummies at the end of the
  // count) are left out; four leave the record unchanged.
  TestRecord three_missing;
  Fill(three_missing, {"C", "C", "C", "C", "C"}, {{0, 0, 0}, {1.5, 0, 0}});
  three_missing.SetNumberOfAtoms(5);
  three_missing.CreateConnection();
  EXPECT_EQ(three_missing.GetConnection(), (BondMap{{0, {1}}, {1, {0}}}));
  TestRecord four_missing;
  Fill(four_missing, {"C", "C", "C", "C", "C", "C"}, {{0, 0, 0}, {1.5, 0, 0}});
  four_missing.CreateConnection();
  EXPECT_TRUE(four_missing.GetConnection().empty());
}

TEST_F(BondPerceptionTest, ResiduesDoNotLimitPartners) {
  // Four one-atom CYS residues in a square 1.5 apart: residues 0 and 2 are
  // close (a disulfide between residues far apart in the chain) and bond.
  TestRecord record;
  Fill(record, {"C", "C", "C", "C"}, {{0, 0, 0}, {1.5, 0, 0}, {0, 1.5, 0}, {1.5, 1.5, 0}});
  record.SetResidueName({"CYS", "CYS", "CYS", "CYS"});
  record.SetResidueNumber({0, 1, 2, 3});
  record.SetHeadAtomOfResidue({0, 1, 2, 3, 4});
  record.SetNumberOfResidues(4);
  record.CreateConnection();
  EXPECT_EQ(record.GetConnection(), (BondMap{{0, {1, 2}}, {1, {0, 3}}, {2, {0, 3}}, {3, {1, 2}}}));

  // An ALA whose hydrogen is listed after a whole later residue (a PDB file
  // with its hydrogens at the end reads them as a residue of their own)
  // keeps its N-H bond.
  TestRecord late;
  Fill(late, {"N", "C", "C", "C", "H"}, {{0, 0, 0}, {1.45, 0, 0}, {10, 0, 0}, {11.5, 0, 0}, {-0.5, 0.87, 0}});
  late.SetResidueName({"ALA", "ALA", "GLY", "GLY", "ALA"});
  late.SetResidueNumber({0, 0, 1, 1, 2});
  late.SetHeadAtomOfResidue({0, 2, 4, 5});
  late.SetNumberOfResidues(3);
  late.CreateConnection();
  EXPECT_EQ(late.GetConnection(), (BondMap{{0, {1, 4}}, {1, {0}}, {2, {3}}, {3, {2}}, {4, {0}}}));
}

// The grid must find exactly the pairwise bonds, in the same order, for any
// mix of classes, odd coordinates and densities.
TEST_F(BondPerceptionTest, GridEqualsBruteForceOnRandomSystems) {
  std::mt19937 random(12345);
  int capped_trials = 0;
  for (int trial = 0; trial < 60; ++trial) {
    const int n = 1 + static_cast<int>(random() % 400);
    const double box = 2.0 + static_cast<double>(random() % 300) / 10.0;
    std::uniform_real_distribution<double> coordinate(-box / 2, box / 2);
    Frame points(static_cast<size_t>(n));
    for (Point& p : points) p = {coordinate(random), coordinate(random), coordinate(random)};
    if (trial % 7 == 0) points[0] = {NAN, 0, 0};
    if (trial % 11 == 0 && n > 1) points[1] = {1e12, -1e12, 0};
    BondSearchInput in;
    in.points = points.data();
    in.atom_count = n;
    in.class_count = 1 + static_cast<int>(random() % 4);
    in.lengths.resize(static_cast<size_t>(in.class_count * in.class_count));
    for (int a = 0; a < in.class_count; ++a) {
      for (int b = a; b < in.class_count; ++b) {
        double length = (random() % 5 == 0) ? 0.0 : 0.8 + static_cast<double>(random() % 150) / 100.0;
        if (random() % 9 == 0) length = -length;  // only the square matters
        in.lengths[a * in.class_count + b] = length;
        in.lengths[b * in.class_count + a] = length;
      }
    }
    for (int i = 0; i < n; ++i) {
      in.atom_class.push_back(static_cast<int>(random() % static_cast<unsigned>(in.class_count)));
    }
    long capped = 0;
    BondMap grid = FindBondsGrid(in, &capped);
    BondMap brute = FindBondsBruteForce(in);
    if (capped > 0) {
      // Crowded systems: every bond kept is a real one, and no atom passes the cap.
      ++capped_trials;
      for (auto [atom, neighbours] : grid) {
        EXPECT_LE(neighbours.size(), static_cast<size_t>(kMostNeighbours));
        for (int other : neighbours) {
          const BondMap::List* real = brute.find(atom);
          ASSERT_TRUE(real && std::count(real->begin(), real->end(), other) == 1) << "trial " << trial;
        }
      }
      continue;
    }
    ASSERT_EQ(grid, brute) << "trial " << trial;
    CoordinationLimits limits;
    for (int c = 0; c < in.class_count; ++c) limits.max_neighbours.push_back(static_cast<int>(random() % 4) - 1);
    for (double length : in.lengths) limits.cutoffs.push_back(length * 0.9);
    TrimOverCoordinated(grid, in, limits);
    TrimOverCoordinated(brute, in, limits);
    ASSERT_EQ(grid, brute) << "trial " << trial;
  }
  EXPECT_GT(capped_trials, 0);
  EXPECT_LT(capped_trials, 40) << "most trials must be compared whole";
}

// A pile of coincident atoms: each keeps at most the cap, found in linear
// time (the pile is far too big for the pairwise loop to finish here).
TEST_F(BondPerceptionTest, CoincidentAtomsAreCapped) {
  const int n = 200000;
  Frame points(static_cast<size_t>(n), Point{1.0, 2.0, 3.0});
  BondSearchInput in;
  in.points = points.data();
  in.atom_count = n;
  in.class_count = 1;
  in.lengths = {1.6};
  in.atom_class.assign(static_cast<size_t>(n), 0);
  long capped = 0;
  const BondMap bonds = FindBondsGrid(in, &capped);
  EXPECT_GT(capped, 0);
  size_t total = 0;
  for (auto [atom, neighbours] : bonds) {
    ASSERT_LE(neighbours.size(), static_cast<size_t>(kMostNeighbours)) << atom;
    ASSERT_TRUE(std::is_sorted(neighbours.begin(), neighbours.end()));
    total += neighbours.size();
  }
  EXPECT_GT(total, static_cast<size_t>(n)) << "the cap leaves most atoms bonded";
}

TEST_F(BondPerceptionTest, SpreadOutPointsStayCheap) {
  // Two far clusters must not make a grid of (distance / 1.7)^3 cells.
  TestRecord record;
  Frame points = {{0, 0, 0}, {1.5, 0, 0}, {1e7, 1e7, 1e7}, {1e7 + 1.5, 1e7, 1e7}};
  Fill(record, {"C", "C", "C", "C"}, points);
  record.CreateConnection();
  EXPECT_EQ(record.GetConnection(), (BondMap{{0, {1}}, {1, {0}}, {2, {3}}, {3, {2}}}));
}

}  // namespace
}  // namespace tarvex
