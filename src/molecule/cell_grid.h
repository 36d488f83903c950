// Points binned on a grid of box-shaped cells, for the searches that want
// every point within some reach of another: bond perception (the partners
// within the longest bond length) and getsolv's shell (the selected atoms
// within the radius).
//
// A query visits the members of the cells from Cell(p - reach) to
// Cell(p + reach) on each axis (of p's squeezed coordinate, below). Cell
// never decreases as a coordinate grows, and the reach is widened far beyond
// the rounding of any distance, cube test or squeezing, so every point that
// can pass such a test with p is visited: the grid
// changes the work of a pairwise loop, never its answer. Cells are at least
// the reach wide (a query spans at most three per axis) and there are never
// many more cells than points. The cells cover the box of the points; when
// the points leave wide empty stretches on an axis, which would make the
// cells too wide (a dummy atom at 9999 beside a protein, or two molecules a
// kilometre apart, would put each molecule in one cell), every stretch wider
// than four reaches is squeezed to two before the cells are laid out. The
// squeezed coordinate never decreases as a coordinate grows and never moves
// two points further apart than they are, so points within the reach of
// each other still lie at most one cell apart: the answer stays, and the
// work stays linear. The widths are computed from half coordinates so that
// even points at opposite ends of the double range give a finite width, and
// no coordinate that is not a number is ever turned into a cell number.
//
// Points that are not finite are left out of the cells (no distance to them
// is below any reach); LeftOut() names them for the callers whose tests they
// may still pass.
#pragma once

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "molecule/bond_map.h"

namespace tarvex {

class CellGrid {
 public:
  // A binned point, its id (its position in the caller's list of points) and
  // a tag the caller may carry with it, copied beside the point so that the
  // search reads memory in the order it walks the cells (bond perception
  // tags each atom with its class in the length table).
  struct Member {
    Point point;
    int id;
    int tag;
  };

  // Bins points[0 .. count-1], with tags[i] (when given) as the tag of point i.
  CellGrid(const Point* points, int count, double reach, const int* tags = nullptr);
  // Bins points[id] for each of `ids`.
  CellGrid(const Point* points, const std::vector<int>& ids, double reach);

  // Calls visit(member) for the members that may lie within the reach of p,
  // cell by cell, until it returns true; says whether it did. A point outside
  // the members' box widened by the reach visits nothing.
  template <typename Visit>
  bool ForEachNear(const Point& p, Visit&& visit) const;

  // The members of a cell and the 26 around it: at most nine runs of
  // members (one per row of three cells), each contiguous in Members().
  class Neighbourhood {
   public:
    template <typename Visit>
    void ForEach(Visit&& visit) const {
      for (int r = 0; r < count_; ++r) {
        const auto [first, last] = runs_[r];
        for (const Member* m = first; m != last; ++m) visit(*m);
      }
    }
    // Calls visit(member) for the members that come after `a` in Members()
    // (each pair of the neighbourhood once), until it returns true; says
    // whether it did. Runs wholly before `a` are passed over without a look,
    // so a pile of coincident points costs each point only the members it
    // looks at.
    template <typename Visit>
    bool ForEachAfter(const Member& a, Visit&& visit) const {
      for (int r = 0; r < count_; ++r) {
        const auto [first, last] = runs_[r];
        if (last <= &a) continue;
        for (const Member* m = first > &a ? first : &a + 1; m != last; ++m) {
          if (visit(*m)) return true;
        }
      }
      return false;
    }

   private:
    friend class CellGrid;
    std::array<std::pair<const Member*, const Member*>, 9> runs_{};
    int count_ = 0;
  };

  // Walks the grid itself, cell by cell: calls visit(a, neighbourhood) for
  // every member a, in the order of Members(), with the members of a's cell
  // and the 26 around it, which hold every member within the reach of a (a
  // itself included). The neighbourhood is found once per cell.
  template <typename Visit>
  void ForEachWithNeighbourhood(Visit&& visit) const;

  // The members in the order of their cells (x slowest, z fastest), each
  // cell's in the order they were given.
  const std::vector<Member>& Members() const { return members_; }
  // The ids left out because their points are not finite.
  const std::vector<int>& LeftOut() const { return left_out_; }
  std::array<int, 3> Dimensions() const { return dims_; }

 private:
  template <typename IdAt>
  void Build(const Point* points, size_t count, IdAt id_at, double reach, const int* tags);
  void Layout(size_t member_count, const Point& low, const Point& high);
  // Cells needed at the reach's width for the box [low, high], at most
  // `limit` (the count stops growing there).
  double CellsAtReach(const Point& low, const Point& high, double limit) const;
  int Cell(double x, size_t axis) const;
  int SqueezedCell(double squeezed, size_t axis) const;
  // The empty stretches of an axis and the coordinate with them squeezed.
  struct Gaps {
    std::vector<double> begin;    // the value before each stretch, ascending
    std::vector<double> removed;  // the length squeezed out before it
    std::vector<double> cut;      // the length squeezed out of it
    double keep = 0.0;            // what is left of each
  };
  void FindGaps(std::vector<double>& values, size_t axis);
  double Squeezed(double x, size_t axis) const;

