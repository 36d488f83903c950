// File types: the keywords and extensions that choose a format class, and the
// two ways of making a format object (an input opened from its name, or an
// empty output).
#pragma once

#include <memory>
#include <string>
#include <string_view>

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

// How the file-type section of a help text marks the molecule that a
// multi-molecule format yields by default.
enum class TargetNotes { kNone, kPlain, kConvert };
// The " File type:" section of the analyzers' help, its colons at `column`
// (0-based) to line up with the analyzer's option lines.
std::string FileTypeHelp(int column, TargetNotes notes = TargetNotes::kNone);

}  // namespace tarvex
