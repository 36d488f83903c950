#include "analyzers/conf.h"

#include "common/console.h"
#include "common/exit.h"

namespace tarvex {
namespace {

constexpr AnalyzerTexts kTexts = {
    "0.03", "B", "Analyze conformations for peptides.",
    " [-hvwn] [-k <N>] [-f <...>] [-r reffile] [-rt reffile ref-type] -i datafile -it datafile data-type "
    "[-o outfile]",
    ""};

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

constexpr FlagWord kFlags[] = {{"DETAIL", CConf::kDetail}, {"BOX", CConf::kBox}, {"TAB", CConf::kTab}};

}  // namespace

CConf::CConf() = default;
CConf::~CConf() = default;

void CConf::Usage() { PrintUsage(kTexts); }
void CConf::Version() { PrintVersion(kTexts); }
void CConf::Help() { PrintHelp(kTexts, std::string(kHelpOptions) + FileTypeHelp(16)); }

// A skip count below 1 would never advance through the structures, so it is a
// usage error, as for getdun.
bool CConf::ParseArguments(int argc, const char* const* argv) {
  BeginWalk(argc, argv);
  std::string cluster;
  while (NextCluster(cluster)) {
    for (size_t k = 1; k < cluster.size(); ++k) {
      const bool typed = k + 1 < cluster.size() && cluster[k + 1] == 't';
      switch (cluster[k]) {
        case 'h': Help();
        case 'v': Version();
        case 'w': flags_ |= kRowStyle; break;
        case 'n': flags_ |= kNoTitle; break;
        case 'k':
          skip_ = TakeInt("");
          if (skip_ <= 0) Usage();
          break;
        case 'f': TakeFlags(kFlags, flags_); break;
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

void CConf::Run() { Fatal("Error: the conf analyzer is not available yet."); }

}  // namespace tarvex
