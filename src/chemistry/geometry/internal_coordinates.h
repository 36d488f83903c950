// Z-matrices (internal coordinates) and Cartesian coordinates, on plain data.
//
// A Z-matrix row of atom i holds (r, theta, phi) with the reference atoms
// (a, b, c), 0-based: r is the distance i-a in angstrom, theta the angle
// i-a-b and phi the dihedral i-a-b-c in degrees. Atom 0 uses no reference,
// atom 1 only a, atom 2 a and b. The dihedral is positive when, looking from
// a towards b, the bond a-i turns clockwise onto the bond b-c.
//
// The two conversions are exact inverses up to a rigid motion: the rebuilt
// structure has atom 0 at the origin, atom 1 on the x axis and atom 2 in the
// xy plane, and is otherwise the measured one.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "molecule/bond_map.h"

namespace tarvex {

// The dihedral stored when i-a-b is a straight line (or a-b-c is and no
// other reference atom will do): the atom is then placed on the line.
inline constexpr double kUndefinedDihedral = -200.0;

// Places the atoms of a Z-matrix in order and returns how many were placed:
// all of them, or those before the first atom whose reference atoms are not
// earlier atoms or whose bond and angle atoms coincide.
size_t ZMatrixToCartesian(const std::vector<Point>& values, const std::vector<ReferenceTriple>& references,
                          Frame& points);

// Places a molecule of Cartesian atoms and Z-matrix rows, as Gaussian reads
// a mixed input: an atom marked in `given` keeps its point (the values of its
// row are x, y, z); any other is placed from its reference atoms. Rows with
// fewer than three references open the molecule before any given atom; they
// stand in Gaussian's frame of a Z-matrix, which is the frame of the given
// points (the first atom at the origin, the second on +z, the third in the
// xz plane on the side of +x). Returns how many atoms were placed, as
// ZMatrixToCartesian does.
size_t MixedToCartesian(const std::vector<Point>& values, const std::vector<ReferenceTriple>& references,
                        const std::vector<char>& given, Frame& points);

// The Z-matrix of a structure that begins with three dummy atoms (positions
// 0, 1 and 2, the third bonded to atom 3). Each later atom refers to its
// highest-numbered earlier bonded atom a, a's highest-numbered earlier bonded
// atom b, and b's c; an atom bonded to nothing before it hangs from atom 2.
// When a-b-c is a straight line the dihedral would be undefined, so c is
// then another earlier atom off that line (b's other earlier neighbours
// first, then the nearest earlier atoms by number); when b coincides with a
// (alternate locations of one atom, both bonded) b is replaced the same way.
// A straight angle i-a-b stores the undefined dihedral. `failed_atom` is the
// first atom whose references cannot be found (its bonds reach the first two
// dummies), or -1.
struct ZMatrixResult {
  std::vector<Point> values;
  std::vector<ReferenceTriple> references;
  int failed_atom = -1;
};
ZMatrixResult CartesianToZMatrix(std::span<const Point> points, const BondMap& bonds);

// The points of `count` (at most three) dummy atoms put in front of a
// molecule whose first atom is at p: p + (1, 0, 0), p + (1, 1, 0) and
// p + (1, 1, 1), as many as asked, in that order. They make an L of unit
// bonds, never a straight line, so every later dihedral has a reference.
Frame DummyPoints(const Point& first_atom, int count);

}  // namespace tarvex
