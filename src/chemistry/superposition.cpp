// Least-squares superposition onto reference structures: the fit reference,
// the fit selection and fitting every frame of a trajectory.
#include "common/exit.h"
#include "molecule/data_file.h"

namespace tarvex {

void CDataFile::SetFitReference(const Frame& reference) { fit_reference_ = reference; }

// The Kabsch fit arrives with the convert analyzer; until then a fit that is
// asked for ends the command with a clear message.
void CDataFile::FitToReference() { Fatal("Error: least-squares fitting is not available yet."); }

void CDataFile::FitAllFrames() {
  Frame kept = cartesian_;
  for (Frame& frame : cartesian_all_) {
    cartesian_ = frame;
    FitToReference();
    frame = cartesian_;
  }
  cartesian_ = kept;
}

void CDataFile::SetFitAtoms(const std::vector<int>& positions) { fit_atoms_ = positions; }
std::vector<int>& CDataFile::GetFitAtoms() { return fit_atoms_; }
void CDataFile::SetFitExcludedAtoms(const std::vector<int>& positions) { fit_excluded_atoms_ = positions; }
std::vector<int>& CDataFile::GetFitExcludedAtoms() { return fit_excluded_atoms_; }
void CDataFile::SetFitAtomNames(const std::vector<std::string>& names) { fit_atom_names_ = names; }
std::vector<std::string>& CDataFile::GetFitAtomNames() { return fit_atom_names_; }

}  // namespace tarvex
