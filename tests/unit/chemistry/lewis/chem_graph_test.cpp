// The chemistry graph and its neighbour view: the record's bond lists as the
// chemistry reads them (symmetric, sorted, clean), and the edge positions
// that per-edge lists share.
#include "chemistry/lewis/chem_graph.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvex {
namespace {

std::vector<int> AsVector(std::span<const int> span) { return {span.begin(), span.end()}; }

// A one-sided bond (0-1 listed by 0 only), a bond listed twice (1-2), a bond
// to the atom itself and to atoms that do not exist, and a lone atom (4).
TEST(ChemGraph, NeighbourListsAreSymmetricAndClean) {
  BondMap bonds;
  bonds[0] = {1, 0, 7, -1};
  bonds[1] = {2, 2};
  bonds[2] = {1, 3};
  bonds[3] = {2};
  const ChemGraph graph = BuildChemGraph(5, bonds, {"C", "C", "O", "H", "NA"});
  EXPECT_EQ(AsVector(graph.Neighbours(0)), (std::vector<int>{1}));
  EXPECT_EQ(AsVector(graph.Neighbours(1)), (std::vector<int>{0, 2}));
  EXPECT_EQ(AsVector(graph.Neighbours(2)), (std::vector<int>{1, 3}));
  EXPECT_EQ(AsVector(graph.Neighbours(3)), (std::vector<int>{2}));
  EXPECT_TRUE(graph.Neighbours(4).empty());
  EXPECT_EQ(graph.Degree(4), 0);
  int edges_of_lone_atom = 0;
  for (int k : graph.Edges(4)) edges_of_lone_atom += k >= 0 ? 1 : 0;
  EXPECT_EQ(edges_of_lone_atom, 0);

  // Every edge index names its neighbour, and each bond stands once from
  // each side: 3 bonds, 6 edges, each found again by EdgeIndex.
  int edges = 0;
  for (int a = 0; a < graph.atom_count; ++a) {
    size_t position = 0;
    for (int k : graph.Edges(a)) {
      const int b = graph.Target(k);
      EXPECT_EQ(b, graph.Neighbours(a)[position++]);
      EXPECT_EQ(graph.EdgeIndex(a, b), k);
      EXPECT_GE(graph.EdgeIndex(b, a), 0);
      ++edges;
    }
  }
  EXPECT_EQ(edges, 6);
  EXPECT_EQ(graph.EdgeIndex(0, 3), -1);
  EXPECT_EQ(graph.EdgeIndex(4, 0), -1);

  // Atoms of one type share their element entry.
  EXPECT_EQ(graph.element_of[0], graph.element_of[1]);
  EXPECT_EQ(graph.AtomicNumber(2), 8);
  EXPECT_EQ(graph.Element(4).kind, ElementKind::kMetal);
}

// The view reads any pair of compressed lists in place, the pi matching's
// open bonds among them; no lists at all is a graph without nodes.
TEST(ChemGraph, ViewOfPlainLists) {
  const std::vector<int> offsets{0, 2, 3, 3};
  const std::vector<int> targets{1, 2, 0};
  const AdjacencyView view(offsets, targets);
  EXPECT_EQ(view.NodeCount(), 3);
  EXPECT_EQ(view.Degree(0), 2);
  EXPECT_EQ(AsVector(view.Neighbours(1)), (std::vector<int>{0}));
  EXPECT_EQ(view.Edges(2).first, view.Edges(2).last);
  EXPECT_EQ(view.EdgeIndex(0, 2), 1);
  const std::vector<int> none;
  EXPECT_EQ(AdjacencyView(none, none).NodeCount(), 0);
}

}  // namespace
}  // namespace tarvex
