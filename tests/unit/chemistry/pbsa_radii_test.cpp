#include "chemistry/pbsa_radii.h"

#include <gtest/gtest.h>

#include "../support/scratch_dir.h"
#include "chemistry/environment_patterns.h"
#include "chemistry/parameters.h"

namespace tarvex {
namespace {

using testing::ScratchDir;

// The type number of the first row one of whose alternatives the atom
// matches, as pbsaprep assigns it.
int TypeOf(const PbsaTables& tables, const std::vector<std::string>& labels, const BondMap& bonds, int atom) {
  for (const RadiusTypeRow& row : tables.radius_types) {
    const CompiledPattern pattern(row.pattern);
    for (size_t k = 0; k < pattern.AlternativeCount(); ++k) {
      if (pattern.MatchAlternative(labels, bonds, atom, k)) return row.type;
    }
  }
  return -1;
}

// Acetic acid: C0 methyl, C1 carboxyl, O2 carbonyl, O3 hydroxyl; then the
// hydrogens, and a lone zinc.
TEST(PbsaRadii, BuiltInRowsTypeAtomsByEnvironment) {
  const PbsaTables tables = BuiltInPbsaTables();
  ASSERT_EQ(tables.radius_types.size(), 27u);
  EXPECT_EQ(tables.radius_types.back().pattern, "(*)");
  const std::vector<std::string> labels = {"C", "C", "O", "O", "H", "H", "H", "H", "ZN", "FE"};
  const BondMap bonds = {{0, {1, 4, 5, 6}}, {1, {0, 2, 3}}, {2, {1}}, {3, {1, 7}},
                         {4, {0}},          {5, {0}},       {6, {0}}, {7, {3}}};
  EXPECT_EQ(TypeOf(tables, labels, bonds, 0), 9) << "methyl carbon";
  EXPECT_EQ(TypeOf(tables, labels, bonds, 1), 10) << "carbonyl carbon, found by the first alternative";
  EXPECT_EQ(TypeOf(tables, labels, bonds, 2), 3)
      << "the carbonyl oxygen of an acid: its carbon has two oxygens, so not type 1, any oxygen";
  EXPECT_EQ(TypeOf(tables, labels, bonds, 3), 2) << "hydroxyl oxygen";
  EXPECT_EQ(TypeOf(tables, labels, bonds, 4), 15);
  EXPECT_EQ(TypeOf(tables, labels, bonds, 8), 19);
  EXPECT_EQ(TypeOf(tables, labels, bonds, 9), 25) << "an iron without six neighbours";
  EXPECT_DOUBLE_EQ(tables.parse_radii.at("S"), 1.85);
  EXPECT_EQ(tables.parse_radii.size(), 9u);
}

TEST(PbsaRadii, SectionLinesReplaceRowsAndAddRadii) {
  PbsaTables tables = BuiltInPbsaTables();
  ApplyRadiusTypeLines({"7 (c)", "x (O)", "8", "3 (*) trailing words"}, tables);
  ASSERT_EQ(tables.radius_types.size(), 2u);
  EXPECT_EQ(tables.radius_types[0].type, 7);
  EXPECT_EQ(tables.radius_types[0].pattern, "(C)");
  EXPECT_EQ(tables.radius_types[1].pattern, "(*)");
  ApplyRadiusTypeLines({"no rows here"}, tables);
  EXPECT_EQ(tables.radius_types.size(), 2u) << "lines without a row keep the rows";
  ApplyParseRadiusLines({"cl 1.75", "C 1.8", "Na", "K big"}, tables);
  EXPECT_DOUBLE_EQ(tables.parse_radii.at("CL"), 1.75);
  EXPECT_DOUBLE_EQ(tables.parse_radii.at("C"), 1.8);
  EXPECT_EQ(tables.parse_radii.size(), 10u);
}

TEST(PbsaRadii, ParameterFileSections) {
  ScratchDir dir;
  testing::UseParameterFile(dir.Write("parm.dat",
                                      "C C 1.5\n"
                                      "\n"
                                      "C 3 (4C)\n"
                                      "\n"
                                      "# radius types\n"
                                      "5 (N)\n"
                                      "99 (*)\n"
                                      "\n"
                                      "Br 1.95\n"));
  ASSERT_TRUE(RunParameterFile().Found());
  EXPECT_EQ(RunParameterFile().Texts(ParameterSection::kRadiusTypes),
            (std::vector<std::string_view>{"5 (N)", "99 (*)"}))
      << "comments left out";
  const PbsaTables tables = LoadPbsaTables();
  EXPECT_EQ(tables.radius_types.size(), 2u);
  EXPECT_DOUBLE_EQ(tables.parse_radii.at("BR"), 1.95);

  testing::UseParameterFile(dir.Write("short.dat", "C C 1.5\n\nC 3 (4C)\n"));
  EXPECT_EQ(LoadPbsaTables().radius_types.size(), 27u) << "a file without radius rows keeps the built-in ones";
  testing::UseParameterFile("");
  EXPECT_FALSE(RunParameterFile().Found());
}

}  // namespace
}  // namespace tarvex
