// midmol: the centre of a molecule (of its bounding box, or the mean of its
// coordinates) and the atoms nearest to and farthest from it.
#pragma once

#include <memory>
#include <vector>

#include "driver/analyzer.h"
#include "molecule/data_file.h"

namespace tarvex {

// The centre and the two extreme atoms of the first `atom_count` points
// (squared distances; ties keep the lower-numbered atom). The centre is taken
// over every point given.
struct CenterExtremes {
  Point center{};
  int nearest = 0;
  int farthest = 0;
  double nearest_squared = 0.0;
  double farthest_squared = 0.0;
};
CenterExtremes FindCenterExtremes(const Frame& points, int atom_count, bool center_of_balance);

class CMidmol final : public CAnalyzer {
 public:
  enum Flag : uint32_t { kInput = 0x1, kBox = 0x100, kCenterOfCoordinates = 0x200, kCenterOfBalance = 0x400 };

  CMidmol();
  ~CMidmol() override;
  void Run() override;

 private:
  void AppendAtomLine(std::string& out, int atom, double squared_distance);

  std::vector<std::unique_ptr<CDataFile>> inputs_;
  std::unique_ptr<CDataFile> collector_;
};

}  // namespace tarvex
