// The rule switches on plain data: each kind of charged state is admitted by
// its own switch, so a molecule that needs it is first settled in that pass.
#include "chemistry/lewis/bond_order_search.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "../../support/scratch_dir.h"
#include "formats/mol2_file.h"

namespace tarvex {
namespace {

struct Molecule {
  const char* name;
  std::vector<std::string> labels;
  std::vector<std::pair<int, int>> bonds;
};

// Adds `count` hydrogens to atom `a`.
void AddHydrogens(Molecule& m, int a, int count) {
  for (int k = 0; k < count; ++k) {
    m.bonds.emplace_back(a, static_cast<int>(m.labels.size()));
    m.labels.push_back("H");
  }
}

// A ring of `size` atoms, the first labelled `first`, the rest carbons with
// one hydrogen each.
Molecule Ring(const char* name, int size, const std::string& first) {
  Molecule m{name, {first}, {}};
  for (int k = 1; k < size; ++k) m.labels.push_back("C");
  for (int k = 0; k < size; ++k) m.bonds.emplace_back(k, (k + 1) % size);
  for (int k = first == "C" ? 0 : 1; k < size; ++k) AddHydrogens(m, k, 1);
  return m;
}

// The element chemistry reads the built-in registry (valences, neighbour
// limits), which the first record loads.
std::unique_ptr<PerceptionContext> ContextOf(const Molecule& m) {
  testing::UseParameterFile("");
  const CMol2File loads_the_registry;
  BondMap bonds;
  for (auto [a, b] : m.bonds) {
    bonds[a].push_back(b);
    bonds[b].push_back(a);
  }
  return BuildPerceptionContext(static_cast<int>(m.labels.size()), bonds, m.labels, Frame{},
                                [](int, int) { return 0.0; });
}

// Solves the molecule of atom 0 in the passes of the perception (switches 0
// to k on) at the last level; the first pass that settles it, or -1.
int FirstSettlingPass(PerceptionContext& context, ComponentSolution& solution) {
  const BondOrderMap fixed;
  std::vector<int> path;
  uint32_t switches = 0;
  for (int k = 0; k < kRuleSwitchCount; ++k) {
    switches |= SwitchBit(static_cast<RuleSwitch>(k));
    SolveComponent(context, fixed, 0, SearchRules{switches, false}, path, solution);
    if (solution.ok) return k;
  }
  return -1;
}

TEST(BondOrderSearch, EachSwitchAdmitsItsStates) {
  Molecule methane{"methane", {"C"}, {}};
  AddHydrogens(methane, 0, 4);
  // CH3-N=N+=N-: the azide's charges belong to the group.
  Molecule azide{"methyl azide", {"C", "N", "N", "N"}, {{0, 1}, {1, 2}, {2, 3}}};
  AddHydrogens(azide, 0, 3);
  Molecule acetate{"acetate", {"C", "C", "O", "O"}, {{0, 1}, {1, 2}, {1, 3}}};
  AddHydrogens(acetate, 0, 3);
  Molecule pyridinium = Ring("pyridinium", 6, "N");
  AddHydrogens(pyridinium, 0, 1);
  const Molecule pyrylium = Ring("pyrylium", 6, "O");
  const Molecule tropylium = Ring("tropylium", 7, "C");
  // A boron with a free valence and nothing to pair it with.
  Molecule boranyl{"boranyl", {"B"}, {}};
  AddHydrogens(boranyl, 0, 2);
  Molecule hexafluoride{"sulfur hexafluoride", {"S", "F", "F", "F", "F", "F", "F"}, {}};
  for (int k = 1; k <= 6; ++k) hexafluoride.bonds.emplace_back(0, k);

  struct Case {
    const Molecule& molecule;
    RuleSwitch first_pass;
    int net_charge;
  };
  const Case cases[] = {
      {methane, kGroupCharges, 0}, {azide, kGroupCharges, 0},
      {acetate, kCommonIons, -1},  {pyridinium, kCommonIons, 1},
      {pyrylium, kOniumIons, 1},   {tropylium, kCarbonIons, 1},
      {boranyl, kRadicals, 0},     {hexafluoride, kNoNeighbourLimits, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.molecule.name);
    auto context = ContextOf(c.molecule);
    ComponentSolution solution;
    EXPECT_EQ(FirstSettlingPass(*context, solution), c.first_pass);
    EXPECT_EQ(solution.atoms.size(), c.molecule.labels.size());
    EXPECT_EQ(std::accumulate(solution.charges.begin(), solution.charges.end(), 0), c.net_charge);
  }
}

// Charges the matching chooses count against the level; a group's do not.
TEST(BondOrderSearch, ChosenChargesLeaveGroupChargesOut) {
  Molecule azide{"methyl azide", {"C", "N", "N", "N"}, {{0, 1}, {1, 2}, {2, 3}}};
  AddHydrogens(azide, 0, 3);
  auto context = ContextOf(azide);
  ComponentSolution solution;
  ASSERT_EQ(FirstSettlingPass(*context, solution), kGroupCharges);
  EXPECT_EQ(solution.chosen_charges, 0);
  ASSERT_EQ(solution.atoms[0], 0);
  std::vector<int> charge_of(azide.labels.size());
  for (size_t l = 0; l < solution.atoms.size(); ++l) {
    charge_of[solution.atoms[l]] = solution.charges[l];
  }
  EXPECT_EQ(charge_of[2], 1);
  EXPECT_EQ(charge_of[3], -1);

  Molecule acetate{"acetate", {"C", "C", "O", "O"}, {{0, 1}, {1, 2}, {1, 3}}};
  AddHydrogens(acetate, 0, 3);
  auto acetate_context = ContextOf(acetate);
  ASSERT_EQ(FirstSettlingPass(*acetate_context, solution), kCommonIons);
  EXPECT_EQ(solution.chosen_charges, 1);
}

// A tolerant solve never fails: a five-bonded carbon keeps single bonds and
// no charge, and a deficiency without a fix stays an unpaired electron.
TEST(BondOrderSearch, TolerantSolveKeepsSingleBonds) {
  Molecule five{"five-bonded carbon", {"C"}, {}};
  AddHydrogens(five, 0, 5);
  Molecule boranyl{"boranyl", {"B"}, {}};
  AddHydrogens(boranyl, 0, 2);
  const BondOrderMap fixed;
  std::vector<int> path;
  for (const Molecule& m : {five, boranyl}) {
    SCOPED_TRACE(m.name);
    auto context = ContextOf(m);
    ComponentSolution solution;
    const uint32_t first_pass = SwitchBit(kGroupCharges);
    SolveComponent(*context, fixed, 0, SearchRules{first_pass, false}, path, solution);
    EXPECT_FALSE(solution.ok);
    SolveComponent(*context, fixed, 0, SearchRules{first_pass, true}, path, solution);
    ASSERT_TRUE(solution.ok);
    EXPECT_EQ(solution.charges, std::vector<int>(m.labels.size(), 0));
    EXPECT_EQ(solution.bonds.size(), m.bonds.size());
    for (const SettledBond& bond : solution.bonds) EXPECT_EQ(bond.order, 1);
    // The walk's marks are cleared for the next molecule.
    EXPECT_EQ(std::count(context->visited.begin(), context->visited.end(), 1), 0);
  }
}

}  // namespace
}  // namespace tarvex
