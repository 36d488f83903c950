#include "chemistry/bond_order_search.h"

#include <algorithm>
#include <memory>

#include "chemistry/atomic_numbers.h"
#include "chemistry/environment_patterns.h"
#include "chemistry/implicit_hydrogens.h"
#include "chemistry/pi_matching.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

bool SwitchOn(uint32_t switches, int k) { return (switches >> k) & 1u; }

// The rings the chemistry looks at: aromatic rings have five to seven atoms,
// and eight keeps cyclooctatetraene in view.
constexpr int kLargestRing = 8;

// Costs of the fixes (pi_matching.h): anions on chalcogens are the commonest
// charges of real molecules, then ammonium-type nitrogen, then nitrogen
// anions; onium ions and carbon ions are rare.
constexpr double kGroupCost = 0.5;
constexpr double kGroupCationCost = 0.4;  // a diazonium is Ar-N+#N, not Ar-N=N-
constexpr double kChalcogenAnionCost = 1.0;
// Keep charges off S=O, P=O and amide C=O oxygens when a nitrogen can take
// them (sulfonamide, acylsulfonamide and amide anions are N-).
constexpr double kOxoOnAmideOrHypervalentCost = 1.6;
constexpr double kNitrogenCationCost = 1.2;
constexpr double kSubstitutedNitrogenCost = 0.05;  // per heavy neighbour: =NH2+ before =NHR+, before an indole N
constexpr double kNitrogenAnionCost = 1.5;
constexpr double kOniumCost = 2.0;
constexpr double kNoSiteCost = 2.5;
constexpr double kCarbonIonCost = 3.0;
constexpr double kBorateCost = 3.2;
constexpr double kExpansionCost = 3.5;
constexpr double kRadicalCost = 4.0;
// The costs rise with the switch that allows them, so a molecule settled
// under some switches comes out the same once later switches are on.

// Where an implicit hydrogen goes in a structure without hydrogens: on
// nitrogen first (an NH, not a CH2, in a pyrrole ring), then oxygen, sulfur.
double ImplicitHydrogenCost(int z) {
  switch (z) {
    case kNitrogen: return 0.5;
    case kOxygen: return 0.7;
    case kSulfur: case kSelenium: return 0.8;
    default: return 1.0;
  }
}

// The demand of an atom and the fixes it allows under the switches on
// (bond_order_search.h lists what each switch admits).
void SetFixes(const PerceptionContext& context, int a, const ElementChemistry& element, uint8_t role,
              uint32_t switches, bool tolerant, int sigma, int valence, int charge, int ligands, int heavy, PiAtom& p) {
  const ChemGraph& graph = context.graph;
  const bool hydrogen_free = context.implicit_hydrogens[static_cast<size_t>(a)] != 0;
  p.demand = element.kind == ElementKind::kHydrogenAtom ? 0 : valence - sigma;
  if (hydrogen_free && context.geometric_demand[static_cast<size_t>(a)] >= 0) {
    p.demand = std::min(p.demand, context.geometric_demand[static_cast<size_t>(a)]);
  }
  const int z = element.atomic_number;
  const int group = element.group;
  const bool uncharged = charge == 0;
  const bool lowest = valence == element.lowest_valence() && uncharged;
  const bool main_group = element.kind == ElementKind::kMainGroup;

  if (role & (kNitroOxygen | kAzideEnd | kIsocyanideCarbon)) {
    p.lower = PiFix(kGroupCost, -1);
  } else if (hydrogen_free && main_group && uncharged) {
    // An implicit hydrogen needs a free site; a carbon or nitrogen with three
    // neighbours (a planar sp2 centre) or an oxygen with two has none, and is
    // only left without its double bond when nothing else works (the
    // geometry misled): charges are never made up where hydrogens are missing.
    const bool free_site = graph.Degree(a) < (group == kOxygenGroup ? 2 : 3);
    p.lower = PiFix(free_site ? ImplicitHydrogenCost(z) : kNoSiteCost, 0);
  } else if ((group == kOxygenGroup || group == kNitrogenGroup) && lowest) {
    if (SwitchOn(switches, 1)) {
      double cost = group == kNitrogenGroup ? kNitrogenAnionCost : kChalcogenAnionCost;
      if (group == kOxygenGroup && graph.Degree(a) == 1) {
        const int b = graph.Neighbours(a)[0];
        const ElementChemistry& partner = graph.Element(b);
        bool amide_carbon = false;
        if (partner.atomic_number == kCarbon) {
          for (int c : graph.Neighbours(b)) amide_carbon = amide_carbon || graph.AtomicNumber(c) == kNitrogen;
        }
        if ((partner.hypervalent() && partner.group >= kNitrogenGroup) || amide_carbon) cost = kOxoOnAmideOrHypervalentCost;
      }
      p.lower = PiFix(cost, -1);
    }
  } else if ((group == kOxygenGroup || group == kNitrogenGroup) && uncharged && valence > element.lowest_valence()) {
    if (SwitchOn(switches, 2)) p.lower = PiFix(kOniumCost, 1);
  } else if (group == kCarbonGroup && uncharged) {
    if (SwitchOn(switches, 3)) p.lower = PiFix(kCarbonIonCost, context.in_five_ring[static_cast<size_t>(a)] ? -1 : 1);
  }
  if (!p.lower.allowed && (SwitchOn(switches, 6) || tolerant) && main_group) p.lower = PiFix(kRadicalCost, 0);

  if (role & (kAzideMiddle | kNitrileOnium | kIsocyanideNitrogen)) {
    if (lowest) p.raise = PiFix(kGroupCationCost, 1);
  } else if (!hydrogen_free && lowest && group == kNitrogenGroup && ligands == 3) {
    // Ammonium-type: three bonds and a fourth from the lone pair. A
    // nitrogen with two neighbours would need two pi bonds, which only the
    // linear groups above have.
    if (SwitchOn(switches, 1)) p.raise = PiFix(kNitrogenCationCost + kSubstitutedNitrogenCost * heavy, 1);
  } else if (!hydrogen_free && lowest && group == kOxygenGroup) {
    if (SwitchOn(switches, 2)) p.raise = PiFix(kOniumCost, 1);
  } else if (!hydrogen_free && lowest && group == kBoronGroup) {
    if (SwitchOn(switches, 5)) p.raise = PiFix(kBorateCost, -1);
  }
  if (!p.raise.allowed && uncharged && element.hypervalent() && SwitchOn(switches, 4)) {
    auto next = std::upper_bound(element.neutral_valences.begin(), element.neutral_valences.end(), valence);
    if (next != element.neutral_valences.end()) p.raise = PiFix(kExpansionCost, 0, *next - valence);
  }
}

}  // namespace

