// The record's own fields: construction, setters and getters, bonds,
// numbering and residue tests.
#include "molecule/data_file.h"

#include <algorithm>

#include "chemistry/parameters.h"
#include "molecule/tables.h"

namespace tarvex {

CDataFile::CDataFile() {
  if (ParameterRegistryEmpty()) LoadParameters();
  LoadTypingRows();
}

CDataFile::~CDataFile() = default;

void CDataFile::SetFileFlag(uint32_t bits) { file_flags_ |= bits; }
void CDataFile::ClearFileFlag(uint32_t bits) { file_flags_ &= ~bits; }
uint32_t CDataFile::GetFileFlags() const { return file_flags_; }
void CDataFile::SetFitFlag(uint32_t bits) { fit_flags_ |= bits; }
void CDataFile::ClearFitFlag(uint32_t bits) { fit_flags_ &= ~bits; }
uint32_t CDataFile::GetFitFlags() const { return fit_flags_; }
void CDataFile::DetectVersion() {}
void CDataFile::SetVersion(const std::string& version) { version_ = version; }
std::string& CDataFile::GetVersion() { return version_; }

void CDataFile::SetNumberOfAtoms(int count) { number_of_atoms_ = count; }
void CDataFile::SetNumberOfResidues(int count) { number_of_residues_ = count; }
void CDataFile::SetNumberOfMolecules(int count) { number_of_molecules_ = count; }
void CDataFile::SetTitle(const std::string& title) { title_ = title; }
void CDataFile::SetCartesian(const Frame& points) { cartesian_ = points; }
void CDataFile::SetInternal(const std::vector<Point>& values, const std::vector<ReferenceTriple>& references) {
  internal_ = values;
  internal_reference_ = references;
}
void CDataFile::SetCartesianAll(const std::vector<Frame>& frames) {
  cartesian_all_ = frames;
  number_of_molecules_ = static_cast<int>(cartesian_all_.size());
}
void CDataFile::SetInternalAll(const std::vector<std::vector<Point>>& values,
                               const std::vector<std::vector<ReferenceTriple>>& references) {
  internal_all_ = values;
  internal_all_reference_ = references;
}
void CDataFile::SetForce(const Frame& forces) { force_ = forces; }
void CDataFile::SetCharge(const std::vector<double>& charges) { charge_ = charges; }
void CDataFile::SetAtomName(const std::vector<std::string>& names) { atom_name_ = names; }
void CDataFile::SetAtomType(const std::vector<std::string>& types) { atom_type_ = types; }
void CDataFile::SetAtomIndex(const std::vector<int>& numbers) { atom_index_ = numbers; }
void CDataFile::SetResidueName(const std::vector<std::string>& names) { residue_name_ = names; }
void CDataFile::SetResidueType(const std::vector<std::string>& types) { residue_type_ = types; }
void CDataFile::SetResidueIndex(const std::vector<int>& numbers) { residue_index_ = numbers; }
void CDataFile::SetResidueNumber(const std::vector<int>& ordinals) { residue_number_ = ordinals; }
void CDataFile::SetHeadAtomOfResidue(const std::vector<int>& heads) { head_atom_of_residue_ = heads; }

// Bonds handed to the record are merged into its own unless NO_MERGE asks for
// replacement; NO_CONNECT keeps the record free of bonds altogether.
void CDataFile::SetConnection(const BondMap& bonds) {
  if (file_flags_ & kFileNoConnect) {
    connection_.clear();
  } else if (!(file_flags_ & kFileNoMerge)) {
    for (auto [atom, neighbours] : bonds) {
      if (BondMap::List* mine = connection_.find(atom)) {
        for (int neighbour : neighbours) {
          if (std::find(mine->begin(), mine->end(), neighbour) == mine->end()) {
            mine->push_back(neighbour);
          }
        }
      } else {
        connection_[atom] = neighbours;
      }
    }
  } else {
    connection_ = bonds;
  }
  SnapshotConnection();
}

// The same as SetConnection, taking over the lists where the result is the
// handed map itself (replacing, or merging into no bonds).
void CDataFile::AdoptConnection(BondMap&& bonds) {
  if (!(file_flags_ & kFileNoConnect) && ((file_flags_ & kFileNoMerge) || connection_.empty())) {
    connection_ = std::move(bonds);
    SnapshotConnection();
  } else {
    SetConnection(bonds);
  }
}

// The snapshot keeps a copy of the bonds unless one names a missing atom.
void CDataFile::SnapshotConnection() {
  for (auto [atom, neighbours] : connection_) {
    (void)atom;
    for (int neighbour : neighbours) {
      if (neighbour < 0) return;
    }
  }
  snapshot_.connection = connection_;
}

void CDataFile::ClearAtomAndResidueGroups() {
  cartesian_.clear();
  atom_name_.clear();
  atom_type_.clear();
  atom_index_.clear();
  residue_name_.clear();
  residue_index_.clear();
  residue_number_.clear();
  head_atom_of_residue_.clear();
}

int CDataFile::GetNumberOfAtoms() { return number_of_atoms_; }
int CDataFile::GetNumberOfResidues() { return number_of_residues_; }
int CDataFile::GetNumberOfMolecules() {
  if (number_of_molecules_ == 0 && !cartesian_.empty()) number_of_molecules_ = 1;
  return number_of_molecules_;
}
std::string CDataFile::GetTitle() const { return title_; }
Frame& CDataFile::GetCartesian() { return cartesian_; }
std::vector<Point>& CDataFile::GetInternal() { return internal_; }
std::vector<ReferenceTriple>& CDataFile::GetInternalReference() { return internal_reference_; }
std::vector<Frame>& CDataFile::GetCartesianAll() {
  if (cartesian_all_.empty() && !cartesian_.empty()) cartesian_all_.push_back(cartesian_);
  return cartesian_all_;
}
std::vector<std::vector<Point>>& CDataFile::GetInternalAll() { return internal_all_; }
std::vector<std::vector<ReferenceTriple>>& CDataFile::GetInternalAllReference() { return internal_all_reference_; }
Frame& CDataFile::GetForce() { return force_; }
std::vector<double>& CDataFile::GetCharge() { return charge_; }
BondMap& CDataFile::GetConnection() { return connection_; }
std::vector<std::string>& CDataFile::GetAtomName() { return atom_name_; }
std::vector<std::string>& CDataFile::GetAtomType() { return atom_type_; }
// The caller may change the numbers through the reference.
std::vector<int>& CDataFile::GetAtomIndex() {
  atom_index_.Changed();
  return atom_index_;
}
std::vector<std::string>& CDataFile::GetResidueName() { return residue_name_; }
std::vector<std::string>& CDataFile::GetResidueType() { return residue_type_; }
std::vector<int>& CDataFile::GetResidueIndex() { return residue_index_; }
std::vector<int>& CDataFile::GetResidueNumber() { return residue_number_; }
std::vector<int>& CDataFile::GetHeadAtomOfResidue() { return head_atom_of_residue_; }
void CDataFile::ClearConnection() { connection_.clear(); }
void CDataFile::SetTerList(const std::vector<int>& ter_list) { ter_list_ = ter_list; }

void CDataFile::SetNeededAtoms(std::vector<int> positions) {
  std::erase_if(positions, [](int position) { return position < 0; });  // atoms not found
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
  needed_atoms_ = std::move(positions);
}
std::vector<int>& CDataFile::GetTerList() { return ter_list_; }

// A residue is recognised by the first three characters of its name, so
// variants such as HIS1 count as HIS.
bool CDataFile::IsStandardResidueAt(int atom) {
  if (residue_name_.empty() || atom < 0 || atom >= static_cast<int>(residue_name_.size())) return false;
  return IsStandardResidue(std::string_view(residue_name_[atom]).substr(0, 3));
}
bool CDataFile::IsStandardResidueName(const std::string& name) { return IsStandardResidue(name); }
bool CDataFile::IsSecondResidueAt(int atom) {
  if (residue_name_.empty() || atom < 0 || atom >= static_cast<int>(residue_name_.size())) return false;
  return IsWaterResidue(std::string_view(residue_name_[atom]).substr(0, 3));
}
bool CDataFile::IsSecondResidueName(const std::string& name) { return IsWaterResidue(name); }

int CDataFile::IndexToAtomNumber(int position) {
  if (atom_index_.empty()) return position + 1;
  if (position < 0 || position >= static_cast<int>(atom_index_.size())) return -1;
  return atom_index_[position];
}

int CDataFile::AtomNumberToIndex(int atom_number) {
  if (atom_index_.empty()) return atom_number - 1;
  return atom_index_.FirstPosition(atom_number, number_of_atoms_);
}

int CDataFile::ResidueIndexOfHead(int residue) {
  if (residue < 0 || residue >= static_cast<int>(head_atom_of_residue_.size())) return -1;
  int head = head_atom_of_residue_[residue];
  if (head < 0 || head >= static_cast<int>(residue_index_.size())) return -1;
  return residue_index_[head];
}

int CDataFile::ResidueNumberOfIndex(int residue_index) {
  if (head_atom_of_residue_.empty() || number_of_residues_ < 0 ||
      number_of_residues_ >= static_cast<int>(head_atom_of_residue_.size())) {
    return -1;
  }
  int end = head_atom_of_residue_[number_of_residues_];
  end = std::min({end, static_cast<int>(residue_index_.size()), static_cast<int>(residue_number_.size())});
  for (int i = 0; i < end; ++i) {
    if (residue_index_[i] == residue_index) {
      return residue_number_[i];
    }
  }
  return -1;
}

}  // namespace tarvex
