// Bonds that a file states (the CONECT records of a PDB file, the bond list
// of a MOL2 file) beside those perceived from the coordinates: the charge
// analyzer keeps both, so that a disulfide, a bond to a metal or a bond of
// an element pair without a standard length that the file names is not
// lost. A stated bond that no chemistry allows at its length is left out:
// old PDB files list hydrogen bonds and salt bridges in their CONECT
// records, and LEaP bonds the extra points of four-point waters to their
// oxygens.
#pragma once

#include <string>
#include <vector>

#include "molecule/bond_map.h"

namespace tarvex {

// The longest stated bond kept: a bond to a metal up to 2.9 angstrom; a
// pair with a standard length L (already widened by the bond scale) up to
// 1.2 L; any other pair up to 2.5.
inline constexpr double kLongestMetalBond = 2.9;
inline constexpr double kStatedBondStretch = 1.2;
inline constexpr double kLongestOtherBond = 2.5;

// Atoms a file bonds closer than this lie on top of each other: no bond is
// that short (H2, the shortest, is 0.74 angstrom).
inline constexpr double kShortestStatedBond = 0.5;

// Whether the coordinates cannot be what the stated bonds join: some stated
// bond joins two atoms on top of each other (a 2-D sketch that puts its
// hydrogens on their heavy atoms). The bonds are then taken as the file
// states them, and the coordinates tell the chemistry nothing.
// Bonds to extra points (types LP), a few tenths of an angstrom long by
// design, do not count.
bool StatedBondsDegenerate(const BondMap& stated, int atom_count, const Frame& points,
                           const std::vector<std::string>& types);

// Adds to `bonds` the bonds of `stated` between atoms 0 .. atom_count-1
// that it lacks and whose length fits (atoms without coordinates always
// fit), in both atoms' lists, after the bonds already there. `types` are
// the element symbols.
void AddStatedBonds(BondMap& bonds, const BondMap& stated, int atom_count, const Frame& points,
                    const std::vector<std::string>& types);

}  // namespace tarvex
