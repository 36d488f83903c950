#include "molecule/data_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "../support/scratch_dir.h"
#include "../support/test_record.h"
#include "common/console.h"
#include "common/exit.h"
#include "molecule/numbered_files.h"

namespace tarvex {
namespace {

using testing::LinePoints;
using testing::TestRecord;

class DataFileTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::UseParameterFile(""); }
};

TEST_F(DataFileTest, SetConnectionMergesReplacesOrClears) {
  TestRecord merge;
  merge.SetConnection(BondMap{{0, {1}}});
  merge.SetConnection(BondMap{{0, {1, 2}}, {3, {4}}});
  EXPECT_EQ(merge.GetConnection(), (BondMap{{0, {1, 2}}, {3, {4}}}));
  merge.SetConnection(BondMap{{0, {5, 1}}, {7, {}}});
  EXPECT_EQ(merge.GetConnection(), (BondMap{{0, {1, 2, 5}}, {3, {4}}, {7, {}}}))
      << "new neighbours are appended in order, known ones skipped";

  TestRecord replace;
  replace.SetFileFlag(kFileNoMerge);
  replace.SetConnection(BondMap{{5, {6}}, {6, {5}}});
  replace.SetConnection(BondMap{{0, {1, 2}}, {3, {4}}});
  EXPECT_EQ(replace.GetConnection(), (BondMap{{0, {1, 2}}, {3, {4}}}));

  TestRecord none;
  none.SetFileFlag(kFileNoConnect);
  none.SetConnection(BondMap{{0, {1}}});
  EXPECT_TRUE(none.GetConnection().empty());
  EXPECT_FALSE(none.HasState("connection"));
}

TEST_F(DataFileTest, SnapshotFollowsConnectionUnlessAPositionIsNegative) {
  TestRecord record;
  record.SetConnection(BondMap{{0, {1}}, {1, {0}}});
  EXPECT_EQ(record.GetSnapshot().connection, (BondMap{{0, {1}}, {1, {0}}}));
  record.SetConnection(BondMap{{2, {-1}}});
  EXPECT_EQ(record.GetSnapshot().connection, (BondMap{{0, {1}}, {1, {0}}}))
      << "a bond to a missing atom leaves the snapshot as it was";
  EXPECT_TRUE(record.GetConnection().contains(2));
}

TEST_F(DataFileTest, AtomAndResidueNumbering) {
  TestRecord record;
  EXPECT_EQ(record.AtomNumberToIndex(5), 4);
  EXPECT_EQ(record.IndexToAtomNumber(4), 5);
  record.SetNumberOfAtoms(2);
  record.SetAtomIndex({10, 20});
  EXPECT_EQ(record.AtomNumberToIndex(5), -1);
  EXPECT_EQ(record.AtomNumberToIndex(20), 1);
  EXPECT_EQ(record.IndexToAtomNumber(1), 20);
  record.SetNumberOfAtoms(0);
  EXPECT_EQ(record.AtomNumberToIndex(10), -1) << "no atoms, no position";

  TestRecord residues;
  residues.SetNumberOfAtoms(5);
  residues.SetNumberOfResidues(2);
  residues.SetResidueIndex({7, 7, 9, 9, 9});
  residues.SetResidueNumber({0, 0, 1, 1, 1});
  residues.SetHeadAtomOfResidue({0, 2, 5});
  EXPECT_EQ(residues.ResidueIndexOfHead(1), 9);
  EXPECT_EQ(residues.ResidueNumberOfIndex(9), 1);
  EXPECT_EQ(residues.ResidueNumberOfIndex(8), -1);
  EXPECT_EQ(residues.ResidueIndexOfHead(7), -1) << "outside the head list";
}

TEST_F(DataFileTest, GettersWithSideEffects) {
  TestRecord record;
  EXPECT_EQ(record.GetNumberOfMolecules(), 0);
  EXPECT_TRUE(record.GetCartesianAll().empty());
  record.SetCartesian(LinePoints(3));
  EXPECT_EQ(record.GetNumberOfMolecules(), 1);
  EXPECT_TRUE(record.HasState("number_of_molecules")) << "the count of 1 is kept";
  ASSERT_EQ(record.GetCartesianAll().size(), 1u);
  EXPECT_EQ(record.GetCartesianAll()[0], LinePoints(3));
  record.SetCartesianAll({LinePoints(3), LinePoints(3, 1.0), LinePoints(3, 2.0)});
  EXPECT_EQ(record.GetNumberOfMolecules(), 3);
}

