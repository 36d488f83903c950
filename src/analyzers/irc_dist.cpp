#include "analyzers/irc_dist.h"

#include <algorithm>
#include <cmath>

#include "chemistry/geometry/superposition.h"
#include "common/console.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "common/text.h"
#include "formats/gaussian_out_file.h"
#include "molecule/geometry.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h               : Help\n"
    "   -v               : Version\n"
    "   -s               : Skip first structure in the IRC data files\n"
    "   -l               : Print detail information\n"
    "   -r               : Reverse IRC distances\n"
    "   -m <energy>      : substract <energy> from each energy\n"
    "   -f <flags...>    : Set flags\n"
    "                    :  FIRST  ... apply first algorithm\n"
    "                    :  SECOND ... apply second algorithm\n"
    "                    :  WHOLE  ... print whole IRC distances\n"
    "                    :  EACH   ... print each IRC distance\n"
    "                    :  ALL    ... print both WHOLE/EACH flags\n"
    "                    :  NO_ENE ... print no energies\n"
    "   -ii files...     : Input files for IRC structures\n"
    "   -ia files...     : Input files for all structures\n"
    "   -if files...     : Input files for first structure\n"
    "   -il files...     : Input files for last structure\n"
    "   -iit file type...: Input files and file-type indices for all structures\n"
    "   -iat file type...: Input files and file-type indices for all structures\n"
    "   -ift file type...: Input files and file-type indices for first structure\n"
    "   -ilt file type...: Input files and file-type indices for last structure\n"
    "\n";

constexpr AnalyzerTexts kTexts = {
    .version = "0.12",
    .revision = "A",
    .description = "Calculate IRC distances.",
    .usage_synopsis =
        " [-hvalr] [-m <energy>] [-f <...>] {-ii | -ia | -if | -il} infiles... {-iit | -iat | -ift | "
        "-ilt} infile infile-type...",
    .help_options = kHelpOptions,
    .file_type_column = 20,
};

constexpr FlagWord kFlags[] = {
    {"FIRST", CIrcdist::kFirst},
    {"SECOND", CIrcdist::kSecond},
    {"WHOLE", CIrcdist::kWhole},
    {"EACH", CIrcdist::kEach},
    {"ALL", CIrcdist::kWhole | CIrcdist::kEach},
    {"NO_ENE", CIrcdist::kNoEnergy},
};

}  // namespace

// The letter after "i" chooses the structures of the files named: IRC
// points, all, first or last; a trailing "t" gives each file its type
// keyword.
CIrcdist::CIrcdist() : CAnalyzer(kTexts), collector_(std::make_unique<CGaussianOutFile>()) {
  flags_ = kFirst | kWhole;
  auto files = [this](std::string_view letters, Mode mode) {
    return Option::Files(
               letters,
               [this, mode](std::unique_ptr<CDataFile> file) {
                 inputs_.push_back({std::move(file), mode});
               },
               kSkipUnknownInput)
        .Sets(kInput);
  };
  DeclareOptions({
      .options =
          {
              Option::Switch("s", kSkipFirst),
              Option::Switch("l", kDetail),
              Option::Switch("r", kReverse),
              Option::Real("m", reference_energy_, ".-"),
              Option::Flags("f", kFlags),
              files("ii", Mode::kIrc),
              files("ia", Mode::kAll),
              files("if", Mode::kFirst),
              files("il", Mode::kLast),
              Option::Act("i", [] { Fatal("Error: specify to select structures; all, first, or last."); }),
          },
      .required = {kInput},
  });
}

CIrcdist::~CIrcdist() = default;

}  // namespace tarvex

