#include "driver/analyzer.h"

#include "common/console.h"
#include "common/exit.h"
#include "common/run_settings.h"

namespace tarvex {
namespace {

// The first five lines of the usage and of the help.
std::string Head(const AnalyzerTexts& texts) {
  const RunSettings& s = Settings();
  std::string text;
  text.append(s.program_name).append(" ").append(s.analyzer_name).append("  version ");
  text.append(texts.version).append("\n");
  text.append(kNoticeLine).append("\n\n ");
  text.append(texts.description).append("\n\n");
  return text;
}

std::string UsageLine(std::string_view synopsis) {
  const RunSettings& s = Settings();
  return " Usage: " + s.program_name + " " + s.analyzer_name + std::string(synopsis) + "\n";
}

}  // namespace

CAnalyzer::~CAnalyzer() = default;

void CAnalyzer::Error(int code) {
  switch (code) {
    case 0:
      ErrLine("Input file error!");
      break;
    case 1:
      ErrLine("Calculation error!");
      break;
    case 2:
      ErrLine("Error!");
      break;
    default:
      break;
  }
  ExitWith(1);
}

void CAnalyzer::SetPoints(const std::vector<Point>& points) { points_ = points; }
std::vector<Point> CAnalyzer::GetPoints() const { return points_; }

void CAnalyzer::Usage() {
  ErrText(Head(texts_) + " Use -h option for help.\n\n" + UsageLine(texts_.usage_synopsis));
  ExitWith(1);
}

void CAnalyzer::Version() {
  const RunSettings& s = Settings();
  OutLine(s.program_name + " " + s.analyzer_name + "  version " + std::string(texts_.version) + "  revision " +
          std::string(texts_.revision));
  ExitWith(0);
}

void CAnalyzer::Help() {
  std::string_view synopsis = texts_.help_synopsis.empty() ? texts_.usage_synopsis : texts_.help_synopsis;
  std::string text = Head(texts_) + UsageLine(synopsis) + "\n" + std::string(texts_.help_options);
  if (texts_.file_type_column > 0) text += FileTypeHelp(texts_.file_type_column, texts_.target_notes);
  OutText(text);
  ExitWith(0);
}

bool CAnalyzer::ParseArguments(int argc, const char* const* argv) {
  WalkOptions(*this, options_, flags_, argc, argv);
  return true;
}

Option DataFileOption(std::unique_ptr<CDataFile>& record, std::string& name) {
  return Option::File("i", record, kDataFileFallback, Opening::kInputLater).Name(name);
}

Option ReferenceFileOption(std::unique_ptr<CDataFile>& record, std::string& name) {
  return Option::File("r", record, kReferenceFallback, Opening::kInputLater).Name(name);
}

std::string InputNames(const std::vector<std::unique_ptr<CDataFile>>& inputs) {
  std::string names;
  for (const std::unique_ptr<CDataFile>& input : inputs) {
    if (!names.empty()) names += ' ';
    names += input->GetInputFileName();
  }
  return names;
}

void MergeInputFiles(std::vector<std::unique_ptr<CDataFile>>& inputs, std::unique_ptr<CDataFile>& merged) {
  for (std::unique_ptr<CDataFile>& input : inputs) {
    input->CopyState(*merged);
    input->Read(0);
    if (inputs.size() > 1) merged->CopyState(*input);
  }
  if (inputs.size() == 1) merged = std::move(inputs.front());
  inputs.clear();
}

}  // namespace tarvex
