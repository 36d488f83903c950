// Point arithmetic and the three measurements of structure (distance, bond
// angle, dihedral), in one place for every analyzer and chemistry step.
//
// Angles are in degrees. Every arccosine goes through AcosDegrees: rounding
// can carry the cosine of a straight angle (or of a planar dihedral) just
// past -1 or 1, where acos has no value; such angles are 180 or 0 degrees.
// Radians become degrees as x * 180 / pi, in that order: x * (180 / pi)
// differs in the last bit for a quarter of all angles, and getdun's tables
// are kept to the last digit.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>

#include "molecule/bond_map.h"

namespace tarvex {

inline constexpr double kPi = 3.141592653589793;
inline constexpr double kDegreesPerRadian = 180.0 / kPi;
inline constexpr double kRadiansPerDegree = kPi / 180.0;

inline Point Minus(const Point& a, const Point& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline Point Plus(const Point& a, const Point& b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
inline Point Scaled(const Point& a, double factor) { return {a[0] * factor, a[1] * factor, a[2] * factor}; }
inline double Dot(const Point& a, const Point& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline Point Cross(const Point& a, const Point& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline double Norm(const Point& a) { return std::sqrt(Dot(a, a)); }
inline double SquaredDistance(const Point& a, const Point& b) {
  const double dx = a[0] - b[0];
  const double dy = a[1] - b[1];
  const double dz = a[2] - b[2];
  return dx * dx + dy * dy + dz * dz;
}
inline double Distance(const Point& a, const Point& b) { return std::sqrt(SquaredDistance(a, b)); }
inline bool IsFinite(const Point& p) { return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]); }

inline double AcosDegrees(double cosine) { return std::acos(std::clamp(cosine, -1.0, 1.0)) * 180.0 / kPi; }

// The angle a-b-c at b. Coincident points give NaN (the plain formula's
// 0/0, returned without dividing by zero); callers that must not see NaN
// test the lengths first.
inline double AngleDegrees(const Point& a, const Point& b, const Point& c) {
  const Point u = Minus(a, b);
  const Point v = Minus(c, b);
  const double lengths = Norm(u) * Norm(v);
  if (lengths == 0.0) return std::numeric_limits<double>::quiet_NaN();
  return AcosDegrees(Dot(u, v) / lengths);
}

// The same angle, or no value where it has none: a or c coincides with b, or
// the cosine cannot be computed (coordinates near the largest double).
inline std::optional<double> DefinedAngleDegrees(const Point& a, const Point& b, const Point& c) {
  const Point u = Minus(a, b);
  const Point v = Minus(c, b);
  const double lengths = Norm(u) * Norm(v);
  if (!(lengths > 0.0)) return std::nullopt;
  const double cosine = Dot(u, v) / lengths;
  if (std::isnan(cosine)) return std::nullopt;
  return AcosDegrees(cosine);
}

// The dihedral a-b-c-d in (-180, 180]. P is the normal of the plane a-b-c,
// Q that of b-c-d; the angle between them is the dihedral, negative when d
// lies on the side P points to. Collinear or coincident points leave a plane
// undefined: no value.
inline std::optional<double> DihedralDegrees(const Point& a, const Point& b, const Point& c, const Point& d) {
  const Point p = Cross(Minus(a, b), Minus(c, b));
  const Point dc = Minus(d, c);
  const Point q = Cross(Minus(b, c), dc);
  const double p_length = Norm(p);
  const double q_length = Norm(q);
  if (p_length < 1e-12 || q_length < 1e-12) return std::nullopt;
  const double angle = AcosDegrees(Dot(p, q) / (p_length * q_length));
  return Dot(dc, p) <= 0.0 ? angle : -angle;
}

// The two dihedrals a-b-c-d and b-c-d-e of a chain (a residue's phi and psi),
// exactly as two DihedralDegrees calls give them: the normal of the plane
// b-c-d, the second plane of the first and the first of the second, is
// computed once.
inline std::array<std::optional<double>, 2> ConsecutiveDihedralsDegrees(const Point& a, const Point& b, const Point& c,
                                                                        const Point& d, const Point& e) {
  const Point p = Cross(Minus(a, b), Minus(c, b));
  const Point dc = Minus(d, c);
  const Point shared = Cross(Minus(b, c), dc);
  const Point ed = Minus(e, d);
  const Point r = Cross(Minus(c, d), ed);
  const double p_length = Norm(p);
  const double shared_length = Norm(shared);
  const double r_length = Norm(r);
  std::array<std::optional<double>, 2> angles;
  if (!(p_length < 1e-12 || shared_length < 1e-12)) {
    const double angle = AcosDegrees(Dot(p, shared) / (p_length * shared_length));
    angles[0] = Dot(dc, p) <= 0.0 ? angle : -angle;
  }
  if (!(shared_length < 1e-12 || r_length < 1e-12)) {
    const double angle = AcosDegrees(Dot(shared, r) / (shared_length * r_length));
    angles[1] = Dot(ed, shared) <= 0.0 ? angle : -angle;
  }
  return angles;
}

}  // namespace tarvex
