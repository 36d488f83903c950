#include "chemistry/lewis/implicit_hydrogens.h"

#include <array>
#include <cmath>

#include "chemistry/atomic_numbers.h"
#include "molecule/geometry.h"

namespace tarvex {
namespace {

// The angle a-centre-c, 0 where it has none.
double Angle(const Point& a, const Point& centre, const Point& c) {
  return DefinedAngleDegrees(a, centre, c).value_or(0.0);
}

// The dihedral a-b-c-d, 0 where it has none (collinear atoms are as good as
// planar here).
double Torsion(const Point& a, const Point& b, const Point& c, const Point& d) {
  return DihedralDegrees(a, b, c, d).value_or(0.0);
}

// Bond length over the standard single length: below ~0.93 means a
// multiple bond.
double LengthRatio(const Frame& points, int a, int b, const std::function<double(int, int)>& standard_length) {
  const int n = static_cast<int>(points.size());
  double standard = standard_length(a, b);
  if (!(standard > 0.0) || a >= n || b >= n || !IsFinite(points[a]) || !IsFinite(points[b])) {
    return 1.0;
  }
  return Distance(points[a], points[b]) / standard;
}

}  // namespace

namespace {

bool CarbonLacksHydrogen(const ChemGraph& graph, const Frame& points, int a,
                         const std::function<double(int, int)>& standard_length) {
  auto has_point = [&](int x) { return x < static_cast<int>(points.size()) && IsFinite(points[x]); };
  if (graph.AtomicNumber(a) != kCarbon || !has_point(a)) return false;
  // Bonds to metals aside: a carbon of a cyclopentadienyl or carbonyl ligand
  // is read as the free ligand's.
  std::array<int, 3> neighbour{};
  const int degree = graph.Ligands(a, neighbour);
  if (degree > 3) return false;
  const Point& centre = points[a];
  // Coordinates that cannot be bond lengths (atoms on top of each other, a
  // record without geometry) tell nothing.
  for (int k = 0; k < degree; ++k) {
    const int b = neighbour[static_cast<size_t>(k)];
    if (!has_point(b) || Distance(points[b], centre) < 0.5) return false;
  }
  switch (degree) {
    case 3: {
      double sum = 0.0;
      for (size_t x = 0; x < 3; ++x) {
        const int b = neighbour[x];
        const int c = neighbour[(x + 1) % 3];
        if (!has_point(b) || !has_point(c)) return false;
        sum += Angle(points[b], centre, points[c]);
      }
      return sum < 340.0;
    }
    case 2:
      return has_point(neighbour[0]) && has_point(neighbour[1]) &&
             Angle(points[neighbour[0]], centre, points[neighbour[1]]) < 155.0;
    // A terminal carbon keeps no hydrogen only behind a triple bond (CO,
    // cyanide, an isocyanide or acetylide carbon): at double-bond length it
    // is a formaldehyde or a serine CB cut off from its CA.
    case 1:
      return LengthRatio(points, a, neighbour[0], standard_length) >= 0.83;
    default:
      return false;
  }
}

}  // namespace

std::vector<char> MoleculesMissingHydrogens(const ChemGraph& graph, const Frame& points,
                                            const std::function<double(int, int)>& standard_length) {
  const int n = graph.atom_count;
  std::vector<char> missing(static_cast<size_t>(n), 0);
  std::vector<int> component(static_cast<size_t>(n), -1);
  std::vector<int> stack;
  std::vector<int> members;
  for (int root = 0; root < n; ++root) {
    if (component[root] >= 0) continue;
    members.clear();
    stack.assign(1, root);
    component[root] = root;
    bool lacking = false;
    bool polar_hydrogens = false;
    while (!stack.empty()) {
      const int a = stack.back();
      stack.pop_back();
      members.push_back(a);
      lacking = lacking || CarbonLacksHydrogen(graph, points, a, standard_length);
      if (graph.AtomicNumber(a) == kHydrogen) {
        for (int b : graph.Neighbours(a)) {
          const int z = graph.AtomicNumber(b);
          polar_hydrogens = polar_hydrogens || (z != kCarbon && z > kHydrogen);
        }
      }
      for (int b : graph.Neighbours(a)) {
        if (component[b] < 0) {
          component[b] = root;
          stack.push_back(b);
        }
      }
    }
    if (lacking) {
      for (int a : members) missing[a] = !polar_hydrogens || graph.AtomicNumber(a) == kCarbon;
    }
  }
  return missing;
}

std::vector<int> GeometricUnsaturation(const ChemGraph& graph, const Frame& points, const RingSet& rings,
                                       const std::vector<char>& implicit,
                                       const std::function<double(int, int)>& standard_length) {
  const int n = graph.atom_count;
  std::vector<int> demand(static_cast<size_t>(n), -1);
  auto has_point = [&](int a) { return a < static_cast<int>(points.size()) && IsFinite(points[a]); };
  auto point = [&](int a) -> const Point& { return points[a]; };

  std::vector<char> flat_ring(static_cast<size_t>(n), 0);
  for (const std::vector<int>& ring : rings.rings) {
    const size_t size = ring.size();
    if (size < 5 || size > 7) continue;
    bool flat = true;
    for (size_t k = 0; k < size && flat; ++k) {
      int a = ring[k], b = ring[(k + 1) % size], c = ring[(k + 2) % size], d = ring[(k + 3) % size];
      if (!has_point(a) || !has_point(b) || !has_point(c) || !has_point(d))
        flat = false;
      else
        flat = std::fabs(Torsion(point(a), point(b), point(c), point(d))) <= 20.0;
    }
    if (flat) {
      for (int a : ring) flat_ring[a] = 1;
    }
  }

  auto ratio = [&](int a, int b) { return LengthRatio(points, a, b, standard_length); };

  for (int a = 0; a < n; ++a) {
    const int z = graph.AtomicNumber(a);
    if (z != kCarbon && z != kNitrogen && z != kOxygen && z != kSulfur && z != kSelenium) continue;
    if (!has_point(a) || !implicit[a]) continue;
    std::array<int, 3> neighbour{};
    const int degree = graph.Ligands(a, neighbour);
    if (degree > 3) continue;
    double shortest = 1.0;
    for (int k = 0; k < degree; ++k) shortest = std::fmin(shortest, ratio(a, neighbour[static_cast<size_t>(k)]));
    int result = 0;
    if (degree == 1) {
      // A terminal oxygen or sulfur of a phosphate, sulfonate or perchlorate:
      // the centre's valence decides, its bond lengths hardly differ.
      const ElementChemistry& centre = graph.Element(neighbour[0]);
      if (centre.hypervalent() && centre.atomic_number > kNeon) continue;
      const double r = shortest;
      if (z == kCarbon)
        result = r < 0.83 ? 2 : (r < 0.93 ? 1 : 0);
      else if (z == kNitrogen)
        result = r < 0.84 ? 2 : (r < 0.93 ? 1 : 0);
      else if (z == kOxygen)
        result = r < 0.92 ? 1 : 0;
      else
        result = r < 0.95 ? 1 : 0;
    } else if (degree == 2 && (z == kCarbon || z == kNitrogen)) {
      const int b = neighbour[0];
      const int c = neighbour[1];
      double angle = has_point(b) && has_point(c) ? Angle(point(b), point(a), point(c)) : 0.0;
      if (angle > 155.0)
        result = 2;
      else if (angle >= 116.0 || shortest < 0.93 || flat_ring[a])
        result = 1;
    } else if (degree == 3 && z == kCarbon) {
      double sum = 0.0;
      bool complete = true;
      for (size_t x = 0; x < 3; ++x) {
        const int b = neighbour[x];
        const int c = neighbour[(x + 1) % 3];
        if (!has_point(b) || !has_point(c))
          complete = false;
        else
          sum += Angle(point(b), point(a), point(c));
      }
      result = (complete && sum >= 350.0) || flat_ring[a] ? 1 : 0;
    } else {
      continue;  // the valence decides (saturated or hypervalent atoms)
    }
    demand[a] = result;
  }
  return demand;
}

}  // namespace tarvex
