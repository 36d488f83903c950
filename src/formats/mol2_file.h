// CMol2File: Tripos MOL2 files.
#pragma once

#include <string>

#include "molecule/data_file.h"

namespace tarvex {

class CMol2File final : public CDataFile {
 public:
  CMol2File();
  explicit CMol2File(std::string name);
  ~CMol2File() override;

  void OpenInput(std::string name) override;
  void OpenOutput(std::string name, bool open) override;
  void Read(int which) override;
  void Write() override;
};

}  // namespace tarvex