namespace tarvex {
namespace {

bool StartsWith(std::string_view text, size_t at, std::string_view prefix) {
  return at <= text.size() && text.substr(at).starts_with(prefix);
}

// The lines of a log that mark energies and IRC points, with their text:
// Gaussian prints the marks at the start of their lines, after blanks.
enum class Mark { kScf, kOptimized, kPoint };

template <typename Visit>
void ScanMarks(const std::string& path, Visit visit) {
  LineReader in;
  if (!in.Open(path)) Fatal("Can't open file: " + path);
  in.RequireText();
  std::string_view line;
  while (in.ReadLine(line)) {
    const size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) continue;
    bool more = true;
    switch (line[first]) {
      case 'S':
        if (StartsWith(line, first, "SCF Done")) more = visit(Mark::kScf, line);
        break;
      case 'O':
        if (StartsWith(line, first, "Optimization completed")) more = visit(Mark::kOptimized, line);
        break;
      case 'P':
        if (StartsWith(line, first, "Point Number:")) more = visit(Mark::kPoint, line);
        break;
      default:
        break;
    }
    if (!more) return;
  }
}

// " SCF Done:  E(RB3LYP) =  -303.577879721     A.U. after   17 cycles":
// the number after "=" (its column moves with the name of the method).
bool ScfEnergy(std::string_view line, double& energy) {
  const size_t equals = line.find('=');
  return equals != std::string_view::npos && ParseDoublePrefix(line.substr(equals + 1), energy) > 0;
}

// " Point Number:  12          Path Number:   1"
bool PointAndPath(std::string_view line, int& point, int& path) {
  const size_t p = line.find("Point Number:");
  const size_t q = line.find("Path Number:");
  return p != std::string_view::npos && q != std::string_view::npos && ParseIntPrefix(line.substr(p + 13), point) > 0 &&
         ParseIntPrefix(line.substr(q + 12), path) > 0;
}

struct PathPoint {
  int path = 0;
  int number = 0;
  size_t position = 0;
  double energy = 0.0;
};

// Path order: the second (reverse) path from its far end in, the first path
// out from the transition state (its point 0).
void PutInPathOrder(std::vector<PathPoint>& points) {
  const bool has_start =
      std::any_of(points.begin(), points.end(), [](const PathPoint& p) { return p.path == 1 && p.number == 0; });
  std::vector<PathPoint> ordered;
  for (const PathPoint& p : points) {
    if (p.path == 2 && (p.number > 0 || !has_start)) ordered.push_back(p);
  }
  std::sort(ordered.begin(), ordered.end(), [](const PathPoint& a, const PathPoint& b) { return a.number > b.number; });
  std::vector<PathPoint> first_path;
  for (const PathPoint& p : points) {
    if (p.path != 2) first_path.push_back(p);
  }
  std::stable_sort(first_path.begin(), first_path.end(), [](const PathPoint& a, const PathPoint& b) {
    return a.path < b.path || (a.path == b.path && a.number < b.number);
  });
  ordered.insert(ordered.end(), first_path.begin(), first_path.end());
  points = std::move(ordered);
}

std::string Nth(size_t index) { return std::to_string(index + 1); }

}  // namespace

std::vector<double> ScfEnergies(const std::string& path, bool first_only) {
  std::vector<double> energies;
  ScanMarks(path, [&](Mark mark, std::string_view line) {
    double energy = 0.0;
    if (mark == Mark::kScf && ScfEnergy(line, energy)) energies.push_back(energy);
    return !(first_only && !energies.empty());
  });
  return energies;
}

