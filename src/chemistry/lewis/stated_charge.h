// A settled Lewis structure brought to the charge and multiplicity its file
// states (a Gaussian input or log: "Charge = 1 Multiplicity = 2").
//
// The search (bond_order_search.h) knows nothing of electrons beyond those
// of neutral atoms: it settles an atom one bond short with a charge, and a
// molecule short of an electron has no deficiency to settle at all. What the
// file states decides what the structure is:
//   - a doublet is a radical, not an ion: the carbenium ion the search made
//     of an ethyl radical takes its electron back (C+ becomes C.), the
//     alkoxide of a nitroxide gives its extra one up (O- becomes O.);
//   - a radical cation lost an electron from a lone pair (the N of the
//     acetonitrile cation, N+. with its triple bond), or, in a molecule
//     without lone pairs, from a double bond (C+ and C. where C=C was);
//   - a radical anion took one into a double bond (a ketyl: C. and O- where
//     C=O was);
//   - a triplet's two unpaired electrons come from a double bond (O=O
//     becomes .O-O.).
// Each step moves one electron and changes the sum of the charges by one;
// the steps that bring the unpaired electrons nearer the multiplicity come
// first. An atom's unpaired electron is read from its electron count: its
// valence electrons less its bond orders and its charge, when odd. Only
// molecules with explicit hydrogens take part: where hydrogens are
// implied, a missing bond is a hydrogen, not an electron.
#pragma once

#include <vector>

#include "chemistry/lewis/chem_graph.h"
#include "molecule/bond_map.h"

namespace tarvex {

struct StatedState {
  int charge = 0;
  int unpaired = 0;  // multiplicity - 1
};

// Moves electrons in the structure (`orders`: every bond's order, `charges`:
// one per atom) until its charges sum to the stated charge, or no step is
// left; `implied` marks the atoms whose hydrogens are implied. True when the
// charges sum to the stated charge at the end.
bool MeetStatedCharge(const ChemGraph& graph, const std::vector<char>& implied, const StatedState& stated,
                      BondOrderMap& orders, std::vector<int>& charges);

}  // namespace tarvex
