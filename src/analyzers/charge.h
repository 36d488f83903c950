// charge: the net charge of a molecule guessed from its bonds (the sum of the
// perceived formal charges), with an optional per-atom breakdown.
#pragma once

#include <memory>
#include <vector>

#include "driver/analyzer.h"
#include "molecule/data_file.h"

namespace tarvex {

class CCharge final : public CAnalyzer {
 public:
  enum Flag : uint32_t { kInput = 0x1, kDetail = 0x100, kBox = 0x200 };

  CCharge();
  ~CCharge() override;
  void Run() override;

 private:
  std::vector<std::unique_ptr<CDataFile>> inputs_;
  std::string last_input_name_;
};

}  // namespace tarvex
