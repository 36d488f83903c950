#include "molecule/cell_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <set>

#include "molecule/geometry.h"

namespace tarvex {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

std::vector<int> Near(const CellGrid& grid, const Point& p) {
  std::vector<int> ids;
  grid.ForEachNear(p, [&](const CellGrid::Member& m) {
    ids.push_back(m.id);
    return false;
  });
  std::sort(ids.begin(), ids.end());
  return ids;
}

std::set<std::pair<int, int>> NeighbourPairs(const CellGrid& grid) {
  std::set<std::pair<int, int>> pairs;
  grid.ForEachWithNeighbourhood([&](const CellGrid::Member& a, const CellGrid::Neighbourhood& near) {
    near.ForEach([&](const CellGrid::Member& b) { pairs.emplace(a.id, b.id); });
  });
  return pairs;
}

long long CellCount(const CellGrid& grid) {
  const std::array<int, 3> dims = grid.Dimensions();
  return static_cast<long long>(dims[0]) * dims[1] * dims[2];
}

TEST(CellGrid, EmptySetAndOnePoint) {
  const Frame none;
  const CellGrid empty(none.data(), 0, 1.5);
  EXPECT_TRUE(empty.Members().empty());
  EXPECT_TRUE(Near(empty, {0, 0, 0}).empty());
  EXPECT_TRUE(NeighbourPairs(empty).empty());
  EXPECT_EQ(CellCount(empty), 1);

  const Frame one = {{3, -4, 5}};
  const CellGrid grid(one.data(), 1, 1.5);
  EXPECT_EQ(Near(grid, {3, -4, 5}), std::vector<int>{0});
  EXPECT_EQ(Near(grid, {4.4, -4, 5}), std::vector<int>{0}) << "within the reach on every axis";
  EXPECT_TRUE(Near(grid, {4.6, -4, 5}).empty()) << "outside the box widened by the reach";
  EXPECT_EQ(NeighbourPairs(grid), (std::set<std::pair<int, int>>{{0, 0}}));
}

TEST(CellGrid, CoincidentPointsShareOneCellInTheirGivenOrder) {
  const Frame points(500, Point{1.25, 1.25, 1.25});
  const std::vector<int> ids = {7, 3, 499, 0, 250};
  const CellGrid grid(points.data(), ids, 2.0);
  EXPECT_EQ(CellCount(grid), 1);
  std::vector<int> order;
  for (const CellGrid::Member& m : grid.Members()) order.push_back(m.id);
  EXPECT_EQ(order, ids) << "a cell keeps the order it was given";
  EXPECT_EQ(Near(grid, {1.25, 1.25, 1.25}), (std::vector<int>{0, 3, 7, 250, 499}));
  EXPECT_EQ(NeighbourPairs(grid).size(), 25u);
}

// Points that are not numbers (or not finite) stay out of the cells and are
// named in the order given; a query at such a point visits nothing.
TEST(CellGrid, NonFinitePointsAreLeftOut) {
  const Frame points = {{0, 0, 0}, {kNaN, 0, 0}, {1, 1, 1}, {0, kInfinity, 0}, {0, 0, -kInfinity}, {kNaN, kNaN, kNaN}};
  const CellGrid grid(points.data(), 6, 2.0);
  EXPECT_EQ(grid.LeftOut(), (std::vector<int>{1, 3, 4, 5}));
  EXPECT_EQ(grid.Members().size(), 2u);
  EXPECT_EQ(Near(grid, {0.5, 0.5, 0.5}), (std::vector<int>{0, 2}));
  EXPECT_TRUE(Near(grid, {kNaN, 0, 0}).empty());
  EXPECT_TRUE(Near(grid, {0, kInfinity, 0}).empty());

  const CellGrid all_nan(points.data() + 5, 1, 2.0);
  EXPECT_TRUE(all_nan.Members().empty());
  EXPECT_TRUE(Near(all_nan, {0, 0, 0}).empty());
}

// Points at both ends of the double range: the widths stay finite, the grid
// stays within its budget, and nearby points are still found on both sides.
TEST(CellGrid, HugeCoordinates) {
  const double huge = 1.7e308;
  Frame points = {{-huge, -huge, -huge}, {huge, huge, huge}, {huge, -huge, 0}};
  for (int i = 0; i < 20; ++i) points.push_back({0.1 * i, 0, 0});
  points.push_back({huge, huge, huge - 1e293});
  const CellGrid grid(points.data(), static_cast<int>(points.size()), 1.5);
  EXPECT_TRUE(grid.LeftOut().empty());
  EXPECT_LE(CellCount(grid), 2 * static_cast<long long>(points.size()) + 64);
  const std::vector<int> near_origin = Near(grid, {0, 0, 0});
  for (int i = 3; i < 18; ++i) {
    EXPECT_TRUE(std::binary_search(near_origin.begin(), near_origin.end(), i)) << i;
  }
  const std::vector<int> near_top = Near(grid, {huge, huge, huge});
  EXPECT_TRUE(std::binary_search(near_top.begin(), near_top.end(), 1));
  EXPECT_TRUE(std::binary_search(near_top.begin(), near_top.end(), 23)) << "1e293 is within a reach of that size";

  const CellGrid endless(points.data(), static_cast<int>(points.size()), kInfinity);
  EXPECT_EQ(CellCount(endless), 1) << "an infinite reach is one cell";
  EXPECT_EQ(Near(endless, {0, 0, 0}).size(), points.size());
  const CellGrid nothing(points.data(), static_cast<int>(points.size()), kNaN);
  EXPECT_TRUE(Near(nothing, {0, 0, 0}).empty()) << "no point is within a reach that is not a number";
}

// Every point within the reach of a query, or of a member, is visited, on
// random systems with clusters, far strays and repeated points; and the grid
// never holds many more cells than points.
TEST(CellGrid, VisitsEverythingWithinTheReach) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int round = 0; round < 24; ++round) {
    const int n = 1 + static_cast<int>(random() % 400);
    const double box = std::vector<double>{1.0, 10.0, 100.0, 1e6}[round % 4];
    const double reach = 0.05 + 3.0 * unit(random);
    Frame points;
    for (int i = 0; i < n; ++i) {
      if (i > 0 && i % 17 == 0) {
        points.push_back(points[static_cast<size_t>(i) / 2]);
      } else if (i % 50 == 49) {
        points.push_back({1e9 * unit(random), -1e9, 0});
      } else {
        points.push_back({box * unit(random), box * unit(random), box * unit(random)});
      }
    }
    const CellGrid grid(points.data(), n, reach);
    ASSERT_LE(CellCount(grid), 2LL * n + 64);
    const std::set<std::pair<int, int>> pairs = NeighbourPairs(grid);
    for (int q = 0; q < 60; ++q) {
      const Point p = q < n ? points[q] : Point{box * unit(random), box * unit(random), 0.5};
      const std::vector<int> visited = Near(grid, p);
      for (int i = 0; i < n; ++i) {
        const Point& x = points[i];
        const bool in_cube =
            std::fabs(x[0] - p[0]) <= reach && std::fabs(x[1] - p[1]) <= reach && std::fabs(x[2] - p[2]) <= reach;
        if (!in_cube && !(Distance(x, p) <= reach)) continue;
        ASSERT_TRUE(std::binary_search(visited.begin(), visited.end(), i)) << "round " << round << " query " << q;
        if (q < n) {
          ASSERT_TRUE(pairs.count({q, i})) << "round " << round << " pair " << q << "-" << i;
        }
      }
    }
  }
}

