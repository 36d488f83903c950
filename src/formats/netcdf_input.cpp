#include "formats/netcdf_input.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <vector>

#include "common/exit.h"
#include "formats/netcdf_header.h"

#if TARVEX_HAVE_NETCDF
#include "formats/netcdf_library.h"
#endif

namespace tarvex {

#if TARVEX_HAVE_NETCDF

namespace {

// Amber's unit of time is 1/20.455 ps: velocities in angstrom/ps times this
// are in its internal units.
constexpr double kAmberTimeUnit = 1.0 / 20.455;
// A compressed variable is taken to shrink its values at most this much;
// real coordinates, whose low bits are noise, shrink far less.
constexpr uint64_t kLargestCompression = 10;
// A chunk may be larger than the file by the library's chunk cache.
constexpr uint64_t kChunkSlack = uint64_t{4} << 20;

// The value the library gives for what was never written, when the
// variable declares no _FillValue.
double DefaultFill(nc_type type) {
  switch (type) {
    case NC_BYTE:
      return NC_FILL_BYTE;
    case NC_SHORT:
      return NC_FILL_SHORT;
    case NC_INT:
      return NC_FILL_INT;
    case NC_FLOAT:
      return static_cast<double>(NC_FILL_FLOAT);
    case NC_UBYTE:
      return NC_FILL_UBYTE;
    case NC_USHORT:
      return NC_FILL_USHORT;
    case NC_UINT:
      return NC_FILL_UINT;
    case NC_INT64:
      return static_cast<double>(NC_FILL_INT64);
    case NC_UINT64:
      return static_cast<double>(NC_FILL_UINT64);
    default:
      return NC_FILL_DOUBLE;
  }
}

bool IsNumberType(nc_type type) { return type >= NC_BYTE && type <= NC_UINT64 && type != NC_CHAR; }

std::string Shortest(double value) {
  char digits[32];
  return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

}  // namespace

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

NetcdfInput::NetcdfInput(const std::string& name, bool restart) : name_(name), restart_(restart) {
  const NetcdfHeader header = ReadNetcdfHeader(name);
  if (!header.damage.empty()) Fatal("Error: " + name + " " + header.damage + ".");
  if (!header.regular_file) {
    Fatal("Error: " + name + " is not a file on disk; a NetCDF file is read out of order, which a pipe cannot give.");
  }
  // The HDF5 library refuses a cut file with a message of its own.
  if (header.kind == NetcdfHeader::Kind::kHdf5) RequireWhole(header);
  const int status = Netcdf(name).open(name.c_str(), NC_NOWRITE, &handle_.id);
  if (status != NC_NOERR) {
    handle_.id = -1;
    Fatal("Error: " + name + " is not a NetCDF file (" + Nc().strerror(status) + ").");
  }
  FindCoordinates();
  if (frames_ == 0) Fatal("Error: " + name + " holds no frames.");
  RequireWhole(header);
  if (atoms_ == 0) Fatal("Error: " + name + " holds no atoms.");
  if (atoms_ > static_cast<size_t>(std::numeric_limits<int>::max())) {
    Fatal("Error: " + name + " holds " + std::to_string(atoms_) + " atoms, more than can be read.");
  }
  if (header.kind == NetcdfHeader::Kind::kHdf5) RequireStorable(header.file_bytes);
  velocities_ = restart ? VariableOfRank("velocities", 2, "atom x 3") : -1;
  cell_lengths_ = VariableOfRank("cell_lengths", restart ? 1 : 2, restart ? "3" : "frame x 3");
  cell_angles_ = VariableOfRank("cell_angles", restart ? 1 : 2, restart ? "3" : "frame x 3");
  coordinate_scale_ = ScaleFactor(coordinates_);
  default_fill_ = DefaultFill(coordinate_type_);
  fill_ = default_fill_;
  nc_type type = NC_NAT;
  size_t length = 0;
  if (Nc().inq_att(handle_.id, coordinates_, "_FillValue", &type, &length) == NC_NOERR && length == 1 &&
      IsNumberType(type)) {
    Check(Nc().get_att_double(handle_.id, coordinates_, "_FillValue", &fill_));
  }
}

NetcdfInput::Handle::~Handle() {
  if (id >= 0) Nc().close(id);
}

void NetcdfInput::FindCoordinates() {
  const char* kind = restart_ ? "restart" : "trajectory";
  coordinates_ = Variable("coordinates");
  if (coordinates_ < 0) Fatal("Error: " + name_ + " holds no coordinates; it is not an Amber NetCDF " + kind + ".");
  int rank = 0;
  int dimensions[NC_MAX_VAR_DIMS] = {};
  nc_type type = NC_NAT;
  Check(Nc().inq_var(handle_.id, coordinates_, nullptr, &type, &rank, dimensions, nullptr));
  size_t lengths[3] = {1, 0, 0};
  const int wanted_rank = restart_ ? 2 : 3;
  for (int k = 0; k < rank && k < 3; ++k) Check(Nc().inq_dimlen(handle_.id, dimensions[k], &lengths[k + 3 - rank]));
  if (rank != wanted_rank || lengths[2] != 3) {
    Fatal("Error: " + name_ + ": its coordinates are not " + (restart_ ? "atom x 3" : "frame x atom x 3") +
          "; it is not an Amber NetCDF " + kind + ".");
  }
  if (!IsNumberType(type)) Fatal("Error: " + name_ + ": its coordinates are not numbers.");
  coordinate_type_ = type;
  frames_ = lengths[0];
  atoms_ = lengths[1];
}

// A classic file shorter than its header describes was cut short: the
// library would read zeros for what is missing. Where the coordinates stop
// is named.
void NetcdfInput::RequireWhole(const NetcdfHeader& header) const {
  if (header.described_bytes <= header.file_bytes) return;
  std::string place;
  uint64_t record = 0, atom = 0;
  const NetcdfVariableLayout* coordinates = header.Find("coordinates");
  if (coordinates && header.CutInside("coordinates", 3 * coordinates->type_size, record, atom)) {
    place = (coordinates->record ? " at frame " + std::to_string(record + 1) + "," : std::string(" at")) + " atom " +
            std::to_string(atom + 1);
  }
  Fatal("Error: " + name_ + " is cut short" + place + ": it holds " + std::to_string(header.file_bytes) + " of the " +
        std::to_string(header.described_bytes) + " bytes its header describes.");
}

// What an HDF5 file can hold of the coordinates its dimensions declare:
// each value stored takes its bytes in the file, a tenth of them at most
// when compressed; a chunk is read whole.
void NetcdfInput::RequireStorable(uint64_t file_bytes) const {
  size_t type_size = 0;
  Check(Nc().inq_type(handle_.id, coordinate_type_, nullptr, &type_size));
  int shuffle = 0, deflate = 0, level = 0;
  Check(Nc().inq_var_deflate(handle_.id, coordinates_, &shuffle, &deflate, &level));
  unsigned int filter = 0;
  const bool filtered =
      deflate != 0 ||
      (Nc().inq_var_filter(handle_.id, coordinates_, &filter, nullptr, nullptr) == NC_NOERR && filter != 0);
  const uint64_t capacity = SaturatingProduct(file_bytes, filtered ? kLargestCompression : 1);
  const char* how = filtered ? " bytes can hold compressed" : " bytes can hold";
  const uint64_t bytes = SaturatingProduct(SaturatingProduct(frames_, atoms_), 3 * type_size);
  if (bytes > capacity) {
    const std::string frames =
        restart_ ? std::string() : std::to_string(frames_) + (frames_ == 1 ? " frame of " : " frames of ");
    Fatal("Error: " + name_ + " declares " + frames + std::to_string(atoms_) + " atoms (" + std::to_string(bytes) +
          " bytes of coordinates), more than its " + std::to_string(file_bytes) + how + ".");
  }
  int storage = 0;
  size_t chunks[3] = {};
  Check(Nc().inq_var_chunking(handle_.id, coordinates_, &storage, chunks));
  if (storage != NC_CHUNKED) return;
  uint64_t chunk = type_size;
  for (size_t k = 0; k < (restart_ ? 2u : 3u); ++k) chunk = SaturatingProduct(chunk, chunks[k]);
  if (chunk > capacity && chunk - capacity > kChunkSlack) {
    Fatal("Error: " + name_ + " stores its coordinates in chunks of " + std::to_string(chunk) +
          " bytes, more than its " + std::to_string(file_bytes) + how + ".");
  }
}

int NetcdfInput::VariableOfRank(const char* name, int rank, const char* shape) const {
  const int variable = Variable(name);
  int found = -1;
  if (variable < 0) return -1;
  Check(Nc().inq_varndims(handle_.id, variable, &found));
  if (found != rank) {
    Fatal("Error: " + name_ + ": its " + name + " are not " + shape + "; it is not an Amber NetCDF " +
          (restart_ ? "restart." : "trajectory."));
  }
  return variable;
}

void NetcdfInput::RefuseFill(size_t frame, size_t atom, double value) const {
  const std::string where = restart_ ? std::string() : ", frame " + std::to_string(frame + 1);
  Fatal("Error: " + name_ + where + ", atom " + std::to_string(atom + 1) +
        ": no coordinates were written (the fill value " + Shortest(value) + " stands in their place).");
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

void NetcdfInput::ReadScaled(int variable, const size_t* start, const size_t* count, size_t values, double factor,
                             double* out) {
  Check(Nc().get_vara_double(handle_.id, variable, start, count, out));
  if (factor != 1.0) std::for_each(out, out + values, [factor](double& value) { value *= factor; });
}

void NetcdfInput::ReadCoordinates(size_t frame, size_t first_atom, size_t count, double* out) {
  const size_t start[3] = {frame, first_atom, 0};
  const size_t counts[3] = {1, count, 3};
  Check(Nc().get_vara_double(handle_.id, coordinates_, restart_ ? start + 1 : start, restart_ ? counts + 1 : counts,
                             out));
  for (size_t k = 0; k < 3 * count; ++k) {
    if (out[k] == fill_ || out[k] == default_fill_) RefuseFill(frame, first_atom + k / 3, out[k]);
  }
  if (coordinate_scale_ != 1.0) {
    std::for_each(out, out + 3 * count, [this](double& value) { value *= coordinate_scale_; });
  }
}

bool NetcdfInput::ReadVelocities(double* out) {
  if (velocities_ < 0) return false;
  const size_t start[2] = {0, 0};
  const size_t count[2] = {atoms_, 3};
  ReadScaled(velocities_, start, count, 3 * atoms_, ScaleFactor(velocities_), out);
  std::for_each(out, out + 3 * atoms_, [](double& value) { value *= kAmberTimeUnit; });
  return true;
}

bool NetcdfInput::ReadBox(size_t frame, double* lengths, double* angles) {
  if (cell_lengths_ < 0 || cell_angles_ < 0) return false;
  const size_t start[2] = {frame, 0};
  const size_t count[2] = {1, 3};
  const size_t* first = restart_ ? start + 1 : start;
  const size_t* counts = restart_ ? count + 1 : count;
  ReadScaled(cell_lengths_, first, counts, 3, ScaleFactor(cell_lengths_), lengths);
  ReadScaled(cell_angles_, first, counts, 3, ScaleFactor(cell_angles_), angles);
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
NetcdfInput::NetcdfInput(const std::string& name, bool) {
  Fatal("Error: " + name + " is an Amber NetCDF file, and NetCDF support was not built in (see README: libnetcdf).");
}
NetcdfInput::Handle::~Handle() = default;
std::string NetcdfInput::Title() const { return {}; }
void NetcdfInput::ReadCoordinates(size_t, size_t, size_t, double*) {}
bool NetcdfInput::ReadVelocities(double*) { return false; }
bool NetcdfInput::ReadBox(size_t, double*, double*) { return false; }
double NetcdfInput::ReadTime() { return 0.0; }

#endif

}  // namespace tarvex
