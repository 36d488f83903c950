// The file frame of a record: its file names, its input and output streams,
// and writing every frame of a trajectory to numbered files.
#include <algorithm>
#include <string>

#include "common/console.h"
#include "common/exit.h"
#include "molecule/data_file.h"
#include "molecule/numbered_files.h"

namespace tarvex {

int NumberedFileWidth(long long frames, int step, bool step0, bool base1) {
  const long long s = step0 ? 0 : 1;
  const long long b = base1 ? 1 : 0;
  const long long files = (frames - 1 + s) / step - s + 1 + b;
  return files <= 10000 ? 4 : (files > 1000000 ? 8 : 6);
}

std::string NumberedFileName(const std::string& base, long long number, int width, const std::string& extension) {
  std::string digits = std::to_string(number);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return base + digits + extension;
}

std::string CDataFile::GetInputFileName() const { return input_file_name_; }
std::string CDataFile::GetOutputFileName() const { return output_file_name_; }

CDataFile::InputPosition CDataFile::GetInputPosition() const {
  if (!input_.IsOpen()) return binary_position_;
  return {input_.Tell(), input_.Compressed() ? 0 : input_.FileSize()};
}

void CDataFile::RequireWholeStructure() const {
  const size_t atoms = static_cast<size_t>(std::max(number_of_atoms_, 0));
  if (cartesian_.size() >= atoms) return;
  if (cartesian_.empty()) {
    Fatal("Error: the " + std::to_string(atoms) + " atoms have no coordinates; the structure cannot be written.");
  }
  Fatal("Error: " + std::to_string(cartesian_.size()) + " of the " + std::to_string(atoms) +
        " atoms have coordinates; the structure cannot be written.");
}

void CDataFile::OpenInputStream() {
  if (!input_.Open(input_file_name_)) Fatal("Can't open input file: " + input_file_name_);
}

void CDataFile::OpenOutputStream() {
  if (!output_.Open(output_file_name_)) Fatal("Can't open output file: " + output_file_name_);
}

void CDataFile::StoreNameAndOpenInput(const std::string& name, bool require_text) {
  input_file_name_ = name;
  OpenInputStream();
  if (require_text) input_.RequireText();
}

void CDataFile::OpenOutputShared(const std::string& name, bool open) {
  output_file_name_ = name;
  if (open) OpenOutputStream();
}

void CDataFile::ReadAll(int frame) { Read(frame); }

// Frames go to base + counter + extension, the counter zero-padded to 4, 6 or
// 8 digits depending on how many files are written. Every step-th frame is
// written; STEP0 counts from 0 so that the first frame is written too, and
// BASE1 numbers the files from 1.
void CDataFile::WriteAll(int step) {
  const std::vector<Frame>& frames = GetCartesianAll();
  size_t k = 0;
  WriteFrames(
      step, static_cast<long long>(frames.size()),
      [&](Frame& frame) {
        if (k == frames.size()) return false;
        frame = frames[k++];
        return true;
      },
      false);
}

long long CDataFile::ForEachKeptFrame(int step, const std::function<bool(Frame&)>& next, bool fit,
                                      const std::function<void(long long)>& write) {
  if (step < 1) step = 1;
  long long frames = 0;
  Frame frame;
  for (long long counter = (file_flags_ & kFileStep0) ? 0 : 1; next(frame); ++counter, ++frames) {
    if (counter % step != 0) continue;
    cartesian_.swap(frame);
    internal_.clear();
    internal_reference_.clear();
    if (fit) FitToReference();
    write(frames + 1);
  }
  return frames;
}

void CDataFile::WriteFrames(int step, long long expected, const std::function<bool(Frame&)>& next, bool fit) {
  if (output_file_name_ == kStandardOutputName) {
    Fatal("Error: numbered output files cannot be written to standard output; give a file name.");
  }
  if (step < 1) step = 1;
  output_.Close();
  std::string base = output_file_name_;
  std::string extension;
  if (size_t dot = output_file_name_.rfind('.'); dot != std::string::npos) {
    base = output_file_name_.substr(0, dot);
    extension = output_file_name_.substr(dot);
  }
  const bool step0 = (file_flags_ & kFileStep0) != 0;
  const bool base1 = (file_flags_ & kFileBase1) != 0;
  const int width = NumberedFileWidth(std::max(expected, 1LL), step, step0, base1);
  const long long first_number = base1 ? 1 : 0;
  long long number = first_number;
  const long long frames = ForEachKeptFrame(step, next, fit, [&](long long) {
    std::string name = NumberedFileName(base, number, width, extension);
    if (!output_.Open(name)) Fatal("Can't open output file: " + name);
    Write();
    output_.Close();
    ++number;
  });
  const int final_width = NumberedFileWidth(frames, step, step0, base1);
  for (long long k = first_number; final_width != width && k < number; ++k) {
    RetargetOutput(NumberedFileName(base, k, width, extension), NumberedFileName(base, k, final_width, extension));
  }
}

}  // namespace tarvex
