#include "analyzers/get_dun.h"

#include "common/console.h"
#include "common/exit.h"
#include "common/line_reader.h"
#include "common/numbers.h"
#include "common/progress.h"
#include "common/run_settings.h"
#include "common/text.h"

namespace tarvex {
namespace {

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h           : Help\n"
    "   -v           : Version\n"
    "   -m <...>     : Select atom numbers to measure distances, angles, or dihedrals\n"
    "   -n <number>  : Number of atoms\n"
    "   -k <number>  : Number of skip structures [1]\n"
    "   -s <number>  : Number of skip steps (NTWX) [1]\n"
    "   -f <flags...>: Set flags\n"
    "                :  DETAIL   ... show detail information\n"
    "                :  SHOWSTEP ... write number of skip steps to the output file\n"
    "                :  BOX      ... read BOX parameters for Amber CRD/RST files\n"
    "                :  TAB      ... set tab delimiter\n"
    "   -p parmfile  : Input parameter file\n"
    "   -r reffile   : Input reference file\n"
    "   -rt file type: Input reference file and file-type index\n"
    "   -i datafile  : Input data file\n"
    "   -it file type: Input data file and file-type index\n"
    "   -o outfile   : Output file (if no this option, use the standard output instead of outfile)\n"
    "\n"
    " Format for parameter file\n"
    "   01 : [atom1] [atom2]\n"
    "   02 :            .\n"
    "   03 :            .\n"
    "   04 :            .\n"
    "   05 : [atom1] [atom2] [atom3]\n"
    "   06 : [atom1] [atom2] [atom3] [atom4]\n"
    "   07 : [atom1] : [atom1] ... [atomN]\n"
    "\n"
    "  01: distance between atom1 and atom2\n"
    "  05: atom1 - atom2 - atom3 angle\n"
    "  06: atom1 - atom2 - atom3 - atom4 dihedral\n"
    "  07: distances between atom1 and atom2..N\n"
    "\n"
    "  The character # starts a comment, which terminates with the net new-line character.\n"
    "  In addition, empty lines are ignored.\n"
    "\n";

constexpr AnalyzerTexts kTexts = {
    .version = "0.24",
    .revision = "A",
    .description = "Obtain distances, angles, and dihedrals in specified atoms.",
    .usage_synopsis =
        " [-hv] [-m <...>] [-n <N>] [-k <N>] [-s <N>] [-f <...>] [-p parmfile] [-r reffile] "
        "[-rt reffile ref-type] -i datafile -it datafile data-type [-o outfile]",
    .help_options = kHelpOptions,
    .file_type_column = 16,
};

[[noreturn]] void CountError() { Fatal("Error: numbers of selected atoms are 2, 3, or 4."); }

// Integers as stream extraction reads them, up to the first word that is
// not one.
std::vector<int> LeadingIntegers(std::string_view text) {
  std::vector<int> numbers;
  int value = 0;
  while (size_t used = ParseIntPrefix(text, value)) {
    numbers.push_back(value);
    text.remove_prefix(used);
  }
  return numbers;
}

constexpr FlagWord kFlags[] = {
    {"DETAIL", CGetDun::kDetail},
    {"SHOWSTEP", CGetDun::kShowStep},
    {"BOX", CGetDun::kBox},
    {"TAB", CGetDun::kTab},
};

}  // namespace

// The records are made empty here; Run opens them. An unknown data type
// falls back to the Amber trajectory format, an unknown reference type to the
// Amber topology format.
CGetDun::CGetDun() : CAnalyzer(kTexts) {
  DeclareOptions({
      .options =
          {
              Option::Integers("m", [this](std::vector<int> atoms) { AddGroup(atoms); }),
              Option::Integer("n", atom_count_, "-").Sets(kAtomCount),
              Option::Integer("k", skip_).Positive(),
              Option::Integer("s", steps_, "-"),
              Option::Flags("f", kFlags),
              Option::Word("p", measurement_file_name_).Sets(kMeasurementFile),
              ReferenceFileOption(reference_, reference_file_name_).Sets(kReference),
              DataFileOption(data_, data_file_name_).Sets(kDataFile),
              Option::Word("o", output_file_name_).Sets(kOutput),
          },
      .required = {kDataFile},
  });
}

CGetDun::~CGetDun() = default;

void CGetDun::AddGroup(const std::vector<int>& atoms) {
  if (atoms.size() < 2 || atoms.size() > 4) CountError();
  groups_.push_back(atoms);
}

// Only blanks are stripped (a line of tabs is not empty, and fails).
void ParseMeasurementLine(std::string_view line, std::vector<std::vector<int>>& groups) {
  line = Trim(line, " ");
  if (line.empty() || line.front() == '#') return;
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) {
    std::vector<int> atoms = LeadingIntegers(line);
    if (atoms.size() < 2 || atoms.size() > 4) CountError();
    groups.push_back(std::move(atoms));
    return;
  }
  // "a : b c d" measures a-b, a-c and a-d; the left side is one atom.
  int first = 0;
  if (!ParseIntField(line.substr(0, colon), first)) CountError();
  for (int other : LeadingIntegers(line.substr(colon + 1))) groups.push_back({first, other});
}

