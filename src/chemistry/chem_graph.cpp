#include "chemistry/chem_graph.h"

#include <algorithm>
#include <unordered_map>

namespace tarvex {

int ChemGraph::EdgeIndex(int a, int b) const {
  for (int k = offsets[static_cast<size_t>(a)]; k < offsets[static_cast<size_t>(a) + 1]; ++k) {
    if (targets[static_cast<size_t>(k)] == b) return k;
  }
  return -1;
}

ChemGraph BuildChemGraph(int atom_count, const BondMap& bonds, const std::vector<std::string>& types) {
  ChemGraph graph;
  const int n = std::max(atom_count, 0);
  graph.atom_count = n;
  // Count each side of every valid bond, then fill, then drop duplicates.
  std::vector<int> count(static_cast<size_t>(n) + 1, 0);
  auto valid = [n](int a, int b) { return a >= 0 && a < n && b >= 0 && b < n && a != b; };
  for (auto [atom, list] : bonds) {
    for (int other : list) {
      if (!valid(atom, other)) continue;
      ++count[static_cast<size_t>(atom)];
      ++count[static_cast<size_t>(other)];
    }
  }
  std::vector<int> start(static_cast<size_t>(n) + 1, 0);
  for (int a = 0; a < n; ++a) start[static_cast<size_t>(a) + 1] = start[static_cast<size_t>(a)] + count[static_cast<size_t>(a)];
  std::vector<int> raw(static_cast<size_t>(start[static_cast<size_t>(n)]));
  std::vector<int> fill(start.begin(), start.end() - 1);
  for (auto [atom, list] : bonds) {
    for (int other : list) {
      if (!valid(atom, other)) continue;
      raw[static_cast<size_t>(fill[static_cast<size_t>(atom)]++)] = other;
      raw[static_cast<size_t>(fill[static_cast<size_t>(other)]++)] = atom;
    }
  }
  graph.offsets.assign(static_cast<size_t>(n) + 1, 0);
  graph.targets.reserve(raw.size() / 2 + 1);
  for (int a = 0; a < n; ++a) {
    auto first = raw.begin() + start[static_cast<size_t>(a)];
    auto last = raw.begin() + start[static_cast<size_t>(a) + 1];
    std::sort(first, last);
    last = std::unique(first, last);
    graph.targets.insert(graph.targets.end(), first, last);
    graph.offsets[static_cast<size_t>(a) + 1] = static_cast<int>(graph.targets.size());
  }

  std::unordered_map<std::string, int> index_of_type;
  graph.element_of.resize(static_cast<size_t>(n));
  static const std::string kNoType;
  for (int a = 0; a < n; ++a) {
    const std::string& type = a < static_cast<int>(types.size()) ? types[static_cast<size_t>(a)] : kNoType;
    auto [it, added] = index_of_type.emplace(type, static_cast<int>(graph.elements.size()));
    if (added) {
      graph.elements.push_back(LookupElementChemistry(type));
      graph.type_names.push_back(type);
    }
    graph.element_of[static_cast<size_t>(a)] = it->second;
  }
  return graph;
}

}  // namespace tarvex
