#include "chemistry/lewis/ring_perception.h"

#include <algorithm>
#include <set>

#include "chemistry/lewis/adjacency.h"

namespace tarvex {
namespace {

// Bridges by Tarjan's low-link numbers, with an explicit stack.
std::vector<char> CyclicEdges(const AdjacencyView& graph, size_t edge_count) {
  const int n = graph.NodeCount();
  std::vector<char> cyclic(edge_count, 1);
  std::vector<int> order(static_cast<size_t>(n), -1);
  std::vector<int> low(static_cast<size_t>(n), 0);
  struct Frame {
    int atom;
    int parent_edge;  // the edge index (in the parent's list) we came along, -1 at a root
    int next;         // the next edge of `atom` to look at
  };
  std::vector<Frame> stack;
  int counter = 0;
  auto mark_bridge = [&](int a, int b) {
    for (int k : graph.Edges(a)) {
      if (graph.Target(k) == b) cyclic[k] = 0;
    }
    for (int k : graph.Edges(b)) {
      if (graph.Target(k) == a) cyclic[k] = 0;
    }
  };
  for (int root = 0; root < n; ++root) {
    if (order[root] >= 0) continue;
    order[root] = low[root] = counter++;
    stack.push_back({root, -1, graph.Edges(root).first});
    while (!stack.empty()) {
      Frame& frame = stack.back();
      const size_t a = static_cast<size_t>(frame.atom);
      if (frame.next < graph.Edges(frame.atom).last) {
        const int k = frame.next++;
        const int b = graph.Target(k);
        // Skip the edge back to the parent (once: neighbour lists hold no duplicates).
        if (frame.parent_edge >= 0 && stack.size() >= 2 && b == stack[stack.size() - 2].atom) continue;
        if (order[b] < 0) {
          order[b] = low[b] = counter++;
          stack.push_back({b, k, graph.Edges(b).first});
        } else {
          low[a] = std::min(low[a], order[b]);
        }
        continue;
      }
      const int child = frame.atom;
      stack.pop_back();
      if (stack.empty()) break;
      const int parent = stack.back().atom;
      low[parent] = std::min(low[parent], low[child]);
      if (low[child] > order[parent]) mark_bridge(parent, child);
    }
  }
  return cyclic;
}

}  // namespace

RingSet FindSmallRings(const std::vector<int>& offsets, const std::vector<int>& targets, int max_size) {
  RingSet result;
  const AdjacencyView graph(offsets, targets);
  result.cyclic_edge = CyclicEdges(graph, targets.size());
  const int n = graph.NodeCount();
  std::vector<int> distance(static_cast<size_t>(n), -1);
  std::vector<int> previous(static_cast<size_t>(n), -1);
  std::vector<int> touched;
  std::vector<int> queue;
  std::vector<int> ring_neighbours;
  std::set<std::vector<int>> seen;
  const int max_path = max_size - 2;  // bonds on the path from b to c
  // Bonds looked at by the searches, one more per angle, allowed as the
  // search goes: each atom adds an allowance for itself and its bonds
  // before its angles are searched. A molecule of chemical valence finds
  // each ring within a few bonds (a graphite sheet looks at about 35 per
  // atom and bond, a fullerene 28, a protein under 25); a graph of random
  // bonds, where short rings are rare, would search whole regions from
  // every angle, and spends the allowance within its first atoms.
  constexpr long kAllowancePerItem = 128;
  long budget = long{1} << 16;
  // And the rings kept: a fused polycycle has fewer rings than atoms (a
  // fullerene about half as many, a borane icosahedron with its hydrogens
  // under one per atom).
  const size_t most_rings = 4 * static_cast<size_t>(n) + 64;
  for (int a = 0; a < n && !result.cut_short; ++a) {
    budget += kAllowancePerItem * (1 + graph.Degree(a));
    ring_neighbours.clear();
    for (int k : graph.Edges(a)) {
      if (result.cyclic_edge[k]) ring_neighbours.push_back(graph.Target(k));
    }
    for (size_t i = 0; i < ring_neighbours.size() && !result.cut_short; ++i) {
      for (size_t j = i + 1; j < ring_neighbours.size() && !result.cut_short; ++j) {
        const int b = ring_neighbours[i];
        const int c = ring_neighbours[j];
        // Breadth-first from b toward c over ring bonds, never through a.
        queue.assign(1, b);
        distance[b] = 0;
        touched.assign(1, b);
        bool reached = false;
        for (size_t head = 0; head < queue.size() && !reached && !result.cut_short; ++head) {
          const int v = queue[head];
          if (distance[v] >= max_path) break;
          budget -= graph.Degree(v) + 1;
          result.cut_short = budget < 0;
          for (int k : graph.Edges(v)) {
            const int w = graph.Target(k);
            if (!result.cyclic_edge[k] || w == a || distance[w] >= 0) continue;
            distance[w] = distance[v] + 1;
            previous[w] = v;
            touched.push_back(w);
            if (w == c) {
              reached = true;
              break;
            }
            queue.push_back(w);
          }
        }
        if (reached && !result.cut_short) {
          std::vector<int> ring{a};
          for (int v = c; v != b; v = previous[v]) ring.push_back(v);
          ring.push_back(b);
          std::vector<int> key = ring;
          std::sort(key.begin(), key.end());
          if (seen.insert(std::move(key)).second) result.rings.push_back(std::move(ring));
          result.cut_short = result.rings.size() >= most_rings;
        }
        for (int v : touched) distance[v] = -1;
      }
    }
  }
  return result;
}

}  // namespace tarvex
