#include "formats/amber_prep_file.h"

#include "common/exit.h"

namespace tarvex {

CAmberPrepFile::CAmberPrepFile() = default;
CAmberPrepFile::CAmberPrepFile(std::string name) { OpenInput(std::move(name)); }
CAmberPrepFile::~CAmberPrepFile() = default;

void CAmberPrepFile::OpenInput(std::string name) { StoreNameAndOpenInput(name); }
void CAmberPrepFile::OpenOutput(std::string name, bool open) { OpenOutputShared(name, open); }

// The reader and writer of this format arrive with their own work; until then
// a command that needs them stops with a clear message.
void CAmberPrepFile::Read(int) { Fatal("Error: reading PREP files is not available yet."); }
void CAmberPrepFile::Write() { Fatal("Error: writing PREP files is not available yet."); }

}  // namespace tarvex
