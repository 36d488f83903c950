#include "analyzers/pbsa_prep.h"

#include <algorithm>

#include "common/console.h"
#include "common/exit.h"
#include "common/line_reader.h"
#include "common/numbers.h"
#include "common/output_file.h"
#include "common/printable.h"
#include "common/text.h"
#include "formats/amber_names.h"
#include "formats/amber_prep_file.h"

namespace tarvex {
namespace {

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h         : Help\n"
    "   -v         : Version\n"
    "   -a         : Generate radii data\n"
    "   -c         : Generate charges data\n"
    "   -p         : Generate PARSE data\n"
    "   -r file    : Reference file\n"
    "   -i files...: Input PREP files\n"
    "   -o file    : Output file\n";

constexpr AnalyzerTexts kTexts = {
    .version = "0.09",
    .revision = "A",
    .description = "Generate parameters for the MM/PBSA from the PREP data.",
    .usage_synopsis = " [-hv] [-a | -c | -p] [-r ref-file] -i prep-files... [-o outfile]",
    .help_options = kHelpOptions,
};

}  // namespace

// Every input is a PREP file, opened as it is named.
CPbsaPrep::CPbsaPrep() : CAnalyzer(kTexts) {
  DeclareOptions({
      .options =
          {
              Option::Switch("a", kRadii),
              Option::Switch("c", kCharges),
              Option::Switch("p", kParse),
              Option::Word("r", reference_file_name_).Sets(kReference),
              Option::Word("o", output_file_name_).Sets(kOutput),
              Option::Files("i", inputs_, FileType::kAmberPrep).Sets(kInput),
          },
      .required = {kInput},
      .choose_one = kRadii | kCharges | kParse,
      .choice_message = "You have to make a choice from -a, -c, or -p.",
  });
}

CPbsaPrep::~CPbsaPrep() = default;

// The reference file is copied, line by line, to the head of the output;
// without an output it has no use, but a reference that cannot be read is
// still an error.
void CPbsaPrep::OpenFiles() {
  LineReader reference;
  if ((flags_ & kReference) && !reference.Open(reference_file_name_)) {
    Fatal("Can't open file: " + reference_file_name_);
  }
  if (reference.IsOpen()) reference.RequireText();
  if (!(flags_ & kOutput)) return;
  if (!output_.Open(output_file_name_)) Fatal("Can't open file: " + output_file_name_);
  std::string_view line;
  while (reference.IsOpen() && reference.ReadLine(line)) {
    output_.Write(line);
    output_.Write("\n");
  }
}

// Every residue of every file, in order: a library file gives one block per
// residue template. A residue that cannot be read is named in one line and
// passed over; the others are printed, and the command ends with status 1
// (an output file keeps what was printed). Charges and PARSE radii need no
// coordinates, so only the radius types refuse a residue whose Z-matrix
// places no atom.
void CPbsaPrep::Run() {
  tables_ = LoadPbsaTables();
  for (const RadiusTypeRow& row : tables_.radius_types) patterns_.emplace_back(row.pattern);
  OpenFiles();
  const bool to_file = (flags_ & kOutput) != 0;
  bool passed_over = false;
  for (std::unique_ptr<CDataFile>& input : inputs_) {
    CAmberPrepFile& templates = dynamic_cast<CAmberPrepFile&>(*input);
    std::string problem;
    while (templates.ReadOrPassOver((flags_ & kRadii) != 0, problem)) {
      if (!problem.empty()) {
        ErrLine(problem);
        passed_over = true;
        continue;
      }
      if (templates.GetNumberOfAtoms() <= 0 && templates.GetTitle().empty()) break;
      templates.SetFileFlag(kFileNoMerge);
      templates.CreateConnection();
      std::string& out = to_file ? output_.Buffer() : OutBuffer();
      out.push_back('\n');
      if (flags_ & kRadii) {
        WriteRadiusTypes(templates, out);
      } else if (flags_ & kCharges) {
        WriteCharges(templates, out);
      } else {
        WriteParseRadii(templates, out);
      }
      if (to_file) {
        output_.Commit();
      } else {
        OutCommit();
      }
    }
  }
  if (to_file) output_.Close();
  if (passed_over) {
    CommitOutputs();
    ExitWith(1);
  }
}

namespace {

// What the three tables print of each atom of a template.
struct TemplateAtom {
  std::string residue;
  std::string name;
  const std::string& type;
};

constexpr std::string_view kDummyType = "DU";

// The template's atoms that `print` takes (by position), with their names
// as written and the template's residue name.
template <typename Print, typename Write>
void ForEachAtom(CDataFile& record, Print&& print, Write&& write) {
  const std::vector<std::string>& types = record.GetAtomType();
  const std::vector<std::string>& names = record.GetAtomName();
  const std::vector<std::string>& residues = record.GetResidueName();
  const std::string residue = residues.empty() ? std::string() : residues.front();
  const size_t atoms = std::min(types.size(), names.size());
  for (size_t i = 0; i < atoms; ++i) {
    if (print(i)) write(i, TemplateAtom{residue, AmberNameAsWritten(names[i], types[i]), types[i]});
  }
}

// Radii and PARSE data have nothing to say of a dummy atom.
template <typename Write>
void ForEachAtom(CDataFile& record, Write&& write) {
  const std::vector<std::string>& types = record.GetAtomType();
  ForEachAtom(
      record, [&](size_t i) { return types[i] != kDummyType; }, write);
}

}  // namespace

int CPbsaPrep::RadiusType(CDataFile& record, int atom) const {
  for (size_t row = 0; row < patterns_.size(); ++row) {
    for (size_t k = 0; k < patterns_[row].AlternativeCount(); ++k) {
      if (patterns_[row].MatchAlternative(record.GetAtomType(), record.GetConnection(), atom, k)) {
        return tables_.radius_types[row].type;
      }
    }
  }
  return -1;
}

void CPbsaPrep::WriteRadiusTypes(CDataFile& record, std::string& out) const {
  const std::string title = record.GetTitle();
  if (!title.empty()) out.append("# ").append(title).push_back('\n');
  ForEachAtom(record, [&](size_t i, const TemplateAtom& atom) {
    AppendLeft(out, atom.residue, 5);
    AppendLeft(out, atom.name, 7);
    AppendInt(out, RadiusType(record, static_cast<int>(i)), 3);
    out.push_back('\n');
  });
}

// A template without charges (atom lines of ten fields, no CHARGE section)
// prints zeros, and says so. Every charged site is printed, so that the
// residue sums to its charge: the leading dummy atoms that place a template
// are not in the record, but a charged site typed DU (the M of a four-point
// water, an extra point of a type no table knows) is.
void CPbsaPrep::WriteCharges(CDataFile& record, std::string& out) const {
  const std::vector<double>& charges = record.GetCharge();
  const std::vector<std::string>& types = record.GetAtomType();
  bool missing = false;
  const auto charged = [&](size_t i) { return types[i] != kDummyType || (i < charges.size() && charges[i] != 0.0); };
  ForEachAtom(record, charged, [&](size_t i, const TemplateAtom& atom) {
    AppendLeft(out, atom.name, 6);
    AppendLeft(out, atom.residue, 7);
    missing = missing || i >= charges.size();
    AppendFixed(out, i < charges.size() ? charges[i] : 0.0, 9, 4);
    out.push_back('\n');
  });
  if (missing) {
    const std::vector<std::string>& residues = record.GetResidueName();
    Warn("Warning: " + record.GetInputFileName() + ": residue " + Printable(residues.empty() ? "" : residues.front()) +
         " has no charges; 0.0000 is printed for them.");
  }
}

void CPbsaPrep::WriteParseRadii(CDataFile& record, std::string& out) const {
  std::vector<std::string> undefined;
  ForEachAtom(record, [&](size_t, const TemplateAtom& atom) {
    const auto found = tables_.parse_radii.find(atom.type);
    if (found == tables_.parse_radii.end())
      undefined.push_back(atom.residue + " " + atom.name + " (" + atom.type + ")");
    AppendLeft(out, atom.name, 6);
    AppendLeft(out, std::string_view(atom.residue).substr(0, 3), 3);
    out.push_back(' ');
    AppendFixed(out, found == tables_.parse_radii.end() ? 0.0 : found->second, 0, 3);
    out.push_back('\n');
  });
  for (const std::string& text : undefined) Warn("Warning: " + Printable(text) + " is undefined.");
}

}  // namespace tarvex
