// pbsaprep: per-atom radius types, charges or PARSE radii for MM/PBSA
// calculations from Amber PREP residue templates.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "chemistry/environment_patterns.h"
#include "chemistry/pbsa_radii.h"
#include "common/output_file.h"
#include "driver/analyzer.h"
#include "molecule/data_file.h"

namespace tarvex {

class CPbsaPrep final : public CAnalyzer {
 public:
  enum Flag : uint32_t {
    kOutput = 0x2,
    kInput = 0x100,
    kReference = 0x200,
    kRadii = 0x400,
    kCharges = 0x800,
    kParse = 0x1000,
  };

  CPbsaPrep();
  ~CPbsaPrep() override;
  void Run() override;

 private:
  void OpenFiles();
  // The type number of the first radius-type row one of whose alternatives
  // the atom matches, -1 when none does.
  int RadiusType(CDataFile& record, int atom) const;
  void WriteRadiusTypes(CDataFile& record, std::string& out) const;
  void WriteCharges(CDataFile& record, std::string& out) const;
  void WriteParseRadii(CDataFile& record, std::string& out) const;

  std::vector<std::unique_ptr<CDataFile>> inputs_;
  std::string reference_file_name_;
  std::string output_file_name_;
  OutputFile output_;
  PbsaTables tables_;
  std::vector<CompiledPattern> patterns_;  // one per radius-type row
};

}  // namespace tarvex