// A dummy atom at 9999 beside a protein must not put the protein in one
// cell: the cells cover the inner points, the stray one sits in an edge cell,
// and a query still visits a handful of points, not all of them.
TEST(CellGrid, AStrayPointLeavesTheCellsNarrow) {
  std::mt19937 random(5);
  std::uniform_real_distribution<double> unit(0.0, 30.0);
  Frame points;
  for (int i = 0; i < 3000; ++i) points.push_back({unit(random), unit(random), unit(random)});
  points.push_back({9999.0, 9999.0, 9999.0});
  points.push_back({9998.0, 9999.0, 9999.0});
  const CellGrid grid(points.data(), static_cast<int>(points.size()), 1.5);
  for (int dim : grid.Dimensions()) EXPECT_GE(dim, 10);
  EXPECT_LT(Near(grid, points[0]).size(), 200u);
  EXPECT_EQ(Near(grid, points[3000]), (std::vector<int>{3000, 3001}));
  EXPECT_TRUE(NeighbourPairs(grid).count({3000, 3001}));
}

// Two molecules a millimetre apart must not each end up in one cell: the empty
// stretch between them is squeezed, queries near either visit a handful of
// points, and points on the boundary of the reach across the squeezed
// stretch are still found.
TEST(CellGrid, FarClustersKeepNarrowCells) {
  std::mt19937 random(8);
  std::uniform_real_distribution<double> unit(0.0, 20.0);
  Frame points;
  for (int i = 0; i < 4000; ++i) {
    const double shift = i % 2 == 0 ? 0.0 : 1e7;
    points.push_back({unit(random) + shift, unit(random) - shift, unit(random)});
  }
  points.push_back({points[1][0] + 1.5, points[1][1], points[1][2]});  // exactly a reach away
  const CellGrid grid(points.data(), static_cast<int>(points.size()), 1.5);
  for (int dim : grid.Dimensions()) EXPECT_GE(dim, 8);
  EXPECT_LT(Near(grid, points[0]).size(), 300u);
  const std::vector<int> near_last = Near(grid, points.back());
  EXPECT_LT(near_last.size(), 300u);
  EXPECT_TRUE(std::binary_search(near_last.begin(), near_last.end(), 1));
  EXPECT_TRUE(NeighbourPairs(grid).count({4000, 1}));
}

}  // namespace
}  // namespace tarvex
