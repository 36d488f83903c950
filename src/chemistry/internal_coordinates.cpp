// Conversion between Cartesian coordinates and Z-matrices.
//
// The conversion arrives with the Gaussian input and PREP formats; until then
// asking for it ends the command with a clear message.
#include "common/exit.h"
#include "molecule/data_file.h"

namespace tarvex {

void CDataFile::InternalToCartesian() {
  Fatal("Error: conversion of internal coordinates is not available yet.");
}

void CDataFile::CartesianToInternal() {
  Fatal("Error: conversion to internal coordinates is not available yet.");
}

}  // namespace tarvex