TEST_F(DataFileTest, HasStateAndPrintStates) {
  TestRecord record;
  ConsoleCapture console;
  EXPECT_FALSE(record.HasState("title"));
  EXPECT_FALSE(record.HasState("Title"));
  EXPECT_EQ(console.Err(), "No state list name: Title\n");
  console.Clear();
  record.SetTitle("t");
  record.SetNumberOfAtoms(2);
  record.SetConnection(BondMap{{0, {1}}});
  record.SetHeadAtomOfResidue({0, 2});
  record.PrintStates();
  EXPECT_EQ(console.Err(), "title\nnumber_of_atoms\nconnection\nhead_atom_of_residue\n");
}

TEST_F(DataFileTest, MoleculeTypeAccessorsBeforePerception) {
  TestRecord record;
  record.SetMol2AtomType(0, "ar");
  record.SetMol2BondType(1, 0, "2");
  EXPECT_EQ(record.GetMol2AtomType(0), "") << "nothing is visible before types are assigned";
  EXPECT_EQ(record.GetMol2BondType(0, 1), "");
  record.SetFixedBondOrders([] {
    BondOrderMap m;
    m.set(3, 1, 2);
    return m;
  }());
  record.SetBondOrder(1, 3, 1);
  EXPECT_EQ(record.GetBondOrder(3, 1), 1) << "the perceived table comes first";
  record.ClearBondOrders();
  EXPECT_EQ(record.GetBondOrder(1, 3), 2);
  EXPECT_TRUE(record.HasBondOrder(3, 1));
  record.ClearAllBondOrders();
  EXPECT_FALSE(record.HasBondOrder(1, 3));
  EXPECT_EQ(record.GetBondOrder(1, 3), 0);
}

// A topology-like source: names, types and charges for 100 atoms.
std::unique_ptr<TestRecord> Topology(int atoms) {
  auto top = std::make_unique<TestRecord>();
  top->SetNumberOfAtoms(atoms);
  top->SetAtomName(std::vector<std::string>(static_cast<size_t>(atoms), "CA"));
  top->SetAtomType(std::vector<std::string>(static_cast<size_t>(atoms), "C"));
  top->SetCharge(std::vector<double>(static_cast<size_t>(atoms), 0.5));
  return top;
}

TEST_F(DataFileTest, CopyStateFillsWhatIsMissingAndNumbersAtoms) {
  auto top = Topology(100);
  TestRecord coords;
  coords.SetNumberOfAtoms(100);
  coords.SetCartesian(LinePoints(100));
  ConsoleCapture console;
  coords.CopyState(*top);
  EXPECT_EQ(console.Err(), "");
  EXPECT_EQ(coords.GetAtomName().size(), 100u);
  EXPECT_EQ(coords.GetAtomType().size(), 100u);
  EXPECT_EQ(coords.GetCharge().size(), 100u);
  ASSERT_EQ(coords.GetAtomIndex().size(), 100u);
  EXPECT_EQ(coords.GetAtomIndex().front(), 1);
  EXPECT_EQ(coords.GetAtomIndex().back(), 100);
  EXPECT_EQ(coords.GetSnapshot().atom_types.size(), 100u);
  EXPECT_EQ(coords.GetCartesian(), LinePoints(100)) << "held groups are not replaced";
}

TEST_F(DataFileTest, CopyStateWarnsOnDifferentCounts) {
  auto top = Topology(100);
  top->SetNumberOfResidues(3);
  top->SetResidueName(std::vector<std::string>(100, "ALA"));
  TestRecord coords;
  coords.SetNumberOfAtoms(99);
  coords.SetNumberOfResidues(2);
  ConsoleCapture console;
  coords.CopyState(*top);
  EXPECT_EQ(console.Err(),
            "Warning: different atom number.\nWarning: different atom number.\n"
            "Warning: different residue number.\n");
  EXPECT_TRUE(coords.GetAtomName().empty());
  EXPECT_TRUE(coords.GetCharge().empty()) << "charges are skipped silently";
  EXPECT_TRUE(coords.GetAtomIndex().empty()) << "no names, so no numbering either";
}

