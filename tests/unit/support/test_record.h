// A record with the format operations kept trivial, for testing the shared
// operations of CDataFile without any file format.
#pragma once

#include <string>
#include <vector>

#include "common/numbers.h"
#include "molecule/data_file.h"

namespace tarvex::testing {

class TestRecord final : public CDataFile {
 public:
  void OpenInput(std::string name) override { StoreNameAndOpenInput(name); }
  void OpenOutput(std::string name, bool open) override { OpenOutputShared(name, open); }
  void Read(int) override {}
  // One line per atom with its x coordinate, so that tests can see which
  // frame went into which file.
  void Write() override {
    for (const Point& p : cartesian_) {
      AppendFixed(output_.Buffer(), p[0], 0, 1);
      output_.Buffer().push_back('\n');
    }
  }
  // Records the fits asked for instead of fitting.
  void FitToReference() override {
    ++fits;
    for (Point& p : cartesian_) p[0] += 100.0;
  }
  int fits = 0;
};

// Points along x: atom i at (x0 + i, 0, 0).
inline Frame LinePoints(int count, double x0 = 0.0) {
  Frame frame;
  for (int i = 0; i < count; ++i) frame.push_back({x0 + i, 0.0, 0.0});
  return frame;
}

}  // namespace tarvex::testing
