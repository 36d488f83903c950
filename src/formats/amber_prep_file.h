// CAmberPrepFile: Amber PREP residue templates.
#pragma once

#include <string>

#include "molecule/data_file.h"

namespace tarvex {

class CAmberPrepFile final : public CDataFile {
 public:
  CAmberPrepFile();
  explicit CAmberPrepFile(std::string name);
  ~CAmberPrepFile() override;

  void OpenInput(std::string name) override;
  void OpenOutput(std::string name, bool open) override;
  void Read(int which) override;
  void Write() override;

 private:
  // The file header is passed over only before the first residue, so that
  // later reads continue with the next residue of a library file.
  bool header_pending_ = true;
};

}  // namespace tarvex
