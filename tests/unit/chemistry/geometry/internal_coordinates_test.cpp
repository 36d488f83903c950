#include "chemistry/geometry/internal_coordinates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "../../formats/pdb_test_files.h"
#include "../../support/scratch_dir.h"
#include "../../support/test_record.h"
#include "chemistry/geometry/superposition.h"
#include "common/console.h"
#include "formats/amber_restart_file.h"
#include "formats/gaussian_in_file.h"
#include "formats/gaussian_out_file.h"
#include "formats/mol2_file.h"
#include "formats/pdb_file.h"
#include "molecule/geometry.h"

namespace tarvex {
namespace {

using testing::TestRecord;
using testing_files::ErrorOf;

// The root-mean-square deviation of `rebuilt` from `original` after the
// least-squares superposition (all atoms, equal weights).
double RmsdAfterSuperposition(const Frame& original, Frame rebuilt) {
  EXPECT_EQ(original.size(), rebuilt.size());
  if (original.size() < 3 || original.size() != rebuilt.size()) return INFINITY;
  std::vector<int> pairs(original.size());
  for (size_t i = 0; i < pairs.size(); ++i) pairs[i] = static_cast<int>(i);
  EXPECT_EQ(FitOntoReference(rebuilt, original, pairs, std::vector<double>(original.size(), 1.0)), FitOutcome::kMoved);
  double sum = 0.0;
  for (size_t i = 0; i < original.size(); ++i) sum += SquaredDistance(original[i], rebuilt[i]);
  return std::sqrt(sum / static_cast<double>(original.size()));
}

// Converts the record to a Z-matrix and back; returns the deviation of the
// rebuilt points from the points the Z-matrix was measured on (dummies
// included).
double RoundTrip(CDataFile& record) {
  record.CartesianToInternal();
  const Frame measured = record.GetCartesian();
  EXPECT_EQ(record.GetInternal().size(), measured.size());
  record.InternalToCartesian();
  return RmsdAfterSuperposition(measured, record.GetCartesian());
}

void Fill(TestRecord& record, const std::vector<std::string>& types, const Frame& points, const BondMap& bonds) {
  record.SetNumberOfAtoms(static_cast<int>(points.size()));
  record.SetAtomType(types);
  std::vector<std::string> names;
  for (const std::string& type : types) names.push_back(type + std::to_string(names.size() + 1));
  record.SetAtomName(names);
  record.SetCartesian(points);
  record.SetConnection(bonds);
}

TEST(ZMatrixToCartesian, FirstThreeAtomsAndFailures) {
  Frame points;
  EXPECT_EQ(ZMatrixToCartesian({{0, 0, 0}}, {{-1, -2, -3}}, points), 1u);
  EXPECT_EQ(points, (Frame{{0, 0, 0}}));
  EXPECT_EQ(ZMatrixToCartesian({{0, 0, 0}, {1.5, 0, 0}}, {{-1, -2, -3}, {0, -1, -2}}, points), 2u);
  EXPECT_EQ(points[1], (Point{1.5, 0, 0}));

  // Atom 2 on atom 1 at 90 degrees sits above atom 1; on atom 0 at 60
  // degrees it leans towards atom 1.
  ZMatrixToCartesian({{0, 0, 0}, {1.5, 0, 0}, {1.0, 90, 0}}, {{-1, -2, -3}, {0, -1, -2}, {1, 0, -1}}, points);
  EXPECT_NEAR(points[2][0], 1.5, 1e-12);
  EXPECT_NEAR(points[2][1], 1.0, 1e-12);
  ZMatrixToCartesian({{0, 0, 0}, {1.5, 0, 0}, {1.0, 60, 0}}, {{-1, -2, -3}, {0, -1, -2}, {0, 1, -1}}, points);
  EXPECT_NEAR(points[2][0], 0.5, 1e-12);
  EXPECT_NEAR(points[2][1], std::sqrt(0.75), 1e-12);

  // Bond and angle atoms that coincide, and references that are not earlier
  // atoms, stop the conversion with the atoms placed so far.
  const std::vector<Point> values = {{0, 0, 0}, {1, 0, 0}, {1, 90, 0}, {1, 90, 0}, {1, 90, 0}};
  EXPECT_EQ(ZMatrixToCartesian(values, {{-1, -2, -3}, {0, -1, -2}, {1, 0, -1}, {2, 2, 0}, {3, 2, 1}}, points), 3u);
  EXPECT_EQ(points.size(), 3u);
  EXPECT_EQ(ZMatrixToCartesian(values, {{-1, -2, -3}, {0, -1, -2}, {1, 0, -1}, {2, 1, 0}, {7, 2, 1}}, points), 4u);
  EXPECT_EQ(ZMatrixToCartesian(values, {{-1, -2, -3}, {0, -1, -2}, {1, 0, -1}, {2, 1, -1}, {3, 2, 1}}, points), 3u);
  EXPECT_EQ(ZMatrixToCartesian(values, {{-1, -2, -3}, {0, -1, -2}}, points), 2u);
}

TEST(ZMatrixToCartesian, StraightAnglesAndTheDihedralSign) {
  Frame points;
  const std::vector<ReferenceTriple> chain = {{-1, -2, -3}, {0, -1, -2}, {1, 0, -1}, {2, 1, 0}};
  // 180 degrees puts atom 3 beyond its bond atom 2, away from atom 1, with
  // or without a usable dihedral; 0 degrees folds it back onto atom 1.
  for (double phi : {kUndefinedDihedral, 0.0, 73.0}) {
    ZMatrixToCartesian({{0, 0, 0}, {1, 0, 0}, {1, 90, 0}, {2, 180, phi}}, chain, points);
    EXPECT_NEAR(Distance(points[3], {1, 3, 0}), 0.0, 1e-12) << phi;
  }
  ZMatrixToCartesian({{0, 0, 0}, {1, 0, 0}, {1, 90, 0}, {1, 0, kUndefinedDihedral}}, chain, points);
  EXPECT_NEAR(Distance(points[3], {1, 0, 0}), 0.0, 1e-12);
  // A straight reference chain 0-1-2 leaves no plane: the atom still gets
  // its distance and angle.
  ZMatrixToCartesian({{0, 0, 0}, {1, 0, 0}, {1, 180, 0}, {1, 90, 40}}, chain, points);
  EXPECT_NEAR(Distance(points[3], points[2]), 1.0, 1e-12);
  EXPECT_NEAR(AngleDegrees(points[3], points[2], points[1]), 90.0, 1e-9);

  // The chain A(1,0,0) B(0,0,0) C(0,0,1) D(0,1,1) has the dihedral +90: D
  // measured on C, B, A and rebuilt from the measurement lands on (0,1,1) in
  // the frame of A, B, C.
  EXPECT_NEAR(*DihedralDegrees({1, 0, 0}, {0, 0, 0}, {0, 0, 1}, {0, 1, 1}), 90.0, 1e-12);
  ZMatrixToCartesian({{0, 0, 0}, {1, 0, 0}, {1, 90, 0}, {1, 90, 90}}, chain, points);
  EXPECT_NEAR(*DihedralDegrees(points[0], points[1], points[2], points[3]), 90.0, 1e-9);
}

// Given points stay; rows are placed from earlier atoms, given or placed;
// opening rows stand in Gaussian's frame (+z, then the xz plane on +x).
TEST(MixedToCartesian, GivenPointsAndRowsBetweenThem) {
  Frame points;
  const std::vector<Point> values = {{0, 0, 0}, {1.0, 0, 0}, {1.0, 90, 0}, {0.5, 0.5, 0.5}, {1.0, 90, 180}};
  const std::vector<ReferenceTriple> references = {{-1, -2, -3}, {0, -1, -2}, {0, 1, -1}, {-1, -1, -1}, {3, 0, 1}};
  EXPECT_EQ(MixedToCartesian(values, references, {0, 0, 0, 1, 0}, points), 5u);
  EXPECT_LT(Distance(points[1], {0, 0, 1}), 1e-12);
  EXPECT_LT(Distance(points[2], {1, 0, 0}), 1e-12);
  EXPECT_EQ(points[3], (Point{0.5, 0.5, 0.5}));
  EXPECT_NEAR(Distance(points[4], points[3]), 1.0, 1e-12);
  EXPECT_NEAR(AngleDegrees(points[4], points[3], points[0]), 90.0, 1e-9);
  EXPECT_NEAR(std::abs(*DihedralDegrees(points[4], points[3], points[0], points[1])), 180.0, 1e-9);

  // All given: the points as they are. A row whose references are not all
  // earlier atoms stops the placing there.
  EXPECT_EQ(MixedToCartesian({{1, 2, 3}, {4, 5, 6}}, {{-1, -1, -1}, {-1, -1, -1}}, {1, 1}, points), 2u);
  EXPECT_EQ(points, (Frame{{1, 2, 3}, {4, 5, 6}}));
  EXPECT_EQ(
      MixedToCartesian({{0, 0, 0}, {1, 0, 0}, {1, 90, 0}}, {{-1, -1, -1}, {-1, -1, -1}, {0, 1, -1}}, {1, 1, 0}, points),
      2u);
}

TEST(CartesianToZMatrix, ChainReferencesAndFragments) {
  // Three dummies, then a chain 3-4-5-6 and a water 7-8, 7-9 bonded to
  // nothing earlier.
  const Frame points = {{1, 0, 0},       {1, 1, 0},     {1, 1, 1}, {0, 0, 0},    {1.5, 0, 0},
                        {2.0, 1.4, 0.0}, {3.5, 1.4, 1}, {0, 5, 0}, {0.96, 5, 0}, {-0.24, 5.93, 0}};
  const BondMap bonds = {{3, {4}}, {4, {3, 5}}, {5, {4, 6}}, {6, {5}}, {7, {8, 9}}, {8, {7}}, {9, {7}}};
  const ZMatrixResult z = CartesianToZMatrix(points, bonds);
  ASSERT_EQ(z.failed_atom, -1);
  const std::vector<ReferenceTriple> expected = {{-1, -2, -3}, {0, -1, -2}, {1, 0, -1}, {2, 1, 0}, {3, 2, 1},
                                                 {4, 3, 2},    {5, 4, 3},   {2, 1, 0},  {7, 2, 1}, {7, 2, 1}};
  EXPECT_EQ(z.references, expected);
  EXPECT_NEAR(z.values[4][0], 1.5, 1e-12);
  EXPECT_NEAR(z.values[9][1], AngleDegrees(points[9], points[7], points[2]), 1e-12);
  Frame rebuilt;
  ASSERT_EQ(ZMatrixToCartesian(z.values, z.references, rebuilt), points.size());
  EXPECT_LT(RmsdAfterSuperposition(points, rebuilt), 1e-12);
}

TEST(CartesianToZMatrix, StraightLinesKeepTheStructure) {
  // But-2-yne: C0-C1#C2-C3 on one line, a hydrogen on each end carbon. The
  // hydrogen on C3 refers to C3, C2 and (by the bonds) C1, all on the line:
  // another dihedral atom takes C1's place. C2 and C3 themselves sit on
  // straight angles and get the undefined dihedral.
  const Frame points = {{-1, 1, 0},   {-1, 2, 0},   {-1, 2, 1},       {0, 0, 0},        {1.46, 0, 0},
                        {2.66, 0, 0}, {4.12, 0, 0}, {-0.36, 1.03, 0}, {4.48, -0.5, 0.9}};
  const BondMap bonds = {{3, {4, 7}}, {4, {3, 5}}, {5, {4, 6}}, {6, {5, 8}}, {7, {3}}, {8, {6}}};
  const ZMatrixResult z = CartesianToZMatrix(points, bonds);
  ASSERT_EQ(z.failed_atom, -1);
  EXPECT_NEAR(z.values[5][1], 180.0, 1e-9);
  EXPECT_EQ(z.values[5][2], kUndefinedDihedral);
  EXPECT_EQ(z.values[6][2], kUndefinedDihedral);
  EXPECT_EQ(z.references[8][0], 6);
  EXPECT_EQ(z.references[8][1], 5);
  EXPECT_NE(z.references[8][2], 4);
  Frame rebuilt;
  ASSERT_EQ(ZMatrixToCartesian(z.values, z.references, rebuilt), points.size());
  EXPECT_LT(RmsdAfterSuperposition(points, rebuilt), 1e-12);
}

TEST(CartesianToZMatrix, RandomTreesRebuildExactly) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> coordinate(-8.0, 8.0);
  for (int round = 0; round < 50; ++round) {
    const int n = 3 + static_cast<int>(random() % 60);
    Frame points;
    BondMap bonds;
    for (int i = 0; i < n; ++i) {
      points.push_back({coordinate(random), coordinate(random), coordinate(random)});
      // Bonds to any earlier real atom, or none (a new fragment).
      if (i > 3 && random() % 5 != 0) {
        const int partner = 3 + static_cast<int>(random() % static_cast<unsigned>(i - 3));
        bonds[i].push_back(partner);
        bonds[partner].push_back(i);
      }
    }
    const ZMatrixResult z = CartesianToZMatrix(points, bonds);
    ASSERT_EQ(z.failed_atom, -1);
    Frame rebuilt;
    ASSERT_EQ(ZMatrixToCartesian(z.values, z.references, rebuilt), points.size());
    EXPECT_LT(RmsdAfterSuperposition(points, rebuilt), 1e-9) << round;
  }
}

class InternalCoordinatesTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::UseParameterFile(""); }
};

