// The option table of an analyzer and the one walk that reads the command
// line by it.
//
// An analyzer declares its options as rows: the letters that name the option,
// what it takes from the words after its cluster, and where the value goes (a
// member, bits of the flag word, or a callback for what is the analyzer's own).
// The walk applies the rules every analyzer shares:
//   - a word beginning with "-" is a cluster of option letters handled left to
//     right ("-ac" is "-a -c"); "h" (or "--help") asks for the help, "v" (or
//     "--version") for the version, and a letter no row names for the usage;
//   - the longest row name wins ("-ra" is convert's selection, "-rt" its typed
//     reference files); a file row accepts a trailing "t": the file names are
//     then each followed by their file-type keyword;
//   - an option that needs a word finds none (the value as the last word): the
//     usage;
//   - numbers are checked character by character before they are converted;
//   - lists take every following word up to the next one beginning with "-";
//   - flag words are upper-cased and matched whole; an unknown one is warned
//     with "No flag list: " and the walk goes on;
//   - a word not beginning with "-" where an option is expected ends the walk;
//     words left over, or a required option missing, give the usage.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/file_types.h"
#include "molecule/data_file.h"

namespace tarvex {

class CAnalyzer;

// A flag word accepted by "-f" and the bits it sets.
struct FlagWord {
  std::string_view word;
  uint32_t bits;
};

// What an option takes from the words after its cluster.
enum class Takes : uint8_t {
  kNothing,          // a switch: bits of the flag word
  kInteger,          // one word of digits (and the row's allowed characters)
  kOptionalInteger,  // the next word when it is such a number; nothing otherwise
  kIntegers,         // the words up to the next option, each of digits only
  kNumbersOrNames,   // the words up to the next option: numbers, else names upper-cased
  kNames,            // the words up to the next option, upper-cased, replacing the list
  kReal,             // one word of digits (and the row's allowed characters), a real
  kWord,             // one word, whatever it holds (a file the analyzer opens itself)
  kFlagWords,        // "-f": flag words up to the next option
  kSelection,        // one atom selection word (letters, digits, "-", "," and "_")
  kFile,             // one molecule file (with "t": the file and its type keyword)
  kFiles,            // molecule files up to the next option (with "t": file, type pairs)
};

// One row of an analyzer's option table. Build rows with the named makers
// below, then add where the bits go: Option::Integer("n", count_, "-").Sets(kCount).
struct Option {
  std::string_view letters = {};
  Takes takes = Takes::kNothing;
  // Flag-word bits set (and cleared) when the option is given; for a file
  // list, once one of its files has been accepted.
  uint32_t sets = 0;
  uint32_t clears = 0;
  std::string_view allowed = {};  // characters a number may hold besides digits
  bool positive = false;          // an integer of 0 or less gives the usage
  int offset = 0;                 // added to each number of a numbers-or-names list

  // Where the value goes.
  int* integer = nullptr;
  double* real = nullptr;
  std::string* word = nullptr;  // the word; for files the (last) file name
  std::vector<int>* integers = nullptr;
  std::vector<int>* excluded = nullptr;  // selection: the excluded atoms
  std::vector<std::string>* names = nullptr;
  std::span<const FlagWord> flag_words = {};
  std::unique_ptr<CDataFile>* record = nullptr;
  std::vector<std::unique_ptr<CDataFile>>* records = nullptr;
  std::function<void(std::vector<int>)> take_integers = {};
  std::function<void(std::unique_ptr<CDataFile>)> take_record = {};
  std::function<void()> act = {};

  // Molecule files: the format (FileType::kUnknown: from the "t" form or the
  // extension, unknown types handled by `unknown`), when the record is opened,
  // and the flag-word bit that gives trajectories and restarts the box bit.
  FileType format = FileType::kUnknown;
  const UnknownType* unknown = nullptr;
  Opening opening = Opening::kInput;
  uint32_t box = 0;
  BoxInputs box_inputs = BoxInputs::kTrajectoriesAndRestarts;

