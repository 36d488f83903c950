#include "analyzers/midmol.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "common/console.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "formats/pdb_file.h"
#include "molecule/geometry.h"

namespace tarvex {
namespace {

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h              : Help\n"
    "   -v              : Version\n"
    "   -b              : Apply center of balance (default: center of coordinates)\n"
    "   -x              : Read BOX parameters for Amber CRD/RST files\n"
    "   -i files...     : Input files\n"
    "   -it file type...: Input files and file-type indices\n";

constexpr AnalyzerTexts kTexts = {
    .version = "0.06",
    .revision = "A",
    .description = "Find the nearest and farthest atoms from the center of molecule.",
    .usage_synopsis = " [-hvbx] -i infiles... -it infile infile-type...",
    .help_options = kHelpOptions,
};

}  // namespace

// Every input is opened as soon as it is named. -x gives the box bit to the
// restart files named after it (trajectories never get it here).
CMidmol::CMidmol() : CAnalyzer(kTexts), collector_(std::make_unique<CPdbFile>()) {
  flags_ = kCenterOfCoordinates;
  DeclareOptions({
      .options =
          {
              Option::Switch("b", kCenterOfBalance).Clears(kCenterOfCoordinates),
              Option::Switch("x", kBox),
              Option::Files("i", inputs_, kSkipUnknownInput).Box(kBox, BoxInputs::kRestartsOnly).Sets(kInput),
          },
      .required = {kInput},
  });
}

CMidmol::~CMidmol() = default;

CenterExtremes FindCenterExtremes(const Frame& points, int atom_count, bool center_of_balance) {
  CenterExtremes result;
  if (points.empty()) return result;
  for (size_t axis = 0; axis < 3; ++axis) {
    if (center_of_balance) {
      double sum = 0.0;
      for (const Point& p : points) sum += p[axis];
      result.center[axis] = sum / static_cast<double>(points.size());
    } else {
      double low = points[0][axis];
      double high = points[0][axis];
      for (const Point& p : points) {
        low = std::min(low, p[axis]);
        high = std::max(high, p[axis]);
      }
      result.center[axis] = (low + high) / 2.0;
    }
  }
  const Point& c = result.center;
  const int n = std::min(atom_count, static_cast<int>(points.size()));
  if (n < 1) return result;
  result.nearest_squared = result.farthest_squared = SquaredDistance(points[0], c);
  for (int i = 1; i < n; ++i) {
    const double d = SquaredDistance(points[i], c);
    if (d < result.nearest_squared) {
      result.nearest = i;
      result.nearest_squared = d;
    } else if (d > result.farthest_squared) {
      result.farthest = i;
      result.farthest_squared = d;
    }
  }
  return result;
}

void CMidmol::Run() {
  const std::string input_names = InputNames(inputs_);
  MergeInputFiles(inputs_, collector_);
  const Frame& points = collector_->GetCartesian();
  const int n = collector_->GetNumberOfAtoms();
  if (n <= 0) Fatal("Error: no atoms were read from the input files: " + input_names + ".");
  if (static_cast<size_t>(n) > points.size()) {
    Fatal("Error: the molecule has " + std::to_string(n) + " atoms but only " + std::to_string(points.size()) +
          " coordinates.");
  }
  const bool balance = (flags_ & kCenterOfBalance) != 0;
  const CenterExtremes found = FindCenterExtremes(points, n, balance);

  std::string& out = OutBuffer();
  out.append("Number of atoms: ");
  AppendInt(out, n);
  out.append(balance ? "\nCenter of balance: " : "\nCenter of coordinates: ");
  for (double value : found.center) {
    out.push_back(' ');
    AppendFixed(out, value, 8, 4);
  }
  out.append("\n\nNearest atom from the center: \n");
  AppendAtomLine(out, found.nearest, found.nearest_squared);
  out.append("\nFarthest atom from the center: \n");
  AppendAtomLine(out, found.farthest, found.farthest_squared);
  OutCommit();
}

// "  Distance:   3.0000 :      2   CA  C  ALA 12    1.000   2.000   3.000"
void CMidmol::AppendAtomLine(std::string& out, int atom, double squared_distance) {
  CDataFile& m = *collector_;
  const size_t k = static_cast<size_t>(atom);
  auto text = [k](const std::vector<std::string>& list) -> std::string_view {
    return k < list.size() ? std::string_view(list[k]) : std::string_view();
  };
  out.append("  Distance: ");
  AppendFixed(out, std::sqrt(squared_distance), 8, 4);
  out.append(" : ");
  AppendInt(out, m.IndexToAtomNumber(atom), 6);
  AppendRight(out, text(m.GetAtomName()), 5);
  AppendRight(out, text(m.GetAtomType()), 3);
  if (m.Holds(State::kResidueName)) {
    AppendRight(out, text(m.GetResidueName()), 5);
    const std::vector<int>& residues = m.GetResidueNumber();
    AppendLeft(out, k < residues.size() ? FormatInt(static_cast<long long>(residues[k]) + 1) : "", 5);
  }
  for (double value : m.GetCartesian()[k]) {
    out.push_back(' ');
    AppendFixed(out, value, 7, 3);
  }
  out.push_back('\n');
}

}  // namespace tarvex
