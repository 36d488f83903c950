// Bond-order, MOL2 type and formal-charge perception.
//
// The perception itself arrives with the chemistry core; until then a record
// is left untyped, which the MOL2 writer and the charge analyzer treat as
// "no types assigned".
#include "molecule/data_file.h"

namespace tarvex {

void CDataFile::PerceiveBondTypes() {}
void CDataFile::AssignMol2AtomTypes() {}
void CDataFile::RefineAtomTypes() {}
bool CDataFile::SearchBondOrders(int, int) { return false; }
void CDataFile::AssignMol2BondTypes() {}
void CDataFile::MarkCationGroups() {}
void CDataFile::ReservedBondStep() {}
void CDataFile::MarkOxoGroups() {}
void CDataFile::AssignFallbackBondOrders() {}

}  // namespace tarvex
