// midmol: the centre of a molecule (of its bounding box, or the mean of its
// coordinates) and the atoms nearest to and farthest from it.
#pragma once

#include <memory>
#include <vector>

#include "driver/analyzer.h"
#include "molecule/data_file.h"

namespace tarvex {

class CMidmol final : public CAnalyzer {
 public:
  static constexpr uint32_t kInput = 0x1;
  static constexpr uint32_t kBox = 0x100;
  static constexpr uint32_t kCenterOfCoordinates = 0x200;
  static constexpr uint32_t kCenterOfBalance = 0x400;

  CMidmol();
  ~CMidmol() override;
  void Run() override;
  [[noreturn]] void Usage() override;
  [[noreturn]] void Version() override;
  [[noreturn]] void Help() override;
  bool ParseArguments(int argc, const char* const* argv) override;

 private:
  std::vector<std::unique_ptr<CDataFile>> inputs_;
  std::unique_ptr<CDataFile> collector_;
};

}  // namespace tarvex
