#include "chemistry/pbsa_radii.h"

#include "chemistry/parameters.h"
#include "common/numbers.h"
#include "common/text.h"

namespace tarvex {
namespace {

// Type numbers 16, 17, 23, 24 and 30 are not used.
const RadiusTypeRow kRadiusTypes[] = {
    {1, "(1O(3C(O,!O,!O)),1O(2C(O,!O)))"},
    {2, "(2O(H,*),2O(C,*))"},
    {3, "(O)"},
    {4, "(3N(*,!H,!H),2N(H,4C(C,N,H,*)),2N(4C(C,N,H,H),4C(C,N,H,*)))"},
    {5, "(3N(H,H,*))"},
    {6, "(4N(H,H,H,*))"},
    {7, "(4C(*,!H,!H,!H))"},
    {8, "(4C(H,H,!H,!H))"},
    {9, "(4C(H,H,H,!H))"},
    {10, "(3C(O,*,*),3C(!H,!H,!H),3C(O,4C(C,N,H,*),*))"},
    {11, "(3C(H,*,*))"},
    {12, "(2S(S,*))"},
    {13, "(S,P)"},
    {14, "(2N)"},
    {15, "(H)"},
    {18, "(CA)"},
    {19, "(ZN)"},
    {20, "(CU)"},
    {21, "(6FE)"},
    {22, "(CD)"},
    {25, "(FE)"},
    {26, "(MG)"},
    {27, "(MN)"},
    {28, "(CO)"},
    {29, "(SE)"},
    {31, "(YB)"},
    {99, "(*)"},
};

struct ParseRadius {
  const char* symbol;
  double radius;
};

const ParseRadius kParseRadii[] = {
    {"O", 1.4}, {"H", 1.0}, {"C", 1.7}, {"N", 1.5}, {"S", 1.85}, {"P", 1.9}, {"MG", 0.99}, {"F", 1.3}, {"ZN", 1.33},
};

// The first two words of a line: a number and a word.
template <typename Number>
bool NumberAndWord(std::string_view line, Number& number, std::string_view& word, bool number_first) {
  std::string_view first;
  std::string_view second;
  if (!NextWord(line, first) || !NextWord(line, second)) return false;
  std::string_view number_text = number_first ? first : second;
  word = number_first ? second : first;
  if constexpr (std::is_same_v<Number, int>) {
    return ParseIntField(number_text, number);
  } else {
    return ParseDoubleField(number_text, number);
  }
}

}  // namespace

PbsaTables BuiltInPbsaTables() {
  PbsaTables tables;
  tables.radius_types.assign(std::begin(kRadiusTypes), std::end(kRadiusTypes));
  for (const ParseRadius& entry : kParseRadii) tables.parse_radii[entry.symbol] = entry.radius;
  return tables;
}

void ApplyRadiusTypeLines(const std::vector<std::string_view>& lines, PbsaTables& tables) {
  std::vector<RadiusTypeRow> rows;
  for (std::string_view line : lines) {
    RadiusTypeRow row;
    std::string_view pattern;
    if (NumberAndWord(line, row.type, pattern, true)) {
      row.pattern = ToUpper(pattern);
      rows.push_back(std::move(row));
    }
  }
  if (!rows.empty()) tables.radius_types = std::move(rows);
}

void ApplyParseRadiusLines(const std::vector<std::string_view>& lines, PbsaTables& tables) {
  for (std::string_view line : lines) {
    double radius = 0.0;
    std::string_view symbol;
    if (NumberAndWord(line, radius, symbol, false)) tables.parse_radii[ToUpper(symbol)] = radius;
  }
}

PbsaTables LoadPbsaTables() {
  PbsaTables tables = BuiltInPbsaTables();
  const ParameterFile& file = RunParameterFile();
  if (!file.Found()) return tables;
  ApplyRadiusTypeLines(file.Texts(ParameterSection::kRadiusTypes), tables);
  ApplyParseRadiusLines(file.Texts(ParameterSection::kParseRadii), tables);
  return tables;
}

}  // namespace tarvex
