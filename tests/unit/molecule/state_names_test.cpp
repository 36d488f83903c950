#include "molecule/state_names.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "../support/scratch_dir.h"
#include "../support/test_record.h"
#include "common/console.h"

namespace tarvex {
namespace {

using testing::LinePoints;
using testing::TestRecord;

// The names in the order PrintStates lists them, written out.
const std::vector<std::string> kExpectedNames = {"title",
                                                 "number_of_atoms",
                                                 "number_of_residues",
                                                 "number_of_molecules",
                                                 "cartesian",
                                                 "cartesian_all",
                                                 "internal",
                                                 "internal_all",
                                                 "force",
                                                 "charge",
                                                 "connection",
                                                 "atom_name",
                                                 "atom_type",
                                                 "atom_index",
                                                 "residue_name",
                                                 "residue_type",
                                                 "residue_index",
                                                 "residue_number",
                                                 "head_atom_of_residue"};

TEST(StateNames, OneNamePerGroupInListOrder) {
  ASSERT_EQ(kStateNames.size(), kExpectedNames.size());
  for (size_t k = 0; k < kExpectedNames.size(); ++k) {
    const State state = static_cast<State>(k);
    EXPECT_EQ(StateName(state), kExpectedNames[k]);
    ASSERT_TRUE(FindState(kExpectedNames[k]).has_value()) << kExpectedNames[k];
    EXPECT_EQ(*FindState(kExpectedNames[k]), state);
  }
  EXPECT_EQ(StateName(State::kAtomIndex), "atom_index");
  EXPECT_EQ(StateName(State::kResidueNumber), "residue_number");
  for (std::string_view other : {"Title", "title ", "atom", "", "number_of_atom", "residues"}) {
    EXPECT_FALSE(FindState(other).has_value()) << other;
  }
}

// Filling one group makes its own name, and only that (beside what the
// setter fills on purpose), hold data: the name table and the tests behind
// it cannot drift apart.
TEST(StateNames, EachNameTestsItsOwnGroup) {
  testing::UseParameterFile("");
  const std::vector<std::pair<std::function<void(TestRecord&)>, std::set<std::string>>> fills = {
      {[](TestRecord& r) { r.SetTitle("t"); }, {"title"}},
      {[](TestRecord& r) { r.SetNumberOfAtoms(2); }, {"number_of_atoms"}},
      {[](TestRecord& r) { r.SetNumberOfResidues(1); }, {"number_of_residues"}},
      {[](TestRecord& r) { r.SetNumberOfMolecules(1); }, {"number_of_molecules"}},
      {[](TestRecord& r) { r.SetCartesian(LinePoints(2)); }, {"cartesian"}},
      {[](TestRecord& r) { r.SetCartesianAll({LinePoints(2)}); }, {"cartesian_all", "number_of_molecules"}},
      {[](TestRecord& r) {
         r.SetInternal({{1.0, 2.0, 3.0}}, {{0, 0, 0}});
       },
       {"internal"}},
      {[](TestRecord& r) {
         r.SetInternalAll({{{1.0, 2.0, 3.0}}}, {{{0, 0, 0}}});
       },
       {"internal_all"}},
      {[](TestRecord& r) { r.SetForce(LinePoints(2)); }, {"force"}},
      {[](TestRecord& r) { r.SetCharge({0.5}); }, {"charge"}},
      {[](TestRecord& r) {
         r.SetConnection(BondMap{{0, {1}}});
       },
       {"connection"}},
      {[](TestRecord& r) { r.SetAtomName({"CA"}); }, {"atom_name"}},
      {[](TestRecord& r) { r.SetAtomType({"C"}); }, {"atom_type"}},
      {[](TestRecord& r) { r.SetAtomIndex({7}); }, {"atom_index"}},
      {[](TestRecord& r) { r.SetResidueName({"ALA"}); }, {"residue_name"}},
      {[](TestRecord& r) { r.SetResidueType({"P"}); }, {"residue_type"}},
      {[](TestRecord& r) { r.SetResidueIndex({12}); }, {"residue_index"}},
      {[](TestRecord& r) { r.SetResidueNumber({0}); }, {"residue_number"}},
      {[](TestRecord& r) {
         r.SetHeadAtomOfResidue({0, 1});
       },
       {"head_atom_of_residue"}},
  };
  ASSERT_EQ(fills.size(), kExpectedNames.size());
  for (const auto& [fill, held] : fills) {
    TestRecord record;
    fill(record);
    std::string listed;
    for (const std::string& name : kExpectedNames) {
      const bool expected = held.count(name) != 0;
      EXPECT_EQ(record.HasState(name), expected) << name;
      EXPECT_EQ(record.Holds(*FindState(name)), expected) << name;
      if (expected) listed += name + "\n";
    }
    ConsoleCapture console;
    record.PrintStates();
    EXPECT_EQ(console.Err(), listed);
  }
}

}  // namespace
}  // namespace tarvex
