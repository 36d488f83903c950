#include "chemistry/lewis/stated_bonds.h"

#include <algorithm>
#include <cmath>

#include "chemistry/lewis/valence_model.h"
#include "chemistry/parameters.h"
#include "common/text.h"

namespace tarvex {
namespace {

bool Bonded(const BondMap& bonds, int a, int b) {
  const BondMap::List* list = bonds.find(a);
  return list && std::find(list->begin(), list->end(), b) != list->end();
}

// The registry's length for the pair (scaled), or 0.
double PairLength(const std::string& a, const std::string& b) {
  const auto& table = Registry().pair_lengths;
  auto row = table.find(ToUpper(a));
  if (row == table.end()) return 0.0;
  auto cell = row->second.find(ToUpper(b));
  return cell == row->second.end() ? 0.0 : cell->second;
}

double PointDistance(const Point& p, const Point& q) {
  return std::sqrt((p[0] - q[0]) * (p[0] - q[0]) + (p[1] - q[1]) * (p[1] - q[1]) + (p[2] - q[2]) * (p[2] - q[2]));
}

// Extra points and lone pairs: a file may list them as bonded to their atom
// (LEaP does), but they are never its neighbours.
bool IsExtraPoint(const std::string& type) { return ToUpper(type) == "LP"; }

double LongestBond(const std::string& a, const std::string& b) {
  if (LookupElementChemistry(a).kind == ElementKind::kMetal || LookupElementChemistry(b).kind == ElementKind::kMetal) {
    return kLongestMetalBond;
  }
  const double standard = PairLength(a, b);
  return standard > 0.0 ? kStatedBondStretch * standard : kLongestOtherBond;
}

}  // namespace

bool StatedBondsDegenerate(const BondMap& stated, int atom_count, const Frame& points,
                           const std::vector<std::string>& types) {
  const int n = std::min({atom_count, static_cast<int>(points.size()), static_cast<int>(types.size())});
  for (auto [a, list] : stated) {
    if (a < 0 || a >= n || IsExtraPoint(types[a])) continue;
    for (int b : list) {
      if (b < 0 || b >= n || b == a || IsExtraPoint(types[b])) continue;
      if (PointDistance(points[a], points[b]) < kShortestStatedBond) return true;
    }
  }
  return false;
}

void AddStatedBonds(BondMap& bonds, const BondMap& stated, int atom_count, const Frame& points,
                    const std::vector<std::string>& types) {
  const int n = std::min(atom_count, static_cast<int>(types.size()));
  for (auto [a, list] : stated) {
    if (a >= n) break;
    if (IsExtraPoint(types[a])) continue;
    for (int b : list) {
      if (b < 0 || b >= n || b == a || IsExtraPoint(types[b]) || Bonded(bonds, a, b) || Bonded(bonds, b, a)) continue;
      if (a < static_cast<int>(points.size()) && b < static_cast<int>(points.size())) {
        if (PointDistance(points[a], points[b]) > LongestBond(types[a], types[b])) continue;
      }
      bonds[a].push_back(b);
      bonds[b].push_back(a);
    }
  }
}

}  // namespace tarvex