TEST_F(DataFileTest, CopyStateWarnsThriceWhenTheSourceHasNumbers) {
  auto top = Topology(100);
  std::vector<int> numbers(100);
  for (int i = 0; i < 100; ++i) numbers[i] = i + 1;
  top->SetAtomIndex(numbers);
  TestRecord coords;
  coords.SetNumberOfAtoms(99);
  ConsoleCapture console;
  coords.CopyState(*top);
  EXPECT_EQ(console.Err(),
            "Warning: different atom number.\nWarning: different atom number.\nWarning: different atom number.\n");
}

TEST_F(DataFileTest, CopyStateOverwriteReplacesHeldGroups) {
  auto top = Topology(3);
  TestRecord target;
  target.SetNumberOfAtoms(3);
  target.SetAtomName({"A", "B", "C"});
  target.CopyState(*top);
  EXPECT_EQ(target.GetAtomName()[0], "A");
  target.SetFileFlag(kFileOverwrite);
  target.CopyState(*top);
  EXPECT_EQ(target.GetAtomName()[0], "CA");
}

// A stated charge and multiplicity travels with the molecule (a log read
// into a record that writes an input): taken when missing, replaced only
// with OVERWRITE, never removed by a source that states none.
TEST_F(DataFileTest, CopyStatePassesTheStatedChargeOn) {
  TestRecord log;
  log.SetStatedChargeAndMultiplicity(ChargeAndMultiplicity{1, 2});
  TestRecord target;
  target.CopyState(log);
  EXPECT_EQ(target.GetStatedChargeAndMultiplicity(), (ChargeAndMultiplicity{1, 2}));
  TestRecord other;
  other.SetStatedChargeAndMultiplicity(ChargeAndMultiplicity{-1, 1});
  target.CopyState(other);
  EXPECT_EQ(target.GetStatedChargeAndMultiplicity(), (ChargeAndMultiplicity{1, 2}));
  target.SetFileFlag(kFileOverwrite);
  target.CopyState(other);
  EXPECT_EQ(target.GetStatedChargeAndMultiplicity(), (ChargeAndMultiplicity{-1, 1}));
  TestRecord silent;
  target.CopyState(silent);
  EXPECT_EQ(target.GetStatedChargeAndMultiplicity(), (ChargeAndMultiplicity{-1, 1}));
}

TEST_F(DataFileTest, CopyStateFitsCopiedCoordinatesOnlyWhenAsked) {
  TestRecord source;
  source.SetNumberOfAtoms(2);
  source.SetCartesian(LinePoints(2));
  source.SetCartesianAll({LinePoints(2), LinePoints(2, 5.0)});

  TestRecord plain;
  plain.SetNumberOfAtoms(2);
  plain.SetAtomType({"C", "C"});
  plain.CopyState(source);
  EXPECT_EQ(plain.fits, 0);

  TestRecord fitted;
  fitted.SetNumberOfAtoms(2);
  fitted.SetAtomType({"C", "C"});
  fitted.SetFileFlag(kFileReferenceFit);
  fitted.CopyState(source);
  EXPECT_EQ(fitted.fits, 3) << "once for the coordinates, once per frame";
  EXPECT_DOUBLE_EQ(fitted.GetCartesian()[0][0], 100.0);
  EXPECT_DOUBLE_EQ(fitted.GetCartesianAll()[1][0][0], 105.0);
  EXPECT_DOUBLE_EQ(fitted.GetSnapshot().cartesian[0][0], 100.0);

  TestRecord untyped;
  untyped.SetNumberOfAtoms(2);
  untyped.SetFileFlag(kFileReferenceFit);
  untyped.CopyState(source);
  EXPECT_EQ(untyped.fits, 0) << "no fit without atom types (no masses)";
}

TEST_F(DataFileTest, CopyStateConnectionFollowsTheTargetsFlags) {
  TestRecord source;
  source.SetConnection(BondMap{{0, {1}}});
  TestRecord target;
  target.SetConnection(BondMap{{2, {3}}});
  target.CopyState(source);
  EXPECT_EQ(target.GetConnection(), (BondMap{{0, {1}}, {2, {3}}}));
  target.SetFileFlag(kFileNoMerge);
  target.CopyState(source);
  EXPECT_EQ(target.GetConnection(), (BondMap{{0, {1}}}));
}

