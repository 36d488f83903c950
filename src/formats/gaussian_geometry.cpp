#include "formats/gaussian_geometry.h"

#include <unordered_map>

#include "common/numbers.h"
#include "common/text.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

// PDB and Amber files give an atom name four columns.
constexpr size_t kNameColumns = 4;

bool IsFieldSeparator(char c) { return c == ',' || IsBlank(c); }

// The symbol when it names a real element (not the dummy or the lone pair).
bool IsElementSymbol(std::string_view symbol) { return IsElementNumber(ElementIndex(symbol)); }

// The earlier atoms by label, upper-cased, each label standing for its atom
// with and without its options in parentheses; a label used twice stands
// for its first atom. Filled as the lines are resolved, so a reference
// finds only atoms before its own, each in one look-up (a Z-matrix of forty
// thousand atoms that refer to each other by label would take minutes
// scanned line by line).
class EarlierLabels {
 public:
  void Add(std::string_view label, size_t atom) {
    first_.emplace(ToUpper(label), static_cast<int>(atom));
    first_.emplace(ToUpper(label.substr(0, label.find('('))), static_cast<int>(atom));
  }
  int Find(std::string_view label) const {
    const auto found = first_.find(ToUpper(label));
    return found == first_.end() ? -1 : found->second;
  }

 private:
  std::unordered_map<std::string, int> first_;
};

// A reference field: an earlier atom by number or by label; -1 otherwise.
int ResolveReference(std::string_view field, const EarlierLabels& labels, size_t atom) {
  int number = 0;
  if (ParseIntField(field, number)) return number >= 1 && static_cast<size_t>(number) <= atom ? number - 1 : -1;
  return labels.Find(field);
}

}  // namespace

// Options in parentheses may hold commas and blanks of their own:
// C(Iso=13,Spin=1) is one field.
std::vector<std::string_view> SplitGaussianFields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsFieldSeparator(line[i])) ++i;
    const size_t start = i;
    int depth = 0;
    while (i < line.size() && (depth > 0 || !IsFieldSeparator(line[i]))) {
      if (line[i] == '(') ++depth;
      if (line[i] == ')' && depth > 0) --depth;
      ++i;
    }
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

namespace {

// The label without its options: "C1(Iso=13)" is C1.
std::string_view LabelCore(std::string_view label) { return label.substr(0, label.find('(')); }

// Bq alone or as a "-" part of the label (H-Bq, Bq-H, Bq1).
bool IsGhostLabel(std::string_view label) {
  std::string_view core = LabelCore(label);
  while (!core.empty()) {
    const size_t dash = core.find('-');
    const std::string_view part = core.substr(0, dash);
    size_t letters = 0;
    while (letters < part.size() && IsAlpha(part[letters])) ++letters;
    if (letters == 2 && ToUpper(part.substr(0, 2)) == "BQ") return true;
    if (dash == std::string_view::npos) break;
    core.remove_prefix(dash + 1);
  }
  return false;
}

// An ONIOM layer after the coordinates: high, medium or low.
bool IsLayerWord(std::string_view field) {
  const std::string upper = ToUpper(field);
  return upper == "H" || upper == "M" || upper == "L";
}

// label [flag] x y z [layer [link atom ...]]: the freeze flag is an integer
// of 0 or less, and stands before x only when the field after the three
// that follow it is no layer (a line "C 0 0 0 H" is x y z and its layer).
bool ParseCartesianLine(const std::vector<std::string_view>& fields, ZMatrixLine& line) {
  if (fields.size() < 4) return false;
  int flag = 0;
  const bool flagged = fields.size() >= 5 && ParseIntField(fields[1], flag) && flag <= 0 && !IsLayerWord(fields[4]);
  const size_t x = flagged ? 2 : 1;
  line.label = std::string(fields[0]);
  line.cartesian = true;
  line.pairs = 0;
  for (size_t k = 0; k < 3; ++k) line.values[k] = std::string(fields[x + k]);
  return true;
}

}  // namespace

