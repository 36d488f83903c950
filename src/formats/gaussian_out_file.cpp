// Gaussian log files.
//
// What the reader takes from a log, in the order Gaussian prints it:
//
//   #P B3LYP/6-31G* Opt Freq       the route, between dashed lines (the
//   =XQC NoSymm                     first line starts with "#")
//
//   Symbolic Z-matrix:             the echo of the input geometry: the
//   Charge =  0 Multiplicity = 1   molecule's charge and multiplicity, then
//   O                              Cartesian lines (label x y z) or a
//   H     1    R1                  Z-matrix, whose values may be variables
//   H     1    R1   2    A1        defined under "Variables:"
//         Variables:
//    R1        0.99
//
//                          Input orientation:         one block per geometry
//   ---------------------------------------------------------------------
//   Center     Atomic      Atomic             Coordinates (Angstroms)
//   Number     Number       Type             X           Y           Z
//   ---------------------------------------------------------------------
//        1          8           0        0.000000    0.000000    0.119262
//   ---------------------------------------------------------------------
//
//    Atom  AN      X      Y      Z        X      Y      Z     normal modes
//       1   8     0.00   0.00   0.07     0.00   0.00   0.00
//
// Orientation blocks are headed "Input orientation:", "Z-Matrix orientation:"
// (Gaussian 98 jobs from a Z-matrix) or "Standard orientation:". A job run
// with symmetry prints every geometry twice, in the input and the standard
// orientation; the input orientation is the geometry then, and the standard
// one only where no input orientation is printed at all (old logs, and the
// Gaussian-98-style files other programs write). Gaussian 94 prints no
// atomic-type column: a geometry line has five fields there and six in
// later versions, and the reader goes by the fields, whatever version the
// banner names (Gaussian 09 and 16 name none of those DetectVersion knows).
//
// The normal modes of a frequency job come three to a table; the first
// three displacement numbers of the first table are the first mode, the
// imaginary one of a transition state. Gaussian 09 and 16 head the table
// "Atom  AN", older versions "Atom AN". The modes are printed in the
// standard orientation when the job printed one, so the reader keeps the
// standard orientation that precedes them.
//
// The headings stand at the start of their lines after blanks, so a line is
// looked at only from its first letter: logs run to hundreds of megabytes.
#include "formats/gaussian_out_file.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/exit.h"
#include "common/numbers.h"
#include "common/text.h"
#include "molecule/coordinate_limit.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

constexpr std::string_view kEchoHeading = "Symbolic Z-matrix:";
constexpr std::string_view kInputHeading = "Input orientation:";
constexpr std::string_view kZMatrixHeading = "Z-Matrix orientation:";
constexpr std::string_view kStandardHeading = "Standard orientation:";
constexpr std::string_view kCoordinatesHeading = "Coordinates (Angstroms)";
// The coordinates heading comes within this many lines of the block heading.
constexpr int kHeadingLines = 4;
constexpr size_t kMostRouteLines = 12;

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// Up to `max` blank-separated fields of a line; returns how many there are
// (more than `max` when the line has more).
size_t SplitFields(std::string_view line, std::string_view* fields, size_t max) {
  size_t count = 0;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size()) break;
    const size_t start = i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (count < max) fields[count] = line.substr(start, i - start);
    ++count;
  }
  return count;
}

bool ParseNumber(std::string_view field, double& value) {
  return ParseShortDecimal(field, value) || ParseDoubleField(field, value);
}

// "Atom", blanks, "AN": the heading of a normal-mode table.
bool IsModeHeading(std::string_view trimmed) {
  if (!StartsWith(trimmed, "Atom")) return false;
  std::string_view rest = trimmed.substr(4);
  const size_t blanks = rest.find_first_not_of(' ');
  return blanks != std::string_view::npos && blanks > 0 && StartsWith(rest.substr(blanks), "AN") &&
         (rest.size() == blanks + 2 || IsBlank(rest[blanks + 2]));
}

bool IsDashes(std::string_view trimmed) { return StartsWith(trimmed, "----"); }

