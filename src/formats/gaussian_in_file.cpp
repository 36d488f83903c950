// Gaussian input (COM) files.
//
// An input is a series of sections separated by blank lines (a line of
// blanks or tabs counts as blank):
//
//   %Chk=job                      Link 0 commands, one per line (optional)
//   #P HF/STO-3G Opt(ModRedun)    the route: its first line starts with "#";
//                                  it may run over several lines
//
//   Title:                        the title, one or more lines
//
//   0 1                           charge and multiplicity (one pair per
//   O1                             ONIOM layer), then the molecule: Cartesian
//   H2    1     0.960000           lines (label x y z, or label freeze-flag
//   H3    1     0.960000 ...       x y z) or a Z-matrix (gaussian_geometry.h)
//
//   r2   0.960000                 variables of the Z-matrix, "name value"
//                                  or "name=value"; a constants section may
//                                  follow after another blank line
//
// and then sections the molecule does not need (basis sets, ECPs, radii).
// Fields are separated by blanks, tabs or commas. "--Link1--" starts the
// next job of the file (some files also begin with it); only the first job
// is read. A label is an element symbol with anything after it (C1, Cl2,
// C(Iso=13)) or an atomic number; X is a dummy atom.
#include "formats/gaussian_in_file.h"

#include <optional>

#include "chemistry/geometry/internal_coordinates.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "common/text.h"
#include "molecule/coordinate_limit.h"

namespace tarvex {
namespace {

constexpr const char* kCheckpointPrefix = "%Chk=";
constexpr const char* kRouteLine = "#P HF/STO-3G Opt(ModRedun) GFInput NoSymm IOp(6/7=3)";
constexpr const char* kFallbackTitle = "Title:";
constexpr const char* kChargeAndMultiplicity = "0 1";
constexpr const char* kDummyLabel = "X";
constexpr const char* kDefaultElement = "DU";
constexpr const char* kVariablePrefixes[3] = {"r", "a", "d"};

enum class SectionEnd { kBlank, kLink, kEnd };

bool IsLinkSeparator(std::string_view trimmed) { return ToUpper(trimmed) == "--LINK1--"; }

// The lines up to the next blank line, "--Link1--" or the end of the file.
SectionEnd ReadSection(LineReader& in, std::vector<std::string>& lines) {
  lines.clear();
  std::string_view line;
  while (in.ReadLine(line)) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty()) return SectionEnd::kBlank;
    if (IsLinkSeparator(trimmed)) return SectionEnd::kLink;
    lines.emplace_back(line);
  }
  return SectionEnd::kEnd;
}

// The first job's title, molecule lines and variables. False when the file
// has no route, no molecule section, or a charge line that is not one.
struct GaussianJob {
  std::string title;
  std::optional<ChargeAndMultiplicity> stated;
  std::vector<std::string> molecule;
  GaussianVariables variables;
};

bool SkipToRouteEnd(LineReader& in) {
  std::string_view line;
  std::string_view trimmed;
  do {
    if (!in.ReadLine(line)) return false;
    trimmed = Trim(line);
  } while (trimmed.empty() || IsLinkSeparator(trimmed) || trimmed.front() == '%');
  if (trimmed.front() != '#') return false;
  std::vector<std::string> rest;
  return ReadSection(in, rest) == SectionEnd::kBlank;
}

// Pairs of integers: the charge and multiplicity of the whole molecule, then
// those of the ONIOM layers or counterpoise fragments. The first pair is
// the molecule's; a multiplicity below 1 states nothing Gaussian accepts.
bool ReadChargeLine(std::string_view line, std::optional<ChargeAndMultiplicity>& stated) {
  const std::vector<std::string_view> fields = SplitGaussianFields(line);
  std::vector<int> values(fields.size());
  for (size_t k = 0; k < fields.size(); ++k) {
    if (!ParseIntField(fields[k], values[k])) return false;
  }
  if (fields.size() < 2 || fields.size() % 2 != 0) return false;
  stated.reset();
  if (values[1] >= 1) stated = ChargeAndMultiplicity{values[0], values[1]};
  return true;
}

