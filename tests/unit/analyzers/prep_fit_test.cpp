#include "analyzers/prep_fit.h"

#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <random>
#include <set>

#include "../formats/amber_test_support.h"
#include "analyzers/prep_fit_matching.h"
#include "common/text.h"
#include "formats/amber_prep_file.h"
#include "formats/pdb_file.h"
#include "molecule/geometry.h"

namespace tarvex {
namespace {

using namespace amber_test;

// A molecule as the matcher reads it: names, element types and bonds
// (each bond given once by its atoms' names, stored both ways).
struct Graph {
  Graph() = default;
  std::vector<std::string> names;
  std::vector<std::string> types;
  BondMap bonds;
  Graph(const std::vector<std::pair<std::string, std::string>>& atoms,
        const std::vector<std::pair<std::string, std::string>>& pairs) {
    for (const auto& [name, type] : atoms) {
      names.push_back(name);
      types.push_back(type);
    }
    for (const auto& [a, b] : pairs) Bond(Index(a), Index(b));
  }
  Graph(std::vector<std::string> atom_types, const std::vector<std::pair<int, int>>& pairs)
      : types(std::move(atom_types)) {
    for (const auto& [a, b] : pairs) Bond(a, b);
  }
  int Index(const std::string& name) const {
    return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
  }
  void Bond(int a, int b) {
    bonds[a].push_back(b);
    bonds[b].push_back(a);
  }
  MatchSide Side() const { return {types, bonds, names.empty() ? nullptr : &names}; }
  // The same molecule with its atoms in another order: atom i of the
  // result is atom order[i] of this one (atoms not in `order` dropped).
  Graph Reordered(const std::vector<int>& order) const {
    Graph out;
    std::vector<int> place(types.size(), -1);
    for (size_t i = 0; i < order.size(); ++i) place[order[i]] = static_cast<int>(i);
    for (int i : order) {
      if (!names.empty()) out.names.push_back(names[i]);
      out.types.push_back(types[i]);
    }
    for (const auto& [a, list] : bonds) {
      for (int b : list) {
        if (place[a] >= 0 && place[b] >= 0) out.bonds[place[a]].push_back(place[b]);
      }
    }
    return out;
  }
  // Without the atoms of `type`.
  Graph Without(const std::string& type) const {
    std::vector<int> kept;
    for (size_t i = 0; i < types.size(); ++i) {
      if (types[i] != type) kept.push_back(static_cast<int>(i));
    }
    return Reordered(kept);
  }
};

MatchOptions Strict(const BondMap* stretched = nullptr) {
  MatchOptions options;
  options.strict = true;
  options.stretched = stretched;
  return options;
}

MatchOptions StepLimit(long long steps) {
  MatchOptions options;
  options.step_limit = steps;
  return options;
}

ResidueMatch Match(const Graph& target, const Graph& templ, const MatchOptions& options = {}) {
  ResidueMatch match;
  EXPECT_TRUE(MatchResidue(target.Side(), MatchTemplate(templ.Side()), options, match));
  return match;
}

// The template names the target's atoms get, in the target's order.
std::vector<std::string> NamesGiven(const Graph& target, const Graph& templ, const MatchOptions& options = {}) {
  const ResidueMatch match = Match(target, templ, options);
  std::vector<std::string> given;
  for (int p : match.correspondent) given.push_back(p < 0 ? "-" : templ.names[p]);
  return given;
}

std::vector<int> Shuffled(size_t count, std::mt19937& random) {
  std::vector<int> order(count);
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), random);
  return order;
}

// Ethanol: C0 C1 O2, then the hydrogens of C0 (3), C1 (2) and O2 (1).
const Graph kEthanol({"C", "C", "O", "H", "H", "H", "H", "H", "H"},
                     {{0, 1}, {1, 2}, {0, 3}, {0, 4}, {0, 5}, {1, 6}, {1, 7}, {2, 8}});

