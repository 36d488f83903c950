// Amber NetCDF layouts (NetCDF-3 64-bit offset or NetCDF-4/HDF5 files; the
// library reads both):
//
//   trajectory, global attribute Conventions = "AMBER"
//     dimensions   frame (unlimited), atom, spatial = 3, cell_spatial = 3,
//                  cell_angular = 3
//     coordinates  float (frame, atom, spatial), angstrom
//     cell_lengths double (frame, cell_spatial), cell_angles (frame,
//                  cell_angular): the periodic box, when there is one
//     velocities, time   (frame, ...): not read; a CRD trajectory has neither
//   restart, Conventions = "AMBERRESTART"
//     coordinates  double (atom, spatial); velocities (atom, spatial);
//     cell_lengths (cell_spatial), cell_angles (cell_angular); time (scalar)
//   global attribute title: the title
//
// A variable may carry a scale_factor attribute: its values are multiplied
// by it (files of other programs store coordinates scaled). Velocities are
// stored in angstrom/ps once scaled (Amber writes its internal units with
// the scale factor 20.455); the record keeps them in the internal units of
// the text restart, so they are divided by 20.455.
#include "formats/amber_netcdf_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

#include "common/exit.h"
#include "formats/amber_coord_file.h"
#include "formats/amber_netcdf_writer.h"
#include "formats/netcdf_input.h"
#include "molecule/coordinate_limit.h"

namespace tarvex {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

[[noreturn]] void WritingUnsupported() {
  Fatal("Error: Amber NetCDF restarts are read only; write an Amber RST file instead.");
}

// The atom count comes from the file; one given by a topology or -n must
// agree with it.
void AdoptAtomCount(int& number_of_atoms, const NetcdfInput& file, const std::string& name) {
  const int atoms = static_cast<int>(file.Atoms());
  if (number_of_atoms == 0) number_of_atoms = atoms;
  if (number_of_atoms != atoms) {
    Fatal("Error: " + name + " holds " + std::to_string(atoms) + " atoms, but " + std::to_string(number_of_atoms) +
          " are expected (from the topology or -n).");
  }
}

void NoBox(std::vector<double>& lengths, std::vector<double>& angles) {
  lengths.assign(3, 0.0);
  angles.assign(3, 90.0);
}

// The box of a frame, when the file has one; else the lists stay as they are.
void TakeBox(NetcdfInput& file, size_t frame, std::vector<double>& lengths, std::vector<double>& angles) {
  double read_lengths[3];
  double read_angles[3];
  if (file.ReadBox(frame, read_lengths, read_angles)) {
    lengths.assign(read_lengths, read_lengths + 3);
    angles.assign(read_angles, read_angles + 3);
  }
}

}  // namespace

// ---- trajectory ------------------------------------------------------------------

CAmberNetcdfFile::CAmberNetcdfFile() = default;
CAmberNetcdfFile::CAmberNetcdfFile(std::string name) { OpenInput(std::move(name)); }
CAmberNetcdfFile::~CAmberNetcdfFile() = default;

