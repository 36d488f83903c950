#include "analyzers/charge.h"

#include "common/console.h"
#include "common/exit.h"

namespace tarvex {
namespace {

constexpr AnalyzerTexts kTexts = {"0.15", "A", "Guess net charge and its breakdown.",
                                  " [-hvd] -i files... -it files file-types...",
                                  " [-hvd] -i files... -it file file-type..."};

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

constexpr FlagWord kFlags[] = {{"BOX", CCharge::kBox}};

}  // namespace

CCharge::CCharge() = default;
CCharge::~CCharge() = default;

void CCharge::Usage() { PrintUsage(kTexts); }
void CCharge::Version() { PrintVersion(kTexts); }
void CCharge::Help() { PrintHelp(kTexts, std::string(kHelpOptions) + FileTypeHelp(19)); }

// The help documents "-f BOX", so it is accepted: like getsolv's, it gives
// the box bit to the trajectory and restart files named after it.
bool CCharge::ParseArguments(int argc, const char* const* argv) {
  BeginWalk(argc, argv);
  std::string cluster;
  while (NextCluster(cluster)) {
    for (size_t k = 1; k < cluster.size(); ++k) {
      const bool typed = k + 1 < cluster.size() && cluster[k + 1] == 't';
      switch (cluster[k]) {
        case 'h': Help();
        case 'v': Version();
        case 'd': flags_ |= kDetail; break;
        case 'f': TakeFlags(kFlags, flags_); break;
        case 'i': {
          if (typed) ++k;
          std::vector<NamedFile> files = TakeFiles(typed);
          if (!files.empty()) last_input_name_ = files.back().name;
          AppendInputFiles(files, "Warning: unknown input file format: ", NameInWarning::kType, (flags_ & kBox) != 0,
                           BoxInputs::kTrajectoriesAndRestarts, inputs_);
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

void CCharge::Run() { Fatal("Error: the charge analyzer is not available yet."); }

}  // namespace tarvex