TEST_F(InternalCoordinatesTest, DummiesAreAddedInFrontOfEveryGroup) {
  TestRecord record;
  Fill(record, {"O", "H", "H"}, {{0, 0, 0}, {0.96, 0, 0}, {-0.24, 0.93, 0}}, {{0, {1, 2}}, {1, {0}}, {2, {0}}});
  record.SetAtomIndex({10, 11, 12});
  record.SetCharge({-0.8, 0.4, 0.4});
  record.SetResidueName({"WAT", "WAT", "WAT"});
  record.SetResidueIndex({5, 5, 5});
  record.SetResidueNumber({0, 0, 0});
  record.SetHeadAtomOfResidue({0, 3});
  record.SetNumberOfResidues(1);
  EXPECT_LT(RoundTrip(record), 1e-12);

  EXPECT_EQ(record.GetNumberOfAtoms(), 6);
  EXPECT_EQ(record.GetAtomType(), (std::vector<std::string>{"DU", "DU", "DU", "O", "H", "H"}));
  EXPECT_EQ(record.GetAtomName()[0], " X  ");
  EXPECT_EQ(record.GetAtomIndex(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(record.GetCharge(), (std::vector<double>{0, 0, 0, -0.8, 0.4, 0.4}));
  EXPECT_EQ(record.GetResidueName()[2], "MOL");
  EXPECT_EQ(record.GetResidueIndex(), (std::vector<int>{0, 0, 0, 5, 5, 5}));
  EXPECT_EQ(record.GetResidueNumber(), (std::vector<int>{0, 0, 0, 1, 1, 1}));
  EXPECT_EQ(record.GetHeadAtomOfResidue(), (std::vector<int>{0, 3, 6}));
  EXPECT_EQ(record.GetNumberOfResidues(), 2);
  EXPECT_EQ(record.GetConnection(), (BondMap{{3, {4, 5}}, {4, {3}}, {5, {3}}}));
  // The dummy points: the first atom's point plus 1 on x, then y, then z.
  EXPECT_EQ(record.GetInternalReference()[3], (ReferenceTriple{2, 1, 0}));
  EXPECT_NEAR(record.GetInternal()[3][0], std::sqrt(3.0), 1e-12);

  // A second conversion finds the dummies in place and adds none; a frame
  // that lost the dummy points (one frame of many) gets them back.
  record.GetInternal().clear();
  record.SetCartesian({{0, 0, 0}, {0.96, 0, 0}, {-0.24, 0.93, 0}});
  record.CartesianToInternal();
  EXPECT_EQ(record.GetNumberOfAtoms(), 6);
  EXPECT_EQ(record.GetCartesian().size(), 6u);
  EXPECT_EQ(record.GetCartesian()[2], (Point{1, 1, 1}));
  EXPECT_NEAR(record.GetInternal()[3][0], std::sqrt(3.0), 1e-12);
}

TEST_F(InternalCoordinatesTest, MessagesAndTheConnectionListing) {
  TestRecord empty;
  ConsoleCapture capture;
  empty.InternalToCartesian();
  empty.CartesianToInternal();
  empty.SetCartesian({{0, 0, 0}});
  empty.CartesianToInternal();
  EXPECT_EQ(capture.Err(),
            "InternalToCartesian(): no internal coordinate.\n"
            "CartesianToInternal(): no cartesian coordinate.\n"
            "CartesianToInternal(): no atom.\n");

  TestRecord short_frame;
  Fill(short_frame, {"C", "C"}, {{0, 0, 0}, {1.5, 0, 0}}, {});
  short_frame.SetNumberOfAtoms(3);
  capture.Clear();
  short_frame.CartesianToInternal();
  EXPECT_EQ(capture.Err(), "CartesianToInternal(): illegal number of adding dummy atoms.\n");
  EXPECT_TRUE(short_frame.GetInternal().empty());

  TestRecord stopped;
  stopped.SetInternal({{0, 0, 0}, {1, 0, 0}, {1, 90, 0}, {1, 90, 0}},
                      {{-1, -2, -3}, {0, -1, -2}, {1, 0, -1}, {1, 1, 0}});
  capture.Clear();
  stopped.InternalToCartesian();
  EXPECT_EQ(capture.Err(), "Convert internal coordinates to cartesian coordinates: failed.\n");
  EXPECT_EQ(stopped.GetCartesian().size(), 3u);

  // PREP-style dummies with a real atom bonded to the second dummy: atom 4
  // finds atom 1 as its bond atom, whose angle atom 0 has nothing earlier.
  TestRecord bad;
  Fill(bad, {"DU", "DU", "DU", "C", "C"}, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {2, 2, 2}, {3, 3, 3}},
       {{1, {4}}, {4, {1}}});
  EXPECT_EQ(ErrorOf([&] { bad.CartesianToInternal(); }),
            "CartesianToInternal() error: incorrect connection data.\n"
            "Atom number: 4\n"
            "DU1: \n"
            "DU2: 4 \n"
            "DU3: \n"
            "C4: \n"
            "C5: 1 \n");
}

// The round trip on real structures: every PDB (bonds perceived), every
// MOL2 read to its end (its own bonds; reads after the first may join two
// molecules, which is still every atom) and every text restart (no bonds:
// each atom hangs from the dummies).
TEST_F(InternalCoordinatesTest, CorpusStructuresSurviveTheRoundTrip) {
  if (!testing_files::CorpusPresent()) GTEST_SKIP() << "corpus not found";
  int structures = 0;
  for (const std::string& path : testing_files::CorpusFiles("pdb")) {
    CPdbFile file(path);
    file.Read(0);
    file.SetFileFlag(kFileCreateBonds);
    EXPECT_LT(RoundTrip(file), 1e-6) << path;
    ++structures;
  }
  for (const std::string& path : testing_files::CorpusFiles("mol2")) {
    CMol2File file(path);
    for (file.Read(0); file.GetNumberOfAtoms() > 0; file.Read(0)) {
      CMol2File copy;
      copy.CopyState(file);
      EXPECT_LT(RoundTrip(copy), 1e-6) << path << " " << copy.GetTitle();
      ++structures;
    }
  }
  for (const std::string& path : testing_files::CorpusFiles("rst")) {
    if (path.find("ncinpcrd") != std::string::npos) continue;  // binary NetCDF
    CAmberRestartFile file(path);
    file.Read(0);
    EXPECT_LT(RoundTrip(file), 1e-6) << path;
    ++structures;
  }
  EXPECT_GT(structures, 50);
}

// Every geometry of every Gaussian log (bonds perceived from each) and the
// geometry of every Gaussian input that has one.
TEST_F(InternalCoordinatesTest, GaussianGeometriesSurviveTheRoundTrip) {
  if (!testing_files::CorpusPresent()) GTEST_SKIP() << "corpus not found";
  int structures = 0;
  for (const std::string& path : testing_files::CorpusFiles("log")) {
    CGaussianOutFile log(path);
    log.ReadAll(0);
    for (const Frame& frame : log.GetCartesianAll()) {
      TestRecord record;
      Fill(record, log.GetAtomType(), frame, {});
      record.SetFileFlag(kFileCreateBonds);
      EXPECT_LT(RoundTrip(record), 1e-6) << path << " structure " << structures;
      ++structures;
    }
  }
  EXPECT_EQ(structures, 78);
  for (const std::string& path : testing_files::CorpusFiles("com")) {
    CGaussianInFile input(path);
    try {
      ConsoleCapture quiet;
      input.Read(0);
    } catch (const ExitRequest&) {
      continue;  // the two inputs without a molecule
    }
    EXPECT_LT(RoundTrip(input), 1e-6) << path;
  }
}

}  // namespace
}  // namespace tarvex
