#include "driver/options.h"

#include <bit>

#include "common/console.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "common/text.h"
#include "driver/analyzer.h"
#include "driver/selection.h"

namespace tarvex {

Option Option::Switch(std::string_view letters, uint32_t bits) { return Option{.letters = letters, .sets = bits}; }

Option Option::Act(std::string_view letters, std::function<void()> act) {
  return Option{.letters = letters, .act = std::move(act)};
}

Option Option::Integer(std::string_view letters, int& value, std::string_view allowed) {
  return Option{.letters = letters, .takes = Takes::kInteger, .allowed = allowed, .integer = &value};
}

Option Option::OptionalInteger(std::string_view letters, int& value) {
  return Option{.letters = letters, .takes = Takes::kOptionalInteger, .allowed = "-", .integer = &value};
}

Option Option::Integers(std::string_view letters, std::vector<int>& values) {
  return Option{.letters = letters, .takes = Takes::kIntegers, .integers = &values};
}

Option Option::Integers(std::string_view letters, std::function<void(std::vector<int>)> take) {
  return Option{.letters = letters, .takes = Takes::kIntegers, .take_integers = std::move(take)};
}

Option Option::NumbersOrNames(std::string_view letters, std::vector<int>& numbers, std::vector<std::string>& names,
                              int offset) {
  return Option{
      .letters = letters, .takes = Takes::kNumbersOrNames, .offset = offset, .integers = &numbers, .names = &names};
}

Option Option::Names(std::string_view letters, std::vector<std::string>& names) {
  return Option{.letters = letters, .takes = Takes::kNames, .names = &names};
}

Option Option::Real(std::string_view letters, double& value, std::string_view allowed) {
  return Option{.letters = letters, .takes = Takes::kReal, .allowed = allowed, .real = &value};
}

Option Option::Word(std::string_view letters, std::string& value) {
  return Option{.letters = letters, .takes = Takes::kWord, .word = &value};
}

Option Option::Flags(std::string_view letters, std::span<const FlagWord> words) {
  return Option{.letters = letters, .takes = Takes::kFlagWords, .flag_words = words};
}

Option Option::Selection(std::string_view letters, std::vector<int>& selected, std::vector<int>& excluded,
                         std::vector<std::string>& names) {
  return Option{
      .letters = letters, .takes = Takes::kSelection, .integers = &selected, .excluded = &excluded, .names = &names};
}

Option Option::File(std::string_view letters, std::unique_ptr<CDataFile>& record, const UnknownType& unknown,
                    Opening opening) {
  return Option{.letters = letters, .takes = Takes::kFile, .record = &record, .unknown = &unknown, .opening = opening};
}

Option Option::File(std::string_view letters, std::unique_ptr<CDataFile>& record, FileType format, Opening opening) {
  return Option{.letters = letters, .takes = Takes::kFile, .record = &record, .format = format, .opening = opening};
}

Option Option::Files(std::string_view letters, std::vector<std::unique_ptr<CDataFile>>& records,
                     const UnknownType& unknown) {
  return Option{.letters = letters, .takes = Takes::kFiles, .records = &records, .unknown = &unknown};
}

Option Option::Files(std::string_view letters, std::function<void(std::unique_ptr<CDataFile>)> take,
                     const UnknownType& unknown) {
  return Option{.letters = letters, .takes = Takes::kFiles, .take_record = std::move(take), .unknown = &unknown};
}

Option Option::Files(std::string_view letters, std::vector<std::unique_ptr<CDataFile>>& records, FileType format) {
  return Option{.letters = letters, .takes = Takes::kFiles, .records = &records, .format = format};
}

Option& Option::Sets(uint32_t bits) {
  sets |= bits;
  return *this;
}

Option& Option::Clears(uint32_t bits) {
  clears |= bits;
  return *this;
}

Option& Option::Positive() {
  positive = true;
  return *this;
}

Option& Option::Name(std::string& name) {
  word = &name;
  return *this;
}

Option& Option::Box(uint32_t bit, BoxInputs inputs) {
  box = bit;
  box_inputs = inputs;
  return *this;
}

bool Option::TakesTypedForm() const {
  return (takes == Takes::kFile || takes == Takes::kFiles) && format == FileType::kUnknown;
}

namespace {

constexpr LongOption kLongOptions[] = {{"--help", "-h"}, {"--version", "-v"}};

}  // namespace

std::span<const LongOption> LongOptions() { return kLongOptions; }

std::string_view ShortFormOf(std::string_view word) {
  for (const LongOption& option : kLongOptions) {
    if (word == option.word) return option.letters;
  }
  return {};
}

namespace {

// The words after the analyzer name, taken one by one.
class OptionWalk {
 public:
  OptionWalk(CAnalyzer& analyzer, uint32_t& flags, int argc, const char* const* argv)
      : analyzer_(analyzer), flags_(flags) {
    for (int i = 1; i < argc; ++i) words_.emplace_back(argv[i]);
  }

