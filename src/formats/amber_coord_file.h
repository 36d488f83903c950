// CAmberCoordFile: Amber trajectories (CRD): a title line, then frames of
// bare coordinates, ten numbers per line, each frame optionally followed by
// its periodic box.
#pragma once

#include <string>
#include <vector>

#include "molecule/data_file.h"

namespace tarvex {

class CAmberCoordFile final : public CDataFile {
 public:
  CAmberCoordFile();
  explicit CAmberCoordFile(std::string name);
  ~CAmberCoordFile() override;

  void OpenInput(std::string name) override;
  void OpenOutput(std::string name, bool open) override;
  void Read(int which) override;
  void Write() override;
  void ReadAll(int frame) override;

  const std::vector<double>& Box() const { return box_; }

 private:
  std::vector<double> box_;
};

}  // namespace tarvex
