// The bond orders that types and environments decide before any search
// (MarkOxoGroups, MarkCationGroups). They are written to the initial order
// table, which every pass of the search starts from; the search then gives
// the charges that these orders imply (a nitro nitrogen with four bond
// orders is N+, its single-bonded oxygen O-).
#include <algorithm>

#include "chemistry/atomic_numbers.h"
#include "chemistry/environment_patterns.h"
#include "chemistry/lewis/bond_order_search.h"
#include "molecule/data_file.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

// The record's atoms as the rules read them: element labels (the atom
// types), typing-row suffixes and the bond lists (read directly, as the
// snapshot holds the same). Per atom, the element its label spells exactly
// (-1 otherwise), so the rules compare numbers, not strings: the perception
// in progress has them, a call outside it makes its own.
class RuleView {
 public:
  RuleView(CDataFile& record, const std::vector<std::string>& types, int atom_count)
      : labels_(record.GetAtomType()),
        types_(types),
        bonds_(record.GetConnection()),
        atom_count_(std::min(std::max(atom_count, 0), static_cast<int>(types.size()))),
        elements_(LabelElements(record)) {}

  int AtomCount() const { return atom_count_; }
  bool Is(int a, int element) const {
    return a >= 0 && a < static_cast<int>(elements_.size()) && elements_[a] == element;
  }
  bool Typed(int a, const char* type) const {
    return a >= 0 && a < static_cast<int>(types_.size()) && types_[a] == type;
  }
  bool Matches(const CompiledPattern& pattern, int a) const { return pattern.Match(labels_, bonds_, a); }
  // The neighbours that are atoms of the molecule.
  std::vector<int> Neighbours(int a) const {
    std::vector<int> result;
    if (const BondMap::List* list = bonds_.find(a)) {
      for (int b : *list) {
        if (b >= 0 && b < atom_count_ && b != a) result.push_back(b);
      }
    }
    return result;
  }
  // The neighbour of an atom whose bond list holds one atom of the molecule
  // and nothing else, or -1 (no list to gather: every hydrogen asks).
  int OnlyNeighbour(int a) const {
    const BondMap::List* list = bonds_.find(a);
    if (!list || list->size() != 1) return -1;
    const int b = list->front();
    return b >= 0 && b < atom_count_ && b != a ? b : -1;
  }
  // The length of the atom's bond list, as the patterns count neighbours.
  int Degree(int a) const {
    const BondMap::List* list = bonds_.find(a);
    return list ? static_cast<int>(list->size()) : 0;
  }
  bool TerminalOxygen(int a) const { return Is(a, kOxygen) && Degree(a) == 1; }
  int TerminalOxygens(const std::vector<int>& neighbours) const {
    return static_cast<int>(
        std::count_if(neighbours.begin(), neighbours.end(), [this](int b) { return TerminalOxygen(b); }));
  }

 private:
  const std::vector<int>& LabelElements(CDataFile& record) {
    const BondSearchState& search = SearchState();
    if (search.owner == &record && search.context) return search.context->label_element;
    own_elements_.assign(labels_.size(), -1);
    for (size_t a = 0; a < labels_.size(); ++a) {
      const int z = ElementIndex(labels_[a]);
      own_elements_[a] = z > kDummyAtom && z < kLonePair ? z : -1;
    }
    return own_elements_;
  }

  const std::vector<std::string>& labels_;
  const std::vector<std::string>& types_;
  const BondMap& bonds_;
  int atom_count_;
  std::vector<int> own_elements_;
  const std::vector<int>& elements_;
};

void AllSingle(CDataFile& record, const RuleView& view, int a) {
  for (int b : view.Neighbours(a)) record.SetInitialBondOrder(a, b, 1);
}

void SaturatedCarbons(CDataFile& record, const RuleView& view) {
  for (int a = 0; a < view.AtomCount(); ++a) {
    if (view.Is(a, kCarbon) && view.Typed(a, "3") && view.Degree(a) == 4) AllSingle(record, view, a);
  }
}

void CarboxylCarbons(CDataFile& record, const RuleView& view) {
  static const CompiledPattern kCarboxyl("(3C(1O,1O,*))");
  static const CompiledPattern kCarboxylEster("(3C(1O,2O(C,H),*))");
  for (int a = 0; a < view.AtomCount(); ++a) {
    if (!view.Is(a, kCarbon) || view.Degree(a) != 3) continue;
    if (!view.Matches(kCarboxyl, a) && !view.Matches(kCarboxylEster, a)) continue;
    for (int b : view.Neighbours(a)) {
      if (!view.Is(b, kOxygen)) record.SetInitialBondOrder(a, b, 1);
    }
  }
}