  void Walk(OptionTable& table);

 private:
  // The row whose letters are the longest prefix of `letters`.
  static Option* Find(OptionTable& table, std::string_view letters);
  void Take(Option& option, bool typed);
  void TakeFiles(Option& option, bool typed);
  void TakeFile(Option& option, bool typed);
  void TakeFlagWords(std::span<const FlagWord> table);
  void TakeSelection(Option& option);
  void CheckAfterWalk(const OptionTable& table);

  bool NextIsValue() const { return next_ < words_.size() && (words_[next_].empty() || words_[next_][0] != '-'); }
  // One word an option needs; the usage when none is left.
  std::string TakeWord() {
    if (next_ >= words_.size()) analyzer_.Usage();
    return words_[next_++];
  }
  // Every following word up to the next one beginning with "-".
  std::vector<std::string> TakeList() {
    std::vector<std::string> list;
    while (NextIsValue()) list.push_back(words_[next_++]);
    return list;
  }
  // A number word: every character a digit or one of `allowed`, else the usage.
  int ToInteger(const std::string& word, std::string_view allowed) {
    int value = 0;
    if (!IsMadeOf(word, allowed) || ParseIntPrefix(word, value) == 0) analyzer_.Usage();
    return value;
  }

  CAnalyzer& analyzer_;
  uint32_t& flags_;
  std::vector<std::string> words_;
  size_t next_ = 0;
};

void OptionWalk::Walk(OptionTable& table) {
  while (next_ < words_.size() && !words_[next_].empty() && words_[next_][0] == '-') {
    std::string cluster = words_[next_++];
    if (const std::string_view letters = ShortFormOf(cluster); !letters.empty()) cluster = letters;
    for (size_t k = 1; k < cluster.size();) {
      if (cluster[k] == 'h') analyzer_.Help();
      if (cluster[k] == 'v') analyzer_.Version();
      Option* option = Find(table, std::string_view(cluster).substr(k));
      if (!option) analyzer_.Usage();
      k += option->letters.size();
      const bool typed = option->TakesTypedForm() && k < cluster.size() && cluster[k] == 't';
      if (typed) ++k;
      Take(*option, typed);
    }
  }
  CheckAfterWalk(table);
}

Option* OptionWalk::Find(OptionTable& table, std::string_view letters) {
  Option* found = nullptr;
  for (Option& option : table.options) {
    if (letters.starts_with(option.letters) && (!found || option.letters.size() > found->letters.size())) {
      found = &option;
    }
  }
  return found;
}

void OptionWalk::Take(Option& option, bool typed) {
  switch (option.takes) {
    case Takes::kNothing:
      if (option.act) option.act();
      break;
    case Takes::kInteger:
      *option.integer = ToInteger(TakeWord(), option.allowed);
      if (option.positive && *option.integer <= 0) analyzer_.Usage();
      break;
    case Takes::kOptionalInteger: {
      // Any next word may be the number, "-2" included.
      int value = 0;
      if (next_ < words_.size() && IsMadeOf(words_[next_], option.allowed) &&
          ParseIntPrefix(words_[next_], value) != 0) {
        *option.integer = value;
        ++next_;
      }
      break;
    }
    case Takes::kIntegers: {
      std::vector<int> values;
      for (const std::string& word : TakeList()) values.push_back(ToInteger(word, ""));
      if (option.take_integers)
        option.take_integers(std::move(values));
      else
        option.integers->insert(option.integers->end(), values.begin(), values.end());
      break;
    }
    case Takes::kNumbersOrNames:
      for (const std::string& word : TakeList()) {
        int number = 0;
        if (IsMadeOf(word, "") && ParseIntPrefix(word, number) != 0)
          option.integers->push_back(number + option.offset);
        else
          option.names->push_back(ToUpper(word));
      }
      break;
    case Takes::kNames:
      option.names->clear();
      for (const std::string& word : TakeList()) option.names->push_back(ToUpper(word));
      break;
    case Takes::kReal: {
      const std::string word = TakeWord();
      if (!IsMadeOf(word, option.allowed) || ParseDoublePrefix(word, *option.real) == 0) analyzer_.Usage();
      break;
    }
    case Takes::kWord:
      *option.word = TakeWord();
      break;
    case Takes::kFlagWords:
      TakeFlagWords(option.flag_words);
      break;
    case Takes::kSelection:
      TakeSelection(option);
      break;
    case Takes::kFile:
      // A single-file option as the last word names nothing and is ignored;
      // a required file still missing ends in the usage after the walk.
      if (next_ >= words_.size()) return;
      TakeFile(option, typed);
      break;
    case Takes::kFiles:
      TakeFiles(option, typed);
      return;  // the bits follow the files accepted
  }
  flags_ = (flags_ & ~option.clears) | option.sets;
}

void OptionWalk::TakeFlagWords(std::span<const FlagWord> table) {
  for (const std::string& word : TakeList()) {
    const std::string upper = ToUpper(word);
    bool known = false;
    for (const FlagWord& flag : table) {
      if (flag.word == upper) {
        flags_ |= flag.bits;
        known = true;
        break;
      }
    }
    if (!known) Warn("No flag list: " + upper);
  }
}

// The word must not begin with "-" and holds only letters, digits, "-", ","
// and "_".
void OptionWalk::TakeSelection(Option& option) {
  if (!NextIsValue()) analyzer_.Usage();
  const std::string word = TakeWord();
  for (char c : word) {
    if (!IsAlpha(c) && !IsDigit(c) && c != '-' && c != ',' && c != '_') analyzer_.Usage();
  }
  *option.integers = ParseSelectionNumbers(word, true);
  *option.excluded = ParseSelectionNumbers(word, false);
  *option.names = ParseSelectionNames(word);
}

void OptionWalk::TakeFile(Option& option, bool typed) {
  std::string name = TakeWord();
  std::string type = typed ? TakeWord() : std::string();
  if (option.format != FileType::kUnknown) {
    *option.record = CreateFile(option.format, name, option.opening);
  } else {
    *option.record = CreateWithFallback(ResolveFile(name, std::move(type), typed), *option.unknown, option.opening);
  }
  if (option.word) *option.word = std::move(name);
}

// A typed list must hold pairs. The option's bits are set once a file has
// been accepted; files of unknown type are warned about and skipped.
void OptionWalk::TakeFiles(Option& option, bool typed) {
  const std::vector<std::string> words = TakeList();
  if (typed && words.size() % 2 != 0) analyzer_.Usage();
  std::vector<std::unique_ptr<CDataFile>> opened;
  if (option.format != FileType::kUnknown) {
    for (const std::string& name : words) opened.push_back(CreateInputFile(option.format, name));
  } else {
    std::vector<NamedFile> files;
    for (size_t k = 0; k < words.size(); k += typed ? 2 : 1) {
      files.push_back(ResolveFile(words[k], typed ? words[k + 1] : std::string(), typed));
    }
    AppendInputFiles(files, *option.unknown, option.box != 0 && (flags_ & option.box) != 0, option.box_inputs, opened);
    if (option.word && !files.empty()) *option.word = files.back().name;
  }
  if (!opened.empty()) flags_ |= option.sets;
  for (std::unique_ptr<CDataFile>& record : opened) {
    if (option.take_record)
      option.take_record(std::move(record));
    else
      option.records->push_back(std::move(record));
  }
}

void OptionWalk::CheckAfterWalk(const OptionTable& table) {
  if (next_ < words_.size()) analyzer_.Usage();
  for (uint32_t bits : table.required) {
    if ((flags_ & bits) == 0) analyzer_.Usage();
  }
  if (table.choose_one != 0 && std::popcount(flags_ & table.choose_one) != 1) Fatal(table.choice_message);
}

}  // namespace

void WalkOptions(CAnalyzer& analyzer, OptionTable& table, uint32_t& flags, int argc, const char* const* argv) {
  OptionWalk(analyzer, flags, argc, argv).Walk(table);
}

}  // namespace tarvex
