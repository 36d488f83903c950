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
//   H3    1     0.960000 ...       x y z), Z-matrix lines, or both
//    Variables:                    (gaussian_geometry.h)
//   r2   0.960000                 variables of the Z-matrix, "name value"
//                                  or "name=value", after a blank line or
//                                  straight after a "Variables:" heading; a
//                                  constants section may follow
//
// and then sections the molecule does not need (basis sets, ECPs, radii).
// Fields are separated by blanks, tabs or commas. "!" starts a comment
// anywhere (to the end of its line); a line holding only a comment is no
// line at all, and so no blank line either. "--Link1--" starts the next job
// of the file (some files also begin with it); only the first job is read.
#include "formats/gaussian_in_file.h"

#include <algorithm>
#include <optional>

#include "chemistry/geometry/internal_coordinates.h"
#include "chemistry/lewis/net_charge.h"
#include "common/console.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "common/text.h"
#include "formats/mol2_file.h"
#include "molecule/coordinate_limit.h"
#include "molecule/tables.h"

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

// The next line that holds more than a comment, with its comment cut off.
bool ReadContentLine(LineReader& in, std::string_view& line) {
  while (in.ReadLine(line)) {
    const size_t bang = line.find('!');
    if (bang == std::string_view::npos) return true;
    line = line.substr(0, bang);
    if (!Trim(line).empty()) return true;
  }
  return false;
}

