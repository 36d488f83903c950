// Atom environment patterns: a short text notation for "an atom of this
// element with these neighbours", and the matcher that answers whether an
// atom sits in such an environment.
//
//   pattern     = "(" alternative { "," alternative } ")"
//   alternative = term
//   term        = [ digit ] [ "!" ] symbol [ "(" item { "," item } ")" ]
//
// The digit is the exact number of neighbours; "!" negates the symbol test;
// the symbol is an element symbol in upper case or "*" (any atom); the items
// describe the neighbours, one item per neighbour in any order, and are terms
// themselves, so they nest: "(3C(1O,1O,*))" is a carbon with three
// neighbours, two of them oxygens that have no other neighbour (a
// carboxylate carbon). The item list of a neighbour includes the atom the
// matcher came from.
//
// The whole grammar is decided by three scanners (SplitPattern, TermSymbol,
// TermCount); the matcher and the compiled form below both use them, so they
// read every text alike.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "molecule/bond_map.h"

namespace tarvex {

// The parts inside the first parenthesis pair of `text`, split at the commas
// of depth 1; deeper commas do not split and parts keep their own nested
// parentheses. A whole pattern yields its alternatives, a term its items.
// Text without "(" or with nothing inside the parentheses yields no part.
std::vector<std::string> SplitPattern(std::string_view text);
// The symbol of a term: one leading digit or "!" dropped, then the leading
// run of letters and "*".
std::string TermSymbol(std::string_view term);
// The leading digit of a term, or -1 when it does not start with a digit.
int TermCount(std::string_view term);

// The deepest nesting of parentheses in `text` (0 without any).
int PatternDepth(std::string_view text);
// Typing rows nested deeper than this are refused when the parameter file is
// read (no chemical environment needs more than a few levels); the compiled
// form ignores the item lists below it, so neither parsing nor matching
// recurses deeper whatever text it is given.
constexpr int kDeepestPattern = 32;

// The matcher on plain data: `labels` holds one element symbol per atom (an
// atom past its end has the empty label), `bonds` the neighbour lists.
// Alternatives before `first_alternative` are skipped; the first alternative
// whose head holds decides. Neighbours are tried against the items in every
// ordering, as the notation defines; an empty pattern prints
// "parm_list empty" on standard error and matches.
bool MatchEnvironment(const std::vector<std::string>& labels, const BondMap& bonds, int atom, std::string_view pattern,
                      int first_alternative = 0);

// A pattern parsed once, for matching many atoms. Matches exactly as
// MatchEnvironment does (an assignment of neighbours to items is searched
// instead of every ordering being listed, which gives the same answer).
class CompiledPattern {
 public:
  explicit CompiledPattern(std::string_view pattern);

  size_t AlternativeCount() const { return alternatives_.size(); }
  // The whole pattern, alternatives from `first_alternative` on.
  bool Match(const std::vector<std::string>& labels, const BondMap& bonds, int atom,
             size_t first_alternative = 0) const;
  // One alternative alone, as if it were written "(" alternative ")".
  bool MatchAlternative(const std::vector<std::string>& labels, const BondMap& bonds, int atom,
                        size_t alternative) const;

 private:
  struct Term {
    std::string symbol;
    int count = -1;
    bool negated = false;     // the text begins with "!"
    bool any = false;         // the text is exactly "*"
    bool any_symbol = false;  // the symbol is "*"
    std::vector<Term> items;  // empty: no item list
  };
  static Term Parse(std::string_view text, int depth);
  // The head test of an alternative; nullopt-like: false when the head fails.
  static bool HeadHolds(const Term& term, const std::string& label);
  // The decision of an alternative whose head holds.
  static bool Decide(const Term& term, const std::vector<std::string>& labels, const BondMap& bonds, int atom);
  static bool ItemHolds(const Term& item, const std::vector<std::string>& labels, const BondMap& bonds, int neighbour);
  // Item counts are one digit, so an atom decided by its items has at most
  // nine neighbours.
  static constexpr size_t kMaxItems = 9;
  using UsedNeighbours = std::array<bool, kMaxItems>;
  static bool AssignItems(const Term& term, const std::vector<std::string>& labels, const BondMap& bonds,
                          const BondMap::List& neighbours, size_t item, UsedNeighbours& used);

  std::vector<Term> alternatives_;
};

}  // namespace tarvex