// "Charge = q Multiplicity = m" and whatever follows (ONIOM layers and
// counterpoise fragments add "for low level calculation on real system",
// "in supermolecule"). Gaussian writes the numbers in fixed columns, so a
// two-digit one may touch its "=" (Charge =-10).
bool ReadChargeLine(std::string_view trimmed, ChargeAndMultiplicity& stated) {
  auto number_after = [&trimmed](std::string_view word, int& value) {
    if (!StartsWith(trimmed, word)) return false;
    trimmed.remove_prefix(word.size());
    const size_t equals = trimmed.find_first_not_of(' ');
    if (equals == std::string_view::npos || trimmed[equals] != '=') return false;
    trimmed.remove_prefix(equals + 1);
    const size_t used = ParseIntPrefix(trimmed, value);
    if (used == 0) return false;
    trimmed.remove_prefix(used);
    const size_t next = trimmed.find_first_not_of(' ');
    trimmed.remove_prefix(next == std::string_view::npos ? trimmed.size() : next);
    return true;
  };
  ChargeAndMultiplicity read;
  if (!number_after("Charge", read.charge) || !number_after("Multiplicity", read.multiplicity)) return false;
  if (read.multiplicity < 1) return false;
  stated = read;
  return true;
}

std::string ElementOfNumber(int number) {
  return std::string(IsElementNumber(number) ? kElementSymbols[number] : kElementSymbols[0]);
}

}  // namespace

CGaussianOutFile::CGaussianOutFile() = default;
CGaussianOutFile::CGaussianOutFile(std::string name) { OpenInput(std::move(name)); }
CGaussianOutFile::~CGaussianOutFile() = default;

void CGaussianOutFile::OpenInput(std::string name) {
  StoreNameAndOpenInput(name);
  ResetReader();
  DetectVersion();
}

void CGaussianOutFile::OpenOutput(std::string name, bool open) { OpenOutputShared(name, open); }

// The program banner near the top of a log names its version. It comes
// before the route, so the search ends at the first route line: a log of
// Gaussian 09 or 16 (whose banners name no version known here) is not read
// through to its end for it.
void CGaussianOutFile::DetectVersion() {
  if (version_.empty()) {
    std::string_view line;
    while (input_.ReadLine(line)) {
      const size_t first = line.find_first_not_of(' ');
      if (first != std::string_view::npos && line[first] == '#') break;
      if (line.find("the Gaussian(R) 03 program.") != std::string_view::npos) {
        SetVersion("03");
      } else if (line.find("the Gaussian(R) 98 program.") != std::string_view::npos) {
        SetVersion("98");
      } else if (line.find("the Gaussian 94(TM) system of programs.") != std::string_view::npos) {
        SetVersion("94");
      } else {
        continue;
      }
      break;
    }
  }
  input_.Rewind();
}

// The switches belong to one file: a second file read through the same
// record starts afresh.
void CGaussianOutFile::ResetReader() {
  route_lines_.clear();
  route_ = Route::kBefore;
  block_ = Block::kNone;
  after_charge_line_ = false;
  stated_charge_and_multiplicity_.reset();
  input_orientation_seen_ = false;
  modes_read_ = false;
  last_standard_.clear();
  mode_geometry_.clear();
  modes_in_standard_orientation_ = false;
  geometries_ = 0;
  echo_describes_next_ = false;
  marks_.clear();
  first_frequency_.reset();
}

// which > 0: the next `which` geometries (the last of them when the file
// ends first), and no structure when the file holds no further geometry, so
// that an analyzer stepping through a log stops at its end; otherwise every
// geometry to the end of the file, so that the last one stays.
// A structure asked for beyond the last one of the file (convert -m) is
// an error, not the last one.
void CGaussianOutFile::Read(int which) {
  std::string_view line;
  int completed = 0;
  while ((which <= 0 || completed < which) && input_.ReadLine(line)) {
    if (TakeLine(line)) ++completed;
  }
  if (which > 0 && completed == 0) cartesian_.clear();
  if (which > 1 && completed > 0 && completed < which) {
    Fatal("Error: " + input_file_name_ + " holds " + std::to_string(geometries_) + " structures; structure " +
          std::to_string(geometries_ - completed + which) + " does not exist.");
  }
}

