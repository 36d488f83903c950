#include "chemistry/environment_patterns.h"

#include <gtest/gtest.h>

#include <random>

#include "common/console.h"
#include "formats/mol2_file.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

// A small molecule for the matcher: element labels and bonds.
struct Graph {
  std::vector<std::string> labels;
  BondMap bonds;
  void Bond(int a, int b) {
    bonds[a].push_back(b);
    bonds[b].push_back(a);
  }
};

// Formaldehyde: C0 bonded to O1, H2, H3.
Graph Formaldehyde() {
  Graph g{{"C", "O", "H", "H"}, {}};
  g.Bond(0, 1);
  g.Bond(0, 2);
  g.Bond(0, 3);
  return g;
}

bool Match(const Graph& g, int atom, const std::string& pattern, int first = 0) {
  const bool literal = MatchEnvironment(g.labels, g.bonds, atom, pattern, first);
  const bool compiled = CompiledPattern(pattern).Match(g.labels, g.bonds, atom, static_cast<size_t>(first));
  EXPECT_EQ(literal, compiled) << pattern << " on atom " << atom;
  return literal;
}

TEST(EnvironmentPatterns, Scanners) {
  EXPECT_EQ(SplitPattern("(3C(O,*,*),3C(!H,!H,!H),3C(O,4C(C,N,H,*),*))"),
            (std::vector<std::string>{"3C(O,*,*)", "3C(!H,!H,!H)", "3C(O,4C(C,N,H,*),*)"}));
  EXPECT_EQ(SplitPattern("4C(C,N,H,*)"), (std::vector<std::string>{"C", "N", "H", "*"}));
  EXPECT_EQ(SplitPattern("(1O(3N(1O,1O,1O)))"), (std::vector<std::string>{"1O(3N(1O,1O,1O))"}));
  EXPECT_TRUE(SplitPattern("C").empty());
  EXPECT_TRUE(SplitPattern("()").empty());
  EXPECT_EQ(TermSymbol("3C(H,*,*)"), "C");
  EXPECT_EQ(TermSymbol("!H"), "H");
  EXPECT_EQ(TermSymbol("6FE"), "FE");
  EXPECT_EQ(TermSymbol("*"), "*");
  EXPECT_EQ(TermCount("3C(H,*,*)"), 3);
  EXPECT_EQ(TermCount("C"), -1);
  EXPECT_EQ(TermCount("!H"), -1);
}

// The edge cases of the notation, each checked on both matchers.
TEST(EnvironmentPatterns, NotationCases) {
  Graph f = Formaldehyde();
  EXPECT_TRUE(Match(f, 0, "(3C(H,*,*))"));
  EXPECT_TRUE(Match(f, 0, "(3C(O,*,*),3C(!H,!H,!H),3C(O,4C(C,N,H,*),*))"));
  EXPECT_FALSE(Match(f, 0, "(4C(H,H,!H,!H))"));
  EXPECT_TRUE(Match(f, 1, "(O)"));
  EXPECT_FALSE(Match(f, 1, "(2O)"));
  EXPECT_TRUE(Match(f, 1, "(1O)"));
  EXPECT_FALSE(Match(f, 0, "(S,P)"));
  EXPECT_TRUE(Match(f, 0, "(*)"));
  EXPECT_TRUE(Match(f, 1, "(1O(3C(O,H,H)))"));  // the item list includes the atom we came from

  // A lone atom: only the symbol and a count of 0 can match.
  Graph lone{{"ZN"}, {}};
  EXPECT_TRUE(Match(lone, 0, "(*)"));
  EXPECT_TRUE(Match(lone, 0, "(ZN)"));
  EXPECT_FALSE(Match(lone, 0, "(6ZN)"));
  EXPECT_TRUE(Match(lone, 0, "(0ZN)"));
  EXPECT_TRUE(Match(lone, 0, "(!C)"));

  // A two-connected nitrogen: as one pattern the first head (N) decides on
  // its count; one alternative at a time, the later ones can match.
  Graph amine{{"N", "H", "C", "C", "N", "H"}, {}};
  amine.Bond(0, 1);
  amine.Bond(0, 2);
  amine.Bond(2, 3);
  amine.Bond(2, 4);
  amine.Bond(2, 5);
  const std::string three = "(3N(*,!H,!H),2N(H,4C(C,N,H,*)),2N(4C(C,N,H,H),4C(C,N,H,*)))";
  EXPECT_FALSE(Match(amine, 0, three));
  EXPECT_TRUE(Match(amine, 0, three, 1));
  EXPECT_TRUE(Match(amine, 0, "(2N(H,4C(C,N,H,*)))"));
}

// Items match in every order of the neighbours: a CH2 carbon whose bond
// list starts with its heavy neighbours still matches H,H,!H,!H.
TEST(EnvironmentPatterns, EveryOrderOfNeighbours) {
  Graph g{{"C", "C", "O", "H", "H"}, {}};
  g.Bond(0, 1);
  g.Bond(0, 2);
  g.Bond(0, 3);
  g.Bond(0, 4);
  EXPECT_TRUE(Match(g, 0, "(4C(H,H,!H,!H))"));
  EXPECT_TRUE(Match(g, 0, "(4C(!H,H,!H,H))"));
  EXPECT_FALSE(Match(g, 0, "(4C(H,H,H,!H))"));
}

