// The radius tables of MM/PBSA input (pbsaprep): radius types chosen by an
// atom's bonded environment, and PARSE radii by element.
//
// A radius type row is a type number and an environment pattern whose
// alternatives are tried one by one (chemistry/environment_patterns.h); an
// atom takes the number of the first row one of whose alternatives it
// matches. The built-in rows end with "(*)", type 99, which every atom
// matches. The PARSE radii (Sitkoff, Sharp and Honig's parameter set) are
// angstrom per element symbol.
//
// The parameter file changes both: its third section holds "type pattern"
// lines, which replace the built-in rows; its fourth section "symbol radius"
// lines, which add to the PARSE radii or replace one. A file without radius
// rows keeps the built-in ones, so that a parameter file written for the
// bond lengths alone does not leave every atom untyped.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

struct RadiusTypeRow {
  int type = 0;
  std::string pattern;
};

struct PbsaTables {
  std::vector<RadiusTypeRow> radius_types;
  std::map<std::string, double> parse_radii;
};

// The built-in tables.
PbsaTables BuiltInPbsaTables();
// The section lines of the parameter file applied to `tables`: radius-type
// lines (replacing the rows when any is usable) and PARSE lines. Patterns and
// symbols are upper-cased; lines without a number where one belongs are
// skipped.
void ApplyRadiusTypeLines(const std::vector<std::string_view>& lines, PbsaTables& tables);
void ApplyParseRadiusLines(const std::vector<std::string_view>& lines, PbsaTables& tables);
// The built-in tables with the parameter file's sections applied, when the
// file is found.
PbsaTables LoadPbsaTables();

}  // namespace tarvex
