#include "analyzers/pbsa_prep.h"

#include "common/console.h"
#include "common/exit.h"
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

void CPbsaPrep::Run() { Fatal("Error: the pbsaprep analyzer is not available yet."); }

}  // namespace tarvex
