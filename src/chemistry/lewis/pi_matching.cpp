#include "chemistry/lewis/pi_matching.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace tarvex {

PiMatcher::PiMatcher(std::vector<PiAtom> atoms, const std::vector<int>& offsets, const std::vector<int>& targets)
    : atoms_(std::move(atoms)), bonds_(offsets, targets) {
  const size_t n = atoms_.size();
  first_slot_.resize(n);
  slot_count_.resize(n);
  active_.resize(n);
  int total = 0;
  for (size_t a = 0; a < n; ++a) {
    const PiAtom& atom = atoms_[a];
    first_slot_[a] = total;
    active_[a] = std::max(atom.demand, 0);
    slot_count_[a] = active_[a] + (atom.raise.allowed ? std::max(atom.raise.step, 0) : 0);
    total += slot_count_[a];
  }
  helper_ = total;
  vertex_atom_.resize(static_cast<size_t>(total) + 1, -1);
  for (size_t a = 0; a < n; ++a) {
    for (int s = 0; s < slot_count_[a]; ++s) vertex_atom_[first_slot_[a] + s] = static_cast<int>(a);
  }
  const size_t vertices = static_cast<size_t>(total) + 1;
  match_.assign(vertices, -1);
  parent_.resize(vertices);
  base_.resize(vertices);
  outer_.resize(vertices);
  in_blossom_.resize(vertices);
  on_path_.resize(vertices);
  queue_.reserve(vertices);
  charge_.assign(n, 0);
  valence_change_.assign(n, 0);
  charged_.assign(n, 0);
}

bool PiMatcher::Active(int vertex) const {
  if (vertex == helper_) return anchor_ >= 0;
  const int a = AtomOf(vertex);
  return vertex - first_slot_[a] < active_[a];
}

template <typename F>
void PiMatcher::ForEachNeighbour(int vertex, F&& f) const {
  if (vertex == helper_) {
    if (anchor_ >= 0) f(anchor_);
    return;
  }
  for (int neighbour : bonds_.Neighbours(AtomOf(vertex))) {
    const size_t b = static_cast<size_t>(neighbour);
    for (int s = 0; s < active_[b]; ++s) f(first_slot_[b] + s);
  }
  if (vertex == anchor_) f(helper_);
}

// Atoms with the fewest possible partners first, each copy taking the free
// neighbour copy that has the fewest partners itself: on the graphs of real
// molecules this leaves few copies for the augmenting searches.
void PiMatcher::GreedyMatch() {
  const size_t n = atoms_.size();
  std::vector<int> options(n, 0);
  for (size_t a = 0; a < n; ++a) {
    for (int b : bonds_.Neighbours(static_cast<int>(a))) options[a] += active_[b];
  }
  std::vector<int> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int x, int y) { return options[x] < options[y]; });
  for (int a : order) {
    for (int s = 0; s < active_[a]; ++s) {
      const int v = first_slot_[a] + s;
      if (match_[v] >= 0) continue;
      int best = -1;
      ForEachNeighbour(v, [&](int w) {
        if (match_[w] >= 0) return;
        if (best < 0 || options[static_cast<size_t>(AtomOf(w))] < options[static_cast<size_t>(AtomOf(best))]) best = w;
      });
      if (best >= 0) {
        match_[v] = best;
        match_[best] = v;
      }
    }
  }
}

int PiMatcher::CommonBase(int a, int b) {
  std::fill(on_path_.begin(), on_path_.end(), 0);
  for (;;) {
    a = base_[a];
    on_path_[a] = 1;
    if (match_[a] < 0) break;
    a = parent_[static_cast<size_t>(match_[a])];
  }
  for (;;) {
    b = base_[b];
    if (on_path_[b]) return b;
    b = parent_[static_cast<size_t>(match_[b])];
  }
}

void PiMatcher::MarkBlossomPath(int v, int base, int child) {
  while (base_[v] != base) {
    const int mate = match_[v];
    in_blossom_[static_cast<size_t>(base_[v])] = 1;
    in_blossom_[static_cast<size_t>(base_[mate])] = 1;
    parent_[v] = child;
    child = mate;
    v = parent_[mate];
  }
}

