// An Amber NetCDF file opened for reading through the NetCDF library.
//
// Nothing is read before the file has been checked against its own size:
// the classic header is walked first (formats/netcdf_header.h); a classic
// file must hold every byte its header describes, and a NetCDF-4 (HDF5)
// file the coordinates its dimensions declare, taking a compressed
// variable to shrink its values at most ten to one, in chunks no larger
// than that. A lying header thus ends in one line at once, never in an
// allocation of gigabytes or in frames of zeros. Coordinates that hold the
// variable's fill value (a frame declared but never written) are refused
// naming the frame and atom. Every failure of the library ends the program
// with one line naming the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarvex {

struct NetcdfHeader;

class NetcdfInput {
 public:
  // A trajectory's coordinates are frame x atom x 3, a restart's atom x 3.
  NetcdfInput(const std::string& name, bool restart);
  NetcdfInput(const NetcdfInput&) = delete;
  NetcdfInput& operator=(const NetcdfInput&) = delete;

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
  int Variable(const char* name) const;
  double ScaleFactor(int variable) const;
  // Reads a variable's values in [start, start + count) and multiplies them
  // by `factor`.
  void ReadScaled(int variable, const size_t* start, const size_t* count, size_t values, double factor, double* out);
  void Check(int status) const;
  void FindCoordinates();
  void RequireWhole(const NetcdfHeader& header) const;
  void RequireStorable(uint64_t file_bytes) const;
  // A variable read with a fixed number of dimensions: absent, or of that
  // rank. Its id, or -1 when absent.
  int VariableOfRank(const char* name, int rank, const char* shape) const;
  [[noreturn]] void RefuseFill(size_t frame, size_t atom, double value) const;

  // Closes the file also when the constructor ends in an error.
  struct Handle {
    int id = -1;
    ~Handle();
  };

  std::string name_;
  Handle handle_;
  bool restart_ = false;
  int coordinates_ = -1;
  int coordinate_type_ = 0;
  int velocities_ = -1;
  int cell_lengths_ = -1;
  int cell_angles_ = -1;
  size_t atoms_ = 0;
  size_t frames_ = 0;
  double coordinate_scale_ = 1.0;
  // The coordinates' _FillValue and the library's default fill of their
  // type (the same when the file declares none).
  double fill_ = 0.0;
  double default_fill_ = 0.0;
};

}  // namespace tarvex