  double reach_ = 0.0;
  double inverse_ = 0.0;  // cells per angstrom
  Point low_{};           // the box of the binned points
  Point high_{};
  Point origin_{};  // the low corner of the cells
  std::array<int, 3> dims_{1, 1, 1};
  std::vector<int> start_;  // per cell, its first member; one more at the end
  std::vector<Member> members_;
  std::vector<int> left_out_;
  std::array<Gaps, 3> gaps_;
};

inline double CellGrid::Squeezed(double x, size_t axis) const {
  const Gaps& gaps = gaps_[axis];
  if (gaps.begin.empty()) return x;
  const size_t j = static_cast<size_t>(std::upper_bound(gaps.begin.begin(), gaps.begin.end(), x) - gaps.begin.begin());
  if (j == 0) return x;
  return x - gaps.removed[j - 1] - std::clamp(x - gaps.begin[j - 1] - gaps.keep, 0.0, gaps.cut[j - 1]);
}

inline int CellGrid::Cell(double x, size_t axis) const { return SqueezedCell(Squeezed(x, axis), axis); }

inline int CellGrid::SqueezedCell(double x, size_t axis) const {
  const double t = (x - origin_[axis]) * inverse_;
  if (!(t > 0.0)) return 0;
  if (t >= static_cast<double>(dims_[axis] - 1)) return dims_[axis] - 1;
  return static_cast<int>(t);
}

template <typename Visit>
bool CellGrid::ForEachNear(const Point& p, Visit&& visit) const {
  std::array<int, 3> from{};
  std::array<int, 3> to{};
  for (size_t axis = 0; axis < 3; ++axis) {
    if (!(p[axis] >= low_[axis] - reach_ && p[axis] <= high_[axis] + reach_)) return false;
    // Squeezing moves no two points further apart (the widened reach covers
    // its rounding), so the members within the reach of p lie within the
    // reach of p's squeezed coordinate.
    const double x = Squeezed(p[axis], axis);
    from[axis] = SqueezedCell(x - reach_, axis);
    to[axis] = SqueezedCell(x + reach_, axis);
  }
  for (int x = from[0]; x <= to[0]; ++x) {
    for (int y = from[1]; y <= to[1]; ++y) {
      // The cells of one z run are contiguous, and so are their members.
      const size_t row = (static_cast<size_t>(x) * static_cast<size_t>(dims_[1]) + static_cast<size_t>(y)) *
                         static_cast<size_t>(dims_[2]);
      const int last = start_[row + static_cast<size_t>(to[2]) + 1];
      for (int k = start_[row + static_cast<size_t>(from[2])]; k < last; ++k) {
        if (visit(members_[k])) return true;
      }
    }
  }
  return false;
}

// Cells are at least the widened reach wide, so a member's neighbours lie at
// most one cell away on each axis.
template <typename Visit>
void CellGrid::ForEachWithNeighbourhood(Visit&& visit) const {
  Neighbourhood near;
  for (int cx = 0; cx < dims_[0]; ++cx) {
    for (int cy = 0; cy < dims_[1]; ++cy) {
      for (int cz = 0; cz < dims_[2]; ++cz) {
        const size_t cell = (static_cast<size_t>(cx) * static_cast<size_t>(dims_[1]) + static_cast<size_t>(cy)) *
                                static_cast<size_t>(dims_[2]) +
                            static_cast<size_t>(cz);
        if (start_[cell] == start_[cell + 1]) continue;
        near.count_ = 0;
        for (int x = std::max(cx - 1, 0); x <= std::min(cx + 1, dims_[0] - 1); ++x) {
          for (int y = std::max(cy - 1, 0); y <= std::min(cy + 1, dims_[1] - 1); ++y) {
            const size_t row = (static_cast<size_t>(x) * static_cast<size_t>(dims_[1]) + static_cast<size_t>(y)) *
                               static_cast<size_t>(dims_[2]);
            const int first = start_[row + static_cast<size_t>(std::max(cz - 1, 0))];
            const int last = start_[row + static_cast<size_t>(std::min(cz + 1, dims_[2] - 1)) + 1];
            near.runs_[near.count_++] = {members_.data() + first, members_.data() + last};
          }
        }
        for (int m = start_[cell]; m < start_[cell + 1]; ++m) visit(members_[m], near);
      }
    }
  }
}

}  // namespace tarvex
