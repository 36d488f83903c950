#include "analyzers/next_step.h"

#include "common/console.h"
#include "common/exit.h"
#include "formats/gaussian_out_file.h"

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
              Option::Real("q", frequency_, ".-"),
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

void CNextstep::Run() { Fatal("Error: the nextstep analyzer is not available yet."); }

}  // namespace tarvex
