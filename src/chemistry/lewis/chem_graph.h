// The molecule as the chemistry steps see it: atoms with their element
// chemistry and a symmetric, duplicate-free adjacency in compressed form.
//
// The record's bond lists may be one-sided (CONECT records name a bond in
// one direction), hold a bond twice or name atoms that do not exist; here a
// bond exists when either list names it, and bonds to positions outside the
// molecule or to the atom itself are dropped.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chemistry/lewis/adjacency.h"
#include "chemistry/lewis/valence_model.h"
#include "molecule/bond_map.h"

namespace tarvex {

// Equality of the short texts atom types are ("C", "CL", "N.ar"), compared
// in line: the library compare costs a call per atom on a million atoms.
inline bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t k = 0; k < a.size(); ++k) {
    if (a[k] != b[k]) return false;
  }
  return true;
}

struct ChemGraph {
  int atom_count = 0;
  // The bonds as compressed neighbour lists (AdjacencyView); read them
  // through the members below.
  std::vector<int> offsets;
  std::vector<int> targets;
  // Per atom: an index into `elements` (atoms of one type share an entry).
  std::vector<int> element_of;
  std::vector<ElementChemistry> elements;
  std::vector<std::string> type_names;  // the atom type each entry was made for
  // Per atom: its neighbours other than metals. A bond to a metal is a
  // coordination bond: the ligand atom is read as it would be without it.
  std::vector<int> ligand_degree;

  AdjacencyView Bonds() const { return {offsets, targets}; }
  int Degree(int atom) const { return Bonds().Degree(atom); }
  std::span<const int> Neighbours(int atom) const { return Bonds().Neighbours(atom); }
  EdgeRange Edges(int atom) const { return Bonds().Edges(atom); }
  int Target(int edge) const { return Bonds().Target(edge); }
  int EdgeIndex(int a, int b) const { return Bonds().EdgeIndex(a, b); }
  const ElementChemistry& Element(int atom) const { return elements[static_cast<size_t>(element_of[atom])]; }
  int AtomicNumber(int atom) const { return Element(atom).atomic_number; }
  int LigandDegree(int atom) const { return ligand_degree[atom]; }
  // The neighbours other than metals, in order, as many as fit in `out`;
  // returns how many there are.
  template <size_t N>
  int Ligands(int atom, std::array<int, N>& out) const {
    int count = 0;
    for (int b : Neighbours(atom)) {
      if (Element(b).kind == ElementKind::kMetal) continue;
      if (count < static_cast<int>(N)) out[static_cast<size_t>(count)] = b;
      ++count;
    }
    return count;
  }
};

// `types` gives the element of each atom (upper-cased for the lookup); atoms
// past its end are opaque.
ChemGraph BuildChemGraph(int atom_count, const BondMap& bonds, const std::vector<std::string>& types);

}  // namespace tarvex
