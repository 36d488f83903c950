// CAnalyzer: the base of the ten commands, and the machinery they share for
// their texts and their option walk.
//
// Every analyzer parses the words from its name on: a word beginning with "-"
// is a cluster of option letters handled left to right; an option that takes
// words takes them from the words after the cluster. A word not beginning
// with "-" where an option is expected ends the walk, and the usage follows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "formats/file_types.h"
#include "molecule/bond_map.h"
#include "molecule/data_file.h"

namespace tarvex {

// The fixed notice line of the program and of every analyzer.
inline constexpr std::string_view kNoticeLine = "Copyright (C) 2026 the tarvex developers";

// The texts an analyzer prints: its version data, its description and
// synopsis, and the body of its help (from " Option:" to the end).
struct AnalyzerTexts {
  std::string_view version;
  std::string_view revision;
  std::string_view description;
  std::string_view usage_synopsis;
  std::string_view help_synopsis;  // empty: the same as the usage synopsis
};

// Flag words accepted by "-f": upper-cased words matched whole.
struct FlagWord {
  std::string_view word;
  uint32_t bits;
};

// A file named on the command line with its resolved type.
struct NamedFile {
  std::string name;
  std::string type_text;  // the explicit type, or the extension
  FileType type = FileType::kUnknown;
};

class CAnalyzer {
 public:
  CAnalyzer() = default;
  CAnalyzer(const CAnalyzer&) = delete;
  CAnalyzer& operator=(const CAnalyzer&) = delete;

  /* 0 */ virtual ~CAnalyzer();
  /* 1 */ virtual void Run() = 0;
  /* 2 */ [[noreturn]] virtual void Usage() = 0;
  /* 3 */ [[noreturn]] virtual void Version() = 0;
  /* 4 */ [[noreturn]] virtual void Help() = 0;
  /* 5 */ virtual bool ParseArguments(int argc, const char* const* argv) = 0;
  /* 6 */ [[noreturn]] virtual void Error(int code);
  /* 7 */ virtual void SetPoints(const std::vector<Point>& points);
  /* 8 */ virtual std::vector<Point> GetPoints() const;

  uint32_t Flags() const { return flags_; }

 protected:
  // Texts, printed from the analyzer's own texts.
  [[noreturn]] static void PrintUsage(const AnalyzerTexts& texts);
  [[noreturn]] static void PrintVersion(const AnalyzerTexts& texts);
  [[noreturn]] static void PrintHelp(const AnalyzerTexts& texts, std::string_view body);

  // The option walk over the words after the analyzer name.
  void BeginWalk(int argc, const char* const* argv);
  bool MoreWords() const { return next_ < words_.size(); }
  // The next word when it is an option cluster (it begins with "-"); false
  // when the words are used up or the next word is not an option.
  bool NextCluster(std::string& cluster);
  // The next word, whatever it is, without taking it; false when none is left.
  bool PeekWord(std::string& word) const;
  // True when a word follows and does not begin with "-".
  bool NextIsValue() const;
  // One word that an option needs; the usage when none follows.
  std::string TakeWord();
  // Every following word up to the next one beginning with "-".
  std::vector<std::string> TakeList();
  // A number word: every character a digit or one of `also_allowed`, else the
  // usage; read as a decimal integer (or real).
  int TakeInt(std::string_view also_allowed);
  double TakeDouble(std::string_view also_allowed);
  // A flag list: each word upper-cased and matched; unknown words warned.
  void TakeFlags(const FlagWord* table, size_t count, uint32_t& flags);
  template <size_t N>
  void TakeFlags(const FlagWord (&table)[N], uint32_t& flags) {
    TakeFlags(table, N, flags);
  }
  // A file list: every following word up to the next one beginning with "-"
  // is a file (typed: words alternate file, type keyword).
  std::vector<NamedFile> TakeFiles(bool typed);
  // One file (typed: the file, then its type keyword).
  NamedFile TakeFile(bool typed);
  // After the walk: the usage when words remain or the required bit is clear.
  void EndWalk(uint32_t required_bits);

  uint32_t flags_ = 0;
  std::vector<Point> points_;

 private:
  std::vector<std::string> words_;
  size_t next_ = 0;
};

NamedFile ResolveFile(std::string name, std::string explicit_type, bool typed);

// Upper-cased type text, as printed in the unknown-type warnings.
std::string UpperType(const NamedFile& file);

// How an unknown input type is reported: the warning text is followed by the
// file name or by the upper-cased type.
enum class NameInWarning { kFileName, kType };
// Which inputs receive the box bit when the analyzer's BOX option is on.
enum class BoxInputs { kTrajectoriesAndRestarts, kRestartsOnly };

// Opens every file of a list as an input record and appends it to `into`;
// files of an unknown type are warned about and skipped.
void AppendInputFiles(const std::vector<NamedFile>& files, std::string_view unknown_warning, NameInWarning shown,
                      bool box, BoxInputs box_inputs, std::vector<std::unique_ptr<CDataFile>>& into);

// Reads the inputs in order into `merged`: each first receives what the
// earlier ones provided (a topology's atom count and names for a restart
// file), reads its default molecule, and hands on what it adds. A single
// input would hand everything on to the empty record, so it becomes that
// record instead of being copied. The inputs are released.
void MergeInputFiles(std::vector<std::unique_ptr<CDataFile>>& inputs, std::unique_ptr<CDataFile>& merged);

// The data and reference records of getdun and conf: made empty (their Run
// opens them); an unknown type is warned about and read as an Amber
// trajectory or topology.
std::unique_ptr<CDataFile> CreateDataRecord(const NamedFile& file);
std::unique_ptr<CDataFile> CreateReferenceRecord(const NamedFile& file);

}  // namespace tarvex