const Graph kSerine({{"N", "N"},
                     {"H", "H"},
                     {"CA", "C"},
                     {"HA", "H"},
                     {"CB", "C"},
                     {"HB2", "H"},
                     {"HB3", "H"},
                     {"OG", "O"},
                     {"HG", "H"},
                     {"C", "C"},
                     {"O", "O"}},
                    {{"N", "H"},
                     {"N", "CA"},
                     {"CA", "HA"},
                     {"CA", "CB"},
                     {"CB", "HB2"},
                     {"CB", "HB3"},
                     {"CB", "OG"},
                     {"OG", "HG"},
                     {"CA", "C"},
                     {"C", "O"}});

const Graph kTryptophan({{"N", "N"},   {"H", "H"},   {"CA", "C"},  {"HA", "H"},  {"CB", "C"},  {"HB2", "H"},
                         {"HB3", "H"}, {"CG", "C"},  {"CD1", "C"}, {"HD1", "H"}, {"NE1", "N"}, {"HE1", "H"},
                         {"CE2", "C"}, {"CZ2", "C"}, {"HZ2", "H"}, {"CH2", "C"}, {"HH2", "H"}, {"CZ3", "C"},
                         {"HZ3", "H"}, {"CE3", "C"}, {"HE3", "H"}, {"CD2", "C"}, {"C", "C"},   {"O", "O"}},
                        {{"N", "H"},     {"N", "CA"},    {"CA", "HA"},   {"CA", "CB"},   {"CB", "HB2"},
                         {"CB", "HB3"},  {"CB", "CG"},   {"CG", "CD1"},  {"CD1", "HD1"}, {"CD1", "NE1"},
                         {"NE1", "HE1"}, {"NE1", "CE2"}, {"CE2", "CZ2"}, {"CZ2", "HZ2"}, {"CZ2", "CH2"},
                         {"CH2", "HH2"}, {"CH2", "CZ3"}, {"CZ3", "HZ3"}, {"CZ3", "CE3"}, {"CE3", "HE3"},
                         {"CE3", "CD2"}, {"CD2", "CG"},  {"CD2", "CE2"}, {"CA", "C"},    {"C", "O"}});

// Guanine as in a nucleotide, N9 bonded to the sugar's C1'.
const Graph kGuanine({{"C1'", "C"},
                      {"N9", "N"},
                      {"C8", "C"},
                      {"H8", "H"},
                      {"N7", "N"},
                      {"C5", "C"},
                      {"C6", "C"},
                      {"O6", "O"},
                      {"N1", "N"},
                      {"H1", "H"},
                      {"C2", "C"},
                      {"N2", "N"},
                      {"H21", "H"},
                      {"H22", "H"},
                      {"N3", "N"},
                      {"C4", "C"}},
                     {{"C1'", "N9"},
                      {"N9", "C8"},
                      {"C8", "H8"},
                      {"C8", "N7"},
                      {"N7", "C5"},
                      {"C5", "C6"},
                      {"C6", "O6"},
                      {"C6", "N1"},
                      {"N1", "H1"},
                      {"N1", "C2"},
                      {"C2", "N2"},
                      {"N2", "H21"},
                      {"N2", "H22"},
                      {"C2", "N3"},
                      {"N3", "C4"},
                      {"C4", "C5"},
                      {"C4", "N9"}});

TEST(PrepfitMatching, MissingTemplateHydrogensAreExcused) {
  const Graph heavy({"O", "C", "C"}, {{0, 1}, {1, 2}});
  const ResidueMatch match = Match(heavy, kEthanol);
  EXPECT_EQ(match.correspondent, (std::vector<int>{2, 1, 0}));
  EXPECT_TRUE(match.excess_target.empty());
  EXPECT_EQ(match.excess_template, (std::vector<int>{3, 4, 5, 6, 7, 8}));
  EXPECT_FALSE(match.dummy_seen);
}

