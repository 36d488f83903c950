// CAmberRestartFile: Amber restart files (RST): a title, the atom count and
// time, the coordinates of one structure, optionally velocities and a box.
#pragma once

#include <string>
#include <vector>

#include "molecule/data_file.h"

namespace tarvex {

class CAmberRestartFile final : public CDataFile {
 public:
  CAmberRestartFile();
  explicit CAmberRestartFile(std::string name);
  ~CAmberRestartFile() override;

  void OpenInput(std::string name) override;
  void OpenOutput(std::string name, bool open) override;
  void Read(int which) override;
  void Write() override;

  const std::vector<double>& Box() const { return box_; }
  double Time() const { return time_; }

 private:
  std::vector<double> box_;
  double time_ = 0.0;
};

}  // namespace tarvex
