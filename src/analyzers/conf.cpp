#include "analyzers/conf.h"

#include "common/console.h"
#include "common/exit.h"

namespace tarvex {
namespace {

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h           : Help\n"
    "   -v           : Version\n"
    "   -w           : Set row style for plural structures\n"
    "   -n           : Set no title\n"
    "   -k <number>  : Number of skip structures [1]\n"
    "   -f <flags...>: Set flags\n"
    "                :  DETAIL   ... show detail information\n"
    "                :  BOX      ... read BOX parameters for Amber CRD/RST files\n"
    "                :  TAB      ... set tab delimiter\n"
    "   -r reffile   : Input reference file\n"
    "   -rt file type: Input reference file and file-type index\n"
    "   -i datafile  : Input data file\n"
    "   -it file type: Input data file and file-type index\n"
    "   -o outfile   : Output file (if no this option, use the standard output instead of outfile)\n"
    "\n";

constexpr AnalyzerTexts kTexts = {
    .version = "0.03",
    .revision = "B",
    .description = "Analyze conformations for peptides.",
    .usage_synopsis = " [-hvwn] [-k <N>] [-f <...>] [-r reffile] [-rt reffile ref-type] -i datafile -it datafile "
                      "data-type [-o outfile]",
    .help_options = kHelpOptions,
    .file_type_column = 16,
};

constexpr FlagWord kFlags[] = {{"DETAIL", CConf::kDetail}, {"BOX", CConf::kBox}, {"TAB", CConf::kTab}};

}  // namespace

// As for getdun, the records are made empty here and opened by Run, and a
// skip count below 1 (which would never advance through the structures) is a
// usage error.
CConf::CConf() : CAnalyzer(kTexts) {
  DeclareOptions({
      .options =
          {
              Option::Switch("w", kRowStyle),
              Option::Switch("n", kNoTitle),
              Option::Integer("k", skip_).Positive(),
              Option::Flags("f", kFlags),
              ReferenceFileOption(reference_, reference_file_name_).Sets(kReference),
              DataFileOption(data_, data_file_name_).Sets(kDataFile),
              Option::Word("o", output_file_name_).Sets(kOutput),
          },
      .required = {kDataFile},
  });
}

CConf::~CConf() = default;

void CConf::Run() { Fatal("Error: the conf analyzer is not available yet."); }

}  // namespace tarvex
