// Rings of a molecule graph, found in time linear in the atom count.
//
// A bond lies on a ring exactly when it is not a bridge (Tarjan's low-link
// numbers, computed without recursion so that long chains cannot exhaust the
// stack). The small rings are then found angle by angle: for an atom a and
// two of its ring neighbours b and c, the shortest path from b to c that
// avoids a closes the smallest ring through that angle. Every face of a
// fused ring system (naphthalene, indole, a fullerene, a graphite sheet) is
// such a ring; the breadth-first searches are bounded by the largest ring
// size asked for, so each costs a constant for atoms of chemical valence.
// A dense graph (bond lists that make hundreds of atoms neighbours of each
// other) has far more angles than atoms; the whole search is given a work
// budget linear in the size of the graph (and room for four rings per atom)
// and stops when either is spent, with the rings found so far.
#pragma once

#include <vector>

namespace tarvex {

struct RingSet {
  // Per edge of the compressed adjacency: 1 when the bond lies on a ring.
  std::vector<char> cyclic_edge;
  // The distinct small rings, each as its atoms in ring order.
  std::vector<std::vector<int>> rings;
  // The work budget ran out: rings may be missing.
  bool cut_short = false;
};

RingSet FindSmallRings(const std::vector<int>& offsets, const std::vector<int>& targets, int max_size);

}  // namespace tarvex
