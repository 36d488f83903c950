#include "chemistry/lewis/chem_graph.h"

#include <algorithm>
#include <unordered_map>

#include "molecule/tables.h"

namespace tarvex {
namespace {

// The neighbour lists of graph.atom_count atoms from the record's bonds.
// Extra points and lone pairs (the EPW of a four-point water, SYBYL's LP)
// are never neighbours: they stand for electrons of their atom, not bonds,
// whatever bonds the file lists for them.
void BuildNeighbourLists(ChemGraph& graph, const BondMap& bonds) {
  const int n = graph.atom_count;
  // Per element entry (a handful), not per atom: most records have none.
  std::vector<char> site_entry(graph.elements.size(), 0);
  bool any_site = false;
  for (size_t e = 0; e < graph.elements.size(); ++e) {
    site_entry[e] = graph.elements[e].atomic_number == kLonePairIndex;
    any_site = any_site || site_entry[e];
  }
  auto site = [&](int a) { return any_site && site_entry[static_cast<size_t>(graph.element_of[a])]; };
  auto valid = [n, &site](int a, int b) {
    return a >= 0 && a < n && b >= 0 && b < n && a != b && !site(a) && !site(b);
  };
  auto lists = [&bonds](int a, int b) {
    const BondMap::List* list = bonds.find(a);
    return list && std::find(list->begin(), list->end(), b) != list->end();
  };
  // Each atom's own list, plus the bonds only its partner's list names (a
  // one-sided CONECT record); lists are short, so the membership tests are
  // a few comparisons.
  std::vector<int> one_sided(static_cast<size_t>(n), 0);
  size_t total = 0;
  for (auto [atom, list] : bonds) {
    for (int other : list) {
      if (!valid(atom, other)) continue;
      ++total;
      if (!lists(other, atom)) {
        ++one_sided[other];
        ++total;
      }
    }
  }
  graph.offsets.assign(static_cast<size_t>(n) + 1, 0);
  graph.targets.resize(total);
  std::vector<int> fill(static_cast<size_t>(n) + 1, 0);
  for (int a = 0; a < n; ++a) {
    const BondMap::List* list = bonds.find(a);
    int own = 0;
    if (list) {
      for (int other : *list) own += valid(a, other) ? 1 : 0;
    }
    fill[static_cast<size_t>(a) + 1] = fill[a] + own + one_sided[a];
  }
  std::vector<int> cursor(fill.begin(), fill.end() - 1);
  for (auto [atom, list] : bonds) {
    for (int other : list) {
      if (!valid(atom, other)) continue;
      graph.targets[static_cast<size_t>(cursor[atom]++)] = other;
      if (!lists(other, atom)) graph.targets[static_cast<size_t>(cursor[other]++)] = atom;
    }
  }
  // Sorted, duplicates (a bond listed twice) dropped, compacted in place.
  size_t write = 0;
  for (int a = 0; a < n; ++a) {
    auto first = graph.targets.begin() + fill[a];
    auto last = graph.targets.begin() + fill[static_cast<size_t>(a) + 1];
    std::sort(first, last);
    last = std::unique(first, last);
    for (auto it = first; it != last; ++it) graph.targets[write++] = *it;
    graph.offsets[static_cast<size_t>(a) + 1] = static_cast<int>(write);
  }
  graph.targets.resize(write);
}

// The element entry of every atom's type. Few distinct types in many atoms:
// the entry of the last types seen is found by comparing a couple of short strings, the hash only on a miss.
void AssignElements(ChemGraph& graph, const std::vector<std::string>& types) {
  const int n = graph.atom_count;
  std::unordered_map<std::string, int> index_of_type;
  graph.element_of.resize(static_cast<size_t>(n));
  static const std::string kNoType;
  constexpr size_t kRecent = 4;
  int recent[kRecent] = {-1, -1, -1, -1};
  size_t next_recent = 0;
  for (int a = 0; a < n; ++a) {
    const std::string& type = a < static_cast<int>(types.size()) ? types[a] : kNoType;
    int entry = -1;
    for (int r : recent) {
      if (r >= 0 && SameText(graph.type_names[r], type)) entry = r;
    }
    if (entry < 0) {
      auto [it, added] = index_of_type.emplace(type, static_cast<int>(graph.elements.size()));
      if (added) {
        graph.elements.push_back(LookupElementChemistry(type));
        graph.type_names.push_back(type);
      }
      entry = it->second;
      recent[next_recent++ % kRecent] = entry;
    }
    graph.element_of[a] = entry;
  }
}

}  // namespace

ChemGraph BuildChemGraph(int atom_count, const BondMap& bonds, const std::vector<std::string>& types) {
  ChemGraph graph;
  graph.atom_count = std::max(atom_count, 0);
  AssignElements(graph, types);
  BuildNeighbourLists(graph, bonds);
  graph.ligand_degree.resize(static_cast<size_t>(graph.atom_count));
  const bool any_metal = std::any_of(graph.elements.begin(), graph.elements.end(),
                                     [](const ElementChemistry& e) { return e.kind == ElementKind::kMetal; });
  for (int a = 0; a < graph.atom_count; ++a) {
    int ligands = graph.Degree(a);
    if (any_metal) {
      for (int b : graph.Neighbours(a)) ligands -= graph.Element(b).kind == ElementKind::kMetal ? 1 : 0;
    }
    graph.ligand_degree[a] = ligands;
  }
  return graph;
}

}  // namespace tarvex
