#include "formats/amber_netcdf_writer.h"

#include <string_view>
#include <vector>

#include "common/exit.h"
#include "common/output_file.h"
#include "common/version.h"

#if TARVEX_HAVE_NETCDF
#include "formats/netcdf_library.h"
#endif

namespace tarvex {

#if TARVEX_HAVE_NETCDF

struct NetcdfTrajectoryWriter::State {
  std::string target;
  int id = -1;
  int coordinates = -1;
  int time = -1;
  size_t atoms = 0;
  size_t frames = 0;
  std::vector<float> values;

  // A writer dropped on an error path: the output is discarded with the
  // others, the handle only needs closing.
  ~State() {
    if (id >= 0) Nc().close(id);
  }
  void Check(int status) const {
    if (status != NC_NOERR) Fatal("Error: cannot write output file: " + target + " (" + Nc().strerror(status) + ").");
  }
  void Text(int variable, const char* name, std::string_view text) const {
    Check(Nc().put_att_text(id, variable, name, text.size(), text.data()));
  }
};

NetcdfTrajectoryWriter::NetcdfTrajectoryWriter(const std::string& target, const std::string& title, size_t atoms)
    : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.target = target;
  s.atoms = atoms;
  const std::string path = OpenOutputForLibrary(target);
  if (path.empty()) Fatal("Can't open output file: " + target);
  s.Check(Netcdf(target).create(path.c_str(), NC_CLOBBER | NC_64BIT_OFFSET, &s.id));
  int frame = -1, spatial = -1, atom = -1, spatial_variable = -1;
  s.Check(Nc().def_dim(s.id, "frame", NC_UNLIMITED, &frame));
  s.Check(Nc().def_dim(s.id, "spatial", 3, &spatial));
  s.Check(Nc().def_dim(s.id, "atom", atoms, &atom));
  s.Check(Nc().def_var(s.id, "spatial", NC_CHAR, 1, &spatial, &spatial_variable));
  s.Check(Nc().def_var(s.id, "time", NC_FLOAT, 1, &frame, &s.time));
  s.Text(s.time, "units", "picosecond");
  const int dimensions[3] = {frame, atom, spatial};
  s.Check(Nc().def_var(s.id, "coordinates", NC_FLOAT, 3, dimensions, &s.coordinates));
  s.Text(s.coordinates, "units", "angstrom");
  s.Text(NC_GLOBAL, "title", title);
  s.Text(NC_GLOBAL, "application", "tarvex");
  s.Text(NC_GLOBAL, "program", "tarvex convert");
  s.Text(NC_GLOBAL, "programVersion", kProgramVersion);
  s.Text(NC_GLOBAL, "Conventions", "AMBER");
  s.Text(NC_GLOBAL, "ConventionVersion", "1.0");
  s.Check(Nc().enddef(s.id));
  s.Check(Nc().put_var_text(s.id, spatial_variable, "xyz"));
}

NetcdfTrajectoryWriter::~NetcdfTrajectoryWriter() = default;

void NetcdfTrajectoryWriter::Append(const Frame& frame, double time) {
  State& s = *state_;
  if (frame.size() != s.atoms) {
    Fatal("Error: cannot write output file: " + s.target + " (a frame of " + std::to_string(frame.size()) +
          " atoms in a trajectory of " + std::to_string(s.atoms) + ").");
  }
  s.values.resize(3 * s.atoms);
  for (size_t a = 0; a < s.atoms; ++a) {
    for (size_t k = 0; k < 3; ++k) s.values[3 * a + k] = static_cast<float>(frame[a][k]);
  }
  const size_t start[3] = {s.frames, 0, 0};
  const size_t count[3] = {1, s.atoms, 3};
  s.Check(Nc().put_vara_float(s.id, s.coordinates, start, count, s.values.data()));
  const float stamp = static_cast<float>(time);
  s.Check(Nc().put_var1_float(s.id, s.time, start, &stamp));
  ++s.frames;
}

void NetcdfTrajectoryWriter::Close() {
  State& s = *state_;
  if (s.id < 0) return;
  const int id = s.id;
  s.id = -1;
  s.Check(Nc().close(id));
}

#else

struct NetcdfTrajectoryWriter::State {};

NetcdfTrajectoryWriter::NetcdfTrajectoryWriter(const std::string& target, const std::string&, size_t) {
  Fatal("Error: " + target + " is an Amber NetCDF file, and NetCDF support was not built in (see README: libnetcdf).");
}
NetcdfTrajectoryWriter::~NetcdfTrajectoryWriter() = default;
void NetcdfTrajectoryWriter::Append(const Frame&, double) {}
void NetcdfTrajectoryWriter::Close() {}

#endif

}  // namespace tarvex
