// convert: conversion between any two formats, with structure selection,
// merging of several inputs, least-squares fitting and bond creation.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "driver/analyzer.h"
#include "molecule/data_file.h"

namespace tarvex {

class CAmberCoordFile;

class CConvert final : public CAnalyzer {
 public:
  static constexpr uint32_t kInput = 0x1;
  static constexpr uint32_t kOutput = 0x2;
  static constexpr uint32_t kBox = 0x100;
  static constexpr uint32_t kWriteAll = 0x200;
  static constexpr uint32_t kBase1 = 0x400;
  static constexpr uint32_t kStep0 = 0x800;
  static constexpr uint32_t kCreateBonds = 0x1000;
  static constexpr uint32_t kInt = 0x2000;
  static constexpr uint32_t kNoMerge = 0x4000;
  static constexpr uint32_t kUseVar = 0x8000;
  static constexpr uint32_t kStrict = 0x10000;
  static constexpr uint32_t kUpper = 0x20000;
  static constexpr uint32_t kNoConnect = 0x40000;
  static constexpr uint32_t kNoAtomNumber = 0x80000;
  static constexpr uint32_t kNoType = 0x100000;
  static constexpr uint32_t kGold = 0x200000;
  static constexpr uint32_t kReferences = 0x400000;
  static constexpr uint32_t kFitAll = 0x800000;
  static constexpr uint32_t kFitHeavy = 0x1000000;
  static constexpr uint32_t kMol2Name = 0x2000000;
  static constexpr uint32_t kOverwrite = 0x4000000;

  CConvert();
  ~CConvert() override;
  void Run() override;

 private:
  uint32_t OutputFileFlags() const;
  void ReadReferences();
  static void RequireAtomCount(CDataFile& file);
  CAmberCoordFile* TrajectoryToStream();
  void StreamFrames(CAmberCoordFile& trajectory);

  std::string input_file_name_;
  std::string output_file_name_;
  std::string reference_file_name_;
  std::vector<std::unique_ptr<CDataFile>> inputs_;
  std::vector<std::unique_ptr<CDataFile>> references_;
  std::unique_ptr<CDataFile> output_;
  int molecule_ = 0;
  int step_ = 1;
  int atom_count_ = 0;
  std::vector<int> fit_atoms_;
  std::vector<int> fit_excluded_atoms_;
  std::vector<std::string> fit_atom_names_;
};

}  // namespace tarvex
