// getdun: distances, angles and dihedrals of chosen atoms in every structure
// of a data file (typically an Amber trajectory), one table row per structure.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/output_file.h"
#include "driver/analyzer.h"
#include "molecule/data_file.h"
#include "molecule/geometry.h"

namespace tarvex {

// The value of a group of 2, 3 or 4 atoms in the table (angstrom, degrees).
// An undefined dihedral (three of the atoms collinear) is kUndefinedDihedral,
// written as NaN.
inline constexpr double kUndefinedDihedral = -200.0;
inline double MeasureDistance(const Point& a, const Point& b) { return Distance(a, b); }
inline double MeasureAngle(const Point& a, const Point& b, const Point& c) { return AngleDegrees(a, b, c); }
inline double MeasureDihedral(const Point& a, const Point& b, const Point& c, const Point& d) {
  return DihedralDegrees(a, b, c, d).value_or(kUndefinedDihedral);
}

// One line of a measurement file, appending its groups: "a b [c [d]]" is one
// group, "a : b c ..." a distance group per atom after the colon. Blank and
// comment lines add nothing; a group of other than 2 to 4 atoms ends the
// command with the count error.
void ParseMeasurementLine(std::string_view line, std::vector<std::vector<int>>& groups);

// One table row: the step column when `step` is not negative, then the
// values; blank-separated in 9 columns, or tab-separated in 7.
void AppendTableRow(std::string& out, const double* values, size_t count, bool show_step, long long step, bool tab);

class CGetDun final : public CAnalyzer {
 public:
  // Flag-word bits.
  enum Flag : uint32_t {
    kOutput = 0x2,
    kBox = 0x100,
    kTab = 0x200,
    kAtomCount = 0x400,
    kDataFile = 0x800,
    kMeasurementFile = 0x1000,
    kReference = 0x2000,
    kShowStep = 0x4000,
    kDetail = 0x8000,
  };

  CGetDun();
  ~CGetDun() override;
  void Run() override;

 private:
  // Adds one group of 2, 3 or 4 atom numbers; other counts end the command.
  void AddGroup(const std::vector<int>& atoms);
  void ReadMeasurementFile();
  // Turns the groups' atom numbers into positions_ for the data record's
  // current numbering.
  void ResolveGroups();
  // Measures every group in the data record's current coordinates and
  // appends the row to results_.
  void MeasureStructure();
  void WriteTable();

  std::string measurement_file_name_;
  std::string data_file_name_;
  std::string reference_file_name_;
  std::string output_file_name_;
  std::unique_ptr<CDataFile> data_;
  std::unique_ptr<CDataFile> reference_;
  OutputFile output_;
  std::vector<std::vector<int>> groups_;
  // The atom positions of all groups in order, and the numbering they were
  // found in.
  std::vector<int> positions_;
  bool resolved_ = false;
  uint64_t resolved_numbering_ = 0;
  int resolved_atom_count_ = 0;
  // One row per structure measured, groups_.size() values each.
  std::vector<double> results_;
  long long rows_ = 0;
  int atom_count_ = 0;
  int skip_ = 1;
  int steps_ = 1;
};

}  // namespace tarvex
