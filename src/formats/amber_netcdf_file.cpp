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
#include <cstring>
#include <limits>
#include <utility>

#include "common/exit.h"
#include "formats/amber_coord_file.h"
#include "formats/amber_netcdf_writer.h"
#include "molecule/coordinate_limit.h"

#if TARVEX_HAVE_NETCDF
#include "formats/netcdf_library.h"
#endif

namespace tarvex {
namespace {

// Amber's unit of time is 1/20.455 ps: velocities in angstrom/ps times this
// are in its internal units.
constexpr double kAmberTimeUnit = 1.0 / 20.455;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

constexpr uint64_t Pad4(uint64_t bytes) { return (bytes + 3) & ~uint64_t{3}; }

[[noreturn]] void WritingUnsupported() {
  Fatal("Error: Amber NetCDF restarts are read only; write an Amber RST file instead.");
}

}  // namespace

#if TARVEX_HAVE_NETCDF

// The open file and what the readers take from it. Every failure of the
// library ends the program with one line naming the file.
class NetcdfInput {
 public:
  NetcdfInput(const std::string& name, bool restart);
  size_t Atoms() const { return atoms_; }
  size_t Frames() const { return frames_; }
  std::string Title() const;
  // `count` atoms from `first_atom` of a frame, x y z each, scaled.
  void ReadCoordinates(size_t frame, size_t first_atom, size_t count, double* out);
  // The velocities of a restart in the units of the text restart; false
  // when it has none.
  bool ReadVelocities(double* out);
  // The box of a frame (lengths and angles); false when the file has none.
  bool ReadBox(size_t frame, double* lengths, double* angles);
  double ReadTime();

 private:
  struct Handle {
    int id = -1;
    ~Handle() {
      if (id >= 0) Nc().close(id);
    }
  };
  int Variable(const char* name) const;
  double ScaleFactor(int variable) const;
  // Reads a variable's values in [start, start + count), scaled.
  void ReadScaled(int variable, const size_t* start, const size_t* count, size_t values, double* out);
  void Check(int status) const;
  // The bytes a classic (CDF-1 or CDF-2) file must hold: its header and
  // data as the header describes them; 0 for other formats.
  uint64_t DescribedSize() const;
  uint64_t AttributeBytes(int variable, int count) const;

