// An atom's demand for extra bond orders and the fixes it allows when the pi
// matching (pi_matching.h) leaves it a deficiency: which charge, implicit
// hydrogen or unpaired electron settles it under the rule switches on
// (bond_order_search.h), and at what cost.
#pragma once

#include <cstdint>

#include "chemistry/lewis/bond_order_search.h"
#include "chemistry/lewis/pi_matching.h"
#include "chemistry/lewis/valence_model.h"

namespace tarvex {

// What the bonds of one atom say before any order is chosen.
struct AtomBonds {
  int settled = 0;    // order sum of the bonds whose order is already known
  int open = 0;       // bonds still without an order
  int ligands = 0;    // neighbours that are not metals
  int heavy = 0;      // neighbours other than hydrogen
  int acceptors = 0;  // neighbours that are terminal chalcogens
  // Bond-order sum with one order per open bond.
  int Sigma() const { return settled + open; }
};

// One atom as the fix search reads it.
struct AtomState {
  int atom = -1;
  const ElementChemistry* element = nullptr;
  uint8_t role = 0;            // GroupRole bits
  bool hydrogen_free = false;  // its molecule lacks hydrogens (implicit_hydrogens.h)
  AtomBonds bonds;
  int valence = 0;  // the starting state (StartingState)
  int charge = 0;

  int Group() const { return element->group; }
  bool Uncharged() const { return charge == 0; }
  // Neutral at its lowest valence (amine N, ether O): the state a charge
  // would be placed on.
  bool Lowest() const { return Uncharged() && valence == element->lowest_valence(); }
};

// Sets the demand and the lowering and raising fixes of `pi`.
void SetFixes(const PerceptionContext& context, const AtomState& atom, const SearchRules& rules, PiAtom& pi);

}  // namespace tarvex
