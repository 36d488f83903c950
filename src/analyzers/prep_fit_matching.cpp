#include "analyzers/prep_fit_matching.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string_view>

namespace tarvex {
namespace {

constexpr std::string_view kDummyType = "DU";
constexpr std::string_view kHydrogenType = "H";

using Word = uint64_t;
constexpr int kWordBits = 64;

// Assignments past four per atom (a residue that matches takes one per atom,
// and a little backtracking) after which the search also checks that every
// open atom can still have a partner.
constexpr long long kEveryAtomCheckAfter = 64;

// Bond lists packed one after another: the neighbours of atom a are
// list[start[a]] .. list[start[a + 1] - 1].
struct PackedBonds {
  std::vector<int> start;
  std::vector<int> list;
  const int* begin(int a) const { return list.data() + start[a]; }
  const int* end(int a) const { return list.data() + start[a + 1]; }
};

// The bonds among the atoms that take part, each once per atom; with
// `extra`, its pairs too.
PackedBonds Pack(const BondMap& bonds, const BondMap* extra, int n, const std::vector<char>& absent) {
  PackedBonds packed;
  packed.start.push_back(0);
  for (int a = 0; a < n; ++a) {
    if (!absent[a]) {
      const size_t first = packed.list.size();
      for (const BondMap* map : {&bonds, extra}) {
        const BondMap::List* list = map ? map->find(a) : nullptr;
        if (!list) continue;
        for (int b : *list) {
          if (b >= 0 && b < n && b != a && !absent[b] &&
              std::find(packed.list.begin() + static_cast<long>(first), packed.list.end(), b) == packed.list.end()) {
            packed.list.push_back(b);
          }
        }
      }
    }
    packed.start.push_back(static_cast<int>(packed.list.size()));
  }
  return packed;
}

// The residue as the search reads it: type numbers of the template, the
// perceived bonds and those within the looser cut-off besides, and per atom
// the bounds its partner's degrees must meet: bonds to atoms that need a
// partner (a lower bound), heavy neighbours at either cut-off (an upper one
// for a complete map).
struct TargetGraph {
  int atoms = 0;
  std::vector<int> type;
  std::vector<char> absent;  // dummies and atoms set aside
  std::vector<char> may_stay;
  std::vector<int> named;  // the template atom of the atom's name, or -1
  PackedBonds bonds;
  PackedBonds near;
  std::vector<int> degree;
  std::vector<int> heavy_degree;
  std::vector<int> hydrogen_degree;
  std::vector<int> heavy_near;
};

TargetGraph BuildTarget(const MatchSide& side, const MatchTemplate& templ, const MatchOptions& options) {
  TargetGraph g;
  const int n = static_cast<int>(side.types.size());
  g.atoms = n;
  std::vector<char> hydrogen;
  for (int t = 0; t < n; ++t) {
    const std::string& type = side.types[t];
    g.type.push_back(templ.TypeNumber(type));
    g.absent.push_back(type == kDummyType || (t < static_cast<int>(options.set_aside.size()) && options.set_aside[t]));
    g.may_stay.push_back(t < static_cast<int>(options.may_stay.size()) && options.may_stay[t]);
    hydrogen.push_back(type == kHydrogenType);
    const bool has_name = side.names && t < static_cast<int>(side.names->size());
    const int named = has_name ? templ.Named((*side.names)[t]) : -1;
    g.named.push_back(named >= 0 && templ.type[named] == g.type[t] ? named : -1);
  }
  g.bonds = Pack(side.bonds, nullptr, n, g.absent);
  g.near = Pack(side.bonds, options.stretched, n, g.absent);
  for (int t = 0; t < n; ++t) {
    int heavy = 0;
    int hydrogens = 0;
    for (const int* u = g.bonds.begin(t); u != g.bonds.end(t); ++u) {
      if (!g.may_stay[*u]) (hydrogen[*u] ? hydrogens : heavy) += 1;
    }
    g.degree.push_back(heavy + hydrogens);
    g.heavy_degree.push_back(heavy);
    g.hydrogen_degree.push_back(hydrogens);
    g.heavy_near.push_back(
        static_cast<int>(std::count_if(g.near.begin(t), g.near.end(t), [&](int u) { return !hydrogen[u]; })));
  }
  return g;
}

}  // namespace

MatchTemplate::MatchTemplate(const MatchSide& side) {
  atoms = static_cast<int>(side.types.size());
  words = (atoms + kWordBits - 1) / kWordBits;
  for (const std::string& text : side.types) {
    if (std::find(type_texts.begin(), type_texts.end(), text) == type_texts.end()) type_texts.push_back(text);
    type.push_back(TypeNumber(text));
    dummy.push_back(text == kDummyType);
    heavy.push_back(text != kDummyType && text != kHydrogenType);
  }
  const PackedBonds bonds = Pack(side.bonds, nullptr, atoms, dummy);
  adjacent.assign(static_cast<size_t>(atoms) * static_cast<size_t>(words), 0);
  for (int p = 0; p < atoms; ++p) {
    int heavy_neighbours = 0;
    for (const int* q = bonds.begin(p); q != bonds.end(p); ++q) {
      adjacent[static_cast<size_t>(p * words + *q / kWordBits)] |= Word{1} << (*q % kWordBits);
      heavy_neighbours += heavy[*q];
    }
    degree.push_back(static_cast<int>(bonds.end(p) - bonds.begin(p)));
    heavy_degree.push_back(heavy_neighbours);
    hydrogen_degree.push_back(degree.back() - heavy_neighbours);
  }
  for (int p = 0; p < atoms && side.names && p < static_cast<int>(side.names->size()); ++p) {
    if (!dummy[p] && !(*side.names)[p].empty()) by_name.emplace_back((*side.names)[p], p);
  }
  // The first atom of a name keeps it.
  std::stable_sort(by_name.begin(), by_name.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
}

int MatchTemplate::TypeNumber(const std::string& text) const {
  const auto found = std::find(type_texts.begin(), type_texts.end(), text);
  return found == type_texts.end() ? -1 : static_cast<int>(found - type_texts.begin());
}

int MatchTemplate::Named(const std::string& name) const {
  const auto found = std::lower_bound(by_name.begin(), by_name.end(), name,
                                      [](const auto& entry, const std::string& key) { return entry.first < key; });
  return found != by_name.end() && found->first == name ? found->second : -1;
}

namespace {

// Depth-first search over domains: each target atom keeps the set of
// template atoms it may still take. Taking one removes it from every other
// domain, narrows the domains of the atom's bonded atoms to the neighbours
// of its partner (and, for a complete map, keeps the partner's neighbours
// out of the domains of the atoms it is not bonded to), and the narrowing
// runs on until every domain is supported by those of its bonded atoms.
// The atom with the fewest choices goes next. Changes are recorded on a
// trail and undone on the way back. Before the first choice, and at every
// step of a search that has had to backtrack, a bipartite matching checks
// that the open atoms can still have partners all at once.
class Search {
 public:
  Search(const TargetGraph& t, const MatchTemplate& p, bool complete, long long step_limit, long long& steps)
      : t_(t), p_(p), words_(p.words), complete_(complete), step_limit_(step_limit), steps_(steps) {}

  // Per target atom its partner, or -1; false when no map exists (or the
  // step limit was reached).
  bool Find(std::vector<int>& map) {
    state_.assign(static_cast<size_t>(t_.atoms), kOpen);
    for (int t = 0; t < t_.atoms; ++t) {
      if (t_.absent[t]) state_[t] = kStays;
    }
    queued_.assign(static_cast<size_t>(t_.atoms), 0);
    near_.assign(static_cast<size_t>(t_.atoms), 0);
    support_.assign(static_cast<size_t>(words_), 0);
    if (!InitialDomains() || !Propagate() || !EveryAtomCanHavePartner() || !Descend()) return false;
    map.assign(static_cast<size_t>(t_.atoms), -1);
    for (int t = 0; t < t_.atoms; ++t) map[t] = std::max(state_[t], -1);
    return true;
  }
  bool Exhausted() const { return steps_ > step_limit_; }

 private:
  static constexpr int kOpen = -2;
  static constexpr int kStays = -1;

  Word* Domain(int t) { return &domains_[static_cast<size_t>(t) * static_cast<size_t>(words_)]; }
  const Word* Adjacent(int p) const { return &p_.adjacent[static_cast<size_t>(p) * static_cast<size_t>(words_)]; }
  bool Has(int t, int p) { return (Domain(t)[p / kWordBits] >> (p % kWordBits)) & 1; }
  int Count(int t) {
    int count = 0;
    for (int w = 0; w < words_; ++w) count += std::popcount(Domain(t)[w]);
    return count;
  }
  void Set(int t, int w, Word value) {
    Word& word = Domain(t)[w];
    trail_.push_back({t, w, word});
    word = value;
  }
  // Keeps only (or, with `keep` false, takes out) the atoms of `mask`; true
  // when the domain changed.
  bool Narrow(int t, const Word* mask, bool keep) {
    bool changed = false;
    for (int w = 0; w < words_; ++w) {
      const Word before = Domain(t)[w];
      const Word after = keep ? before & mask[w] : before & ~mask[w];
      if (after != before) {
        Set(t, w, after);
        changed = true;
      }
    }
    return changed;
  }
  bool Remove(int t, int p) {
    if (!Has(t, p)) return false;
    Set(t, p / kWordBits, Domain(t)[p / kWordBits] & ~(Word{1} << (p % kWordBits)));
    return true;
  }
  void Push(int t) {
    if (queued_[t]) return;
    queued_[t] = 1;
    queue_.push_back(t);
  }
  void Undo(size_t mark) {
    while (trail_.size() > mark) {
      const Change& change = trail_.back();
      Domain(change.atom)[change.word] = change.old;
      trail_.pop_back();
    }
  }

  bool Fits(int t, int p) const;
  bool Balanced() const;
  bool InitialDomains();
  bool Assign(int t, int p);
  bool Propagate();
  int Choose();
  bool Descend();
  bool TryPartner(int t, int p);
  bool EveryHeavyAtomTaken() const;
  bool EveryAtomCanHavePartner();
  bool Augment(int t);

  struct Change {
    int atom;
    int word;
    Word old;
  };

  const TargetGraph& t_;
  const MatchTemplate& p_;
  int words_;
  bool complete_;
  long long step_limit_;
  long long& steps_;
  std::vector<int> state_;  // kOpen, kStays or the partner
  std::vector<Word> domains_;
  std::vector<Change> trail_;
  std::vector<int> queue_;
  std::vector<char> queued_;
  std::vector<char> near_;
  std::vector<Word> support_;
  // The check that the open atoms can all have partners at once: per
  // template atom the open atom it is lent to, and whether the current
  // augmenting search has been there.
  std::vector<int> lent_to_;
  std::vector<char> tried_;
};

// A partner has the atom's type and room for its bonds; in a complete map
// it has no more heavy neighbours than the atom can reach.
bool Search::Fits(int t, int p) const {
  if (p_.dummy[p] || p_.type[p] != t_.type[t] || p_.degree[p] < t_.degree[t]) return false;
  if (p_.hydrogen_degree[p] < t_.hydrogen_degree[t] || p_.heavy_degree[p] < t_.heavy_degree[t]) return false;
  return !complete_ || p_.heavy_degree[p] <= t_.heavy_near[t];
}

// Atoms that need a partner cannot outnumber the template atoms of their
// type; a complete map needs every heavy template atom's type as often in
// the target.
bool Search::Balanced() const {
  std::vector<int> balance(p_.type_texts.size(), 0);
  std::vector<int> heavy(p_.type_texts.size(), 0);
  for (int p = 0; p < p_.atoms; ++p) {
    if (p_.dummy[p]) continue;
    ++balance[p_.type[p]];
    heavy[p_.type[p]] += p_.heavy[p];
  }
  for (int t = 0; t < t_.atoms; ++t) {
    if (t_.absent[t]) continue;
    if (t_.type[t] < 0) {
      if (!t_.may_stay[t]) return false;
      continue;
    }
    balance[t_.type[t]] -= !t_.may_stay[t];
    --heavy[t_.type[t]];
  }
  const auto negative = [](int count) { return count < 0; };
  const auto positive = [](int count) { return count > 0; };
  return std::none_of(balance.begin(), balance.end(), negative) &&
         (!complete_ || std::none_of(heavy.begin(), heavy.end(), positive));
}

bool Search::InitialDomains() {
  if (!Balanced()) return false;
  domains_.assign(static_cast<size_t>(t_.atoms) * static_cast<size_t>(words_), 0);
  for (int t = 0; t < t_.atoms; ++t) {
    if (t_.absent[t]) continue;
    for (int p = 0; p < p_.atoms; ++p) {
      if (Fits(t, p)) Domain(t)[p / kWordBits] |= Word{1} << (p % kWordBits);
    }
    Push(t);
  }
  return true;
}

// Takes p for t and narrows the other domains accordingly.
bool Search::Assign(int t, int p) {
  ++steps_;
  state_[t] = p;
  for (const int* u = t_.near.begin(t); u != t_.near.end(t); ++u) near_[*u] = 1;
  for (int u = 0; u < t_.atoms; ++u) {
    if (state_[u] != kOpen) continue;
    bool changed = Remove(u, p);
    if (complete_ && !near_[u]) changed = Narrow(u, Adjacent(p), false) || changed;
    if (changed) Push(u);
  }
  for (const int* u = t_.near.begin(t); u != t_.near.end(t); ++u) near_[*u] = 0;
  for (const int* u = t_.bonds.begin(t); u != t_.bonds.end(t); ++u) {
    if (state_[*u] == kOpen && Narrow(*u, Adjacent(p), true)) Push(*u);
  }
  return Propagate();
}

// An open atom with an empty domain ends the branch unless it may stay; a
// domain of one template atom takes it from every other; and the bonded
// atoms of an atom that needs a partner must have theirs among the
// neighbours of its domain.
bool Search::Propagate() {
  bool ok = true;
  while (!queue_.empty()) {
    const int u = queue_.back();
    queue_.pop_back();
    queued_[u] = 0;
    if (!ok || state_[u] != kOpen || t_.may_stay[u]) continue;
    std::fill(support_.begin(), support_.end(), 0);
    int count = 0;
    int only = -1;
    for (int w = 0; w < words_; ++w) {
      for (Word bits = Domain(u)[w]; bits != 0; bits &= bits - 1) {
        only = w * kWordBits + std::countr_zero(bits);
        ++count;
        const Word* row = Adjacent(only);
        for (int k = 0; k < words_; ++k) support_[k] |= row[k];
      }
    }
    if (count == 0) {
      ok = false;
      continue;
    }
    if (count == 1) {
      for (int v = 0; v < t_.atoms; ++v) {
        if (v != u && state_[v] == kOpen && Remove(v, only)) Push(v);
      }
    }
    for (const int* v = t_.bonds.begin(u); v != t_.bonds.end(u); ++v) {
      if (state_[*v] == kOpen && Narrow(*v, support_.data(), true)) Push(*v);
    }
  }
  return ok;
}

// The next atom: one whose own name it may still take before any other (so
// that no other atom takes that name first), then the one with the fewest
// choices (staying counts as one), the first in the working order among
// equals; -1 when none is open.
int Search::Choose() {
  int best = -1;
  std::pair<bool, int> best_key;
  for (int t = 0; t < t_.atoms; ++t) {
    if (state_[t] != kOpen) continue;
    const std::pair<bool, int> key(t_.named[t] < 0 || !Has(t, t_.named[t]), Count(t) + t_.may_stay[t]);
    if (best < 0 || key < best_key) {
      best = t;
      best_key = key;
    }
  }
  return best;
}

bool Search::TryPartner(int t, int p) {
  const size_t mark = trail_.size();
  if (Assign(t, p) && Descend()) return true;
  Undo(mark);
  state_[t] = kOpen;
  return false;
}

// The atom's own name first, then the template's order, then staying
// without partner.
bool Search::Descend() {
  if (Exhausted()) return false;
  // A search that has backtracked more than a little checks at every step
  // that the open atoms can still have partners all at once: an extra group
  // of equivalent atoms (three carboxylates against two) would otherwise be
  // found out again for every arrangement of the others.
  if (steps_ > kEveryAtomCheckAfter + 4LL * t_.atoms && !EveryAtomCanHavePartner()) return false;
  const int t = Choose();
  if (t < 0) return !complete_ || EveryHeavyAtomTaken();
  const int named = t_.named[t];
  if (named >= 0 && Has(t, named) && TryPartner(t, named)) return true;
  // The domain of an atom that has a partner does not change below it.
  for (int w = 0; w < words_; ++w) {
    for (Word bits = Domain(t)[w]; bits != 0; bits &= bits - 1) {
      const int p = w * kWordBits + std::countr_zero(bits);
      if (p != named && TryPartner(t, p)) return true;
      if (Exhausted()) return false;
    }
  }
  if (!t_.may_stay[t]) return false;
  state_[t] = kStays;
  if (Descend()) return true;
  state_[t] = kOpen;
  return false;
}

// A partner for every open atom that needs one, all different (a bipartite
// matching of open atoms onto their domains, grown one augmenting path at a
// time).
bool Search::EveryAtomCanHavePartner() {
  lent_to_.assign(static_cast<size_t>(p_.atoms), -1);
  for (int t = 0; t < t_.atoms; ++t) {
    if (state_[t] != kOpen || t_.may_stay[t]) continue;
    tried_.assign(static_cast<size_t>(p_.atoms), 0);
    if (!Augment(t)) return false;
  }
  return true;
}

bool Search::Augment(int t) {
  for (int w = 0; w < words_; ++w) {
    for (Word bits = Domain(t)[w]; bits != 0; bits &= bits - 1) {
      const int p = w * kWordBits + std::countr_zero(bits);
      if (tried_[p]) continue;
      tried_[p] = 1;
      if (lent_to_[p] < 0 || Augment(lent_to_[p])) {
        lent_to_[p] = t;
        return true;
      }
    }
  }
  return false;
}

bool Search::EveryHeavyAtomTaken() const {
  std::vector<char> taken(static_cast<size_t>(p_.atoms), 0);
  for (int p : state_) {
    if (p >= 0) taken[p] = 1;
  }
  for (int p = 0; p < p_.atoms; ++p) {
    if (p_.heavy[p] && !taken[p]) return false;
  }
  return true;
}

}  // namespace

bool MatchResidue(const MatchSide& target, const MatchTemplate& templ, const MatchOptions& options,
                  ResidueMatch& match) {
  const TargetGraph g = BuildTarget(target, templ, options);
  match = ResidueMatch();
  match.dummy_seen = std::find(target.types.begin(), target.types.end(), kDummyType) != target.types.end();
  long long steps = 0;
  std::vector<int> map;
  Search complete(g, templ, true, options.step_limit, steps);
  bool found = complete.Find(map);
  if (!found && !complete.Exhausted() && !options.strict) {
    found = Search(g, templ, false, options.step_limit, steps).Find(map);
  }
  if (steps > options.step_limit) return false;
  match.correspondent.assign(static_cast<size_t>(g.atoms), -1);
  std::vector<char> taken(static_cast<size_t>(templ.atoms), 0);
  for (int t = 0; t < g.atoms; ++t) {
    if (g.absent[t]) continue;
    if (!found) {
      match.excess_target.push_back(t);
    } else if (map[t] >= 0) {
      match.correspondent[t] = map[t];
      taken[map[t]] = 1;
    } else {
      match.left_alone.push_back(t);
    }
  }
  for (int p = 0; p < templ.atoms; ++p) {
    if (!taken[p] && !templ.dummy[p]) match.excess_template.push_back(p);
  }
  return true;
}

}  // namespace tarvex