// A target atom never takes a template atom with fewer bonds: an extra
// heavy neighbour leaves every target atom over, and dummies stay out.
TEST(PrepfitMatching, ExtraBondsAndDummies) {
  const Graph branched({"C", "C", "O", "C"}, {{0, 1}, {1, 2}, {1, 3}});
  const Graph chain({"C", "C", "O"}, {{0, 1}, {1, 2}});
  const ResidueMatch match = Match(branched, chain);
  EXPECT_EQ(match.excess_target, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(match.correspondent, (std::vector<int>{-1, -1, -1, -1}));

  const Graph with_dummy({"C", "DU", "C", "O"}, {{0, 2}, {2, 3}});
  const ResidueMatch dummy = Match(with_dummy, chain);
  EXPECT_TRUE(dummy.dummy_seen);
  EXPECT_EQ(dummy.correspondent, (std::vector<int>{0, -1, 1, 2}));
  EXPECT_TRUE(dummy.excess_target.empty());
}

// Without names, equivalent atoms (a carboxylate's oxygens) take the
// template's atoms in template order, the first atom of the working order
// first.
TEST(PrepfitMatching, EquivalentAtomsWithoutNamesFollowTheWorkingOrder) {
  const Graph acetate({"C", "C", "O", "O"}, {{0, 1}, {1, 2}, {1, 3}});
  const Graph swapped({"O", "O", "C", "C"}, {{3, 2}, {2, 1}, {2, 0}});
  EXPECT_EQ(Match(acetate, acetate).correspondent, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(Match(swapped, acetate).correspondent, (std::vector<int>{2, 3, 1, 0}));
}

// Propane against 2-propanol: the middle carbon lacks a heavy neighbour, so
// only a partial map pairs the atoms; strict matching leaves them over.
TEST(PrepfitMatching, PartialMapsUnlessStrict) {
  const Graph propane({"C", "C", "C"}, {{0, 1}, {1, 2}});
  const Graph propanol({"C", "C", "C", "O"}, {{0, 1}, {1, 2}, {1, 3}});
  const ResidueMatch relaxed = Match(propane, propanol);
  EXPECT_EQ(relaxed.correspondent, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(relaxed.excess_template, (std::vector<int>{3}));
  const ResidueMatch strict = Match(propane, propanol, Strict());
  EXPECT_EQ(strict.excess_target, (std::vector<int>{0, 1, 2}));

  const Graph ion({"NA"}, {});
  EXPECT_EQ(Match(ion, ion, Strict()).correspondent, (std::vector<int>{0}));
}

// A serine without hydrogens: C and CB, O and OG look alike (each a carbon
// on CA with one oxygen), so only the names tell them apart; the greedy
// pairing gave the backbone's names to the side chain. Every order of the
// atoms keeps the names, and a tryptophan's ring atoms keep theirs too.
TEST(PrepfitMatching, NamesSettleEquivalentAtomsInEveryOrder) {
  std::mt19937 random(25);
  for (const Graph* residue : {&kSerine, &kTryptophan}) {
    const Graph heavy = residue->Without("H");
    for (int trial = 0; trial < 40; ++trial) {
      const Graph target = heavy.Reordered(Shuffled(heavy.types.size(), random));
      EXPECT_EQ(NamesGiven(target, *residue), target.names) << trial;
    }
  }
  // Names the template does not have leave the choice to the working order;
  // a name that fits wins over the order.
  Graph renamed = kSerine.Without("H");
  renamed.names = {"N1", "C1", "C2", "O1", "C3", "O2"};  // N CA CB OG C O
  EXPECT_EQ(NamesGiven(renamed, kSerine), (std::vector<std::string>{"N", "CA", "CB", "OG", "C", "O"}));
  renamed.names[4] = "CB";
  EXPECT_EQ(NamesGiven(renamed, kSerine), (std::vector<std::string>{"N", "CA", "C", "O", "CB", "OG"}));
}

// Structure alone places guanine's N2 (an amino group) and N3 (in the
// ring), whatever the order and without any names.
TEST(PrepfitMatching, GuanineWithoutHydrogensByStructureAlone) {
  std::mt19937 random(7);
  const Graph heavy = kGuanine.Without("H");
  for (int trial = 0; trial < 60; ++trial) {
    Graph target = heavy.Reordered(Shuffled(heavy.types.size(), random));
    const std::vector<std::string> names = target.names;
    target.names.clear();
    EXPECT_EQ(NamesGiven(target, kGuanine), names) << trial;
  }
}

// A complete molecule with all its hydrogens matches its own template in
// any order, each hydrogen on the right atom; the search stays short (a
// few assignments per atom, no blind backtracking).
TEST(PrepfitMatching, CompleteResiduesMatchInAnyOrderQuickly) {
  std::mt19937 random(3);
  for (const Graph* residue : {&kTryptophan, &kGuanine, &kSerine}) {
    for (int trial = 0; trial < 20; ++trial) {
      Graph target = residue->Reordered(Shuffled(residue->types.size(), random));
      const std::vector<std::string> names = target.names;
      target.names.clear();
      ResidueMatch match;
      const MatchOptions few_steps = StepLimit(4 * static_cast<long long>(names.size()));
      ASSERT_TRUE(MatchResidue(target.Side(), MatchTemplate(residue->Side()), few_steps, match));
      ASSERT_TRUE(match.excess_target.empty());
      EXPECT_TRUE(match.excess_template.empty());
      for (size_t t = 0; t < names.size(); ++t) {
        // Each atom lands on an atom of its kind: heavy atoms on their own
        // names, hydrogens on their own atom's hydrogens.
        const std::string& given = residue->names[match.correspondent[t]];
        const bool hydrogen = target.types[t] == "H";
        EXPECT_EQ(hydrogen ? given.substr(1, 1) : given, hydrogen ? names[t].substr(1, 1) : names[t]) << names[t];
      }
    }
  }
}

// A crystal structure's CA-CB at 1.77 angstrom is past the cut-off: with
// the pair given as stretched the residue still matches completely; without
// it only partially (CB on its own, CA one heavy neighbour short).
TEST(PrepfitMatching, StretchedBondsCompleteTheMap) {
  const Graph alanine({{"N", "N"}, {"CA", "C"}, {"CB", "C"}, {"C", "C"}, {"O", "O"}},
                      {{"N", "CA"}, {"CA", "C"}, {"C", "O"}});
  const Graph templ({{"N", "N"}, {"CA", "C"}, {"CB", "C"}, {"C", "C"}, {"O", "O"}},
                    {{"N", "CA"}, {"CA", "CB"}, {"CA", "C"}, {"C", "O"}});
  EXPECT_TRUE(Match(alanine, templ, Strict()).excess_target.size() == 5) << "no complete map";
  const BondMap stretched = {{1, {2}}, {2, {1}}};
  const ResidueMatch match = Match(alanine, templ, Strict(&stretched));
  EXPECT_EQ(match.correspondent, (std::vector<int>{0, 1, 2, 3, 4}));
  // A stretched pair the template does not bond stays unbonded.
  const BondMap wrong = {{0, {2}}, {2, {0}}};
  EXPECT_EQ(Match(alanine, templ, Strict(&wrong)).excess_target.size(), 5u);
}

// OXT has no place in a template of the chain's inside: it stays, the rest
// matches; a C-terminal template takes it. Atoms set aside (alternate
// locations) take no part and are not dummies.
TEST(PrepfitMatching, TerminalAtomsStayWhenTheTemplateHasNoPlace) {
  const Graph end({{"CA", "C"}, {"C", "C"}, {"O", "O"}, {"OXT", "O"}}, {{"CA", "C"}, {"C", "O"}, {"C", "OXT"}});
  const Graph inside({{"CA", "C"}, {"C", "C"}, {"O", "O"}}, {{"CA", "C"}, {"C", "O"}});
  MatchOptions options;
  options.may_stay = {0, 0, 0, 1};
  const ResidueMatch left = Match(end, inside, options);
  EXPECT_EQ(left.correspondent, (std::vector<int>{0, 1, 2, -1}));
  EXPECT_EQ(left.left_alone, (std::vector<int>{3}));
  EXPECT_TRUE(left.excess_target.empty());
  EXPECT_EQ(Match(end, inside).excess_target.size(), 4u) << "OXT must stay only when allowed";
  const ResidueMatch taken = Match(end, end, options);
  EXPECT_EQ(taken.correspondent, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_TRUE(taken.left_alone.empty());

  MatchOptions aside;
  aside.set_aside = {0, 0, 0, 1};
  const ResidueMatch without = Match(end, inside, aside);
  EXPECT_EQ(without.correspondent, (std::vector<int>{0, 1, 2, -1}));
  EXPECT_TRUE(without.left_alone.empty() && without.excess_target.empty() && !without.dummy_seen);
}

// A square lattice, which made the old pairing walk every path, is matched
// at once; past the step limit the search gives up and says so. Two
// different ladders of three-connected atoms (a prism and a Moebius strip,
// no atom to tell from the others) are found to have no map, and so is a
// residue with one group too many.
TEST(PrepfitMatching, SymmetricStructuresAndTheStepLimit) {
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
  ASSERT_TRUE(MatchResidue(lattice.Side(), MatchTemplate(lattice.Side()), StepLimit(1000), match));
  EXPECT_TRUE(match.excess_target.empty());
  EXPECT_FALSE(MatchResidue(lattice.Side(), MatchTemplate(lattice.Side()), StepLimit(10), match));

  auto ladder = [](int k, bool twisted) {
    std::vector<std::pair<int, int>> bonds;
    for (int i = 0; i < k; ++i) {
      bonds.emplace_back(i, i + k);
      if (i + 1 < k) {
        bonds.emplace_back(i, i + 1);
        bonds.emplace_back(i + k, i + k + 1);
      }
    }
    bonds.emplace_back(k - 1, twisted ? k : 0);
    bonds.emplace_back(2 * k - 1, twisted ? 0 : k);
    return Graph(std::vector<std::string>(static_cast<size_t>(2 * k), "C"), bonds);
  };
  ASSERT_TRUE(MatchResidue(ladder(20, true).Side(), MatchTemplate(ladder(20, false).Side()), StepLimit(20'000), match));
  EXPECT_EQ(match.excess_target.size(), 40u);
  ASSERT_TRUE(MatchResidue(ladder(20, true).Side(), MatchTemplate(ladder(20, true).Side()), StepLimit(20'000), match));
  EXPECT_TRUE(match.excess_target.empty());

  // Twelve carbonyl groups against eleven (and a lone C and O): no map,
  // found out before trying the 11! ways to place eleven of them.
  Graph twelve;
  Graph eleven;
  for (int k = 0; k < 12; ++k) {
    twelve.types.insert(twelve.types.end(), {"C", "O"});
    twelve.Bond(2 * k, 2 * k + 1);
    eleven.types.insert(eleven.types.end(), {"C", "O"});
    if (k < 11) eleven.Bond(2 * k, 2 * k + 1);
  }
  ASSERT_TRUE(MatchResidue(twelve.Side(), MatchTemplate(eleven.Side()), StepLimit(1000), match));
  EXPECT_EQ(match.excess_target.size(), 24u);
}

TEST(PrepfitOrder, DepthFirstFromTheStartAtom) {
  // 0-1-2 with 3 on 1 and 4 on 3; 5 is not connected.
  const BondMap bonds = {{0, {1}}, {1, {0, 2, 3}}, {2, {1}}, {3, {1, 4}}, {4, {3}}};
  EXPECT_EQ(DepthFirstOrder(bonds, 6, 0), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(DepthFirstOrder(bonds, 6, 4), (std::vector<int>{4, 3, 1, 0, 2}));
  const BondMap ring = {{0, {1, 3}}, {1, {0, 2}}, {2, {1, 3}}, {3, {2, 0}}};
  EXPECT_EQ(DepthFirstOrder(ring, 4, 0), (std::vector<int>{0, 1, 2, 3})) << "each atom once, as first reached";
}

// A copy of a PDB file in which every histidine carries the Amber name of
// its protonation (HID, HIE or HIP, by its HD1 and HE2), as Amber's
// libraries name histidines.
std::string WithAmberHistidines(const std::string& path) {
  const std::string text = ReadWhole(path);
  std::vector<std::string> lines;
  std::map<std::string, std::set<std::string>> names;  // chain and number -> atom names
  auto is_histidine = [](const std::string& line) {
    return (line.rfind("ATOM", 0) == 0 || line.rfind("HETATM", 0) == 0) && line.size() > 27 &&
           line.compare(17, 3, "HIS") == 0;
  };
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find('\n', at), text.size());
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
    if (is_histidine(lines.back()))
      names[lines.back().substr(21, 6)].insert(std::string(Trim(lines.back().substr(12, 4))));
  }
  std::string out;
  for (std::string& line : lines) {
    if (is_histidine(line)) {
      const std::set<std::string>& atoms = names[line.substr(21, 6)];
      const bool delta = atoms.count("HD1") > 0;
      const bool epsilon = atoms.count("HE2") > 0;
      line.replace(17, 3, delta && epsilon ? "HIP" : delta ? "HID" : "HIE");
    }
    out += line + "\n";
  }
  return WriteScratch("his_" + path.substr(path.rfind('/') + 1), out);
}

std::set<std::string> TemplateNames(const std::string& library) {
  std::set<std::string> names;
  CAmberPrepFile templates(library);
  for (templates.Read(0); templates.GetNumberOfAtoms() > 0; templates.Read(0)) {
    names.insert(std::string(Trim(templates.GetResidueName().front())));
  }
  return names;
}

// Every amino-acid residue of the corpus proteins (crystal structures with
// alternate locations, OXT and some hydrogens, an NMR entry with every
// hydrogen in the PDB's older names, MD snapshots with Amber's names)
// matches its template of all_amino94.in and keeps the name of every heavy
// atom. adk_open.pdb is left out: its CHARMM names start in column 13 with
// no element columns, and the PDB reader takes its CA for calcium.
TEST(PrepfitCorpus, EveryProteinResidueKeepsItsHeavyAtomNames) {
  SKIP_WITHOUT_CORPUS();
  const std::string library = CorpusPath("prep/all_amino94.in");
  const std::set<std::string> templates = TemplateNames(library);
  for (const char* file :
       {"1DRF.pdb", "1hvr.pdb", "4lzt.pdb", "1b2t.pdb", "1vii_3frames.pdb", "tz2.pdb", "native.pdb", "ash.pdb"}) {
    SCOPED_TRACE(file);
    const std::string input = WithAmberHistidines(CorpusPath(std::string("pdb/") + file));
    const std::string output = Scratch().Path("prepfit.pdb");
    const auto [out, err] =
        testing_files::RunAnalyzer<CPrepfit>({"prepfit", "-x", "-p", library, "-i", input, "-o", output});
    EXPECT_EQ(err, "");
    EXPECT_EQ(out.find("Excess of target"), std::string::npos);
    CPdbFile before(input);
    before.Read(0);
    CPdbFile after(output);
    after.Read(0);
    ASSERT_EQ(after.GetNumberOfAtoms(), before.GetNumberOfAtoms());
    int residues = 0;
    const std::vector<int>& heads = before.GetHeadAtomOfResidue();
    for (size_t r = 0; r + 1 < heads.size(); ++r) {
      residues += templates.count(std::string(Trim(before.GetResidueName()[heads[r]]))) > 0;
    }
    size_t reported = 0;
    for (size_t at = out.find("Residue data: "); at != std::string::npos; at = out.find("Residue data: ", at + 1)) {
      ++reported;
    }
    EXPECT_EQ(reported, static_cast<size_t>(residues));
    for (int i = 0; i < before.GetNumberOfAtoms(); ++i) {
      if (before.GetAtomType()[i] == "H") continue;
      EXPECT_EQ(Trim(after.GetAtomName()[i]), Trim(before.GetAtomName()[i]))
          << before.GetResidueName()[i] << " " << before.GetResidueIndex()[i];
    }
  }
}

}  // namespace
}  // namespace tarvex
