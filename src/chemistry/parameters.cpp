// Parameter registry operations of the record, and the two consumers of the
// parameter file that belong to every record: the bond lengths of its first
// section fill the registry once, and the typing rows of its second seed each
// record's typing tables (the file and its sections: parameter_file.h).
// Lines with missing or malformed fields are skipped.
#include "chemistry/parameters.h"

#include "chemistry/environment_patterns.h"
#include "common/console.h"
#include "common/numbers.h"
#include "common/text.h"
#include "molecule/data_file.h"
#include "molecule/tables.h"

namespace tarvex {

ParameterRegistry& Registry() {
  static ParameterRegistry registry;
  return registry;
}

const ParameterFile& RunParameterFile() {
  std::optional<ParameterFile>& file = Registry().file;
  if (!file) file = FindAndReadParameterFile();
  return *file;
}

bool ParameterRegistryEmpty() { return Registry().pair_lengths.empty(); }

void ResetParameterRegistry() { Registry() = ParameterRegistry(); }

namespace {

struct BuiltInPair {
  const char* a;
  const char* b;
  double length;
};

// Standard bond lengths (angstrom) before scaling.
constexpr BuiltInPair kBuiltInPairs[] = {
    {"H", "H", 0.738},   {"C", "C", 1.526},   {"N", "N", 1.441},  {"O", "O", 1.46},  {"F", "F", 1.406},
    {"Cl", "Cl", 2.031}, {"Br", "Br", 2.337}, {"I", "I", 2.836},  {"P", "P", 2.324}, {"S", "S", 2.038},
    {"C", "H", 1.09},    {"N", "H", 1.01},    {"O", "H", 0.96},   {"F", "H", 0.92},  {"Cl", "H", 1.28},
    {"Br", "H", 1.41},   {"I", "H", 1.6},     {"P", "H", 1.41},   {"S", "H", 1.34},  {"N", "C", 1.47},
    {"O", "C", 1.44},    {"F", "C", 1.37},    {"Cl", "C", 1.8},   {"Br", "C", 1.94}, {"I", "C", 2.16},
    {"P", "C", 1.83},    {"S", "C", 1.82},    {"O", "N", 1.42},   {"F", "N", 1.42},  {"Cl", "N", 1.75},
    {"Br", "N", 1.93},   {"I", "N", 2.12},    {"P", "N", 1.72},   {"S", "N", 1.69},  {"F", "O", 1.41},
    {"Cl", "O", 1.7},    {"Br", "O", 1.79},   {"I", "O", 2.11},   {"P", "O", 1.64},  {"S", "O", 1.65},
    {"Cl", "F", 1.648},  {"I", "Cl", 2.55},   {"I", "Br", 2.671}, {"P", "F", 1.5},   {"S", "F", 1.58},
    {"P", "Cl", 2.04},   {"S", "Cl", 2.03},   {"P", "Br", 2.24},  {"S", "Br", 2.21}, {"P", "I", 2.49},
    {"S", "I", 2.56},    {"S", "P", 2.12},
};

struct BuiltInValue {
  const char* symbol;
  int value;
};

constexpr BuiltInValue kValences[] = {
    {"DU", 0}, {"H", 1},  {"HE", 0}, {"LI", 1}, {"BE", 2}, {"B", 3},  {"C", 4},  {"N", 3},  {"O", 2},  {"F", 1},
    {"NE", 0}, {"NA", 1}, {"MG", 2}, {"AL", 3}, {"SI", 4}, {"P", 5},  {"S", 6},  {"CL", 1}, {"AR", 0}, {"K", 1},
    {"CA", 2}, {"SC", 3}, {"TI", 4}, {"V", 5},  {"CR", 4}, {"MN", 4}, {"FE", 6}, {"CO", 6}, {"NI", 6}, {"CU", 4},
    {"ZN", 2}, {"GA", 0}, {"GE", 0}, {"AS", 0}, {"SE", 0}, {"BR", 1}, {"I", 1},  {"I", 3},  {"KR", 0}, {"LP", 1},
};

constexpr BuiltInValue kIonCharges[] = {
    {"DU", 0}, {"H", 1},  {"HE", 0}, {"LI", 1},  {"BE", 2},  {"B", 3},   {"C", 0},  {"N", 3},   {"O", -2}, {"F", -1},
    {"NE", 0}, {"NA", 1}, {"MG", 2}, {"AL", 3},  {"SI", 0},  {"P", 3},   {"S", 2},  {"CL", -1}, {"AR", 0}, {"K", 1},
    {"CA", 2}, {"SC", 3}, {"TI", 0}, {"V", 3},   {"CR", 3},  {"MN", 2},  {"FE", 2}, {"CO", 2},  {"NI", 2}, {"CU", 2},
    {"ZN", 2}, {"GA", 3}, {"GE", 2}, {"AS", -3}, {"SE", -2}, {"BR", -1}, {"I", -1}, {"KR", 0},  {"LP", 0},
};

constexpr BuiltInValue kMaxNeighbours[] = {
    {"DU", -1}, {"H", 1},  {"HE", 1}, {"LI", 1}, {"BE", 2}, {"B", 4},  {"C", 4},  {"N", 4},  {"O", 3},   {"F", 1},
    {"NE", 0},  {"NA", 1}, {"MG", 2}, {"AL", 4}, {"SI", 6}, {"P", 4},  {"S", 4},  {"CL", 1}, {"AR", 0},  {"K", 1},
    {"CA", 2},  {"SC", 4}, {"TI", 4}, {"V", 6},  {"CR", 6}, {"MN", 6}, {"FE", 6}, {"CO", 6}, {"NI", 6},  {"CU", 4},
    {"ZN", 6},  {"GA", 0}, {"GE", 0}, {"AS", 0}, {"SE", 0}, {"BR", 1}, {"I", 3},  {"KR", 0}, {"LP", -1},
};

}  // namespace

void CDataFile::SetPairParameterByIndex(int element_i, int element_j, double length) {
  if (element_i < 0 || element_i >= kElementCount || element_j < 0 || element_j >= kElementCount) return;
  SetPairParameter(std::string(kElementSymbols[element_i]), std::string(kElementSymbols[element_j]), length);
}

void CDataFile::SetPairParameter(const std::string& a, const std::string& b, double length) {
  std::string upper_a = ToUpper(a);
  std::string upper_b = ToUpper(b);
  Registry().pair_lengths[upper_a][upper_b] = length;
  Registry().pair_lengths[upper_b][upper_a] = length;
}

double CDataFile::GetPairParameterByIndex(int element_i, int element_j) {
  if (element_i < 0 || element_i >= kElementCount || element_j < 0 || element_j >= kElementCount) {
    return GetFallbackLength();
  }
  return GetPairParameter(std::string(kElementSymbols[element_i]), std::string(kElementSymbols[element_j]));
}

double CDataFile::GetPairParameter(const std::string& a, const std::string& b) {
  const auto& table = Registry().pair_lengths;
  auto row = table.find(ToUpper(a));
  if (row == table.end()) return GetFallbackLength();
  auto cell = row->second.find(ToUpper(b));
  return cell == row->second.end() ? GetFallbackLength() : cell->second;
}

void CDataFile::AddParameterList(const std::string& symbol, int valence) {
  Registry().valences[ToUpper(symbol)].push_back(valence);
}

std::vector<int>& CDataFile::GetParameterList(const std::string& symbol) { return Registry().valences[symbol]; }

void CDataFile::AddParameterList2(const std::string& symbol, int ion_charge) {
  Registry().ion_charges[ToUpper(symbol)].push_back(ion_charge);
}

std::vector<int>& CDataFile::GetParameterList2(const std::string& symbol) { return Registry().ion_charges[symbol]; }

void CDataFile::SetParameterValue(const std::string& symbol, int max_neighbours) {
  Registry().max_neighbours[ToUpper(symbol)] = max_neighbours;
}

int CDataFile::GetParameterValue(const std::string& symbol) { return Registry().max_neighbours[symbol]; }

double CDataFile::GetBondScale() const { return Registry().bond_scale; }
double CDataFile::GetFallbackLength() const { return Registry().fallback_length; }

void CDataFile::LoadParameters() {
  ParameterRegistry& registry = Registry();
  for (const BuiltInPair& pair : kBuiltInPairs) SetPairParameter(pair.a, pair.b, registry.bond_scale * pair.length);
  for (const BuiltInValue& v : kValences) AddParameterList(v.symbol, v.value);
  for (const BuiltInValue& v : kIonCharges) AddParameterList2(v.symbol, v.value);
  for (const BuiltInValue& v : kMaxNeighbours) SetParameterValue(v.symbol, v.value);

  for (const ParameterLine& line : RunParameterFile().Section(ParameterSection::kBondLengths)) {
    std::string_view rest = line.text;
    std::string_view a;
    std::string_view b;
    std::string_view number;
    if (!NextWord(rest, a) || !NextWord(rest, b) || !NextWord(rest, number)) continue;
    double value = 0.0;
    if (ParseDoublePrefix(number, value) != number.size()) continue;
    if (a == "SCALE" && b == "=") {
      registry.bond_scale = value;
    } else if (a == "*" && b == "*") {
      registry.fallback_length = value;
    } else {
      SetPairParameter(std::string(a), std::string(b), registry.bond_scale * value);
    }
  }
}

void CDataFile::LoadTypingRows() {
  type_suffixes_.clear();
  type_patterns_.clear();
  type_marks_.clear();
  auto add_row = [this](const std::string& element, const std::string& suffix, const std::string& pattern,
                        const std::string& mark) {
    type_suffixes_[element].push_back(suffix);
    type_patterns_[element].push_back(pattern);
    type_marks_[suffix] = mark;
  };
  const ParameterFile& file = RunParameterFile();
  if (!file.Found()) {
    for (const TypingRow& row : kTypingRows) {
      add_row(std::string(row.element), std::string(row.suffix), std::string(row.patterns), std::string(row.mark));
    }
    return;
  }
  for (const ParameterLine& line : file.Section(ParameterSection::kTypingRows)) {
    std::vector<std::string_view> words = SplitWhite(line.text);
    if (words.size() < 3) continue;
    if (PatternDepth(words[2]) > kDeepestPattern) {
      Warn("Warning: typing pattern nested deeper than " + std::to_string(kDeepestPattern) +
           " levels skipped: " + file.path + ", line " + std::to_string(line.number));
      continue;
    }
    add_row(ToUpper(words[0]), std::string(words[1]), ToUpper(words[2]),
            words.size() > 3 ? std::string(words[3]) : std::string());
  }
}

}  // namespace tarvex
