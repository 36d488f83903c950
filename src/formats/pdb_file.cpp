#include "formats/pdb_file.h"

#include "common/exit.h"

namespace tarvex {

CPdbFile::CPdbFile() = default;
CPdbFile::CPdbFile(std::string name) { OpenInput(std::move(name)); }
CPdbFile::~CPdbFile() = default;

void CPdbFile::OpenInput(std::string name) { StoreNameAndOpenInput(name); }
void CPdbFile::OpenOutput(std::string name, bool open) { OpenOutputShared(name, open); }

// The reader and writer of this format arrive with their own work; until then
// a command that needs them stops with a clear message.
void CPdbFile::Read(int) { Fatal("Error: reading PDB files is not available yet."); }
void CPdbFile::Write() { Fatal("Error: writing PDB files is not available yet."); }

}  // namespace tarvex
