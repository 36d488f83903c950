// CAmberRestartFile: Amber restart and starting-coordinate files (RST,
// "rst7", "inpcrd"): a title, the atom count and time, the coordinates of one
// structure, optionally velocities and a box.
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

  // The box lengths read (with BOX), or those to write.
  const std::vector<double>& Box() const { return box_; }
  void SetBox(const std::vector<double>& box) { box_ = box; }
  // The simulation time of the structure (ps).
  double Time() const { return time_; }
  void SetTime(double time) { time_ = time; }

 private:
  std::vector<double> box_;
  double time_ = 0.0;
  // A restart holds one structure: once it has been read, further reads
  // give none.
  bool structure_read_ = false;
};

}  // namespace tarvex
