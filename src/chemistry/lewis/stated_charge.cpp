#include "chemistry/lewis/stated_charge.h"

#include <cstdlib>
#include <numeric>

#include "chemistry/atomic_numbers.h"

namespace tarvex {
namespace {

// Electrons are taken from lone pairs in the order of the ionisation
// energies of their atoms: an anion's extra electron first, then the lone
// pairs of nitrogen (amines, nitriles, pyridines), phosphorus, sulfur and
// selenium, oxygen, the halogens last. Lower is earlier; -1 never.
int LonePairRank(const ChemGraph& graph, int a, int charge) {
  if (charge < 0) return 0;
  switch (graph.Element(a).group) {
    case kNitrogenGroup:
      return graph.AtomicNumber(a) == kNitrogen ? 1 : 2;
    case kOxygenGroup:
      return graph.AtomicNumber(a) == kOxygen ? 4 : 3;
    case kHalogenGroup:
      return 5;
    default:
      return -1;
  }
}

// An electron added to a double bond goes to its more electronegative end:
// a ketyl (C=O) before an imine (C=N) before an alkene.
int Electronegativity(const ChemGraph& graph, int a) {
  switch (graph.AtomicNumber(a)) {
    case kOxygen:
      return 3;
    case kNitrogen:
      return 2;
    case kSulfur:
      return 1;
    default:
      return 0;
  }
}

constexpr int kHighestOxidationState = 8;

// A move of electrons: `atom` changes its charge by `charge_step`; for a
// double bond, `partner` is its other end and the bond loses an order.
struct Move {
  int atom = -1;
  int partner = -1;
  int charge_step = 0;
  int unpaired_step = 0;
  int rank = 0;  // lower is better
};

class ElectronBook {
 public:
  ElectronBook(const ChemGraph& graph, const std::vector<char>& implied, BondOrderMap& orders,
               std::vector<int>& charges)
      : graph_(graph), implied_(implied), orders_(orders), charges_(charges) {}

  int Net() const { return std::accumulate(charges_.begin(), charges_.end(), 0); }
  bool HasMetal() const {
    for (int a = 0; a < graph_.atom_count; ++a) {
      if (graph_.Element(a).kind == ElementKind::kMetal) return true;
    }
    return false;
  }
  int Unpaired() const {
    int count = 0;
    for (int a = 0; a < graph_.atom_count; ++a) count += Takes(a) && NonBonding(a) % 2 != 0 ? 1 : 0;
    return count;
  }
  // The best move that changes the charge by `step` (+1 takes an electron
  // away, -1 adds one), or by 0 to unpair the electrons of a double bond;
  // `want_unpaired` tells which way the unpaired electrons should go.
  Move Best(int step, int want_unpaired) const;
  void Apply(const Move& move);

 private:
  // Atoms whose electrons are counted: hydrogens and main-group atoms of
  // molecules with explicit hydrogens.
  bool Takes(int a) const {
    const ElementKind kind = graph_.Element(a).kind;
    return (kind == ElementKind::kHydrogenAtom || kind == ElementKind::kMainGroup) && !implied_[a];
  }
  int Valence(int a) const {
    return graph_.Element(a).kind == ElementKind::kHydrogenAtom ? 1 : graph_.Element(a).group - 10;
  }
  int Order(int a, int b) const {
    const int* order = orders_.find(a, b);
    return order ? *order : 1;
  }
  // Bond orders to anything but metals (bonds to metals are coordination
  // bonds, outside the ligand's own count).
  int BondSum(int a) const {
    int sum = 0;
    for (int b : graph_.Neighbours(a)) sum += graph_.Element(b).kind == ElementKind::kMetal ? 0 : Order(a, b);
    return sum;
  }
  int NonBonding(int a) const { return Valence(a) - BondSum(a) - charges_[a]; }
  // Room for one more electron: two for hydrogen, an octet otherwise.
  bool HasRoom(int a) const {
    const int full = graph_.Element(a).kind == ElementKind::kHydrogenAtom ? 2 : 8;
    return 2 * BondSum(a) + NonBonding(a) < full;
  }
  void Consider(const Move& move, int want_unpaired, Move& best) const;
  void AtomMoves(int step, int want_unpaired, Move& best) const;
  void BondMoves(int step, int want_unpaired, Move& best) const;

