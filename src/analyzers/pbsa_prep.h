// pbsaprep: per-atom radius types, charges or PARSE radii for MM/PBSA
// calculations from Amber PREP residue templates.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "driver/analyzer.h"
#include "molecule/data_file.h"

namespace tarvex {

class CPbsaPrep final : public CAnalyzer {
 public:
  static constexpr uint32_t kOutput = 0x2;
  static constexpr uint32_t kInput = 0x100;
  static constexpr uint32_t kReference = 0x200;
  static constexpr uint32_t kRadii = 0x400;
  static constexpr uint32_t kCharges = 0x800;
  static constexpr uint32_t kParse = 0x1000;

  CPbsaPrep();
  ~CPbsaPrep() override;
  void Run() override;

 private:
  std::vector<std::unique_ptr<CDataFile>> inputs_;
  std::string reference_file_name_;
  std::string output_file_name_;
};

}  // namespace tarvex
