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

BondMap FindBondsGrid(const BondSearchInput& input);
BondMap FindBondsBruteForce(const BondSearchInput& input);
void TrimOverCoordinated(BondMap& bonds, const BondSearchInput& input, const CoordinationLimits& limits);

}  // namespace tarvex