int PiMatcher::FindPath(int root) {
  std::fill(outer_.begin(), outer_.end(), 0);
  std::fill(parent_.begin(), parent_.end(), -1);
  std::iota(base_.begin(), base_.end(), 0);
  queue_.clear();
  outer_[root] = 1;
  queue_.push_back(root);
  for (size_t head = 0; head < queue_.size(); ++head) {
    const int v = queue_[head];
    int found = -1;
    ForEachNeighbour(v, [&](int to) {
      if (found >= 0) return;
      const size_t t = static_cast<size_t>(to);
      if (base_[v] == base_[t] || match_[v] == to) return;
      if (to == root || (match_[t] >= 0 && parent_[match_[t]] >= 0)) {
        // An odd ring: contract it into its base.
        const int base = CommonBase(v, to);
        std::fill(in_blossom_.begin(), in_blossom_.end(), 0);
        MarkBlossomPath(v, base, to);
        MarkBlossomPath(to, base, v);
        for (size_t i = 0; i < base_.size(); ++i) {
          if (!in_blossom_[base_[i]]) continue;
          base_[i] = base;
          if (!outer_[i]) {
            outer_[i] = 1;
            queue_.push_back(static_cast<int>(i));
          }
        }
      } else if (parent_[t] < 0) {
        parent_[t] = v;
        if (match_[t] < 0) {
          found = to;
          return;
        }
        outer_[match_[t]] = 1;
        queue_.push_back(match_[t]);
      }
    });
    if (found >= 0) return found;
  }
  return -1;
}

void PiMatcher::Augment(int end) {
  int v = end;
  while (v >= 0) {
    const int pv = parent_[v];
    const int next = match_[pv];
    match_[v] = pv;
    match_[pv] = v;
    v = next;
  }
}

// Copies of one atom are interchangeable, so the copy given up is always the
// last one in use: a free copy takes over the partner of the last.
void PiMatcher::Deactivate(int vertex) {
  const size_t a = static_cast<size_t>(AtomOf(vertex));
  const int last = first_slot_[a] + active_[a] - 1;
  if (vertex != last) {
    const int mate = match_[last];
    match_[vertex] = mate;
    if (mate >= 0) match_[mate] = vertex;
    match_[last] = -1;
  }
  --active_[a];
}

bool PiMatcher::Settle(int root, int& running_charge) {
  int end = FindPath(root);
  if (end >= 0) {
    Augment(end);
    return true;
  }
  // The vertices reachable from the root by even alternating paths can each
  // be made the free one; their atoms may be lowered, and their neighbours
  // raised (the new copy then ends an augmenting path).
  Option best;
  auto consider = [&](bool is_lower, int where, int atom, const PiFix& fix) {
    if (!fix.allowed || (fix.charge != 0 && charged_[atom])) return;
    const Option option{is_lower, where, atom, fix};
    if (best.where < 0 || Preferred(option, best, running_charge)) best = option;
  };
  for (int v = 0; v < helper_; ++v) {
    if (!outer_[v] || !Active(v)) continue;
    const int a = AtomOf(v);
    consider(true, v, a, atoms_[a].lower);
    for (int r : bonds_.Neighbours(a)) {
      const PiFix& raise = atoms_[r].raise;
      if (active_[r] + raise.step > slot_count_[r]) continue;
      consider(false, r, r, raise);
    }
  }
  if (best.where < 0) return false;
  const int atom = best.atom;
  if (best.lower) {
    HandOver(root, best.where);
    Deactivate(best.where);
    valence_change_[atom] -= 1;
  } else {
    active_[atom] += best.fix.step;
    end = FindPath(root);
    if (end >= 0) Augment(end);
    valence_change_[atom] += best.fix.step;
  }
  charge_[atom] += best.fix.charge;
  if (best.fix.charge != 0) {
    charged_[atom] = 1;
    ++charged_fixes_;
    running_charge += best.fix.charge;
  }
  return true;
}

