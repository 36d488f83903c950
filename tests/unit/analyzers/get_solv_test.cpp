#include "analyzers/get_solv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <random>

#include "../formats/pdb_test_files.h"
#include "../support/scratch_dir.h"

namespace tarvex {
namespace {

// A random solvated system: residues of one to four atoms, about half of
// them solvent, in a box; some atoms sit exactly on the radius (along an
// axis) of an earlier atom, some share positions.
struct RandomSystem {
  Frame points;
  std::vector<int> residue_of_atom;
  std::vector<int> head;
  std::vector<uint8_t> solvent;

  ShellSystem View() const {
    return {points.data(), static_cast<int>(points.size()),  residue_of_atom.data(),
            head.data(),   static_cast<int>(solvent.size()), solvent.data()};
  }
};

RandomSystem MakeSystem(std::mt19937& random, int residues, double box, double radius) {
  RandomSystem system;
  std::uniform_real_distribution<double> coordinate(-box / 2, box / 2);
  std::uniform_int_distribution<int> size(1, 4);
  std::uniform_int_distribution<int> choice(0, 9);
  for (int r = 0; r < residues; ++r) {
    system.head.push_back(static_cast<int>(system.points.size()));
    system.solvent.push_back(choice(random) < 5);
    for (int k = size(random); k > 0; --k) {
      Point p{coordinate(random), coordinate(random), coordinate(random)};
      if (!system.points.empty() && choice(random) == 0) {
        std::uniform_int_distribution<size_t> earlier(0, system.points.size() - 1);
        p = system.points[earlier(random)];
        p[static_cast<size_t>(choice(random) % 3)] += choice(random) < 5 ? radius : -radius;
      } else if (!system.points.empty() && choice(random) == 1) {
        p = system.points.back();
      }
      system.points.push_back(p);
      system.residue_of_atom.push_back(r);
    }
  }
  system.head.push_back(static_cast<int>(system.points.size()));
  return system;
}

std::vector<int> SortedUnique(std::vector<int> list) {
  std::sort(list.begin(), list.end());
  list.erase(std::unique(list.begin(), list.end()), list.end());
  return list;
}

// The pairwise loops, as the definition of the shell states them.
std::vector<int> BruteCandidates(const RandomSystem& s, const std::vector<int>& selected, double radius) {
  std::vector<int> out;
  for (int c : selected) {
    const Point& center = s.points[c];
    for (size_t j = 0; j < s.points.size(); ++j) {
      const Point& p = s.points[j];
      if (center[0] - radius <= p[0] && p[0] <= center[0] + radius && center[1] - radius <= p[1] &&
          p[1] <= center[1] + radius && center[2] - radius <= p[2] && p[2] <= center[2] + radius) {
        out.push_back(s.residue_of_atom[j]);
      }
    }
  }
  return SortedUnique(out);
}

double BruteDistance(const Point& a, const Point& b) {
  const double dx = a[0] - b[0];
  const double dy = a[1] - b[1];
  const double dz = a[2] - b[2];
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

std::vector<int> BruteWithin(const RandomSystem& s, const std::vector<int>& selected,
                             const std::vector<int>& candidates, double radius) {
  std::vector<int> out;
  for (int r : candidates) {
    if (!s.solvent[r]) continue;
    for (int k = s.head[r]; k < s.head[static_cast<size_t>(r) + 1]; ++k) {
      for (int c : selected) {
        if (BruteDistance(s.points[k], s.points[c]) <= radius) {
          out.push_back(r);
        }
      }
    }
  }
  return SortedUnique(out);
}

std::vector<int> BruteNearestFirst(const RandomSystem& s, const std::vector<int>& selected,
                                   const std::vector<int>& extracted, int count) {
  std::vector<std::pair<double, int>> ordered;
  for (int r : extracted) {
    double best = std::numeric_limits<double>::infinity();
    for (int k = s.head[r]; k < s.head[static_cast<size_t>(r) + 1]; ++k) {
      for (int c : selected) {
        const double d = BruteDistance(s.points[k], s.points[c]);
        if (d < best) best = d;
      }
    }
    auto before = std::find_if(ordered.begin(), ordered.end(), [&](const auto& entry) { return entry.first > best; });
    ordered.insert(before, {best, r});
  }
  std::vector<int> out;
  for (size_t i = 0; i < ordered.size() && i < static_cast<size_t>(count); ++i) out.push_back(ordered[i].second);
  return out;
}

// Returns how many residues were extracted, so that the trials can show
// they were not empty.
size_t ExpectSameAsPairwise(const RandomSystem& system, const std::vector<int>& selected, double radius, int count) {
  const ShellSystem view = system.View();
  const std::vector<int> candidates = FindCubeCandidates(view, selected, radius);
  EXPECT_EQ(candidates, BruteCandidates(system, selected, radius));
  const std::vector<int> within = FindSolventWithin(view, selected, candidates, radius);
  EXPECT_EQ(within, BruteWithin(system, selected, candidates, radius));
  EXPECT_EQ(OrderNearestFirst(view, selected, within, radius, count),
            BruteNearestFirst(system, selected, within, count));
  return within.size();
}

TEST(GetSolvShell, GridGivesThePairwiseResultOnRandomSystems) {
  std::mt19937 random(20240601);
  const double radii[] = {0.0, 0.75, 2.5, 3.0, 10.0, 40.0};
  int shells = 0;
  for (int trial = 0; trial < 60; ++trial) {
    const double radius = radii[trial % std::size(radii)];
    const double box = trial % 3 == 0 ? 8.0 : 30.0;
    RandomSystem system = MakeSystem(random, 30 + trial * 7, box, radius);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(system.points.size()) - 1);
    std::vector<int> selected;
    const int wanted = trial % 4 == 0 ? static_cast<int>(system.points.size()) / 2 : 1 + trial % 6;
    for (int i = 0; i < wanted; ++i) selected.push_back(pick(random));
    selected = SortedUnique(selected);
    SCOPED_TRACE("trial " + std::to_string(trial));
    if (ExpectSameAsPairwise(system, selected, radius, 1 + trial % 9) > 3) ++shells;
  }
  EXPECT_GT(shells, 30);
}

// A far-away atom stretches the grid (its cells are coarsened), an atom with
// coordinates that are not numbers matches nothing, and a selection with such
// an atom falls back to one cell.
TEST(GetSolvShell, StrayAndNonFiniteCoordinates) {
  std::mt19937 random(7);
  RandomSystem system = MakeSystem(random, 200, 20.0, 3.0);
  system.points[5] = {1e7, -1e7, 3e6};
  system.points[9] = {std::nan(""), 0.0, 0.0};
  system.points[11] = {std::numeric_limits<double>::infinity(), 0.0, 0.0};
  EXPECT_GT(ExpectSameAsPairwise(system, {5, 20, 30, 40}, 3.0, 5), 0u);
  ExpectSameAsPairwise(system, {9, 20, 30}, 3.0, 5);
  ExpectSameAsPairwise(system, {11, 20}, 3.0, 5);
  ExpectSameAsPairwise(system, {}, 3.0, 5);
}

// Exactly on the radius counts, along an axis for the cube and in distance;
// equal distances keep ascending residue order when the nearest come first.
TEST(GetSolvShell, BoundariesAndTies) {
  RandomSystem system;
  system.points = {{0, 0, 0}, {2.5, 0, 0}, {0, -2.5, 0}, {1.5, 2.0, 0}, {2.5000001, 0, 0}, {0, 0, 1}};
  system.residue_of_atom = {0, 1, 2, 3, 4, 5};
  system.head = {0, 1, 2, 3, 4, 5, 6};
  system.solvent = {0, 1, 1, 1, 1, 1};
  const ShellSystem view = system.View();
  const std::vector<int> selected = {0};
  const std::vector<int> candidates = FindCubeCandidates(view, selected, 2.5);
  EXPECT_EQ(candidates, (std::vector<int>{0, 1, 2, 3, 5}));
  const std::vector<int> within = FindSolventWithin(view, selected, candidates, 2.5);
  EXPECT_EQ(within, (std::vector<int>{1, 2, 3, 5}));
  EXPECT_EQ(OrderNearestFirst(view, selected, within, 2.5, 10), (std::vector<int>{5, 1, 2, 3}));
  EXPECT_EQ(OrderNearestFirst(view, selected, within, 2.5, 2), (std::vector<int>{5, 1}));
}

// Every PDB file of the corpus goes through the whole analyzer: the solute
// selected, a 5 angstrom shell, the nearest ten, and a file written.
TEST(GetSolvCorpus, EveryPdbFileRuns) {
  if (!testing_files::CorpusPresent()) GTEST_SKIP() << "corpus not found";
  const testing::ScratchDir dir;
  for (const std::string& input : testing_files::CorpusFiles("pdb")) {
    SCOPED_TRACE(input);
    const std::string name = std::filesystem::path(input).filename().string();
    const std::string output = dir.Path(name);
    const auto [out, err] =
        testing_files::RunAnalyzer<CGetSolv>({"getsolv", "-m", "-n", "10", "-r", "5", "-i", input, "-o", output});
    EXPECT_NE(out.find("Normal termination of getsolv."), std::string::npos);
    EXPECT_EQ(err, "");
    EXPECT_NE(dir.Read(name).find("END"), std::string::npos);
  }
}

}  // namespace
}  // namespace tarvex
