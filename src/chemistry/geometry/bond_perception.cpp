#include "chemistry/geometry/bond_perception.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>
#include <unordered_map>

#include "chemistry/parameters.h"
#include "common/console.h"
#include "common/text.h"
#include "molecule/cell_grid.h"
#include "molecule/data_file.h"
#include "molecule/geometry.h"

namespace tarvex {
namespace {

inline bool Bonded(const BondSearchInput& in, int i, int j) {
  const Point* p = in.points;
  double length = in.lengths[static_cast<size_t>(in.atom_class[i] * in.class_count + in.atom_class[j])];
  return length * length > SquaredDistance(p[i], p[j]);
}

// Bonds found for atom i (partners j > i, in any order) go to the pair list
// sorted; the pairs, ordered by i and then j, give every atom its neighbours
// in ascending order, exactly as the pairwise loop appends them.
void AddPartners(std::vector<std::pair<int, int>>& pairs, int i, std::vector<int>& partners) {
  std::sort(partners.begin(), partners.end());
  for (int j : partners) pairs.emplace_back(i, j);
  partners.clear();
}

BondMap BondsFromPairs(const std::vector<std::pair<int, int>>& pairs, int atom_count) {
  BondMap bonds;
  if (pairs.empty()) return bonds;
  std::vector<int> degree(static_cast<size_t>(atom_count), 0);
  for (auto [i, j] : pairs) {
    ++degree[i];
    ++degree[j];
  }
  bonds.reserve(atom_count);
  for (int a = 0; a < atom_count; ++a) {
    if (degree[a] > 0) bonds[a].reserve(static_cast<size_t>(degree[a]));
  }
  for (auto [i, j] : pairs) {
    bonds[i].push_back(j);
    bonds[j].push_back(i);
  }
  return bonds;
}

}  // namespace

BondMap FindBondsBruteForce(const BondSearchInput& in) {
  const int n = in.atom_count;
  std::vector<std::pair<int, int>> pairs;
  std::vector<int> partners;
  for (int i = 0; i + 1 < n; ++i) {
    for (int j = i + 1; j < n; ++j) {
      if (Bonded(in, i, j)) partners.push_back(j);
    }
    AddPartners(pairs, i, partners);
  }
  return BondsFromPairs(pairs, n);
}

namespace {

// The longest length between classes that occur: the grid's reach (NaN
// lengths never bond and are passed over).
double LongestLength(const BondSearchInput& in) {
  double longest = 0.0;
  std::vector<uint8_t> class_present(static_cast<size_t>(in.class_count), 0);
  for (int c : in.atom_class) class_present[c] = 1;
  for (int a = 0; a < in.class_count; ++a) {
    for (int b = 0; b < in.class_count; ++b) {
      if (class_present[a] && class_present[b]) {
        const double length = std::fabs(in.lengths[a * in.class_count + b]);
        if (length > longest) longest = length;
      }
    }
  }
  return longest;
}

// Bond counts per atom during the distance pass, for the neighbour cap. An
// atom that keeps finding partners only to see them refused (every one of
// them full) stops looking after a few: in a pile of coincident atoms that
// bounds the work per atom.
class NeighbourCap {
 public:
  explicit NeighbourCap(int atom_count) : degree_(static_cast<size_t>(atom_count), 0) {}
  // Takes the pair unless one of its atoms is full.
  bool Accept(int i, int j) {
    int& di = degree_[i];
    int& dj = degree_[j];
    if (di >= kMostNeighbours || dj >= kMostNeighbours) {
      ++refused_;
      return false;
    }
    ++di;
    ++dj;
    return true;
  }
  bool Full(int i) const { return degree_[i] >= kMostNeighbours; }
  long Refused() const { return refused_; }
  static constexpr long kRefusalsPerAtom = 4 * kMostNeighbours;

