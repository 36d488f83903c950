// Conversion between Cartesian coordinates and Z-matrices: the plain-data
// work, and the record's two operations that gather its fields for it.
#include "chemistry/geometry/internal_coordinates.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "common/console.h"
#include "common/exit.h"
#include "common/printable.h"
#include "molecule/data_file.h"
#include "molecule/geometry.h"

namespace tarvex {
namespace {

// An angle whose cosine is this close to -1 or 1 counts as straight.
constexpr double kStraightCosine = 0.999999;
// Bond and angle atoms closer than 0.01 angstrom coincide.
constexpr double kCoincidentSquared = 0.0001;
// Angle atoms are chosen well clear of that limit, so that the rebuilt
// points never fall on the wrong side of it by rounding.
constexpr double kUsableSquared = 2.0 * kCoincidentSquared;
// Cross products shorter than this leave a plane undefined (the threshold of
// DihedralDegrees).
constexpr double kNoPlane = 1e-12;
// An alternative dihedral atom this far off the line a-b (the sine of the
// angle a-b-c) gives a well-measured dihedral.
constexpr double kGoodSine = 1e-3;
constexpr const char* kDummyName = " X  ";
constexpr const char* kDummyType = "DU";
constexpr const char* kDummyResidue = "MOL";

bool IsUndefinedDihedral(double phi) { return std::abs(phi - kUndefinedDihedral) < 1e-6; }

// A unit vector perpendicular to the unit vector `axis`.
Point AnyPerpendicular(const Point& axis) {
  Point other{0.0, 0.0, 0.0};
  size_t least = 0;
  for (size_t k = 1; k < 3; ++k) {
    if (std::abs(axis[k]) < std::abs(axis[least])) least = k;
  }
  other[least] = 1.0;
  const Point normal = Cross(axis, other);
  const double length = Norm(normal);
  // Only an axis that is not finite (lengths near the largest double) has no
  // perpendicular: any unit vector does, the points built are refused later.
  return length > 0.0 ? Scaled(normal, 1.0 / length) : Point{1.0, 0.0, 0.0};
}

// Atom i from its bond atom A, angle atom B and dihedral atom C. The local
// frame: `axis` from B to A, `normal` perpendicular to the plane C-B-A, and
// `in_plane` completing them; the dihedral turns the bond about the axis from
// the in-plane direction towards the normal. Only when the angle is straight
// and no dihedral can orient the atom (the undefined mark, or C on the line
// B-A) does it go on the line, beyond A for 180 degrees and towards B for 0;
// otherwise the frame places it exactly, which for a straight angle is the
// same point. False when A and B coincide.
bool PlaceFromReferences(const Point& a, const Point& b, const Point& c, const Point& value, Point& placed) {
  const Point u = Minus(a, b);
  const double uu = Dot(u, u);
  if (uu < kCoincidentSquared) return false;
  const Point axis = Scaled(u, 1.0 / std::sqrt(uu));
  const double r = value[0];
  const double theta = value[1] * kRadiansPerDegree;
  const double cos_theta = std::cos(theta);
  const Point bc = Minus(b, c);
  Point normal = Cross(bc, axis);
  const double normal_length = Norm(normal);
  const bool has_plane = normal_length > kNoPlane * std::max(Norm(bc), 1.0);
  if (std::abs(cos_theta) >= kStraightCosine && (IsUndefinedDihedral(value[2]) || !has_plane)) {
    placed = Plus(a, Scaled(axis, -r * cos_theta));
    return true;
  }
  normal = has_plane ? Scaled(normal, 1.0 / normal_length) : AnyPerpendicular(axis);
  const Point in_plane = Cross(normal, axis);
  const double phi = value[2] * kRadiansPerDegree;
  const double sideways = r * std::sin(theta);
  placed = Plus(Plus(a, Scaled(axis, -r * cos_theta)),
                Plus(Scaled(in_plane, sideways * std::cos(phi)), Scaled(normal, sideways * std::sin(phi))));
  return true;
}

void AddBond(BondMap& bonds, int i, int j) {
  BondMap::List& list = bonds[i];
  if (std::find(list.begin(), list.end(), j) == list.end()) list.push_back(j);
  BondMap::List& other = bonds[j];
  if (std::find(other.begin(), other.end(), i) == other.end()) other.push_back(i);
}

// The highest-numbered atom bonded to `atom` below `limit`, or -1.
int LatestNeighbourBelow(const BondMap& bonds, int atom, int limit) {
  int latest = -1;
  if (const BondMap::List* list = bonds.find(atom)) {
    for (int neighbour : *list) {
      if (neighbour >= 0 && neighbour < limit && neighbour > latest) latest = neighbour;
    }
  }
  return latest;
}

// The sine of the angle a-b-j, 0 when two of the points coincide.
double SineAt(const Point& a, const Point& b, const Point& j) {
  const Point ba = Minus(a, b);
  const Point bj = Minus(j, b);
  const double lengths = Norm(ba) * Norm(bj);
  return lengths > 0.0 ? Norm(Cross(ba, bj)) / lengths : 0.0;
}

// The earlier neighbours of `atom` (below `limit`), highest first.
BondMap::List EarlierNeighbours(const BondMap& bonds, int atom, int limit) {
  BondMap::List earlier;
  if (const BondMap::List* list = bonds.find(atom)) {
    for (int neighbour : *list) {
      if (neighbour >= 0 && neighbour < limit) earlier.push_back(neighbour);
    }
  }
  std::sort(earlier.rbegin(), earlier.rend());
  return earlier;
}

// Candidates for a substitute reference of atom i: the earlier neighbours of
// `near` from the highest, then every earlier atom from i - 1 down. Returns
// the first that `accept` takes, else `fallback`.
template <typename Accept>
int FirstCandidate(const BondMap& bonds, int i, int near, int fallback, Accept accept) {
  for (int j : EarlierNeighbours(bonds, near, near)) {
    if (accept(j)) return j;
  }
  for (int j = i - 1; j >= 0; --j) {
    if (accept(j)) return j;
  }
  return fallback;
}

// Another angle atom for atom i when the bonds give one that coincides with
// the bond atom a (two alternate locations of one atom in a crystal
// structure, both bonded): the first candidate at a usable distance from a.
int OtherAngleAtom(std::span<const Point> points, const BondMap& bonds, int i, int a) {
  return FirstCandidate(bonds, i, a, -1, [&](int j) {
    return j >= 1 && j != a && SquaredDistance(points[a], points[j]) >= kUsableSquared;
  });
}

// Another dihedral atom for atom i when a-b-c is a straight line: the first
// candidate well off the line a-b, else the one farthest off it.
int OtherDihedralAtom(std::span<const Point> points, const BondMap& bonds, int i, int a, int b) {
  int best = -1;
  double best_sine = 0.0;
  const int found = FirstCandidate(bonds, i, b, -1, [&](int j) {
    if (j == a || j == b) return false;
    const double sine = SineAt(points[a], points[b], points[j]);
    if (sine > best_sine) {
      best = j;
      best_sine = sine;
    }
    return sine >= kGoodSine;
  });
  return found >= 0 ? found : best;
}

// The row of atom i >= 3 with its references a, b, c already chosen; c may
// be replaced when a-b-c is straight. A zero bond (i on a) has no angle:
// it is stored as 0 with the undefined dihedral, which rebuilds the point.
void MeasureRow(std::span<const Point> points, const BondMap& bonds, int i, int a, int b, int c, ZMatrixResult& z) {
  const Point& pi = points[i];
  const Point& pa = points[a];
  const Point& pb = points[b];
  const double r = Distance(pi, pa);
  double theta = AngleDegrees(pi, pa, pb);
  std::optional<double> phi = DihedralDegrees(pi, pa, pb, points[c]);
  const bool straight = Norm(Cross(Minus(pi, pa), Minus(pb, pa))) < kNoPlane;
  if (!phi && !straight) {
    const int other = OtherDihedralAtom(points, bonds, i, a, b);
    if (other >= 0) {
      c = other;
      phi = DihedralDegrees(pi, pa, pb, points[c]);
    }
  }
  if (std::isnan(theta)) {
    theta = 0.0;
    phi.reset();
  }
  z.values.push_back({r, theta, phi.value_or(kUndefinedDihedral)});
  z.references.push_back({a, b, c});
}

}  // namespace

size_t ZMatrixToCartesian(const std::vector<Point>& values, const std::vector<ReferenceTriple>& references,
                          Frame& points) {
  points.clear();
  const size_t n = std::min(values.size(), references.size());
  points.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const Point& value = values[i];
    const ReferenceTriple& ref = references[i];
    if (i == 0) {
      points.push_back({0.0, 0.0, 0.0});
    } else if (i == 1) {
      points.push_back({value[0], 0.0, 0.0});
    } else if (i == 2) {
      const double t = value[1] * kRadiansPerDegree;
      const double x = ref[0] == 0 ? points[0][0] + value[0] * std::cos(t) : points[1][0] - value[0] * std::cos(t);
      points.push_back({x, value[0] * std::sin(t), 0.0});
    } else {
      const int limit = static_cast<int>(i);
      if (ref[0] < 0 || ref[0] >= limit || ref[1] < 0 || ref[1] >= limit || ref[2] < 0 || ref[2] >= limit) break;
      Point placed{};
      if (!PlaceFromReferences(points[ref[0]], points[ref[1]], points[ref[2]], value, placed)) {
        break;
      }
      points.push_back(placed);
    }
  }
  return points.size();
}