void CGaussianOutFile::ReadAll(int) {
  cartesian_all_.clear();
  std::string_view line;
  while (input_.ReadLine(line)) {
    if (TakeLine(line)) cartesian_all_.push_back(cartesian_);
  }
  number_of_molecules_ = static_cast<int>(cartesian_all_.size());
}

// Gaussian logs are never written.
void CGaussianOutFile::Write() {}

bool CGaussianOutFile::TakeLine(std::string_view line) {
  const size_t first = line.find_first_not_of(' ');
  const std::string_view trimmed = first == std::string_view::npos ? std::string_view() : line.substr(first);
  const bool after_charge_line = after_charge_line_;
  after_charge_line_ = false;
  switch (block_) {
    case Block::kNone:
      break;
    case Block::kEchoCharge:
      block_ = Block::kEchoAtoms;
      TakeChargeLine(trimmed, after_charge_line);
      return false;
    case Block::kEchoAtoms:
      if (echo_lines_.empty() && TakeChargeLine(trimmed, after_charge_line)) return false;
      TakeEchoAtomLine(line);
      return false;
    case Block::kEchoVariables:
      TakeEchoVariableLine(line);
      return false;
    case Block::kHeading:
      if (line.find(kCoordinatesHeading) != std::string_view::npos) {
        block_ = Block::kColumnHeadings;
        heading_lines_left_ = 2;
      } else if (--heading_lines_left_ <= 0) {
        block_ = Block::kNone;
      }
      return false;
    case Block::kColumnHeadings:
      if (--heading_lines_left_ == 0) {
        block_ = Block::kRows;
        rows_.clear();
        row_elements_.clear();
      }
      return false;
    case Block::kRows:
      return TakeGeometryRow(trimmed);
    case Block::kModes:
      TakeModeRow(line);
      return false;
  }
  if (trimmed.empty()) {
    if (route_ == Route::kIn) route_ = Route::kDone;
    return false;
  }
  if (route_ != Route::kDone && (route_ == Route::kIn || trimmed.front() == '#')) {
    TakeRouteLine(trimmed);
    return false;
  }
  switch (trimmed.front()) {
    case 'S':
    case 'O':
    case 'P':
    case 'F':
      if (TakeMarkLine(trimmed)) break;
      [[fallthrough]];
    case 'I':
    case 'Z':
    case 'A':
      StartBlock(trimmed);
      break;
    case 'C':
      TakeChargeLine(trimmed, after_charge_line);
      break;
    default:
      break;
  }
  return false;
}

// The first of a run of charge lines is the whole molecule's; those right
// after it belong to ONIOM layers or counterpoise fragments. A log of
// several jobs (--Link1--) states the charge of each; the last one read
// holds for the geometries that follow it. Geometries taken from a
// checkpoint file (Geom=AllCheck) come without the "Symbolic Z-matrix:"
// heading, so the line counts wherever it stands.
bool CGaussianOutFile::TakeChargeLine(std::string_view trimmed, bool after_charge_line) {
  ChargeAndMultiplicity stated;
  if (!ReadChargeLine(trimmed, stated)) return false;
  if (!after_charge_line) stated_charge_and_multiplicity_ = stated;
  after_charge_line_ = true;
  return true;
}

