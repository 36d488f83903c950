#include "analyzers/charge.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "chemistry/lewis/net_charge.h"
#include "common/console.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "formats/mol2_file.h"

namespace tarvex {
namespace {

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h              : Help\n"
    "   -v              : Version\n"
    "   -d              : Write detail breakdown of net charge\n"
    "   -f <flags...>   : Set flags\n"
    "                   :  BOX ... read BOX parameters for Amber CRD/RST files\n"
    "   -i files...     : Input files\n"
    "   -it file type...: Input files and file-type indices\n"
    "\n";

constexpr AnalyzerTexts kTexts = {
    .version = "0.15",
    .revision = "A",
    .description = "Guess net charge and its breakdown.",
    .usage_synopsis = " [-hvd] -i files... -it files file-types...",
    .help_synopsis = " [-hvd] -i files... -it file file-type...",
    .help_options = kHelpOptions,
    .file_type_column = 19,
};

constexpr FlagWord kFlags[] = {{"BOX", CCharge::kBox}};

// Unlike the other analyzers, charge names the type of a skipped file.
constexpr UnknownType kUnknownInput = {"Warning: unknown input file format: ", NameInWarning::kUpperType};

// Partial charges that a file gives its atoms (a MOL2 file's force-field or
// Gasteiger charges, a topology's, a PREP template's) sum to the molecule's
// net charge, within what their rounding leaves; where that sum is near a
// whole number and the formal charges perceived come to another, one line
// says so: the file itself shows that the reading is off.
constexpr double kWholeChargeTolerance = 0.1;

void CompareWithPartialCharges(CDataFile& molecule, long long net) {
  const std::vector<double>& partial = molecule.GetCharge();
  if (partial.empty() || static_cast<int>(partial.size()) != molecule.GetNumberOfAtoms()) return;
  // A charge column of zeros (Open Babel's, a template's placeholders)
  // states nothing.
  if (std::all_of(partial.begin(), partial.end(), [](double q) { return q == 0.0; })) return;
  const double sum = std::accumulate(partial.begin(), partial.end(), 0.0);
  const double whole = std::round(sum);
  if (!(std::fabs(sum - whole) <= kWholeChargeTolerance) || static_cast<long long>(whole) == net) return;
  Warn("Warning: the formal charges sum to " + std::to_string(net) + ", but the partial charges of the input sum to " +
       std::to_string(static_cast<long long>(whole)) + ".");
}

}  // namespace

// The help documents "-f BOX", so it is accepted: like getsolv's, it gives
// the box bit to the trajectory and restart files named after it.
CCharge::CCharge() : CAnalyzer(kTexts) {
  DeclareOptions({
      .options =
          {
              Option::Switch("d", kDetail),
              Option::Flags("f", kFlags),
              Option::Files("i", inputs_, kUnknownInput).Name(last_input_name_).Box(kBox).Sets(kInput),
          },
      .required = {kInput},
  });
}

CCharge::~CCharge() = default;

// The inputs are gathered into one record (a topology lends names and types
// to a coordinate file), bonds are perceived from the coordinates, then bond
// orders and formal charges; the net charge is their sum.
void CCharge::Run() {
  // The warnings name the inputs whose atoms were read, not files skipped as
  // of unknown type.
  const std::string input_names = InputNames(inputs_);
  std::unique_ptr<CDataFile> gathered = std::make_unique<CMol2File>();
  gathered->SetFileFlag(kFileNoMerge | kFileCreateBonds);
  MergeInputFiles(inputs_, gathered);
  CDataFile& molecule = *gathered;
  if (molecule.GetNumberOfAtoms() <= 0) Fatal("Error: no atoms were read from the input files.");
  // Never opened: the name only tells the warnings which file they are about.
  molecule.OpenOutput(input_names.empty() ? last_input_name_ : input_names, false);
  // Bonds are perceived from the coordinates; those the files state (CONECT
  // records, MOL2 bonds) are kept beside them (stated_bonds.h).
  const long long net = PerceiveNetCharge(molecule);

  const int n = std::max(molecule.GetNumberOfAtoms(), 0);
  const std::vector<int>& charges = molecule.GetFormalCharges();
  const std::vector<std::string>& names = molecule.GetAtomName();
  const std::vector<std::string>& types = molecule.GetAtomType();
  std::string& out = OutBuffer();
  for (int i = 0; i < n; ++i) {
    const int charge = static_cast<size_t>(i) < charges.size() ? charges[i] : 0;
    if (!(flags_ & kDetail)) continue;
    const size_t k = static_cast<size_t>(i);
    AppendInt(out, molecule.IndexToAtomNumber(i), 7);
    out.push_back(' ');
    AppendLeft(out, k < names.size() ? std::string_view(names[k]) : std::string_view(), 8);
    out.push_back(' ');
    AppendLeft(out, k < types.size() ? std::string_view(types[k]) : std::string_view(), 4);
    out.push_back(' ');
    AppendInt(out, charge, 3);
    out.push_back('\n');
    OutCommit();
  }
  if (flags_ & kDetail) out.push_back('\n');
  CompareWithPartialCharges(molecule, net);
  out.append("Net charge: ");
  AppendInt(out, net, 3);
  out.push_back('\n');
  OutCommit();
}

}  // namespace tarvex
