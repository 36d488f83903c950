// CGaussianOutFile: Gaussian log files (read only): the geometries of the
// orientation blocks, the elements, the route lines, the Z-matrix echo, the
// stated charge and multiplicity and the first normal mode of a frequency job.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/gaussian_geometry.h"
#include "molecule/data_file.h"

namespace tarvex {

class CGaussianOutFile final : public CDataFile {
 public:
  CGaussianOutFile();
  explicit CGaussianOutFile(std::string name);
  ~CGaussianOutFile() override;

  void OpenInput(std::string name) override;
  void OpenOutput(std::string name, bool open) override;
  void Read(int which) override;
  void Write() override;
  void ReadAll(int frame) override;
  void DetectVersion() override;

  const std::vector<std::string>& RouteLines() const { return route_lines_; }

  // The lines that mark energies and the points of an IRC path, in file
  // order, each with the number of geometries completed before it, so that
  // one pass over a log (which may come through a pipe) gives its
  // structures and what belongs to them.
  struct Mark {
    enum class Kind : uint8_t { kScfEnergy, kOptimized, kIrcPoint };
    Kind kind;
    size_t geometries;
    double energy = 0.0;  // kScfEnergy: the energy, NaN when it cannot be read
    int point = 0;        // kIrcPoint: the point's number and its path's
    int path = 0;
  };
  const std::vector<Mark>& Marks() const { return marks_; }
  // The first frequency of a frequency job (negative for an imaginary
  // mode), in cm-1; empty before a "Frequencies --" line has been read.
  std::optional<double> FirstFrequency() const { return first_frequency_; }
  // The geometry in the frame of the first normal-mode block: the standard
  // orientation printed just before it when the job printed one, otherwise
  // the geometry current when the block began. Empty without normal modes.
  const Frame& ModeGeometry() const { return mode_geometry_; }
  // True when that standard orientation differs from the input orientation
  // the reader takes as the geometry (a frequency job run with symmetry).
  bool ModesInStandardOrientation() const { return modes_in_standard_orientation_; }

 private:
  enum class Block { kNone, kEchoCharge, kEchoAtoms, kEchoVariables, kHeading, kColumnHeadings, kRows, kModes };

  void ResetReader();
  // Takes one line; true when it completed a geometry.
  bool TakeLine(std::string_view line);
  void TakeRouteLine(std::string_view trimmed);
  // True when the line is a "Charge = q Multiplicity = m" line.
  bool TakeChargeLine(std::string_view trimmed, bool after_charge_line);
  void StartBlock(std::string_view trimmed);
  void TakeEchoAtomLine(std::string_view line);
  void TakeEchoVariableLine(std::string_view line);
  void FinishEcho(bool complete);
  bool TakeGeometryRow(std::string_view line);
  void TakeModeRow(std::string_view line);
  void CommitGeometry();
  // "SCF Done", "Optimization completed", "Point Number:" and "Frequencies"
  // lines; false when the line is none of them.
  bool TakeMarkLine(std::string_view trimmed);

  std::vector<std::string> route_lines_;

  // Reader switches: they live from one Read to the next over the file.
  enum class Route { kBefore, kIn, kDone } route_ = Route::kBefore;
  Block block_ = Block::kNone;
  bool after_charge_line_ = false;  // the line before was a charge line
  bool input_orientation_seen_ = false;
  bool modes_read_ = false;
  int heading_lines_left_ = 0;
  bool block_is_geometry_ = false;
  bool block_is_standard_ = false;
  Frame rows_;
  std::vector<int> row_elements_;
  std::vector<int> geometry_elements_;
  Frame last_standard_;
  Frame mode_geometry_;
  bool modes_in_standard_orientation_ = false;
  int geometries_ = 0;                // completed since the file was opened
  bool echo_describes_next_ = false;  // `internal` is the echo of the coming geometry
  std::vector<Mark> marks_;
  std::optional<double> first_frequency_;
  std::vector<ZMatrixLine> echo_lines_;
  GaussianVariables echo_variables_;
};

}  // namespace tarvex
