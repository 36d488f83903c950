// What a bond's length says about its order, where it says anything.
//
// The lengths are read against the standard single-bond length of the pair
// (the registry's length before scaling). Measured on the MMFF geometries of
// the development set (bench/chem_devset.py, explicit hydrogens):
//   C-C  single bonds beside pi systems 0.93 to 1.05, aromatic bonds 0.90 to
//        0.95, isolated double bonds 0.85 to 0.89 (0.90 in an ene-dithiolate):
//        at most 0.90 is double, 0.96 or more single. An aromatic bond read
//        as double only picks the other Kekule structure;
//   C-S  of a carbon with three neighbours: 0.96 or more when single (a
//        thiolate on an aromatic or vinyl carbon), 0.91 to 0.92 when double
//        (thiones, thioureas), 0.94 in dithiocarbamates. MMFF writes the
//        cumulated C=S of isothiocyanates at 0.99, so carbons with two
//        neighbours are not read;
//   C-N, C-O and the rest overlap too much (amides, carboxylates, aromatic
//        rings) to say anything.
#pragma once

#include "chemistry/lewis/chem_graph.h"

namespace tarvex {

// +1 when the length of the bond a-b says double, -1 when it says single,
// 0 when it says nothing (or `ratio`, length over single length, is 0).
int BondLengthSays(const ChemGraph& graph, int a, int b, float ratio);

}  // namespace tarvex