  // A switch that sets `bits`.
  static Option Switch(std::string_view letters, uint32_t bits);
  // A switch whose effect is the analyzer's own.
  static Option Act(std::string_view letters, std::function<void()> act);
  static Option Integer(std::string_view letters, int& value, std::string_view allowed = {});
  static Option OptionalInteger(std::string_view letters, int& value);
  static Option Integers(std::string_view letters, std::vector<int>& values);
  // Each occurrence hands its whole list to `take` (one group per option).
  static Option Integers(std::string_view letters, std::function<void(std::vector<int>)> take);
  static Option NumbersOrNames(std::string_view letters, std::vector<int>& numbers, std::vector<std::string>& names,
                               int offset = 0);
  static Option Names(std::string_view letters, std::vector<std::string>& names);
  static Option Real(std::string_view letters, double& value, std::string_view allowed);
  static Option Word(std::string_view letters, std::string& value);
  static Option Flags(std::string_view letters, std::span<const FlagWord> words);
  // The three lists of an atom selection word (driver/selection.h).
  static Option Selection(std::string_view letters, std::vector<int>& selected, std::vector<int>& excluded,
                          std::vector<std::string>& names);
  // One file whose type comes from its keyword or extension.
  static Option File(std::string_view letters, std::unique_ptr<CDataFile>& record, const UnknownType& unknown,
                     Opening opening);
  // One file always read or written in one format (no "t" form).
  static Option File(std::string_view letters, std::unique_ptr<CDataFile>& record, FileType format, Opening opening);
  // Input files whose types come from their keywords or extensions.
  static Option Files(std::string_view letters, std::vector<std::unique_ptr<CDataFile>>& records,
                      const UnknownType& unknown);
  static Option Files(std::string_view letters, std::function<void(std::unique_ptr<CDataFile>)> take,
                      const UnknownType& unknown);
  // Input files all of one format (no "t" form).
  static Option Files(std::string_view letters, std::vector<std::unique_ptr<CDataFile>>& records, FileType format);

  Option& Sets(uint32_t bits);
  Option& Clears(uint32_t bits);
  Option& Positive();
  // Files: the name of the (last) file given goes to `name`.
  Option& Name(std::string& name);
  // Files: with `bit` set in the flag word, inputs named after it get the
  // box bit (kFileBox): trajectories and restarts, or restarts only.
  Option& Box(uint32_t bit, BoxInputs inputs = BoxInputs::kTrajectoriesAndRestarts);

  // A file row resolves types and so accepts the "t" form.
  bool TakesTypedForm() const;
};

// An analyzer's whole table: its rows, and what must have been given.
struct OptionTable {
  std::vector<Option> options = {};
  // Each entry needs at least one of its bits set after the walk, else the
  // usage ({kInput | kReferences, kOutput}: an input or a reference, and an
  // output).
  std::vector<uint32_t> required = {};
  // When not 0: exactly one of these bits must be set after the walk, else
  // `choice_message` and status 1.
  uint32_t choose_one = 0;
  std::string_view choice_message = {};
};

// The long options, as GNU tools spell them: "--help" is "-h" and
// "--version" "-v", before the analyzer name (the program's texts) and after
// it (the analyzer's).
struct LongOption {
  std::string_view word;
  std::string_view letters;
};
std::span<const LongOption> LongOptions();
// The letter cluster a long option stands for; empty for any other word.
std::string_view ShortFormOf(std::string_view word);

// Walks the words from the analyzer name on (argv[0] is the analyzer name)
// by the table, filling the flag word and the rows' destinations. Help,
// version and usage are the analyzer's own operations.
void WalkOptions(CAnalyzer& analyzer, OptionTable& table, uint32_t& flags, int argc, const char* const* argv);

}  // namespace tarvex
