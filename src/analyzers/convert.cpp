#include "analyzers/convert.h"

#include "common/console.h"
#include "common/exit.h"
#include "common/text.h"
#include "driver/selection.h"

namespace tarvex {
namespace {

constexpr AnalyzerTexts kTexts = {
    "0.70", "B", "Convert molecular data file format.",
    " [-hvac] [-m <N>] [-n <N>] [-s <N>] [-f <...>] [-r reffiles... -rt reffile reffile-type... -ra <...>] "
    "-i infiles... -it infile infile-type... -o outfile -ot outfile outfile-type",
    ""};

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

}  // namespace

CConvert::CConvert() = default;
CConvert::~CConvert() = default;

void CConvert::Usage() { PrintUsage(kTexts); }
void CConvert::Version() { PrintVersion(kTexts); }
void CConvert::Help() { PrintHelp(kTexts, std::string(kHelpOptions) + FileTypeHelp(19, TargetNotes::kConvert)); }

void CConvert::AddFiles(const std::vector<NamedFile>& files, std::vector<std::unique_ptr<CDataFile>>& into,
                        std::string& last_name, const char* unknown_warning) {
  if (!files.empty()) last_name = files.back().name;
  AppendInputFiles(files, unknown_warning, NameInWarning::kFileName, (flags_ & kBox) != 0,
                   BoxInputs::kTrajectoriesAndRestarts, into);
}

bool CConvert::ParseArguments(int argc, const char* const* argv) {
  BeginWalk(argc, argv);
  std::string cluster;
  while (NextCluster(cluster)) {
    for (size_t k = 1; k < cluster.size(); ++k) {
      const bool typed = k + 1 < cluster.size() && cluster[k + 1] == 't';
      switch (cluster[k]) {
        case 'h': Help();
        case 'v': Version();
        case 'm': molecule_ = TakeInt("-"); break;
        case 'n': atom_count_ = TakeInt("-"); break;
        case 's': step_ = TakeInt("-"); break;
        case 'a': flags_ |= kWriteAll; break;
        case 'c': flags_ |= kCreateBonds; break;
        case 'f': TakeFlags(kFlags, flags_); break;
        case 'r': {
          if (k + 1 < cluster.size() && cluster[k + 1] == 'a') {
            ++k;
            if (!NextIsValue()) Usage();
            std::string word = TakeWord();
            for (char c : word) {
              if (!IsAlpha(c) && !IsDigit(c) && c != '-' && c != ',' && c != '_') Usage();
            }
            fit_atoms_ = ParseSelectionNumbers(word, true);
            fit_excluded_atoms_ = ParseSelectionNumbers(word, false);
            fit_atom_names_ = ParseSelectionNames(word);
            break;
          }
          if (typed) ++k;
          AddFiles(TakeFiles(typed), references_, reference_file_name_,
                   "Warning: unknown reference file format: ");
          if (!references_.empty()) flags_ |= kReferences;
          break;
        }
        case 'i':
          if (typed) ++k;
          AddFiles(TakeFiles(typed), inputs_, input_file_name_, "Warning: unknown input file format: ");
          if (!inputs_.empty()) flags_ |= kInput;
          break;
        case 'o': {
          if (typed) ++k;
          NamedFile file = TakeFile(typed);
          if (file.type == FileType::kUnknown) {
            ErrLine("Warning unknown output file format: " + file.name);
            ErrLine("Output file applies to the PDB format.");
            file.type = FileType::kPdb;
          }
          output_file_name_ = file.name;
          output_ = CreateOutputFile(file.type);
          flags_ |= kOutput;
          break;
        }
        default: Usage();
      }
    }
  }
  if (MoreWords() || !(flags_ & (kInput | kReferences)) || !(flags_ & kOutput)) Usage();
  return true;
}

void CConvert::Run() { Fatal("Error: the convert analyzer is not available yet."); }

}  // namespace tarvex
