// Amber restart (RST) layout:
//
//   line 1      title (the whole line; often empty)
//   line 2      atom count, then the time in ps ("%5i%15.7e"); starting
//               coordinates written by LEaP or ParmEd often give no time
//   then        3 x NATOM coordinates, "%12.7f", six per line
//   then        (restarts of an MD run) 3 x NATOM velocities, same layout
//   then        (periodic systems) the box: three lengths, usually followed
//               by the three angles, on a line of their own
//
// Nothing marks whether velocities are present: they are tried for, and when
// fewer than 3 x NATOM numbers follow the coordinates the reader goes back
// and takes what follows as the box.
#include "formats/amber_restart_file.h"

#include <array>
#include <charconv>
#include <utility>

#include "common/console.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "formats/amber_numbers.h"
#include "molecule/coordinate_limit.h"

namespace tarvex {
namespace {

constexpr int kNumbersPerLine = 6;

// "%15.6E": scientific, six decimals, an upper-case exponent letter.
void AppendScientific(std::string& out, double value, int width) {
  char buffer[64];
  auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 6);
  std::string text(buffer, ec == std::errc() ? static_cast<size_t>(ptr - buffer) : 0);
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  AppendRight(out, text, width);
}

}  // namespace

// Restart files are always read with their velocities.
CAmberRestartFile::CAmberRestartFile() { file_flags_ = kFileRestartVelocity; }
CAmberRestartFile::CAmberRestartFile(std::string name) {
  file_flags_ = kFileRestartVelocity;
  OpenInput(std::move(name));
}
CAmberRestartFile::~CAmberRestartFile() = default;

// The head: the title line, then the line with the atom count and the time.
// A file without an atom count there (an empty file, a binary NetCDF
// restart) is not a restart file.
void CAmberRestartFile::OpenInput(std::string name) {
  StoreNameAndOpenInput(name, false);
  const std::string not_restart = input_file_name_ + " is not Amber RST file.";
  std::string_view line;
  std::string binary;
  if (!input_.LooksLikeText(binary) || !input_.ReadLine(line)) Fatal(not_restart);
  title_.assign(line);
  int atoms = 0;
  size_t used = 0;
  if (!input_.ReadLine(line) || (used = ParseIntPrefix(line, atoms)) == 0) Fatal(not_restart);
  // Every atom takes dozens of bytes; a count beyond the size of the file is
  // not a count of this file (and must not size anything).
  const uint64_t size = input_.FileSize();
  if (atoms < 0 || (size > 0 && static_cast<uint64_t>(atoms) > size)) {
    Fatal("Error: " + input_file_name_ + " declares " + std::to_string(atoms) + " atoms, which its " +
          std::to_string(size) + " bytes cannot hold.");
  }
  SetNumberOfAtoms(atoms);
  time_ = 0.0;
  double time = 0.0;
  if (ParseDoublePrefix(line.substr(used), time) > 0) time_ = time;
  box_.assign(3, 0.0);
  structure_read_ = false;
}

void CAmberRestartFile::OpenOutput(std::string name, bool open) { OpenOutputShared(name, open); }

void CAmberRestartFile::Read(int) {
  cartesian_.clear();
  force_.clear();
  if (structure_read_ || !input_.IsOpen() || number_of_atoms_ <= 0) return;
  structure_read_ = true;
  const size_t points = static_cast<size_t>(number_of_atoms_);
  {
    NumberScanner scanner(input_);
    const size_t read = ReadFrame(scanner, cartesian_, points);
    if (scanner.Stop() == ScanStop::kTooLarge) {
      Fatal("Error: " + input_file_name_ + ": the coordinate \"" + scanner.BadWord() +
            "\" is beyond what any molecule file can hold.");
    }
    if (read < 3 * points) {
      cartesian_.clear();
      Warn("Warning: " + input_file_name_ + " holds " + std::to_string(read) + " of the " + std::to_string(3 * points) +
           " coordinates of its " + std::to_string(points) + " atoms; no structure was read.");
      return;
    }
  }
  if (file_flags_ & kFileRestartVelocity) {
    const uint64_t after_coordinates = input_.Tell();
    bool complete = false;
    {
      NumberScanner scanner(input_);
      complete = ReadFrame(scanner, force_, points) == 3 * points;
    }
    if (!complete) {
      force_.clear();
      input_.Seek(after_coordinates);
    }
  }
  if (file_flags_ & kFileBox) {
    NumberScanner scanner(input_);
    std::array<double, 3> box{};
    if (scanner.Read(box.data(), box.size()) == box.size()) box_.assign(box.begin(), box.end());
  }
}

void CAmberRestartFile::Write() {
  RequireWholeStructure();
  std::string& out = output_.Buffer();
  out.append(title_);
  out.push_back('\n');
  if (number_of_atoms_ == 0) {
    output_.Commit();
    Warn("Amber restart file is empty.");
    return;
  }
  AppendInt(out, number_of_atoms_, 5);
  AppendScientific(out, time_, 15);
  out.push_back('\n');
  NumberBlockWriter block(output_, 12, 7, kNumbersPerLine);
  block.AddPoints(cartesian_);
  if (!force_.empty()) {
    block.EndLine();
    block.AddPoints(force_);
  }
  if ((file_flags_ & kFileBox) && !box_.empty()) {
    block.EndLine();
    for (double value : box_) block.Add(value);
  }
  block.EndLine();
}

}  // namespace tarvex
