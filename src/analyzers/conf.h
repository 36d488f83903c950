// conf: backbone phi and psi dihedrals of peptides, per structure of a data
// file.
#pragma once

#include <memory>
#include <string>

#include "driver/analyzer.h"
#include "molecule/data_file.h"

namespace tarvex {

class CConf final : public CAnalyzer {
 public:
  static constexpr uint32_t kOutput = 0x2;
  static constexpr uint32_t kBox = 0x100;
  static constexpr uint32_t kTab = 0x200;
  static constexpr uint32_t kDataFile = 0x400;
  static constexpr uint32_t kReference = 0x800;
  static constexpr uint32_t kDetail = 0x1000;
  static constexpr uint32_t kRowStyle = 0x2000;
  static constexpr uint32_t kNoTitle = 0x4000;

  CConf();
  ~CConf() override;
  void Run() override;

 private:
  int skip_ = 1;
  std::unique_ptr<CDataFile> data_;
  std::unique_ptr<CDataFile> reference_;
  std::string data_file_name_;
  std::string reference_file_name_;
  std::string output_file_name_;
};

}  // namespace tarvex
