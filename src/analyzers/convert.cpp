#include "analyzers/convert.h"

#include "common/exit.h"
#include "common/progress.h"
#include "formats/amber_coord_file.h"
#include "formats/gaussian_out_file.h"
#include "formats/pdb_file.h"

namespace tarvex {
namespace {

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h              : Help\n"
    "   -v              : Version\n"
    "   -m <number>     : Number of required molecule [0]\n"
    "                   :  0  ... default behavior on each file format\n"
    "                   :  1  ... obtain first molecule\n"
    "                   :  N  ... obtain N-th molecule\n"
    "                   :  -1 ... obtain last molecule\n"
    "   -n <number>     : Number of atoms\n"
    "   -s <number>     : Set number of steps to output molecules [1]\n"
    "   -a              : Write all molecules\n"
    "   -c              : Create bond information\n"
    "   -e <number>     : Excluding atoms for least-squares fits [none] (ex. 125-630,800-920)\n"
    "   -f <flags...>   : Set flags\n"
    "                   :  BOX        ... read BOX parameters for Amber CRD/RST files\n"
    "                   :  BASE1      ... basement of array for output files is 1 (default: 0)\n"
    "                   :  STEP0      ... first molecule is written for -s (default: no writing)\n"
    "                   :  INT        ... write internal coordinates\n"
    "                   :  NO_MERGE   ... no inheritance of bond information from input files\n"
    "                   :  USE_VAR    ... write variables for Gaussian input file\n"
    "                   :  NO_ATOMNUM ... write no atom number for Gaussian input file\n"
    "                   :  STRICT     ... apply strict format for input files\n"
    "                   :  UPPER      ... apply uppercase format for output file\n"
    "                   :  NO_CONNECT ... write no bond information\n"
    "                   :  NO_TYPE    ... write no atom-type and bond-type information\n"
    "                   :  GOLD       ... assign MOL2 format according to the GOLD conventions\n"
    "                   :  MOL2_NAME  ... write MOL2 name instead of filename to MOL NAME field\n"
    "                   :  OVERWRITE  ... overwrite data of output molecule by input files in order\n"
    "                   :  FIT_ALL    ... select all atoms for least-squares fits\n"
    "                   :  FIT_HEAVY  ... select heavy atoms for least-squares fits\n"
    "   -r files...     : Reference files for least-squares fits or move center of balance to origin "
    "(when no -i/-it options)\n"
    "   -rt file type...: Reference files for least-squares fits and file-type indices\n"
    "   -ra <...>       : Select atoms for least-squares fits [all] (ex. C,CA,N,125-630,800-920)\n"
    "                   : <N>|<N-N>   ... A) selection of atom number <N> or between <N> and <N>\n"
    "                   : _<N>|_<N-N> ... B) excluding of atom number <N> or between <N> and <N>\n"
    "                   : <A>|_<A>    ... C) selection of atom name <A> or excluding of atom name <A>\n"
    "                   : set of A and B is intersection of selection (AND)\n"
    "                   : set of B and C is intersection of selection (AND)\n"
    "                   : set of A and C is union of selection (OR)\n"
    "                   : set of selection and excluding of atom names in C is union of selection (OR)\n"
    "                   : set of A, B, and C is union of selection (OR)\n"
    "   -i files...     : Input files\n"
    "   -it file type...: Input files and file-type indices\n"
    "   -o file         : Output file\n"
    "   -ot file type   : Output file and file-type index\n"
    "\n";

constexpr AnalyzerTexts kTexts = {
    .version = "0.70",
    .revision = "B",
    .description = "Convert molecular data file format.",
    .usage_synopsis =
        " [-hvac] [-m <N>] [-n <N>] [-s <N>] [-f <...>] [-r reffiles... -rt reffile reffile-type... "
        "-ra <...>] -i infiles... -it infile infile-type... -o outfile -ot outfile outfile-type",
    .help_options = kHelpOptions,
    .file_type_column = 19,
    .target_notes = TargetNotes::kConvert,
};

constexpr FlagWord kFlags[] = {
    {"BOX", CConvert::kBox},
    {"BASE1", CConvert::kBase1},
    {"STEP0", CConvert::kStep0},
    {"INT", CConvert::kInt},
    {"NO_MERGE", CConvert::kNoMerge},
    {"USE_VAR", CConvert::kUseVar},
    {"NO_ATOMNUM", CConvert::kNoAtomNumber},
    {"STRICT", CConvert::kStrict},
    {"UPPER", CConvert::kUpper},
    {"NO_CONNECT", CConvert::kNoConnect},
    {"NO_TYPE", CConvert::kNoType},
    {"GOLD", CConvert::kGold},
    {"MOL2_NAME", CConvert::kMol2Name},
    {"OVERWRITE", CConvert::kOverwrite},
    {"FIT_ALL", CConvert::kFitAllAtoms},
    {"FIT_HEAVY", CConvert::kFitHeavyAtoms},
};

constexpr UnknownType kUnknownReference = {"Warning: unknown reference file format: "};
constexpr UnknownType kOutputFallback = {"Warning unknown output file format: ", NameInWarning::kFileName,
                                         FileType::kPdb, "Output file applies to the PDB format."};

}  // namespace

// Inputs and references are opened as they are named; the output is made
// empty and opened when it is written. "-e" is documented but is no option.
CConvert::CConvert() : CAnalyzer(kTexts) {
  DeclareOptions({
      .options =
          {
              Option::Integer("m", molecule_, "-"),
              Option::Integer("n", atom_count_, "-"),
              Option::Integer("s", step_, "-"),
              Option::Switch("a", kWriteAll),
              Option::Switch("c", kCreateBonds),
              Option::Flags("f", kFlags),
              Option::Selection("ra", fit_atoms_, fit_excluded_atoms_, fit_atom_names_),
              Option::Files("r", references_, kUnknownReference).Name(reference_file_name_).Box(kBox).Sets(kReferences),
              Option::Files("i", inputs_, kSkipUnknownInput).Name(input_file_name_).Box(kBox).Sets(kInput),
              Option::File("o", output_, kOutputFallback, Opening::kOutput).Name(output_file_name_).Sets(kOutput),
          },
      .required = {kInput | kReferences, kOutput},
  });
}

CConvert::~CConvert() = default;

// The output's file flags from convert's options.
uint32_t CConvert::OutputFileFlags() const {
  static constexpr std::pair<uint32_t, uint32_t> kMap[] = {
      {kBase1, kFileBase1},         {kStep0, kFileStep0},         {kCreateBonds, kFileCreateBonds},
      {kInt, kFileInternal},        {kNoMerge, kFileNoMerge},     {kUseVar, kFileUseVar},
      {kUpper, kFileUpper},         {kNoConnect, kFileNoConnect}, {kNoAtomNumber, kFileNoAtomNumber},
      {kNoType, kFileNoType},       {kGold, kFileGold},           {kMol2Name, kFileMol2Name},
      {kOverwrite, kFileOverwrite},
  };
  uint32_t bits = 0;
  for (auto [option, file_bit] : kMap) {
    if (flags_ & option) bits |= file_bit;
  }
  return bits;
}

void CConvert::Run() {
  output_->OpenOutput(output_file_name_, !(flags_ & kWriteAll));
  output_->SetFileFlag(OutputFileFlags());
  if (flags_ & kFitAllAtoms) output_->SetFitFlag(tarvex::kFitAll);
  if (flags_ & kFitHeavyAtoms) output_->SetFitFlag(tarvex::kFitHeavy);
  if (flags_ & kReferences) ReadReferences();
  for (auto& input : inputs_) {
    if (flags_ & kStrict) input->SetFileFlag(kFileStrict);
  }
  if (atom_count_ > 0) output_->SetNumberOfAtoms(atom_count_);
  CAmberCoordFile* streamed = (flags_ & kWriteAll) ? TrajectoryToStream() : nullptr;
  for (auto& input : inputs_) {
    input->CopyState(*output_);
    if (input.get() == streamed) {
      RequireAtomCount(*input);
    } else if (flags_ & kWriteAll) {
      input->ReadAll(molecule_);
    } else {
      RequireAtomCount(*input);
      input->Read(molecule_);
    }
    RequireGeometry(*input);
    output_->TakeState(*input);
  }
  if (streamed) {
    StreamFrames(*streamed);
  } else if (flags_ & kWriteAll) {
    output_->WriteAll(step_);
  } else {
    output_->Write();
  }
}

// The references hand the output the selection of paired atoms and their
// structure. Each reference takes over what the earlier ones gave (a
// trajectory its atom count from a topology), reads molecule -m, and the
// structure gathered from them all is the fit reference. Without input
// files the references are the inputs, and their structures only move to
// their centre of mass.
void CConvert::ReadReferences() {
  output_->SetFitAtoms(fit_atoms_);
  output_->SetFitExcludedAtoms(fit_excluded_atoms_);
  output_->SetFitAtomNames(fit_atom_names_);
  output_->SetFileFlag(kFileReferenceFit);
  if (!(flags_ & kInput)) {
    inputs_ = std::move(references_);
    return;
  }
  CPdbFile work;
  if (atom_count_ > 0) work.SetNumberOfAtoms(atom_count_);
  for (auto& reference : references_) {
    reference->CopyState(work);
    RequireAtomCount(*reference);
    reference->Read(molecule_);
    work.TakeState(*reference);
  }
  if (work.GetCartesian().empty()) Fatal("Error: the reference files hold no coordinates: " + reference_file_name_);
  output_->SetFitReference(work.GetCartesian());
}

// A trajectory has no atom count of its own; without one (from a topology
// before it, or -n) nothing could be read from it.
void CConvert::RequireAtomCount(CDataFile& file) {
  if (dynamic_cast<CAmberCoordFile*>(&file) && file.GetNumberOfAtoms() <= 0) {
    Fatal("Error: number of atoms is unknown for " + file.GetInputFileName() + "; give its topology before it, or -n.");
  }
}

// A Gaussian log without an orientation block (a job that failed before
// its first geometry, a log cut short) has no structure to convert.
void CConvert::RequireGeometry(CDataFile& file) {
  if (dynamic_cast<CGaussianOutFile*>(&file) && file.GetCartesian().empty()) {
    Fatal("Error: " + file.GetInputFileName() + " holds no structure.");
  }
}

// With -a the frames written are those of the first input that holds
// several (the last one with OVERWRITE). When that is an Amber trajectory
// it is read one frame at a time while the files are written, so that no
// more than one frame is ever held.
CAmberCoordFile* CConvert::TrajectoryToStream() {
  CDataFile* keeper = nullptr;
  for (auto& input : inputs_) {
    const bool frames = dynamic_cast<CAmberCoordFile*>(input.get()) || dynamic_cast<CGaussianOutFile*>(input.get());
    if (frames && (!keeper || (flags_ & kOverwrite))) keeper = input.get();
  }
  return dynamic_cast<CAmberCoordFile*>(keeper);
}

void CConvert::StreamFrames(CAmberCoordFile& trajectory) {
  const bool fit = output_->Holds(State::kAtomType) && output_->Holds(State::kNumberOfAtoms) &&
                   (output_->GetFileFlags() & kFileReferenceFit);
  long long frames = 0;
  Progress progress(trajectory.GetInputFileName(), trajectory.GetInputPosition().size);
  output_->WriteFrames(
      step_, 0,
      [&](Frame& frame) {
        trajectory.Read(0);
        if (trajectory.GetCartesian().empty()) return false;
        frame.swap(trajectory.GetCartesian());
        ++frames;
        progress.Update(frames, trajectory.GetInputPosition().read);
        return true;
      },
      fit);
  progress.Finish();
  // A trajectory without a whole frame leaves the structure the other
  // inputs gave, written as the only frame.
  if (frames == 0) output_->WriteAll(step_);
  if (molecule_ >= frames && frames > 0) {
    Fatal("Error: " + trajectory.GetInputFileName() + " holds " + std::to_string(frames) + " frames; frame " +
          std::to_string(molecule_ + 1) + " does not exist.");
  }
}

}  // namespace tarvex
