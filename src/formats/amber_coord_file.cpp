#include "formats/amber_coord_file.h"

#include "common/exit.h"

namespace tarvex {

CAmberCoordFile::CAmberCoordFile() = default;
CAmberCoordFile::CAmberCoordFile(std::string name) { OpenInput(std::move(name)); }
CAmberCoordFile::~CAmberCoordFile() = default;

// The head of a trajectory is its title line; a file without one is not a
// trajectory.
void CAmberCoordFile::OpenInput(std::string name) {
  StoreNameAndOpenInput(name);
  std::string_view line;
  if (!input_.ReadLine(line)) Fatal(input_file_name_ + " is not Amber CRD file.");
  title_.assign(line);
  box_.assign(3, 0.0);
}

void CAmberCoordFile::OpenOutput(std::string name, bool open) { OpenOutputShared(name, open); }

void CAmberCoordFile::Read(int) { Fatal("Error: reading Amber CRD files is not available yet."); }
void CAmberCoordFile::Write() { Fatal("Error: writing Amber CRD files is not available yet."); }
void CAmberCoordFile::ReadAll(int) { Fatal("Error: reading Amber CRD files is not available yet."); }

}  // namespace tarvex
