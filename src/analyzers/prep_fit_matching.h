// prepfit's correspondence between the atoms of a residue and those of its
// template, found by element types and bonds alone.
//
// Target atoms are taken in order; each is tried against the template atoms
// of its type, and a pair holds when the two atoms' neighbourhoods match
// recursively (each neighbour paired with a neighbour of the same type,
// along paths that do not come back on themselves). Hydrogens and dummy
// atoms of the template may be missing from the target: a crystal structure
// without hydrogens still matches a template that has them. Passes repeat
// while they pair more atoms; when one pairs none, a relaxed pass (which
// lets the first atom of a pair keep unmatched neighbours) runs once,
// unless strict matching was asked for.
#pragma once

#include <string>
#include <vector>

#include "molecule/bond_map.h"

namespace tarvex {

// One side of the match: per-atom element types and the bonds.
struct MatchSide {
  const std::vector<std::string>& types;
  const BondMap& bonds;
};

struct ResidueMatch {
  std::vector<int> correspondent;    // per target atom: its template atom, or -1
  std::vector<int> excess_target;    // target atoms left unmatched, in order
  std::vector<int> excess_template;  // template atoms left unmatched, in order
  bool dummy_seen = false;           // the target has atoms of type DU
};

// Matching explores paths through the residue, which a large ring system
// can make explode; past this many steps the residue is given up.
inline constexpr long long kMatchStepLimit = 20'000'000;

// Pairs the target atoms with the template atoms. A template atom is the
// correspondent of one target atom at most; a target atom that a stale
// pairing would give an already taken template atom is left unmatched.
// Returns false when the step limit was reached.
bool MatchResidue(const MatchSide& target, const MatchSide& templ, bool strict, ResidueMatch& match,
                  long long step_limit = kMatchStepLimit);

}  // namespace tarvex
