// One molecule at a time (bond_order_search.h). SolveComponent runs the steps
// of MoleculeSolver in order:
//   1. Collect      the molecule holding the start atom, by a depth-first walk
//                   (a lone atom and a diatomic molecule are settled at once);
//   2. PrepareAtom  for each atom: its bonds (CountBonds), its starting state
//                   (StartFrom, or the bare ion of an atom bound only to
//                   metals) and its demand and fixes (pi_fixes.h);
//   3. Match        the pi matching pairs the demands into double and triple
//                   bonds and settles the rest with the fixes; the pyrrole
//                   nitrogens around a metal take their anionic form;
//   4. HeedBondLengths  where bond lengths contradict the structure found,
//                   the molecule is solved again with those bonds held to
//                   what their lengths say (bond_lengths.h);
//   5. Write        the charges, and the orders of every bond not fixed before.
#include "chemistry/lewis/bond_order_search.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "chemistry/atomic_numbers.h"
#include "chemistry/ion_names.h"
#include "chemistry/lewis/bond_lengths.h"
#include "chemistry/lewis/pi_fixes.h"
#include "chemistry/lewis/pi_matching.h"

namespace tarvex {
namespace {

// Hydrogens and main-group atoms take part in the Lewis structure; bonds to
// metals and to atoms without valence data are single and stay out of it.
bool Covalent(ElementKind kind) { return kind == ElementKind::kHydrogenAtom || kind == ElementKind::kMainGroup; }

// The order a bond already has: fixed by the group rules or held by its
// length (BondLengths), or null while open.
const int* KnownOrder(const BondOrderMap& fixed, const BondOrderMap& held, int a, int b) {
  if (const int* order = fixed.find(a, b)) return order;
  return held.empty() ? nullptr : held.find(a, b);
}

// Counts the bonds of covalent atom `a` and appends its open neighbours to
// `open_targets`, their edges of the graph to `open_edges`.
AtomBonds CountBonds(const ChemGraph& graph, const BondOrderMap& fixed, const BondOrderMap& held, int a,
                     std::vector<int>& open_targets, std::vector<int>& open_edges) {
  AtomBonds bonds;
  for (int k : graph.Edges(a)) {
    const int b = graph.Target(k);
    const ElementKind kind = graph.Element(b).kind;
    if (kind == ElementKind::kMetal) continue;
    ++bonds.ligands;
    if (kind != ElementKind::kHydrogenAtom) ++bonds.heavy;
    if (kind == ElementKind::kOpaque) {
      bonds.settled += 1;
      continue;
    }
    if (const int* order = KnownOrder(fixed, held, a, b)) {
      bonds.settled += *order;
    } else {
      ++bonds.open;
      open_targets.push_back(b);
      open_edges.push_back(k);
    }
    if (graph.Element(b).group == kOxygenGroup && graph.LigandDegree(b) == 1) ++bonds.acceptors;
  }
  return bonds;
}

// An atom bound to metals only is the bare ion: halide, oxide, nitride.
int BareIonCharge(const ElementChemistry& element) {
  if (element.group == kHalogenGroup) return element.ion_charge;
  if (element.group == kOxygenGroup) return -2;
  if (element.group == kNitrogenGroup) return -3;
  return 0;
}

// The starting valence and charge (StartingState); one bond beyond the
// highest valence of a hypervalent centre is the ate anion (PF6-, SbF6-).
// False when the atom cannot be ordered: more neighbours than its element
// takes, or more bonds than any state holds.
bool StartFrom(const ElementChemistry& element, const AtomBonds& bonds, const SearchRules& rules, int& valence,
               int& charge) {
  const int sigma = bonds.Sigma();
  bool fits = element.max_neighbours < 0 || bonds.ligands <= element.max_neighbours || rules.On(kNoNeighbourLimits);
  if (fits && !StartingState(element, sigma, bonds.acceptors, valence, charge)) {
    fits = element.hypervalent() && sigma == element.neutral_valences.back() + 1;
    valence = sigma;
    charge = -1;
  }
  return fits;
}

// Second-period atoms keep an octet whatever the bond: in a molecule of two
// of them the order follows the length alone (below 0.80 of the single
// length triple, below 0.93 double), and each atom's charge is its valence
// electrons less eight plus the order. So CO (1.128 angstrom) is C- and O+,
// cyanide (1.16) C-, the nitrosonium ion (1.06) O+, peroxide (1.49) O- and
// O-, N2 and O2 neutral. Lengths below 0.70 of the single length are no
// bonds of such a molecule (atoms piled on each other), and neither are
// structures with a charge beyond one or two positive atoms.
bool SecondPeriod(int z) { return z == kCarbon || z == kNitrogen || z == kOxygen; }
constexpr float kShortestDiatomic = 0.70f;
int DiatomicOrder(float ratio) { return ratio < 0.80f ? 3 : (ratio < 0.93f ? 2 : 1); }
int OctetCharge(const ElementChemistry& element, int order) { return (element.group - 10) - 8 + order; }

class MoleculeSolver {
 public:
  MoleculeSolver(PerceptionContext& context, const BondOrderMap& fixed, const SearchRules& rules,
                 ComponentSolution& solution)
      : context_(context), graph_(context.graph), fixed_(fixed), rules_(rules), solution_(solution) {}
  // The walk's marks are cleared however the solve ends.
  ~MoleculeSolver() {
    for (int a : solution_.atoms) {
      context_.local_index[a] = -1;
      context_.visited[a] = 0;
    }
  }
  MoleculeSolver(const MoleculeSolver&) = delete;
  MoleculeSolver& operator=(const MoleculeSolver&) = delete;

