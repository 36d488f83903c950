// CAmberTopologyFile: Amber topology (parm) files, in the old fixed layout
// ("amber6") and the %FLAG layout of Amber 7 and later ("amber8").
#pragma once

#include <string>
#include <vector>

#include "molecule/data_file.h"

namespace tarvex {

class CAmberTopologyFile final : public CDataFile {
 public:
  CAmberTopologyFile();
  explicit CAmberTopologyFile(std::string name);
  ~CAmberTopologyFile() override;

  void OpenInput(std::string name) override;
  void OpenOutput(std::string name, bool open) override;
  void Read(int which) override;
  void Write() override;
  void DetectVersion() override;

 private:
  // The POINTERS integers after NATOM, in file order.
  std::vector<int> pointers_;
};

}  // namespace tarvex
