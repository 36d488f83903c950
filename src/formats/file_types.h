// File types: the keywords and extensions that choose a format class, and the
// two ways of making a format object (an input opened from its name, or an
// empty output).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "molecule/data_file.h"

namespace tarvex {

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
};

// Upper-cases the type text (a keyword, or a file name's extension) and
// matches it against the fifteen keywords.
FileType LookupFileType(std::string_view type_text);
// The type named by a file name's extension (the whole name without ".").
FileType FileTypeOfName(std::string_view file_name);

// An input object: constructed from the name, which opens the file and reads
// its head where the format has one.
std::unique_ptr<CDataFile> CreateInputFile(FileType type, const std::string& name);
// An empty output object; the caller opens it with OpenOutput.
std::unique_ptr<CDataFile> CreateOutputFile(FileType type);
// An empty input record, opened with OpenInput by its owner when it runs.
std::unique_ptr<CDataFile> CreateUnopenedInput(FileType type);

// When a record named on the command line is opened.
enum class Opening {
  kInput,      // for reading, at once (a missing file ends the command early)
  kInputLater, // made empty; its owner opens it for reading when it runs
  kOutput,     // made empty; opened for writing when it is written
  kOutputNow,  // for writing, at once
};
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
