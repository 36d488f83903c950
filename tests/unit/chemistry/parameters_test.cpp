#include "chemistry/parameters.h"

#include <gtest/gtest.h>

#include "../formats/pdb_test_files.h"
#include "../support/scratch_dir.h"
#include "../support/test_record.h"
#include "common/run_settings.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

using testing::ScratchDir;
using testing::TestRecord;

TEST(Parameters, BuiltInTablesWithoutAFile) {
  testing::UseParameterFile("");
  TestRecord record;
  EXPECT_DOUBLE_EQ(record.GetPairParameter("C", "C"), 1.15 * 1.526);
  EXPECT_DOUBLE_EQ(record.GetPairParameter("h", "c"), 1.15 * 1.09) << "pair lookups upper-case";
  EXPECT_DOUBLE_EQ(record.GetPairParameter("Cl", "P"), 1.15 * 2.04);
  EXPECT_DOUBLE_EQ(record.GetPairParameter("C", "XX"), 0.0) << "the fallback length";
  EXPECT_DOUBLE_EQ(record.GetPairParameterByIndex(8, 1), 1.15 * 0.96) << "O-H by atomic number";
  EXPECT_EQ(record.GetParameterList("I"), (std::vector<int>{1, 3}));
  EXPECT_TRUE(record.GetParameterList("i").empty()) << "list getters do not upper-case";
  EXPECT_EQ(record.GetParameterList2("CL"), (std::vector<int>{-1}));
  EXPECT_EQ(record.GetParameterValue("C"), 4);
  EXPECT_EQ(record.GetParameterValue("DU"), -1);
  EXPECT_EQ(record.GetParameterValue("XX"), 0);
  EXPECT_EQ(Registry().max_neighbours.count("XX"), 1u) << "an absent symbol gets an entry";
  EXPECT_EQ(record.TypeSuffixes().at("C").size(), 5u) << "built-in typing rows";
  EXPECT_EQ(record.TypeMarks().at("pl3"), "?");

  TestRecord second;
  EXPECT_EQ(second.GetParameterList("I"), (std::vector<int>{1, 3})) << "loaded once per process";
}

TEST(Parameters, FirstSectionScaleFallbackAndComments) {
  ScratchDir dir;
  testing::UseParameterFile(dir.Write("parm.dat",
                                      "# a comment\n"
                                      "o c 1.5\n"
                                      " # not a comment: read as a pair line without a number\n"
                                      "SCALE = 1.0\n"
                                      "C N 1.3\n"
                                      "scale = 1.3\n"
                                      "* * 2.5\n"
                                      "Na Cl\n"
                                      "X Y abc\n"
                                      "\n"
                                      "N pl3 (3N) ?\n"));
  TestRecord record;
  EXPECT_DOUBLE_EQ(record.GetPairParameter("C", "O"), 1.15 * 1.5) << "lower case, both orders, old scale";
  EXPECT_DOUBLE_EQ(record.GetPairParameter("N", "C"), 1.3) << "after SCALE = 1.0";
  EXPECT_DOUBLE_EQ(record.GetPairParameter("SCALE", "="), 1.3) << "lower-case scale is a pair line";
  EXPECT_DOUBLE_EQ(record.GetPairParameter("C", "C"), 1.15 * 1.526) << "built-ins keep 1.15";
  EXPECT_DOUBLE_EQ(record.GetFallbackLength(), 2.5);
  EXPECT_DOUBLE_EQ(record.GetBondScale(), 1.0);
  EXPECT_DOUBLE_EQ(record.GetPairParameter("C", "ZN"), 2.5);
  EXPECT_EQ(Registry().pair_lengths.count("#"), 0u) << "malformed lines are skipped";
  EXPECT_EQ(Registry().pair_lengths.count("X"), 0u);
  EXPECT_EQ(Registry().pair_lengths.count(""), 0u);

  TestRecord later;
  EXPECT_DOUBLE_EQ(later.GetBondScale(), 1.0) << "the file's scale holds for every record";
  EXPECT_DOUBLE_EQ(later.GetFallbackLength(), 2.5);
  EXPECT_DOUBLE_EQ(later.GetPairParameter("C", "ZN"), 2.5);
}

