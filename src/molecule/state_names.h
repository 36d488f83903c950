// State names: the 19 field groups of a record as state lists name them, in
// the order PrintStates lists them. HasState, PrintStates and CopyState read
// the names from this one table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvex {

enum class State : uint8_t {
  kTitle,
  kNumberOfAtoms,
  kNumberOfResidues,
  kNumberOfMolecules,
  kCartesian,
  kCartesianAll,
  kInternal,
  kInternalAll,
  kForce,
  kCharge,
  kConnection,
  kAtomName,
  kAtomType,
  kAtomIndex,
  kResidueName,
  kResidueType,
  kResidueIndex,
  kResidueNumber,
  kHeadAtomOfResidue,
};

// Indexed by State.
inline constexpr std::array<std::string_view, 19> kStateNames = {"title",
                                                                 "number_of_atoms",
                                                                 "number_of_residues",
                                                                 "number_of_molecules",
                                                                 "cartesian",
                                                                 "cartesian_all",
                                                                 "internal",
                                                                 "internal_all",
                                                                 "force",
                                                                 "charge",
                                                                 "connection",
                                                                 "atom_name",
                                                                 "atom_type",
                                                                 "atom_index",
                                                                 "residue_name",
                                                                 "residue_type",
                                                                 "residue_index",
                                                                 "residue_number",
                                                                 "head_atom_of_residue"};
static_assert(kStateNames.size() == static_cast<size_t>(State::kHeadAtomOfResidue) + 1);

inline constexpr std::string_view StateName(State state) { return kStateNames[static_cast<size_t>(state)]; }

// The group a state name names (matched exactly, case included), if any.
inline std::optional<State> FindState(std::string_view name) {
  for (size_t k = 0; k < kStateNames.size(); ++k) {
    if (kStateNames[k] == name) return static_cast<State>(k);
  }
  return std::nullopt;
}

}  // namespace tarvex
