#include "chemistry/lewis/net_charge.h"

#include "chemistry/lewis/stated_bonds.h"
#include "common/console.h"

namespace tarvex {

long long PerceiveNetCharge(CDataFile& molecule) {
  const BondMap stated = molecule.HasState("connection") ? molecule.GetConnection() : BondMap();
  molecule.SetFileFlag(kFileNoMerge | kFileCreateBonds);
  if (StatedBondsDegenerate(stated, molecule.GetNumberOfAtoms(), molecule.GetCartesian(), molecule.GetAtomType())) {
    // A sketch with atoms on top of each other: its bonds as stated, and no
    // geometry for the chemistry to misread.
    Warn("Warning: " + molecule.GetOutputFileName() +
         ": atoms lie on top of each other; the bonds the file states are taken as they are.");
    molecule.SetConnection(stated);
    molecule.SetCartesian(Frame());
  } else {
    molecule.CreateConnection();
  }
  if (!stated.empty()) {
    BondMap bonds = molecule.GetConnection();
    AddStatedBonds(bonds, stated, molecule.GetNumberOfAtoms(), molecule.GetCartesian(), molecule.GetAtomType());
    molecule.SetConnection(bonds);
  }
  molecule.PerceiveBondTypes();
  const std::vector<int>& charges = molecule.GetFormalCharges();
  long long net = 0;
  const size_t atoms = static_cast<size_t>(std::max(molecule.GetNumberOfAtoms(), 0));
  for (size_t i = 0; i < atoms && i < charges.size(); ++i) net += charges[i];
  return net;
}

}  // namespace tarvex
