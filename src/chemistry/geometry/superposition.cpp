// Least-squares superposition onto reference structures (Kabsch): the fit
// reference, the fit selection, fitting the current coordinates and every
// frame of a trajectory.
//
// The rotation comes from the correlation matrix U = sum w y x^T of the
// centred pairs (y on the reference, x on the record): with a_k the
// eigenvectors of U^T U (eigenvalues mu_1 >= mu_2 >= mu_3) and b_k = U a_k /
// sqrt(mu_k), the best rotation is R = sum b_k a_k^T. Taking a_3 = a_1 x a_2
// and b_3 = b_1 x b_2 makes R a proper rotation even when det U < 0 (the
// record is a mirror image of the reference): the closest proper rotation,
// never a reflection, which would invert every chiral centre.
#include "chemistry/geometry/superposition.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/console.h"
#include "common/text.h"
#include "molecule/data_file.h"
#include "molecule/geometry.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

// Paired atoms on one line leave the rotation about that line open: the
// second singular value of U vanishes next to the first (their squares, the
// eigenvalues of U^T U, below this ratio). A planar set (mu_3 = 0) is fine,
// b_3 = b_1 x b_2 fixes the third axis. A mirror image whose two smaller
// eigenvalues coincide has no unique best rotation.
constexpr double kCollinear = 1e-16;
constexpr double kDegenerateEigenvalues = 1e-5;
constexpr int kJacobiSweeps = 50;

Matrix3 Multiply(const Matrix3& a, const Matrix3& b) {
  Matrix3 c{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      for (int k = 0; k < 3; ++k) c[i][j] += a[i][k] * b[k][j];
    }
  }
  return c;
}

Matrix3 Transposed(const Matrix3& a) {
  Matrix3 t{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) t[i][j] = a[j][i];
  }
  return t;
}

Point Apply(const Matrix3& m, const Point& p) { return {Dot(m[0], p), Dot(m[1], p), Dot(m[2], p)}; }

Point Unit(const Point& p) {
  const double length = Norm(p);
  return length > 0.0 ? Scaled(p, 1.0 / length) : p;
}

// One Jacobi rotation in the (p, q) plane that zeroes a[p][q]; the rotation
// is gathered into v, whose columns become the eigenvectors.
void JacobiRotate(Matrix3& a, Matrix3& v, int p, int q) {
  if (a[p][q] == 0.0) return;
  const double theta = (a[q][q] - a[p][p]) / (2.0 * a[p][q]);
  double t = std::abs(theta) > 1e150 ? 0.5 / theta
                                     : std::copysign(1.0, theta) / (std::abs(theta) + std::sqrt(theta * theta + 1.0));
  const double c = 1.0 / std::sqrt(t * t + 1.0);
  const double s = t * c;
  Matrix3 rotation{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
  rotation[p][p] = c;
  rotation[q][q] = c;
  rotation[p][q] = s;
  rotation[q][p] = -s;
  a = Multiply(Transposed(rotation), Multiply(a, rotation));
  a[p][q] = a[q][p] = 0.0;
  v = Multiply(v, rotation);
}

}  // namespace

