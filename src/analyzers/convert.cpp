#include "analyzers/convert.h"

#include "common/console.h"
#include "common/exit.h"
#include "common/text.h"
#include "driver/selection.h"

namespace tarvex {
namespace {

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h              : Help\n"
    "   -v              : Version\n"
    "   -m <number>     : Number of required molecule [0]\n"
    "                   :  0  ... default behavior on each file format\n"
    "                   :  1  ... obtain first molecule\n"
    "                   :  N  ... obtain N-th molecule\n"
    "                   :  -1 ... obtain last molecule\n"
    "   -n <number>     : Number of atoms\n"
    "   -s <number>     : Set number of steps to output molecules [1]\n"
    "   -a              : Write all molecules\n"
    "   -c              : Create bond information\n"
    "   -e <number>     : Excluding atoms for least-squares fits [none] (ex. 125-630,800-920)\n"
    "   -f <flags...>   : Set flags\n"
    "                   :  BOX        ... read BOX parameters for Amber CRD/RST files\n"
    "                   :  BASE1      ... basement of array for output files is 1 (default: 0)\n"
    "                   :  STEP0      ... first molecule is written for -s (default: no writing)\n"
    "                   :  INT        ... write internal coordinates\n"
    "                   :  NO_MERGE   ... no inheritance of bond information from input files\n"
    "                   :  USE_VAR    ... write variables for Gaussian input file\n"
    "                   :  NO_ATOMNUM ... write no atom number for Gaussian input file\n"
    "                   :  STRICT     ... apply strict format for input files\n"
    "                   :  UPPER      ... apply uppercase format for output file\n"
    "                   :  NO_CONNECT ... write no bond information\n"
    "                   :  NO_TYPE    ... write no atom-type and bond-type information\n"
    "                   :  GOLD       ... assign MOL2 format according to the GOLD conventions\n"
    "                   :  MOL2_NAME  ... write MOL2 name instead of filename to MOL NAME field\n"
    "                   :  OVERWRITE  ... overwrite data of output molecule by input files in order\n"
    "                   :  FIT_ALL    ... select all atoms for least-squares fits\n"
    "                   :  FIT_HEAVY  ... select heavy atoms for least-squares fits\n"
    "   -r files...     : Reference files for least-squares fits or move center of balance to origin "
    "(when no -i/-it options)\n"
    "   -rt file type...: Reference files for least-squares fits and file-type indices\n"
    "   -ra <...>       : Select atoms for least-squares fits [all] (ex. C,CA,N,125-630,800-920)\n"
    "                   : <N>|<N-N>   ... A) selection of atom number <N> or between <N> and <N>\n"
    "                   : _<N>|_<N-N> ... B) excluding of atom number <N> or between <N> and <N>\n"
    "                   : <A>|_<A>    ... C) selection of atom name <A> or excluding of atom name <A>\n"
    "                   : set of A and B is intersection of selection (AND)\n"
    "                   : set of B and C is intersection of selection (AND)\n"
    "                   : set of A and C is union of selection (OR)\n"
    "                   : set of selection and excluding of atom names in C is union of selection (OR)\n"
    "                   : set of A, B, and C is union of selection (OR)\n"
    "   -i files...     : Input files\n"
    "   -it file type...: Input files and file-type indices\n"
    "   -o file         : Output file\n"
    "   -ot file type   : Output file and file-type index\n"
    "\n";

constexpr AnalyzerTexts kTexts = {
    .version = "0.70",
    .revision = "B",
    .description = "Convert molecular data file format.",
    .usage_synopsis = " [-hvac] [-m <N>] [-n <N>] [-s <N>] [-f <...>] [-r reffiles... -rt reffile reffile-type... "
                      "-ra <...>] -i infiles... -it infile infile-type... -o outfile -ot outfile outfile-type",
    .help_options = kHelpOptions,
    .file_type_column = 19,
    .target_notes = TargetNotes::kConvert,
};

constexpr FlagWord kFlags[] = {
    {"BOX", CConvert::kBox},           {"BASE1", CConvert::kBase1},
    {"STEP0", CConvert::kStep0},       {"INT", CConvert::kInt},
    {"NO_MERGE", CConvert::kNoMerge},  {"USE_VAR", CConvert::kUseVar},
    {"NO_ATOMNUM", CConvert::kNoAtomNumber}, {"STRICT", CConvert::kStrict},
    {"UPPER", CConvert::kUpper},       {"NO_CONNECT", CConvert::kNoConnect},
    {"NO_TYPE", CConvert::kNoType},    {"GOLD", CConvert::kGold},
    {"MOL2_NAME", CConvert::kMol2Name}, {"OVERWRITE", CConvert::kOverwrite},
    {"FIT_ALL", CConvert::kFitAll},    {"FIT_HEAVY", CConvert::kFitHeavy},
};

constexpr UnknownType kUnknownReference = {"Warning: unknown reference file format: "};
constexpr UnknownType kOutputFallback = {"Warning unknown output file format: ", NameInWarning::kFileName,
                                         FileType::kPdb, "Output file applies to the PDB format."};

}  // namespace

// Inputs and references are opened as they are named; the output is made
// empty and opened when it is written. "-e" is documented but is no option.
CConvert::CConvert() : CAnalyzer(kTexts) {
  DeclareOptions({
      .options =
          {
              Option::Integer("m", molecule_, "-"),
              Option::Integer("n", atom_count_, "-"),
              Option::Integer("s", step_, "-"),
              Option::Switch("a", kWriteAll),
              Option::Switch("c", kCreateBonds),
              Option::Flags("f", kFlags),
              Option::Selection("ra", fit_atoms_, fit_excluded_atoms_, fit_atom_names_),
              Option::Files("r", references_, kUnknownReference)
                  .Name(reference_file_name_)
                  .Box(kBox)
                  .Sets(kReferences),
              Option::Files("i", inputs_, kSkipUnknownInput).Name(input_file_name_).Box(kBox).Sets(kInput),
              Option::File("o", output_, kOutputFallback, Opening::kOutput).Name(output_file_name_).Sets(kOutput),
          },
      .required = {kInput | kReferences, kOutput},
  });
}

CConvert::~CConvert() = default;

void CConvert::Run() { Fatal("Error: the convert analyzer is not available yet."); }

}  // namespace tarvex
