// Amber trajectory (CRD) layout:
//
//   line 1      title (the whole line)
//   then        per frame, 3 x NATOM coordinates x1 y1 z1 x2 ... as "%8.3f",
//               ten per line, a new line started for each frame; with a
//               periodic box, its three lengths follow each frame on a line
//               of their own
//
// The file names no atoms and states no atom count: the count comes from a
// topology copied into the record, or from the user. The numbers are read as
// white-space-separated values, so the line layout plays no part: a wrong
// atom count or a wrong BOX setting shifts every frame after the first, which
// is why a file that ends inside a frame is reported.
//
// The numbers are read by CoordinateScanner: lines in the layout above are
// cut at their columns, every other line is read word by word, with the
// same numbers, stops and warnings either way. An analyzer that uses a few
// atoms names them (SetNeededAtoms), and only their numbers are converted.
#include "formats/amber_coord_file.h"

#include <array>
#include <utility>

#include "common/console.h"
#include "common/exit.h"
#include "formats/amber_numbers.h"
#include "formats/amber_titles.h"
#include "molecule/coordinate_limit.h"

namespace tarvex {
namespace {

constexpr int kNumbersPerLine = 10;

}  // namespace

CAmberCoordFile::CAmberCoordFile() = default;
CAmberCoordFile::CAmberCoordFile(std::string name) { OpenInput(std::move(name)); }
CAmberCoordFile::~CAmberCoordFile() = default;

// The head of a trajectory is its title line; a file without one (or a
// binary file, such as a NetCDF trajectory) is not a trajectory.
void CAmberCoordFile::OpenInput(std::string name) {
  StoreNameAndOpenInput(name, false);
  std::string_view line;
  std::string binary;
  if (!input_.LooksLikeText(binary) || !input_.ReadLine(line)) {
    Fatal(input_file_name_ + " is not Amber CRD file.");
  }
  title_.assign(line);
  box_.assign(3, 0.0);
  frames_read_ = 0;
  stopped_ = false;
}

void CAmberCoordFile::OpenOutput(std::string name, bool open) { OpenOutputShared(name, open); }

bool CAmberCoordFile::ReadFrame() {
  if (stopped_ || !input_.IsOpen() || number_of_atoms_ <= 0) return false;
  const bool with_box = (file_flags_ & kFileBox) != 0;
  const size_t points = static_cast<size_t>(number_of_atoms_);
  const size_t wanted = 3 * points + (with_box ? 3 : 0);
  if (wanted_atoms_ != needed_atoms_) {
    wanted_atoms_ = needed_atoms_;
    NumbersOfAtoms(wanted_atoms_, wanted_);
    fresh_layouts_ = 2;
  }
  if (fresh_layouts_ > 0) {
    scratch_.clear();
    --fresh_layouts_;
  }
  CoordinateScanner scanner(input_);
  size_t read = scanner.ReadFrame(scratch_, points, wanted_);
  std::array<double, 3> box{};
  if (read == 3 * points && with_box) read += scanner.Read(box.data(), box.size());
  if (read == wanted) {
    if (with_box) box_.assign(box.begin(), box.end());
    ++frames_read_;
    return true;
  }
  stopped_ = true;
  const std::string after = std::to_string(frames_read_) + " frames";
  if (scanner.Stop() == ScanStop::kTooLarge) {
    Fatal("Error: " + input_file_name_ + ", frame " + std::to_string(frames_read_ + 1) + ": the number \"" +
          scanner.BadWord() + "\" is beyond what any molecule file can hold.");
  }
  if (scanner.Stop() == ScanStop::kNotANumber) {
    Warn("Warning: " + input_file_name_ + ": \"" + scanner.BadWord() + "\" is not a number; reading stopped after " +
         after + ".");
  } else if (read > 0) {
    Warn("Warning: " + input_file_name_ + " ends inside a frame: " + std::to_string(read) +
         " numbers left over after " + after + " of " + std::to_string(points) + " atoms" +
         (with_box ? " with a box" : "") + " (" + std::to_string(wanted) +
         " numbers each); the partial frame was dropped.");
  }
  return false;
}

// which = 0 reads the next frame, N > 0 reads N frames and keeps the N-th
// (or the last whole one), a negative value reads to the end of the file.
// The frame read last is swapped in, so the buffers are reused frame after
// frame; `cartesian` is emptied only when no frame was read.
void CAmberCoordFile::Read(int which) {
  const int target = which == 0 ? 1 : which;
  int count = 0;
  for (; which < 0 || count < target; ++count) {
    if (!ReadFrame()) break;
    std::swap(cartesian_, scratch_);
  }
  if (count == 0) cartesian_.clear();
}

// Every frame to the end of the file; `frame` (0-based, negative for the
// last) becomes the current coordinates.
void CAmberCoordFile::ReadAll(int frame) {
  CollectFrames([this] { Read(0); }, cartesian_, cartesian_all_, number_of_molecules_, frame, input_file_name_);
}

void CollectFrames(const std::function<void()>& read_next, Frame& cartesian, std::vector<Frame>& all, int& molecules,
                   int frame, const std::string& file_name) {
  all.clear();
  for (;;) {
    read_next();
    if (cartesian.empty()) break;
    all.push_back(cartesian);
  }
  const int count = static_cast<int>(all.size());
  molecules = count;
  if (count == 0) return;
  const int index = frame < 0 ? count - 1 : frame;
  if (index >= count) {
    Fatal("Error: " + file_name + " holds " + std::to_string(count) + " frames; frame " + std::to_string(index + 1) +
          " does not exist.");
  }
  cartesian = all[index];
}

// One frame per call. The title heads only the first CRD file of the run, so
// that frames written one by one (WriteAll) can be joined into a trajectory.
void CAmberCoordFile::Write() {
  RequireWholeStructure();
  AppendTitleOnce(output_.Buffer(), title_, AmberTitlesWritten().coord_title_written);
  NumberBlockWriter block(output_, 8, 3, kNumbersPerLine);
  block.AddPoints(cartesian_);
  if ((file_flags_ & kFileBox) && !box_.empty()) {
    for (double value : box_) block.Add(value);
  }
  block.EndLine();
}

}  // namespace tarvex
