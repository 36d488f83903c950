// Writing Amber NetCDF trajectories (convention "AMBER", NetCDF-3 64-bit
// offset, the layout Amber itself writes): the dimensions frame (unlimited),
// spatial = 3 and atom; the variables spatial ("xyz"), time (float, frame,
// picosecond) and coordinates (float, frame x atom x spatial, angstrom);
// global attributes title, application, program, programVersion,
// Conventions and ConventionVersion. A CRD trajectory carries no times, so
// a frame's time is its place in the input (1, 2, ...: with -s the spacing
// is kept); no velocities are written, and the box of a CRD file stays with
// its reader, as for the text trajectories we write.
#pragma once

#include <memory>
#include <string>

#include "molecule/data_file.h"

namespace tarvex {

class NetcdfTrajectoryWriter {
 public:
  // Creates the file through the output layer, so that it replaces its
  // target only when the whole command succeeds.
  NetcdfTrajectoryWriter(const std::string& target, const std::string& title, size_t atoms);
  ~NetcdfTrajectoryWriter();
  NetcdfTrajectoryWriter(const NetcdfTrajectoryWriter&) = delete;
  NetcdfTrajectoryWriter& operator=(const NetcdfTrajectoryWriter&) = delete;

  // Appends one frame at `time`; every frame must have the atom count of
  // the first.
  void Append(const Frame& frame, double time);
  // Writes out what is pending and closes the file.
  void Close();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tarvex