 private:
  std::vector<int> degree_;
  long refused_ = 0;
};

// Every pair closer than its length, found once, walking the atoms cell by
// cell; pairs (lower, higher) are appended to `found`, as long as the cap
// takes them. Points that are not finite never bond and stay out of the grid.
void SearchGrid(const BondSearchInput& in, NeighbourCap& cap, std::vector<std::pair<int, int>>& found) {
  const double longest = LongestLength(in);
  if (!(longest > 0.0)) return;
  const CellGrid grid(in.points, in.atom_count, longest, in.atom_class.data());
  grid.ForEachWithNeighbourhood([&](const CellGrid::Member& a, const CellGrid::Neighbourhood& near) {
    const double* row = in.lengths.data() + static_cast<size_t>(a.tag) * static_cast<size_t>(in.class_count);
    const long refused_before = cap.Refused();
    // Each pair is met twice; it is tested from the member that comes first
    // in the grid's order, which spares half the distances.
    near.ForEachAfter(a, [&](const CellGrid::Member& b) {
      const double length = row[b.tag];
      if (!(length * length > SquaredDistance(a.point, b.point))) return false;
      if (cap.Accept(a.id, b.id)) {
        found.emplace_back(std::minmax(a.id, b.id));
        return false;
      }
      // Refused: `a` is full (it stops at the first pair it cannot take, so
      // that every pair left out is counted at least once), or `b` is.
      return cap.Full(a.id) || cap.Refused() - refused_before > NeighbourCap::kRefusalsPerAtom;
    });
  });
}

}  // namespace

// Every atom searches a grid of cells at least as wide as the longest
// possible bond, so every partner lies in the atom's own cell or one of the
// 26 around it, wherever the file lists it.
BondMap FindBondsGrid(const BondSearchInput& in, long* capped) {
  const int n = in.atom_count;
  if (capped) *capped = 0;
  if (n < 2) return BondMap();
  std::vector<std::pair<int, int>> found;
  found.reserve(static_cast<size_t>(n));  // about a bond per atom in molecules and water alike
  NeighbourCap cap(n);
  SearchGrid(in, cap, found);
  if (capped) *capped = cap.Refused();

  // Grouping the pairs by lower atom and sorting each group by the higher one
  // gives them in the order of the pairwise loop, in linear time.
  std::vector<int> first(static_cast<size_t>(n) + 1, 0);
  for (auto [i, j] : found) ++first[static_cast<size_t>(i) + 1];
  for (int i = 0; i < n; ++i) first[static_cast<size_t>(i) + 1] += first[i];
  std::vector<std::pair<int, int>> pairs(found.size());
  {
    std::vector<int> fill(first.begin(), first.end() - 1);
    for (auto pair : found) pairs[static_cast<size_t>(fill[pair.first]++)] = pair;
  }
  for (int i = 0; i < n; ++i) {
    auto group = pairs.begin() + first[i];
    auto group_end = pairs.begin() + first[static_cast<size_t>(i) + 1];
    if (group_end - group > 1) std::sort(group, group_end);
  }
  return BondsFromPairs(pairs, n);
}

void TrimOverCoordinated(BondMap& bonds, const BondSearchInput& in, const CoordinationLimits& limits) {
  const Point* p = in.points;
  const int n = in.atom_count;
  std::vector<int> walk;
  for (int i = 0; i < n && i < bonds.KeyLimit(); ++i) {
    BondMap::List* list = bonds.find(i);
    if (!list) continue;
    const int ci = in.atom_class[i];
    const int limit = limits.max_neighbours[ci];
    if (static_cast<int>(list->size()) > limit && limit >= 0) {
      walk = *list;
      for (int k : walk) {
        const int ck = in.atom_class[k];
        double cutoff = limits.cutoffs[ci * in.class_count + ck];
        if (SquaredDistance(p[i], p[k]) >= cutoff * cutoff) {
          list->erase(std::find(list->begin(), list->end(), k));
          BondMap::List& other = bonds[k];
          auto back = std::find(other.begin(), other.end(), i);
          if (back != other.end()) other.erase(back);
        }
      }
    }
    if (list->empty()) bonds.erase(i);
  }
}

namespace {

// The class of a type: atoms share a class when their types have the same
// pair lengths (the same element of the pair table, or none) and the same
// neighbour limit, so the tables stay small whatever the type strings are.
class AtomClasses {
 public:
  explicit AtomClasses(CoordinationLimits& limits) : limits_(limits) {}

  int Of(const std::string& type) {
    // The last few types seen answer most lookups (residues repeat their
    // pattern of elements) without hashing.
    for (const auto& [seen, cls] : recent_) {
      if (seen && *seen == type) return cls;
    }
    auto found = class_of_type_.find(type);
    if (found == class_of_type_.end()) found = class_of_type_.emplace(type, Add(type)).first;
    recent_[recent_next_++ % recent_.size()] = {&found->first, found->second};
    return found->second;
  }
  // Per class, its element in the pair table, or "" for none.
  const std::vector<std::string>& Symbols() const { return symbol_; }

 private:
  int Add(const std::string& type) {
    const ParameterRegistry& registry = Registry();
    std::string symbol = ToUpper(type);
    if (registry.pair_lengths.count(symbol) == 0) symbol.clear();
    auto limit = registry.max_neighbours.find(type);
    const int max_neighbours = limit == registry.max_neighbours.end() ? 0 : limit->second;
    auto [key, added] = class_of_key_.emplace(std::make_pair(symbol, max_neighbours), static_cast<int>(symbol_.size()));
    if (added) {
      symbol_.push_back(symbol);
      limits_.max_neighbours.push_back(max_neighbours);
    }
    return key->second;
  }

