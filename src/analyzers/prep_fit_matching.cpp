#include "analyzers/prep_fit_matching.h"

#include <algorithm>
#include <map>

namespace tarvex {
namespace {

// Dummy atoms take no part; hydrogens and dummies of the template may be
// missing from the target.
constexpr std::string_view kDummyType = "DU";
constexpr std::string_view kHydrogenType = "H";

// The two sides as the search reads them: type numbers shared by both sides
// (equal numbers, equal type texts), neighbour lists, and per atom whether
// it may be missing (H, DU), its count of neighbours that are not "H", and
// whether it lies on the current path.
struct Side {
  std::vector<int> type;
  std::vector<char> optional;
  std::vector<int> heavy_degree;
  std::vector<std::vector<int>> neighbours;
  std::vector<char> on_path;
};

class Matcher {
 public:
  Matcher(const MatchSide& target, const MatchSide& templ, long long step_limit) : step_limit_(step_limit) {
    Build(target, target_);
    Build(templ, template_);
    map_.assign(target_.type.size(), -1);
    partner_count_.assign(template_.type.size(), 0);
  }

  // The neighbourhood match of target atom t and template atom p (see the
  // header); on success t -> p is recorded, also for every pair the
  // recursion matched on the way.
  bool Neighbourhood(int t, int p, bool top);
  void Pass(bool relaxed, std::vector<int>& remaining_target, std::vector<int>& remaining_template);
  bool Exhausted() const { return steps_ > step_limit_; }
  const std::vector<int>& Map() const { return map_; }
  bool IsDummy(int t) const { return target_.type[t] == dummy_; }
  bool IsTemplateDummy(int p) const { return template_.type[p] == dummy_; }

 private:
  void Build(const MatchSide& side, Side& out);
  // Records t -> p, and undoes the records made since `mark` (a failed
  // trial leaves the pairs as they were before it).
  void Pair(size_t t, int p);
  void UndoTo(size_t mark);

