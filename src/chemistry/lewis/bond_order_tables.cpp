// The record's bond-order tables, MOL2 types and formal charges: storage and
// simple queries used by bond-type perception, the MOL2 writer and charge.
//
// Three order tables are kept: the initial table (orders the group rules
// settle before any search), the fixed table (the initial orders plus those
// the search settles) and the perceived table (orders set from outside with
// SetBondOrder). A query looks in the perceived table first, then in the
// fixed one. The pending atoms are a flag per atom with a cursor that only
// moves forward, so settling a million atoms one by one stays linear.
#include <algorithm>

#include "chemistry/lewis/bond_order_search.h"
#include "molecule/data_file.h"

namespace tarvex {

BondOrderMap& CDataFile::GetFixedBondOrders() { return fixed_bond_orders_; }

int CDataFile::GetBondOrder(int i, int j) {
  if (const int* order = bond_orders_.find(i, j)) return *order;
  if (const int* order = fixed_bond_orders_.find(i, j)) return *order;
  return 0;
}

bool CDataFile::HasBondOrder(int i, int j) { return bond_orders_.contains(i, j) || fixed_bond_orders_.contains(i, j); }

// Orders set here enter the fixed table at every ResetAtomLinks, so every
// pass of the perception starts from them.
void CDataFile::SetInitialBondOrder(int i, int j, int order) { initial_bond_orders_.set(i, j, order); }

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
  if (atom >= 0 && static_cast<size_t>(atom) < atom_assigned_.size()) atom_assigned_[atom] = 1;
}

int CDataFile::NextUnassignedAtom() {
  while (next_unassigned_ < atom_assigned_.size() && atom_assigned_[next_unassigned_]) ++next_unassigned_;
  return next_unassigned_ < atom_assigned_.size() ? static_cast<int>(next_unassigned_) : -1;
}

std::string CDataFile::GetMol2AtomType(int atom) {
  if (!types_assigned_ || atom < 0 || atom >= static_cast<int>(mol2_atom_types_.size())) return {};
  return mol2_atom_types_[atom];
}

void CDataFile::SetMol2AtomType(int atom, const std::string& type) {
  if (atom < 0) return;
  if (atom >= static_cast<int>(mol2_atom_types_.size())) mol2_atom_types_.resize(static_cast<size_t>(atom) + 1);
  mol2_atom_types_[atom] = type;
}

std::vector<int>& CDataFile::GetFormalCharges() { return formal_charges_; }

int CDataFile::GetFormalCharge(int atom) {
  if (atom < 0 || atom >= static_cast<int>(formal_charges_.size())) return 0;
  return formal_charges_[atom];
}

void CDataFile::SetFormalCharges(const std::vector<int>& charges) { formal_charges_ = charges; }

void CDataFile::SetFormalCharge(int atom, int charge) {
  if (atom < 0) return;
  if (atom >= static_cast<int>(formal_charges_.size())) formal_charges_.resize(static_cast<size_t>(atom) + 1, 0);
  formal_charges_[atom] = charge;
}

std::string CDataFile::GetMol2BondType(int i, int j) {
  if (!types_assigned_) return {};
  const uint8_t* type = mol2_bond_types_.find(i, j);
  return type && *type < mol2_bond_type_names_.size() ? mol2_bond_type_names_[*type] : std::string();
}

void CDataFile::SetMol2BondType(int i, int j, const std::string& type) {
  auto known = std::find(mol2_bond_type_names_.begin(), mol2_bond_type_names_.end(), type);
  size_t index = static_cast<size_t>(known - mol2_bond_type_names_.begin());
  if (known == mol2_bond_type_names_.end()) {
    if (mol2_bond_type_names_.size() > 255) return;  // more distinct texts than any MOL2 file uses
    mol2_bond_type_names_.push_back(type);
  }
  mol2_bond_types_.set(i, j, static_cast<uint8_t>(index));
}

void CDataFile::ClearBondOrders() { bond_orders_.clear(); }
void CDataFile::SetFixedBondOrders(const BondOrderMap& orders) {
  fixed_bond_orders_ = orders;
  ++SearchState().generation;
}
void CDataFile::SetBondOrder(int i, int j, int order) { bond_orders_.set(i, j, order); }

void CDataFile::ClearAllBondOrders() {
  fixed_bond_orders_.clear();
  bond_orders_.clear();
  ++SearchState().generation;
}

void CDataFile::ResetAtomLinks() {
  fixed_bond_orders_ = initial_bond_orders_;
  atom_assigned_.assign(static_cast<size_t>(std::max(number_of_atoms_, 0)), 0);
  next_unassigned_ = 0;
  ++SearchState().generation;
}

void CDataFile::GetBondOrders(BondOrderMap& out) { out = bond_orders_; }
void CDataFile::SetBondOrders(const BondOrderMap& orders) { bond_orders_ = orders; }

}  // namespace tarvex
