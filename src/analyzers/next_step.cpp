#include "analyzers/next_step.h"

#include <cmath>
#include <optional>

#include "common/console.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "formats/gaussian_out_file.h"
#include "molecule/geometry.h"

namespace tarvex {
namespace {

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h           : Help\n"
    "   -v           : Version\n"
    "   -q <FQ>      : Value of FQ [900.0]\n"
    "   -k <KM>      : Valut of KM [0.1]\n"
    "   -c           : Create bond information\n"
    "   -f <flags...>: Set flags\n"
    "                :  INT     ... write internal coordinates\n"
    "                :  USE_VAR ... write variables for Gaussian input file\n"
    "   -i file      : Input file from Gaussian output data with frequencies\n"
    "   -o file      : Output file\n"
    "   -ot file type: Output file and file-type index\n";

constexpr AnalyzerTexts kTexts = {
    .version = "0.11",
    .revision = "B",
    .description = "Obtain initial coordinates for the IRC calculation.",
    .usage_synopsis = " [-hv] [-q <FQ>] [-k <KM>] [-f <...>] -i infile {-o outfile | -ot outfile outfile-type}",
    .help_options = kHelpOptions,
};

constexpr FlagWord kFlags[] = {{"INT", CNextstep::kInt}, {"USE_VAR", CNextstep::kUseVar}};

// The warning names the type as it was written.
constexpr UnknownType kOutputFallback = {"Warning unknown output file format: ", NameInWarning::kTypeAsGiven,
                                         FileType::kGaussianIn, "Output file applies to the Gaussian input format."};

}  // namespace

// The input is read as a Gaussian output whatever its name.
CNextstep::CNextstep() : CAnalyzer(kTexts) {
  DeclareOptions({
      .options =
          {
              Option::Real("q", frequency_, ".-").Sets(kFrequencyGiven),
              Option::Real("k", step_factor_, ".-"),
              Option::Switch("c", kCreateBonds),
              Option::Flags("f", kFlags),
              Option::File("i", input_, FileType::kGaussianOut, Opening::kInput).Sets(kInput),
              Option::File("o", output_, kOutputFallback, Opening::kOutput).Name(output_file_name_).Sets(kOutput),
          },
      .required = {kInput, kOutput},
  });
}

CNextstep::~CNextstep() = default;

namespace {

// The half-width of the zero-point vibration of a mode of n cm-1 is
// sqrt(33.7153 / n) (in amu^1/2 angstrom), and the step is KM of it.
// Frequencies below 1 cm-1 in magnitude have no such width.
double ZeroPointHalfWidth(double frequency) {
  const double n = std::trunc(std::abs(frequency));
  if (!(n >= 1.0)) {
    Fatal("Error: FQ must be 1 or more in magnitude (the frequency of the imaginary mode in cm-1).");
  }
  return std::sqrt(33.7153 / n);
}

// The step scales as 1 / sqrt(FQ): a default FQ far from the log's own
// imaginary frequency makes a step far from the one the mode calls for.
// More than 10% off (a -1131 cm-1 mode stepped with 900 goes 12% too far),
// one line says which FQ the step used.
constexpr double kStepTolerance = 0.10;

void CheckDefaultFrequency(const CDataFile& input, double used) {
  const auto* log = dynamic_cast<const CGaussianOutFile*>(&input);
  const std::optional<double> frequency = log ? log->FirstFrequency() : std::nullopt;
  if (!frequency || !(*frequency < 0.0)) return;
  const double ratio = std::sqrt(std::trunc(std::abs(*frequency)) / std::trunc(std::abs(used)));
  if (std::abs(ratio - 1.0) <= kStepTolerance) return;
  Warn("Warning: the step uses FQ " + FormatFixed(used, 0, 1) +
       " (no -q): " + FormatFixed(std::abs(ratio - 1.0) * 100.0, 0, 0) + "% " + (ratio > 1.0 ? "longer" : "shorter") +
       " than the imaginary frequency of " + input.GetInputFileName() + ", " + FormatFixed(*frequency, 0, 2) +
       " cm-1, calls for.");
}

}  // namespace

// The last structure of the frequency job moves along its first normal mode
// by RStep and is written. The modes are printed in the standard orientation
// when the job printed one: that geometry is the one displaced.
void CNextstep::Run() {
  if (flags_ & kInt) output_->SetFileFlag(kFileInternal);
  if (flags_ & kUseVar) output_->SetFileFlag(kFileUseVar);
  if (flags_ & kCreateBonds) output_->SetFileFlag(kFileCreateBonds);
  const double half_width = ZeroPointHalfWidth(frequency_);
  input_->Read(-1);
  const Frame& mode = input_->GetForce();
  if (mode.empty()) Fatal("Error: no force data.");
  if (!(flags_ & kFrequencyGiven)) CheckDefaultFrequency(*input_, frequency_);
  Frame coordinates = input_->GetCartesian();
  if (const auto* log = dynamic_cast<const CGaussianOutFile*>(input_.get()); log && !log->ModeGeometry().empty()) {
    if (log->ModesInStandardOrientation()) {
      Warn(
          "Warning: the normal modes are given in the standard orientation; the structure is displaced in that "
          "orientation.");
    }
    coordinates = log->ModeGeometry();
  }
  const size_t atoms = static_cast<size_t>(std::max(input_->GetNumberOfAtoms(), 0));
  if (coordinates.size() != atoms || mode.size() != atoms) {
    Fatal("Error: the normal mode moves " + std::to_string(mode.size()) + " atoms, the structure has " +
          std::to_string(coordinates.size()) + ".");
  }
  frequency_ = half_width;
  const double step = step_factor_ * half_width;
  OutLine("ZERO-POINT VIB half-width = " + FormatFixed(half_width, 10, 6));
  OutLine("KM    = " + FormatFixed(step_factor_, 10, 6));
  OutLine("RStep = " + FormatFixed(step, 10, 6));
  for (size_t i = 0; i < atoms; ++i) coordinates[i] = Plus(coordinates[i], Scaled(mode[i], step));
  output_->OpenOutput(output_file_name_, true);
  output_->CopyState(*input_);
  output_->SetCartesian(coordinates);
  // The log's Z-matrix echo is the input geometry, not the displaced one.
  output_->GetInternal().clear();
  output_->GetInternalReference().clear();
  output_->Write();
}

}  // namespace tarvex
