#include "chemistry/lewis/pi_matching.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "chemistry/lewis/aromaticity.h"
#include "chemistry/lewis/ring_perception.h"
#include "chemistry/lewis/valence_model.h"
#include "formats/mol2_file.h"

namespace tarvex {
namespace {

// Adjacency in compressed form from an edge list over n atoms.
struct Adjacency {
  std::vector<int> offsets;
  std::vector<int> targets;
};

Adjacency FromEdges(int n, const std::vector<std::pair<int, int>>& edges) {
  std::vector<std::vector<int>> lists(static_cast<size_t>(n));
  for (auto [a, b] : edges) {
    lists[a].push_back(b);
    lists[b].push_back(a);
  }
  Adjacency adjacency;
  adjacency.offsets.push_back(0);
  for (const auto& list : lists) {
    adjacency.targets.insert(adjacency.targets.end(), list.begin(), list.end());
    adjacency.offsets.push_back(static_cast<int>(adjacency.targets.size()));
  }
  return adjacency;
}

std::vector<std::pair<int, int>> Ring(int n) {
  std::vector<std::pair<int, int>> edges;
  for (int a = 0; a < n; ++a) edges.emplace_back(a, (a + 1) % n);
  return edges;
}

int DoubleBondsOf(const PiMatcher& matcher, const Adjacency& adjacency, int atom) {
  int total = 0;
  for (int k = adjacency.offsets[atom]; k < adjacency.offsets[static_cast<size_t>(atom) + 1]; ++k) {
    total += matcher.ExtraOrder(atom, k);
  }
  return total;
}

// Benzene: six carbons wanting one pi bond each come out alternating.
TEST(PiMatching, KekuleStructureOfBenzene) {
  Adjacency ring = FromEdges(6, Ring(6));
  std::vector<PiAtom> atoms(6);
  for (int a = 0; a < 6; ++a) atoms[a].demand = 1;
  PiMatcher matcher(atoms, ring.offsets, ring.targets);
  ASSERT_TRUE(matcher.Solve(0));
  for (int a = 0; a < 6; ++a) EXPECT_EQ(DoubleBondsOf(matcher, ring, a), 1);
  EXPECT_EQ(matcher.ChargedFixes(), 0);
}

// A fused odd system (naphthalene-like 10 carbons plus a five-ring, as in
// fluoranthene) needs the augmenting paths through blossoms: greedy
// matching alone leaves copies free on such graphs.
TEST(PiMatching, OddRingsNeedBlossoms) {
  // Azulene: a five-ring fused to a seven-ring, ten carbons, perfect.
  std::vector<std::pair<int, int>> edges{{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 0}, {3, 5},
                                         {5, 6}, {6, 7}, {7, 8}, {8, 9}, {9, 4}};
  Adjacency adjacency = FromEdges(10, edges);
  std::vector<PiAtom> atoms(10);
  for (auto& atom : atoms) atom.demand = 1;
  PiMatcher matcher(atoms, adjacency.offsets, adjacency.targets);
  ASSERT_TRUE(matcher.Solve(0));
  for (int a = 0; a < 10; ++a) EXPECT_EQ(DoubleBondsOf(matcher, adjacency, a), 1) << a;
}

// A carboxylate: C and two O each want one pi bond; one oxygen is left and
// lowered to O-. Ties between equal oxygens go to the later atom.
TEST(PiMatching, DeficiencyLoweredOnTheLaterEqualAtom) {
  Adjacency adjacency = FromEdges(3, {{0, 1}, {0, 2}});
  std::vector<PiAtom> atoms(3);
  for (int a = 0; a < 3; ++a) {
    atoms[a].rank = a;
    atoms[a].demand = 1;
  }
  atoms[1].lower = atoms[2].lower = PiFix(1.0, -1);
  PiMatcher matcher(atoms, adjacency.offsets, adjacency.targets);
  ASSERT_TRUE(matcher.Solve(0));
  EXPECT_EQ(matcher.Charge(1), 0);
  EXPECT_EQ(matcher.Charge(2), -1);
  EXPECT_EQ(matcher.ExtraOrder(0, 0), 1);  // C=O to atom 1
  EXPECT_EQ(matcher.ChargedFixes(), 1);
}

// The fix lands on the cheapest atom of the whole conjugated chain: an
// enolate O-C=C-C: with the terminal carbon left over, the charge moves to
// the oxygen along the alternating path.
TEST(PiMatching, DeficiencyMovesAlongTheChain) {
  Adjacency adjacency = FromEdges(3, {{0, 1}, {1, 2}});  // O0 - C1 - C2
  std::vector<PiAtom> atoms(3);
  for (auto& atom : atoms) atom.demand = 1;
  atoms[0].lower = PiFix(1.0, -1);
  atoms[1].lower = atoms[2].lower = PiFix(3.0, -1);
  PiMatcher matcher(atoms, adjacency.offsets, adjacency.targets);
  ASSERT_TRUE(matcher.Solve(0));
  EXPECT_EQ(matcher.Charge(0), -1);
  EXPECT_EQ(matcher.ExtraOrder(1, adjacency.offsets[1] + 1), 1);  // C1=C2
}

// Raising: a pyridinium-like ring of five carbons and an N with no demand;
// the N takes the missing pi bond as N+ rather than a carbon becoming an ion.
TEST(PiMatching, NeighbourRaisedIntoTheRing) {
  Adjacency ring = FromEdges(6, Ring(6));
  std::vector<PiAtom> atoms(6);
  for (int a = 1; a < 6; ++a) {
    atoms[a].demand = 1;
    atoms[a].lower = PiFix(3.0, 1);
  }
  atoms[0].raise = PiFix(1.2, 1);
  PiMatcher matcher(atoms, ring.offsets, ring.targets);
  ASSERT_TRUE(matcher.Solve(0));
  EXPECT_EQ(matcher.Charge(0), 1);
  EXPECT_EQ(matcher.ValenceChange(0), 1);
  for (int a = 0; a < 6; ++a) EXPECT_EQ(DoubleBondsOf(matcher, ring, a), 1);
}

// Equal costs go toward a neutral molecule: a nitro-like N with two
// oxygens comes out N+ with one O-, not two O-.
TEST(PiMatching, TiesGoTowardNeutral) {
  Adjacency adjacency = FromEdges(3, {{0, 1}, {0, 2}});  // N0 with O1, O2
  std::vector<PiAtom> atoms(3);
  atoms[0].raise = PiFix(1.0, 1);
  for (int o = 1; o <= 2; ++o) {
    atoms[o].demand = 1;
    atoms[o].lower = PiFix(1.0, -1);
  }
  PiMatcher matcher(atoms, adjacency.offsets, adjacency.targets);
  ASSERT_TRUE(matcher.Solve(0));
  EXPECT_EQ(matcher.Charge(0) + matcher.Charge(1) + matcher.Charge(2), 0);
  EXPECT_EQ(matcher.Charge(0), 1);
}

TEST(PiMatching, UnfixableDeficiency) {
  Adjacency adjacency = FromEdges(2, {{0, 1}});
  std::vector<PiAtom> atoms(2);
  atoms[0].demand = 2;  // wants two pi bonds, the partner none
  PiMatcher strict(atoms, adjacency.offsets, adjacency.targets);
  EXPECT_FALSE(strict.Solve(0));
  PiMatcher tolerant(atoms, adjacency.offsets, adjacency.targets);
  EXPECT_TRUE(tolerant.Solve(0, /*keep_unfixable=*/true));
  EXPECT_EQ(tolerant.Charge(0), 0);
}

// A long conjugated chain and a big ring system stay cheap: no search over
// alternatives, one augmenting path per left-over copy.
TEST(PiMatching, LargeSystems) {
  const int n = 20000;
  std::vector<std::pair<int, int>> edges;
  for (int a = 0; a + 1 < n; ++a) edges.emplace_back(a, a + 1);
  Adjacency chain = FromEdges(n, edges);
  std::vector<PiAtom> atoms(static_cast<size_t>(n));
  for (auto& atom : atoms) atom.demand = 1;
  PiMatcher matcher(atoms, chain.offsets, chain.targets);
  ASSERT_TRUE(matcher.Solve(0));
  for (int a = 0; a < n; a += 997) EXPECT_EQ(DoubleBondsOf(matcher, chain, a), 1);
}

TEST(RingPerception, SmallRingsAndRingBonds) {
  // Naphthalene skeleton plus a methyl on atom 0.
  std::vector<std::pair<int, int>> edges{{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 0},
                                         {4, 6}, {6, 7}, {7, 8}, {8, 9}, {9, 5}, {0, 10}};
  Adjacency adjacency = FromEdges(11, edges);
  RingSet rings = FindSmallRings(adjacency.offsets, adjacency.targets, 8);
  ASSERT_EQ(rings.rings.size(), 2u);  // the ten-ring around both is not small
  for (const auto& ring : rings.rings) EXPECT_EQ(ring.size(), 6u);
  for (int k = adjacency.offsets[0]; k < adjacency.offsets[1]; ++k) {
    EXPECT_EQ(rings.cyclic_edge[k] != 0, adjacency.targets[k] != 10);
  }
  // A chain of 200,000 atoms: the bridge search keeps its own stack.
  const int n = 200000;
  std::vector<std::pair<int, int>> chain;
  for (int a = 0; a + 1 < n; ++a) chain.emplace_back(a, a + 1);
  Adjacency long_chain = FromEdges(n, chain);
  RingSet none = FindSmallRings(long_chain.offsets, long_chain.targets, 8);
  EXPECT_TRUE(none.rings.empty());
  EXPECT_FALSE(none.cut_short);
  EXPECT_FALSE(rings.cut_short);
}

// A bond list joining 400 atoms to each other (80,000 bonds, ten million
// angles, each closing a triangle) exhausts the budget: the search stops
// with the rings found so far instead of running for minutes.
TEST(RingPerception, DenseGraphsStopAtTheBudget) {
  const int n = 400;
  std::vector<std::pair<int, int>> edges;
  for (int a = 0; a < n; ++a) {
    for (int b = a + 1; b < n; ++b) edges.emplace_back(a, b);
  }
  Adjacency clique = FromEdges(n, edges);
  RingSet rings = FindSmallRings(clique.offsets, clique.targets, 8);
  EXPECT_TRUE(rings.cut_short);
  EXPECT_FALSE(rings.rings.empty());
  for (const auto& ring : rings.rings) EXPECT_EQ(ring.size(), 3u);
}

// The allowance grows with the atoms searched: a honeycomb sheet of 60,000
// atoms (every angle in a six-ring) is searched whole, however large; the
// same number of atoms joined by random bonds, where short rings are rare
// and every search would sweep a whole region, stops within its first atoms.
TEST(RingPerception, AllowanceFollowsTheAtomsSearched) {
  const int rows = 200, columns = 300;  // brick-wall form of a honeycomb
  std::vector<std::pair<int, int>> sheet;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const int a = r * columns + c;
      if (c + 1 < columns) sheet.emplace_back(a, a + 1);
      if (r + 1 < rows && (r + c) % 2 == 0) sheet.emplace_back(a, a + columns);
    }
  }
  Adjacency honeycomb = FromEdges(rows * columns, sheet);
  RingSet hexagons = FindSmallRings(honeycomb.offsets, honeycomb.targets, 8);
  EXPECT_FALSE(hexagons.cut_short);
  EXPECT_EQ(hexagons.rings.size(), static_cast<size_t>((rows - 1) * (columns - 2) / 2));
  for (const auto& ring : hexagons.rings) EXPECT_EQ(ring.size(), 6u);