  void Run(int start, std::vector<int>& path);

 private:
  // What one solve leaves for Write: the per-atom lists of the context
  // that PrepareAtoms fills, and the matcher.
  struct Attempt {
    std::vector<PiAtom> pi;
    std::vector<int> forced_charge;
    std::vector<int> open_offsets;
    std::vector<int> open_targets;
    std::vector<int> open_edges;
    int start_charge = 0;
    bool any_demand = false;
    std::unique_ptr<PiMatcher> matcher;
  };

  void Collect(int start, std::vector<int>& path);
  void SolveLoneAtom();
  bool SolveDiatomic();
  bool PrepareAtoms();
  bool PrepareAtom(size_t l);
  bool Match();
  void GiveMacrocyclesTheirCharge();
  float BondLengthSum(int a) const;
  int Contradictions(std::vector<SettledBond>* held, int* outside_rings = nullptr) const;
  bool SolveHeld(const std::vector<SettledBond>& held, const SearchRules& rules);
  bool InPiRing(int a, int b) const;
  bool HeedBondLengths();
  Attempt Keep();
  void Restore(Attempt& attempt);
  void Write();

  PerceptionContext& context_;
  const ChemGraph& graph_;
  const BondOrderMap& fixed_;
  SearchRules rules_;
  ComponentSolution& solution_;
  int start_charge_ = 0;  // the charges the atoms' states carry
  bool any_demand_ = false;
  std::unique_ptr<PiMatcher> matcher_;
  BondOrderMap held_;  // bonds held to the order their lengths say
};

void MoleculeSolver::Run(int start, std::vector<int>& path) {
  Collect(start, path);
  solution_.charges.assign(solution_.atoms.size(), 0);
  if (solution_.atoms.size() == 1) {
    SolveLoneAtom();
    return;
  }
  if (solution_.atoms.size() == 2 && SolveDiatomic()) return;
  if (!PrepareAtoms() || !Match() || !HeedBondLengths()) return;
  Write();
}

// Step 1: the molecule, by a depth-first walk with the path as its explicit
// stack; its atoms are numbered (local_index) in the order the walk meets them.
void MoleculeSolver::Collect(int start, std::vector<int>& path) {
  std::vector<int>& atoms = solution_.atoms;
  path.assign(1, start);
  context_.visited[start] = 1;
  while (!path.empty()) {
    const int a = path.back();
    path.pop_back();
    context_.local_index[a] = static_cast<int>(atoms.size());
    atoms.push_back(a);
    for (int b : graph_.Neighbours(a)) {
      if (!context_.visited[b]) {
        context_.visited[b] = 1;
        path.push_back(b);
      }
    }
  }
}

// The charge of a metal or of a lone halide: what its name states, else
// its element's usual one.
int IonCharge(const PerceptionContext& context, int a) {
  if (!context.named_ion_charge.empty() && context.named_ion_charge[a] != kNoNamedCharge) {
    return context.named_ion_charge[a];
  }
  return context.graph.Element(a).ion_charge;
}

// A lone atom: metals and halogens are ions.
void MoleculeSolver::SolveLoneAtom() {
  const int a = solution_.atoms[0];
  const ElementChemistry& element = graph_.Element(a);
  if (element.kind == ElementKind::kMetal || element.group == kHalogenGroup)
    solution_.charges[0] = IonCharge(context_, a);
  solution_.ok = true;
}

// A diatomic molecule of C, N and O atoms with a measured length (see
// OctetCharge); false leaves it to the general steps.
bool MoleculeSolver::SolveDiatomic() {
  const int a = std::min(solution_.atoms[0], solution_.atoms[1]);
  const int b = std::max(solution_.atoms[0], solution_.atoms[1]);
  if (!SecondPeriod(graph_.AtomicNumber(a)) || !SecondPeriod(graph_.AtomicNumber(b)) || fixed_.contains(a, b)) {
    return false;
  }
  if (context_.roles[a] || context_.roles[b]) return false;
  const int edge = graph_.EdgeIndex(a, b);
  const float ratio = edge >= 0 && !context_.length_ratio.empty() ? context_.length_ratio[edge] : 0.0f;
  if (!(ratio >= kShortestDiatomic)) return false;
  const int order = DiatomicOrder(ratio);
  int positive = 0;
  for (size_t k = 0; k < 2; ++k) {
    solution_.charges[k] = OctetCharge(graph_.Element(solution_.atoms[k]), order);
    if (std::abs(solution_.charges[k]) > 1) return false;  // a length no octet structure has
    positive += solution_.charges[k] > 0 ? 1 : 0;
  }
  if (positive == 2) return false;
  solution_.bonds.push_back({a, b, order});
  solution_.ok = true;
  return true;
}

// Step 2 for every atom, and the open bonds between them in local numbers.
bool MoleculeSolver::PrepareAtoms() {
  const size_t m = solution_.atoms.size();
  context_.pi.assign(m, PiAtom());
  context_.forced_charge.assign(m, 0);
  context_.open_offsets.assign(m + 1, 0);
  context_.open_targets.clear();
  context_.open_edges.clear();
  start_charge_ = 0;
  any_demand_ = false;
  for (size_t l = 0; l < m; ++l) context_.pi[l].rank = solution_.atoms[l];
  for (size_t l = 0; l < m; ++l) {
    if (!PrepareAtom(l)) return false;
    start_charge_ += context_.forced_charge[l];
    context_.open_offsets[l + 1] = static_cast<int>(context_.open_targets.size());
  }
  for (int& target : context_.open_targets) target = context_.local_index[target];
  return true;
}

// False when the atom cannot be ordered and the solve is not tolerant (a
// tolerated atom keeps single bonds and no charge).
bool MoleculeSolver::PrepareAtom(size_t l) {
  const int a = solution_.atoms[l];
  const ElementChemistry& element = graph_.Element(a);
  int& forced = context_.forced_charge[l];
  if (element.kind == ElementKind::kMetal) forced = IonCharge(context_, a);
  if (!Covalent(element.kind)) return true;
  AtomState atom;
  atom.atom = a;
  atom.element = &element;
  atom.role = context_.roles[a];
  atom.hydrogen_free = context_.implicit_hydrogens[a] != 0;
  atom.bonds = CountBonds(graph_, fixed_, held_, a, context_.open_targets, context_.open_edges);
  if (atom.bonds.ligands == 0) {
    forced = BareIonCharge(element);
    return true;
  }
  if (!StartFrom(element, atom.bonds, rules_, atom.valence, atom.charge)) return rules_.tolerant;
  forced = atom.charge;
  SetFixes(context_, atom, rules_, context_.pi[l]);
  any_demand_ = any_demand_ || context_.pi[l].demand > 0;
  return true;
}

// Step 3. Nothing to pair (a water, an alkane): every open bond is single.
bool MoleculeSolver::Match() {
  matcher_.reset();
  if (!any_demand_) return true;
  matcher_ = std::make_unique<PiMatcher>(context_.pi, context_.open_offsets, context_.open_targets);
  if (!matcher_->Solve(start_charge_, rules_.tolerant)) return false;
  if (!context_.facing_metal.empty()) GiveMacrocyclesTheirCharge();
  return true;
}

// The pyrrole nitrogens facing one metal carry two negative charges between
// them, as in a porphyrinate, chlorinate or phthalocyaninate dianion, where
// the structure allows: a pair of them is lowered when the matching left
// none charged. (A corrin, one N- by its own parity, keeps one.) The
// matching alone would give the neutral ring of two electrons fewer, or
// four N- of two more: both Lewis structures with the same atoms. The pair
// whose C-N bonds are longest takes the charges (in a structure drawn with
// two NH nitrogens, those; in a symmetric one, the first that can).
void MoleculeSolver::GiveMacrocyclesTheirCharge() {
  const size_t m = solution_.atoms.size();
  std::vector<int> metals;
  for (size_t l = 0; l < m; ++l) {
    const int metal = context_.facing_metal[solution_.atoms[l]];
    if (metal >= 0 && std::find(metals.begin(), metals.end(), metal) == metals.end()) metals.push_back(metal);
  }
  std::vector<float> preference(m, -1.0f);
  std::vector<int> order;
  for (int metal : metals) {
    bool charged = false;
    order.clear();
    for (size_t l = 0; l < m; ++l) {
      const int a = solution_.atoms[l];
      preference[l] = -1.0f;
      if (context_.facing_metal[a] != metal) continue;
      preference[l] = BondLengthSum(a);
      order.push_back(static_cast<int>(l));
      charged = charged || matcher_->Charge(static_cast<int>(l)) < 0;
    }
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) { return preference[x] > preference[y]; });
    // Pairs in order of preference; `only` admits the second of the pair.
    std::vector<float> only(m, -1.0f);
    for (size_t i = 0; i < order.size() && !charged; ++i) {
      for (size_t j = i + 1; j < order.size() && !charged; ++j) {
        only[order[j]] = 1.0f;
        charged = matcher_->LowerPair(order[i], only);
        only[order[j]] = -1.0f;
      }
    }
  }
}

