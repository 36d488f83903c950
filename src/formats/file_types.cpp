#include "formats/file_types.h"

#include <array>

#include "common/console.h"
#include "common/exit.h"
#include "common/text.h"
#include "formats/amber_coord_file.h"
#include "formats/amber_prep_file.h"
#include "formats/amber_restart_file.h"
#include "formats/amber_topology_file.h"
#include "formats/gaussian_in_file.h"
#include "formats/gaussian_out_file.h"
#include "formats/mol2_file.h"
#include "formats/pdb_file.h"

namespace tarvex {
namespace {

struct Keyword {
  std::string_view text;
  FileType type;
};

// Matched in this order; the first equal keyword wins.
constexpr std::array<Keyword, 15> kKeywords = {{
    {"PDB", FileType::kPdb},
    {"ENT", FileType::kPdb},
    {"CRD", FileType::kAmberCoord},
    {"AMBER_CRD", FileType::kAmberCoord},
    {"RST", FileType::kAmberRestart},
    {"AMBER_RST", FileType::kAmberRestart},
    {"TOP", FileType::kAmberTopology},
    {"AMBER_TOP", FileType::kAmberTopology},
    {"PREP", FileType::kAmberPrep},
    {"AMBER_PREP", FileType::kAmberPrep},
    {"COM", FileType::kGaussianIn},
    {"GAUSSIAN_IN", FileType::kGaussianIn},
    {"LOG", FileType::kGaussianOut},
    {"GAUSSIAN_OUT", FileType::kGaussianOut},
    {"MOL2", FileType::kMol2},
}};

// One entry per format in the help: its name, extensions and keywords.
struct FormatHelp {
  std::string_view name;
  std::string_view extensions;
  std::string_view keywords;
  FileType type;
};

constexpr std::array<FormatHelp, 8> kFormatHelp = {{
    {"PDB", "PDB, ENT", "PDB, ENT", FileType::kPdb},
    {"MOL2", "MOL2", "MOL2", FileType::kMol2},
    {"Amber CRD", "CRD", "CRD, AMBER_CRD", FileType::kAmberCoord},
    {"Amber RST", "RST", "RST, AMBER_RST", FileType::kAmberRestart},
    {"Amber TOP", "TOP", "TOP, AMBER_TOP", FileType::kAmberTopology},
    {"Amber PREP", "PREP", "PREP, AMBER_PREP", FileType::kAmberPrep},
    {"Gaussian in", "COM", "COM, GAUSSIAN_IN", FileType::kGaussianIn},
    {"Gaussian out", "LOG", "LOG, GAUSSIAN_OUT", FileType::kGaussianOut},
}};

}  // namespace

FileType LookupFileType(std::string_view type_text) {
  std::string upper = ToUpper(type_text);
  for (const Keyword& keyword : kKeywords) {
    if (keyword.text == upper) return keyword.type;
  }
  return FileType::kUnknown;
}

FileType FileTypeOfName(std::string_view file_name) { return LookupFileType(FileExtension(file_name)); }

std::unique_ptr<CDataFile> CreateInputFile(FileType type, const std::string& name) {
  switch (type) {
    case FileType::kPdb: return std::make_unique<CPdbFile>(name);
    case FileType::kMol2: return std::make_unique<CMol2File>(name);
    case FileType::kAmberCoord: return std::make_unique<CAmberCoordFile>(name);
    case FileType::kAmberRestart: return std::make_unique<CAmberRestartFile>(name);
    case FileType::kAmberTopology: return std::make_unique<CAmberTopologyFile>(name);
    case FileType::kAmberPrep: return std::make_unique<CAmberPrepFile>(name);
    case FileType::kGaussianIn: return std::make_unique<CGaussianInFile>(name);
    case FileType::kGaussianOut: return std::make_unique<CGaussianOutFile>(name);
    case FileType::kUnknown: break;
  }
  return nullptr;
}

std::unique_ptr<CDataFile> CreateOutputFile(FileType type) {
  switch (type) {
    case FileType::kPdb: return std::make_unique<CPdbFile>();
    case FileType::kMol2: return std::make_unique<CMol2File>();
    case FileType::kAmberCoord: return std::make_unique<CAmberCoordFile>();
    case FileType::kAmberRestart: return std::make_unique<CAmberRestartFile>();
    case FileType::kAmberTopology: return std::make_unique<CAmberTopologyFile>();
    case FileType::kAmberPrep: return std::make_unique<CAmberPrepFile>();
    case FileType::kGaussianIn: return std::make_unique<CGaussianInFile>();
    case FileType::kGaussianOut: return std::make_unique<CGaussianOutFile>();
    case FileType::kUnknown: break;
  }
  return nullptr;
}

std::unique_ptr<CDataFile> CreateUnopenedInput(FileType type) { return CreateOutputFile(type); }

std::unique_ptr<CDataFile> CreateFile(FileType type, const std::string& name, Opening opening) {
  switch (opening) {
    case Opening::kInput: return CreateInputFile(type, name);
    case Opening::kInputLater: return CreateUnopenedInput(type);
    case Opening::kOutput: return CreateOutputFile(type);
    case Opening::kOutputNow: break;
  }
  std::unique_ptr<CDataFile> record = CreateOutputFile(type);
  if (record) record->OpenOutput(name, true);
  return record;
}

NamedFile ResolveFile(std::string name, std::string explicit_type, bool typed) {
  NamedFile file;
  file.type_text = typed ? std::move(explicit_type) : std::string(FileExtension(name));
  file.name = std::move(name);
  file.type = LookupFileType(file.type_text);
  return file;
}

std::string UpperType(const NamedFile& file) { return ToUpper(file.type_text); }

std::unique_ptr<CDataFile> CreateWithFallback(const NamedFile& file, const UnknownType& unknown, Opening opening) {
  FileType type = file.type;
  if (type == FileType::kUnknown) {
    switch (unknown.shown) {
      case NameInWarning::kFileName: Warn(std::string(unknown.warning) + file.name); break;
      case NameInWarning::kUpperType: Warn(std::string(unknown.warning) + UpperType(file)); break;
      case NameInWarning::kTypeAsGiven: Warn(std::string(unknown.warning) + file.type_text); break;
    }
    if (unknown.fallback == FileType::kUnknown) return nullptr;
    Warn(unknown.applies);
    type = unknown.fallback;
  }
  return CreateFile(type, file.name, opening);
}

void AppendInputFiles(const std::vector<NamedFile>& files, const UnknownType& unknown, bool box, BoxInputs box_inputs,
                      std::vector<std::unique_ptr<CDataFile>>& into) {
  for (const NamedFile& file : files) {
    std::unique_ptr<CDataFile> record = CreateWithFallback(file, unknown, Opening::kInput);
    if (!record) continue;
    const bool takes_box = file.type == FileType::kAmberRestart ||
                           (file.type == FileType::kAmberCoord && box_inputs == BoxInputs::kTrajectoriesAndRestarts);
    if (box && takes_box) record->SetFileFlag(kFileBox);
    into.push_back(std::move(record));
  }
}

// Layout, for a column of 16:
//    File type:
//      PDB          : extension ... PDB, ENT
//                   : file type ... PDB, ENT
std::string FileTypeHelp(int column, TargetNotes notes) {
  std::string text = " File type:\n";
  const std::string indent(static_cast<size_t>(column), ' ');
  auto line = [&](std::string_view head, std::string_view label, std::string_view value) {
    std::string left = "   ";
    left.append(head);
    if (static_cast<int>(left.size()) < column) left.append(static_cast<size_t>(column) - left.size(), ' ');
    text.append(head.empty() ? indent : left);
    text.append(": ");
    text.append(label);
    text.append(" ... ");
    text.append(value);
    text.push_back('\n');
  };
  for (const FormatHelp& format : kFormatHelp) {
    line(format.name, "extension", format.extensions);
    line("", "file type", format.keywords);
    if (notes == TargetNotes::kNone) continue;
    if (format.type == FileType::kPdb) {
      line("", "target   ", notes == TargetNotes::kConvert ? "first molecule (-m 1)" : "first molecule");
    } else if (format.type == FileType::kGaussianOut) {
      line("", "target   ", notes == TargetNotes::kConvert ? "last molecule (-m -1)" : "last molecule");
    }
  }
  return text;
}

}  // namespace tarvex
