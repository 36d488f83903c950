// Bond orders, MOL2 atom and bond types and formal charges: the record's
// perception pipeline (slots 87 to 95). Each step gathers the record's lists
// and hands them to the plain-data chemistry:
//   environment_patterns  the typing rows and group patterns
//   bond_order_search     valences, charged states, the rule switches and levels
//   pi_matching           double bonds and charges by maximum matching
//   implicit_hydrogens    unsaturation from geometry when hydrogens are missing
//   stated_charge         the charge and multiplicity a file states
//   ring_perception, aromaticity, sybyl_types   rings and the final types
#include <algorithm>
#include <map>
#include <numeric>
#include <optional>

#include "chemistry/environment_patterns.h"
#include "chemistry/ion_names.h"
#include "chemistry/lewis/bond_order_search.h"
#include "chemistry/lewis/stated_charge.h"
#include "chemistry/lewis/sybyl_types.h"
#include "common/console.h"
#include "common/text.h"
#include "molecule/data_file.h"

namespace tarvex {
namespace {

// Holds the search state's context for a record while a perception step
// runs; nested scopes for the same record share it, and the scope that built
// it releases it.
class PerceptionScope {
 public:
  explicit PerceptionScope(CDataFile& record) {
    BondSearchState& state = SearchState();
    if (state.owner == &record && state.context) return;
    const int n = std::max(record.GetNumberOfAtoms(), 0);
    const std::vector<std::string>& types = record.GetAtomType();
    const double scale = record.GetBondScale() > 0.0 ? record.GetBondScale() : 1.0;
    auto standard_length = [&record, &types, scale](int a, int b) {
      if (a >= static_cast<int>(types.size()) || b >= static_cast<int>(types.size())) return 0.0;
      return record.GetPairParameter(types[a], types[b]) / scale;
    };
    state.context = BuildPerceptionContext(n, record.GetConnection(), types, record.GetCartesian(), standard_length,
                                           NamedIonCharges(types, record.GetAtomName(), record.GetResidueName()));
    state.owner = &record;
    ++state.generation;
    built_ = true;
  }
  ~PerceptionScope() {
    if (!built_) return;
    BondSearchState& state = SearchState();
    state.context.reset();
    state.owner = nullptr;
  }
  PerceptionScope(const PerceptionScope&) = delete;
  PerceptionScope& operator=(const PerceptionScope&) = delete;
  PerceptionContext& Context() { return *SearchState().context; }

