#include "analyzers/irc_dist.h"

#include "common/console.h"
#include "common/exit.h"

namespace tarvex {
namespace {

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h               : Help\n"
    "   -v               : Version\n"
    "   -s               : Skip first structure in the IRC data files\n"
    "   -l               : Print detail information\n"
    "   -r               : Reverse IRC distances\n"
    "   -m <energy>      : substract <energy> from each energy\n"
    "   -f <flags...>    : Set flags\n"
    "                    :  FIRST  ... apply first algorithm\n"
    "                    :  SECOND ... apply second algorithm\n"
    "                    :  WHOLE  ... print whole IRC distances\n"
    "                    :  EACH   ... print each IRC distance\n"
    "                    :  ALL    ... print both WHOLE/EACH flags\n"
    "                    :  NO_ENE ... print no energies\n"
    "   -ii files...     : Input files for IRC structures\n"
    "   -ia files...     : Input files for all structures\n"
    "   -if files...     : Input files for first structure\n"
    "   -il files...     : Input files for last structure\n"
    "   -iit file type...: Input files and file-type indices for all structures\n"
    "   -iat file type...: Input files and file-type indices for all structures\n"
    "   -ift file type...: Input files and file-type indices for first structure\n"
    "   -ilt file type...: Input files and file-type indices for last structure\n"
    "\n";

constexpr AnalyzerTexts kTexts = {
    .version = "0.12",
    .revision = "A",
    .description = "Calculate IRC distances.",
    .usage_synopsis = " [-hvalr] [-m <energy>] [-f <...>] {-ii | -ia | -if | -il} infiles... {-iit | -iat | -ift | "
                      "-ilt} infile infile-type...",
    .help_options = kHelpOptions,
    .file_type_column = 20,
};

constexpr FlagWord kFlags[] = {
    {"FIRST", CIrcdist::kFirst}, {"SECOND", CIrcdist::kSecond},
    {"WHOLE", CIrcdist::kWhole}, {"EACH", CIrcdist::kEach},
    {"ALL", CIrcdist::kWhole | CIrcdist::kEach}, {"NO_ENE", CIrcdist::kNoEnergy},
};

}  // namespace

// The letter after "i" chooses the structures of the files named: IRC
// points, all, first or last; a trailing "t" gives each file its type
// keyword.
CIrcdist::CIrcdist() : CAnalyzer(kTexts) {
  flags_ = kFirst | kWhole;
  auto files = [this](std::string_view letters, Mode mode) {
    return Option::Files(
               letters, [this, mode](std::unique_ptr<CDataFile> file) { inputs_.push_back({std::move(file), mode}); },
               kSkipUnknownInput)
        .Sets(kInput);
  };
  DeclareOptions({
      .options =
          {
              Option::Switch("s", kSkipFirst),
              Option::Switch("l", kDetail),
              Option::Switch("r", kReverse),
              Option::Real("m", reference_energy_, ".-"),
              Option::Flags("f", kFlags),
              files("ii", Mode::kIrc),
              files("ia", Mode::kAll),
              files("if", Mode::kFirst),
              files("il", Mode::kLast),
              Option::Act("i", [] { Fatal("Error: specify to select structures; all, first, or last."); }),
          },
      .required = {kInput},
  });
}

CIrcdist::~CIrcdist() = default;

void CIrcdist::Run() { Fatal("Error: the ircdist analyzer is not available yet."); }

}  // namespace tarvex
