#include "analyzers/next_step.h"

#include "common/console.h"
#include "common/exit.h"
#include "formats/gaussian_out_file.h"

namespace tarvex {
namespace {

constexpr AnalyzerTexts kTexts = {
    "0.11", "B", "Obtain initial coordinates for the IRC calculation.",
    " [-hv] [-q <FQ>] [-k <KM>] [-f <...>] -i infile {-o outfile | -ot outfile outfile-type}", ""};

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h           : Help\n"
    "   -v           : Version\n"
    "   -q <FQ>      : Value of FQ [900.0]\n"
    "   -k <KM>      : Valut of KM [0.1]\n"
    "   -c           : Create bond information\n"
    "   -f <flags...>: Set flags\n"
    "                :  INT     ... write internal coordinates\n"
    "                :  USE_VAR ... write variables for Gaussian input file\n"
    "   -i file      : Input file from Gaussian output data with frequencies\n"
    "   -o file      : Output file\n"
    "   -ot file type: Output file and file-type index\n";

constexpr FlagWord kFlags[] = {{"INT", CNextstep::kInt}, {"USE_VAR", CNextstep::kUseVar}};

}  // namespace

CNextstep::CNextstep() = default;
CNextstep::~CNextstep() = default;

void CNextstep::Usage() { PrintUsage(kTexts); }
void CNextstep::Version() { PrintVersion(kTexts); }
void CNextstep::Help() { PrintHelp(kTexts, kHelpOptions); }

bool CNextstep::ParseArguments(int argc, const char* const* argv) {
  BeginWalk(argc, argv);
  std::string cluster;
  while (NextCluster(cluster)) {
    for (size_t k = 1; k < cluster.size(); ++k) {
      const bool typed = k + 1 < cluster.size() && cluster[k + 1] == 't';
      switch (cluster[k]) {
        case 'h': Help();
        case 'v': Version();
        case 'q': frequency_ = TakeDouble(".-"); break;
        case 'k': step_factor_ = TakeDouble(".-"); break;
        case 'c': flags_ |= kCreateBonds; break;
        case 'f': TakeFlags(kFlags, flags_); break;
        case 'i':
          input_ = std::make_unique<CGaussianOutFile>(TakeWord());
          flags_ |= kInput;
          break;
        case 'o': {
          if (typed) ++k;
          NamedFile file = TakeFile(typed);
          if (file.type == FileType::kUnknown) {
            ErrLine("Warning unknown output file format: " + file.type_text);
            ErrLine("Output file applies to the Gaussian input format.");
            file.type = FileType::kGaussianIn;
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
  EndWalk(kInput | kOutput);
  return true;
}

void CNextstep::Run() { Fatal("Error: the nextstep analyzer is not available yet."); }

}  // namespace tarvex