// The lengths of an atom's measured bonds over their single-bond lengths,
// summed (0 where nothing was measured).
float MoleculeSolver::BondLengthSum(int a) const {
  float sum = 0.0f;
  if (context_.length_ratio.empty()) return sum;
  for (int k : graph_.Edges(a)) sum += context_.length_ratio[k];
  return sum;
}

// The number of bonds whose lengths the structure found contradicts
// (BondLengthSays). `held` receives every bond whose length says something,
// with the order it asks for (a multiple bond that looks multiple keeps
// its order).
int MoleculeSolver::Contradictions(std::vector<SettledBond>* held, int* outside_rings) const {
  int count = 0;
  const std::vector<int>& offsets = context_.open_offsets;
  for (size_t l = 0; l + 1 < offsets.size(); ++l) {
    for (int e = offsets[l]; e < offsets[l + 1]; ++e) {
      const int t = context_.open_targets[e];
      if (t <= static_cast<int>(l)) continue;
      const int a = solution_.atoms[l];
      const int b = solution_.atoms[t];
      const int says = BondLengthSays(graph_, a, b, context_.length_ratio[static_cast<size_t>(context_.open_edges[e])]);
      if (says == 0) continue;
      const int extra = matcher_ ? matcher_->ExtraOrder(static_cast<int>(l), e) : 0;
      const bool both_unsaturated = context_.pi[l].demand > 0 && context_.pi[t].demand > 0;
      if (says > 0 && extra == 0 && !both_unsaturated) continue;
      if ((says < 0 && extra > 0) || (says > 0 && extra == 0)) {
        ++count;
        if (outside_rings && !InPiRing(a, b)) ++*outside_rings;
      }
      if (held) held->push_back({a, b, says < 0 ? 1 : std::max(2, 1 + extra)});
    }
  }
  return count;
}