  CoordinationLimits& limits_;
  std::unordered_map<std::string, int> class_of_type_;
  std::map<std::pair<std::string, int>, int> class_of_key_;
  std::vector<std::string> symbol_;
  std::array<std::pair<const std::string*, int>, 4> recent_{};
  size_t recent_next_ = 0;
};

double LongestBondLength(double length, bool& clamped) {
  if (!(length > kLongestBondLength)) return length;
  clamped = true;
  return kLongestBondLength;
}

// The class-by-class tables: the scaled standard lengths L, and the tighter
// cut-offs T = (L / s)(s + 2) / 3 of over-coordinated atoms, a third of the
// way from the unscaled length to the scaled one (s the bond scale). A
// parameter file's scale of 0 or below leaves no unscaled length to come
// back to: the cut-off is then the length itself.
void FillLengthTables(CDataFile& record, const std::vector<std::string>& symbols, BondSearchInput& in,
                      CoordinationLimits& limits) {
  in.class_count = static_cast<int>(symbols.size());
  in.lengths.resize(symbols.size() * symbols.size());
  limits.cutoffs.resize(in.lengths.size());
  const double s = record.GetBondScale();
  bool clamped = false;
  for (size_t a = 0; a < symbols.size(); ++a) {
    for (size_t b = 0; b < symbols.size(); ++b) {
      const bool known = !symbols[a].empty() && !symbols[b].empty();
      const double length = LongestBondLength(
          known ? record.GetPairParameter(symbols[a], symbols[b]) : record.GetFallbackLength(), clamped);
      in.lengths[a * symbols.size() + b] = length;
      limits.cutoffs[a * symbols.size() + b] = s > 0.0 ? (length / s) * (s + 2.0) / 3.0 : length;
    }
  }
  if (clamped) Warn("Warning: bond lengths over 10 angstroms are taken as 10 angstroms.");
}

void WarnCapped(long capped) {
  if (capped == 0) return;
  Warn("Warning: atoms with more than " + std::to_string(kMostNeighbours) +
       " neighbours within bonding distance keep only " + std::to_string(kMostNeighbours) + " bonds each.");
}

// The distance pass's plain data for the record's first `count` atoms: a
// class per atom type and the tables of the classes.
void GatherSearchInput(CDataFile& record, int count, BondSearchInput& in, CoordinationLimits& limits) {
  const std::vector<std::string>& types = record.GetAtomType();
  in.points = record.GetCartesian().data();
  in.atom_count = count;
  in.atom_class.resize(static_cast<size_t>(count));
  AtomClasses classes(limits);
  static const std::string kNoType;
  for (size_t i = 0; i < in.atom_class.size(); ++i)
    in.atom_class[i] = classes.Of(i < types.size() ? types[i] : kNoType);
  FillLengthTables(record, classes.Symbols(), in, limits);
}

}  // namespace

// Gathers the record's lists into plain data (classes of atom types, length
// tables), finds the bonds and trims over-coordinated atoms. Residues play no
// part: a disulfide, a ligand's contact with a metal or a hydrogen listed
// after every heavy atom is bonded by its distance alone.
// Up to three atoms without points at the end of the count (a PREP
// template's dummies) are left out; more leave the record unchanged.
void CDataFile::CreateConnection() {
  if (!Holds(State::kAtomIndex)) return;
  // A record with residue names but no residue heads is half built.
  if (Holds(State::kResidueName) && !Holds(State::kHeadAtomOfResidue)) return;
  const int n = number_of_atoms_;
  if (n <= 0) return;
  const int missing = std::max(n - static_cast<int>(cartesian_.size()), 0);
  if (missing > 3) return;

  BondSearchInput in;
  CoordinationLimits limits;
  GatherSearchInput(*this, n - missing, in, limits);
  long capped = 0;
  BondMap bonds = FindBondsGrid(in, &capped);
  WarnCapped(capped);
  TrimOverCoordinated(bonds, in, limits);
  AdoptConnection(std::move(bonds));
}

BondMap FindStretchedBonds(CDataFile& record, double stretch) {
  const int count = std::min(record.GetNumberOfAtoms(), static_cast<int>(record.GetCartesian().size()));
  if (count < 2) return BondMap();
  BondSearchInput in;
  CoordinationLimits limits;
  GatherSearchInput(record, count, in, limits);
  for (double& length : in.lengths) length *= stretch;
  return FindBondsGrid(in);
}

}  // namespace tarvex
