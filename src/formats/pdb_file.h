// CPdbFile: Protein Data Bank coordinate files.
#pragma once

#include <string>

#include "molecule/data_file.h"

namespace tarvex {

class CPdbFile final : public CDataFile {
 public:
  CPdbFile();
  explicit CPdbFile(std::string name);
  ~CPdbFile() override;

  void OpenInput(std::string name) override;
  void OpenOutput(std::string name, bool open) override;
  void Read(int which) override;
  void Write() override;
};

}  // namespace tarvex
