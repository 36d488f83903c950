// Neighbour lists in compressed form, the shape every graph of the chemistry
// takes (the molecule's bonds, the open bonds of the pi matching).
#pragma once

#include <span>
#include <vector>

namespace tarvex {

// The edge indices of one node, first to last - 1.
struct EdgeRange {
  struct Iterator {
    int edge;
    int operator*() const { return edge; }
    Iterator& operator++() {
      ++edge;
      return *this;
    }
    bool operator!=(const Iterator& other) const { return edge != other.edge; }
  };
  int first = 0;
  int last = 0;
  Iterator begin() const { return {first}; }
  Iterator end() const { return {last}; }
};

// Neighbour lists in compressed form, read in place: the neighbours of node
// a are targets[offsets[a] .. offsets[a+1]), and the position of a neighbour
// in `targets` is the index of that edge, which per-edge lists (bond orders,
// ring flags) share. A bond stands once in the list of each of its atoms.
//
//   for (int b : graph.Neighbours(a))  the neighbours
//   for (int k : graph.Edges(a))       the edges, for per-edge lists; the
//                                      neighbour is graph.Target(k)
//
// A view holds the two lists' data, which must outlive it and stay unchanged.
class AdjacencyView {
 public:
  AdjacencyView(const std::vector<int>& offsets, const std::vector<int>& targets)
      : offsets_(offsets.data()),
        targets_(targets.data()),
        node_count_(offsets.empty() ? 0 : static_cast<int>(offsets.size()) - 1) {}

  int NodeCount() const { return node_count_; }
  int Degree(int a) const { return offsets_[a + 1] - offsets_[a]; }
  std::span<const int> Neighbours(int a) const { return {targets_ + offsets_[a], targets_ + offsets_[a + 1]}; }
  EdgeRange Edges(int a) const { return {offsets_[a], offsets_[a + 1]}; }
  int Target(int edge) const { return targets_[edge]; }
  // The position of b in a's neighbour list (an edge index), or -1.
  int EdgeIndex(int a, int b) const {
    for (int k : Edges(a)) {
      if (targets_[k] == b) return k;
    }
    return -1;
  }

 private:
  const int* offsets_;
  const int* targets_;
  int node_count_;
};

}  // namespace tarvex
