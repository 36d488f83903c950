#include "molecule/cell_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "molecule/geometry.h"

namespace tarvex {
namespace {

// At most about two cells per point, and cell numbers that fit an int.
constexpr double kMostCellsPerPoint = 2.0;
constexpr double kFewestCells = 64.0;
constexpr double kMostCells = 1073741824.0;
// Empty stretches of an axis wider than kGapInReaches reaches are squeezed
// to kKeptReaches reaches.
constexpr double kGapInReaches = 4.0;
constexpr double kKeptReaches = 2.0;

}  // namespace

CellGrid::CellGrid(const Point* points, int count, double reach, const int* tags) {
  Build(
      points, static_cast<size_t>(std::max(count, 0)), [](size_t k) { return static_cast<int>(k); }, reach, tags);
}

CellGrid::CellGrid(const Point* points, const std::vector<int>& ids, double reach) {
  Build(
      points, ids.size(), [&ids](size_t k) { return ids[k]; }, reach, nullptr);
}

template <typename IdAt>
void CellGrid::Build(const Point* points, size_t count, IdAt id_at, double reach, const int* tags) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  low_ = {kInfinity, kInfinity, kInfinity};
  high_ = {-kInfinity, -kInfinity, -kInfinity};
  // Cell numbers come after the layout; until then -1 marks the points left
  // out.
  std::vector<int> cell_of(count, 0);
  size_t binned = 0;
  for (size_t k = 0; k < count; ++k) {
    const Point& p = points[id_at(k)];
    if (!IsFinite(p)) {
      cell_of[k] = -1;
      left_out_.push_back(id_at(k));
      continue;
    }
    ++binned;
    for (size_t axis = 0; axis < 3; ++axis) {
      low_[axis] = std::min(low_[axis], p[axis]);
      high_[axis] = std::max(high_[axis], p[axis]);
    }
  }
  double magnitude = 0.0;
  for (size_t axis = 0; binned > 0 && axis < 3; ++axis) {
    magnitude = std::max({magnitude, std::abs(low_[axis]), std::abs(high_[axis])});
  }
  reach_ = reach + 1e-12 * (magnitude + std::abs(reach) + 1.0);
  Point box_high = high_;
  const double budget = std::min(kMostCellsPerPoint * static_cast<double>(binned) + kFewestCells, kMostCells);
  if (binned > 1 && CellsAtReach(low_, high_, budget * 2.0) > budget) {
    std::vector<double> values;
    values.reserve(binned);
    for (size_t axis = 0; axis < 3; ++axis) {
      values.clear();
      for (size_t k = 0; k < count; ++k) {
        if (cell_of[k] >= 0) values.push_back(points[id_at(k)][axis]);
      }
      FindGaps(values, axis);
      box_high[axis] = Squeezed(high_[axis], axis);
    }
  }
  Layout(binned, low_, box_high);

  // Counting sort by cell, stable, so that each cell keeps the given order.
  const size_t cells = static_cast<size_t>(dims_[0]) * static_cast<size_t>(dims_[1]) * static_cast<size_t>(dims_[2]);
  start_.assign(cells + 1, 0);
  for (size_t k = 0; k < count; ++k) {
    if (cell_of[k] < 0) continue;
    const Point& p = points[id_at(k)];
    cell_of[k] = (Cell(p[0], 0) * dims_[1] + Cell(p[1], 1)) * dims_[2] + Cell(p[2], 2);
    ++start_[static_cast<size_t>(cell_of[k]) + 1];
  }
  for (size_t c = 0; c < cells; ++c) start_[c + 1] += start_[c];
  members_.resize(binned);
  std::vector<int> fill(start_.begin(), start_.end() - 1);
  for (size_t k = 0; k < count; ++k) {
    if (cell_of[k] < 0) continue;
    const int id = id_at(k);
    members_[static_cast<size_t>(fill[cell_of[k]]++)] = {points[id], id, tags ? tags[id] : 0};
  }
}

// The gaps of one axis between the sorted values, when the axis's extent is
// a finite number (points near both ends of the double range are left as
// they are: the cells only widen then).
void CellGrid::FindGaps(std::vector<double>& values, size_t axis) {
  Gaps& gaps = gaps_[axis];
  const double keep = kKeptReaches * reach_;
  if (!(std::isfinite(high_[axis] - low_[axis]) && std::isfinite(keep) && keep > 0.0)) return;
  std::sort(values.begin(), values.end());
  double removed = 0.0;
  for (size_t i = 0; i + 1 < values.size(); ++i) {
    const double gap = values[i + 1] - values[i];
    if (!(gap > kGapInReaches * reach_)) continue;
    gaps.begin.push_back(values[i]);
    gaps.removed.push_back(removed);
    gaps.cut.push_back(gap - keep);
    removed += gap - keep;
  }
  gaps.keep = keep;
}

double CellGrid::CellsAtReach(const Point& low, const Point& high, double limit) const {
  if (!(reach_ > 0.0 && reach_ < std::numeric_limits<double>::infinity())) return 1.0;
  double total = 1.0;
  for (size_t axis = 0; axis < 3; ++axis) {
    total *= std::floor((high[axis] * 0.5 - low[axis] * 0.5) / (reach_ * 0.5)) + 1.0;
    if (!(total <= limit)) return limit;
  }
  return total;
}

// Cells as wide as the reach, widened until there are no more than the
// budget allows, over the box [low, high]. A reach that is not a positive
// finite number, or no member, makes one cell.
void CellGrid::Layout(size_t member_count, const Point& low, const Point& high) {
  dims_ = {1, 1, 1};
  inverse_ = 0.0;
  origin_ = low;
  if (member_count == 0 || !(reach_ > 0.0 && reach_ < std::numeric_limits<double>::infinity())) return;
  const double budget = std::min(kMostCellsPerPoint * static_cast<double>(member_count) + kFewestCells, kMostCells);
  std::array<double, 3> half_extent{};
  for (size_t axis = 0; axis < 3; ++axis) half_extent[axis] = high[axis] * 0.5 - low[axis] * 0.5;
  double width = reach_;
  std::array<double, 3> counts{};
  for (;;) {
    double total = 1.0;
    for (size_t axis = 0; axis < 3; ++axis) {
      counts[axis] = std::floor(half_extent[axis] / (width * 0.5)) + 1.0;
      total *= counts[axis];
    }
    if (total <= budget) break;
    width *= std::max(1.01, std::cbrt(total / budget));
  }
  for (size_t axis = 0; axis < 3; ++axis) dims_[axis] = static_cast<int>(counts[axis]);
  inverse_ = 1.0 / width;
}

}  // namespace tarvex
