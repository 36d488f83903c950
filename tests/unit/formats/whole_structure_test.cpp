// Writers never pad a structure: a record with more atoms than points (a
// Z-matrix whose conversion stopped, a topology without coordinates) is
// refused by every format that writes coordinates, and no file is left.
#include <gtest/gtest.h>

#include <memory>

#include "../support/scratch_dir.h"
#include "formats/file_types.h"
#include "pdb_test_files.h"

namespace tarvex {
namespace {

using testing_files::ErrorOf;

void FillWaterWithoutLastPoint(CDataFile& record) {
  record.SetNumberOfAtoms(3);
  record.SetAtomName({" O  ", " H1 ", " H2 "});
  record.SetAtomType({"O", "H", "H"});
  record.SetCartesian({{0, 0, 0.119}, {0, 0.763, -0.477}});
}

TEST(WholeStructure, EveryCoordinateWriterRefusesMissingPoints) {
  const testing::ScratchDir scratch;
  const std::pair<FileType, const char*> formats[] = {
      {FileType::kPdb, "w.pdb"},          {FileType::kMol2, "w.mol2"},      {FileType::kAmberCoord, "w.crd"},
      {FileType::kAmberRestart, "w.rst"}, {FileType::kAmberPrep, "w.prep"}, {FileType::kGaussianIn, "w.com"},
  };
  for (const auto& [type, name] : formats) {
    std::unique_ptr<CDataFile> record = CreateOutputFile(type);
    FillWaterWithoutLastPoint(*record);
    EXPECT_EQ(ErrorOf([&] {
                record->OpenOutput(scratch.Path(name), true);
                record->Write();
              }),
              "Error: 2 of the 3 atoms have coordinates; the structure cannot be written.\n")
        << name;
    EXPECT_FALSE(scratch.Exists(name)) << name;
    record->SetCartesian({});
    EXPECT_EQ(ErrorOf([&] {
                record->OpenOutput(scratch.Path(name), true);
                record->Write();
              }),
              "Error: the 3 atoms have no coordinates; the structure cannot be written.\n")
        << name;
  }
  // The topology holds no coordinates and needs none.
  std::unique_ptr<CDataFile> topology = CreateOutputFile(FileType::kAmberTopology);
  FillWaterWithoutLastPoint(*topology);
  topology->OpenOutput(scratch.Path("w.top"), true);
  topology->Write();
  EXPECT_TRUE(CommitOutputs());
  EXPECT_TRUE(scratch.Exists("w.top"));
}

}  // namespace
}  // namespace tarvex
