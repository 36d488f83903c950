// What the bond-order search reads once per record (bond_order_search.h):
// the chemistry graph, its small rings, the molecules that lack hydrogens and
// the geometry that caps their demand, and the roles of the groups whose
// charges are fixed.
#include <algorithm>
#include <cmath>
#include <memory>

#include "chemistry/atomic_numbers.h"
#include "chemistry/environment_patterns.h"
#include "chemistry/lewis/bond_order_search.h"
#include "chemistry/lewis/implicit_hydrogens.h"
#include "common/console.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

// The rings the chemistry looks at: aromatic rings have five to seven atoms,
// and eight keeps cyclooctatetraene in view.
constexpr int kLargestRing = 8;

// Atoms of five-membered rings, and of those that hold at least
// `azole_nitrogens` nitrogens.
void FiveRingAtoms(PerceptionContext& c, int azole_nitrogens) {
  const size_t n = static_cast<size_t>(c.graph.atom_count);
  c.in_five_ring.assign(n, 0);
  c.in_azole_ring.assign(n, 0);
  for (const std::vector<int>& ring : c.rings.rings) {
    if (ring.size() != 5) continue;
    int nitrogens = 0;
    for (int a : ring) {
      c.in_five_ring[a] = 1;
      nitrogens += c.graph.AtomicNumber(a) == kNitrogen ? 1 : 0;
    }
    if (nitrogens >= azole_nitrogens) {
      for (int a : ring) c.in_azole_ring[a] = 1;
    }
  }
}

bool Finite(const Point& p) { return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]); }

double Distance(const Point& a, const Point& b) {
  return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

// Bonds that may be multiple: between C, N, O and S, each with at most
// three neighbours.
bool MayBeMultiple(const ChemGraph& g, int a) {
  const int z = g.AtomicNumber(a);
  return (z == kCarbon || z == kNitrogen || z == kOxygen || z == kSulfur) && g.Degree(a) <= 3;
}

void MeasureBonds(PerceptionContext& c, const Frame& points, const std::function<double(int, int)>& standard_length) {
  const ChemGraph& g = c.graph;
  const int n = std::min(g.atom_count, static_cast<int>(points.size()));
  for (int a = 0; a < n; ++a) {
    if (!MayBeMultiple(g, a) || !Finite(points[a])) continue;
    for (int k : g.Edges(a)) {
      const int b = g.Target(k);
      if (b >= n || !MayBeMultiple(g, b) || !Finite(points[b])) continue;
      const double standard = standard_length(a, b);
      if (!(standard > 0.0)) continue;
      if (c.length_ratio.empty()) c.length_ratio.assign(g.targets.size(), 0.0f);
      c.length_ratio[k] = static_cast<float>(Distance(points[a], points[b]) / standard);
    }
  }
}

// The pyrrole-type nitrogens that face a metal (GroupRole kCoordinatedPyrrole).
void MarkCoordinatedPyrroles(PerceptionContext& c, const Frame& points) {
  constexpr double kReach = 2.6;  // metal-nitrogen bonds of porphyrins are 1.9 to 2.2 angstrom
  const ChemGraph& g = c.graph;
  std::vector<int> metals;
  for (int a = 0; a < g.atom_count; ++a) {
    if (g.Element(a).kind == ElementKind::kMetal) metals.push_back(a);
  }
  if (metals.empty()) return;
  auto facing = [&](int a) {
    for (int b : g.Neighbours(a)) {
      if (g.Element(b).kind == ElementKind::kMetal) return b;
    }
    if (a >= static_cast<int>(points.size()) || !Finite(points[a])) return -1;
    for (int m : metals) {
      if (m < static_cast<int>(points.size()) && Distance(points[a], points[m]) <= kReach) {
        return m;
      }
    }
    return -1;
  };
  for (int a = 0; a < g.atom_count; ++a) {
    if (g.AtomicNumber(a) != kNitrogen || !c.in_five_ring[a]) continue;
    int carbons = 0;
    int others = 0;
    for (int b : g.Neighbours(a)) {
      if (g.Element(b).kind == ElementKind::kMetal) continue;
      (g.AtomicNumber(b) == kCarbon ? carbons : others) += 1;
    }
    if (carbons != 2 || others != 0) continue;
    const int metal = facing(a);
    if (metal < 0) continue;
    if (c.facing_metal.empty()) c.facing_metal.assign(static_cast<size_t>(g.atom_count), -1);
    c.facing_metal[a] = metal;
    c.roles[a] |= kCoordinatedPyrrole;
  }
}

// The group heads, read with the same patterns the typing uses; each
// alternative alone, as the first whose head holds would decide.
void FindGroupHeads(PerceptionContext& c, const std::vector<std::string>& labels, const BondMap& bonds) {
  static const CompiledPattern kNitroOxygenPattern("(1O(3N(1O,1O,1O)),1O(3N(O,O,*)))");
  static const CompiledPattern kAzideMiddlePattern("(2N(1N,2N),2N(1N,*))");
  static const CompiledPattern kIsocyanidePattern("(2N(1C,*))");
  static const CompiledPattern kNitrileOniumPattern("(2N(2C,*))");
  auto any_alternative = [&](const CompiledPattern& pattern, int a) {
    bool matched = false;
    for (size_t k = 0; k < pattern.AlternativeCount(); ++k) {
      if (pattern.MatchAlternative(labels, bonds, a, k)) matched = true;
    }
    return matched;
  };
  for (int a = 0; a < c.graph.atom_count; ++a) {
    const int z = c.graph.AtomicNumber(a);
    uint8_t& role = c.roles[a];
    if (z == kOxygen) {
      if (any_alternative(kNitroOxygenPattern, a)) role |= kNitroOxygen;
    } else if (z == kNitrogen) {
      if (any_alternative(kAzideMiddlePattern, a)) role |= kAzideMiddle;
      if (kIsocyanidePattern.Match(labels, bonds, a)) role |= kIsocyanideNitrogen;
      if (kNitrileOniumPattern.Match(labels, bonds, a)) role |= kNitrileOnium;
    }
  }
}

// The terminal atoms of the azides and isocyanides found: the end N of
// N=N+=N-, the C- of R-N+#C-.
void MarkGroupEnds(PerceptionContext& c) {
  for (int a = 0; a < c.graph.atom_count; ++a) {
    const uint8_t role = c.roles[a];
    if (!(role & (kAzideMiddle | kIsocyanideNitrogen))) continue;
    for (int b : c.graph.Neighbours(a)) {
      if (c.graph.Degree(b) != 1) continue;
      const int z = c.graph.AtomicNumber(b);
      if ((role & kAzideMiddle) && z == kNitrogen) c.roles[b] |= kAzideEnd;
      if ((role & kIsocyanideNitrogen) && z == kCarbon) c.roles[b] |= kIsocyanideCarbon;
    }
  }
}

// Without hydrogens the neighbour counts in the patterns mean other things
// (a methyl carbon has one neighbour, like an isocyanide carbon): the linear
// groups keep their roles only when the geometry is linear.
void KeepLinearGroupsOnly(PerceptionContext& c) {
  const int n = c.graph.atom_count;
  for (int a = 0; a < n; ++a) {
    if (!c.implicit_hydrogens[a]) continue;
    uint8_t& role = c.roles[a];
    if (role & (kAzideMiddle | kIsocyanideNitrogen | kNitrileOnium)) {
      if (c.geometric_demand[a] != 2) role = 0;
    }
  }
  for (int a = 0; a < n; ++a) {
    uint8_t& role = c.roles[a];
    if (!c.implicit_hydrogens[a] || !(role & (kAzideEnd | kIsocyanideCarbon))) continue;
    const int b = c.graph.Degree(a) == 1 ? c.graph.Neighbours(a)[0] : -1;
    if (b < 0 || !(c.roles[b] & (kAzideMiddle | kIsocyanideNitrogen))) {
      role &= static_cast<uint8_t>(~(kAzideEnd | kIsocyanideCarbon));
    }
  }
}

std::vector<int> LabelElements(const ChemGraph& graph, const std::vector<std::string>& labels) {
  std::vector<int> label_element(static_cast<size_t>(graph.atom_count), -1);
  for (int a = 0; a < graph.atom_count && a < static_cast<int>(labels.size()); ++a) {
    const int z = graph.AtomicNumber(a);
    if (z >= 0 && SameText(labels[a], kElementSymbols[z])) {
      label_element[a] = z;
    }
  }
  return label_element;
}

}  // namespace

