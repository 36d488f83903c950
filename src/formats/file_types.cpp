#include "formats/file_types.h"

#include <array>

#include "common/console.h"
#include "common/exit.h"
#include "common/line_reader.h"
#include "common/text.h"
#include "formats/amber_coord_file.h"
#include "formats/amber_netcdf_file.h"
#include "formats/amber_prep_file.h"
#include "formats/amber_restart_file.h"
#include "formats/amber_topology_file.h"
#include "formats/gaussian_banner.h"
#include "formats/gaussian_in_file.h"
#include "formats/gaussian_out_file.h"
#include "formats/mol2_file.h"
#include "formats/pdb_file.h"

namespace tarvex {
namespace {

template <typename Format>
std::unique_ptr<CDataFile> Make() {
  return std::make_unique<Format>();
}

template <typename Format>
std::unique_ptr<CDataFile> Open(std::string name) {
  return std::make_unique<Format>(std::move(name));
}

// A PDB file holds models, a Gaussian output the geometries of every step;
// their readers take the first model and the last geometry by default.
constexpr std::array kFormats = {
    FileFormat{FileType::kPdb, "PDB", "PDB, ENT", "PDB, ENT", DefaultMolecule::kFirst, BoxUse::kNone, Make<CPdbFile>,
               Open<CPdbFile>},
    FileFormat{FileType::kMol2, "MOL2", "MOL2", "MOL2", DefaultMolecule::kOnly, BoxUse::kNone, Make<CMol2File>,
               Open<CMol2File>},
    FileFormat{FileType::kAmberCoord, "Amber CRD", "CRD, AMBER_CRD", "CRD", DefaultMolecule::kOnly, BoxUse::kTrajectory,
               Make<CAmberCoordFile>, Open<CAmberCoordFile>},
    FileFormat{FileType::kAmberRestart, "Amber RST", "RST, AMBER_RST", "RST", DefaultMolecule::kOnly, BoxUse::kRestart,
               Make<CAmberRestartFile>, Open<CAmberRestartFile>},
    FileFormat{FileType::kAmberTopology, "Amber TOP", "TOP, AMBER_TOP", "TOP", DefaultMolecule::kOnly, BoxUse::kNone,
               Make<CAmberTopologyFile>, Open<CAmberTopologyFile>},
    FileFormat{FileType::kAmberPrep, "Amber PREP", "PREP, AMBER_PREP", "PREP", DefaultMolecule::kOnly, BoxUse::kNone,
               Make<CAmberPrepFile>, Open<CAmberPrepFile>},
    FileFormat{FileType::kGaussianIn, "Gaussian in", "COM, GAUSSIAN_IN", "COM", DefaultMolecule::kOnly, BoxUse::kNone,
               Make<CGaussianInFile>, Open<CGaussianInFile>},
    FileFormat{FileType::kGaussianOut, "Gaussian out", "LOG, GAUSSIAN_OUT", "LOG", DefaultMolecule::kLast,
               BoxUse::kNone, Make<CGaussianOutFile>, Open<CGaussianOutFile>},
    // Binary Amber files carry their box themselves: no BOX flag is needed.
    FileFormat{FileType::kAmberNetcdf, "Amber NetCDF", "NC, NCDF, NETCDF, AMBER_NC", "NC, NCDF, NETCDF",
               DefaultMolecule::kOnly, BoxUse::kNone, Make<CAmberNetcdfFile>, Open<CAmberNetcdfFile>},
    FileFormat{FileType::kAmberNetcdfRestart, "Amber NCRST", "NCRST, AMBER_NCRST", "NCRST", DefaultMolecule::kOnly,
               BoxUse::kNone, Make<CAmberNetcdfRestartFile>, Open<CAmberNetcdfRestartFile>},
};

// sander, pmemd, LEaP, ParmEd and cpptraj name their files so (sander's
// defaults are prmtop, inpcrd, restrt and mdcrd), and Gaussian's Windows
// front end writes inputs as .gjf. ".out" is a Gaussian log only when it
// begins as one.
constexpr std::array kEverydayNames = {
    EverydayName{"PRMTOP", FileType::kAmberTopology},  EverydayName{"PARM7", FileType::kAmberTopology},
    EverydayName{"RST7", FileType::kAmberRestart},     EverydayName{"INPCRD", FileType::kAmberRestart},
    EverydayName{"RESTRT", FileType::kAmberRestart},   EverydayName{"MDCRD", FileType::kAmberCoord},
    EverydayName{"TRJ", FileType::kAmberCoord},        EverydayName{"GJF", FileType::kGaussianIn},
    EverydayName{"OUT", FileType::kGaussianOut, true},
};

// FindFormat indexes the table by type.
constexpr bool RowsFollowTheTypes() {
  for (size_t k = 0; k < kFormats.size(); ++k) {
    if (static_cast<size_t>(kFormats[k].type) != k + 1) return false;
  }
  return true;
}
static_assert(RowsFollowTheTypes(), "one row per FileType, in the order of the enum");

bool HasKeyword(std::string_view keywords, std::string_view upper) {
  while (!keywords.empty()) {
    const size_t comma = keywords.find(", ");
    if (keywords.substr(0, comma) == upper) return true;
    if (comma == std::string_view::npos) break;
    keywords.remove_prefix(comma + 2);
  }
  return false;
}

}  // namespace

const FileFormat* FindFormat(FileType type) {
  const size_t k = static_cast<size_t>(type);
  return k >= 1 && k <= kFormats.size() ? &kFormats[k - 1] : nullptr;
}

namespace {

// An output and an input opened later start alike: an empty record.
std::unique_ptr<CDataFile> MakeEmpty(FileType type) {
  const FileFormat* format = FindFormat(type);
  return format ? format->make() : nullptr;
}

}  // namespace

std::span<const FileFormat> FileFormats() { return kFormats; }
std::span<const EverydayName> EverydayNames() { return kEverydayNames; }

FileType LookupFileType(std::string_view type_text) {
  const std::string upper = ToUpper(type_text);
  for (const FileFormat& format : kFormats) {
    if (HasKeyword(format.keywords, upper)) return format.type;
  }
  for (const EverydayName& name : kEverydayNames) {
    if (name.keyword == upper) return name.type;
  }
  return FileType::kUnknown;
}

namespace {

bool IsOutput(Opening opening) { return opening == Opening::kOutput || opening == Opening::kOutputNow; }

// The type of a named file once a name shared with other programs has been
// checked against the file's head: kUnknown when it does not show the format.
FileType ConfirmedType(const NamedFile& file, Opening opening) {
  const std::string upper = UpperType(file);
  for (const EverydayName& name : kEverydayNames) {
    if (!name.shown_by_head || name.keyword != upper) continue;
    return !IsOutput(opening) && ShowsGaussianBanner(file.name) ? file.type : FileType::kUnknown;
  }
  return file.type;
}

}  // namespace

// A compressed file is typed by the extension under ".gz": a.crd.gz is CRD.
// The extension is that of the file's own name, whatever its directory, so
// that a name without one is its own type wherever it lies (sander's
// run.1/prmtop is a topology).
std::string_view TypeExtension(std::string_view file_name) {
  if (IsCompressedName(file_name)) file_name.remove_suffix(3);
  if (const size_t slash = file_name.find_last_of("/\\"); slash != std::string_view::npos) {
    file_name.remove_prefix(slash + 1);
  }
  return FileExtension(file_name);
}

FileType FileTypeOfName(std::string_view file_name) { return LookupFileType(TypeExtension(file_name)); }

std::unique_ptr<CDataFile> CreateInputFile(FileType type, const std::string& name) {
  const FileFormat* format = FindFormat(type);
  return format ? format->open(name) : nullptr;
}

std::unique_ptr<CDataFile> CreateOutputFile(FileType type) { return MakeEmpty(type); }
std::unique_ptr<CDataFile> CreateUnopenedInput(FileType type) { return MakeEmpty(type); }

std::unique_ptr<CDataFile> CreateFile(FileType type, const std::string& name, Opening opening) {
  // Inputs ending in ".gz" are read through zlib; outputs are written plain,
  // and a plain file must not be given the name of a compressed one.
  if (IsOutput(opening) && IsCompressedName(name)) {
    Fatal("Error: " + name + ": compressed output is not written; give the name without \".gz\".");
  }
  // Known before anything is printed, so that the whole report goes to
  // standard error when standard output carries the file.
  if (IsOutput(opening) && name == kStandardOutputName) GiveStandardOutputToFile();
  switch (opening) {
    case Opening::kInput:
      return CreateInputFile(type, name);
    case Opening::kInputLater:
      return CreateUnopenedInput(type);
    case Opening::kOutput:
      return CreateOutputFile(type);
    case Opening::kOutputNow:
      break;
  }
  std::unique_ptr<CDataFile> record = CreateOutputFile(type);
  if (record) record->OpenOutput(name, true);
  return record;
}

NamedFile ResolveFile(std::string name, std::string explicit_type, bool typed) {
  NamedFile file;
  file.type_text = typed ? std::move(explicit_type) : std::string(TypeExtension(name));
  file.name = std::move(name);
  file.type = LookupFileType(file.type_text);
  return file;
}

std::string UpperType(const NamedFile& file) { return ToUpper(file.type_text); }

std::unique_ptr<CDataFile> CreateWithFallback(const NamedFile& file, const UnknownType& unknown, Opening opening) {
  FileType type = ConfirmedType(file, opening);
  // Standard output ("-o -") has no extension to tell a format by: the
  // analyzer's own output format is written, without a warning.
  const bool standard_output = IsOutput(opening) && file.name == kStandardOutputName && file.type_text == file.name;
  if (type == FileType::kUnknown && standard_output && unknown.fallback != FileType::kUnknown) {
    type = unknown.fallback;
  } else if (type == FileType::kUnknown) {
    switch (unknown.shown) {
      case NameInWarning::kFileName:
        Warn(std::string(unknown.warning) + file.name);
        break;
      case NameInWarning::kUpperType:
        Warn(std::string(unknown.warning) + UpperType(file));
        break;
      case NameInWarning::kTypeAsGiven:
        Warn(std::string(unknown.warning) + file.type_text);
        break;
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
    const FileFormat* format = FindFormat(file.type);
    const BoxUse use = format ? format->box : BoxUse::kNone;
    const bool takes_box =
        use == BoxUse::kRestart || (use == BoxUse::kTrajectory && box_inputs == BoxInputs::kTrajectoriesAndRestarts);
    if (box && takes_box) record->SetFileFlag(kFileBox);
    into.push_back(std::move(record));
  }
}

// Layout, for a column of 16 (the target line only with notes):
//    File type:
//      PDB          : extension ... PDB, ENT
//                   : file type ... PDB, ENT
//                   : target    ... first molecule
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
  const bool convert = notes == TargetNotes::kConvert;
  for (const FileFormat& format : kFormats) {
    line(format.name, "extension", format.extensions);
    line("", "file type", format.keywords);
    if (notes == TargetNotes::kNone) continue;
    if (format.default_molecule == DefaultMolecule::kFirst) {
      line("", "target   ", convert ? "first molecule (-m 1)" : "first molecule");
    } else if (format.default_molecule == DefaultMolecule::kLast) {
      line("", "target   ", convert ? "last molecule (-m -1)" : "last molecule");
    }
  }
  return text;
}

}  // namespace tarvex