size_t MixedToCartesian(const std::vector<Point>& values, const std::vector<ReferenceTriple>& references,
                        const std::vector<char>& given, Frame& points) {
  const size_t n = std::min({values.size(), references.size(), given.size()});
  size_t opening = 0;
  while (opening < n && opening < 3 && !given[opening]) ++opening;
  const std::vector<Point> opening_values(values.begin(), values.begin() + static_cast<long>(opening));
  const std::vector<ReferenceTriple> opening_references(references.begin(),
                                                        references.begin() + static_cast<long>(opening));
  if (ZMatrixToCartesian(opening_values, opening_references, points) < opening) return points.size();
  // From the x axis and the xy plane of ZMatrixToCartesian to Gaussian's z
  // axis and xz plane: a cyclic exchange of the axes, a proper rotation.
  for (Point& p : points) p = {p[1], p[2], p[0]};
  for (size_t i = opening; i < n; ++i) {
    const ReferenceTriple& ref = references[i];
    const int limit = static_cast<int>(i);
    Point placed = values[i];
    if (!given[i]) {
      if (ref[0] < 0 || ref[0] >= limit || ref[1] < 0 || ref[1] >= limit || ref[2] < 0 || ref[2] >= limit) break;
      if (!PlaceFromReferences(points[ref[0]], points[ref[1]], points[ref[2]], values[i], placed)) break;
    }
    points.push_back(placed);
  }
  return points.size();
}

