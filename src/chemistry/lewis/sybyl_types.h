// MOL2 (SYBYL) atom and bond types from a perceived Lewis structure.
//
// The typing rows give every atom a first type from its neighbour counts;
// this step settles them with what the bond orders, charges and rings now
// say, the way SYBYL's own dictionary types molecules:
//   C  ar in an aromatic ring; cat for the central carbon of an amidinium or
//      guanidinium ion (a nitrogen neighbour carries the +1); otherwise by
//      hybridisation: 1 (a triple or two double bonds), 2 (one double bond,
//      or three neighbours without one: a carbon ion), 3 (saturated).
//   N  4 with four neighbours; ar in an aromatic ring; am for an amide
//      nitrogen (kept from the rows, or single-bonded to a carbonyl carbon);
//      1 (sp), 2 (one double bond, neutral), pl3 (planar: an iminium N+, a
//      nitro N, or single bonds next to a pi system: anilines, enamines,
//      guanidinium), 3 (an amine).
//   O  co2 kept from the rows (carboxylate, phosphate, sulfonate oxygens); 2
//      for a double bond, or the charged oxygen of a nitro group or N-oxide;
//      3 otherwise (ethers, hydroxyls, alkoxides, furan).
//   S  O and O2 kept from the rows (sulfoxide, sulfone); 2 for a thione S=C;
//      3 otherwise (thioethers, thiols, thiolates, thiophene).
//   P  3.
// Other elements (H, halogens, metals) have no suffix.
//
// GOLD conventions (the GOLD file flag): sulfoxide and sulfone sulfurs are
// "o" and "o2", their oxygens "2" (sulfonate oxygens included), and the
// nitrogen of a sulfonamide is an amide nitrogen "am".
//
// Bond types: "ar" for bonds of aromatic rings and for the delocalised bonds
// of carboxylates (C-O.co2) and amidinium and guanidinium ions (C.cat-N);
// "am" for the amide C-N bond (with GOLD also the sulfonamide S-N bond and,
// for a nitro group, its N-O bonds "ar"); otherwise the bond order: 1, 2 or
// 3.
#pragma once

#include <string>
#include <vector>

#include "chemistry/lewis/chem_graph.h"
#include "chemistry/lewis/ring_perception.h"

namespace tarvex {

struct LewisStructure {
  const ChemGraph* graph = nullptr;
  const RingSet* rings = nullptr;
  std::vector<int> edge_order;  // per edge of the compressed adjacency
  std::vector<int> charge;      // per atom
  // Per atom, 1 where the molecule lacks hydrogens (they are implicit); may
  // be null: none are.
  const std::vector<char>* implicit_hydrogens = nullptr;
  bool Implicit(int atom) const {
    return implicit_hydrogens && static_cast<size_t>(atom) < implicit_hydrogens->size() && (*implicit_hydrogens)[atom];
  }
};

struct Aromaticity {
  std::vector<char> atom;
  std::vector<char> edge;
};

Aromaticity FindAromaticity(const LewisStructure& lewis);

// Settles the type suffixes in place (`types` holds the suffixes from the
// typing rows).
void RefineSybylTypes(const LewisStructure& lewis, const Aromaticity& aromatic, bool gold,
                      std::vector<std::string>& types);

// The MOL2 bond type of edge `edge` of atom a.
const std::string& SybylBondType(const LewisStructure& lewis, const Aromaticity& aromatic, bool gold,
                                 const std::vector<std::string>& types, int a, int edge);

}  // namespace tarvex
