// Double and triple bonds as a matching problem.
//
// Once every atom of a molecule has a valence, each atom wants a number of
// extra bond orders on its open bonds (its "demand": a carbonyl carbon 1, a
// nitrile nitrogen 2, a saturated carbon 0). Give every atom that many
// copies of itself, each copy joined to every copy of its neighbours along
// open bonds: a perfect matching of the copies is a Lewis structure (two
// matched copies of a and b add one order to the bond a-b), and in an
// aromatic ring it is a Kekule structure. A maximum matching is found
// greedily and completed with Edmonds' augmenting paths (blossoms contract
// the odd rings of five-membered heterocycles), so the work is polynomial
// and in practice near-linear: no search over alternatives.
//
// A copy left unmatched is a place where no neutral Lewis structure exists:
// a carboxylate has one oxygen too many, a pyridinium ring one carbon. Each
// such deficiency is settled by one fix, the cheapest the atom kinds allow:
//   - lowering: an atom takes one bond order less than its valence and a
//     charge (an oxygen becomes O-, a carbon a carbanion), or in a structure
//     without hydrogens simply one implicit hydrogen more;
//   - raising: an atom next to the deficiency takes one bond order more (an
//     amine nitrogen becomes N+, as in pyridinium, iminium, amidinium).
// The alternating paths of the matching move a deficiency anywhere along a
// conjugated chain, so the fix lands on the best atom of the whole system
// (the oxygen of an enolate, not its carbon). Among fixes of equal cost the
// one that brings the molecule's charge nearer to zero wins (so a nitro group
// comes out N+ and O-, not two O-), then the later atom (so a carboxylate
// written C(=O)O carries its charge on the second oxygen, as SMILES-derived
// files usually have it). Bond lengths are not read here: the two C-O of a
// carboxylate differ by as much in a hydrogen-bonded geometry as those of an
// enolate; the lengths that do tell (bond_lengths.h) are heeded by the
// search, which solves again with them.
#pragma once

#include <cstddef>
#include <vector>

#include "chemistry/lewis/adjacency.h"

namespace tarvex {

// One way of settling a deficiency at an atom (default: none allowed).
struct PiFix {
  PiFix() = default;
  PiFix(double fix_cost, int fix_charge, int fix_step = 1)
      : allowed(true), cost(fix_cost), charge(fix_charge), step(fix_step) {}
  bool allowed = false;
  double cost = 0.0;
  int charge = 0;  // formal charge the fix adds
  int step = 1;    // bond orders removed (lowering) or added (raising)
};

struct PiAtom {
  int rank = 0;    // the atom's number in the molecule file, for ties
  int demand = 0;  // extra bond orders wanted on open bonds
  PiFix lower;
  PiFix raise;
};

class PiMatcher {
 public:
  // The atoms 0..n-1 and their open bonds, as neighbour lists in compressed
  // form (AdjacencyView); the lists must outlive the matcher.
  PiMatcher(std::vector<PiAtom> atoms, const std::vector<int>& offsets, const std::vector<int>& targets);

  // Finds the structure. `start_charge` is the charge the molecule already
  // carries (forced charges), used to break ties toward a neutral molecule.
  // False when some deficiency has no allowed fix, unless `keep_unfixable`:
  // then such a deficiency stays (an unpaired electron, no charge).
  bool Solve(int start_charge, bool keep_unfixable = false);

  // After Solve: lowers `atom` and a second candidate together, each with a
  // charge of -1, where an alternating path joins them so that the rest of
  // the structure stays whole: the pyrrole nitrogens of a metal porphyrin
  // are two N- and two N=, not four N=. `preference` holds one value per
  // atom, negative for atoms that are not candidates; the reachable
  // candidate of the highest value is lowered. False, and nothing changed,
  // when no second candidate can join it.
  bool LowerPair(int atom, const std::vector<float>& preference);

  // After Solve: extra orders on the bond a-b (the open-bond entry `edge`
  // of a's list), the charge each atom took, and the change of its valence.
  int ExtraOrder(int atom, int edge) const;
  int Charge(int atom) const { return charge_[atom]; }
  int ValenceChange(int atom) const { return valence_change_[atom]; }
  // Fixes that placed a formal charge.
  int ChargedFixes() const { return charged_fixes_; }

 private:
  int AtomOf(int vertex) const { return vertex_atom_[vertex]; }
  bool Active(int vertex) const;
  template <typename F>
  void ForEachNeighbour(int vertex, F&& f) const;
  void GreedyMatch();
  // Edmonds' search from a free root; the free vertex that ends an
  // augmenting path, or -1 (then outer_ marks the even-reachable vertices).
  int FindPath(int root);
  int CommonBase(int a, int b);
  void MarkBlossomPath(int v, int base, int child);
  void Augment(int end);
  // A fix found from a deficiency: lowering the copy `where`, or raising
  // the atom `where`.
  struct Option {
    bool lower = false;
    int where = -1;
    int atom = -1;
    PiFix fix;
  };
  // Whether `option` is to be taken before `best` (see the file comment).
  bool Preferred(const Option& option, const Option& best, int running_charge) const;
  bool Settle(int root, int& running_charge);
  // Frees `target`, an outer copy of the last FindPath from `root`, by
  // shifting the matching along the alternating path between them.
  void HandOver(int root, int target);
  void Deactivate(int vertex);

  std::vector<PiAtom> atoms_;
  AdjacencyView bonds_;
  std::vector<int> first_slot_;   // per atom: its first copy
  std::vector<int> slot_count_;   // per atom: copies it may ever have
  std::vector<int> active_;       // per atom: copies in use (its current demand)
  std::vector<int> vertex_atom_;  // per copy: its atom
  std::vector<int> match_;
  // Edmonds' working lists.
  std::vector<int> parent_;
  std::vector<int> base_;
  std::vector<char> outer_;
  std::vector<char> in_blossom_;
  std::vector<char> on_path_;
  std::vector<int> queue_;
  // The helper vertex through which a deficiency is handed to another atom:
  // joined only to `anchor_`.
  int helper_ = -1;
  int anchor_ = -1;

  std::vector<int> charge_;
  std::vector<int> valence_change_;
  std::vector<char> charged_;
  int charged_fixes_ = 0;
};

}  // namespace tarvex