// "1*" and "2*(...)" hold for a neighbour of any element with that many
// neighbours (and those items); the bare "*" for any neighbour at all.
TEST(EnvironmentPatterns, WildcardItemsWithCounts) {
  Graph f = Formaldehyde();  // C0 (O1, H2, H3)
  EXPECT_TRUE(Match(f, 0, "(3C(1*,1*,1*))"));
  EXPECT_TRUE(Match(f, 0, "(3C(1*,*,H))"));
  EXPECT_FALSE(Match(f, 0, "(3C(2*,*,*))"));
  EXPECT_TRUE(Match(f, 1, "(1O(3*(O,H,H)))"));
  EXPECT_FALSE(Match(f, 1, "(1O(3*(O,O,H)))"));
}

// A hostile nesting neither recurses nor copies once per level without
// bound: the item lists below the deepest level are left out.
TEST(EnvironmentPatterns, DeepNestingIsBounded) {
  std::string deep;
  for (int k = 0; k < 50000; ++k) deep += "(1C";
  deep += std::string(50000, ')');
  EXPECT_EQ(PatternDepth(deep), 50000);
  EXPECT_EQ(PatternDepth("(3C(1O,1O,*))"), 2);
  EXPECT_EQ(PatternDepth("C)"), 0);
  Graph f = Formaldehyde();
  const CompiledPattern pattern(deep);
  EXPECT_EQ(pattern.AlternativeCount(), 1u);
  EXPECT_FALSE(pattern.Match(f.labels, f.bonds, 0));
}

TEST(EnvironmentPatterns, EmptyPatternMatchesAndSaysSo) {
  Graph f = Formaldehyde();
  ConsoleCapture capture;
  EXPECT_TRUE(MatchEnvironment(f.labels, f.bonds, 0, "()"));
  EXPECT_TRUE(CompiledPattern("").Match(f.labels, f.bonds, 0));
  EXPECT_EQ(capture.Err(), "parm_list empty\nparm_list empty\n");
}

// The compiled matcher searches assignments instead of listing orderings:
// on random graphs and every pattern of the system it answers as the
// literal reading does.
TEST(EnvironmentPatterns, CompiledAgreesWithLiteralReading) {
  std::vector<std::string> patterns;
  for (const TypingRow& row : kTypingRows) {
    for (const std::string& alternative : SplitPattern(row.patterns)) patterns.push_back("(" + alternative + ")");
    patterns.emplace_back(row.patterns);
  }
  for (const char* p : {"(3C(3N,3N,1S))", "(3C(3N,3N,1O))", "(3C(3N,3N,2N))", "(2N(1C,*))", "(3C(1O,1O,*))",
                        "(3C(1O,2O(C,H),*))", "(3N(1O,1O,1O))", "(3N(1O,1O,*))", "(2N(2C,*))", "(2N(1N,2N))",
                        "(2N(1N,*))", "(1O(3N(1O,1O,1O)))", "(1O(3N(O,O,*)))", "(4C(H,H,!H,!H))", "(!C)"}) {
    patterns.emplace_back(p);
  }
  std::mt19937 random(11);
  const std::vector<std::string> elements{"C", "C", "C", "N", "N", "O", "O", "H", "H", "S", "P"};
  for (int trial = 0; trial < 300; ++trial) {
    Graph g;
    const int n = 4 + static_cast<int>(random() % 9);
    for (int a = 0; a < n; ++a) g.labels.push_back(elements[random() % elements.size()]);
    for (int a = 1; a < n; ++a) g.Bond(a, static_cast<int>(random() % static_cast<unsigned>(a)));
    for (int extra = static_cast<int>(random() % 3); extra > 0; --extra) {
      int a = static_cast<int>(random() % static_cast<unsigned>(n));
      int b = static_cast<int>(random() % static_cast<unsigned>(n));
      if (a != b) g.Bond(a, b);
    }
    for (int a = 0; a < n; ++a) {
      for (const std::string& pattern : patterns) {
        ASSERT_EQ(MatchEnvironment(g.labels, g.bonds, a, pattern), CompiledPattern(pattern).Match(g.labels, g.bonds, a))
            << pattern << " atom " << a << " trial " << trial;
      }
    }
  }
}

// The record's MatchPattern reads its snapshot (atom types and bonds).
TEST(EnvironmentPatterns, RecordMatchesOnItsSnapshot) {
  CMol2File record;
  record.SetNumberOfAtoms(4);
  record.SetAtomType({"C", "O", "H", "H"});
  record.SetAtomIndex({1, 2, 3, 4});
  record.SetConnection({{0, {1, 2, 3}}, {1, {0}}, {2, {0}}, {3, {0}}});
  record.GetSnapshot().atom_types = record.GetAtomType();
  EXPECT_TRUE(record.MatchPattern(0, "(3C(O,H,H))"));
  EXPECT_FALSE(record.MatchPattern(0, "(4C)"));
  EXPECT_TRUE(record.MatchPattern(0, "(4C,3C)", 1));
}

}  // namespace
}  // namespace tarvex
