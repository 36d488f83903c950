// Least-squares superposition on plain data: which atoms are paired with the
// reference, and the mass-weighted rigid motion (Kabsch) that lays them onto
// it. CDataFile::FitToReference gathers the record's lists and calls these.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "molecule/bond_map.h"

namespace tarvex {

using Matrix3 = std::array<std::array<double, 3>, 3>;

double Determinant(const Matrix3& m);

// Eigenvalues of a symmetric matrix in decreasing order, with orthonormal
// eigenvectors forming a right-handed set (vectors[2] = vectors[0] x
// vectors[1]); Jacobi rotations, exact to rounding for any 3 x 3 input.
struct SymmetricEigen {
  std::array<double, 3> values{};
  std::array<Point, 3> vectors{};
};
SymmetricEigen DecomposeSymmetric(const Matrix3& m);

// The fit selection of convert's -ra word: A, the selected atom positions;
// B, the excluded ones; C, atom names, "_" marking a name to exclude.
struct FitSelection {
  const std::vector<int>& atoms;
  const std::vector<int>& excluded_atoms;
  const std::vector<std::string>& names;
};

// The positions paired for the fit, ascending: those selected by number (A)
// or by name (C, where "_H" selects every atom not named H), all atoms when
// neither is given, less the excluded numbers (B) and, with heavy_only, the
// hydrogens (type "H"). Only positions below `count` (the atoms both frames
// hold) are considered, so no list can lead a read past either frame. Names
// are compared without their blanks.
std::vector<int> SelectFitAtoms(const FitSelection& selection, size_t count, const std::vector<std::string>& atom_names,
                                const std::vector<std::string>& atom_types, bool heavy_only);

// Atomic masses of the first `count` atoms by their element symbols (in any
// case); an unknown symbol is warned about once and weighs nothing, as do
// atoms beyond the list of types.
std::vector<double> AtomMasses(const std::vector<std::string>& types, size_t count);

// The weighted mean of the points; the origin when the weights sum to zero.
Point WeightedCentre(const Frame& points, const std::vector<double>& weights);

enum class FitOutcome {
  kMoved,
  kZeroDeterminant,  // fewer than three pairs, all on one line, or no weight
  kDegenerateMirror  // a mirror image whose best rotation is not unique
};

// Moves every point of `points` by the proper rotation and translation that
// minimise sum w (R x + t - y)^2 over the pairs (x = points[i], y =
// reference[i], w = weights[i] for each i of `pairs`). Unmoved unless kMoved.
FitOutcome FitOntoReference(Frame& points, const Frame& reference, const std::vector<int>& pairs,
                            const std::vector<double>& weights);

}  // namespace tarvex
