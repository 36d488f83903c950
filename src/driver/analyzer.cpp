#include "driver/analyzer.h"

#include "common/console.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "common/text.h"
#include "driver/run_settings.h"

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

constexpr AnalyzerTexts kNoTexts = {};
CAnalyzer::CAnalyzer() : texts_(kNoTexts) {}
CAnalyzer::~CAnalyzer() = default;

void CAnalyzer::Error(int code) {
  switch (code) {
    case 0: ErrLine("Input file error!"); break;
    case 1: ErrLine("Calculation error!"); break;
    case 2: ErrLine("Error!"); break;
    default: break;
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

void CAnalyzer::PrintUsage(const AnalyzerTexts& texts) {
  ErrText(Head(texts) + " Use -h option for help.\n\n" + UsageLine(texts.usage_synopsis));
  ExitWith(1);
}

void CAnalyzer::PrintVersion(const AnalyzerTexts& texts) {
  const RunSettings& s = Settings();
  OutLine(s.program_name + " " + s.analyzer_name + "  version " + std::string(texts.version) +
          "  revision " + std::string(texts.revision));
  ExitWith(0);
}

void CAnalyzer::PrintHelp(const AnalyzerTexts& texts, std::string_view body) {
  std::string_view synopsis = texts.help_synopsis.empty() ? texts.usage_synopsis : texts.help_synopsis;
  OutText(Head(texts) + UsageLine(synopsis) + "\n" + std::string(body));
  ExitWith(0);
}

void CAnalyzer::BeginWalk(int argc, const char* const* argv) {
  words_.clear();
  for (int i = 1; i < argc; ++i) words_.emplace_back(argv[i]);
  next_ = 0;
}

bool CAnalyzer::NextCluster(std::string& cluster) {
  if (next_ >= words_.size() || words_[next_].empty() || words_[next_][0] != '-') return false;
  cluster = words_[next_++];
  return true;
}

bool CAnalyzer::PeekWord(std::string& word) const {
  if (next_ >= words_.size()) return false;
  word = words_[next_];
  return true;
}

bool CAnalyzer::NextIsValue() const {
  return next_ < words_.size() && (words_[next_].empty() || words_[next_][0] != '-');
}

std::string CAnalyzer::TakeWord() {
  if (next_ >= words_.size()) Usage();
  return words_[next_++];
}

std::vector<std::string> CAnalyzer::TakeList() {
  std::vector<std::string> list;
  while (NextIsValue()) list.push_back(words_[next_++]);
  return list;
}

int CAnalyzer::TakeInt(std::string_view also_allowed) {
  std::string word = TakeWord();
  int value = 0;
  if (!IsMadeOf(word, also_allowed) || ParseIntPrefix(word, value) == 0) Usage();
  return value;
}

double CAnalyzer::TakeDouble(std::string_view also_allowed) {
  std::string word = TakeWord();
  double value = 0.0;
  if (!IsMadeOf(word, also_allowed) || ParseDoublePrefix(word, value) == 0) Usage();
  return value;
}

void CAnalyzer::TakeFlags(const FlagWord* table, size_t count, uint32_t& flags) {
  for (const std::string& word : TakeList()) {
    std::string upper = ToUpper(word);
    bool known = false;
    for (size_t k = 0; k < count; ++k) {
      if (table[k].word == upper) {
        flags |= table[k].bits;
        known = true;
        break;
      }
    }
    if (!known) ErrLine("No flag list: " + upper);
  }
}

std::vector<NamedFile> CAnalyzer::TakeFiles(bool typed) {
  std::vector<std::string> words = TakeList();
  if (typed && words.size() % 2 != 0) Usage();
  std::vector<NamedFile> files;
  for (size_t k = 0; k < words.size(); k += typed ? 2 : 1) {
    files.push_back(ResolveFile(words[k], typed ? words[k + 1] : std::string(), typed));
  }
  return files;
}

NamedFile CAnalyzer::TakeFile(bool typed) {
  std::string name = TakeWord();
  std::string type = typed ? TakeWord() : std::string();
  return ResolveFile(std::move(name), std::move(type), typed);
}

void CAnalyzer::EndWalk(uint32_t required_bits) {
  if (MoreWords() || (flags_ & required_bits) != required_bits) Usage();
}

std::unique_ptr<CDataFile> CreateDataRecord(const NamedFile& file) {
  return CreateWithFallback(file, kDataFileFallback, Opening::kInputLater);
}

std::unique_ptr<CDataFile> CreateReferenceRecord(const NamedFile& file) {
  return CreateWithFallback(file, kReferenceFallback, Opening::kInputLater);
}

void AppendInputFiles(const std::vector<NamedFile>& files, std::string_view unknown_warning, NameInWarning shown,
                      bool box, BoxInputs box_inputs, std::vector<std::unique_ptr<CDataFile>>& into) {
  AppendInputFiles(files, UnknownType{unknown_warning, shown}, box, box_inputs, into);
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