void AmideNitrogens(CDataFile& record, const RuleView& view) {
  for (int a = 0; a < view.AtomCount(); ++a) {
    if (view.Is(a, kNitrogen) && view.Typed(a, "am") && view.Degree(a) == 3) AllSingle(record, view, a);
  }
}

void CarbonylCarbons(CDataFile& record, const RuleView& view) {
  for (int a = 0; a < view.AtomCount(); ++a) {
    if (!view.Is(a, kCarbon) || !view.Typed(a, "2") || view.Degree(a) != 3) continue;
    const std::vector<int> neighbours = view.Neighbours(a);
    if (view.TerminalOxygens(neighbours) != 1) continue;
    for (int b : neighbours) record.SetInitialBondOrder(a, b, view.TerminalOxygen(b) ? 2 : 1);
  }
}

void NitroNitrogens(CDataFile& record, const RuleView& view) {
  static const CompiledPattern kNitrate("(3N(1O,1O,1O))");
  static const CompiledPattern kNitro("(3N(1O,1O,*))");
  for (int a = 0; a < view.AtomCount(); ++a) {
    if (!view.Is(a, kNitrogen) || !view.Typed(a, "pl3") || view.Degree(a) != 3) continue;
    if (!view.Matches(kNitrate, a) && !view.Matches(kNitro, a)) continue;
    bool first = true;
    for (int b : view.Neighbours(a)) {  // neighbour order: the first terminal oxygen of the list
      if (view.TerminalOxygen(b)) {
        record.SetInitialBondOrder(a, b, first ? 2 : 1);
        first = false;
      } else {
        record.SetInitialBondOrder(a, b, 1);
      }
    }
  }
}

void SulfonylSulfurs(CDataFile& record, const RuleView& view) {
  for (int a = 0; a < view.AtomCount(); ++a) {
    if (!view.Is(a, kSulfur) || !(view.Typed(a, "O2") || view.Typed(a, "o2"))) continue;
    const std::vector<int> neighbours = view.Neighbours(a);
    if (view.TerminalOxygens(neighbours) < 2) continue;
    for (int b : neighbours) {
      if (view.Degree(b) > 1) record.SetInitialBondOrder(a, b, 1);
    }
  }
}

void Hydrogens(CDataFile& record, const RuleView& view) {
  for (int a = 0; a < view.AtomCount(); ++a) {
    if (!view.Is(a, kHydrogen)) continue;
    const int b = view.OnlyNeighbour(a);
    if (b >= 0) record.SetInitialBondOrder(a, b, 1);
  }
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
  const RuleView view(*this, mol2_atom_types_, number_of_atoms_);
  SaturatedCarbons(*this, view);
  CarboxylCarbons(*this, view);
  AmideNitrogens(*this, view);
  CarbonylCarbons(*this, view);
  NitroNitrogens(*this, view);
  SulfonylSulfurs(*this, view);
  Hydrogens(*this, view);
}

// Carbons typed cat by the rows ("(3C(3N(C,H,*),3N(C,H,*),*))") are only
// candidates: a thiourea "(3C(3N,3N,1S))", urea "(3C(3N,3N,1O))" or neutral
// guanidine "(3C(3N,3N,2N))" carbon is neutral and becomes a plain sp2
// carbon with its C=S, C=O or C=N double bond; the others (amidinium,
// guanidinium) are left to the search, which finds the N+ where it belongs.
// An isocyanide nitrogen "(2N(1C,*))" gets its triple bond to the terminal
// carbon (the search then reads R-N+#C-).
void CDataFile::MarkCationGroups() {
  const RuleView view(*this, mol2_atom_types_, number_of_atoms_);
  const int n = view.AtomCount();
  static const CompiledPattern kThiourea("(3C(3N,3N,1S))");
  static const CompiledPattern kUrea("(3C(3N,3N,1O))");
  static const CompiledPattern kGuanidine("(3C(3N,3N,2N))");
  static const CompiledPattern kIsocyanide("(2N(1C,*))");
  for (int a = 0; a < n; ++a) {
    if (!view.Is(a, kCarbon) || !view.Typed(a, "cat")) continue;
    const bool chalcogen = view.Matches(kThiourea, a) || view.Matches(kUrea, a);
    const bool imine = view.Matches(kGuanidine, a);
    if (!chalcogen && !imine) continue;
    mol2_atom_types_[a] = std::string(1, '2');
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
    if (!view.Is(a, kNitrogen) || !view.Matches(kIsocyanide, a)) continue;
    if (context && context->implicit_hydrogens[a] && !(context->roles[a] & kIsocyanideNitrogen)) {
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
