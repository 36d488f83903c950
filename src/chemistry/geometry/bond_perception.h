// Bonds from coordinates: two atoms are bonded when they are closer than the
// standard length of their element pair (already widened by the bond scale),
// whatever their residues and wherever the file lists them. Atoms with more
// neighbours than their element allows then lose every bond at or beyond a
// tighter cut-off.
//
// The search runs on a spatial grid; it finds exactly the bonds of the
// pairwise definition, in the same neighbour order (each list ascending),
// which the brute-force reference below states literally.
#pragma once

#include <vector>

#include "molecule/bond_map.h"

namespace tarvex {

class CDataFile;

// Plain data for the distance pass: atoms 0 .. atom_count-1.
struct BondSearchInput {
  const Point* points = nullptr;
  int atom_count = 0;
  // Per atom: its class in the length table (atoms of one class share every
  // pair length).
  std::vector<int> atom_class;
  // Symmetric class_count x class_count table of scaled standard lengths.
  std::vector<double> lengths;
  int class_count = 0;
};

// Over-coordination limits: per class the largest neighbour count (negative:
// no limit) and the table of tighter cut-offs (T in angstrom).
struct CoordinationLimits {
  std::vector<int> max_neighbours;
  std::vector<double> cutoffs;
};

// No atom takes more than this many bonds from the distance pass: a pile of
// coincident atoms, or a length table that makes everything bond, would
// otherwise give every atom every other as a neighbour (quadratic bonds, and
// rings without end). Real coordination stops well short of it.
constexpr int kMostNeighbours = 16;
// Scaled lengths beyond this (an absurd line of the parameter file) are taken
// as this: no chemical bond is half as long, and the search's reach stays
// small enough that each atom looks at a bounded number of others.
constexpr double kLongestBondLength = 10.0;

// The bonds of the pairwise definition. When some atom would pass
// kMostNeighbours, pairs are taken in the grid's order until either atom is
// full and the rest are left out; `capped` (when given) receives the number
// of pairs refused (0 exactly when none was left out; full atoms stop
// looking, so it may count fewer than were). Without such an atom the
// result is exactly the brute-force one.
BondMap FindBondsGrid(const BondSearchInput& input, long* capped = nullptr);
BondMap FindBondsBruteForce(const BondSearchInput& input);
void TrimOverCoordinated(BondMap& bonds, const BondSearchInput& input, const CoordinationLimits& limits);

// Every pair of the record's atoms closer than `stretch` times its bond
// cut-off, as CreateConnection finds bonds but without trimming over-
// coordinated atoms: the bonds a strained structure may have, for callers
// that know from elsewhere which pairs are bonded (a residue template).
BondMap FindStretchedBonds(CDataFile& record, double stretch);

}  // namespace tarvex