void CAmberNetcdfFile::OpenInput(std::string name) {
  input_file_name_ = name;
  file_.reset();
  file_ = std::make_unique<NetcdfInput>(name, false);
  title_ = file_->Title();
  next_frame_ = 0;
  NoBox(box_, angles_);
  struct stat info {};
  binary_position_ = {0, ::stat(name.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0};
}

void CAmberNetcdfFile::OpenOutput(std::string name, bool) { output_file_name_ = std::move(name); }

// One structure: a trajectory of one frame.
void CAmberNetcdfFile::Write() {
  RequireWholeStructure();
  NetcdfTrajectoryWriter writer(output_file_name_, title_, cartesian_.size());
  writer.Append(cartesian_, 1.0);
  writer.Close();
}

// Every frame kept goes into the one file, not into numbered files; the
// atom count is that of the first frame.
void CAmberNetcdfFile::WriteFrames(int step, long long, const std::function<bool(Frame&)>& next, bool fit) {
  std::unique_ptr<NetcdfTrajectoryWriter> writer;
  ForEachKeptFrame(step, next, fit, [&](long long place) {
    if (!writer) writer = std::make_unique<NetcdfTrajectoryWriter>(output_file_name_, title_, cartesian_.size());
    writer->Append(cartesian_, static_cast<double>(place));
  });
  if (!writer) writer = std::make_unique<NetcdfTrajectoryWriter>(output_file_name_, title_, cartesian_.size());
  writer->Close();
}

// With needed atoms, only their runs are read; the other points are NaN.
void CAmberNetcdfFile::ReadFrame(size_t frame) {
  const size_t atoms = static_cast<size_t>(number_of_atoms_);
  const auto where = [&] { return input_file_name_ + ", frame " + std::to_string(frame + 1); };
  if (needed_atoms_.empty()) {
    values_.resize(3 * atoms);
    file_->ReadCoordinates(frame, 0, atoms, values_.data());
    cartesian_.resize(atoms);
    for (size_t a = 0; a < atoms; ++a) cartesian_[a] = {values_[3 * a], values_[3 * a + 1], values_[3 * a + 2]};
    RequireHoldable(cartesian_, 0, atoms, where);
  } else {
    cartesian_.assign(atoms, Point{kNaN, kNaN, kNaN});
    for (size_t k = 0; k < needed_atoms_.size();) {
      size_t first = static_cast<size_t>(needed_atoms_[k]);
      size_t end = first + 1;
      for (++k; k < needed_atoms_.size() && static_cast<size_t>(needed_atoms_[k]) == end; ++k) ++end;
      if (first >= atoms) break;
      end = std::min(end, atoms);
      values_.resize(3 * (end - first));
      file_->ReadCoordinates(frame, first, end - first, values_.data());
      for (size_t a = first; a < end; ++a) {
        const double* v = &values_[3 * (a - first)];
        cartesian_[a] = {v[0], v[1], v[2]};
      }
      RequireHoldable(cartesian_, first, end, where);
    }
  }
  TakeBox(*file_, frame, box_, angles_);
}

void CAmberNetcdfFile::Read(int which) {
  if (!file_ || next_frame_ >= file_->Frames()) {
    cartesian_.clear();
    return;
  }
  AdoptAtomCount(number_of_atoms_, *file_, input_file_name_);
  const size_t last = file_->Frames() - 1;
  const size_t ahead = which > 0 ? static_cast<size_t>(which) - 1 : 0;
  const size_t frame = which < 0 ? last : std::min(last, next_frame_ + ahead);
  ReadFrame(frame);
  next_frame_ = frame + 1;
  // The frames lie one after another in the file: the share of them read is
  // the share of the file.
  binary_position_.read =
      static_cast<uint64_t>(static_cast<double>(binary_position_.size) * static_cast<double>(next_frame_) /
                            static_cast<double>(file_->Frames()));
}

// Every frame from here to the end; `frame` (0-based, negative for the
// last) becomes the current coordinates.
void CAmberNetcdfFile::ReadAll(int frame) {
  CollectFrames([this] { Read(0); }, cartesian_, cartesian_all_, number_of_molecules_, frame, input_file_name_);
}

// ---- restart -----------------------------------------------------------------------

CAmberNetcdfRestartFile::CAmberNetcdfRestartFile() { file_flags_ = kFileRestartVelocity; }
CAmberNetcdfRestartFile::CAmberNetcdfRestartFile(std::string name) {
  file_flags_ = kFileRestartVelocity;
  OpenInput(std::move(name));
}
CAmberNetcdfRestartFile::~CAmberNetcdfRestartFile() = default;

void CAmberNetcdfRestartFile::OpenInput(std::string name) {
  input_file_name_ = name;
  file_.reset();
  file_ = std::make_unique<NetcdfInput>(name, true);
  title_ = file_->Title();
  if (number_of_atoms_ == 0) number_of_atoms_ = static_cast<int>(file_->Atoms());
  time_ = file_->ReadTime();
  structure_read_ = false;
  NoBox(box_, angles_);
}

void CAmberNetcdfRestartFile::OpenOutput(std::string name, bool) { output_file_name_ = std::move(name); }
void CAmberNetcdfRestartFile::Write() { WritingUnsupported(); }

void CAmberNetcdfRestartFile::Read(int) {
  cartesian_.clear();
  force_.clear();
  if (!file_ || structure_read_) return;
  structure_read_ = true;
  AdoptAtomCount(number_of_atoms_, *file_, input_file_name_);
  const size_t atoms = file_->Atoms();
  std::vector<double> values(3 * atoms);
  auto to_points = [&](Frame& points) {
    points.resize(atoms);
    for (size_t a = 0; a < atoms; ++a) points[a] = {values[3 * a], values[3 * a + 1], values[3 * a + 2]};
  };
  file_->ReadCoordinates(0, 0, atoms, values.data());
  to_points(cartesian_);
  RequireHoldable(cartesian_, 0, atoms, [this] { return input_file_name_; });
  if ((file_flags_ & kFileRestartVelocity) && file_->ReadVelocities(values.data())) to_points(force_);
  TakeBox(*file_, 0, box_, angles_);
}

}  // namespace tarvex
