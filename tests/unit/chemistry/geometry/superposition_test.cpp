#include "chemistry/geometry/superposition.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "common/console.h"
#include "formats/pdb_file.h"
#include "molecule/geometry.h"

namespace tarvex {
namespace {

// A chiral, non-planar set of eight atoms (carbons and hydrogens).
Frame Molecule() {
  return {{0.0, 0.0, 0.0},   {1.5, 0.1, 0.0},   {2.1, 1.4, 0.2},   {1.2, 2.6, 0.9},
          {-0.6, -0.9, 0.3}, {-0.4, 0.7, -0.8}, {2.0, -0.6, -0.7}, {3.2, 1.5, 0.4}};
}
std::vector<std::string> MoleculeTypes() { return {"C", "C", "C", "C", "H", "H", "H", "H"}; }

Point RotatedShifted(const Point& p) { return {-p[1] + 1.0, p[0] + 2.0, p[2] + 3.0}; }  // 90 deg about z

double SignedVolume(const Frame& f) { return Dot(Minus(f[1], f[0]), Cross(Minus(f[2], f[0]), Minus(f[3], f[0]))); }

void ExpectNear(const Frame& a, const Frame& b, double tolerance) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(a[i][k], b[i][k], tolerance) << "atom " << i;
  }
}

// A record to fit: the molecule moved, the reference where it belongs.
struct FitCase {
  CPdbFile record;
  explicit FitCase(const Frame& points, const Frame& reference, std::vector<std::string> types = MoleculeTypes()) {
    record.SetNumberOfAtoms(static_cast<int>(points.size()));
    record.SetCartesian(points);
    record.SetAtomType(types);
    std::vector<std::string> names;
    for (size_t i = 0; i < points.size(); ++i) names.push_back(types[i] + std::to_string(i + 1));
    record.SetAtomName(names);
    record.SetFitReference(reference);
  }
  std::string Fit() {
    ConsoleCapture console;
    record.FitToReference();
    return console.Err();
  }
};

TEST(Superposition, EigenDecompositionOfSymmetricMatrices) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> value(-5.0, 5.0);
  for (int trial = 0; trial < 200; ++trial) {
    Matrix3 m{};
    for (int i = 0; i < 3; ++i) {
      for (int j = i; j < 3; ++j) m[i][j] = m[j][i] = trial % 10 == 0 ? std::round(value(random)) : value(random);
    }
    const SymmetricEigen e = DecomposeSymmetric(m);
    EXPECT_GE(e.values[0], e.values[1]);
    EXPECT_GE(e.values[1], e.values[2]);
    for (int k = 0; k < 3; ++k) {
      const Point& v = e.vectors[k];
      const Point mv = {Dot(m[0], v), Dot(m[1], v), Dot(m[2], v)};
      for (int c = 0; c < 3; ++c) EXPECT_NEAR(mv[c], e.values[k] * v[c], 1e-9);
      EXPECT_NEAR(Norm(v), 1.0, 1e-12);
    }
    EXPECT_NEAR(Dot(e.vectors[0], e.vectors[1]), 0.0, 1e-12);
    EXPECT_NEAR(Dot(Cross(e.vectors[0], e.vectors[1]), e.vectors[2]), 1.0, 1e-12);  // right-handed
  }
}

TEST(Superposition, RotatedAndShiftedCopyComesBackOntoTheReference) {
  Frame moved;
  for (const Point& p : Molecule()) moved.push_back(RotatedShifted(p));
  FitCase fit(moved, Molecule());
  EXPECT_EQ(fit.Fit(), "");
  ExpectNear(fit.record.GetCartesian(), Molecule(), 1e-9);
}

