// The largest coordinate a molecule file can hold, and the one error for a
// coordinate beyond it.
//
// Amber NetCDF files store single-precision floats, and every fixed-column
// text layout ends long before. A larger value (1e300 in a MOL2 file) or one
// that is not finite (a NaN in a NetCDF file) is no structure, and the
// squared distances between such points would overflow: the readers refuse
// them where they read them.
#pragma once

#include <cmath>
#include <string>
#include <string_view>

#include "molecule/bond_map.h"

namespace tarvex {

inline constexpr double kLargestCoordinate = 3.4028234663852886e38;
inline bool HoldableCoordinate(double value) { return std::fabs(value) <= kLargestCoordinate; }  // false for NaN
inline bool HoldablePoint(const Point& p) {
  return HoldableCoordinate(p[0]) && HoldableCoordinate(p[1]) && HoldableCoordinate(p[2]);
}

// "Error: <where>: the coordinate 1e+300 is beyond what any molecule file
// can hold." (or "... is not a finite number.") for the first coordinate of
// `p` that HoldableCoordinate refuses.
std::string CoordinateRefusal(const Point& p, std::string_view where);
// Ends the command with that line.
[[noreturn]] void RefuseCoordinate(const Point& p, std::string_view where);
// Refuses the first point of points[first, end) that is not holdable as
// "<where()>, atom N"; `where` (the file, or the file and frame) is called
// only then, so a frame loop builds no text.
template <typename Where>
void RequireHoldable(const Frame& points, size_t first, size_t end, Where&& where) {
  for (size_t a = first; a < end; ++a) {
    if (!HoldablePoint(points[a])) RefuseCoordinate(points[a], where() + ", atom " + std::to_string(a + 1));
  }
}

}  // namespace tarvex
