// One molecule at a time (bond_order_search.h). SolveComponent runs the steps
// of MoleculeSolver in order:
//   1. Collect      the molecule holding the start atom, by a depth-first walk;
//   2. PrepareAtom  for each atom: its bonds (CountBonds), its starting state
//                   (StartFrom, or the bare ion of an atom bound only to
//                   metals) and its demand and fixes (pi_fixes.h);
//   3. Match        the pi matching pairs the demands into double and triple
//                   bonds and settles the rest with the fixes;
//   4. Write        the charges, and the orders of every bond not fixed before.
#include "chemistry/bond_order_search.h"

#include <memory>

#include "chemistry/atomic_numbers.h"
#include "chemistry/pi_fixes.h"
#include "chemistry/pi_matching.h"

namespace tarvex {
namespace {

// Hydrogens and main-group atoms take part in the Lewis structure; bonds to
// metals and to atoms without valence data are single and stay out of it.
bool Covalent(ElementKind kind) { return kind == ElementKind::kHydrogenAtom || kind == ElementKind::kMainGroup; }

// Counts the bonds of covalent atom `a` and appends its open neighbours to
// `open_targets`.
AtomBonds CountBonds(const ChemGraph& graph, const BondOrderMap& fixed, int a, std::vector<int>& open_targets) {
  AtomBonds bonds;
  for (int b : graph.Neighbours(a)) {
    const ElementKind kind = graph.Element(b).kind;
    if (kind == ElementKind::kMetal) continue;
    ++bonds.ligands;
    if (kind != ElementKind::kHydrogenAtom) ++bonds.heavy;
    if (kind == ElementKind::kOpaque) {
      bonds.settled += 1;
      continue;
    }
    if (const int* order = fixed.find(a, b)) {
      bonds.settled += *order;
    } else {
      ++bonds.open;
      open_targets.push_back(b);
    }
    if (graph.Element(b).group == kOxygenGroup && graph.Degree(b) == 1) ++bonds.acceptors;
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

class MoleculeSolver {
 public:
  MoleculeSolver(PerceptionContext& context, const BondOrderMap& fixed, const SearchRules& rules,
                 ComponentSolution& solution)
      : context_(context), graph_(context.graph), fixed_(fixed), rules_(rules), solution_(solution) {}
  // The walk's marks are cleared however the solve ends.
  ~MoleculeSolver() {
    for (int a : solution_.atoms) {
      context_.local_index[static_cast<size_t>(a)] = -1;
      context_.visited[static_cast<size_t>(a)] = 0;
    }
  }
  MoleculeSolver(const MoleculeSolver&) = delete;
  MoleculeSolver& operator=(const MoleculeSolver&) = delete;

  void Run(int start, std::vector<int>& path);

 private:
  void Collect(int start, std::vector<int>& path);
  void SolveLoneAtom();
  bool PrepareAtoms();
  bool PrepareAtom(size_t l);
  bool Match();
  void Write();

  PerceptionContext& context_;
  const ChemGraph& graph_;
  const BondOrderMap& fixed_;
  const SearchRules& rules_;
  ComponentSolution& solution_;
  int start_charge_ = 0;     // the charges the atoms' states carry
  bool any_demand_ = false;
  std::unique_ptr<PiMatcher> matcher_;
};

void MoleculeSolver::Run(int start, std::vector<int>& path) {
  Collect(start, path);
  solution_.charges.assign(solution_.atoms.size(), 0);
  if (solution_.atoms.size() == 1) {
    SolveLoneAtom();
    return;
  }
  if (!PrepareAtoms() || !Match()) return;
  Write();
}

// Step 1: the molecule, by a depth-first walk with the path as its explicit
// stack; its atoms are numbered (local_index) in the order the walk meets them.
void MoleculeSolver::Collect(int start, std::vector<int>& path) {
  std::vector<int>& atoms = solution_.atoms;
  path.assign(1, start);
  context_.visited[static_cast<size_t>(start)] = 1;
  while (!path.empty()) {
    const int a = path.back();
    path.pop_back();
    context_.local_index[static_cast<size_t>(a)] = static_cast<int>(atoms.size());
    atoms.push_back(a);
    for (int b : graph_.Neighbours(a)) {
      if (!context_.visited[static_cast<size_t>(b)]) {
        context_.visited[static_cast<size_t>(b)] = 1;
        path.push_back(b);
      }
    }
  }
}

// A lone atom: metals and halogens are ions.
void MoleculeSolver::SolveLoneAtom() {
  const ElementChemistry& element = graph_.Element(solution_.atoms[0]);
  if (element.kind == ElementKind::kMetal || element.group == kHalogenGroup) solution_.charges[0] = element.ion_charge;
  solution_.ok = true;
}

// Step 2 for every atom, and the open bonds between them in local numbers.
bool MoleculeSolver::PrepareAtoms() {
  const size_t m = solution_.atoms.size();
  context_.pi.assign(m, PiAtom());
  context_.forced_charge.assign(m, 0);
  context_.open_offsets.assign(m + 1, 0);
  context_.open_targets.clear();
  for (size_t l = 0; l < m; ++l) context_.pi[l].rank = solution_.atoms[l];
  for (size_t l = 0; l < m; ++l) {
    if (!PrepareAtom(l)) return false;
    start_charge_ += context_.forced_charge[l];
    context_.open_offsets[l + 1] = static_cast<int>(context_.open_targets.size());
  }
  for (int& target : context_.open_targets) target = context_.local_index[static_cast<size_t>(target)];
  return true;
}

// False when the atom cannot be ordered and the solve is not tolerant (a
// tolerated atom keeps single bonds and no charge).
bool MoleculeSolver::PrepareAtom(size_t l) {
  const int a = solution_.atoms[l];
  const ElementChemistry& element = graph_.Element(a);
  int& forced = context_.forced_charge[l];
  if (element.kind == ElementKind::kMetal) forced = element.ion_charge;
  if (!Covalent(element.kind)) return true;
  AtomState atom;
  atom.atom = a;
  atom.element = &element;
  atom.role = context_.roles[static_cast<size_t>(a)];
  atom.hydrogen_free = context_.implicit_hydrogens[static_cast<size_t>(a)] != 0;
  atom.bonds = CountBonds(graph_, fixed_, a, context_.open_targets);
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
  if (!any_demand_) return true;
  matcher_ = std::make_unique<PiMatcher>(context_.pi, context_.open_offsets, context_.open_targets);
  return matcher_->Solve(start_charge_, rules_.tolerant);
}

// Step 4. Charges, and the orders of the bonds each atom leads (a < b): open
// bonds from the matching, bonds to metals and opaque atoms 1.
void MoleculeSolver::Write() {
  solution_.ok = true;
  const std::vector<int>& open_offsets = context_.open_offsets;
  for (size_t l = 0; l < solution_.atoms.size(); ++l) {
    const int a = solution_.atoms[l];
    const int local = static_cast<int>(l);
    const int chosen = matcher_ ? matcher_->Charge(local) : 0;
    solution_.charges[l] = context_.forced_charge[l] + chosen;
    if (chosen != 0 && context_.roles[static_cast<size_t>(a)] == 0) ++solution_.chosen_charges;
    const bool covalent = Covalent(graph_.Element(a).kind);
    int edge = open_offsets[l];
    for (int b : graph_.Neighbours(a)) {
      const bool settled = fixed_.contains(a, b);
      const bool open = covalent && Covalent(graph_.Element(b).kind) && !settled;
      int order = 1;
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
