// Geometry lines as Gaussian writes and reads them, shared by the input-file
// reader and the log reader (whose "Symbolic Z-matrix:" echo repeats the
// input): atom labels, Z-matrix lines with numbers or variable names, and
// variable definitions.
//
// A Z-matrix line names the atom, then up to three (reference, value) pairs:
//   C
//   O   1  r2
//   H   2  r3   1  a3
//   H   2  r4   1  a4   3  d4   0
// References are earlier atoms by number (1-based) or by label; values are
// numbers or variable names, a leading "-" negating the variable. A fourth
// number after the dihedral (0) says the third value is a dihedral; 1 or -1
// say it is a second bond angle, a form the record cannot hold.
#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "molecule/bond_map.h"

namespace tarvex {

// Fields of a line: blanks, tabs and commas separate them.
std::vector<std::string_view> SplitGaussianFields(std::string_view line);

// The element symbol of an atom label, as the element table spells it: an
// atomic number gives its element; otherwise the leading letters, two when
// they make a symbol ("Cl2" is CL), else one ("HA" is H). The dummy atom X
// is "DU"; letters that name no element are kept, upper-cased.
std::string GaussianLabelElement(std::string_view label);

struct ZMatrixLine {
  std::string label;
  int pairs = 0;  // (reference, value) pairs: 0 for the first atom, then 1, 2, 3
  std::array<std::string, 3> references;
  std::array<std::string, 3> values;
};

// Reads the fields of the line of atom `index` (0-based), which has
// min(index, 3) pairs. False when the fields are not such a line.
bool ParseZMatrixLine(const std::vector<std::string_view>& fields, size_t index, ZMatrixLine& line);

// Variables by upper-cased name.
using GaussianVariables = std::map<std::string, double>;

// "name value", "name=value" or "name = value": false for any other line.
bool ParseVariableLine(std::string_view line, std::string& name, double& value);

// A value field: a number, or a variable (optionally negated). False when
// it is neither a number nor a defined variable.
bool ResolveGaussianValue(std::string_view field, const GaussianVariables& variables, double& value);

// The Z-matrix of the lines: per atom (r, theta, phi) and the 0-based
// reference atoms (counting down from -1 where a line has fewer than three). False when a
// reference is not an earlier atom, or a value can be read neither as a
// number nor as a defined variable.
bool ResolveZMatrix(const std::vector<ZMatrixLine>& lines, const GaussianVariables& variables,
                    std::vector<Point>& values, std::vector<ReferenceTriple>& references);

}  // namespace tarvex
