// State names: which field groups a record holds, and copying them between
// records (the usual way to combine a topology with a coordinate file).
#include <algorithm>
#include <array>
#include <string_view>

#include "common/console.h"
#include "common/exit.h"
#include "molecule/data_file.h"

namespace tarvex {
namespace {

// The 19 field-group keywords, in the order PrintStates lists them.
constexpr std::array<std::string_view, 19> kStateNames = {
    "title",         "number_of_atoms", "number_of_residues", "number_of_molecules",
    "cartesian",     "cartesian_all",   "internal",           "internal_all",
    "force",         "charge",          "connection",         "atom_name",
    "atom_type",     "atom_index",      "residue_name",       "residue_type",
    "residue_index", "residue_number",  "head_atom_of_residue"};

}  // namespace

bool CDataFile::HasState(const std::string& state_name) {
  if (state_name == "title") return !title_.empty();
  if (state_name == "number_of_atoms") return number_of_atoms_ != 0;
  if (state_name == "number_of_residues") return number_of_residues_ != 0;
  if (state_name == "number_of_molecules") return number_of_molecules_ != 0;
  if (state_name == "cartesian") return !cartesian_.empty();
  if (state_name == "cartesian_all") return !cartesian_all_.empty();
  if (state_name == "internal") return !internal_.empty();
  if (state_name == "internal_all") return !internal_all_.empty();
  if (state_name == "force") return !force_.empty();
  if (state_name == "charge") return !charge_.empty();
  if (state_name == "connection") return !connection_.empty();
  if (state_name == "atom_name") return !atom_name_.empty();
  if (state_name == "atom_type") return !atom_type_.empty();
  if (state_name == "atom_index") return !atom_index_.empty();
  if (state_name == "residue_name") return !residue_name_.empty();
  if (state_name == "residue_type") return !residue_type_.empty();
  if (state_name == "residue_index") return !residue_index_.empty();
  if (state_name == "residue_number") return !residue_number_.empty();
  if (state_name == "head_atom_of_residue") return !head_atom_of_residue_.empty();
  ErrLine("No state list name: " + state_name);
  return false;
}

void CDataFile::PrintStates() {
  for (std::string_view name : kStateNames) {
    if (HasState(std::string(name))) ErrLine(name);
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
    if (move) mine = std::move(theirs);
    else mine = theirs;
  };
  auto wanted = [&](const char* name) { return (overwrite || !HasState(name)) && source.HasState(name); };
  auto atoms_equal = [&] { return GetNumberOfAtoms() == source.GetNumberOfAtoms(); };
  auto residues_equal = [&] { return GetNumberOfResidues() == source.GetNumberOfResidues(); };
  const char* kAtomWarning = "Warning: different atom number.";
  const char* kResidueWarning = "Warning: different residue number.";

  if (wanted("number_of_atoms")) {
    number_of_atoms_ = source.GetNumberOfAtoms();
    snapshot_.number_of_atoms = number_of_atoms_;
    formal_charges_.assign(static_cast<size_t>(std::max(number_of_atoms_, 0)), 0);
  }
  if (wanted("number_of_residues")) number_of_residues_ = source.GetNumberOfResidues();
  if (wanted("title")) take(title_, source.title_);
  if (wanted("internal") && atoms_equal()) {
    take(internal_, source.internal_);
    take(internal_reference_, source.internal_reference_);
  }
  if (wanted("force") && atoms_equal()) take(force_, source.force_);
  if (wanted("charge") && atoms_equal()) take(charge_, source.charge_);
  if (wanted("atom_name")) {
    if (atoms_equal()) take(atom_name_, source.atom_name_);
    else Warn(kAtomWarning);
  }
  if (wanted("atom_type")) {
    if (atoms_equal()) {
      take(atom_type_, source.atom_type_);
      snapshot_.atom_types = atom_type_;
    } else {
      Warn(kAtomWarning);
    }
  }
  if (wanted("atom_index")) {
    if (atoms_equal()) take(atom_index_, source.atom_index_);
    else Warn(kAtomWarning);
  }
  auto fit_wanted = [&] {
    return HasState("atom_type") && HasState("number_of_atoms") && (file_flags_ & kFileReferenceFit);
  };
  if (wanted("cartesian") && atoms_equal()) {
    take(cartesian_, source.cartesian_);
    if (fit_wanted()) FitToReference();
    snapshot_.cartesian = cartesian_;
  }
  if (wanted("cartesian_all") && atoms_equal()) {
    take(cartesian_all_, source.cartesian_all_);
    number_of_molecules_ = static_cast<int>(cartesian_all_.size());
    if (fit_wanted()) FitAllFrames();
  }
  auto copy_residue_group = [&](const char* name, auto& mine, auto& theirs) {
    if (!wanted(name)) return;
    if (residues_equal()) take(mine, theirs);
    else Warn(kResidueWarning);
  };
  copy_residue_group("residue_name", residue_name_, source.residue_name_);
  copy_residue_group("residue_type", residue_type_, source.residue_type_);
  copy_residue_group("residue_index", residue_index_, source.residue_index_);
  copy_residue_group("residue_number", residue_number_, source.residue_number_);
  copy_residue_group("head_atom_of_residue", head_atom_of_residue_, source.head_atom_of_residue_);
  if (source.HasState("connection")) {
    if (move) AdoptConnection(std::move(source.connection_));
    else SetConnection(source.connection_);
  }
  if (ter_list_.empty() && !source.ter_list_.empty()) ter_list_ = source.ter_list_;
  if (HasState("number_of_atoms") && HasState("atom_name") && !HasState("atom_index")) {
    atom_index_.resize(static_cast<size_t>(std::max(number_of_atoms_, 0)));
    for (int i = 0; i < number_of_atoms_; ++i) atom_index_[static_cast<size_t>(i)] = i + 1;
  }
}

}  // namespace tarvex