  std::mt19937 random(7);
  std::uniform_int_distribution<int> atom(0, rows * columns - 1);
  std::vector<std::pair<int, int>> edges;
  while (edges.size() < 180000) {
    const int a = atom(random), b = atom(random);
    if (a != b) edges.emplace_back(std::min(a, b), std::max(a, b));
  }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  Adjacency tangle = FromEdges(rows * columns, edges);
  RingSet rings = FindSmallRings(tangle.offsets, tangle.targets, 8);
  EXPECT_TRUE(rings.cut_short);
  EXPECT_LT(rings.rings.size(), 1000u);
  for (const auto& ring : rings.rings) {
    for (size_t k = 0; k < ring.size(); ++k) {
      const int a = ring[k], b = ring[(k + 1) % ring.size()];
      EXPECT_TRUE(std::binary_search(edges.begin(), edges.end(), std::pair{std::min(a, b), std::max(a, b)}));
    }
  }
}

TEST(Aromaticity, HueckelAndFusedPairs) {
  // Benzene: six atoms with one electron each; cyclobutadiene-like four.
  EXPECT_EQ(AromaticRings({{0, 1, 2, 3, 4, 5}}, std::vector<int>(6, 1)), std::vector<char>{1});
  // Pyrrole: four carbons (1 each) and the NH (2).
  EXPECT_EQ(AromaticRings({{0, 1, 2, 3, 4}}, {2, 1, 1, 1, 1}), std::vector<char>{1});
  // A saturated atom stops it.
  EXPECT_EQ(AromaticRings({{0, 1, 2, 3, 4}}, {-1, 1, 1, 1, 1}), std::vector<char>{0});
  // Azulene: 5 and 7 electrons alone, 10 around both.
  std::vector<std::vector<int>> azulene{{0, 1, 2, 3, 4}, {3, 4, 9, 8, 7, 6, 5}};
  EXPECT_EQ(AromaticRings(azulene, std::vector<int>(10, 1)), (std::vector<char>{1, 1}));
}