class WriteAllTest : public DataFileTest {
 protected:
  std::vector<std::string> Written(const testing::ScratchDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Root())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  void Frames(TestRecord& record, int count) {
    std::vector<Frame> frames;
    for (int k = 0; k < count; ++k) frames.push_back(LinePoints(1, k));
    record.SetCartesianAll(frames);
  }
};

TEST_F(WriteAllTest, NamesFilesAfterTheOutput) {
  testing::ScratchDir dir;
  TestRecord record;
  Frames(record, 3);
  record.OpenOutput(dir.Path("out.pdb"), false);
  record.WriteAll(1);
  CommitOutputs();
  EXPECT_EQ(Written(dir), (std::vector<std::string>{"out0000.pdb", "out0001.pdb", "out0002.pdb"}));
  EXPECT_EQ(dir.Read("out0002.pdb"), "2.0\n");

  testing::ScratchDir base1;
  TestRecord numbered;
  Frames(numbered, 3);
  numbered.SetFileFlag(kFileBase1);
  numbered.OpenOutput(base1.Path("out.pdb"), false);
  numbered.WriteAll(1);
  CommitOutputs();
  EXPECT_EQ(Written(base1), (std::vector<std::string>{"out0001.pdb", "out0002.pdb", "out0003.pdb"}));
}

TEST_F(WriteAllTest, StepsAndFirstFrame) {
  testing::ScratchDir dir;
  TestRecord record;
  Frames(record, 25);
  record.OpenOutput(dir.Path("t.crd"), false);
  record.WriteAll(10);
  CommitOutputs();
  EXPECT_EQ(Written(dir), (std::vector<std::string>{"t0000.crd", "t0001.crd"}));
  EXPECT_EQ(dir.Read("t0000.crd"), "9.0\n") << "the 10th frame";
  EXPECT_EQ(dir.Read("t0001.crd"), "19.0\n");

  testing::ScratchDir step0;
  TestRecord first;
  Frames(first, 25);
  first.SetFileFlag(kFileStep0);
  first.OpenOutput(step0.Path("t.crd"), false);
  first.WriteAll(10);
  CommitOutputs();
  EXPECT_EQ(Written(step0), (std::vector<std::string>{"t0000.crd", "t0001.crd", "t0002.crd"}));
  EXPECT_EQ(step0.Read("t0000.crd"), "0.0\n") << "the first frame is written too";
}

TEST_F(WriteAllTest, CounterWidthGrowsWithTheNumberOfFiles) {
  EXPECT_EQ(NumberedFileWidth(10000, 1, false, false), 4);
  EXPECT_EQ(NumberedFileWidth(10000, 1, false, true), 6) << "BASE1 counts one more";
  EXPECT_EQ(NumberedFileWidth(10001, 1, false, false), 6);
  EXPECT_EQ(NumberedFileWidth(100009, 10, true, false), 6);
  EXPECT_EQ(NumberedFileWidth(1000000, 1, false, false), 6);
  EXPECT_EQ(NumberedFileWidth(1000001, 1, false, false), 8);
  EXPECT_EQ(NumberedFileName("run", 42, 6, ".pdb"), "run000042.pdb");
}

TEST_F(WriteAllTest, NameWithoutDotHasNoExtension) {
  testing::ScratchDir dir;
  TestRecord record;
  Frames(record, 2);
  record.OpenOutput(dir.Path("frames"), false);
  record.WriteAll(1);
  CommitOutputs();
  EXPECT_EQ(Written(dir), (std::vector<std::string>{"frames0000", "frames0001"}));
}

TEST_F(WriteAllTest, UnwritablePlaceEndsTheCommand) {
  TestRecord record;
  Frames(record, 2);
  record.OpenOutput("/nonexistent-dir/out.pdb", false);
  ConsoleCapture console;
  EXPECT_THROW(record.WriteAll(1), ExitRequest);
  EXPECT_EQ(console.Err(), "Can't open output file: /nonexistent-dir/out0000.pdb\n");
  DiscardOutputs();
}

}  // namespace
}  // namespace tarvex
