// CAnalyzer: the base of the ten commands.
//
// An analyzer is described by its texts (version, description, synopsis and
// help) and by its option table (driver/options.h); the base prints the
// usage, version and help from the texts and parses the command line by the
// table, so an analyzer itself holds only what is its own: its options'
// destinations and its Run.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "driver/options.h"
#include "formats/file_types.h"
#include "molecule/bond_map.h"
#include "molecule/data_file.h"

namespace tarvex {

// The fixed notice line of the program and of every analyzer.
inline constexpr std::string_view kNoticeLine = "Copyright (C) 2026 the tarvex developers";

// The texts an analyzer prints: its version data, its description and
// synopsis, the body of its help (from " Option:" on), and whether the help
// ends with the " File type:" section (its colons at `file_type_column`).
struct AnalyzerTexts {
  std::string_view version;
  std::string_view revision;
  std::string_view description;
  std::string_view usage_synopsis;
  std::string_view help_synopsis = {};  // empty: the same as the usage synopsis
  std::string_view help_options = {};
  int file_type_column = 0;  // 0: no file-type section
  TargetNotes target_notes = TargetNotes::kNone;
};

// The unknown-type rules the analyzers share.
inline constexpr UnknownType kSkipUnknownInput = {"Warning: unknown input file format: "};
// getdun and conf: a data file of unknown type is read as an Amber
// trajectory, a reference file as an Amber topology.
inline constexpr UnknownType kDataFileFallback = {"Warning unknown datafile format: ", NameInWarning::kUpperType,
                                                  FileType::kAmberCoord,
                                                  "Input datafile applies to the Amber CRD format."};
inline constexpr UnknownType kReferenceFallback = {"Warning unknown reference file format: ", NameInWarning::kUpperType,
                                                   FileType::kAmberTopology,
                                                   "Input reference file applies to the Amber TOP format."};
// Their rows: the data file (-i, -it) and the reference file (-r, -rt),
// made empty and opened when the analyzer runs.
Option DataFileOption(std::unique_ptr<CDataFile>& record, std::string& name);
Option ReferenceFileOption(std::unique_ptr<CDataFile>& record, std::string& name);

class CAnalyzer {
 public:
  explicit CAnalyzer(const AnalyzerTexts& texts) : texts_(texts) {}
  CAnalyzer(const CAnalyzer&) = delete;
  CAnalyzer& operator=(const CAnalyzer&) = delete;

  /* 0 */ virtual ~CAnalyzer();
  /* 1 */ virtual void Run() = 0;
  /* 2 */ [[noreturn]] virtual void Usage();
  /* 3 */ [[noreturn]] virtual void Version();
  /* 4 */ [[noreturn]] virtual void Help();
  /* 5 */ virtual bool ParseArguments(int argc, const char* const* argv);
  /* 6 */ [[noreturn]] virtual void Error(int code);
  /* 7 */ virtual void SetPoints(const std::vector<Point>& points);
  /* 8 */ virtual std::vector<Point> GetPoints() const;

  uint32_t Flags() const { return flags_; }
  // The option table, as the command line is read by it (and the shell
  // completion generated from it).
  const OptionTable& Options() const { return options_; }

 protected:
  // The analyzer's constructor declares its options here.
  void DeclareOptions(OptionTable table) { options_ = std::move(table); }

  uint32_t flags_ = 0;
  std::vector<Point> points_;

 private:
  const AnalyzerTexts& texts_;
  OptionTable options_;
};

// Reads the inputs in order into `merged`: each first receives what the
// earlier ones provided (a topology's atom count and names for a restart
// file), reads its default molecule, and hands on what it adds. A single
// input would hand everything on to the empty record, so it becomes that
// record instead of being copied. The inputs are released.
// The names of the inputs, separated by blanks (the files whose atoms a
// merged record holds, for messages about it).
std::string InputNames(const std::vector<std::unique_ptr<CDataFile>>& inputs);
void MergeInputFiles(std::vector<std::unique_ptr<CDataFile>>& inputs, std::unique_ptr<CDataFile>& merged);

}  // namespace tarvex
