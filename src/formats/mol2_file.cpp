#include "formats/mol2_file.h"

#include "common/exit.h"

namespace tarvex {

CMol2File::CMol2File() = default;
CMol2File::CMol2File(std::string name) { OpenInput(std::move(name)); }
CMol2File::~CMol2File() = default;

void CMol2File::OpenInput(std::string name) { StoreNameAndOpenInput(name); }
void CMol2File::OpenOutput(std::string name, bool open) { OpenOutputShared(name, open); }

// The reader and writer of this format arrive with their own work; until then
// a command that needs them stops with a clear message.
void CMol2File::Read(int) { Fatal("Error: reading MOL2 files is not available yet."); }
void CMol2File::Write() { Fatal("Error: writing MOL2 files is not available yet."); }

}  // namespace tarvex
