// Geometry lines as Gaussian writes and reads them, shared by the input-file
// reader and the log reader (whose "Symbolic Z-matrix:" echo repeats the
// input): atom labels, Cartesian lines, Z-matrix lines with numbers or
// variable names, and variable definitions.
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
//
// A Cartesian line is the label and x y z, with an optional freeze flag
// before them (0, or -1 for a frozen atom; lower values freeze rigid
// fragments): Gaussian reads it as a Z-matrix line whose reference atom is
// "0". ONIOM inputs add the layer (H, M or L) and a link atom after z:
//   C-CA--0.1   0   1.230  -0.450   0.000   H
// One molecule may mix both kinds: Cartesian atoms, then Z-matrix lines
// that refer to them.
//
// Labels: an element symbol or atomic number with anything after it, the
// atom's own number (C12), options in parentheses (C(Iso=13),
// C(Fragment=2)) or an ONIOM atom type and charge after "-" (C-CA--0.1).
// X is a dummy atom; Bq and labels with a "-Bq" or "Bq-" part (H-Bq, the
// basis functions of a hydrogen without its nucleus) are ghost atoms. Both
// are kept as dummy atoms ("DU"), never as real atoms.
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
// they make a symbol ("Cl2" is CL), else one ("HA" is H). Dummy and ghost
// atoms are "DU"; letters that name no element are kept, upper-cased.
std::string GaussianLabelElement(std::string_view label);

// The atom name of a label: the label without its options in parentheses
// and its ONIOM type and charge (a ghost keeps its "-Bq" part), cut to the
// four columns that PDB and Amber files give a name.
std::string GaussianLabelName(std::string_view label);

// A molecule line: a Z-matrix line or a Cartesian one.
struct ZMatrixLine {
  std::string label;
  bool cartesian = false;  // `values` hold x, y and z
  int pairs = 0;           // (reference, value) pairs: 0 for the first atom, then 1, 2, 3
  std::array<std::string, 3> references;
  std::array<std::string, 3> values;
};

// Reads the fields of the line of atom `index` (0-based) as a Z-matrix line
// with min(index, 3) pairs. False when the fields are not such a line.
bool ParseZMatrixLine(const std::vector<std::string_view>& fields, size_t index, ZMatrixLine& line);

// Reads a line of the molecule section, Cartesian or Z-matrix, by its own
// fields. False when it is neither.
bool ParseMoleculeLine(const std::vector<std::string_view>& fields, size_t index, ZMatrixLine& line);

// Whether a trimmed line is the heading of a variable section ("Variables:",
// "Constants:"), which may follow the molecule without a blank line.
bool IsVariableHeading(std::string_view trimmed);

// Variables by upper-cased name.
using GaussianVariables = std::map<std::string, double>;

// "name value", "name=value" or "name = value": false for any other line.
bool ParseVariableLine(std::string_view line, std::string& name, double& value);

// A value field: a number, or a variable (optionally negated). False when
// it is neither a number nor a defined variable.
bool ResolveGaussianValue(std::string_view field, const GaussianVariables& variables, double& value);

// The Z-matrix of the lines: per atom (r, theta, phi) and the 0-based
// reference atoms (counting down from -1 where a line has fewer than three);
// a Cartesian line gives its point (x, y, z) and the references -1, -1, -1.
// False when a reference is not an earlier atom, or a value can be read
// neither as a number nor as a defined variable.
bool ResolveZMatrix(const std::vector<ZMatrixLine>& lines, const GaussianVariables& variables,
                    std::vector<Point>& values, std::vector<ReferenceTriple>& references);

}  // namespace tarvex
