// State names: which field groups a record holds, and copying them between
// records (the usual way to combine a topology with a coordinate file).
#include <algorithm>
#include <optional>

#include "common/console.h"
#include "molecule/data_file.h"

namespace tarvex {

bool CDataFile::Holds(State state) const {
  switch (state) {
    case State::kTitle:
      return !title_.empty();
    case State::kNumberOfAtoms:
      return number_of_atoms_ != 0;
    case State::kNumberOfResidues:
      return number_of_residues_ != 0;
    case State::kNumberOfMolecules:
      return number_of_molecules_ != 0;
    case State::kCartesian:
      return !cartesian_.empty();
    case State::kCartesianAll:
      return !cartesian_all_.empty();
    case State::kInternal:
      return !internal_.empty();
    case State::kInternalAll:
      return !internal_all_.empty();
    case State::kForce:
      return !force_.empty();
    case State::kCharge:
      return !charge_.empty();
    case State::kConnection:
      return !connection_.empty();
    case State::kAtomName:
      return !atom_name_.empty();
    case State::kAtomType:
      return !atom_type_.empty();
    case State::kAtomIndex:
      return !atom_index_.empty();
    case State::kResidueName:
      return !residue_name_.empty();
    case State::kResidueType:
      return !residue_type_.empty();
    case State::kResidueIndex:
      return !residue_index_.empty();
    case State::kResidueNumber:
      return !residue_number_.empty();
    case State::kHeadAtomOfResidue:
      return !head_atom_of_residue_.empty();
  }
  return false;
}

bool CDataFile::HasState(const std::string& state_name) {
  if (std::optional<State> state = FindState(state_name)) return Holds(*state);
  Warn("No state list name: " + state_name);
  return false;
}

void CDataFile::PrintStates() {
  for (size_t k = 0; k < kStateNames.size(); ++k) {
    if (Holds(static_cast<State>(k))) ErrLine(kStateNames[k]);
  }
}

void CDataFile::CopyState(CDataFile& source) { TransferState(source, false); }
void CDataFile::TakeState(CDataFile& source) { TransferState(source, true); }

// Copies (or moves) the groups this record lacks (all held groups with
// OVERWRITE) from the source. Per-atom groups need equal atom counts and
// per-residue groups equal residue counts; copied coordinates are fitted onto
// the reference when the record asks for it.
void CDataFile::TransferState(CDataFile& source, bool move) {
  const bool overwrite = (file_flags_ & kFileOverwrite) != 0;
  auto take = [move](auto& mine, auto& theirs) {
    if (move)
      mine = std::move(theirs);
    else
      mine = theirs;
  };
  auto wanted = [&](State state) { return (overwrite || !Holds(state)) && source.Holds(state); };
  auto atoms_equal = [&] { return GetNumberOfAtoms() == source.GetNumberOfAtoms(); };
  auto residues_equal = [&] { return GetNumberOfResidues() == source.GetNumberOfResidues(); };
  const char* kAtomWarning = "Warning: different atom number.";
  const char* kResidueWarning = "Warning: different residue number.";

  if (wanted(State::kNumberOfAtoms)) {
    number_of_atoms_ = source.GetNumberOfAtoms();
    snapshot_.number_of_atoms = number_of_atoms_;
    formal_charges_.assign(static_cast<size_t>(std::max(number_of_atoms_, 0)), 0);
  }
  if (wanted(State::kNumberOfResidues)) number_of_residues_ = source.GetNumberOfResidues();
  if (wanted(State::kTitle)) take(title_, source.title_);
  if (wanted(State::kInternal) && atoms_equal()) {
    take(internal_, source.internal_);
    take(internal_reference_, source.internal_reference_);
  }
  if (wanted(State::kForce) && atoms_equal()) take(force_, source.force_);
  if (wanted(State::kCharge) && atoms_equal()) take(charge_, source.charge_);
  if (wanted(State::kAtomName)) {
    if (atoms_equal())
      take(atom_name_, source.atom_name_);
    else
      Warn(kAtomWarning);
  }
  if (wanted(State::kAtomType)) {
    if (atoms_equal()) {
      take(atom_type_, source.atom_type_);
      snapshot_.atom_types = atom_type_;
    } else {
      Warn(kAtomWarning);
    }
  }
  if (wanted(State::kAtomIndex)) {
    if (atoms_equal())
      take(atom_index_, source.atom_index_);
    else
      Warn(kAtomWarning);
  }
  auto fit_wanted = [&] {
    return Holds(State::kAtomType) && Holds(State::kNumberOfAtoms) && (file_flags_ & kFileReferenceFit);
  };
  if (wanted(State::kCartesian) && atoms_equal()) {
    take(cartesian_, source.cartesian_);
    if (fit_wanted()) FitToReference();
    snapshot_.cartesian = cartesian_;
  }
  if (wanted(State::kCartesianAll) && atoms_equal()) {
    take(cartesian_all_, source.cartesian_all_);
    number_of_molecules_ = static_cast<int>(cartesian_all_.size());
    if (fit_wanted()) FitAllFrames();
  }
  auto copy_residue_group = [&](State state, auto& mine, auto& theirs) {
    if (!wanted(state)) return;
    if (residues_equal())
      take(mine, theirs);
    else
      Warn(kResidueWarning);
  };
  copy_residue_group(State::kResidueName, residue_name_, source.residue_name_);
  copy_residue_group(State::kResidueType, residue_type_, source.residue_type_);
  copy_residue_group(State::kResidueIndex, residue_index_, source.residue_index_);
  copy_residue_group(State::kResidueNumber, residue_number_, source.residue_number_);
  copy_residue_group(State::kHeadAtomOfResidue, head_atom_of_residue_, source.head_atom_of_residue_);
  if (source.Holds(State::kConnection)) {
    if (move)
      AdoptConnection(std::move(source.connection_));
    else
      SetConnection(source.connection_);
  }
  if (ter_list_.empty() && !source.ter_list_.empty()) ter_list_ = source.ter_list_;
  if ((overwrite || !stated_charge_and_multiplicity_) && source.stated_charge_and_multiplicity_)
    stated_charge_and_multiplicity_ = source.stated_charge_and_multiplicity_;
  if (Holds(State::kNumberOfAtoms) && Holds(State::kAtomName) && !Holds(State::kAtomIndex)) {
    atom_index_.resize(static_cast<size_t>(std::max(number_of_atoms_, 0)));
    for (int i = 0; i < number_of_atoms_; ++i) atom_index_[i] = i + 1;
  }
}

}  // namespace tarvex