BondSearchState& SearchState() {
  static BondSearchState state;
  return state;
}

std::unique_ptr<PerceptionContext> BuildPerceptionContext(
    int atom_count, const BondMap& bonds, const std::vector<std::string>& labels, const Frame& points,
    const std::function<double(int, int)>& standard_length) {
  auto context = std::make_unique<PerceptionContext>();
  PerceptionContext& c = *context;
  c.graph = BuildChemGraph(atom_count, bonds, labels);
  const int n = c.graph.atom_count;
  c.rings = FindSmallRings(c.graph.offsets, c.graph.targets, kLargestRing);
  c.in_five_ring.assign(static_cast<size_t>(n), 0);
  for (const std::vector<int>& ring : c.rings.rings) {
    if (ring.size() == 5) {
      for (int a : ring) c.in_five_ring[static_cast<size_t>(a)] = 1;
    }
  }
  c.implicit_hydrogens = MoleculesMissingHydrogens(c.graph, points, standard_length);
  c.any_implicit_hydrogens =
      std::find(c.implicit_hydrogens.begin(), c.implicit_hydrogens.end(), 1) != c.implicit_hydrogens.end();
  if (c.any_implicit_hydrogens) c.geometric_demand = GeometricUnsaturation(c.graph, points, c.rings, c.implicit_hydrogens, standard_length);

  // Group roles, read with the same patterns the typing uses.
  c.roles.assign(static_cast<size_t>(n), 0);
  static const CompiledPattern kNitroOxygenPattern("(1O(3N(1O,1O,1O)),1O(3N(O,O,*)))");
  static const CompiledPattern kAzideMiddlePattern("(2N(1N,2N),2N(1N,*))");
  static const CompiledPattern kIsocyanidePattern("(2N(1C,*))");
  static const CompiledPattern kNitrileOniumPattern("(2N(2C,*))");
  for (int a = 0; a < n; ++a) {
    const int z = c.graph.AtomicNumber(a);
    if (z == kOxygen) {
      // Each alternative alone: the first whose head holds would decide.
      for (size_t k = 0; k < kNitroOxygenPattern.AlternativeCount(); ++k) {
        if (kNitroOxygenPattern.MatchAlternative(labels, bonds, a, k)) c.roles[static_cast<size_t>(a)] |= kNitroOxygen;
      }
    } else if (z == kNitrogen) {
      uint8_t& role = c.roles[static_cast<size_t>(a)];
      for (size_t k = 0; k < kAzideMiddlePattern.AlternativeCount(); ++k) {
        if (kAzideMiddlePattern.MatchAlternative(labels, bonds, a, k)) role |= kAzideMiddle;
      }
      if (kIsocyanidePattern.Match(labels, bonds, a)) role |= kIsocyanideNitrogen;
      if (kNitrileOniumPattern.Match(labels, bonds, a)) role |= kNitrileOnium;
    }
  }
  for (int a = 0; a < n; ++a) {
    const uint8_t role = c.roles[static_cast<size_t>(a)];
    if (!(role & (kAzideMiddle | kIsocyanideNitrogen))) continue;
    for (int b : c.graph.Neighbours(a)) {
      if (c.graph.Degree(b) != 1) continue;
      const int z = c.graph.AtomicNumber(b);
      if ((role & kAzideMiddle) && z == kNitrogen) c.roles[static_cast<size_t>(b)] |= kAzideEnd;
      if ((role & kIsocyanideNitrogen) && z == kCarbon) c.roles[static_cast<size_t>(b)] |= kIsocyanideCarbon;
    }
  }
  // Without hydrogens the neighbour counts in the patterns mean other
  // things (a methyl carbon has one neighbour, like an isocyanide carbon):
  // the linear groups keep their roles only when the geometry is linear.
  if (c.any_implicit_hydrogens) {
    for (int a = 0; a < n; ++a) {
      if (!c.implicit_hydrogens[static_cast<size_t>(a)]) continue;
      uint8_t& role = c.roles[static_cast<size_t>(a)];
      if (role & (kAzideMiddle | kIsocyanideNitrogen | kNitrileOnium)) {
        if (c.geometric_demand[static_cast<size_t>(a)] != 2) role = 0;
      }
    }
    for (int a = 0; a < n; ++a) {
      uint8_t& role = c.roles[static_cast<size_t>(a)];
      if (!c.implicit_hydrogens[static_cast<size_t>(a)] || !(role & (kAzideEnd | kIsocyanideCarbon))) continue;
      const int b = c.graph.Degree(a) == 1 ? c.graph.Neighbours(a)[0] : -1;
      if (b < 0 || !(c.roles[static_cast<size_t>(b)] & (kAzideMiddle | kIsocyanideNitrogen))) role &= static_cast<uint8_t>(~(kAzideEnd | kIsocyanideCarbon));
    }
  }
  c.label_element.assign(static_cast<size_t>(n), -1);
  for (int a = 0; a < n && a < static_cast<int>(labels.size()); ++a) {
    const int z = c.graph.AtomicNumber(a);
    if (z >= 0 && SameText(labels[static_cast<size_t>(a)], kElementSymbols[static_cast<size_t>(z)])) {
      c.label_element[static_cast<size_t>(a)] = z;
    }
  }
  c.local_index.assign(static_cast<size_t>(n), -1);
  c.visited.assign(static_cast<size_t>(n), 0);
  return context;
}

