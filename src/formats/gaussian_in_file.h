// CGaussianInFile: Gaussian input (COM) files.
#pragma once

#include <string>

#include "molecule/data_file.h"

namespace tarvex {

class CGaussianInFile final : public CDataFile {
 public:
  CGaussianInFile();
  explicit CGaussianInFile(std::string name);
  ~CGaussianInFile() override;

  void OpenInput(std::string name) override;
  void OpenOutput(std::string name, bool open) override;
  void Read(int which) override;
  void Write() override;
};

}  // namespace tarvex