MoleculeSolver::Attempt MoleculeSolver::Keep() {
  Attempt kept;
  kept.pi = std::move(context_.pi);
  kept.forced_charge = std::move(context_.forced_charge);
  kept.open_offsets = std::move(context_.open_offsets);
  kept.open_targets = std::move(context_.open_targets);
  kept.open_edges = std::move(context_.open_edges);
  kept.start_charge = start_charge_;
  kept.any_demand = any_demand_;
  kept.matcher = std::move(matcher_);
  return kept;
}

void MoleculeSolver::Restore(Attempt& kept) {
  context_.pi = std::move(kept.pi);
  context_.forced_charge = std::move(kept.forced_charge);
  context_.open_offsets = std::move(kept.open_offsets);
  context_.open_targets = std::move(kept.open_targets);
  context_.open_edges = std::move(kept.open_edges);
  start_charge_ = kept.start_charge;
  any_demand_ = kept.any_demand;
  matcher_ = std::move(kept.matcher);
  held_.clear();
}

// Solves the molecule again under `rules` with the `held` bonds at their
// orders; true on success.
bool MoleculeSolver::SolveHeld(const std::vector<SettledBond>& held, const SearchRules& rules) {
  held_.clear();
  for (const SettledBond& bond : held) held_.set(bond.i, bond.j, bond.order);
  const SearchRules pass = rules_;
  rules_ = rules;
  const bool solved = PrepareAtoms() && Match();
  rules_ = pass;
  return solved;
}