void SolveComponent(PerceptionContext& context, const BondOrderMap& fixed, int start, uint32_t switches,
                    std::vector<int>& path, bool tolerant, ComponentSolution& solution) {
  solution.ok = false;
  solution.chosen_charges = 0;
  solution.atoms.clear();
  solution.charges.clear();
  solution.bonds.clear();
  const ChemGraph& graph = context.graph;
  if (start < 0 || start >= graph.atom_count) return;

  // The molecule: a depth-first walk with the path as its explicit stack.
  std::vector<int>& atoms = solution.atoms;
  path.assign(1, start);
  context.visited[static_cast<size_t>(start)] = 1;
  while (!path.empty()) {
    const int a = path.back();
    path.pop_back();
    context.local_index[static_cast<size_t>(a)] = static_cast<int>(atoms.size());
    atoms.push_back(a);
    for (int b : graph.Neighbours(a)) {
      if (!context.visited[static_cast<size_t>(b)]) {
        context.visited[static_cast<size_t>(b)] = 1;
        path.push_back(b);
      }
    }
  }
  struct Release {
    PerceptionContext& context;
    const std::vector<int>& atoms;
    ~Release() {
      for (int a : atoms) {
        context.local_index[static_cast<size_t>(a)] = -1;
        context.visited[static_cast<size_t>(a)] = 0;
      }
    }
  } release{context, atoms};
  const size_t m = atoms.size();
  solution.charges.assign(m, 0);

  auto kind = [&](int a) { return graph.Element(a).kind; };
  auto covalent = [&](int a) {
    ElementKind k = kind(a);
    return k == ElementKind::kHydrogenAtom || k == ElementKind::kMainGroup;
  };

  // A lone atom: metals and halogens are ions.
  if (m == 1) {
    const ElementChemistry& element = graph.Element(start);
    if (element.kind == ElementKind::kMetal || element.group == kHalogenGroup) solution.charges[0] = element.ion_charge;
    solution.ok = true;
    return;
  }

  std::vector<PiAtom>& pi = context.pi;
  std::vector<int>& forced = context.forced_charge;
  std::vector<int>& open_offsets = context.open_offsets;
  std::vector<int>& open_targets = context.open_targets;
  pi.assign(m, PiAtom());
  forced.assign(m, 0);
  open_offsets.assign(m + 1, 0);
  open_targets.clear();
  for (size_t l = 0; l < m; ++l) pi[l].rank = atoms[l];
  int start_charge = 0;
  bool any_demand = false;
  for (size_t l = 0; l < m; ++l) {
    const int a = atoms[l];
    const ElementChemistry& element = graph.Element(a);
    const uint8_t role = context.roles[static_cast<size_t>(a)];
    if (element.kind == ElementKind::kMetal) forced[l] = element.ion_charge;
    if (covalent(a)) {
      int settled = 0;  // order sum of bonds whose order is already known
      int open = 0;
      int ligands = 0;  // neighbours that are not metals
      int heavy = 0;    // neighbours other than hydrogen
      int acceptors = 0;
      for (int b : graph.Neighbours(a)) {
        const ElementKind kb = kind(b);
        if (kb == ElementKind::kMetal) continue;
        ++ligands;
        if (kb != ElementKind::kHydrogenAtom) ++heavy;
        if (kb == ElementKind::kOpaque) {
          settled += 1;
          continue;
        }
        if (const int* order = fixed.find(a, b)) {
          settled += *order;
        } else {
          ++open;
          open_targets.push_back(b);  // local indices filled in below
        }
        if (graph.Element(b).group == kOxygenGroup && graph.Degree(b) == 1) ++acceptors;
      }
      open_offsets[l + 1] = static_cast<int>(open_targets.size());
      const int sigma = settled + open;
      if (ligands == 0) {
        // Bound to metals only: the bare ion.
        if (element.group == kHalogenGroup) forced[l] = element.ion_charge;
        else if (element.group == kOxygenGroup) forced[l] = -2;
        else if (element.group == kNitrogenGroup) forced[l] = -3;
      } else {
        int valence = 0;
        int charge = 0;
        bool fits = element.max_neighbours < 0 || ligands <= element.max_neighbours || SwitchOn(switches, 7);
        if (fits && !StartingState(element, sigma, acceptors, valence, charge)) {
          // Beyond the highest valence of a hypervalent centre: the ate
          // anion (PF6-, SbF6-).
          fits = element.hypervalent() && sigma == element.neutral_valences.back() + 1;
          valence = sigma;
          charge = -1;
        }
        if (!fits) {
          if (!tolerant) return;
          // Tolerated: single bonds, no charge.
        } else {
          forced[l] = charge;
          SetFixes(context, a, element, role, switches, tolerant, sigma, valence, charge, ligands, heavy, pi[l]);
          any_demand = any_demand || pi[l].demand > 0;
        }
      }
    }
    start_charge += forced[l];
    open_offsets[l + 1] = static_cast<int>(open_targets.size());
  }
  for (int& target : open_targets) target = context.local_index[static_cast<size_t>(target)];

  // Nothing to pair (a water, an alkane): every open bond is single.
  std::unique_ptr<PiMatcher> matcher;
  if (any_demand) {
    matcher = std::make_unique<PiMatcher>(pi, open_offsets, open_targets);
    if (!matcher->Solve(start_charge, tolerant)) return;
  }
  solution.ok = true;
  for (size_t l = 0; l < m; ++l) {
    const int a = atoms[l];
    const int chosen = matcher ? matcher->Charge(static_cast<int>(l)) : 0;
    solution.charges[l] = forced[l] + chosen;
    if (chosen != 0 && context.roles[static_cast<size_t>(a)] == 0) ++solution.chosen_charges;
    // Orders of the bonds this atom leads (a < b): open bonds from the
    // matching, bonds to metals and opaque atoms 1.
    int edge = open_offsets[l];
    for (int b : graph.Neighbours(a)) {
      const bool settled = fixed.contains(a, b);
      const bool open = covalent(a) && covalent(b) && !settled;
      int order = 1;
      if (open && edge < open_offsets[l + 1]) {
        if (matcher) order += matcher->ExtraOrder(static_cast<int>(l), edge);
        ++edge;
      }
      if (a < b && !settled) solution.bonds.push_back({a, b, order});
    }
  }
}

}  // namespace tarvex
