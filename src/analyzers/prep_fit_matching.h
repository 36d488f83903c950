// prepfit's correspondence between the atoms of a residue and those of its
// template, found by element types and bonds: an exact search.
//
// A residue matches its template when a one-to-one map of its atoms onto
// template atoms of the same type keeps its bonds: two bonded target atoms
// go to two bonded template atoms. The search asks first for a complete
// map, in which every template atom other than a hydrogen has a partner and
// two bonded template atoms have partners that are bonded too, or at least
// within the looser cut-off of a stretched bond (a crystal structure's CA-CB
// of 1.77 angstrom). When there is none (a side chain cut short in the
// crystal), a partial map may leave the template's heavy atoms without
// partner as well, unless strict matching was asked for. Either way every
// target atom needs a partner, except the terminal atoms the caller marks
// (OXT against an internal template), which stay as they are when the
// template has no place for them. Dummy atoms (type DU) take no part.
//
// Among equivalent maps (the two oxygens of a carboxylate; a serine without
// hydrogens, whose C and CB look alike) each target atom takes the template
// atom of its own name where that fits, else the first one in template
// order that still leads to a map. The answer does not depend on the order
// of the atoms in the file as long as their names settle the equivalent
// ones; where nothing does, the working order decides (what -a and -r
// change).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "molecule/bond_map.h"

namespace tarvex {

// One side of the match: per-atom element types, the bonds, and the names
// that settle the choice among equivalent maps (as Amber writes them, HB2
// rather than 2HB; absent or empty names never fit).
struct MatchSide {
  const std::vector<std::string>& types;
  const BondMap& bonds;
  const std::vector<std::string>* names = nullptr;
};

// A template as the search reads it, prepared once for all the residues
// matched against it: a number per type, one bit set of neighbours per atom
// (dummies left out), the degrees a partner is held to, and the atoms by
// name.
struct MatchTemplate {
  MatchTemplate() = default;
  explicit MatchTemplate(const MatchSide& side);
  // The number of a type of the other side; -1 for a type the template
  // does not have.
  int TypeNumber(const std::string& type) const;
  int Named(const std::string& name) const;

  int atoms = 0;
  int words = 0;  // 64-bit words per bit set
  std::vector<std::string> type_texts;
  std::vector<int> type;
  std::vector<char> dummy;
  std::vector<char> heavy;  // neither a hydrogen nor a dummy
  std::vector<uint64_t> adjacent;
  std::vector<int> degree;
  std::vector<int> heavy_degree;
  std::vector<int> hydrogen_degree;
  std::vector<std::pair<std::string, int>> by_name;  // sorted
};

// The search may take long on large symmetric structures in which no map
// exists; past this many assignments the residue is given up.
inline constexpr long long kMatchStepLimit = 2'000'000;

struct MatchOptions {
  bool strict = false;                 // complete maps only (-d)
  const BondMap* stretched = nullptr;  // target pairs within the looser cut-off
  std::vector<char> may_stay;          // per target atom: may stay without partner
  std::vector<char> set_aside;         // per target atom: takes no part, as a dummy
  long long step_limit = kMatchStepLimit;
};

struct ResidueMatch {
  std::vector<int> correspondent;    // per target atom: its template atom, or -1
  std::vector<int> excess_target;    // no map: every target atom that takes part, in order
  std::vector<int> left_alone;       // atoms that may stay without partner and did, in order
  std::vector<int> excess_template;  // template atoms without partner, in order
  bool dummy_seen = false;           // the target has atoms of type DU
};

// Returns false when the step limit was reached before the search ended.
bool MatchResidue(const MatchSide& target, const MatchTemplate& templ, const MatchOptions& options,
                  ResidueMatch& match);

}  // namespace tarvex