ZMatrixResult CartesianToZMatrix(std::span<const Point> points, const BondMap& bonds) {
  ZMatrixResult z;
  const int n = static_cast<int>(points.size());
  z.values.reserve(points.size());
  z.references.reserve(points.size());
  // The dummies form a chain that ends at the first real atom.
  BondMap work = bonds;
  for (int i = 1; i < std::min(n, 4); ++i) AddBond(work, i - 1, i);
  for (int i = 0; i < n; ++i) {
    if (i == 0) {
      z.values.push_back({0.0, 0.0, 0.0});
      z.references.push_back({-1, -2, -3});
    } else if (i == 1) {
      z.values.push_back({Distance(points[1], points[0]), 0.0, 0.0});
      z.references.push_back({0, -1, -2});
    } else if (i == 2) {
      z.values.push_back({Distance(points[2], points[1]), AngleDegrees(points[2], points[1], points[0]), 0.0});
      z.references.push_back({1, 0, -1});
    } else {
      int a = LatestNeighbourBelow(work, i, i);
      if (a < 0) {
        AddBond(work, i, 2);  // a fragment of its own hangs from the third dummy
        a = 2;
      }
      int b = LatestNeighbourBelow(work, a, a);
      if (b >= 0 && SquaredDistance(points[a], points[b]) < kUsableSquared) b = OtherAngleAtom(points, work, i, a);
      const int c = b >= 0 ? LatestNeighbourBelow(work, b, b) : -1;
      if (b < 0 || c < 0) {
        z.failed_atom = i;
        return z;
      }
      MeasureRow(points, work, i, a, b, c, z);
    }
  }
  return z;
}

Frame DummyPoints(const Point& first_atom, int count) {
  Frame dummies;
  Point p = first_atom;
  for (int k = 0; k < std::min(count, 3); ++k) {
    p[k] += 1.0;
    dummies.push_back(p);
  }
  return dummies;
}