// The step column is written when `show_step` is set, whatever the step's
// sign (a negative -s numbers the rows downwards).
void AppendTableRow(std::string& out, const double* values, size_t count, bool show_step, long long step, bool tab) {
  const char delimiter = tab ? '\t' : ' ';
  const int width = tab ? 7 : 9;
  if (show_step) {
    AppendInt(out, step, 5);
    out.push_back(delimiter);
  }
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) out.push_back(delimiter);
    // The undefined dihedral (and any value that is not a number) is NaN.
    if (values[i] >= -180.0) {
      AppendFixed(out, values[i], width, 4);
    } else {
      AppendRight(out, "NaN", width);
    }
  }
  out.push_back('\n');
}

void CGetDun::ReadMeasurementFile() {
  LineReader in;
  if (!in.Open(measurement_file_name_)) Fatal("Can't open file: " + measurement_file_name_);
  in.RequireText();
  std::string_view line;
  while (in.ReadLine(line)) ParseMeasurementLine(line, groups_);
}

// The groups are resolved before the first read, in the numbering a
// trajectory takes from its reference, and again only when a read renumbers
// (a PDB or MOL2 file brings its own serials), which trajectory readers never
// do.
void CGetDun::ResolveGroups() {
  const uint64_t numbering = data_->AtomNumberingGeneration();
  const int atoms = data_->GetNumberOfAtoms();
  if (resolved_ && numbering == resolved_numbering_ && atoms == resolved_atom_count_) return;
  positions_.clear();
  for (const std::vector<int>& group : groups_) {
    for (int number : group) positions_.push_back(data_->AtomNumberToIndex(number));
  }
  resolved_ = true;
  resolved_numbering_ = numbering;
  resolved_atom_count_ = atoms;
}

void CGetDun::MeasureStructure() {
  ResolveGroups();
  const Frame& frame = data_->GetCartesian();
  const int* position = positions_.data();
  Point points[4];
  for (const std::vector<int>& group : groups_) {
    for (size_t k = 0; k < group.size(); ++k, ++position) {
      if (*position < 0 || static_cast<size_t>(*position) >= frame.size()) {
        Fatal("Error: atom number " + std::to_string(group[k]) + " is incorrect.");
      }
      points[k] = frame[*position];
    }
    switch (group.size()) {
      case 2:
        results_.push_back(MeasureDistance(points[0], points[1]));
        break;
      case 3:
        results_.push_back(MeasureAngle(points[0], points[1], points[2]));
        break;
      default:
        results_.push_back(MeasureDihedral(points[0], points[1], points[2], points[3]));
        break;
    }
  }
  ++rows_;
}