// Cost first, then the molecule's charge nearer to zero, then the later
// atom, a lowering before a raising.
bool PiMatcher::Preferred(const Option& option, const Option& best, int running_charge) const {
  if (option.fix.cost != best.fix.cost) return option.fix.cost < best.fix.cost;
  const int now = std::abs(running_charge + option.fix.charge);
  const int before = std::abs(running_charge + best.fix.charge);
  if (now != before) return now < before;
  const int rank = atoms_[option.atom].rank;
  const int best_rank = atoms_[best.atom].rank;
  if (rank != best_rank) return rank > best_rank;
  return option.lower && !best.lower;
}

// A helper vertex joined only to the target ends the augmenting path from
// the root, then leaves with the target's copy: the root is matched and the
// target free.
void PiMatcher::HandOver(int root, int target) {
  if (target == root) return;
  anchor_ = target;
  const int end = FindPath(root);
  if (end >= 0) Augment(end);
  match_[target] = -1;
  match_[helper_] = -1;
  anchor_ = -1;
}

bool PiMatcher::LowerPair(int atom, const std::vector<float>& preference) {
  const size_t a = static_cast<size_t>(atom);
  if (charged_[a] || active_[a] == 0) return false;
  const int copy = first_slot_[a] + active_[a] - 1;
  const int partner = match_[copy];
  if (partner < 0 || partner == helper_) return false;
  const std::vector<int> match_before = match_;
  const std::vector<int> active_before = active_;
  match_[copy] = -1;
  match_[partner] = -1;
  Deactivate(copy);
  auto lowered = [this](int x) {
    charge_[x] -= 1;
    valence_change_[x] -= 1;
    charged_[x] = 1;
  };
  const int end = FindPath(partner);
  if (end >= 0) {
    Augment(end);  // some copy was free after all: the first alone is lowered
  } else {
    int second = -1;
    for (int v = 0; v < helper_; ++v) {
      const size_t b = static_cast<size_t>(AtomOf(v));
      if (!outer_[v] || !Active(v) || AtomOf(v) == atom || preference[b] < 0.0f || charged_[b]) {
        continue;
      }
      if (second < 0 || preference[b] > preference[static_cast<size_t>(AtomOf(second))]) second = v;
    }
    if (second < 0) {
      match_ = match_before;
      active_ = active_before;
      return false;
    }
    const int second_atom = AtomOf(second);
    HandOver(partner, second);
    Deactivate(second);
    lowered(second_atom);
  }
  lowered(atom);
  return true;
}

bool PiMatcher::Solve(int start_charge, bool keep_unfixable) {
  GreedyMatch();
  for (int v = 0; v < helper_; ++v) {
    if (Active(v) && match_[v] < 0) {
      const int end = FindPath(v);
      if (end >= 0) Augment(end);
    }
  }
  int running = start_charge;
  for (int v = 0; v < helper_;) {
    if (!Active(v) || match_[v] >= 0) {
      ++v;
      continue;
    }
    const int before = static_cast<int>(std::accumulate(active_.begin(), active_.end(), 0));
    if (!Settle(v, running)) {
      if (!keep_unfixable) return false;
      Deactivate(v);
      valence_change_[static_cast<size_t>(AtomOf(v))] -= 1;
    }
    // A raise by two leaves a second new copy free, possibly behind v.
    const int after = static_cast<int>(std::accumulate(active_.begin(), active_.end(), 0));
    if (after > before + 1) v = 0;
  }
  return true;
}

int PiMatcher::ExtraOrder(int atom, int edge) const {
  const size_t a = static_cast<size_t>(atom);
  const int other = bonds_.Target(edge);
  int count = 0;
  for (int s = 0; s < active_[a]; ++s) {
    const int mate = match_[first_slot_[a] + s];
    if (mate >= 0 && mate != helper_ && AtomOf(mate) == other) ++count;
  }
  return count;
}

}  // namespace tarvex