// Gaussian 98 and 03: the "SCF Done" lines seen so far number the geometry
// printed after an "Optimization completed" line, and the next "SCF Done"
// is its energy; the last such line of the file ends the run and is no
// point. Gaussian 09 and 16: the last geometry and "SCF Done" before a
// "Point Number:" line are that point.
IrcPoints FindIrcPoints(const std::string& path, bool skip_first) {
  IrcPoints result;
  std::vector<PathPoint> points;
  size_t counter = 0;
  bool armed = false;
  bool skipped = !skip_first;
  bool optimized_marks = false;
  bool no_energy = false;
  double last_energy = 0.0;
  ScanMarks(path, [&](Mark mark, std::string_view line) {
    if (mark == Mark::kOptimized) {
      optimized_marks = true;
      if (skipped) {
        result.positions.push_back(counter);
        armed = true;
      }
      skipped = true;
    } else if (mark == Mark::kScf) {
      if (!ScfEnergy(line, last_energy)) last_energy = NAN;
      if (armed) result.energies.push_back(last_energy);
      armed = false;
      ++counter;
    } else if (PathPoint p; PointAndPath(line, p.number, p.path)) {
      if (counter == 0) no_energy = true;
      p.position = counter == 0 ? 0 : counter - 1;
      p.energy = last_energy;
      points.push_back(p);
    }
    return true;
  });
  if (optimized_marks) {
    if (!result.positions.empty()) result.positions.pop_back();
    if (result.energies.size() < result.positions.size()) no_energy = true;
    result.energies.resize(std::min(result.energies.size(), result.positions.size()));
  } else {
    PutInPathOrder(points);
    if (skip_first && !points.empty()) points.erase(points.begin());
    for (const PathPoint& p : points) {
      result.positions.push_back(p.position);
      result.energies.push_back(p.energy);
    }
  }
  if (no_energy ||
      std::any_of(result.energies.begin(), result.energies.end(), [](double e) { return std::isnan(e); })) {
    result.error = "Error: an IRC structure of " + path + " has no SCF energy before it.";
  }
  return result;
}

Frame CentredOnMass(const Frame& points, const std::vector<double>& masses) {
  Point centre{0.0, 0.0, 0.0};
  double total = 0.0;
  for (size_t i = 0; i < points.size(); ++i) {
    centre = Plus(centre, Scaled(points[i], masses[i]));
    total += masses[i];
  }
  centre = Scaled(centre, 1.0 / total);
  Frame centred(points.size());
  for (size_t i = 0; i < points.size(); ++i) centred[i] = Minus(points[i], centre);
  return centred;
}

namespace {

Matrix3 InertiaTensor(const Frame& centred, const std::vector<double>& masses) {
  Matrix3 a{};
  for (size_t i = 0; i < centred.size(); ++i) {
    const Point& p = centred[i];
    const double m = masses[i];
    a[0][0] += m * (p[1] * p[1] + p[2] * p[2]);
    a[1][1] += m * (p[0] * p[0] + p[2] * p[2]);
    a[2][2] += m * (p[0] * p[0] + p[1] * p[1]);
    a[0][1] -= m * p[0] * p[1];
    a[0][2] -= m * p[0] * p[2];
    a[1][2] -= m * p[1] * p[2];
  }
  a[1][0] = a[0][1];
  a[2][0] = a[0][2];
  a[2][1] = a[1][2];
  return a;
}

}  // namespace

// The eigenvectors of the inertia tensor, smallest moment first.
PrincipalFrame PrincipalAxes(const Frame& centred, const std::vector<double>& masses) {
  const SymmetricEigen eigen = DecomposeSymmetric(InertiaTensor(centred, masses));
  PrincipalFrame frame;
  for (size_t j = 0; j < 3; ++j) {
    frame.moments[j] = eigen.values[2 - j];
    for (size_t row = 0; row < 3; ++row) frame.axes[row][j] = eigen.vectors[2 - j][row];
  }
  return frame;
}

Frame Oriented(const Frame& points, const std::array<Point, 3>& axes, const Point& signs) {
  Frame oriented(points.size());
  for (size_t i = 0; i < points.size(); ++i) {
    const Point& p = points[i];
    for (size_t j = 0; j < 3; ++j) {
      oriented[i][j] = signs[j] * (p[0] * axes[0][j] + p[1] * axes[1][j] + p[2] * axes[2][j]);
    }
  }
  return oriented;
}

double MassWeightedDistance(const Frame& a, const Frame& b, const std::vector<double>& masses) {
  double sum = 0.0;
  for (size_t i = 0; i < a.size(); ++i) sum += masses[i] * SquaredDistance(a[i], b[i]);
  return std::sqrt(sum);
}

}  // namespace tarvex

