#include "analyzers/midmol.h"

#include "common/console.h"
#include "common/exit.h"
#include "formats/pdb_file.h"

namespace tarvex {
namespace {

constexpr AnalyzerTexts kTexts = {"0.06", "A",
                                  "Find the nearest and farthest atoms from the center of molecule.",
                                  " [-hvbx] -i infiles... -it infile infile-type...", ""};

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h              : Help\n"
    "   -v              : Version\n"
    "   -b              : Apply center of balance (default: center of coordinates)\n"
    "   -x              : Read BOX parameters for Amber CRD/RST files\n"
    "   -i files...     : Input files\n"
    "   -it file type...: Input files and file-type indices\n";

}  // namespace

CMidmol::CMidmol() : collector_(std::make_unique<CPdbFile>()) { flags_ = kCenterOfCoordinates; }
CMidmol::~CMidmol() = default;

void CMidmol::Usage() { PrintUsage(kTexts); }
void CMidmol::Version() { PrintVersion(kTexts); }
void CMidmol::Help() { PrintHelp(kTexts, kHelpOptions); }

// Every input is opened as soon as it is named. -x gives the box bit to the
// restart files named after it (trajectories never get it here).
bool CMidmol::ParseArguments(int argc, const char* const* argv) {
  BeginWalk(argc, argv);
  std::string cluster;
  while (NextCluster(cluster)) {
    for (size_t k = 1; k < cluster.size(); ++k) {
      const bool typed = k + 1 < cluster.size() && cluster[k + 1] == 't';
      switch (cluster[k]) {
        case 'h': Help();
        case 'v': Version();
        case 'b':
          flags_ &= ~kCenterOfCoordinates;
          flags_ |= kCenterOfBalance;
          break;
        case 'x': flags_ |= kBox; break;
        case 'i': {
          if (typed) ++k;
          AppendInputFiles(TakeFiles(typed), "Warning: unknown input file format: ", NameInWarning::kFileName,
                           (flags_ & kBox) != 0, BoxInputs::kRestartsOnly, inputs_);
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

void CMidmol::Run() { Fatal("Error: the midmol analyzer is not available yet."); }

}  // namespace tarvex