 private:
  bool built_ = false;
};

// Leaves the depth counter as it found it on every return.
class DepthGuard {
 public:
  DepthGuard() {
    BondSearchState& state = SearchState();
    if (state.depth == 0) state.path.clear();
    ++state.depth;
  }
  ~DepthGuard() { --SearchState().depth; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;
};

// The typing rows of one element, compiled once per perception.
struct CompiledRows {
  const std::vector<std::string>* suffixes = nullptr;
  std::vector<CompiledPattern> patterns;
};

// Enters a solved molecule into the record: its bond orders into the fixed
// table, its charges, and its atoms as settled.
void ApplySolution(CDataFile& record, const ComponentSolution& solution) {
  BondOrderMap& fixed = record.GetFixedBondOrders();
  std::vector<int>& charges = record.GetFormalCharges();
  const size_t n = static_cast<size_t>(std::max(record.GetNumberOfAtoms(), 0));
  if (charges.size() < n) charges.resize(n, 0);
  for (const SettledBond& bond : solution.bonds) fixed.set(bond.i, bond.j, bond.order);
  for (size_t k = 0; k < solution.atoms.size(); ++k) {
    charges[solution.atoms[k]] = solution.charges[k];
    record.MarkAtomAssigned(solution.atoms[k]);
  }
}

// The search for the molecule holding `start` at levels 0 to kHighestLevel,
// then kLastLevel, up to the first success.
bool SearchAtRisingLevels(CDataFile& record, int start) {
  for (int level = 0; level <= kHighestLevel; ++level) {
    if (record.SearchBondOrders(start, level)) return true;
  }
  return record.SearchBondOrders(start, kLastLevel);
}

// A file that states its charge and multiplicity (a Gaussian input or log)
// has its structure brought to them (stated_charge.h), or says in one line
// that none was found.
void HonourStatedCharge(CDataFile& record, const PerceptionContext& context) {
  const std::optional<ChargeAndMultiplicity>& stated = record.GetStatedChargeAndMultiplicity();
  if (!stated) return;
  std::vector<int>& charges = record.GetFormalCharges();
  if (MeetStatedCharge(context.graph, context.implicit_hydrogens, {stated->charge, stated->UnpairedElectrons()},
                       record.GetFixedBondOrders(), charges)) {
    return;
  }
  const long long net = std::accumulate(charges.begin(), charges.end(), 0LL);
  Warn("Warning: the formal charges sum to " + std::to_string(net) + ", but the file states a charge of " +
       std::to_string(stated->charge) + ".");
}

LewisStructure MakeLewisStructure(CDataFile& record, const PerceptionContext& context) {
  LewisStructure lewis;
  lewis.graph = &context.graph;
  lewis.rings = &context.rings;
  lewis.implicit_hydrogens = &context.implicit_hydrogens;
  const ChemGraph& g = context.graph;
  lewis.edge_order.resize(g.targets.size());
  for (int a = 0; a < g.atom_count; ++a) {
    for (int k : g.Edges(a)) {
      const int b = g.Target(k);
      // Both sides of a bond read one entry: look it up from the lower atom.
      const int order = a < b ? record.GetBondOrder(a, b) : lewis.edge_order[static_cast<size_t>(g.EdgeIndex(b, a))];
      lewis.edge_order[k] = order > 0 ? order : 1;
    }
  }
  lewis.charge.assign(static_cast<size_t>(g.atom_count), 0);
  for (int a = 0; a < g.atom_count; ++a) lewis.charge[a] = record.GetFormalCharge(a);
  return lewis;
}

}  // namespace

// The pipeline: types from the rows, the orders the groups decide, then the
// search under ever more rule switches until every molecule is settled.
//
// A record without any bond is perceived too when it has atoms: its atoms
// are monatomic ions (a lone Na+), which must count in the net charge.
void CDataFile::PerceiveBondTypes() {
  if (!HasState("atom_index") || !HasState("atom_type") || number_of_atoms_ <= 0) return;
  types_assigned_ = 1;
  const size_t n = static_cast<size_t>(std::max(number_of_atoms_, 0));
  formal_charges_.assign(n, 0);
  mol2_bond_types_.clear();
  initial_bond_orders_.clear();
  fixed_bond_orders_.clear();
  bond_orders_.clear();

  BondSearchState& state = SearchState();
  state.owner = nullptr;  // always a fresh context
  state.context.reset();
  PerceptionScope scope(*this);
  initial_bond_orders_.reserve(scope.Context().graph.targets.size() / 2);
  if (scope.Context().any_implicit_hydrogens || scope.Context().open_nitrogens) {
    Warn("Warning: hydrogen atoms missing; valences completed with implicit hydrogens.");
  }
  AssignMol2AtomTypes();
  MarkOxoGroups();
  MarkCationGroups();

  bool settled = false;
  state.switches = 0;
  for (int k = 0; k < kRuleSwitchCount && !settled; ++k) {
    const RuleSwitch added = static_cast<RuleSwitch>(k);
    state.switches |= SwitchBit(added);
    if (added == kCommonIons) ReservedBondStep();
    ResetAtomLinks();
    int start = 0;
    while (SearchAtRisingLevels(*this, start)) {
      start = NextUnassignedAtom();
      if (start < 0) {
        settled = true;
        break;
      }
    }
  }
  if (!settled) {
    ResetAtomLinks();
    std::string where = ".";
    if (output_file_name_ != kDefaultOutputName)
      where = ": " + output_file_name_;
    else if (input_file_name_ != kDefaultInputName)
      where = ": " + input_file_name_;
    Warn("Warning: incorrect bond information" + where);
    AssignFallbackBondOrders();
  }
  state.switches = 0;
  HonourStatedCharge(*this, scope.Context());
  snapshot_.bond_orders = fixed_bond_orders_;
  snapshot_.formal_charges = formal_charges_;
  RefineAtomTypes();
  AssignMol2BondTypes();
}

// Every atom takes the suffix of the first typing row of its element whose
// pattern matches, alternatives tried one by one.
void CDataFile::AssignMol2AtomTypes() {
  const int n = std::max(number_of_atoms_, 0);
  mol2_atom_types_.assign(static_cast<size_t>(n), std::string());
  std::map<std::string, CompiledRows> rows_of_element;
  for (const auto& [element, patterns] : type_patterns_) {
    CompiledRows& rows = rows_of_element[element];
    auto suffixes = type_suffixes_.find(element);
    if (suffixes == type_suffixes_.end()) continue;
    rows.suffixes = &suffixes->second;
    for (const std::string& pattern : patterns) rows.patterns.emplace_back(pattern);
  }
  const std::vector<std::string>& labels = atom_type_;
  const BondMap& bonds = connection_;
  // Atoms of one type share their rows: look each distinct type up once
  // (the chemistry graph has numbered the distinct types).
  PerceptionScope scope(*this);
  const ChemGraph& graph = scope.Context().graph;
  std::vector<const CompiledRows*> rows_of_type(graph.type_names.size(), nullptr);
  for (size_t t = 0; t < graph.type_names.size(); ++t) {
    // Rows are kept under their upper-cased element ("SI"); the atoms are
    // typed by their symbol as written ("Si").
    auto found = rows_of_element.find(ToUpper(graph.type_names[t]));
    if (found != rows_of_element.end() && found->second.suffixes) rows_of_type[t] = &found->second;
  }
  for (int a = 0; a < n && a < static_cast<int>(atom_type_.size()); ++a) {
    const CompiledRows* row_set = rows_of_type[static_cast<size_t>(graph.element_of[a])];
    if (!row_set) continue;
    const CompiledRows& rows = *row_set;
    for (size_t r = 0; r < rows.patterns.size() && r < rows.suffixes->size(); ++r) {
      bool matched = false;
      for (size_t k = 0; k < rows.patterns[r].AlternativeCount() && !matched; ++k) {
        matched = rows.patterns[r].MatchAlternative(labels, bonds, a, k);
      }
      if (matched) {
        mol2_atom_types_[a] = (*rows.suffixes)[r];
        break;
      }
    }
  }
}

// The settled types after the search (sybyl_types.h).
void CDataFile::RefineAtomTypes() {
  PerceptionScope scope(*this);
  PerceptionContext& context = scope.Context();
  context.lewis = MakeLewisStructure(*this, context);
  context.aromaticity = FindAromaticity(context.lewis);
  context.structure_ready = true;
  mol2_atom_types_.resize(static_cast<size_t>(std::max(number_of_atoms_, 0)));
  RefineSybylTypes(context.lewis, context.aromaticity, (file_flags_ & kFileGold) != 0, mol2_atom_types_);
}

// The search for the molecule holding `start` (bond_order_search.h). The
// molecule is solved once per pass; the levels only decide whether its
// charges are admitted, so the same solution serves every level.
bool CDataFile::SearchBondOrders(int start, int level) {
  DepthGuard depth;
  if (start < 0 || start >= number_of_atoms_) return false;
  PerceptionScope scope(*this);
  BondSearchState& state = SearchState();
  const bool cached = state.cached && state.cached_owner == this && state.cached_start == start &&
                      state.cached_switches == state.switches && state.cached_generation == state.generation;
  if (!cached) {
    SolveComponent(scope.Context(), fixed_bond_orders_, start, SearchRules{state.switches, false}, state.path,
                   state.cached_solution);
    state.cached = true;
    state.cached_owner = this;
    state.cached_start = start;
    state.cached_switches = state.switches;
    state.cached_generation = state.generation;
  }
  const ComponentSolution& solution = state.cached_solution;
  if (!solution.ok) return false;
  if (level != kLastLevel && solution.chosen_charges > level) return false;
  ApplySolution(*this, solution);
  return true;
}

// After every pass failed: each molecule is searched once more at level 0;
// one that still fails is searched at the higher levels (so that one broken
// molecule does not strip every charged molecule of a solvated system of
// its charges), and then solved tolerantly: the atoms no state fits keep
// single bonds and no charge, the rest of the molecule is ordered as usual.
// Bonds still without an order get order 1.
void CDataFile::AssignFallbackBondOrders() {
  ResetAtomLinks();
  PerceptionScope scope(*this);
  BondSearchState& state = SearchState();
  for (int start = number_of_atoms_ > 0 ? 0 : -1; start >= 0; start = NextUnassignedAtom()) {
    if (SearchAtRisingLevels(*this, start)) continue;
    DepthGuard depth;
    ComponentSolution solution;
    SolveComponent(scope.Context(), fixed_bond_orders_, start, SearchRules{state.switches, /*tolerant=*/true},
                   state.path, solution);
    ApplySolution(*this, solution);
  }
  for (auto [atom, neighbours] : connection_) {
    for (int other : neighbours) {
      if (other < 0 || other >= number_of_atoms_ || other == atom || atom >= number_of_atoms_) continue;
      if (!HasBondOrder(atom, other)) fixed_bond_orders_.set(atom, other, 1);
    }
  }
}

// The structure RefineAtomTypes just read is reused when it ran in the same
// perception; called alone, this step reads it afresh.
void CDataFile::AssignMol2BondTypes() {
  PerceptionScope scope(*this);
  PerceptionContext& context = scope.Context();
  if (!context.structure_ready) {
    context.lewis = MakeLewisStructure(*this, context);
    context.aromaticity = FindAromaticity(context.lewis);
  }
  context.structure_ready = false;
  const bool gold = (file_flags_ & kFileGold) != 0;
  const ChemGraph& g = context.graph;
  mol2_bond_types_.clear();
  mol2_bond_types_.reserve(g.targets.size() / 2);
  mol2_atom_types_.resize(static_cast<size_t>(g.atom_count));
  for (int a = 0; a < g.atom_count; ++a) {
    for (int k : g.Edges(a)) {
      const int b = g.Target(k);
      if (a < b) SetMol2BondType(a, b, SybylBondType(context.lewis, context.aromaticity, gold, mol2_atom_types_, a, k));
    }
  }
}

}  // namespace tarvex