std::string GaussianLabelElement(std::string_view label) {
  int number = 0;
  if (ParseIntField(label, number)) {
    return IsElementNumber(number) ? std::string(kElementSymbols[number]) : std::string("DU");
  }
  if (IsGhostLabel(label)) return "DU";
  size_t letters = 0;
  while (letters < label.size() && IsAlpha(label[letters])) ++letters;
  const std::string upper = ToUpper(label.substr(0, letters));
  if (upper == "X") return "DU";
  if (upper.size() >= 2 && IsElementSymbol(std::string_view(upper).substr(0, 2))) return upper.substr(0, 2);
  if (!upper.empty() && IsElementSymbol(std::string_view(upper).substr(0, 1))) return upper.substr(0, 1);
  return upper;
}

std::string GaussianLabelName(std::string_view label) {
  std::string_view name = LabelCore(label);
  if (!IsGhostLabel(label) && name.find('-') != std::string_view::npos && name.front() != '-') {
    name = name.substr(0, name.find('-'));
  }
  if (name.empty()) name = label;
  return std::string(name.substr(0, kNameColumns));
}

bool ParseZMatrixLine(const std::vector<std::string_view>& fields, size_t index, ZMatrixLine& line) {
  const size_t pairs = index < 3 ? index : 3;
  const size_t wanted = 1 + 2 * pairs;
  // The dihedral may be followed by its kind: 0 for a dihedral.
  if (fields.size() != wanted && !(pairs == 3 && fields.size() == wanted + 1 && fields[wanted] == "0")) return false;
  line.label = std::string(fields[0]);
  line.cartesian = false;
  line.pairs = static_cast<int>(pairs);
  for (size_t k = 0; k < pairs; ++k) {
    line.references[k] = std::string(fields[1 + 2 * k]);
    line.values[k] = std::string(fields[2 + 2 * k]);
  }
  return true;
}

// The second field tells the kinds apart: a reference atom is a number of 1
// or more or an earlier label, a Cartesian line has a freeze flag (0 or
// less) or a coordinate there; four fields are always a Cartesian atom.
bool ParseMoleculeLine(const std::vector<std::string_view>& fields, size_t index, ZMatrixLine& line) {
  if (fields.size() < 2) return ParseZMatrixLine(fields, index, line);
  int integer = 0;
  double real = 0.0;
  if (ParseIntField(fields[1], integer)) {
    if (integer <= 0) return ParseCartesianLine(fields, line);
  } else if (ParseDoubleField(fields[1], real)) {
    return ParseCartesianLine(fields, line);
  }
  if (fields.size() == 4) return ParseCartesianLine(fields, line);
  if (ParseZMatrixLine(fields, index, line)) return true;
  return fields.size() >= 5 && IsLayerWord(fields[4]) && ParseCartesianLine(fields, line);
}

bool IsVariableHeading(std::string_view trimmed) {
  const std::string heading = ToUpper(trimmed);
  return heading == "VARIABLES:" || heading == "CONSTANTS:";
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
  references.assign(lines.size(), ReferenceTriple{-1, -1, -1});
  EarlierLabels labels;
  for (size_t i = 0; i < lines.size(); labels.Add(lines[i].label, i), ++i) {
    const ZMatrixLine& line = lines[i];
    if (line.cartesian) {
      for (size_t k = 0; k < 3; ++k) {
        if (!ResolveGaussianValue(line.values[k], variables, values[i][k])) return false;
      }
      continue;
    }
    // Unused references count down from -1, as CartesianToInternal leaves them.
    for (int k = line.pairs; k < 3; ++k) references[i][k] = line.pairs - k - 1;
    for (int k = 0; k < line.pairs; ++k) {
      const size_t column = static_cast<size_t>(k);
      const int reference = ResolveReference(line.references[column], labels, i);
      if (reference < 0 || !ResolveGaussianValue(line.values[column], variables, values[i][column])) return false;
      references[i][column] = reference;
    }
  }
  return true;
}

}  // namespace tarvex