std::unique_ptr<PerceptionContext> BuildPerceptionContext(int atom_count, const BondMap& bonds,
                                                          const std::vector<std::string>& labels, const Frame& points,
                                                          const std::function<double(int, int)>& standard_length,
                                                          std::vector<int> named_ion_charges) {
  auto context = std::make_unique<PerceptionContext>();
  PerceptionContext& c = *context;
  c.graph = BuildChemGraph(atom_count, bonds, labels);
  const int n = c.graph.atom_count;
  if (named_ion_charges.size() >= static_cast<size_t>(n)) c.named_ion_charge = std::move(named_ion_charges);
  c.rings = FindSmallRings(c.graph.offsets, c.graph.targets, kLargestRing);
  if (c.rings.cut_short) Warn("Warning: the bond graph is too dense for a full ring search; some rings may be missed.");
  FiveRingAtoms(c, /*azole_nitrogens=*/3);
  c.implicit_hydrogens = MoleculesMissingHydrogens(c.graph, points, standard_length);
  c.any_implicit_hydrogens =
      std::find(c.implicit_hydrogens.begin(), c.implicit_hydrogens.end(), 1) != c.implicit_hydrogens.end();
  if (c.any_implicit_hydrogens)
    c.geometric_demand = GeometricUnsaturation(c.graph, points, c.rings, c.implicit_hydrogens, standard_length);

  for (int a = 0; a < n && !c.open_nitrogens; ++a) {
    if (c.graph.AtomicNumber(a) != kNitrogen || c.graph.Degree(a) >= 3 || c.implicit_hydrogens[a]) continue;
    bool saturated = c.graph.Degree(a) == c.graph.LigandDegree(a);
    for (int b : c.graph.Neighbours(a)) {
      saturated = saturated && (c.graph.AtomicNumber(b) == kHydrogen ||
                                (c.graph.AtomicNumber(b) == kCarbon && c.graph.LigandDegree(b) == 4));
    }
    c.open_nitrogens = saturated;
  }

  c.roles.assign(static_cast<size_t>(n), 0);
  FindGroupHeads(c, labels, bonds);
  MarkGroupEnds(c);
  if (c.any_implicit_hydrogens) KeepLinearGroupsOnly(c);
  MarkCoordinatedPyrroles(c, points);
  MeasureBonds(c, points, standard_length);
  c.label_element = LabelElements(c.graph, labels);
  c.local_index.assign(static_cast<size_t>(n), -1);
  c.visited.assign(static_cast<size_t>(n), 0);
  return context;
}

}  // namespace tarvex
