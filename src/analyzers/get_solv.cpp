#include "analyzers/get_solv.h"

#include "common/console.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "common/text.h"
#include "formats/pdb_file.h"

namespace tarvex {
namespace {

constexpr AnalyzerTexts kTexts = {
    "0.21", "C", "Extract solvent molecules within specified radius.",
    " [-hvm] [-a <...>] [-b <...>] [-r <radius>] [-x <...>] [-f <...>] -i infiles... -it infile "
    "infile-type... -o outfile",
    ""};

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h              : Help\n"
    "   -v              : Version\n"
    "   -a <...>        : Select atom numbers to extract solvent molecules\n"
    "   -b <...>        : Select residue numbers or names to extract solvent molecules\n"
    "   -r <radius>     : Set radius of the selected atoms or residues to extract solvent molecules [10.0]\n"
    "   -n <number>     : Set number of closest solvent molecules to the selected atoms within the radius [none]\n"
    "   -x <...>        : Set solvent names to extract [WAT HOH H2O]\n"
    "   -m              : Select solute molecule\n"
    "   -f <flags...>   : Set flags\n"
    "                   :  BOX ... read BOX parameters for Amber CRD/RST files\n"
    "   -i files...     : Input files\n"
    "   -it file type...: Input files and file-type indices\n"
    "   -o file         : Output PDB file\n"
    "\n";

constexpr FlagWord kFlags[] = {{"BOX", CGetSolv::kBox}};

}  // namespace

CGetSolv::CGetSolv() : molecule_(std::make_unique<CPdbFile>()), output_(std::make_unique<CPdbFile>()) {}
CGetSolv::~CGetSolv() = default;

void CGetSolv::Usage() { PrintUsage(kTexts); }
void CGetSolv::Version() { PrintVersion(kTexts); }
void CGetSolv::Help() { PrintHelp(kTexts, std::string(kHelpOptions) + FileTypeHelp(19, TargetNotes::kPlain)); }

bool CGetSolv::ParseArguments(int argc, const char* const* argv) {
  BeginWalk(argc, argv);
  std::string cluster;
  while (NextCluster(cluster)) {
    for (size_t k = 1; k < cluster.size(); ++k) {
      const bool typed = k + 1 < cluster.size() && cluster[k + 1] == 't';
      switch (cluster[k]) {
        case 'h': Help();
        case 'v': Version();
        case 'a':
          for (const std::string& word : TakeList()) {
            int number = 0;
            if (!IsMadeOf(word, "") || ParseIntPrefix(word, number) == 0) Usage();
            atoms_.push_back(number);
          }
          break;
        case 'b':
          for (const std::string& word : TakeList()) {
            int number = 0;
            if (IsMadeOf(word, "") && ParseIntPrefix(word, number) != 0) {
              residues_.push_back(number - 1);
            } else {
              residue_names_.push_back(ToUpper(word));
            }
          }
          break;
        case 'r': radius_ = TakeDouble("."); break;
        case 'n': closest_ = TakeInt(""); break;
        case 'x':
          solvent_names_.clear();
          for (const std::string& word : TakeList()) solvent_names_.push_back(ToUpper(word));
          break;
        case 'm': flags_ |= kSelectSolute; break;
        case 'f': TakeFlags(kFlags, flags_); break;
        case 'i': {
          if (typed) ++k;
          AppendInputFiles(TakeFiles(typed), "Warning: unknown input file format: ", NameInWarning::kFileName,
                           (flags_ & kBox) != 0, BoxInputs::kTrajectoriesAndRestarts, inputs_);
          if (!inputs_.empty()) flags_ |= kInput;
          break;
        }
        case 'o':
          output_->OpenOutput(TakeWord(), true);
          flags_ |= kOutput;
          break;
        default: Usage();
      }
    }
  }
  EndWalk(kInput | kOutput);
  return true;
}

void CGetSolv::Run() { Fatal("Error: the getsolv analyzer is not available yet."); }

}  // namespace tarvex
