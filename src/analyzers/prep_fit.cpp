#include "analyzers/prep_fit.h"

#include "common/console.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "common/text.h"
#include "formats/amber_prep_file.h"
#include "formats/pdb_file.h"

namespace tarvex {
namespace {

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h            : Help\n"
    "   -v            : Version\n"
    "   -t <...>      : Select target residue numbers or names to adjust information\n"
    "   -x            : Fix form of the coordinates in the PDB file\n"
    "   -c            : Create bond information\n"
    "   -b            : Reserve bond information\n"
    "   -d            : Do not permit defective structures\n"
    "   -r            : Reverse order of atoms to match types\n"
    "   -a [<number>] : Rearrange atoms of target molecule to match types (<number> is number of start atom; "
    "default: 1)\n"
    "   -p file       : Input PREP file\n"
    "   -i file       : Input PDB file\n"
    "   -o file       : Output PDB file\n";

constexpr AnalyzerTexts kTexts = {
    .version = "0.15",
    .revision = "B",
    .description = "Adjust PDB information for the PREP data.",
    .usage_synopsis = " [-hvxcbdr] [-a [<N>]] [-t <...>] -p prep-file -i infile -o outfile",
    .help_options = kHelpOptions,
};

}  // namespace

// The template and the target are opened as they are named, the output for
// writing too. The start atom of -a is optional: only a following number
// word is taken.
CPrepfit::CPrepfit() : CAnalyzer(kTexts) {
  DeclareOptions({
      .options =
          {
              Option::NumbersOrNames("t", target_numbers_, target_names_),
              Option::Switch("x", kKeepPositions),
              Option::Switch("c", kCreateBonds),
              Option::Switch("b", kKeepBonds),
              Option::Switch("d", kNoRelaxed),
              Option::Switch("r", kReverse),
              Option::OptionalInteger("a", start_atom_).Sets(kRearrange),
              Option::File("p", template_, FileType::kAmberPrep, Opening::kInput).Sets(kTemplate),
              Option::File("i", target_, FileType::kPdb, Opening::kInput).Sets(kInput),
              Option::File("o", output_, FileType::kPdb, Opening::kOutputNow).Sets(kOutput),
          },
      .required = {kInput, kOutput, kTemplate},
  });
}

CPrepfit::~CPrepfit() = default;

void CPrepfit::Run() { Fatal("Error: the prepfit analyzer is not available yet."); }

}  // namespace tarvex
