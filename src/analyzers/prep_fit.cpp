#include "analyzers/prep_fit.h"

#include "common/console.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "common/text.h"
#include "formats/amber_prep_file.h"
#include "formats/pdb_file.h"

namespace tarvex {
namespace {

constexpr AnalyzerTexts kTexts = {"0.15", "B", "Adjust PDB information for the PREP data.",
                                  " [-hvxcbdr] [-a [<N>]] [-t <...>] -p prep-file -i infile -o outfile", ""};

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

}  // namespace

CPrepfit::CPrepfit() = default;
CPrepfit::~CPrepfit() = default;

void CPrepfit::Usage() { PrintUsage(kTexts); }
void CPrepfit::Version() { PrintVersion(kTexts); }
void CPrepfit::Help() { PrintHelp(kTexts, kHelpOptions); }

bool CPrepfit::ParseArguments(int argc, const char* const* argv) {
  BeginWalk(argc, argv);
  std::string cluster;
  while (NextCluster(cluster)) {
    for (size_t k = 1; k < cluster.size(); ++k) {
      switch (cluster[k]) {
        case 'h': Help();
        case 'v': Version();
        case 't':
          for (const std::string& word : TakeList()) {
            int number = 0;
            if (IsMadeOf(word, "") && ParseIntPrefix(word, number) != 0) {
              target_numbers_.push_back(number);
            } else {
              target_names_.push_back(ToUpper(word));
            }
          }
          break;
        case 'x': flags_ |= kKeepPositions; break;
        case 'c': flags_ |= kCreateBonds; break;
        case 'b': flags_ |= kKeepBonds; break;
        case 'd': flags_ |= kNoRelaxed; break;
        case 'r': flags_ |= kReverse; break;
        case 'a': {
          // The start atom is optional: only a following number word is taken.
          flags_ |= kRearrange;
          std::string word;
          int number = 0;
          if (PeekWord(word) && IsMadeOf(word, "-") && ParseIntPrefix(word, number) != 0) {
            start_atom_ = number;
            TakeWord();
          }
          break;
        }
        case 'p':
          template_ = std::make_unique<CAmberPrepFile>();
          template_->OpenInput(TakeWord());
          flags_ |= kTemplate;
          break;
        case 'i':
          target_ = std::make_unique<CPdbFile>();
          target_->OpenInput(TakeWord());
          flags_ |= kInput;
          break;
        case 'o':
          output_ = std::make_unique<CPdbFile>();
          output_->OpenOutput(TakeWord(), true);
          flags_ |= kOutput;
          break;
        default: Usage();
      }
    }
  }
  EndWalk(kInput | kOutput | kTemplate);
  return true;
}

void CPrepfit::Run() { Fatal("Error: the prepfit analyzer is not available yet."); }

}  // namespace tarvex
