// The bond orders that types and environments decide before any search
// (MarkOxoGroups, MarkCationGroups). They are written to the initial order
// table, which every pass of the search starts from; the search then gives
// the charges that these orders imply (a nitro nitrogen with four bond
// orders is N+, its single-bonded oxygen O-).
#include <algorithm>

#include "chemistry/atomic_numbers.h"
#include "chemistry/bond_order_search.h"
#include "chemistry/environment_patterns.h"
#include "molecule/data_file.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

// The record's atoms as the rules read them: element labels (the atom
// types), typing-row suffixes and the bond lists (read directly, as the
// snapshot holds the same).
// `elements` holds, per atom, the element its label spells exactly (-1
// otherwise), so the rules compare numbers, not strings.
struct RuleView {
  const std::vector<std::string>& labels;
  const std::vector<int>& elements;
  const std::vector<std::string>& types;
  const BondMap& bonds;
  int atom_count;

  bool Is(int a, int element) const {
    return a >= 0 && a < static_cast<int>(elements.size()) && elements[static_cast<size_t>(a)] == element;
  }
  bool Typed(int a, const char* type) const {
    return a >= 0 && a < static_cast<int>(types.size()) && types[static_cast<size_t>(a)] == type;
  }
  // The neighbours that are atoms of the molecule.
  std::vector<int> Neighbours(int a) const {
    std::vector<int> result;
    if (const BondMap::List* list = bonds.find(a)) {
      for (int b : *list) {
        if (b >= 0 && b < atom_count && b != a) result.push_back(b);
      }
    }
    return result;
  }
  int Degree(int a) const {
    const BondMap::List* list = bonds.find(a);
    return list ? static_cast<int>(list->size()) : 0;
  }
  bool TerminalOxygen(int a) const { return Is(a, kOxygen) && Degree(a) == 1; }
};

// The context of the perception in progress, or one made for this call.
const std::vector<int>& LabelElements(CDataFile& record, std::vector<int>& own) {
  const BondSearchState& search = SearchState();
  if (search.owner == &record && search.context) return search.context->label_element;
  const std::vector<std::string>& labels = record.GetAtomType();
  own.assign(labels.size(), -1);
  for (size_t a = 0; a < labels.size(); ++a) {
    const int z = ElementIndex(labels[a]);
    own[a] = z > kDummyAtom && z < kLonePair ? z : -1;
  }
  return own;
}

}  // namespace

// The settled cases, in the order they are visited:
//   - a saturated carbon (typed 3, four neighbours): all bonds single;
//   - a carboxyl carbon, "(3C(1O,1O,*))" (acid or carboxylate) or
//     "(3C(1O,2O(C,H),*))" (ester, acid): its bond to the non-oxygen
//     neighbour single, the C-O orders left to the search;
//   - an amide nitrogen (typed am, three neighbours): all its bonds single,
//     the C-N bond to the carbonyl carbon among them;
//   - a carbon typed 2 with exactly one terminal oxygen (formaldehyde,
//     phosgene): C=O double, its other bonds single;
//   - a nitro or nitrate nitrogen (typed pl3, "(3N(1O,1O,1O))" or
//     "(3N(1O,1O,*))"): its first terminal oxygen double, the others single,
//     the bond to the rest of the molecule single;
//   - a sulfone or sulfonyl sulfur (typed O2 or o2) with at least two
//     terminal oxygens: its bonds to neighbours with more than one neighbour
//     single (the S=O bonds are left to the search);
//   - a hydrogen with one neighbour: single.
void CDataFile::MarkOxoGroups() {
  const int n = std::min(std::max(number_of_atoms_, 0), static_cast<int>(mol2_atom_types_.size()));
  std::vector<int> own_elements;
  RuleView view{atom_type_, LabelElements(*this, own_elements), mol2_atom_types_, connection_, n};
  static const CompiledPattern kCarboxyl("(3C(1O,1O,*))");
  static const CompiledPattern kCarboxylEster("(3C(1O,2O(C,H),*))");
  static const CompiledPattern kNitrate("(3N(1O,1O,1O))");
  static const CompiledPattern kNitro("(3N(1O,1O,*))");
  auto all_single = [&](int a) {
    for (int b : view.Neighbours(a)) SetInitialBondOrder(a, b, 1);
  };
  for (int a = 0; a < n; ++a) {
    if (view.Is(a, kCarbon) && view.Typed(a, "3") && view.Degree(a) == 4) all_single(a);
  }
  for (int a = 0; a < n; ++a) {
    if (!view.Is(a, kCarbon) || view.Degree(a) != 3) continue;
    if (!kCarboxyl.Match(view.labels, view.bonds, a) && !kCarboxylEster.Match(view.labels, view.bonds, a)) continue;
    for (int b : view.Neighbours(a)) {
      if (!view.Is(b, kOxygen)) SetInitialBondOrder(a, b, 1);
    }
  }
  for (int a = 0; a < n; ++a) {
    if (view.Is(a, kNitrogen) && view.Typed(a, "am") && view.Degree(a) == 3) all_single(a);
  }
  for (int a = 0; a < n; ++a) {
    if (!view.Is(a, kCarbon) || !view.Typed(a, "2") || view.Degree(a) != 3) continue;
    std::vector<int> neighbours = view.Neighbours(a);
    if (std::count_if(neighbours.begin(), neighbours.end(), [&](int b) { return view.TerminalOxygen(b); }) != 1) {
      continue;
    }
    for (int b : neighbours) SetInitialBondOrder(a, b, view.TerminalOxygen(b) ? 2 : 1);
  }
  for (int a = 0; a < n; ++a) {
    if (!view.Is(a, kNitrogen) || !view.Typed(a, "pl3") || view.Degree(a) != 3) continue;
    if (!kNitrate.Match(view.labels, view.bonds, a) && !kNitro.Match(view.labels, view.bonds, a)) continue;
    bool first = true;
    for (int b : view.Neighbours(a)) {  // neighbour order: the first terminal oxygen of the list
      if (view.TerminalOxygen(b)) {
        SetInitialBondOrder(a, b, first ? 2 : 1);
        first = false;
      } else {
        SetInitialBondOrder(a, b, 1);
      }
    }
  }
  for (int a = 0; a < n; ++a) {
    if (!view.Is(a, kSulfur) || !(view.Typed(a, "O2") || view.Typed(a, "o2"))) continue;
    std::vector<int> neighbours = view.Neighbours(a);
    if (std::count_if(neighbours.begin(), neighbours.end(), [&](int b) { return view.TerminalOxygen(b); }) < 2) {
      continue;
    }
    for (int b : neighbours) {
      if (view.Degree(b) > 1) SetInitialBondOrder(a, b, 1);
    }
  }
  for (int a = 0; a < n; ++a) {
    if (!view.Is(a, kHydrogen)) continue;
    const BondMap::List* neighbours = view.bonds.find(a);
    if (neighbours && neighbours->size() == 1) {
      const int b = neighbours->front();
      if (b >= 0 && b < n && b != a) SetInitialBondOrder(a, b, 1);
    }
  }
}

