// Structures without hydrogen atoms (most crystal structures): which atoms
// are unsaturated, read from the geometry.
//
// With explicit hydrogens an atom's bond count tells its unsaturation; here
// a missing neighbour may be a hydrogen or half of a double bond. The
// geometry decides, per atom, how many extra bond orders it may take:
//   - a carbon with three neighbours: 1 when they lie in a plane (the three
//     angles sum to 350 degrees or more; sp3 gives about 328, and strained
//     sp3 carbons of crystal structures reach 345), else 0;
//   - a carbon or nitrogen with two neighbours: 2 when the angle is above
//     155 degrees (nitrile carbon, alkyne, azide middle), 1 when it is 116 or
//     more or one bond is short, or the atom lies in a flat ring, else 0;
//   - a terminal atom: from its bond length against the standard single
//     length (a C=O is 0.85 of C-O, a C#N 0.79 of C-N), except on a
//     phosphorus, sulfur or halogen centre, whose valence decides;
//   - atoms of flat five- to seven-membered rings (every torsion along the
//     ring within 20 degrees) may take 1.
// Atoms whose valence leaves no room are capped by the valence anyway; what
// the matching cannot use becomes implicit hydrogens, never charges.
#pragma once

#include <functional>
#include <vector>

#include "chemistry/lewis/chem_graph.h"
#include "chemistry/lewis/ring_perception.h"
#include "molecule/bond_map.h"

namespace tarvex {

// Per atom: 1 when its hydrogens are left out of the file and must be
// implied. A molecule (connected set of atoms) lacks its carbon hydrogens
// when some carbon has fewer neighbours than its geometry calls for (three
// neighbours but pyramidal: angles summing below 340 degrees; two but bent;
// one at more than triple-bond length); a
// molecule that has none to have (carbonate, trifluoroacetate, a fullerene)
// shows no such carbon. Its nitrogens, oxygens and sulfurs lack theirs too
// unless the file gives some hydrogen on them: structures with polar
// hydrogens only (united-atom models, many deposited proteins) keep their
// explicit N-H and O-H, and a carboxylate without its H is then charged.
std::vector<char> MoleculesMissingHydrogens(const ChemGraph& graph, const Frame& points,
                                            const std::function<double(int, int)>& standard_length);

// standard_length(a, b): the unscaled single-bond length of the pair, or 0.
// Per atom: the extra bond orders the geometry admits, -1 for no cap
// (elements whose unsaturation the valence alone decides, atoms without
// coordinates).
// Atoms whose hydrogens are explicit (`implicit` 0) are not capped.
std::vector<int> GeometricUnsaturation(const ChemGraph& graph, const Frame& points, const RingSet& rings,
                                       const std::vector<char>& implicit,
                                       const std::function<double(int, int)>& standard_length);

}  // namespace tarvex
