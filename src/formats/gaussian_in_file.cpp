#include "formats/gaussian_in_file.h"

#include "common/exit.h"

namespace tarvex {

CGaussianInFile::CGaussianInFile() = default;
CGaussianInFile::CGaussianInFile(std::string name) { OpenInput(std::move(name)); }
CGaussianInFile::~CGaussianInFile() = default;

void CGaussianInFile::OpenInput(std::string name) { StoreNameAndOpenInput(name); }
void CGaussianInFile::OpenOutput(std::string name, bool open) { OpenOutputShared(name, open); }

// The reader and writer of this format arrive with their own work; until then
// a command that needs them stops with a clear message.
void CGaussianInFile::Read(int) { Fatal("Error: reading Gaussian input files is not available yet."); }
void CGaussianInFile::Write() { Fatal("Error: writing Gaussian input files is not available yet."); }

}  // namespace tarvex
