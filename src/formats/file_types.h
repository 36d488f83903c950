// File types: the one table of formats, and the factory it drives.
//
// Each format is one row: its type, the keywords that select it (from a "t"
// form's type argument or from a file name's extension alike), the
// extensions and name the help lists, the molecule it reads by default, the
// box it may carry and the maker of its class. The lookup, the factory, the
// fallbacks of unknown types and the help's " File type:" section are all
// read from the rows, so a new format is one row beside its class.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "molecule/data_file.h"

namespace tarvex {

// One value per row of the table, in the table's order.
enum class FileType {
  kUnknown,
  kPdb,
  kMol2,
  kAmberCoord,
  kAmberRestart,
  kAmberTopology,
  kAmberPrep,
  kGaussianIn,
  kGaussianOut,
  kAmberNetcdf,
  kAmberNetcdfRestart,
};

// The molecule a format that holds several reads by default (Read(0)).
enum class DefaultMolecule : uint8_t { kOnly, kFirst, kLast };
// A periodic box the format may carry, read when the analyzer's BOX option
// is on: trajectories and restarts are told apart because midmol's -x gives
// the box bit to restarts only.
enum class BoxUse : uint8_t { kNone, kTrajectory, kRestart };

struct FileFormat {
  FileType type;
  std::string_view name;        // as the help names it: "Amber CRD"
  std::string_view keywords;    // matched after upper-casing, ", " between them
  std::string_view extensions;  // as the help lists them
  DefaultMolecule default_molecule;
  BoxUse box;
  std::unique_ptr<CDataFile> (*make)();                  // an empty record
  std::unique_ptr<CDataFile> (*open)(std::string name);  // constructed from the name: opened
};

// Every format, in the order of the help.
std::span<const FileFormat> FileFormats();

// A name that Amber or Gaussian writes every day for one of the formats
// (".prmtop", ".rst7", ".gjf"): read without a type word, and accepted as
// a type word too. The help lists the formats' own keywords only.
struct EverydayName {
  std::string_view keyword;  // upper-case, matched as the keywords are
  FileType type;
  // Other programs use the name too (".out"): an input is of the format only
  // when its head shows so, and an output never is.
  bool shown_by_head = false;
};
std::span<const EverydayName> EverydayNames();
// The row of a type (nullptr for kUnknown).
const FileFormat* FindFormat(FileType type);

// Upper-cases the type text (a keyword, or a file name's extension) and
// matches it against the keywords of every row, then the everyday names.
FileType LookupFileType(std::string_view type_text);
// The type named by a file name's extension (the whole name without "."; the
// directory plays no part), the one under ".gz" for a compressed file.
FileType FileTypeOfName(std::string_view file_name);
std::string_view TypeExtension(std::string_view file_name);

// When a record named on the command line is opened.
enum class Opening {
  kInput,       // for reading, at once (a missing file ends the command early)
  kInputLater,  // made empty; its owner opens it for reading when it runs
  kOutput,      // made empty; opened for writing when it is written
  kOutputNow,   // for writing, at once
};

// The factory; each returns nullptr for FileType::kUnknown.
// An input object: constructed from the name, which opens the file and reads
// its head where the format has one.
std::unique_ptr<CDataFile> CreateInputFile(FileType type, const std::string& name);
// An empty output object; the caller opens it with OpenOutput.
std::unique_ptr<CDataFile> CreateOutputFile(FileType type);
// An empty input record, opened with OpenInput by its owner when it runs.
std::unique_ptr<CDataFile> CreateUnopenedInput(FileType type);
std::unique_ptr<CDataFile> CreateFile(FileType type, const std::string& name, Opening opening);

// A file named on the command line, with the text its type was read from:
// the explicit keyword of a "t" form, or else the name's extension.
struct NamedFile {
  std::string name;
  std::string type_text;
  FileType type = FileType::kUnknown;
};
NamedFile ResolveFile(std::string name, std::string explicit_type, bool typed);
// The upper-cased type text, as the unknown-type warnings print it.
std::string UpperType(const NamedFile& file);

// What an analyzer does with a file whose type matches no format: it warns
// and skips the file, or warns and uses a fixed format instead.
enum class NameInWarning { kFileName, kUpperType, kTypeAsGiven };
struct UnknownType {
  std::string_view warning;  // followed by the file name or its type
  NameInWarning shown = NameInWarning::kFileName;
  FileType fallback = FileType::kUnknown;  // kUnknown: the file is skipped
  std::string_view applies = {};           // the line after the warning of a fallback
};
// The record for the file: of its own format, or after the warnings of
// `unknown` of its fallback format; nullptr for a skipped file.
std::unique_ptr<CDataFile> CreateWithFallback(const NamedFile& file, const UnknownType& unknown, Opening opening);

// Which inputs receive the box bit when the analyzer's BOX option is on.
enum class BoxInputs { kTrajectoriesAndRestarts, kRestartsOnly };
// Opens every file of a list as an input record and appends it to `into`;
// files of an unknown type are warned about and skipped.
void AppendInputFiles(const std::vector<NamedFile>& files, const UnknownType& unknown, bool box, BoxInputs box_inputs,
                      std::vector<std::unique_ptr<CDataFile>>& into);

// How the file-type section of a help text marks the molecule that a
// multi-molecule format yields by default.
enum class TargetNotes { kNone, kPlain, kConvert };
// The " File type:" section of the analyzers' help, its colons at `column`
// (0-based) to line up with the analyzer's option lines.
std::string FileTypeHelp(int column, TargetNotes notes = TargetNotes::kNone);

}  // namespace tarvex