  std::string name_;
  Handle handle_;
  bool restart_ = false;
  int coordinates_ = -1;
  size_t atoms_ = 0;
  size_t frames_ = 0;
};

void NetcdfInput::Check(int status) const {
  if (status != NC_NOERR) Fatal("Error: " + name_ + ": " + Nc().strerror(status) + " (a damaged or cut-short file?).");
}

int NetcdfInput::Variable(const char* name) const {
  int variable = -1;
  return Nc().inq_varid(handle_.id, name, &variable) == NC_NOERR ? variable : -1;
}

double NetcdfInput::ScaleFactor(int variable) const {
  double factor = 1.0;
  nc_type type = NC_NAT;
  size_t length = 0;
  if (Nc().inq_att(handle_.id, variable, "scale_factor", &type, &length) != NC_NOERR || length != 1) return 1.0;
  Check(Nc().get_att_double(handle_.id, variable, "scale_factor", &factor));
  return factor;
}

// A trajectory's coordinates are frame x atom x 3, a restart's atom x 3.
NetcdfInput::NetcdfInput(const std::string& name, bool restart) : name_(name), restart_(restart) {
  const int status = Netcdf(name).open(name.c_str(), NC_NOWRITE, &handle_.id);
  if (status != NC_NOERR) {
    handle_.id = -1;
    Fatal("Error: " + name + " is not a NetCDF file (" + Nc().strerror(status) + ").");
  }
  const char* kind = restart ? "restart" : "trajectory";
  coordinates_ = Variable("coordinates");
  if (coordinates_ < 0) Fatal("Error: " + name + " holds no coordinates; it is not an Amber NetCDF " + kind + ".");
  int rank = 0;
  int dimensions[NC_MAX_VAR_DIMS] = {};
  Check(Nc().inq_var(handle_.id, coordinates_, nullptr, nullptr, &rank, dimensions, nullptr));
  size_t lengths[3] = {1, 0, 0};
  const int wanted_rank = restart ? 2 : 3;
  for (int k = 0; k < rank && k < 3; ++k) Check(Nc().inq_dimlen(handle_.id, dimensions[k], &lengths[k + 3 - rank]));
  if (rank != wanted_rank || lengths[2] != 3) {
    Fatal("Error: " + name + ": its coordinates are not " + (restart ? "atom x 3" : "frame x atom x 3") +
          "; it is not an Amber NetCDF " + kind + ".");
  }
  frames_ = lengths[0];
  atoms_ = lengths[1];
  if (frames_ == 0) Fatal("Error: " + name + " holds no frames.");
  struct stat info {};
  const uint64_t described = DescribedSize();
  if (described > 0 && ::stat(name.c_str(), &info) == 0 && static_cast<uint64_t>(info.st_size) < described) {
    Fatal("Error: " + name + " is cut short: it holds " + std::to_string(info.st_size) + " of the " +
          std::to_string(described) + " bytes its header describes.");
  }
  if (atoms_ == 0) Fatal("Error: " + name + " holds no atoms.");
  if (atoms_ > static_cast<size_t>(std::numeric_limits<int>::max())) {
    Fatal("Error: " + name + " holds " + std::to_string(atoms_) + " atoms, more than can be read.");
  }
}

// The classic layout (the NetCDF-3 format document): the magic, the record
// count, then the lists of dimensions, attributes and variables, each name a
// count and its characters padded to 4 bytes, each value list padded to 4;
// then the fixed variables and the records, each variable padded to 4 (the
// one record variable of a file that has only one is not padded). A file
// shorter than that was cut short: the library would read zeros for what is
// missing.
uint64_t NetcdfInput::AttributeBytes(int variable, int count) const {
  uint64_t bytes = 8;  // tag and count, or the absent list
  for (int k = 0; k < count; ++k) {
    char name[NC_MAX_NAME + 1] = {};
    nc_type type = NC_NAT;
    size_t length = 0;
    size_t type_size = 0;
    Check(Nc().inq_attname(handle_.id, variable, k, name));
    Check(Nc().inq_att(handle_.id, variable, name, &type, &length));
    Check(Nc().inq_type(handle_.id, type, nullptr, &type_size));
    bytes += 4 + Pad4(std::strlen(name)) + 8 + Pad4(length * type_size);
  }
  return bytes;
}

uint64_t NetcdfInput::DescribedSize() const {
  int format = 0;
  Check(Nc().inq_format(handle_.id, &format));
  if (format != NC_FORMAT_CLASSIC && format != NC_FORMAT_64BIT_OFFSET) return 0;
  int dimensions = 0, variables = 0, attributes = 0, unlimited = -1;
  Check(Nc().inq(handle_.id, &dimensions, &variables, &attributes, &unlimited));
  uint64_t header = 8 + 8 + AttributeBytes(NC_GLOBAL, attributes) + 8;
  std::vector<size_t> lengths(static_cast<size_t>(dimensions));
  for (int d = 0; d < dimensions; ++d) {
    char name[NC_MAX_NAME + 1] = {};
    Check(Nc().inq_dim(handle_.id, d, name, &lengths[d]));
    header += 4 + Pad4(std::strlen(name)) + 4;
  }
  uint64_t fixed = 0, record = 0, single_record = 0;
  int record_variables = 0;
  for (int v = 0; v < variables; ++v) {
    char name[NC_MAX_NAME + 1] = {};
    nc_type type = NC_NAT;
    int rank = 0, variable_attributes = 0;
    int ids[NC_MAX_VAR_DIMS] = {};
    size_t type_size = 0;
    Check(Nc().inq_var(handle_.id, v, name, &type, &rank, ids, &variable_attributes));
    Check(Nc().inq_type(handle_.id, type, nullptr, &type_size));
    header += 4 + Pad4(std::strlen(name)) + 4 + 4 * static_cast<uint64_t>(rank) +
              AttributeBytes(v, variable_attributes) + 8 + (format == NC_FORMAT_CLASSIC ? 4 : 8);
    const bool is_record = rank > 0 && ids[0] == unlimited;
    uint64_t bytes = type_size;
    for (int k = is_record ? 1 : 0; k < rank; ++k) bytes *= lengths[ids[k]];
    (is_record ? record : fixed) += Pad4(bytes);
    record_variables += is_record;
    if (is_record) single_record = bytes;
  }
  if (record_variables == 1) record = single_record;
  const uint64_t records = unlimited >= 0 ? lengths[unlimited] : 0;
  return header + fixed + records * record;
}

std::string NetcdfInput::Title() const {
  size_t length = 0;
  nc_type type = NC_NAT;
  if (Nc().inq_att(handle_.id, NC_GLOBAL, "title", &type, &length) != NC_NOERR || type != NC_CHAR) return {};
  std::string title(length, '\0');
  Check(Nc().get_att_text(handle_.id, NC_GLOBAL, "title", title.data()));
  while (!title.empty() && title.back() == '\0') title.pop_back();
  return title;
}

void NetcdfInput::ReadScaled(int variable, const size_t* start, const size_t* count, size_t values, double* out) {
  Check(Nc().get_vara_double(handle_.id, variable, start, count, out));
  const double factor = ScaleFactor(variable);
  if (factor != 1.0) std::for_each(out, out + values, [factor](double& value) { value *= factor; });
}

void NetcdfInput::ReadCoordinates(size_t frame, size_t first_atom, size_t count, double* out) {
  const size_t start[3] = {frame, first_atom, 0};
  const size_t counts[3] = {1, count, 3};
  ReadScaled(coordinates_, restart_ ? start + 1 : start, restart_ ? counts + 1 : counts, 3 * count, out);
}

bool NetcdfInput::ReadVelocities(double* out) {
  const int velocities = Variable("velocities");
  if (velocities < 0) return false;
  const size_t start[2] = {0, 0};
  const size_t count[2] = {atoms_, 3};
  ReadScaled(velocities, start, count, 3 * atoms_, out);
  std::for_each(out, out + 3 * atoms_, [](double& value) { value *= kAmberTimeUnit; });
  return true;
}

bool NetcdfInput::ReadBox(size_t frame, double* lengths, double* angles) {
  const int length_variable = Variable("cell_lengths");
  const int angle_variable = Variable("cell_angles");
  if (length_variable < 0 || angle_variable < 0) return false;
  const size_t start[2] = {frame, 0};
  const size_t count[2] = {1, 3};
  const size_t* first = restart_ ? start + 1 : start;
  const size_t* counts = restart_ ? count + 1 : count;
  ReadScaled(length_variable, first, counts, 3, lengths);
  ReadScaled(angle_variable, first, counts, 3, angles);
  return true;
}

double NetcdfInput::ReadTime() {
  const int variable = Variable("time");
  int rank = -1;
  if (variable < 0 || Nc().inq_varndims(handle_.id, variable, &rank) != NC_NOERR || rank != 0) return 0.0;
  double time = 0.0;
  Check(Nc().get_var_double(handle_.id, variable, &time));
  return time * ScaleFactor(variable);
}

#else

// Without the library the files are recognised by their names and refused.
class NetcdfInput {
 public:
  NetcdfInput(const std::string& name, bool) {
    Fatal("Error: " + name + " is an Amber NetCDF file, and NetCDF support was not built in (see README: libnetcdf).");
  }
  size_t Atoms() const { return 0; }
  size_t Frames() const { return 0; }
  std::string Title() const { return {}; }
  void ReadCoordinates(size_t, size_t, size_t, double*) {}
  bool ReadVelocities(double*) { return false; }
  bool ReadBox(size_t, double*, double*) { return false; }
  double ReadTime() { return 0.0; }
};

#endif

namespace {

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