double Determinant(const Matrix3& m) {
  return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
         m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

SymmetricEigen DecomposeSymmetric(const Matrix3& m) {
  Matrix3 a = m;
  Matrix3 v{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
  double scale = 0.0;
  for (const auto& row : m) scale += Dot(row, row);
  for (int sweep = 0; sweep < kJacobiSweeps; ++sweep) {
    const double off = a[0][1] * a[0][1] + a[0][2] * a[0][2] + a[1][2] * a[1][2];
    if (off <= 1e-32 * scale) break;
    JacobiRotate(a, v, 0, 1);
    JacobiRotate(a, v, 0, 2);
    JacobiRotate(a, v, 1, 2);
  }
  std::array<int, 3> order{0, 1, 2};
  std::sort(order.begin(), order.end(), [&](int x, int y) { return a[x][x] > a[y][y]; });
  SymmetricEigen result;
  for (int k = 0; k < 3; ++k) {
    const int column = order[k];
    result.values[k] = a[column][column];
    result.vectors[k] = {v[0][column], v[1][column], v[2][column]};
  }
  result.vectors[2] = Cross(result.vectors[0], result.vectors[1]);
  return result;
}

std::vector<int> SelectFitAtoms(const FitSelection& selection, size_t count, const std::vector<std::string>& atom_names,
                                const std::vector<std::string>& atom_types, bool heavy_only) {
  std::vector<char> by_number(count, 0);
  std::vector<char> excluded(count, 0);
  auto mark = [&](const std::vector<int>& positions, std::vector<char>& marks) {
    for (int position : positions) {
      if (position >= 0 && static_cast<size_t>(position) < count) marks[position] = 1;
    }
  };
  mark(selection.atoms, by_number);
  mark(selection.excluded_atoms, excluded);
  std::vector<std::string_view> wanted_names;
  std::vector<std::string_view> unwanted_names;
  for (const std::string& name : selection.names) {
    const bool exclusion = !name.empty() && name.front() == '_';
    std::string_view text = exclusion ? std::string_view(name).substr(1) : std::string_view(name);
    if (!text.empty()) (exclusion ? unwanted_names : wanted_names).push_back(text);
  }
  const bool everything = selection.atoms.empty() && wanted_names.empty() && unwanted_names.empty();
  auto listed = [](const std::vector<std::string_view>& list, std::string_view name) {
    return std::find(list.begin(), list.end(), name) != list.end();
  };
  std::vector<int> pairs;
  for (size_t i = 0; i < count; ++i) {
    const std::string_view name = i < atom_names.size() ? Trim(atom_names[i]) : std::string_view();
    const bool chosen = everything || by_number[i] || listed(wanted_names, name) ||
                        (!unwanted_names.empty() && !listed(unwanted_names, name));
    const bool hydrogen = i < atom_types.size() && atom_types[i] == "H";
    if (chosen && !excluded[i] && !(heavy_only && hydrogen)) pairs.push_back(static_cast<int>(i));
  }
  return pairs;
}

Point WeightedCentre(const Frame& points, const std::vector<double>& weights) {
  Point sum{0.0, 0.0, 0.0};
  double total = 0.0;
  for (size_t i = 0; i < points.size() && i < weights.size(); ++i) {
    sum = Plus(sum, Scaled(points[i], weights[i]));
    total += weights[i];
  }
  return total > 0.0 ? Scaled(sum, 1.0 / total) : Point{0.0, 0.0, 0.0};
}

FitOutcome FitOntoReference(Frame& points, const Frame& reference, const std::vector<int>& pairs,
                            const std::vector<double>& weights) {
  if (pairs.size() < 3) return FitOutcome::kZeroDeterminant;
  Point centre{0.0, 0.0, 0.0};
  Point reference_centre{0.0, 0.0, 0.0};
  double total = 0.0;
  for (int i : pairs) {
    const double w = weights[i];
    centre = Plus(centre, Scaled(points[i], w));
    reference_centre = Plus(reference_centre, Scaled(reference[i], w));
    total += w;
  }
  if (!(total > 0.0)) return FitOutcome::kZeroDeterminant;
  centre = Scaled(centre, 1.0 / total);
  reference_centre = Scaled(reference_centre, 1.0 / total);
  Matrix3 u{};
  for (int i : pairs) {
    const double w = weights[i];
    const Point x = Minus(points[i], centre);
    const Point y = Minus(reference[i], reference_centre);
    for (int r = 0; r < 3; ++r) {
      for (int s = 0; s < 3; ++s) u[r][s] += w * y[r] * x[s];
    }
  }
  const SymmetricEigen eigen = DecomposeSymmetric(Multiply(Transposed(u), u));
  const auto& mu = eigen.values;
  if (!(mu[1] > kCollinear * mu[0])) return FitOutcome::kZeroDeterminant;
  if (Determinant(u) < 0.0 && std::abs(mu[1] - mu[2]) < kDegenerateEigenvalues) {
    return FitOutcome::kDegenerateMirror;
  }
  const Point b1 = Unit(Scaled(Apply(u, eigen.vectors[0]), 1.0 / std::sqrt(mu[0])));
  Point b2 = Scaled(Apply(u, eigen.vectors[1]), 1.0 / std::sqrt(mu[1]));
  b2 = Unit(Minus(b2, Scaled(b1, Dot(b1, b2))));
  const std::array<Point, 3> b = {b1, b2, Cross(b1, b2)};
  Matrix3 rotation{};
  for (int k = 0; k < 3; ++k) {
    for (int r = 0; r < 3; ++r) {
      for (int s = 0; s < 3; ++s) rotation[r][s] += b[k][r] * eigen.vectors[k][s];
    }
  }
  for (Point& p : points) p = Plus(Apply(rotation, Minus(p, centre)), reference_centre);
  return FitOutcome::kMoved;
}

// Masses of `count` atoms by their element symbols; an unknown symbol is
// warned about once per fit and weighs nothing.
std::vector<double> AtomMasses(const std::vector<std::string>& types, size_t count) {
  std::vector<double> weights(count, 0.0);
  std::vector<std::pair<std::string_view, double>> known;
  for (size_t i = 0; i < count && i < types.size(); ++i) {
    auto found = std::find_if(known.begin(), known.end(), [&](const auto& entry) { return entry.first == types[i]; });
    if (found == known.end()) {
      known.emplace_back(types[i], AtomicMass(ToUpper(Trim(types[i]))));
      found = known.end() - 1;
    }
    weights[i] = found->second;
  }
  return weights;
}

void CDataFile::SetFitReference(const Frame& reference) { fit_reference_ = reference; }

// Without a reference the molecule only moves its centre of mass to the
// origin. Otherwise the selected atoms (all by default, FIT_HEAVY leaving
// out the hydrogens) are paired with the points of the reference at the
// same positions.
void CDataFile::FitToReference() {
  const std::vector<double> weights = AtomMasses(atom_type_, cartesian_.size());
  if (fit_reference_.empty()) {
    const Point centre = WeightedCentre(cartesian_, weights);
    for (Point& p : cartesian_) p = Minus(p, centre);
    return;
  }
  if (fit_flags_ == 0) fit_flags_ = kFitAll;
  const size_t count = std::min(cartesian_.size(), fit_reference_.size());
  const std::vector<int> pairs = SelectFitAtoms({fit_atoms_, fit_excluded_atoms_, fit_atom_names_}, count, atom_name_,
                                                atom_type_, (fit_flags_ & kFitHeavy) != 0);
  switch (FitOntoReference(cartesian_, fit_reference_, pairs, weights)) {
    case FitOutcome::kMoved:
      break;
    case FitOutcome::kZeroDeterminant:
      Warn("Warning: determinant of U is zero.");
      break;
    case FitOutcome::kDegenerateMirror:
      Warn("Warning: determinant of U is negative.");
      break;
  }
}

void CDataFile::FitAllFrames() {
  Frame kept = cartesian_;
  for (Frame& frame : cartesian_all_) {
    cartesian_ = frame;
    FitToReference();
    frame = cartesian_;
  }
  cartesian_ = kept;
}

void CDataFile::SetFitAtoms(const std::vector<int>& positions) { fit_atoms_ = positions; }
std::vector<int>& CDataFile::GetFitAtoms() { return fit_atoms_; }
void CDataFile::SetFitExcludedAtoms(const std::vector<int>& positions) { fit_excluded_atoms_ = positions; }
std::vector<int>& CDataFile::GetFitExcludedAtoms() { return fit_excluded_atoms_; }
void CDataFile::SetFitAtomNames(const std::vector<std::string>& names) { fit_atom_names_ = names; }
std::vector<std::string>& CDataFile::GetFitAtomNames() { return fit_atom_names_; }

}  // namespace tarvex
