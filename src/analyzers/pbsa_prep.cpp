#include "analyzers/pbsa_prep.h"

#include "common/console.h"
#include "common/exit.h"
#include "formats/amber_prep_file.h"

namespace tarvex {
namespace {

constexpr AnalyzerTexts kTexts = {"0.09", "A", "Generate parameters for the MM/PBSA from the PREP data.",
                                  " [-hv] [-a | -c | -p] [-r ref-file] -i prep-files... [-o outfile]", ""};

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

}  // namespace

CPbsaPrep::CPbsaPrep() = default;
CPbsaPrep::~CPbsaPrep() = default;

void CPbsaPrep::Usage() { PrintUsage(kTexts); }
void CPbsaPrep::Version() { PrintVersion(kTexts); }
void CPbsaPrep::Help() { PrintHelp(kTexts, kHelpOptions); }

bool CPbsaPrep::ParseArguments(int argc, const char* const* argv) {
  BeginWalk(argc, argv);
  std::string cluster;
  while (NextCluster(cluster)) {
    for (size_t k = 1; k < cluster.size(); ++k) {
      switch (cluster[k]) {
        case 'h': Help();
        case 'v': Version();
        case 'a': flags_ |= kRadii; break;
        case 'c': flags_ |= kCharges; break;
        case 'p': flags_ |= kParse; break;
        case 'r':
          reference_file_name_ = TakeWord();
          flags_ |= kReference;
          break;
        case 'o':
          output_file_name_ = TakeWord();
          flags_ |= kOutput;
          break;
        case 'i':
          for (const std::string& name : TakeList()) {
            inputs_.push_back(std::make_unique<CAmberPrepFile>(name));
            flags_ |= kInput;
          }
          break;
        default: Usage();
      }
    }
  }
  EndWalk(kInput);
  int choices = ((flags_ & kRadii) ? 1 : 0) + ((flags_ & kCharges) ? 1 : 0) + ((flags_ & kParse) ? 1 : 0);
  if (choices != 1) Fatal("You have to make a choice from -a, -c, or -p.");
  return true;
}

void CPbsaPrep::Run() { Fatal("Error: the pbsaprep analyzer is not available yet."); }

}  // namespace tarvex
