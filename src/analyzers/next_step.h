// nextstep: starting coordinates for an IRC calculation, displaced along the
// imaginary mode of a Gaussian frequency job.
#pragma once

#include <memory>
#include <string>

#include "driver/analyzer.h"
#include "molecule/data_file.h"

namespace tarvex {

class CNextstep final : public CAnalyzer {
 public:
  enum Flag : uint32_t {
    kInput = 0x1,
    kOutput = 0x2,
    kInt = 0x100,
    kUseVar = 0x200,
    kCreateBonds = 0x400,
    kFrequencyGiven = 0x800,  // -q
  };

  CNextstep();
  ~CNextstep() override;
  void Run() override;

 private:
  double frequency_ = 900.0;  // FQ
  double step_factor_ = 0.1;  // KM
  std::unique_ptr<CDataFile> input_;
  std::unique_ptr<CDataFile> output_;
  std::string output_file_name_;
};

}  // namespace tarvex
