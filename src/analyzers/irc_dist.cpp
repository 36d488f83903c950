#include "analyzers/irc_dist.h"

#include "common/console.h"
#include "common/exit.h"

namespace tarvex {
namespace {

constexpr AnalyzerTexts kTexts = {
    "0.12", "A", "Calculate IRC distances.",
    " [-hvalr] [-m <energy>] [-f <...>] {-ii | -ia | -if | -il} infiles... {-iit | -iat | -ift | -ilt} "
    "infile infile-type...",
    ""};

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

constexpr FlagWord kFlags[] = {
    {"FIRST", CIrcdist::kFirst}, {"SECOND", CIrcdist::kSecond},
    {"WHOLE", CIrcdist::kWhole}, {"EACH", CIrcdist::kEach},
    {"ALL", CIrcdist::kWhole | CIrcdist::kEach}, {"NO_ENE", CIrcdist::kNoEnergy},
};

}  // namespace

CIrcdist::CIrcdist() { flags_ = kFirst | kWhole; }
CIrcdist::~CIrcdist() = default;

void CIrcdist::Usage() { PrintUsage(kTexts); }
void CIrcdist::Version() { PrintVersion(kTexts); }
void CIrcdist::Help() { PrintHelp(kTexts, std::string(kHelpOptions) + FileTypeHelp(20)); }

bool CIrcdist::ParseArguments(int argc, const char* const* argv) {
  BeginWalk(argc, argv);
  std::string cluster;
  while (NextCluster(cluster)) {
    for (size_t k = 1; k < cluster.size(); ++k) {
      switch (cluster[k]) {
        case 'h': Help();
        case 'v': Version();
        case 's': flags_ |= kSkipFirst; break;
        case 'l': flags_ |= kDetail; break;
        case 'r': flags_ |= kReverse; break;
        case 'm': reference_energy_ = TakeDouble(".-"); break;
        case 'f': TakeFlags(kFlags, flags_); break;
        case 'i': {
          // The letter after "i" chooses the structures: IRC points, all,
          // first or last; a trailing "t" gives each file its type keyword.
          Mode mode;
          switch (k + 1 < cluster.size() ? cluster[k + 1] : '\0') {
            case 'i': mode = Mode::kIrc; break;
            case 'a': mode = Mode::kAll; break;
            case 'f': mode = Mode::kFirst; break;
            case 'l': mode = Mode::kLast; break;
            default: Fatal("Error: specify to select structures; all, first, or last.");
          }
          ++k;
          const bool typed = k + 1 < cluster.size() && cluster[k + 1] == 't';
          if (typed) ++k;
          std::vector<std::unique_ptr<CDataFile>> opened;
          AppendInputFiles(TakeFiles(typed), "Warning: unknown input file format: ", NameInWarning::kFileName, false,
                           BoxInputs::kRestartsOnly, opened);
          for (std::unique_ptr<CDataFile>& file : opened) inputs_.push_back({std::move(file), mode});
          if (!inputs_.empty()) flags_ |= kInput;
          break;
        }
        default: Usage();
      }
    }
  }
  EndWalk(kInput);
  return true;
}

void CIrcdist::Run() { Fatal("Error: the ircdist analyzer is not available yet."); }

}  // namespace tarvex