// " SCF Done:  E(RB3LYP) =  -303.577879721     A.U. after   17 cycles": the
// number after "=" (its column moves with the name of the method).
// " Point Number:  12          Path Number:   1" (Gaussian 09 and 16).
// " Frequencies --  -757.8100   ..." ("---" with HPModes).
bool CGaussianOutFile::TakeMarkLine(std::string_view trimmed) {
  const size_t geometries = static_cast<size_t>(geometries_);
  if (StartsWith(trimmed, "SCF Done")) {
    const size_t equals = trimmed.find('=');
    double energy = NAN;
    if (equals == std::string_view::npos || ParseDoublePrefix(trimmed.substr(equals + 1), energy) == 0) energy = NAN;
    marks_.push_back({Mark::Kind::kScfEnergy, geometries, energy});
  } else if (StartsWith(trimmed, "Optimization completed")) {
    marks_.push_back({Mark::Kind::kOptimized, geometries});
  } else if (StartsWith(trimmed, "Point Number:")) {
    const size_t path = trimmed.find("Path Number:");
    Mark mark{Mark::Kind::kIrcPoint, geometries};
    if (path == std::string_view::npos || ParseIntPrefix(trimmed.substr(13), mark.point) == 0 ||
        ParseIntPrefix(trimmed.substr(path + 12), mark.path) == 0) {
      return true;
    }
    marks_.push_back(mark);
  } else if (StartsWith(trimmed, "Frequencies -")) {
    if (first_frequency_) return true;
    const size_t after_dashes = trimmed.find_first_not_of('-', trimmed.find('-'));
    double frequency = 0.0;
    if (after_dashes != std::string_view::npos && ParseDoublePrefix(trimmed.substr(after_dashes), frequency) > 0) {
      first_frequency_ = frequency;
    }
  } else {
    return false;
  }
  return true;
}

// The route runs from its first "#" line to the dashed line under it
// (Gaussian wraps it at 70 columns; a few lines at most).
void CGaussianOutFile::TakeRouteLine(std::string_view trimmed) {
  if (IsDashes(trimmed) || route_lines_.size() >= kMostRouteLines) {
    route_ = Route::kDone;
    return;
  }
  route_ = Route::kIn;
  route_lines_.emplace_back(TrimRight(trimmed));
}

void CGaussianOutFile::StartBlock(std::string_view trimmed) {
  if (StartsWith(trimmed, kInputHeading) || StartsWith(trimmed, kZMatrixHeading)) {
    input_orientation_seen_ = true;
    block_is_geometry_ = true;
    block_is_standard_ = false;
  } else if (StartsWith(trimmed, kStandardHeading)) {
    // Standard orientations of a job that prints input orientations are
    // kept only for the normal modes that may follow.
    if (input_orientation_seen_ && modes_read_) return;
    block_is_geometry_ = !input_orientation_seen_;
    block_is_standard_ = true;
  } else if (StartsWith(trimmed, kEchoHeading)) {
    block_ = Block::kEchoCharge;
    return;
  } else if (!modes_read_ && IsModeHeading(trimmed)) {
    block_ = Block::kModes;
    force_.clear();
    modes_in_standard_orientation_ = false;
    mode_geometry_ = cartesian_;
    if (!last_standard_.empty()) {
      modes_in_standard_orientation_ = last_standard_ != cartesian_;
      mode_geometry_ = last_standard_;
    }
    return;
  } else {
    return;
  }
  block_ = Block::kHeading;
  heading_lines_left_ = kHeadingLines;
}

// The first atom line of the echo tells a Z-matrix (a lone label) from
// Cartesian lines; only a Z-matrix is read on.
void CGaussianOutFile::TakeEchoAtomLine(std::string_view line) {
  const std::vector<std::string_view> fields = SplitGaussianFields(line);
  const bool first = echo_lines_.empty();
  if (first && fields.size() != 1) {
    SetFileFlag(kFileCartesianRead);
    ClearFileFlag(kFileInternal);
    block_ = Block::kNone;
    return;
  }
  if (first) {
    SetFileFlag(kFileInternal);
    ClearFileFlag(kFileCartesianRead);
    connection_.clear();
  }
  ZMatrixLine zline;
  if (ParseZMatrixLine(fields, echo_lines_.size(), zline)) {
    echo_lines_.push_back(std::move(zline));
    return;
  }
  const std::string heading = ToUpper(Trim(line));
  if (heading == "VARIABLES:" || heading == "CONSTANTS:") {
    block_ = Block::kEchoVariables;
  } else {
    FinishEcho(fields.empty());
  }
}

void CGaussianOutFile::TakeEchoVariableLine(std::string_view line) {
  std::string name;
  double value = 0.0;
  if (ParseVariableLine(line, name, value)) {
    echo_variables_.emplace(name, value);
  } else if (ToUpper(Trim(line)) != "CONSTANTS:") {
    FinishEcho(true);
  }
}

