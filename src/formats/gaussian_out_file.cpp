#include "formats/gaussian_out_file.h"

#include "common/exit.h"

namespace tarvex {

CGaussianOutFile::CGaussianOutFile() = default;
CGaussianOutFile::CGaussianOutFile(std::string name) { OpenInput(std::move(name)); }
CGaussianOutFile::~CGaussianOutFile() = default;

void CGaussianOutFile::OpenInput(std::string name) {
  StoreNameAndOpenInput(name);
  DetectVersion();
}

void CGaussianOutFile::OpenOutput(std::string name, bool open) { OpenOutputShared(name, open); }

// The program banner near the top of a log names its version; the geometry
// tables of version 94 lack the atomic-type column of 98 and 03.
void CGaussianOutFile::DetectVersion() {
  if (version_.empty()) {
    std::string_view line;
    while (input_.ReadLine(line)) {
      if (line.find("the Gaussian(R) 03 program.") != std::string_view::npos) {
        SetVersion("03");
      } else if (line.find("the Gaussian(R) 98 program.") != std::string_view::npos) {
        SetVersion("98");
      } else if (line.find("the Gaussian 94(TM) system of programs.") != std::string_view::npos) {
        SetVersion("94");
      } else {
        continue;
      }
      break;
    }
  }
  input_.Rewind();
}

void CGaussianOutFile::Read(int) { Fatal("Error: reading Gaussian output files is not available yet."); }
void CGaussianOutFile::ReadAll(int) { Fatal("Error: reading Gaussian output files is not available yet."); }

// Gaussian logs are never written.
void CGaussianOutFile::Write() {}

}  // namespace tarvex
