// getdun: distances, angles and dihedrals of chosen atoms in every structure
// of a data file (typically an Amber trajectory), one table row per structure.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "driver/analyzer.h"
#include "molecule/data_file.h"

namespace tarvex {

class CGetDun final : public CAnalyzer {
 public:
  // Flag-word bits.
  static constexpr uint32_t kOutput = 0x2;
  static constexpr uint32_t kBox = 0x100;
  static constexpr uint32_t kTab = 0x200;
  static constexpr uint32_t kAtomCount = 0x400;
  static constexpr uint32_t kDataFile = 0x800;
  static constexpr uint32_t kMeasurementFile = 0x1000;
  static constexpr uint32_t kReference = 0x2000;
  static constexpr uint32_t kShowStep = 0x4000;
  static constexpr uint32_t kDetail = 0x8000;

  CGetDun();
  ~CGetDun() override;
  void Run() override;
  [[noreturn]] void Usage() override;
  [[noreturn]] void Version() override;
  [[noreturn]] void Help() override;
  bool ParseArguments(int argc, const char* const* argv) override;

 private:
  // Adds one group of 2, 3 or 4 atom numbers; other counts end the command.
  void AddGroup(const std::vector<int>& atoms);

  std::string measurement_file_name_;
  std::string data_file_name_;
  std::string reference_file_name_;
  std::string output_file_name_;
  std::unique_ptr<CDataFile> data_;
  std::unique_ptr<CDataFile> reference_;
  std::vector<std::vector<int>> groups_;
  int atom_count_ = 0;
  int skip_ = 1;
  int steps_ = 1;
};

}  // namespace tarvex
