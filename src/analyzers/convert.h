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
  enum Flag : uint32_t {
    kInput = 0x1,
    kOutput = 0x2,
    kBox = 0x100,
    kWriteAll = 0x200,
    kBase1 = 0x400,
    kStep0 = 0x800,
    kCreateBonds = 0x1000,
    kInt = 0x2000,
    kNoMerge = 0x4000,
    kUseVar = 0x8000,
    kStrict = 0x10000,
    kUpper = 0x20000,
    kNoConnect = 0x40000,
    kNoAtomNumber = 0x80000,
    kNoType = 0x100000,
    kGold = 0x200000,
    kReferences = 0x400000,
    kFitAllAtoms = 0x800000,
    kFitHeavyAtoms = 0x1000000,
    kMol2Name = 0x2000000,
    kOverwrite = 0x4000000,
  };

  CConvert();
  ~CConvert() override;
  void Run() override;

 private:
  uint32_t OutputFileFlags() const;
  void ReadReferences();
  static void RequireAtomCount(CDataFile& file);
  static void RequireGeometry(CDataFile& file);
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
