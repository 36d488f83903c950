#include "analyzers/get_dun.h"

#include "common/console.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "common/text.h"

namespace tarvex {
namespace {

constexpr AnalyzerTexts kTexts = {
    "0.24", "A", "Obtain distances, angles, and dihedrals in specified atoms.",
    " [-hv] [-m <...>] [-n <N>] [-k <N>] [-s <N>] [-f <...>] [-p parmfile] [-r reffile] "
    "[-rt reffile ref-type] -i datafile -it datafile data-type [-o outfile]",
    ""};

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h           : Help\n"
    "   -v           : Version\n"
    "   -m <...>     : Select atom numbers to measure distances, angles, or dihedrals\n"
    "   -n <number>  : Number of atoms\n"
    "   -k <number>  : Number of skip structures [1]\n"
    "   -s <number>  : Number of skip steps (NTWX) [1]\n"
    "   -f <flags...>: Set flags\n"
    "                :  DETAIL   ... show detail information\n"
    "                :  SHOWSTEP ... write number of skip steps to the output file\n"
    "                :  BOX      ... read BOX parameters for Amber CRD/RST files\n"
    "                :  TAB      ... set tab delimiter\n"
    "   -p parmfile  : Input parameter file\n"
    "   -r reffile   : Input reference file\n"
    "   -rt file type: Input reference file and file-type index\n"
    "   -i datafile  : Input data file\n"
    "   -it file type: Input data file and file-type index\n"
    "   -o outfile   : Output file (if no this option, use the standard output instead of outfile)\n"
    "\n"
    " Format for parameter file\n"
    "   01 : [atom1] [atom2]\n"
    "   02 :            .\n"
    "   03 :            .\n"
    "   04 :            .\n"
    "   05 : [atom1] [atom2] [atom3]\n"
    "   06 : [atom1] [atom2] [atom3] [atom4]\n"
    "   07 : [atom1] : [atom1] ... [atomN]\n"
    "\n"
    "  01: distance between atom1 and atom2\n"
    "  05: atom1 - atom2 - atom3 angle\n"
    "  06: atom1 - atom2 - atom3 - atom4 dihedral\n"
    "  07: distances between atom1 and atom2..N\n"
    "\n"
    "  The character # starts a comment, which terminates with the net new-line character.\n"
    "  In addition, empty lines are ignored.\n"
    "\n";

constexpr FlagWord kFlags[] = {
    {"DETAIL", CGetDun::kDetail},
    {"SHOWSTEP", CGetDun::kShowStep},
    {"BOX", CGetDun::kBox},
    {"TAB", CGetDun::kTab},
};

}  // namespace

CGetDun::CGetDun() = default;
CGetDun::~CGetDun() = default;

void CGetDun::Usage() { PrintUsage(kTexts); }
void CGetDun::Version() { PrintVersion(kTexts); }
void CGetDun::Help() { PrintHelp(kTexts, std::string(kHelpOptions) + FileTypeHelp(16)); }

void CGetDun::AddGroup(const std::vector<int>& atoms) {
  if (atoms.size() < 2 || atoms.size() > 4) Fatal("Error: numbers of selected atoms are 2, 3, or 4.");
  groups_.push_back(atoms);
}

// Records are made here with their default constructors; Run opens them.
// An unknown data type falls back to the Amber trajectory format, an unknown
// reference type to the Amber topology format.
bool CGetDun::ParseArguments(int argc, const char* const* argv) {
  BeginWalk(argc, argv);
  std::string cluster;
  while (NextCluster(cluster)) {
    for (size_t k = 1; k < cluster.size(); ++k) {
      const bool typed = k + 1 < cluster.size() && cluster[k + 1] == 't';
      switch (cluster[k]) {
        case 'h': Help();
        case 'v': Version();
        case 'm': {
          std::vector<int> atoms;
          for (const std::string& word : TakeList()) {
            int number = 0;
            if (!IsMadeOf(word, "") || ParseIntPrefix(word, number) == 0) Usage();
            atoms.push_back(number);
          }
          AddGroup(atoms);
          break;
        }
        case 'n':
          atom_count_ = TakeInt("-");
          flags_ |= kAtomCount;
          break;
        case 'k':
          skip_ = TakeInt("");
          if (skip_ <= 0) Usage();
          break;
        case 's': steps_ = TakeInt("-"); break;
        case 'f': TakeFlags(kFlags, flags_); break;
        case 'p':
          measurement_file_name_ = TakeWord();
          flags_ |= kMeasurementFile;
          break;
        case 'r': {
          if (typed) ++k;
          NamedFile file = TakeFile(typed);
          reference_file_name_ = file.name;
          reference_ = CreateReferenceRecord(file);
          flags_ |= kReference;
          break;
        }
        case 'i': {
          if (typed) ++k;
          NamedFile file = TakeFile(typed);
          data_file_name_ = file.name;
          data_ = CreateDataRecord(file);
          flags_ |= kDataFile;
          break;
        }
        case 'o':
          output_file_name_ = TakeWord();
          flags_ |= kOutput;
          break;
        default: Usage();
      }
    }
  }
  EndWalk(kDataFile);
  return true;
}

void CGetDun::Run() { Fatal("Error: the getdun analyzer is not available yet."); }

}  // namespace tarvex