  std::map<std::string, int, std::less<>> type_numbers_;
  int dummy_ = -1;
  Side target_;
  Side template_;
  std::vector<int> map_;
  std::vector<int> partner_count_;               // per template atom: the target atoms paired with it
  std::vector<std::pair<size_t, int>> journal_;  // target atom, its partner before
  // The unvisited neighbours of every level of the recursion, and whether
  // each is used: one arena instead of lists made and freed per step.
  std::vector<int> arena_;
  std::vector<char> used_;
  bool leaf_check_ = true;
  long long step_limit_;
  long long steps_ = 0;
};

void Matcher::Build(const MatchSide& side, Side& out) {
  const size_t n = side.types.size();
  auto number = [&](std::string_view type) {
    return type_numbers_.emplace(std::string(type), static_cast<int>(type_numbers_.size())).first->second;
  };
  dummy_ = number(kDummyType);
  const int hydrogen = number(kHydrogenType);
  out.neighbours.assign(n, {});
  for (const auto& [atom, list] : side.bonds) {
    if (static_cast<size_t>(atom) >= n) continue;
    for (int other : list) {
      if (other >= 0 && static_cast<size_t>(other) < n) out.neighbours[atom].push_back(other);
    }
  }
  for (size_t i = 0; i < n; ++i) {
    out.type.push_back(number(side.types[i]));
    out.optional.push_back(out.type.back() == dummy_ || out.type.back() == hydrogen);
  }
  for (size_t i = 0; i < n; ++i) {
    const std::vector<int>& list = out.neighbours[i];
    out.heavy_degree.push_back(static_cast<int>(
        std::count_if(list.begin(), list.end(), [&](int other) { return out.type[other] != hydrogen; })));
  }
  out.on_path.assign(n, 0);
}

bool Matcher::Neighbourhood(int t, int p, bool top) {
  if (++steps_ > step_limit_) return false;
  const size_t ti = static_cast<size_t>(t);
  const size_t pi = static_cast<size_t>(p);
  if (target_.neighbours[ti].size() > template_.neighbours[pi].size()) return false;
  target_.on_path[ti] = template_.on_path[pi] = 1;
  const size_t base = arena_.size();
  int a = 0;  // unvisited neighbours of t that may be missing, and of p
  int b = 0;
  for (int x : target_.neighbours[ti]) {
    if (target_.on_path[x]) continue;
    arena_.push_back(x);
    a += target_.optional[x];
  }
  const size_t a_size = arena_.size() - base;
  for (int y : template_.neighbours[pi]) {
    if (template_.on_path[y]) continue;
    arena_.push_back(y);
    b += template_.optional[y];
  }
  const size_t b_size = arena_.size() - base - a_size;
  used_.resize(arena_.size(), 0);
  size_t matched = 0;
  for (size_t i = 0; i < a_size; ++i) {
    for (size_t j = 0; j < b_size && !used_[base + i]; ++j) {
      const size_t slot = base + a_size + j;
      if (used_[slot]) continue;
      const int x = arena_[base + i];
      const int y = arena_[slot];
      if (target_.type[x] == template_.type[y] && Neighbourhood(x, y, false)) {
        used_[base + i] = used_[slot] = 1;
        ++matched;
      }
    }
  }
  arena_.resize(base);
  used_.resize(base);
  target_.on_path[ti] = template_.on_path[pi] = 0;
  bool ok = false;
  if (matched == a_size && matched + static_cast<size_t>(b) == b_size + static_cast<size_t>(a)) {
    ok = true;
  } else if (a_size == 0) {
    ok = !leaf_check_ || target_.heavy_degree[ti] == template_.heavy_degree[pi] || top;
  } else {
    ok = top && matched == a_size;
  }
  if (ok) Pair(ti, p);
  return ok;
}

void Matcher::Pair(size_t t, int p) {
  journal_.emplace_back(t, map_[t]);
  if (map_[t] >= 0) --partner_count_[map_[t]];
  map_[t] = p;
  ++partner_count_[p];
}

void Matcher::UndoTo(size_t mark) {
  while (journal_.size() > mark) {
    const auto [t, before] = journal_.back();
    journal_.pop_back();
    --partner_count_[map_[t]];
    map_[t] = before;
    if (before >= 0) ++partner_count_[before];
  }
}

// One pass over the target atoms still unmatched: an atom the recursion has
// already paired leaves both lists; any other is tried against the
// template atoms of its type in order, first with the leaf check (a leaf of
// the path must have as many heavy neighbours as its partner), then without.
void Matcher::Pass(bool relaxed, std::vector<int>& remaining_target, std::vector<int>& remaining_template) {
  for (size_t i = 0; i < remaining_target.size() && !Exhausted();) {
    const int t = remaining_target[i];
    if (const int p = map_[t]; p >= 0) {
      remaining_template.erase(std::remove(remaining_template.begin(), remaining_template.end(), p),
                               remaining_template.end());
      remaining_target.erase(remaining_target.begin() + static_cast<long>(i));
      continue;
    }
    for (int p : remaining_template) {
      if (target_.type[t] != template_.type[p] || partner_count_[p] > 0) {
        continue;
      }
      journal_.clear();
      leaf_check_ = true;
      bool ok = Neighbourhood(t, p, relaxed);
      if (!ok) {
        leaf_check_ = false;
        ok = Neighbourhood(t, p, relaxed);
      }
      if (ok) break;
      UndoTo(0);
    }
    ++i;
  }
}

}  // namespace

bool MatchResidue(const MatchSide& target, const MatchSide& templ, bool strict, ResidueMatch& match,
                  long long step_limit) {
  Matcher matcher(target, templ, step_limit);
  match = ResidueMatch();
  std::vector<int> remaining_target;
  std::vector<int> remaining_template;
  for (int t = 0; t < static_cast<int>(target.types.size()); ++t) {
    if (matcher.IsDummy(t)) {
      match.dummy_seen = true;
    } else {
      remaining_target.push_back(t);
    }
  }
  for (int p = 0; p < static_cast<int>(templ.types.size()); ++p) {
    if (!matcher.IsTemplateDummy(p)) remaining_template.push_back(p);
  }
  // Progress is counted in atoms still without a partner (paired atoms leave
  // the list only on the next pass); a pass without progress switches to
  // relaxed matching, a second one ends the search.
  auto unpaired = [&] {
    return std::count_if(remaining_target.begin(), remaining_target.end(), [&](int t) { return matcher.Map()[t] < 0; });
  };
  bool relaxed = false;
  long before = -1;
  for (long now = unpaired(); now > 0; now = unpaired()) {
    if (now == before) {
      if (strict || relaxed) break;
      relaxed = true;
    }
    before = now;
    matcher.Pass(relaxed, remaining_target, remaining_template);
    if (matcher.Exhausted()) return false;
  }
  match.correspondent = matcher.Map();
  std::vector<char> taken(templ.types.size(), 0);
  for (size_t t = 0; t < match.correspondent.size(); ++t) {
    int& p = match.correspondent[t];
    if (p >= 0 && taken[p]) p = -1;
    if (p >= 0) taken[p] = 1;
    if (p < 0 && !matcher.IsDummy(static_cast<int>(t))) match.excess_target.push_back(static_cast<int>(t));
  }
  for (int p = 0; p < static_cast<int>(templ.types.size()); ++p) {
    if (!taken[p] && !matcher.IsTemplateDummy(p)) match.excess_template.push_back(p);
  }
  return true;
}

}  // namespace tarvex