// A record made after the one that loaded the file (charge's merged record
// of several inputs) perceives bonds with the file's scale and fallback: the
// tighter cut-offs for over-coordinated atoms undo the scale the lengths
// carry, and pairs without a length bond within the fallback.
TEST(Parameters, ScaleAndFallbackHoldForLaterRecords) {
  ScratchDir dir;
  testing::UseParameterFile(dir.Write("parm.dat", "SCALE = 1.0\nC H 1.2\n* * 1.9\n"));
  TestRecord first;
  TestRecord later;
  // A carbon with five hydrogens at 1.15 and a boron at 1.8: the hydrogens
  // are within the unscaled 1.2 and the boron within the fallback 1.9. With
  // the scale 1.0 the cut-offs are the lengths themselves, so the
  // over-coordinated carbon keeps all six (with 1.15 the C-H cut-off would be
  // 1.2 / 1.15 x 3.15 / 3 = 1.096 and every hydrogen would go).
  later.SetNumberOfAtoms(7);
  later.SetAtomType({"C", "H", "H", "H", "H", "H", "B"});
  later.SetAtomIndex({1, 2, 3, 4, 5, 6, 7});
  later.SetCartesian({{0, 0, 0}, {1.15, 0, 0}, {-1.15, 0, 0}, {0, 1.15, 0}, {0, -1.15, 0}, {0, 0, 1.15}, {0, 0, -1.8}});
  later.CreateConnection();
  const BondMap& bonds = later.GetConnection();
  ASSERT_TRUE(bonds.contains(0));
  EXPECT_EQ(*bonds.find(0), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  ASSERT_TRUE(bonds.contains(6));
  EXPECT_EQ(*bonds.find(6), (std::vector<int>{0}));
}

TEST(Parameters, SecondSectionReplacesTheTypingRows) {
  ScratchDir dir;
  testing::UseParameterFile(dir.Write("parm.dat",
                                      "C C 1.5\n"
                                      "\n"
                                      "# element suffix pattern mark\n"
                                      "c ar (3c(c,c,*)) ?\n"
                                      "N am (3N)\n"
                                      "S\n"
                                      "   \n"
                                      "P 3 (4P)\n"));
  TestRecord record;
  EXPECT_EQ(record.TypeSuffixes().at("C"), (std::vector<std::string>{"ar"}));
  EXPECT_EQ(record.TypePatterns().at("C"), (std::vector<std::string>{"(3C(C,C,*))"}));
  EXPECT_EQ(record.TypeMarks().at("ar"), "?");
  EXPECT_EQ(record.TypeMarks().at("am"), "");
  EXPECT_EQ(record.TypeSuffixes().count("S"), 0u) << "a row without suffix and pattern is skipped";
  EXPECT_EQ(record.TypeSuffixes().count("P"), 0u) << "a blank line ends the section";
}

TEST(Parameters, FileWithoutEmptyLineLeavesNoTypingRows) {
  ScratchDir dir;
  testing::UseParameterFile(dir.Write("parm.dat", "C C 1.5\nN N 1.4"));
  TestRecord record;
  EXPECT_TRUE(record.TypeSuffixes().empty());
  EXPECT_DOUBLE_EQ(record.GetPairParameter("N", "N"), 1.15 * 1.4) << "last line without a line end";
}

// A binary file given as the parameter file is refused as it is opened; a
// text file of garbage lines leaves the built-in tables as they are.
TEST(Parameters, BinaryFileIsRefusedGarbageIsHarmless) {
  ScratchDir dir;
  std::string junk;
  for (unsigned i = 0; i < 300000; ++i) junk.push_back(static_cast<char>((i * 7919u) % 256u));
  const std::string binary = dir.Write("parm.dat", junk);
  testing::UseParameterFile(binary);
  EXPECT_EQ(testing_files::ErrorOf([] { TestRecord record; }),
            "Error: " + binary + " is not a text file: it holds a NUL byte (byte 1).\n");
  for (char& c : junk) c = static_cast<char>(' ' + static_cast<unsigned char>(c) % 95);
  for (size_t k = 0; k < junk.size(); k += 61) junk[k] = '\n';
  testing::UseParameterFile(dir.Write("garbage.dat", junk));
  TestRecord record;
  EXPECT_DOUBLE_EQ(record.GetPairParameter("C", "C"), 1.15 * 1.526);
  EXPECT_EQ(Registry().pair_lengths.count(""), 0u);
  testing::UseParameterFile("");
}

TEST(Parameters, FoundThroughTheSearchPath) {
  ScratchDir dir;
  dir.Write("tarvex_parm.dat", "C C 2.0\n");
  ResetParameterRegistry();
  Settings().parameter_file = "tarvex_parm.dat";
  Settings().search_path = {"/nonexistent", std::string(5000, 'x'), "", dir.Root()};
  TestRecord record;
  EXPECT_DOUBLE_EQ(record.GetPairParameter("C", "C"), 1.15 * 2.0);
  testing::UseParameterFile("");
}

}  // namespace
}  // namespace tarvex
