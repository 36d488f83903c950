#include "driver/driver.h"

#include <cstdlib>
#include <new>

#include "analyzers/charge.h"
#include "analyzers/conf.h"
#include "analyzers/convert.h"
#include "analyzers/get_dun.h"
#include "analyzers/get_solv.h"
#include "analyzers/irc_dist.h"
#include "analyzers/midmol.h"
#include "analyzers/next_step.h"
#include "analyzers/pbsa_prep.h"
#include "analyzers/prep_fit.h"
#include "common/console.h"
#include "common/exit.h"
#include "common/output_file.h"
#include "common/run_settings.h"
#include "common/version.h"
#include "driver/options.h"

namespace tarvex {
namespace {

template <typename T>
std::unique_ptr<CAnalyzer> Make() {
  return std::make_unique<T>();
}

constexpr std::string_view kProgramDescription =
    " Analysis utility for molecular dynamics & molecular orbital calculations.";
constexpr std::string_view kProgramSynopsis = " [-hv] [-f file] analyzer-name [options...]";

std::string ProgramHead() {
  const std::string& prog = Settings().program_name;
  return prog + "  version " + std::string(kProgramVersion) + "\n" + std::string(kNoticeLine) + "\n\n" +
         std::string(kProgramDescription) + "\n\n";
}

}  // namespace

const std::vector<AnalyzerEntry>& AnalyzerTable() {
  static const std::vector<AnalyzerEntry> table = {
      {"getdun", "Obtain distances, angles, and dihedrals in specified atoms.", Make<CGetDun>},
      {"midmol", "Obtain the center of molecule and its nearest/farthest atoms.", Make<CMidmol>},
      {"getsolv", "Extract solvent molecules within specified radius.", Make<CGetSolv>},
      {"convert", "Convert molecule data file format.", Make<CConvert>},
      {"nextstep", "Obtain initial coordinates for the IRC calculation.", Make<CNextstep>},
      {"ircdist", "Calculate IRC distances.", Make<CIrcdist>},
      {"prepfit", "Adjust PDB information for the PREP data.", Make<CPrepfit>},
      {"pbsaprep", "Generate parameters for the MM/PBSA from the PREP data.", Make<CPbsaPrep>},
      {"conf", "Analyze conformations for peptides.", Make<CConf>},
      {"charge", "Guess net charge and its breakdown.", Make<CCharge>},
  };
  return table;
}

// The search path for the parameter file comes from TARVEXPATH, else
// TARVEX_PATH; a variable set to the empty string counts as set.
CDriver::CDriver() {
  const char* value = std::getenv("TARVEXPATH");
  if (!value) value = std::getenv("TARVEX_PATH");
  Settings().search_path = SplitSearchPath(value ? value : "");
}

CDriver::~CDriver() = default;

void CDriver::Usage() {
  ErrText(ProgramHead() + " Use -h option for help.\n\n Usage: " + Settings().program_name +
          std::string(kProgramSynopsis) + "\n");
  ExitWith(1);
}

void CDriver::Version() {
  OutLine(Settings().program_name + "  version " + std::string(kProgramVersion) + "  revision " +
          std::string(kProgramRevision));
  ExitWith(0);
}

void CDriver::Help() {
  std::string text = ProgramHead();
  text += " Usage: " + Settings().program_name + std::string(kProgramSynopsis) + "\n\n";
  text +=
      " Option:\n"
      "   -h         : Help\n"
      "   -v         : Version\n"
      "   -f file    : Set parameter file [tarvex_parm.dat]\n"
      "\n"
      " Analyzer name list (analyzer-name):\n";
  for (const AnalyzerEntry& entry : AnalyzerTable()) {
    std::string name(entry.name);
    name.append(name.size() < 8 ? 8 - name.size() : 0, ' ');
    text += "   " + name + ": " + std::string(entry.summary) + "\n";
  }
  text += "\n TARVEXPATH environment variable points to where the tarvex parameter file.\n";
  OutText(text);
  ExitWith(0);
}

bool CDriver::Dispatch(int argc, const char* const* argv) {
  RunSettings& settings = Settings();
  settings.program_name = ProgramNameFrom(argc > 0 && argv[0] ? argv[0] : "tarvex");
  int next = 1;
  while (next < argc) {
    std::string_view word = argv[next];
    if (word.empty() || word[0] != '-') break;
    if (const std::string_view letters = ShortFormOf(word); !letters.empty()) word = letters;
    ++next;
    for (size_t k = 1; k < word.size(); ++k) {
      switch (word[k]) {
        case 'f':
          if (next >= argc) Usage();
          settings.parameter_file = argv[next++];
          settings.parameter_file_named = true;
          break;
        case 'h':
          Help();
        case 'v':
          Version();
        default:
          Usage();
      }
    }
  }
  if (next >= argc) Usage();
  std::string_view name = argv[next];
  for (const AnalyzerEntry& entry : AnalyzerTable()) {
    if (entry.name == name) {
      settings.analyzer_name = std::string(name);
      analyzer_ = entry.create();
      analyzer_->ParseArguments(argc - next, argv + next);
      return true;
    }
  }
  ErrLine("No analyzer name: " + std::string(name));
  ExitWith(1);
}

// Outputs are put in place only when the whole command succeeded; any error
// removes them, so a failed run never leaves half-written or replaced files.
int RunCommand(int argc, const char* const* argv) {
  int status = 0;
  try {
    CDriver driver;
    if (driver.Dispatch(argc, argv) && driver.Analyzer()) driver.Analyzer()->Run();
    driver.DestroyAnalyzer();
  } catch (const ExitRequest& request) {
    status = request.Status();
  } catch (const std::bad_alloc&) {
    ErrLine("Error: out of memory.");
    status = 1;
  }
  // Standard output is checked before the outputs are put in place: a lost
  // report fails the command like a lost output file.
  FlushOut();
  if (ReportOutError()) status = 1;
  if (status == 0) {
    if (!CommitOutputs()) status = 1;
  } else {
    DiscardOutputs();
  }
  FlushOut();
  return status;
}

}  // namespace tarvex