namespace {

template <typename T>
void PrependCopies(std::vector<T>& list, int count, const T& value) {
  if (!list.empty()) list.insert(list.begin(), static_cast<size_t>(count), value);
}

// The dummies form a residue of their own, "MOL" numbered 0, in front of the
// others; the atoms are renumbered 1, 2, ... as the Z-matrix lines count them.
void PrependDummyResidue(CDataFile& record, int count) {
  PrependCopies(record.GetResidueName(), count, std::string(kDummyResidue));
  PrependCopies(record.GetResidueIndex(), count, 0);
  std::vector<int>& ordinals = record.GetResidueNumber();
  std::vector<int>& heads = record.GetHeadAtomOfResidue();
  if (ordinals.empty() && heads.empty()) return;
  for (int& ordinal : ordinals) ++ordinal;
  PrependCopies(ordinals, count, 0);
  for (int& head : heads) head += count;
  if (!heads.empty()) heads.insert(heads.begin(), 0);
  if (record.GetNumberOfResidues() > 0) record.SetNumberOfResidues(record.GetNumberOfResidues() + 1);
}

// Bonds follow their atoms to the shifted positions.
void ShiftConnection(CDataFile& record, int count) {
  BondMap shifted;
  for (auto [atom, neighbours] : record.GetConnection()) {
    BondMap::List& list = shifted[atom + count];
    for (int neighbour : neighbours) list.push_back(neighbour >= 0 ? neighbour + count : neighbour);
  }
  record.GetConnection() = std::move(shifted);
}

// Puts `count` dummy atoms in front of every per-atom group the record holds.
void PrependDummyAtoms(CDataFile& record, int count) {
  PrependCopies(record.GetAtomName(), count, std::string(kDummyName));
  PrependCopies(record.GetAtomType(), count, std::string(kDummyType));
  PrependCopies(record.GetForce(), count, Point{0.0, 0.0, 0.0});
  PrependCopies(record.GetCharge(), count, 0.0);
  PrependCopies(record.GetFormalCharges(), count, 0);
  PrependDummyResidue(record, count);
  ShiftConnection(record, count);
  record.SetNumberOfAtoms(record.GetNumberOfAtoms() + count);
  std::vector<int>& numbers = record.GetAtomIndex();
  if (!numbers.empty()) {
    numbers.resize(static_cast<size_t>(record.GetNumberOfAtoms()));
    for (size_t k = 0; k < numbers.size(); ++k) numbers[k] = static_cast<int>(k) + 1;
  }
  CDataFile::Snapshot& snapshot = record.GetSnapshot();
  snapshot.number_of_atoms = record.GetNumberOfAtoms();
  snapshot.atom_types = record.GetAtomType();
}

}  // namespace

void CDataFile::InternalToCartesian() {
  if (!Holds(State::kInternal)) {
    Warn("InternalToCartesian(): no internal coordinate.");
    return;
  }
  if (ZMatrixToCartesian(internal_, internal_reference_, cartesian_) < internal_.size()) {
    Warn("Convert internal coordinates to cartesian coordinates: failed.");
  }
}

// The molecule must begin with three dummy atoms (type "DU"); the missing
// ones are put in front. Points of dummies are added for every atom that has
// none, at most three: a record whose dummies came from an earlier
// conversion but whose frame was replaced gets them back.
void CDataFile::CartesianToInternal() {
  if (!Holds(State::kCartesian)) {
    Warn("CartesianToInternal(): no cartesian coordinate.");
    return;
  }
  if (number_of_atoms_ <= 0) {
    Warn("CartesianToInternal(): no atom.");
    return;
  }
  if (file_flags_ & kFileCreateBonds) CreateConnection();
  int leading = 0;
  while (leading < 3 && static_cast<size_t>(leading) < atom_type_.size() && atom_type_[leading] == kDummyType) {
    ++leading;
  }
  if (leading < 3) {
    PrependDummyAtoms(*this, 3 - leading);
    SnapshotConnection();
  }
  const long long missing = static_cast<long long>(number_of_atoms_) - static_cast<long long>(cartesian_.size());
  if (missing > 3) {
    Warn("CartesianToInternal(): illegal number of adding dummy atoms.");
    return;
  }
  if (missing > 0) {
    const Frame dummies = DummyPoints(cartesian_.front(), static_cast<int>(missing));
    cartesian_.insert(cartesian_.begin(), dummies.begin(), dummies.end());
  }
  snapshot_.cartesian = cartesian_;
  const std::span<const Point> points(cartesian_.data(), static_cast<size_t>(number_of_atoms_));
  ZMatrixResult z = CartesianToZMatrix(points, connection_);
  if (z.failed_atom >= 0) {
    std::string text =
        "CartesianToInternal() error: incorrect connection data.\nAtom number: " + std::to_string(z.failed_atom) + "\n";
    for (int k = 0; k < number_of_atoms_; ++k) {
      text += static_cast<size_t>(k) < atom_name_.size() ? Printable(atom_name_[k]) : std::string();
      text += ": ";
      if (const BondMap::List* list = connection_.find(k)) {
        for (int neighbour : *list) text += std::to_string(neighbour) + " ";
      }
      text += "\n";
    }
    ErrText(text);
    ExitWith(1);
  }
  internal_ = std::move(z.values);
  internal_reference_ = std::move(z.references);
}

}  // namespace tarvex
