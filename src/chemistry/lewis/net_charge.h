// The net charge of a structure as the charge analyzer perceives it, for
// every caller that needs one (the charge analyzer, the Gaussian input
// writer's charge line).
#pragma once

#include "molecule/data_file.h"

namespace tarvex {

// Bonds are perceived from the coordinates, those the record states kept
// beside them (stated_bonds.h), then bond orders and formal charges; the net
// charge is their sum. Stated bonds that join atoms on top of each other (a
// 2-D sketch) are taken alone, and the geometry not at all, with one
// warning naming the record's output name. The record keeps what was perceived (connection,
// bond orders, formal charges).
long long PerceiveNetCharge(CDataFile& molecule);

}  // namespace tarvex