// Whether the bond a-b lies in a ring of five to seven atoms that all want
// a pi bond (an aromatic ring, or a ring that could be one).
bool MoleculeSolver::InPiRing(int a, int b) const {
  auto in_pi = [this](int x) {
    const int local = context_.local_index[x];
    return local >= 0 && context_.pi[static_cast<size_t>(local)].demand > 0;
  };
  if (!in_pi(a) || !in_pi(b)) return false;
  for (const std::vector<int>& ring : context_.rings.rings) {
    if (ring.size() < 5 || ring.size() > 7) continue;
    bool has_a = false;
    bool has_b = false;
    bool all_pi = true;
    for (int x : ring) {
      has_a = has_a || x == a;
      has_b = has_b || x == b;
      all_pi = all_pi && in_pi(x);
    }
    if (has_a && has_b && all_pi) return true;
  }
  return false;
}

// Step 4. A structure that some bond length contradicts (a quinoid
// bipyridine for a bipyridinium ion, a dithione for a dithiolate) gives way
// to the one the lengths ask for, whatever its charges: the molecule is
// solved again with every bond whose length says something held at that
// order, and the matching settles the rest. When that needs a rule switch
// still off, the pass fails, so that a later pass finds it; when no switch
// allows it, the first structure stands. Within a ring whose atoms all want
// a pi bond the lengths only choose between Kekule structures: where only
// such bonds contradict the structure found, the structure they ask for is
// taken when it carries no more charges, and otherwise the first, neutral
// one stands (a divinylbenzene drawn with two short quinoid ring bonds,
// which no Kekule structure makes double together, is no dication). Lengths
// are read only where the file gives hydrogens: without them the geometry
// already caps each atom's demand.
bool MoleculeSolver::HeedBondLengths() {
  if (context_.length_ratio.empty() || !matcher_ || context_.implicit_hydrogens[solution_.atoms[0]]) {
    return true;
  }
  std::vector<SettledBond> held;
  int outside_rings = 0;
  if (Contradictions(&held, &outside_rings) == 0) return true;
  const int first_charges = matcher_->ChargedFixes();
  Attempt first = Keep();
  if (SolveHeld(held, rules_)) {
    if (outside_rings > 0 || (matcher_ ? matcher_->ChargedFixes() : 0) <= first_charges) return true;
  }
  if (outside_rings == 0) {
    Restore(first);
    return true;
  }
  const SearchRules all_switches{(1u << kRuleSwitchCount) - 1, rules_.tolerant};
  const bool later = rules_.switches != all_switches.switches && SolveHeld(held, all_switches);
  Restore(first);
  return !later;
}

// Step 5. Charges, and the orders of the bonds each atom leads (a < b): open
// bonds from the matching, bonds to metals and opaque atoms 1.
void MoleculeSolver::Write() {
  solution_.ok = true;
  const std::vector<int>& open_offsets = context_.open_offsets;
  for (size_t l = 0; l < solution_.atoms.size(); ++l) {
    const int a = solution_.atoms[l];
    const int local = static_cast<int>(l);
    const int chosen = matcher_ ? matcher_->Charge(local) : 0;
    solution_.charges[l] = context_.forced_charge[l] + chosen;
    if (chosen != 0 && context_.roles[a] == 0) ++solution_.chosen_charges;
    const bool covalent = Covalent(graph_.Element(a).kind);
    int edge = open_offsets[l];
    for (int b : graph_.Neighbours(a)) {
      const bool settled = fixed_.contains(a, b);
      const int* held = held_.empty() ? nullptr : held_.find(a, b);
      const bool open = covalent && Covalent(graph_.Element(b).kind) && !settled && !held;
      int order = held ? *held : 1;
      if (open && edge < open_offsets[l + 1]) {
        if (matcher_) order += matcher_->ExtraOrder(local, edge);
        ++edge;
      }
      if (a < b && !settled) solution_.bonds.push_back({a, b, order});
    }
  }
}

}  // namespace

BondSearchState& SearchState() {
  static BondSearchState state;
  return state;
}

void SolveComponent(PerceptionContext& context, const BondOrderMap& fixed, int start, const SearchRules& rules,
                    std::vector<int>& path, ComponentSolution& solution) {
  solution.ok = false;
  solution.chosen_charges = 0;
  solution.atoms.clear();
  solution.charges.clear();
  solution.bonds.clear();
  if (start < 0 || start >= context.graph.atom_count) return;
  MoleculeSolver solver(context, fixed, rules, solution);
  solver.Run(start, path);
}

}  // namespace tarvex