TEST(Superposition, PlanarPairsStillGiveAProperRotation) {
  const Frame plane = {{0, 0, 0}, {1.4, 0, 0}, {2.1, 1.2, 0}, {1.4, 2.4, 0}, {0, 2.4, 0}, {-0.7, 1.2, 0}};
  Frame moved;
  for (const Point& p : plane) moved.push_back(RotatedShifted({p[0], p[2], p[1]}));  // stood upright, turned
  FitCase fit(moved, plane, std::vector<std::string>(6, "C"));
  EXPECT_EQ(fit.Fit(), "");
  ExpectNear(fit.record.GetCartesian(), plane, 1e-9);
}

// A mirror image has det U < 0. The fit must still be a rotation: the moved
// copy keeps its own handedness (a reflection would invert every chiral
// centre) and reaches the least squares of the proper rotations,
// E = sum w(|x|^2 + |y|^2) - 2 (s1 + s2 - s3) with s the singular values of U.
TEST(Superposition, MirrorImageGetsTheBestProperRotationNotAReflection) {
  Frame mirror;
  for (const Point& p : Molecule()) mirror.push_back(RotatedShifted({-p[0], p[1], p[2]}));
  const double handedness = SignedVolume(mirror);
  FitCase fit(mirror, Molecule());
  EXPECT_EQ(fit.Fit(), "");
  const Frame& fitted = fit.record.GetCartesian();
  EXPECT_NEAR(SignedVolume(fitted), handedness, 1e-9);

  const std::vector<double> w = AtomMasses(MoleculeTypes(), 8);
  const std::vector<int> all = {0, 1, 2, 3, 4, 5, 6, 7};
  const Point cx = WeightedCentre(mirror, w);
  const Point cy = WeightedCentre(Molecule(), w);
  Matrix3 u{};
  double squares = 0.0;
  for (int i : all) {
    const Point x = Minus(mirror[i], cx);
    const Point y = Minus(Molecule()[i], cy);
    squares += w[i] * (Dot(x, x) + Dot(y, y));
    for (int r = 0; r < 3; ++r) {
      for (int s = 0; s < 3; ++s) u[r][s] += w[i] * y[r] * x[s];
    }
  }
  ASSERT_LT(Determinant(u), 0.0);
  Matrix3 utu{};
  for (int r = 0; r < 3; ++r) {
    for (int s = 0; s < 3; ++s) {
      for (int k = 0; k < 3; ++k) utu[r][s] += u[k][r] * u[k][s];
    }
  }
  const SymmetricEigen e = DecomposeSymmetric(utu);
  const double best = squares - 2.0 * (std::sqrt(e.values[0]) + std::sqrt(e.values[1]) - std::sqrt(e.values[2]));
  double residual = 0.0;
  for (int i : all) residual += w[i] * SquaredDistance(fitted[i], Molecule()[i]);
  EXPECT_NEAR(residual, best, 1e-8);
}

