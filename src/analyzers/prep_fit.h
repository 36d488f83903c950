// prepfit: renames and reorders the atoms of chosen PDB residues after an
// Amber PREP residue template, matching atoms by types and bonds.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "driver/analyzer.h"
#include "molecule/data_file.h"

namespace tarvex {

class CPrepfit final : public CAnalyzer {
 public:
  static constexpr uint32_t kInput = 0x1;
  static constexpr uint32_t kOutput = 0x2;
  static constexpr uint32_t kTemplate = 0x100;
  static constexpr uint32_t kKeepPositions = 0x200;
  static constexpr uint32_t kCreateBonds = 0x400;
  static constexpr uint32_t kKeepBonds = 0x800;
  static constexpr uint32_t kNoRelaxed = 0x1000;
  static constexpr uint32_t kReverse = 0x2000;
  static constexpr uint32_t kRearrange = 0x4000;

  CPrepfit();
  ~CPrepfit() override;
  void Run() override;

 private:
  std::unique_ptr<CDataFile> target_;
  std::unique_ptr<CDataFile> output_;
  std::unique_ptr<CDataFile> template_;
  std::vector<int> target_numbers_;
  std::vector<std::string> target_names_;
  int start_atom_ = 1;
};

}  // namespace tarvex
