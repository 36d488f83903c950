// ircdist: mass-weighted distances along an IRC path from a series of
// Gaussian outputs, with the running total and the energies.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "driver/analyzer.h"
#include "molecule/data_file.h"

namespace tarvex {

class CIrcdist final : public CAnalyzer {
 public:
  enum Flag : uint32_t {
    kInput = 0x1,
    kFirst = 0x100,
    kSecond = 0x200,
    kDetail = 0x400,
    kSkipFirst = 0x800,
    kReverse = 0x1000,
    kWhole = 0x2000,
    kEach = 0x4000,
    kNoEnergy = 0x8000,
  };

  // Which structures of a file are collected.
  enum class Mode { kIrc, kAll, kFirst, kLast };

  CIrcdist();
  ~CIrcdist() override;
  void Run() override;

 private:
  struct Input {
    std::unique_ptr<CDataFile> file;
    Mode mode;
  };
  void Collect(Input& input);
  void CollectIrcPoints(CDataFile& file);
  std::vector<double> Masses();
  double StepDistance(const Frame& earlier, const Frame& later, const std::vector<double>& masses);
  void PrintTable() const;

  std::vector<Input> inputs_;
  double reference_energy_ = 0.0;
  std::unique_ptr<CDataFile> collector_;
  std::vector<Frame> structures_;
  std::vector<std::optional<double>> energies_;  // one per structure
  std::vector<double> steps_;
  std::vector<double> totals_;
};

// The orientation of a structure: its principal moments of inertia in
// ascending order and the matrix whose columns are the principal axes, so
// that a point x (taken from the centre of mass) becomes x * axes.
struct PrincipalFrame {
  Point moments{};
  std::array<Point, 3> axes{};  // axes[row][column]
};

// The points moved to their centre of mass.
Frame CentredOnMass(const Frame& points, const std::vector<double>& masses);
// The principal axes of centred points.
PrincipalFrame PrincipalAxes(const Frame& centred, const std::vector<double>& masses);
// Each point multiplied by the matrix, column k scaled by signs[k].
Frame Oriented(const Frame& points, const std::array<Point, 3>& axes, const Point& signs = {1.0, 1.0, 1.0});
// The square root of the mass-weighted sum of squared displacements.
double MassWeightedDistance(const Frame& a, const Frame& b, const std::vector<double>& masses);

// The IRC points of a log: the converged structures (positions among its
// geometries) and their SCF energies, in path order. Logs of Gaussian 98
// and 03 mark each point "Optimization completed"; Gaussian 09 and 16 print
// "Point Number: N  Path Number: P" after it instead. `error` is set when
// a point has no energy.
struct IrcPoints {
  std::vector<size_t> positions;
  std::vector<double> energies;
  std::string error;
};
IrcPoints FindIrcPoints(const std::string& path, bool skip_first);
// Every "SCF Done" energy of a log, in file order (only the first with
// `first_only`).
std::vector<double> ScfEnergies(const std::string& path, bool first_only = false);

}  // namespace tarvex