// The lines up to the next blank line, "--Link1--" or the end of the file.
SectionEnd ReadSection(LineReader& in, std::vector<std::string>& lines) {
  lines.clear();
  std::string_view line;
  while (ReadContentLine(in, line)) {
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
    if (!ReadContentLine(in, line)) return false;
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

// Lines that each define a variable, "Variables:" and "Constants:"
// headings aside; the first definition of a name counts. False (and nothing
// taken) when a line defines none.
bool TakeVariableLines(std::vector<std::string>::const_iterator begin, std::vector<std::string>::const_iterator end,
                       GaussianVariables& variables) {
  GaussianVariables section;
  for (auto line = begin; line != end; ++line) {
    std::string name;
    double value = 0.0;
    if (IsVariableHeading(Trim(*line))) continue;
    if (!ParseVariableLine(*line, name, value)) return false;
    section.emplace(name, value);
  }
  variables.insert(section.begin(), section.end());
  return true;
}

// Sections after the molecule are variables while every line defines one.
void ReadVariableSections(LineReader& in, SectionEnd end, GaussianVariables& variables) {
  std::vector<std::string> lines;
  while (end == SectionEnd::kBlank) {
    end = ReadSection(in, lines);
    if (lines.empty() || !TakeVariableLines(lines.begin(), lines.end(), variables)) return;
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
  // Variables may follow the molecule under their heading without a blank line.
  const auto heading = std::find_if(job.molecule.begin(), job.molecule.end(),
                                    [](const std::string& line) { return IsVariableHeading(Trim(line)); });
  if (heading != job.molecule.end()) {
    if (!TakeVariableLines(heading, job.molecule.end(), job.variables)) return false;
    job.molecule.erase(heading, job.molecule.end());
    if (job.molecule.empty()) return false;
  }
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

// The geometry of the first job. The first job is the file's one
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
  ReadMolecule(job.molecule, job.variables);
  number_of_atoms_ = static_cast<int>(job.molecule.size());
  // A Z-matrix of absurd lengths builds absurd points too.
  for (size_t i = 0; i < cartesian_.size(); ++i) {
    if (!HoldablePoint(cartesian_[i]))
      RefuseCoordinate(cartesian_[i], input_file_name_ + ": atom " + std::to_string(i + 1));
  }
  atom_index_.resize(job.molecule.size());
  for (size_t i = 0; i < atom_index_.size(); ++i) atom_index_[i] = static_cast<int>(i) + 1;
}

// Each line is read as the kind it is. A Z-matrix alone becomes `internal`,
// converted to Cartesian coordinates at once, and is written back as a
// Z-matrix; a molecule with any Cartesian line is held as Cartesian
// coordinates, its Z-matrix lines placed from the atoms they refer to. Lines
// with fewer than three references only open a molecule (the first atoms of
// a Z-matrix): after a Cartesian atom they would have no frame.
void CGaussianInFile::ReadMolecule(const std::vector<std::string>& lines, const GaussianVariables& variables) {
  std::vector<ZMatrixLine> parsed(lines.size());
  std::vector<char> given(lines.size(), 0);
  size_t cartesian = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!ParseMoleculeLine(SplitGaussianFields(lines[i]), i, parsed[i])) Incorrect();
    if (!parsed[i].cartesian && parsed[i].pairs < 3 && cartesian > 0) Incorrect();
    given[i] = parsed[i].cartesian ? 1 : 0;
    cartesian += given[i];
    atom_name_.push_back(GaussianLabelName(parsed[i].label));
    atom_type_.push_back(GaussianLabelElement(parsed[i].label));
  }
  std::vector<Point> values;
  std::vector<ReferenceTriple> references;
  if (!ResolveZMatrix(parsed, variables, values, references)) Incorrect();
  if (cartesian == 0) {
    internal_ = std::move(values);
    internal_reference_ = std::move(references);
    file_flags_ = kFileInternal;
    InternalToCartesian();
    return;
  }
  file_flags_ = kFileCartesianRead;
  if (MixedToCartesian(values, references, given, cartesian_) < lines.size()) {
    Warn("Convert internal coordinates to cartesian coordinates: failed.");
  }
}

// The element of an atom as its label: "X" for a dummy or ghost atom,
// which Gaussian takes in either layout; "DU" in Cartesian lines when the
// record has no element for the atom.
std::string CGaussianInFile::Label(size_t atom, bool zmatrix) const {
  if (atom >= atom_type_.size()) return zmatrix ? kDummyLabel : kDefaultElement;
  return atom_type_[atom] == kDefaultElement ? kDummyLabel : atom_type_[atom];
}

// A Cartesian input needs every point; a Z-matrix may stand without them
// (one whose conversion stopped is written as it was read).
void CGaussianInFile::Write() {
  if (!(file_flags_ & kFileInternal)) RequireWholeStructure();
  std::string& out = output_.Buffer();
  out.append(kCheckpointPrefix).append(FileStem(output_file_name_)).append("\n");
  out.append(kRouteLine).append("\n\n");
  const std::string_view title = TrimLeft(title_);
  out.append(title.empty() ? std::string_view(kFallbackTitle) : title).append("\n\n");
  out.append(ChargeLine()).append("\n");
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

// The charge and multiplicity of the molecule: those its file stated (a
// Gaussian input or log); otherwise the net charge of the charge
// perception, with the multiplicity of a closed shell, or of a doublet when
// that charge leaves the electrons odd (Gaussian refuses a singlet of an
// odd count). Perceived once per record: the frames of a trajectory are
// one molecule. "0 1" with a warning when the elements or coordinates leave
// nothing to perceive; a record without atoms just takes "0 1".
std::string CGaussianInFile::ChargeLine() {
  if (stated_charge_and_multiplicity_) {
    return std::to_string(stated_charge_and_multiplicity_->charge) + " " +
           std::to_string(stated_charge_and_multiplicity_->multiplicity);
  }
  if (!perceived_charge_line_.empty()) return perceived_charge_line_;
  const size_t atoms = static_cast<size_t>(std::max(number_of_atoms_, 0));
  long long electrons = 0;
  bool known = atoms > 0 && cartesian_.size() >= atoms && atom_type_.size() >= atoms;
  for (size_t i = 0; known && i < atoms; ++i) {
    const int z = ElementIndex(ToUpper(Trim(atom_type_[i])));
    if (z == 0) continue;  // dummy and ghost atoms carry no electrons
    known = IsElementNumber(z);
    electrons += z;
  }
  if (!known) {
    if (atoms > 0) {
      Warn("Warning: " + output_file_name_ +
           ": no charge and multiplicity can be perceived without the element and coordinates of every atom; \"" +
           kChargeAndMultiplicity + "\" is written.");
    }
    perceived_charge_line_ = kChargeAndMultiplicity;
    return perceived_charge_line_;
  }
  CMol2File molecule;
  molecule.CopyState(*this);
  molecule.OpenOutput(output_file_name_, false);
  const long long charge = PerceiveNetCharge(molecule);
  const bool odd = (electrons - charge) % 2 != 0;
  perceived_charge_line_ = std::to_string(charge) + (odd ? " 2" : " 1");
  return perceived_charge_line_;
}

void CGaussianInFile::WriteCartesian(std::string& out, size_t atoms) {
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
