// What an element may do in a Lewis structure: its neutral valences, the
// charged states one step away from them, its usual ion charge and the most
// neighbours it takes. Built from the parameter registry (valence lists, ion
// charges, neighbour limits) plus the periodic-table facts the registry does
// not spell out.
#pragma once

#include <string_view>
#include <vector>

namespace tarvex {

enum class ElementKind {
  kOpaque,        // no valence data (dummy atoms, lone pairs, noble gases, unknown types)
  kHydrogenAtom,  // one bond, no lone pair to give or take
  kMainGroup,     // B, C, N, O, F, Si, P, S, Cl, Ge, As, Se, Br, Sb, Te, I, At
  kMetal,         // bonds to a metal are coordination bonds (see bond_types.cpp)
};

struct ElementChemistry {
  int atomic_number = -1;  // index in kElementSymbols; -1 for an unknown type
  ElementKind kind = ElementKind::kOpaque;
  int group = 0;  // periodic-table group of a main-group element (13 to 17)
  // Neutral valences, ascending: C {4}, N {3}, O {2}, P {3, 5}, S {2, 4, 6},
  // Cl {1, 3, 5, 7}. The heavier p-block elements widen the registry's value
  // to the whole series of their group (lone pairs promoted two at a time).
  std::vector<int> neutral_valences;
  int ion_charge = 0;       // the charge of the bare ion (Na 1, Cl -1, Zn 2)
  int max_neighbours = -1;  // negative: no limit
  bool hypervalent() const { return neutral_valences.size() > 1; }
  int lowest_valence() const { return neutral_valences.empty() ? 0 : neutral_valences.front(); }
};

// The chemistry of an atom type (upper-cased before lookup): "C", "CL", "ZN".
ElementChemistry LookupElementChemistry(std::string_view atom_type);

// The neutral valence an atom with `sigma` bonds (bond-order sum of its
// settled bonds plus one per open bond) starts from, and the charge it
// carries when no neutral valence is large enough (ammonium N with four
// bonds +1, oxonium O +1, borate B -1). `acceptors` counts the terminal
// chalcogens around a hypervalent centre: a sulfur with four neighbours, two
// of them terminal oxygens, starts as S(VI) so that both can be double-bonded.
// False when no state holds `sigma` bonds (a five-bonded carbon).
bool StartingState(const ElementChemistry& element, int sigma, int acceptors, int& valence, int& charge);

}  // namespace tarvex