TEST(Superposition, DegenerateMirrorAndTooFewPairsLeaveTheCoordinates) {
  // The mirror of an axially symmetric set: U = diag(-8, 2, 2), mu2 = mu3.
  const Frame axes = {{2, 0, 0}, {-2, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  Frame mirrored;
  for (const Point& p : axes) mirrored.push_back({-p[0], p[1], p[2]});
  FitCase mirror(axes, mirrored, std::vector<std::string>(6, "C"));
  EXPECT_EQ(mirror.Fit(), "Warning: determinant of U is negative.\n");
  ExpectNear(mirror.record.GetCartesian(), axes, 0.0);

  // Two selected atoms are collinear; a reference of two atoms pairs two.
  Frame moved;
  for (const Point& p : Molecule()) moved.push_back(RotatedShifted(p));
  FitCase two(moved, Molecule());
  two.record.SetFitAtoms({0, 1});
  EXPECT_EQ(two.Fit(), "Warning: determinant of U is zero.\n");
  ExpectNear(two.record.GetCartesian(), moved, 0.0);
  const Frame molecule = Molecule();
  FitCase short_reference(moved, Frame(molecule.begin(), molecule.begin() + 2));
  short_reference.record.SetFitAtoms({0, 1, 2, 3, 50, -4});
  EXPECT_EQ(short_reference.Fit(), "Warning: determinant of U is zero.\n");
  ExpectNear(short_reference.record.GetCartesian(), moved, 0.0);
}

TEST(Superposition, HeavyAtomFitIgnoresHydrogensButMovesThem) {
  Frame moved;
  for (const Point& p : Molecule()) moved.push_back(RotatedShifted(p));
  Frame reference = Molecule();
  for (size_t i = 4; i < 8; ++i) reference[i] = Plus(reference[i], {0.3, -0.2, 0.5});  // hydrogens elsewhere
  FitCase fit(moved, reference);
  fit.record.SetFitFlag(kFitHeavy);
  EXPECT_EQ(fit.Fit(), "");
  const Frame molecule = Molecule();
  const Frame& fitted = fit.record.GetCartesian();
  ExpectNear(Frame(fitted.begin(), fitted.begin() + 4), Frame(molecule.begin(), molecule.begin() + 4), 1e-9);
  ExpectNear(fit.record.GetCartesian(), Molecule(), 1e-9);  // the hydrogens came along rigidly
}

TEST(Superposition, WithoutAReferenceTheCentreOfMassGoesToTheOrigin) {
  FitCase fit({{0, 0, 0}, {1.0, 0, 0}}, {}, {"C", "H"});
  ConsoleCapture console;
  fit.record.FitToReference();
  const double carbon = 12.0107;
  const double hydrogen = 1.00794;
  const double centre = hydrogen / (carbon + hydrogen);
  EXPECT_NEAR(fit.record.GetCartesian()[0][0], -centre, 1e-12);
  EXPECT_NEAR(fit.record.GetCartesian()[1][0], 1.0 - centre, 1e-12);
}

TEST(Superposition, SelectionOfPairedAtoms) {
  const std::vector<std::string> names = {" N  ", " CA ", " C  ", " O  ", " H  ", " CB "};
  const std::vector<std::string> types = {"N", "C", "C", "O", "H", "C"};
  auto select = [&](std::vector<int> atoms, std::vector<int> excluded, std::vector<std::string> by_name,
                    bool heavy = false, size_t count = 6) {
    return SelectFitAtoms({atoms, excluded, by_name}, count, names, types, heavy);
  };
  using V = std::vector<int>;
  EXPECT_EQ(select({}, {}, {}), (V{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(select({}, {}, {}, true), (V{0, 1, 2, 3, 5}));
  EXPECT_EQ(select({5}, {}, {"CA", "N"}), (V{0, 1, 5}));         // A or C
  EXPECT_EQ(select({0, 1, 2, 3}, {1}, {}), (V{0, 2, 3}));        // A and not B
  EXPECT_EQ(select({}, {0}, {"N", "CA"}), (V{1}));               // C and not B
  EXPECT_EQ(select({}, {}, {"_H", "_CB"}), (V{0, 1, 2, 3}));     // names excluded
  EXPECT_EQ(select({}, {2}, {}), (V{0, 1, 3, 4, 5}));            // B alone: all but B
  EXPECT_EQ(select({3, 9, -1, 4}, {}, {""}, false, 4), (V{3}));  // only within both frames
}

TEST(Superposition, UnknownElementsAreWarnedOnceAndWeighNothing) {
  ConsoleCapture console;
  const std::vector<double> w = AtomMasses({"C", "Xx", "cl", "Xx", "DU"}, 6);
  EXPECT_EQ(console.Err(), "Warning: unknown atom type: XX.\n");
  EXPECT_DOUBLE_EQ(w[0], 12.0107);
  EXPECT_DOUBLE_EQ(w[1], 0.0);
  EXPECT_DOUBLE_EQ(w[2], 35.453);
  EXPECT_DOUBLE_EQ(w[4], 0.0);
  EXPECT_DOUBLE_EQ(w[5], 0.0);
}

}  // namespace
}  // namespace tarvex
