// Ions whose names state their charge.
//
// A lone metal or halide takes the usual charge of its element (the
// registry's ion charges, molecule/tables.h past krypton): Fe2+, Cu2+, V3+.
// Many files say otherwise by name:
//   - a name with a trailing charge, the residue or atom names Amber, CHARMM
//     and other tools give ions: Na+, Cl-, V2+, Zn2+, FE3+, MG+2;
//   - the single-atom ion components of the wwPDB Chemical Component
//     Dictionary, the residue names of ions in PDB entries, whose
//     oxidation state is part of the component: FE2 is iron(II) and FE
//     iron(III), CU1 copper(I) and CU copper(II), MN3 manganese(III).
// The name counts only where it names the atom's own element, so a carbon
// in a residue CO3 (carbonate) or an atom FE1 numbered in a haem keeps its
// element's reading.
#pragma once

#include <climits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

inline constexpr int kNoNamedCharge = INT_MIN;

// One single-atom ion component of the Chemical Component Dictionary: its
// identifier, element symbol and formal charge.
struct IonComponent {
  std::string_view id;
  std::string_view element;
  int charge;
};
std::span<const IonComponent> IonComponents();

// The charge an ion's residue or atom name states for an atom of `element`
// (an upper-case symbol), or kNoNamedCharge.
int ChargeOfIonName(std::string_view name, std::string_view element, bool residue_name);

// Per atom, the charge its names state (the atom name first, then the
// residue name), kNoNamedCharge where they state none; empty when no atom's
// names state one. Only atoms of other elements than H, C, N, O, P and S are
// looked at: ions are metals and halides.
std::vector<int> NamedIonCharges(const std::vector<std::string>& elements, const std::vector<std::string>& atom_names,
                                 const std::vector<std::string>& residue_names);

}  // namespace tarvex
