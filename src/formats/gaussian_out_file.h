// CGaussianOutFile: Gaussian log files (read only): the geometries of the
// orientation blocks, the elements, the route lines and the first normal
// mode of a frequency job.
#pragma once

#include <string>
#include <vector>

#include "molecule/data_file.h"

namespace tarvex {

class CGaussianOutFile final : public CDataFile {
 public:
  CGaussianOutFile();
  explicit CGaussianOutFile(std::string name);
  ~CGaussianOutFile() override;

  void OpenInput(std::string name) override;
  void OpenOutput(std::string name, bool open) override;
  void Read(int which) override;
  void Write() override;
  void ReadAll(int frame) override;
  void DetectVersion() override;

  const std::vector<std::string>& RouteLines() const { return route_lines_; }

 private:
  std::vector<std::string> route_lines_;
};

}  // namespace tarvex
