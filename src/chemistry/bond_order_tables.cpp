// The record's bond-order tables, MOL2 types and formal charges: storage and
// simple queries used by bond-type perception, the MOL2 writer and charge.
//
// Three order tables are kept: the initial table (orders known before any
// search), the fixed table (orders settled by rules and the search) and the
// perceived table (orders of the current attempt). A query looks in the
// perceived table first, then in the fixed one.
#include <algorithm>

#include "molecule/data_file.h"

namespace tarvex {

BondOrderMap& CDataFile::GetFixedBondOrders() { return fixed_bond_orders_; }

int CDataFile::GetBondOrder(int i, int j) {
  if (const int* order = bond_orders_.find(i, j)) return *order;
  if (const int* order = fixed_bond_orders_.find(i, j)) return *order;
  return 0;
}

bool CDataFile::HasBondOrder(int i, int j) {
  return bond_orders_.contains(i, j) || fixed_bond_orders_.contains(i, j);
}

void CDataFile::SetFixedBondOrder(int i, int j, int order) { fixed_bond_orders_.set(i, j, order); }

int CDataFile::BondOrderSum(int atom) {
  const BondMap::List* neighbours = connection_.find(atom);
  if (!neighbours) return 0;
  int sum = 0;
  for (int other : *neighbours) sum += GetBondOrder(atom, other);
  return sum;
}

int CDataFile::UnorderedBondCount(int atom) {
  const BondMap::List* neighbours = connection_.find(atom);
  if (!neighbours) return 0;
  int count = 0;
  for (int other : *neighbours) count += HasBondOrder(atom, other) ? 0 : 1;
  return count;
}

void CDataFile::MarkAtomAssigned(int atom) {
  for (size_t k = 0; k < pending_atoms_.size(); ++k) {
    if (pending_atoms_[k] == atom) {
      pending_atoms_.erase(pending_atoms_.begin() + static_cast<long>(k));
      return;
    }
  }
}

int CDataFile::NextUnassignedAtom() { return pending_atoms_.empty() ? -1 : pending_atoms_.front(); }

std::string CDataFile::GetMol2AtomType(int atom) {
  if (!types_assigned_ || atom < 0 || atom >= static_cast<int>(mol2_atom_types_.size())) return {};
  return mol2_atom_types_[static_cast<size_t>(atom)];
}

void CDataFile::SetMol2AtomType(int atom, const std::string& type) {
  if (atom < 0) return;
  if (atom >= static_cast<int>(mol2_atom_types_.size())) mol2_atom_types_.resize(static_cast<size_t>(atom) + 1);
  mol2_atom_types_[static_cast<size_t>(atom)] = type;
}

std::vector<int>& CDataFile::GetFormalCharges() { return formal_charges_; }

int CDataFile::GetFormalCharge(int atom) {
  if (atom < 0 || atom >= static_cast<int>(formal_charges_.size())) return 0;
  return formal_charges_[static_cast<size_t>(atom)];
}

void CDataFile::SetFormalCharges(const std::vector<int>& charges) { formal_charges_ = charges; }

void CDataFile::SetFormalCharge(int atom, int charge) {
  if (atom < 0) return;
  if (atom >= static_cast<int>(formal_charges_.size())) formal_charges_.resize(static_cast<size_t>(atom) + 1, 0);
  formal_charges_[static_cast<size_t>(atom)] = charge;
}

std::string CDataFile::GetMol2BondType(int i, int j) {
  if (!types_assigned_) return {};
  const std::string* type = mol2_bond_types_.find(i, j);
  return type ? *type : std::string();
}

void CDataFile::SetMol2BondType(int i, int j, const std::string& type) { mol2_bond_types_.set(i, j, type); }

void CDataFile::ClearBondOrders() { bond_orders_.clear(); }
void CDataFile::SetFixedBondOrders(const BondOrderMap& orders) { fixed_bond_orders_ = orders; }
void CDataFile::SetBondOrder(int i, int j, int order) { bond_orders_.set(i, j, order); }

void CDataFile::ClearAllBondOrders() {
  fixed_bond_orders_.clear();
  bond_orders_.clear();
}

void CDataFile::ResetAtomLinks() {
  fixed_bond_orders_ = initial_bond_orders_;
  pending_atoms_.resize(static_cast<size_t>(std::max(number_of_atoms_, 0)));
  for (int i = 0; i < number_of_atoms_; ++i) pending_atoms_[static_cast<size_t>(i)] = i;
}

void CDataFile::GetBondOrders(BondOrderMap& out) { out = bond_orders_; }
void CDataFile::SetBondOrders(const BondOrderMap& orders) { bond_orders_ = orders; }

}  // namespace tarvex
