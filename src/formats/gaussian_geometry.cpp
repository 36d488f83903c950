#include "formats/gaussian_geometry.h"

#include "common/numbers.h"
#include "common/text.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

bool IsFieldSeparator(char c) { return c == ',' || IsBlank(c); }

// The symbol when it names a real element (not the dummy or the lone pair).
bool IsElementSymbol(std::string_view symbol) {
  const int index = ElementIndex(symbol);
  return index > 0 && index < kElementCount - 1;
}

// A reference field: an earlier atom by number or by label; -1 otherwise.
int ResolveReference(std::string_view field, const std::vector<ZMatrixLine>& lines, size_t atom) {
  int number = 0;
  if (ParseIntField(field, number)) return number >= 1 && static_cast<size_t>(number) <= atom ? number - 1 : -1;
  const std::string wanted = ToUpper(field);
  for (size_t k = 0; k < atom; ++k) {
    if (ToUpper(lines[k].label) == wanted) return static_cast<int>(k);
  }
  return -1;
}

}  // namespace

std::vector<std::string_view> SplitGaussianFields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsFieldSeparator(line[i])) ++i;
    const size_t start = i;
    while (i < line.size() && !IsFieldSeparator(line[i])) ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

std::string GaussianLabelElement(std::string_view label) {
  int number = 0;
  if (ParseIntField(label, number)) {
    return number >= 1 && number < kElementCount - 1 ? std::string(kElementSymbols[number]) : std::string("DU");
  }
  size_t letters = 0;
  while (letters < label.size() && IsAlpha(label[letters])) ++letters;
  const std::string upper = ToUpper(label.substr(0, letters));
  if (upper == "X") return "DU";
  if (upper.size() >= 2 && IsElementSymbol(std::string_view(upper).substr(0, 2))) return upper.substr(0, 2);
  if (!upper.empty() && IsElementSymbol(std::string_view(upper).substr(0, 1))) return upper.substr(0, 1);
  return upper;
}

bool ParseZMatrixLine(const std::vector<std::string_view>& fields, size_t index, ZMatrixLine& line) {
  const size_t pairs = index < 3 ? index : 3;
  const size_t wanted = 1 + 2 * pairs;
  // The dihedral may be followed by its kind: 0 for a dihedral.
  if (fields.size() != wanted && !(pairs == 3 && fields.size() == wanted + 1 && fields[wanted] == "0")) return false;
  line.label = std::string(fields[0]);
  line.pairs = static_cast<int>(pairs);
  for (size_t k = 0; k < pairs; ++k) {
    line.references[k] = std::string(fields[1 + 2 * k]);
    line.values[k] = std::string(fields[2 + 2 * k]);
  }
  return true;
}

bool ParseVariableLine(std::string_view line, std::string& name, double& value) {
  std::string text(line);
  for (char& c : text) {
    if (c == '=') c = ' ';
  }
  const std::vector<std::string_view> fields = SplitGaussianFields(text);
  if (fields.size() != 2 || !IsAlpha(fields[0][0]) || !ParseDoubleField(fields[1], value)) return false;
  name = ToUpper(fields[0]);
  return true;
}

bool ResolveGaussianValue(std::string_view field, const GaussianVariables& variables, double& value) {
  if (ParseDoubleField(field, value)) return true;
  const bool negated = !field.empty() && field[0] == '-';
  if (negated) field.remove_prefix(1);
  auto found = variables.find(ToUpper(field));
  if (found == variables.end()) return false;
  value = negated ? -found->second : found->second;
  return true;
}

bool ResolveZMatrix(const std::vector<ZMatrixLine>& lines, const GaussianVariables& variables,
                    std::vector<Point>& values, std::vector<ReferenceTriple>& references) {
  values.assign(lines.size(), Point{0.0, 0.0, 0.0});
  references.assign(lines.size(), ReferenceTriple{-1, -2, -3});
  for (size_t i = 0; i < lines.size(); ++i) {
    const ZMatrixLine& line = lines[i];
    // Unused references count down from -1, as CartesianToInternal leaves them.
    for (int k = line.pairs; k < 3; ++k) references[i][k] = line.pairs - k - 1;
    for (int k = 0; k < line.pairs; ++k) {
      const size_t column = static_cast<size_t>(k);
      const int reference = ResolveReference(line.references[column], lines, i);
      if (reference < 0 || !ResolveGaussianValue(line.values[column], variables, values[i][column])) return false;
      references[i][column] = reference;
    }
  }
  return true;
}

}  // namespace tarvex
