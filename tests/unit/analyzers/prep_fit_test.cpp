#include "analyzers/prep_fit.h"

#include <gtest/gtest.h>

#include "../formats/amber_test_support.h"
#include "analyzers/prep_fit_matching.h"
#include "common/text.h"
#include "formats/pdb_file.h"
#include "molecule/geometry.h"

namespace tarvex {
namespace {

using namespace amber_test;

// A molecule as the matcher reads it: element types and bonds (each bond
// given once, stored both ways).
struct Graph {
  std::vector<std::string> types;
  BondMap bonds;
  Graph(std::vector<std::string> atom_types, const std::vector<std::pair<int, int>>& pairs)
      : types(std::move(atom_types)) {
    for (const auto& [a, b] : pairs) {
      bonds[a].push_back(b);
      bonds[b].push_back(a);
    }
  }
  MatchSide Side() const { return {types, bonds}; }
};

ResidueMatch Match(const Graph& target, const Graph& templ, bool strict = false) {
  ResidueMatch match;
  EXPECT_TRUE(MatchResidue(target.Side(), templ.Side(), strict, match));
  return match;
}

// Ethanol: C0 C1 O2, then the hydrogens of C0 (3), C1 (2) and O2 (1).
const Graph kEthanol({"C", "C", "O", "H", "H", "H", "H", "H", "H"},
                     {{0, 1}, {1, 2}, {0, 3}, {0, 4}, {0, 5}, {1, 6}, {1, 7}, {2, 8}});

TEST(PrepfitMatching, MissingTemplateHydrogensAreExcused) {
  const Graph heavy({"O", "C", "C"}, {{0, 1}, {1, 2}});
  const ResidueMatch match = Match(heavy, kEthanol);
  EXPECT_EQ(match.correspondent, (std::vector<int>{2, 1, 0}));
  EXPECT_TRUE(match.excess_target.empty());
  EXPECT_EQ(match.excess_template, (std::vector<int>{3, 4, 5, 6, 7, 8}));
  EXPECT_FALSE(match.dummy_seen);
}

// A target atom never takes a template atom with fewer bonds: an extra
// heavy neighbour leaves the target atoms over, and dummies stay out.
TEST(PrepfitMatching, ExtraBondsAndDummies) {
  const Graph branched({"C", "C", "O", "C"}, {{0, 1}, {1, 2}, {1, 3}});
  const Graph chain({"C", "C", "O"}, {{0, 1}, {1, 2}});
  const ResidueMatch match = Match(branched, chain);
  EXPECT_FALSE(match.excess_target.empty());

  const Graph with_dummy({"C", "DU", "C", "O"}, {{0, 2}, {2, 3}});
  const ResidueMatch dummy = Match(with_dummy, chain);
  EXPECT_TRUE(dummy.dummy_seen);
  EXPECT_EQ(dummy.correspondent, (std::vector<int>{0, -1, 1, 2}));
  EXPECT_TRUE(dummy.excess_target.empty());
}

// Equivalent atoms (a carboxylate's oxygens) go in the order they are tried.
TEST(PrepfitMatching, EquivalentAtomsFollowTheTrialOrder) {
  const Graph acetate({"C", "C", "O", "O"}, {{0, 1}, {1, 2}, {1, 3}});
  const Graph swapped({"O", "O", "C", "C"}, {{3, 2}, {2, 1}, {2, 0}});
  EXPECT_EQ(Match(acetate, acetate).correspondent, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(Match(swapped, acetate).correspondent, (std::vector<int>{2, 3, 1, 0}));
}

// Propane against 2-propanol: the middle carbon lacks a heavy neighbour, so
// only the relaxed pass pairs the atoms; strict matching leaves them over.
TEST(PrepfitMatching, RelaxedPassUnlessStrict) {
  const Graph propane({"C", "C", "C"}, {{0, 1}, {1, 2}});
  const Graph propanol({"C", "C", "C", "O"}, {{0, 1}, {1, 2}, {1, 3}});
  const ResidueMatch relaxed = Match(propane, propanol);
  EXPECT_EQ(relaxed.correspondent, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(relaxed.excess_template, (std::vector<int>{3}));
  const ResidueMatch strict = Match(propane, propanol, true);
  EXPECT_EQ(strict.excess_target, (std::vector<int>{0, 1, 2}));

  const Graph ion({"NA"}, {});
  EXPECT_EQ(Match(ion, ion, true).correspondent, (std::vector<int>{0})) << "a lone atom needs no second pass";
}

// Every path through a square lattice is walked; past the step limit the
// residue is given up instead of taking hours.
TEST(PrepfitMatching, ManyPathsReachTheStepLimit) {
  std::vector<std::pair<int, int>> pairs;
  const int side = 9;
  for (int r = 0; r < side; ++r) {
    for (int c = 0; c < side; ++c) {
      if (c + 1 < side) pairs.emplace_back(r * side + c, r * side + c + 1);
      if (r + 1 < side) pairs.emplace_back(r * side + c, (r + 1) * side + c);
    }
  }
  const Graph lattice(std::vector<std::string>(side * side, "C"), pairs);
  ResidueMatch match;
  EXPECT_FALSE(MatchResidue(lattice.Side(), lattice.Side(), false, match, 100'000));
  const Graph chain(std::vector<std::string>(side, "C"),
                    std::vector<std::pair<int, int>>(pairs.begin(), pairs.begin() + side - 1));
  EXPECT_TRUE(MatchResidue(chain.Side(), chain.Side(), false, match, 100'000)) << "a chain is cheap";
}

TEST(PrepfitOrder, DepthFirstFromTheStartAtom) {
  // 0-1-2 with 3 on 1 and 4 on 3; 5 is not connected.
  const BondMap bonds = {{0, {1}}, {1, {0, 2, 3}}, {2, {1}}, {3, {1, 4}}, {4, {3}}};
  EXPECT_EQ(DepthFirstOrder(bonds, 6, 0), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(DepthFirstOrder(bonds, 6, 4), (std::vector<int>{4, 3, 1, 0, 2}));
  const BondMap ring = {{0, {1, 3}}, {1, {0, 2}}, {2, {1, 3}}, {3, {2, 0}}};
  EXPECT_EQ(DepthFirstOrder(ring, 4, 0), (std::vector<int>{0, 1, 2, 3})) << "each atom once, as first reached";
}

// Every residue of the corpus peptides with Amber names (the N-terminal
// residue of tz2 apart, which all_amino94.in has no template for) matches
// its template and keeps its names: hydrogens written "1HB2" or "HB21" are
// the same name.
TEST(PrepfitCorpus, AmberPeptidesKeepTheirNames) {
  SKIP_WITHOUT_CORPUS();
  const std::string library = CorpusPath("prep/all_amino94.in");
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"pdb/ash.pdb", {}},
      {"pdb/tz2.pdb", {"-t", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13"}},
  };
  for (const auto& [file, selection] : cases) {
    SCOPED_TRACE(file);
    const std::string output = Scratch().Path("prepfit.pdb");
    std::vector<std::string> words = {"prepfit", "-p", library, "-i", CorpusPath(file), "-o", output};
    words.insert(words.end(), selection.begin(), selection.end());
    const auto [out, err] = testing_files::RunAnalyzer<CPrepfit>(words);
    EXPECT_EQ(err, "");
    EXPECT_EQ(out.find("Excess"), std::string::npos);
    CPdbFile before(CorpusPath(file));
    before.Read(0);
    CPdbFile after(output);
    after.Read(0);
    ASSERT_EQ(after.GetNumberOfAtoms(), before.GetNumberOfAtoms());
    auto written = [](std::string name) {
      if (IsDigit(name[0])) name = name.substr(1) + name[0];  // "2HB " is HB2, "1HB2" HB21
      name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
      return name;
    };
    for (size_t i = 0; i < after.GetCartesian().size(); ++i) {
      const Frame& points = before.GetCartesian();
      const size_t j = static_cast<size_t>(
          std::find_if(points.begin(), points.end(),
                       [&](const Point& p) { return SquaredDistance(p, after.GetCartesian()[i]) < 1e-6; }) -
          points.begin());
      ASSERT_LT(j, points.size());
      EXPECT_EQ(written(after.GetAtomName()[i]), written(before.GetAtomName()[j])) << i;
    }
  }
}

}  // namespace
}  // namespace tarvex
