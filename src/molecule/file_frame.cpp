// The file frame of a record: its file names, its input and output streams,
// and writing every frame of a trajectory to numbered files.
#include <string>

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

void CDataFile::OpenInputStream() {
  if (!input_.Open(input_file_name_)) Fatal("Can't open input file: " + input_file_name_);
}

void CDataFile::OpenOutputStream() {
  if (!output_.Open(output_file_name_)) Fatal("Can't open output file: " + output_file_name_);
}

void CDataFile::StoreNameAndOpenInput(const std::string& name) {
  input_file_name_ = name;
  OpenInputStream();
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
  if (step < 1) step = 1;
  const std::vector<Frame>& frames = GetCartesianAll();
  output_.Close();
  std::string base = output_file_name_;
  std::string extension;
  if (size_t dot = output_file_name_.rfind('.'); dot != std::string::npos) {
    base = output_file_name_.substr(0, dot);
    extension = output_file_name_.substr(dot);
  }
  const bool step0 = (file_flags_ & kFileStep0) != 0;
  const bool base1 = (file_flags_ & kFileBase1) != 0;
  const int width = NumberedFileWidth(static_cast<long long>(frames.size()), step, step0, base1);
  long long number = base1 ? 1 : 0;
  long long counter = step0 ? 0 : 1;
  for (size_t k = 0; k < frames.size(); ++k) {
    if (counter % step == 0) {
      std::string name = NumberedFileName(base, number, width, extension);
      if (!output_.Open(name)) Fatal("Can't open output file: " + name);
      cartesian_ = frames[k];
      internal_.clear();
      internal_reference_.clear();
      Write();
      output_.Close();
      ++number;
    }
    ++counter;
  }
}

}  // namespace tarvex