void CGetDun::WriteTable() {
  const bool tab = (flags_ & kTab) != 0;
  const bool show_step = (flags_ & kShowStep) != 0;
  const size_t columns = groups_.size();
  std::string text;
  for (long long row = 0; row < rows_; ++row) {
    const long long step = static_cast<long long>(skip_) * steps_ * (row + 1);
    AppendTableRow(text, results_.data() + static_cast<size_t>(row) * columns, columns, show_step, step, tab);
    if (text.size() >= (size_t{1} << 16) || row + 1 == rows_) {
      if (flags_ & kOutput) {
        output_.Write(text);
      } else {
        OutText(text);
        OutCommit();
      }
      text.clear();
    }
  }
  if (flags_ & kOutput) output_.Close();
}

// The reference (a topology, usually) lends the data record what the data
// file lacks: the atom count, names and numbering. Then every k-th structure
// of the data file is measured, streaming: one structure in memory at a time.
void CGetDun::Run() {
  const bool detail = (flags_ & kDetail) != 0;
  if (flags_ & kMeasurementFile) ReadMeasurementFile();
  if (flags_ & kReference) {
    reference_->OpenInput(reference_file_name_);
    reference_->Read(0);
    data_->CopyState(*reference_);
  }
  data_->OpenInput(data_file_name_);
  if (flags_ & kAtomCount) data_->SetNumberOfAtoms(atom_count_);
  if (flags_ & kBox) data_->SetFileFlag(kFileBox);
  if ((flags_ & kOutput) && !output_.Open(output_file_name_)) Fatal("Can't open file: " + output_file_name_);
  if (detail) {
    OutLine("Input data file: " + data_file_name_);
    if (flags_ & kReference) OutLine("Reference file:  " + reference_file_name_);
    if (flags_ & kOutput) OutLine("Output file:     " + output_file_name_);
    OutLine();
  }
  if (groups_.empty()) {
    ErrLine("Error: you must specify atoms to measure bonds, angles, or dihedrals.");
    ErrLine();
    Usage();
  }
  if (detail) OutLine("Processing coordinate data ...");
  // A trajectory converts only the numbers of the groups' atoms (it still
  // checks every frame whole); its numbering is the reference's by now.
  ResolveGroups();
  data_->SetNeededAtoms(positions_);
  // DETAIL prints its own counter on standard output: no progress line then.
  Progress progress(data_file_name_, data_->GetInputPosition().size,
                    detail ? Progress::kNoTerminal : Progress::kStandardError);
  long long structures = 0;
  bool any_structure = false;
  for (;;) {
    // A read past the end gives no structure; reading on would only spin
    // through the rest of a large -k.
    for (int i = 0; i < skip_; ++i) {
      data_->Read(1);
      if (data_->GetCartesian().empty()) break;
      any_structure = true;
    }
    structures += skip_;
    progress.Update(structures, data_->GetInputPosition().read);
    const int atoms = data_->GetNumberOfAtoms();
    if (atoms < 0) Fatal("Error: number of atoms " + std::to_string(atoms) + " is incorrect.");
    // A trajectory cannot be read without its atom count: with none, no read
    // finds anything, which is an error and not an empty result. A file that
    // held fewer structures than the step (one MOL2 molecule, -k 2) gives
    // an empty table, as a restart does.
    if (atoms == 0 && (!any_structure || !data_->GetCartesian().empty())) Fatal("Error: number of atoms is zero.");
    if (data_->GetCartesian().empty()) break;
    MeasureStructure();
    if (detail) {
      std::string counter = " ";
      AppendInt(counter, rows_, 3);
      OutText(counter);
      OutCommit();
    }
  }
  progress.Finish();
  if (detail) {
    OutLine();
    OutLine("Complete.");
    OutLine();
  }
  WriteTable();
  if (detail) OutLine("Normal termination of " + Settings().analyzer_name + ".");
}

}  // namespace tarvex