TEST(ValenceModel, ElementStates) {
  CMol2File loads_the_registry;  // the first record fills the parameter registry
  const ElementChemistry sulfur = LookupElementChemistry("S");
  EXPECT_EQ(sulfur.neutral_valences, (std::vector<int>{2, 4, 6}));
  EXPECT_EQ(LookupElementChemistry("Cl").neutral_valences, (std::vector<int>{1, 3, 5, 7}));
  EXPECT_EQ(LookupElementChemistry("P").neutral_valences, (std::vector<int>{3, 5}));
  EXPECT_EQ(LookupElementChemistry("ZN").kind, ElementKind::kMetal);
  EXPECT_EQ(LookupElementChemistry("ZN").ion_charge, 2);
  EXPECT_EQ(LookupElementChemistry("CS").ion_charge, 1);
  EXPECT_EQ(LookupElementChemistry("DU").kind, ElementKind::kOpaque);
  EXPECT_EQ(LookupElementChemistry("XX").kind, ElementKind::kOpaque);

  int valence = 0;
  int charge = 0;
  ASSERT_TRUE(StartingState(sulfur, 4, 2, valence, charge));  // sulfone: both S=O
  EXPECT_EQ(valence, 6);
  ASSERT_TRUE(StartingState(sulfur, 3, 1, valence, charge));  // sulfoxide
  EXPECT_EQ(valence, 4);
  ASSERT_TRUE(StartingState(sulfur, 2, 0, valence, charge));  // thioether
  EXPECT_EQ(valence, 2);
  ASSERT_TRUE(StartingState(LookupElementChemistry("N"), 4, 0, valence, charge));  // ammonium
  EXPECT_EQ(charge, 1);
  ASSERT_TRUE(StartingState(LookupElementChemistry("B"), 4, 0, valence, charge));  // borate
  EXPECT_EQ(charge, -1);
  EXPECT_FALSE(StartingState(LookupElementChemistry("C"), 5, 0, valence, charge));
}

}  // namespace
}  // namespace tarvex
