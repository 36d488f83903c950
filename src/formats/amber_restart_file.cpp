#include "formats/amber_restart_file.h"

#include "common/exit.h"
#include "common/numbers.h"

namespace tarvex {

// Restart files are always read with their velocities.
CAmberRestartFile::CAmberRestartFile() { file_flags_ = kFileRestartVelocity; }
CAmberRestartFile::CAmberRestartFile(std::string name) {
  file_flags_ = kFileRestartVelocity;
  OpenInput(std::move(name));
}
CAmberRestartFile::~CAmberRestartFile() = default;

// The head: the title line, then a line with the atom count and the time.
void CAmberRestartFile::OpenInput(std::string name) {
  StoreNameAndOpenInput(name);
  std::string_view line;
  if (!input_.ReadLine(line)) Fatal(input_file_name_ + " is not Amber RST file.");
  title_.assign(line);
  if (input_.ReadLine(line)) {
    int atoms = 0;
    size_t used = ParseIntPrefix(line, atoms);
    if (used > 0) {
      SetNumberOfAtoms(atoms);
      double time = 0.0;
      if (ParseDoublePrefix(line.substr(used), time) > 0) time_ = time;
    }
  }
  box_.assign(3, 0.0);
}

void CAmberRestartFile::OpenOutput(std::string name, bool open) { OpenOutputShared(name, open); }

void CAmberRestartFile::Read(int) { Fatal("Error: reading Amber RST files is not available yet."); }
void CAmberRestartFile::Write() { Fatal("Error: writing Amber RST files is not available yet."); }

}  // namespace tarvex