// A Z-matrix that ends where it should (a blank line or its variables) and
// whose values all resolve becomes `internal`; one in a form the record
// cannot hold (second bond angles instead of dihedrals) leaves it empty.
void CGaussianOutFile::FinishEcho(bool complete) {
  block_ = Block::kNone;
  echo_describes_next_ = complete && ResolveZMatrix(echo_lines_, echo_variables_, internal_, internal_reference_);
  if (!echo_describes_next_) {
    internal_.clear();
    internal_reference_.clear();
  }
  echo_lines_.clear();
  echo_variables_.clear();
}

// center, atomic number, [atomic type,] x, y, z; the dashed line completes
// the block. A line of any other shape abandons it. Ghost atoms (Bq,
// atomic number 0) are kept as dummy atoms "DU".
bool CGaussianOutFile::TakeGeometryRow(std::string_view trimmed) {
  if (IsDashes(trimmed)) {
    block_ = Block::kNone;
    if (block_is_standard_) {
      last_standard_ = rows_;
    } else {
      last_standard_.clear();
    }
    if (!block_is_geometry_ || rows_.empty()) return false;
    CommitGeometry();
    return true;
  }
  std::array<std::string_view, 6> fields;
  const size_t count = SplitFields(trimmed, fields.data(), fields.size());
  const size_t x = count == 6 ? 3 : 2;
  int element = 0;
  Point point{};
  if ((count != 5 && count != 6) || !ParseIntField(fields[1], element) || !ParseNumber(fields[x], point[0]) ||
      !ParseNumber(fields[x + 1], point[1]) || !ParseNumber(fields[x + 2], point[2])) {
    block_ = Block::kNone;
    return false;
  }
  if (!HoldablePoint(point))
    RefuseCoordinate(point, input_file_name_ + ", line " + std::to_string(input_.LineNumber()));
  // Dummy atoms (X of a Z-matrix) stand in "Z-Matrix orientation" blocks
  // with atomic number -1 and in no other: they are no atoms of the
  // molecule, and every geometry of a log keeps the same atoms without them.
  if (element >= 0) {
    rows_.push_back(point);
    row_elements_.push_back(element);
  }
  return false;
}

// The names and types change only when the atoms do.
void CGaussianOutFile::CommitGeometry() {
  ++geometries_;
  // The Z-matrix echo is the geometry the job starts from: later ones (the
  // steps of an optimisation) have it no more.
  if (!echo_describes_next_) {
    internal_.clear();
    internal_reference_.clear();
  }
  echo_describes_next_ = false;
  cartesian_.assign(rows_.begin(), rows_.end());
  number_of_atoms_ = static_cast<int>(rows_.size());
  if (row_elements_ == geometry_elements_ && atom_type_.size() == rows_.size()) return;
  geometry_elements_ = row_elements_;
  atom_name_.clear();
  atom_type_.clear();
  atom_index_.clear();
  for (size_t i = 0; i < row_elements_.size(); ++i) {
    atom_type_.push_back(ElementOfNumber(row_elements_[i]));
    atom_name_.push_back(atom_type_.back() + std::to_string(i + 1));
    atom_index_.push_back(static_cast<int>(i) + 1);
  }
}

// atom number, atomic number, then the displacements of up to three modes;
// the first line of another shape ends the table.
void CGaussianOutFile::TakeModeRow(std::string_view line) {
  std::array<std::string_view, 5> fields;
  const size_t count = SplitFields(line, fields.data(), fields.size());
  int number = 0;
  Point displacement{};
  if (count < 5 || !ParseIntField(fields[0], number) || !ParseIntField(fields[1], number) ||
      !ParseNumber(fields[2], displacement[0]) || !ParseNumber(fields[3], displacement[1]) ||
      !ParseNumber(fields[4], displacement[2])) {
    block_ = Block::kNone;
    modes_read_ = true;
    return;
  }
  force_.push_back(displacement);
}

}  // namespace tarvex
