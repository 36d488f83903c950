// Amber NetCDF files, read through the NetCDF C library:
//   CAmberNetcdfFile         trajectories (convention "AMBER", ".nc"), the
//                            binary form of the CRD trajectory;
//   CAmberNetcdfRestartFile  restarts (convention "AMBERRESTART", ".ncrst"),
//                            the binary form of the RST restart.
// Both name their atom count and carry their box (cell_lengths and
// cell_angles) themselves: no BOX flag is needed. Trajectories are written
// too (formats/amber_netcdf_writer.h), restarts are read only; a build
// without libnetcdf refuses such a file with a message saying so.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "molecule/data_file.h"

namespace tarvex {

class NetcdfInput;

class CAmberNetcdfFile final : public CDataFile {
 public:
  CAmberNetcdfFile();
  explicit CAmberNetcdfFile(std::string name);
  ~CAmberNetcdfFile() override;

  void OpenInput(std::string name) override;
  void OpenOutput(std::string name, bool open) override;
  // As the CRD reader: 0 the next frame, N > 0 the N-th from here (or the
  // last), negative the last frame.
  void Read(int which) override;
  // Writes a trajectory of one frame; WriteAll (convert -a) writes every
  // frame into the one file.
  void Write() override;
  void ReadAll(int frame) override;
  void WriteFrames(int step, long long expected, const std::function<bool(Frame&)>& next, bool fit) override;

  // The box lengths and angles of the last frame read (zeros and 90
  // degrees without a box).
  const std::vector<double>& Box() const { return box_; }
  const std::vector<double>& BoxAngles() const { return angles_; }

 private:
  void ReadFrame(size_t frame);

  std::unique_ptr<NetcdfInput> file_;
  size_t next_frame_ = 0;
  std::vector<double> box_;
  std::vector<double> angles_;
  std::vector<double> values_;  // one frame as the library gives it
};

class CAmberNetcdfRestartFile final : public CDataFile {
 public:
  CAmberNetcdfRestartFile();
  explicit CAmberNetcdfRestartFile(std::string name);
  ~CAmberNetcdfRestartFile() override;

  void OpenInput(std::string name) override;
  void OpenOutput(std::string name, bool open) override;
  // The one structure, with its velocities (into `force`, in the units of
  // the text restart) and box; `which` is ignored.
  void Read(int which) override;
  void Write() override;

  const std::vector<double>& Box() const { return box_; }
  const std::vector<double>& BoxAngles() const { return angles_; }
  double Time() const { return time_; }

 private:
  std::unique_ptr<NetcdfInput> file_;
  std::vector<double> box_;
  std::vector<double> angles_;
  double time_ = 0.0;
  bool structure_read_ = false;
};

}  // namespace tarvex