// Carbons typed cat by the rows ("(3C(3N(C,H,*),3N(C,H,*),*))") are only
// candidates: a thiourea "(3C(3N,3N,1S))", urea "(3C(3N,3N,1O))" or neutral
// guanidine "(3C(3N,3N,2N))" carbon is neutral and becomes a plain sp2
// carbon with its C=S, C=O or C=N double bond; the others (amidinium,
// guanidinium) are left to the search, which finds the N+ where it belongs.
// An isocyanide nitrogen "(2N(1C,*))" gets its triple bond to the terminal
// carbon (the search then reads R-N+#C-).
void CDataFile::MarkCationGroups() {
  const int n = std::min(std::max(number_of_atoms_, 0), static_cast<int>(mol2_atom_types_.size()));
  std::vector<int> own_elements;
  RuleView view{atom_type_, LabelElements(*this, own_elements), mol2_atom_types_, connection_, n};
  static const CompiledPattern kThiourea("(3C(3N,3N,1S))");
  static const CompiledPattern kUrea("(3C(3N,3N,1O))");
  static const CompiledPattern kGuanidine("(3C(3N,3N,2N))");
  static const CompiledPattern kIsocyanide("(2N(1C,*))");
  for (int a = 0; a < n; ++a) {
    if (!view.Is(a, kCarbon) || !view.Typed(a, "cat")) continue;
    const bool chalcogen = kThiourea.Match(view.labels, view.bonds, a) || kUrea.Match(view.labels, view.bonds, a);
    const bool imine = kGuanidine.Match(view.labels, view.bonds, a);
    if (!chalcogen && !imine) continue;
    mol2_atom_types_[static_cast<size_t>(a)] = std::string(1, '2');
    for (int b : view.Neighbours(a)) {
      const bool partner = chalcogen ? view.Degree(b) == 1 && (view.Is(b, kOxygen) || view.Is(b, kSulfur))
                                     : view.Is(b, kNitrogen) && view.Degree(b) == 2;
      SetInitialBondOrder(a, b, partner ? 2 : 1);
    }
  }
  // Without hydrogens a bent N-methyl nitrogen has the same neighbour counts.
  const BondSearchState& search = SearchState();
  const PerceptionContext* context = search.owner == this ? search.context.get() : nullptr;
  for (int a = 0; a < n; ++a) {
    if (!view.Is(a, kNitrogen) || !kIsocyanide.Match(view.labels, view.bonds, a)) continue;
    if (context && context->implicit_hydrogens[static_cast<size_t>(a)] &&
        !(context->roles[static_cast<size_t>(a)] & kIsocyanideNitrogen)) {
      continue;
    }
    for (int b : view.Neighbours(a)) {
      SetInitialBondOrder(a, b, view.Is(b, kCarbon) && view.Degree(b) == 1 ? 3 : 1);
    }
  }
}

// Slot 93 is reserved; the pipeline calls it when the second rule switch
// comes on.
void CDataFile::ReservedBondStep() {}

}  // namespace tarvex