// Sections after the molecule are variables while every line defines one
// (a "Variables:" or "Constants:" heading aside); the first definition of a
// name counts.
void ReadVariableSections(LineReader& in, SectionEnd end, GaussianVariables& variables) {
  std::vector<std::string> lines;
  while (end == SectionEnd::kBlank) {
    end = ReadSection(in, lines);
    GaussianVariables section;
    for (const std::string& line : lines) {
      const std::string heading = ToUpper(Trim(line));
      std::string name;
      double value = 0.0;
      if (heading == "VARIABLES:" || heading == "CONSTANTS:") continue;
      if (!ParseVariableLine(line, name, value)) return;
      section.emplace(name, value);
    }
    if (lines.empty()) return;
    variables.insert(section.begin(), section.end());
  }
}

bool ReadFirstJob(LineReader& in, GaussianJob& job) {
  if (!SkipToRouteEnd(in)) return false;
  std::vector<std::string> title;
  if (ReadSection(in, title) != SectionEnd::kBlank) return false;
  for (const std::string& line : title) {
    if (!job.title.empty()) job.title += ' ';
    job.title += std::string(Trim(line));
  }
  const SectionEnd end = ReadSection(in, job.molecule);
  if (job.molecule.size() < 2 || !ReadChargeLine(job.molecule.front(), job.stated)) return false;
  job.molecule.erase(job.molecule.begin());
  ReadVariableSections(in, end, job.variables);
  return true;
}

}  // namespace

CGaussianInFile::CGaussianInFile() = default;
CGaussianInFile::CGaussianInFile(std::string name) { OpenInput(std::move(name)); }
CGaussianInFile::~CGaussianInFile() = default;

void CGaussianInFile::OpenInput(std::string name) {
  StoreNameAndOpenInput(name);
  job_read_ = false;
}
void CGaussianInFile::OpenOutput(std::string name, bool open) { OpenOutputShared(name, open); }

void CGaussianInFile::Incorrect() const { Fatal("Incorrect Gaussian input file: " + input_file_name_); }

// The geometry of the first job. A first molecule line that is a lone label
// starts a Z-matrix; otherwise every line is Cartesian. A Z-matrix is
// converted to Cartesian coordinates at once. The first job is the file's one
// structure: a second Read gives an empty record, so that an analyzer
// stepping through structures sees one and stops.
void CGaussianInFile::Read(int) {
  ClearAtomAndResidueGroups();
  internal_.clear();
  internal_reference_.clear();
  number_of_atoms_ = 0;
  stated_charge_and_multiplicity_.reset();
  if (!input_.IsOpen() || job_read_) return;
  job_read_ = true;
  GaussianJob job;
  if (!ReadFirstJob(input_, job)) Incorrect();
  title_ = job.title;
  stated_charge_and_multiplicity_ = job.stated;
  if (SplitGaussianFields(job.molecule.front()).size() == 1) {
    ReadZMatrixLines(job.molecule, job.variables);
  } else {
    ReadCartesianLines(job.molecule, job.variables);
  }
  number_of_atoms_ = static_cast<int>(job.molecule.size());
  // A Z-matrix of absurd lengths builds absurd points too.
  for (size_t i = 0; i < cartesian_.size(); ++i) {
    if (!HoldablePoint(cartesian_[i]))
      RefuseCoordinate(cartesian_[i], input_file_name_ + ": atom " + std::to_string(i + 1));
  }
  atom_index_.resize(job.molecule.size());
  for (size_t i = 0; i < atom_index_.size(); ++i) atom_index_[i] = static_cast<int>(i) + 1;
}

// label x y z, or label flag x y z when the second field of the first line
// is an integer followed by three more (a freeze flag: 0 or -1); fields
// after z (ONIOM layers) are passed over.
void CGaussianInFile::ReadCartesianLines(const std::vector<std::string>& lines, const GaussianVariables& variables) {
  const std::vector<std::string_view> first = SplitGaussianFields(lines.front());
  int flag = 0;
  const size_t x = first.size() >= 5 && ParseIntField(first[1], flag) ? 2 : 1;
  for (const std::string& line : lines) {
    const std::vector<std::string_view> fields = SplitGaussianFields(line);
    Point point{};
    if (fields.size() < x + 3) Incorrect();
    for (size_t k = 0; k < 3; ++k) {
      if (!ResolveGaussianValue(fields[x + k], variables, point[k])) Incorrect();
    }
    cartesian_.push_back(point);
    atom_name_.emplace_back(fields[0]);
    atom_type_.push_back(GaussianLabelElement(fields[0]));
  }
  file_flags_ = kFileCartesianRead;
}

