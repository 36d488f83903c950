// ircdist: mass-weighted distances along an IRC path from a series of
// Gaussian outputs, with the running total and the energies.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "driver/analyzer.h"
#include "molecule/data_file.h"

namespace tarvex {

class CIrcdist final : public CAnalyzer {
 public:
  static constexpr uint32_t kInput = 0x1;
  static constexpr uint32_t kFirst = 0x100;
  static constexpr uint32_t kSecond = 0x200;
  static constexpr uint32_t kDetail = 0x400;
  static constexpr uint32_t kSkipFirst = 0x800;
  static constexpr uint32_t kReverse = 0x1000;
  static constexpr uint32_t kWhole = 0x2000;
  static constexpr uint32_t kEach = 0x4000;
  static constexpr uint32_t kNoEnergy = 0x8000;

  // Which structures of a file are collected.
  enum class Mode { kIrc, kAll, kFirst, kLast };

  CIrcdist();
  ~CIrcdist() override;
  void Run() override;

 private:
  struct Input {
    std::unique_ptr<CDataFile> file;
    Mode mode;
  };
  std::vector<Input> inputs_;
  double reference_energy_ = 0.0;
};

}  // namespace tarvex