  const ChemGraph& graph_;
  const std::vector<char>& implied_;
  BondOrderMap& orders_;
  std::vector<int>& charges_;
};

// Moves toward the wanted unpaired electrons come first, then by rank, then
// the first atom.
void ElectronBook::Consider(const Move& move, int want_unpaired, Move& best) const {
  auto toward = [want_unpaired](const Move& m) { return want_unpaired * m.unpaired_step > 0 ? 0 : 1; };
  if (best.atom < 0 || toward(move) < toward(best) || (toward(move) == toward(best) && move.rank < best.rank)) {
    best = move;
  }
}

// An electron taken from or given to one atom: from an unpaired electron or
// a lone pair, to an unpaired electron or an empty orbital.
void ElectronBook::AtomMoves(int step, int want_unpaired, Move& best) const {
  if (step == 0) return;
  for (int a = 0; a < graph_.atom_count; ++a) {
    if (graph_.Element(a).kind == ElementKind::kMetal) {
      // A metal's oxidation state is what the stated charge changes first:
      // [MoOCl4]2- holds molybdenum(IV), not the usual Mo(VI).
      const int charge = charges_[a];
      if ((step > 0 && charge < kHighestOxidationState) || (step < 0 && charge > 0)) {
        Consider({a, -1, step, 0, -1}, want_unpaired, best);
      }
      continue;
    }
    if (!Takes(a)) continue;
    const int lone = NonBonding(a);
    const bool odd = lone % 2 != 0;
    if (step > 0 && lone > 0) {
      const int rank = odd ? 0 : LonePairRank(graph_, a, charges_[a]);
      if (rank >= 0) Consider({a, -1, +1, odd ? -1 : +1, rank}, want_unpaired, best);
    } else if (step < 0 && lone >= 0 && HasRoom(a)) {
      // An empty orbital of a cation (C+) before a neutral atom's; first of
      // all an atom bound to nothing but metals, the oxide or halide ligand
      // whose bond the geometry did not show.
      const int rank = graph_.LigandDegree(a) == 0 ? -2 : (odd ? 0 : (charges_[a] > 0 ? 1 : 3));
      if (graph_.Element(a).kind == ElementKind::kMainGroup) {
        Consider({a, -1, -1, odd ? -1 : +1, rank}, want_unpaired, best);
      }
    }
  }
}

// An electron taken from or given to a double bond (it keeps one order),
// or its pair unpaired: the atom that takes the charge is `atom`, the one
// left with the unpaired electron `partner`.
void ElectronBook::BondMoves(int step, int want_unpaired, Move& best) const {
  for (int a = 0; a < graph_.atom_count; ++a) {
    if (!Takes(a)) continue;
    for (int b : graph_.Neighbours(a)) {
      if (b < a || !Takes(b) || Order(a, b) < 2) continue;
      const int ea = Electronegativity(graph_, a);
      const int eb = Electronegativity(graph_, b);
      if (step > 0) {
        // The charge stays on the less electronegative end: C+ and C.,
        // alkenes first.
        const auto [x, y] = ea <= eb ? std::pair{a, b} : std::pair{b, a};
        Consider({x, y, +1, +1, 10 + ea + eb}, want_unpaired, best);
      } else if (step < 0) {
        const auto [x, y] = ea >= eb ? std::pair{a, b} : std::pair{b, a};
        Consider({x, y, -1, +1, 10 + 6 - std::max(ea, eb)}, want_unpaired, best);
      } else {
        Consider({a, b, 0, +2, 10 + 6 - ea - eb}, want_unpaired, best);
      }
    }
  }
}

Move ElectronBook::Best(int step, int want_unpaired) const {
  Move best;
  AtomMoves(step, want_unpaired, best);
  const bool atom_toward = best.atom >= 0 && want_unpaired * best.unpaired_step > 0;
  if (!atom_toward) BondMoves(step, want_unpaired, best);
  return best;
}

void ElectronBook::Apply(const Move& move) {
  charges_[move.atom] += move.charge_step;
  if (move.partner < 0) return;
  int& order = orders_(move.atom, move.partner);
  order -= 1;
}

}  // namespace

bool MeetStatedCharge(const ChemGraph& graph, const std::vector<char>& implied, const StatedState& stated,
                      BondOrderMap& orders, std::vector<int>& charges) {
  ElectronBook book(graph, implied, orders, charges);
  // Where a metal is present its d shell holds the unpaired electrons a
  // multiplicity counts (a copper(II) complex is a doublet): the ligands are
  // not made radicals for them.
  const bool metal = book.HasMetal();
  // Each move brings the charge or the unpaired electrons one step nearer;
  // the bound only guards against a structure that lets them swing.
  const int most_moves = 2 * (std::abs(stated.charge - book.Net()) + stated.unpaired) + 4;
  for (int moves = 0; moves < most_moves; ++moves) {
    const int net = book.Net();
    const int want_unpaired = metal ? 0 : stated.unpaired - book.Unpaired();
    if (net == stated.charge && want_unpaired < 2) break;
    const int step = stated.charge > net ? 1 : (stated.charge < net ? -1 : 0);
    const Move move = book.Best(step, want_unpaired);
    if (move.atom < 0) break;
    book.Apply(move);
  }
  return book.Net() == stated.charge;
}

}  // namespace tarvex