namespace tarvex {
namespace {

void AppendDetailFrame(std::string& out, const PrincipalFrame& frame) {
  for (double moment : frame.moments) AppendFixed(out, moment, 12, 5);
  out.push_back('\n');
  for (const Point& row : frame.axes) {
    for (double value : row) AppendFixed(out, value, 12, 5);
    out.push_back('\n');
  }
}

}  // namespace

// Collection, then one step distance per consecutive pair, then the table.
void CIrcdist::Run() {
  for (Input& input : inputs_) Collect(input);
  if (structures_.empty()) Fatal("Error: no structure was read from the input files.");
  const std::vector<double> masses = Masses();
  double total = 0.0;
  for (size_t k = 1; k < structures_.size(); ++k) {
    const double step = StepDistance(structures_[k - 1], structures_[k], masses);
    total += step;
    steps_.push_back(step);
    totals_.push_back(total);
  }
  PrintTable();
}

// A structure with fewer points than its file has atoms (a Z-matrix that
// could not be converted) cannot be measured.
void CIrcdist::Collect(Input& input) {
  CDataFile& file = *input.file;
  const std::string name = file.GetInputFileName();
  const size_t collected = structures_.size();
  switch (input.mode) {
    case Mode::kIrc:
      CollectIrcPoints(file);
      break;
    case Mode::kAll: {
      file.ReadAll(0);
      const std::vector<double> energies = ScfEnergies(name);
      const std::vector<Frame>& frames = file.GetCartesianAll();
      for (size_t k = 0; k < frames.size(); ++k) {
        structures_.push_back(frames[k]);
        energies_.push_back(k < energies.size() ? std::optional<double>(energies[k]) : std::nullopt);
      }
      break;
    }
    case Mode::kFirst:
    case Mode::kLast: {
      const bool first = input.mode == Mode::kFirst;
      file.Read(first ? 1 : -1);
      if (file.GetCartesian().empty()) Fatal("Error: " + name + " holds no structure.");
      const std::vector<double> energies = ScfEnergies(name, first);
      structures_.push_back(file.GetCartesian());
      energies_.push_back(energies.empty() ? std::nullopt
                                           : std::optional<double>(first ? energies.front() : energies.back()));
      break;
    }
  }
  for (size_t k = collected; k < structures_.size(); ++k) {
    const int atoms = file.GetNumberOfAtoms();
    if (atoms > 0 && structures_[k].size() < static_cast<size_t>(atoms)) {
      Fatal("Error: " + name + " gives coordinates for " + std::to_string(structures_[k].size()) + " of its " +
            std::to_string(atoms) + " atoms.");
    }
  }
  collector_->CopyState(file);
}

void CIrcdist::CollectIrcPoints(CDataFile& file) {
  const std::string name = file.GetInputFileName();
  file.ReadAll(0);
  const std::vector<Frame>& frames = file.GetCartesianAll();
  const IrcPoints points = FindIrcPoints(name, (flags_ & kSkipFirst) != 0);
  if (!points.error.empty()) Fatal(points.error);
  for (size_t k = 0; k < points.positions.size(); ++k) {
    if (points.positions[k] >= frames.size()) {
      Fatal("Error: IRC structure " + Nth(k) + " of " + name + " is missing from the file.");
    }
    structures_.push_back(frames[points.positions[k]]);
    energies_.push_back(points.energies[k]);
  }
}

// Every structure must have the collected molecule's atoms; each atom
// weighs as its element.
std::vector<double> CIrcdist::Masses() {
  const size_t atoms = structures_.front().size();
  for (size_t k = 0; k < structures_.size(); ++k) {
    if (structures_[k].size() != atoms) {
      Fatal("Error: structure " + Nth(k) + " has " + std::to_string(structures_[k].size()) +
            " atoms and structure 1 has " + std::to_string(atoms) + ".");
    }
  }
  const std::vector<std::string>& types = collector_->GetAtomType();
  if (types.size() != atoms) Fatal("Error: the elements of the " + std::to_string(atoms) + " atoms are not known.");
  std::vector<double> masses;
  double total = 0.0;
  for (const std::string& type : types) {
    masses.push_back(AtomicMass(ToUpper(type)));
    total += masses.back();
  }
  if (total <= 0.0) Fatal("Error: the atoms have no mass.");
  return masses;
}

// FIRST (unless SECOND is given): both structures are moved to their centre
// of mass and turned into their principal axes, and the smallest distance
// over the eight sign choices of the later structure's axes counts.
// SECOND: the structures are compared as they stand.
double CIrcdist::StepDistance(const Frame& earlier, const Frame& later, const std::vector<double>& masses) {
  const bool detail = (flags_ & kDetail) != 0;
  std::string& out = OutBuffer();
  if (flags_ & kSecond) {
    const double d = MassWeightedDistance(earlier, later, masses);
    if (detail) out.append("Rstep[X(1)-X(2)] (case   1  1  1) = ").append(FormatFixed(d, 0, 4)).append("\n");
    OutCommit();
    return d;
  }
  if (detail) out.append("CM coordinates of X(1)\n");
  const Frame centred_earlier = CentredOnMass(earlier, masses);
  const PrincipalFrame frame_earlier = PrincipalAxes(centred_earlier, masses);
  if (detail) AppendDetailFrame(out, frame_earlier);
  const Frame previous = Oriented(centred_earlier, frame_earlier.axes);
  if (detail) out.append("\nCM coordinates of X(2)\n");
  const Frame centred_later = CentredOnMass(later, masses);
  const PrincipalFrame frame_later = PrincipalAxes(centred_later, masses);
  if (detail) AppendDetailFrame(out, frame_later);
  double best = INFINITY;
  for (int c = 0; c < 8; ++c) {
    const Point signs = {(c & 4) ? -1.0 : 1.0, (c & 2) ? -1.0 : 1.0, (c & 1) ? -1.0 : 1.0};
    const double d = MassWeightedDistance(previous, Oriented(centred_later, frame_later.axes, signs), masses);
    if (detail) {
      out.append("Rstep[X(1)-X(2)] (case ");
      for (double sign : signs) AppendInt(out, static_cast<long long>(sign), 3);
      out.append(") = ").append(FormatFixed(d, 0, 4)).append("\n");
    }
    best = std::min(best, d);
  }
  OutCommit();
  return best;
}

// One row per structure: the step and the running total (signed by -r) and
// the energy less the reference. A structure without an energy (a log
// whose last geometry has no SCF after it) has no energy column.
void CIrcdist::PrintTable() const {
  const bool each = (flags_ & kEach) != 0;
  const bool whole = (flags_ & kWhole) != 0;
  const bool energies = !(flags_ & kNoEnergy);
  const double sign = (flags_ & kReverse) ? -1.0 : 1.0;
  const size_t missing = static_cast<size_t>(std::count(energies_.begin(), energies_.end(), std::nullopt));
  if (energies && missing > 0) {
    Warn("Warning: no energy for " + std::to_string(missing) + " of the " + std::to_string(structures_.size()) +
         " structures.");
  }
  // Distances that print as zero print without a sign.
  auto signed_distance = [sign](double d) { return d < 5e-6 ? 0.0 : sign * d; };
  std::string& out = OutBuffer();
  for (size_t n = 0; n < structures_.size(); ++n) {
    const double step = n == 0 ? 0.0 : signed_distance(steps_[n - 1]);
    const double total = n == 0 ? 0.0 : signed_distance(totals_[n - 1]);
    if (each) AppendFixed(out, step, 10, 5);
    if (whole) AppendFixed(out, total, 10, 5);
    if (energies && energies_[n]) AppendFixed(out, *energies_[n] - reference_energy_, 17, 8);
    out.push_back('\n');
    OutCommit();
  }
}

}  // namespace tarvex
