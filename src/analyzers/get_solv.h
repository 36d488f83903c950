// getsolv: the solvent molecules within a radius of chosen atoms or residues,
// written with the whole solute as a PDB file.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "driver/analyzer.h"
#include "molecule/data_file.h"

namespace tarvex {

class CGetSolv final : public CAnalyzer {
 public:
  static constexpr uint32_t kInput = 0x1;
  static constexpr uint32_t kOutput = 0x2;
  static constexpr uint32_t kBox = 0x100;
  static constexpr uint32_t kSelectSolute = 0x200;

  CGetSolv();
  ~CGetSolv() override;
  void Run() override;
  [[noreturn]] void Usage() override;
  [[noreturn]] void Version() override;
  [[noreturn]] void Help() override;
  bool ParseArguments(int argc, const char* const* argv) override;

 private:
  std::unique_ptr<CDataFile> molecule_;
  std::unique_ptr<CDataFile> output_;
  std::vector<std::unique_ptr<CDataFile>> inputs_;
  std::vector<int> atoms_;              // -a atom numbers
  std::vector<int> residues_;           // -b residue numbers minus 1
  std::vector<std::string> residue_names_;
  std::vector<std::string> solvent_names_ = {"WAT", "HOH", "H2O"};
  double radius_ = 10.0;
  int closest_ = 0;
};

}  // namespace tarvex