void CGaussianInFile::ReadZMatrixLines(const std::vector<std::string>& lines, const GaussianVariables& variables) {
  std::vector<ZMatrixLine> zmatrix(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!ParseZMatrixLine(SplitGaussianFields(lines[i]), i, zmatrix[i])) Incorrect();
    atom_name_.push_back(zmatrix[i].label);
    atom_type_.push_back(GaussianLabelElement(zmatrix[i].label));
  }
  if (!ResolveZMatrix(zmatrix, variables, internal_, internal_reference_)) Incorrect();
  file_flags_ = kFileInternal;
  InternalToCartesian();
}

// The element of an atom as its label: "DU" when the record has none, "X"
// for a dummy atom of a Z-matrix.
std::string CGaussianInFile::Label(size_t atom, bool zmatrix) const {
  const std::string element = atom < atom_type_.size() ? atom_type_[atom] : kDefaultElement;
  return zmatrix && element == kDefaultElement ? kDummyLabel : element;
}

void CGaussianInFile::Write() {
  std::string& out = output_.Buffer();
  out.append(kCheckpointPrefix).append(FileStem(output_file_name_)).append("\n");
  out.append(kRouteLine).append("\n\n");
  const std::string_view title = TrimLeft(title_);
  out.append(title.empty() ? std::string_view(kFallbackTitle) : title).append("\n\n");
  out.append(kChargeAndMultiplicity).append("\n");
  const size_t atoms =
      static_cast<size_t>(number_of_atoms_ > 0 ? number_of_atoms_ : static_cast<int>(cartesian_.size()));
  if (file_flags_ & kFileInternal) {
    WriteZMatrix(out, atoms);
  } else {
    WriteCartesian(out, atoms);
  }
  out.append("\n");
  output_.Commit();
  output_.Close();
}

void CGaussianInFile::WriteCartesian(std::string& out, size_t atoms) {
  if (cartesian_.size() < atoms) {
    Fatal("Error: " + std::to_string(cartesian_.size()) + " of the " + std::to_string(atoms) +
          " atoms have coordinates; the structure cannot be written.");
  }
  const bool numbered = !(file_flags_ & kFileNoAtomNumber);
  for (size_t i = 0; i < atoms; ++i) {
    AppendRight(out, Label(i, false), 4);
    if (numbered) AppendInt(out, static_cast<long long>(i) + 1);
    for (double coordinate : cartesian_[i]) AppendFixed(out, coordinate, 13, 6);
    out.push_back('\n');
    output_.Commit();
  }
}

// Line i holds min(i, 3) (reference, value) pairs; with USE_VAR each value
// is a variable r<i>, a<i> or d<i> (i the 1-based line), defined after the
// molecule in the same order.
void CGaussianInFile::WriteZMatrix(std::string& out, size_t atoms) {
  if (atoms > 0 && internal_.size() != atoms) CartesianToInternal();
  atoms = static_cast<size_t>(std::max(number_of_atoms_, 0));
  if (internal_.size() < atoms || internal_reference_.size() < atoms) {
    Fatal("Error: the Z-matrix of the " + std::to_string(atoms) + " atoms is not complete; it cannot be written.");
  }
  const bool numbered = !(file_flags_ & kFileNoAtomNumber);
  const bool use_variables = (file_flags_ & kFileUseVar) != 0;
  std::string definitions;
  for (size_t i = 0; i < atoms; ++i) {
    AppendRight(out, Label(i, true), 4);
    const std::string number = numbered ? std::to_string(i + 1) : std::string();
    if (i == 0) {
      out.append(number);
    } else {
      AppendLeft(out, number, 4);
    }
    for (size_t k = 0; k < std::min<size_t>(i, 3); ++k) {
      AppendInt(out, static_cast<long long>(internal_reference_[i][k]) + 1, 5);
      if (use_variables) {
        const std::string name = kVariablePrefixes[k] + std::to_string(i + 1);
        AppendRight(out, kVariablePrefixes[k], 3);
        out.append(std::to_string(i + 1));
        definitions.append(name);
        AppendFixed(definitions, internal_[i][k], 13, 6);
        definitions.push_back('\n');
      } else {
        AppendFixed(out, internal_[i][k], 13, 6);
      }
    }
    out.push_back('\n');
    output_.Commit();
  }
  if (use_variables) out.append("\n").append(definitions);
}

}  // namespace tarvex
