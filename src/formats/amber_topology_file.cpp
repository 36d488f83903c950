#include "formats/amber_topology_file.h"

#include "common/exit.h"

namespace tarvex {

CAmberTopologyFile::CAmberTopologyFile() = default;
CAmberTopologyFile::CAmberTopologyFile(std::string name) { OpenInput(std::move(name)); }
CAmberTopologyFile::~CAmberTopologyFile() = default;

void CAmberTopologyFile::OpenInput(std::string name) {
  StoreNameAndOpenInput(name);
  DetectVersion();
}

void CAmberTopologyFile::OpenOutput(std::string name, bool open) { OpenOutputShared(name, open); }

// Topologies of Amber 7 and later start with a "%VERSION" line; older ones
// start with their title. A file whose first line is empty, or an empty
// file, is taken for the old layout (its reader then decides).
void CAmberTopologyFile::DetectVersion() {
  std::string_view line;
  bool flagged = input_.ReadLine(line) && !line.empty() && line.front() == '%';
  SetVersion(flagged ? "amber8" : "amber6");
  input_.Rewind();
}

void CAmberTopologyFile::Read(int) { Fatal("Error: reading Amber TOP files is not available yet."); }
void CAmberTopologyFile::Write() { Fatal("Error: writing Amber TOP files is not available yet."); }

}  // namespace tarvex
