#include "chemistry/force_field_types.h"

#include <algorithm>
#include <array>

#include "chemistry/atomic_numbers.h"
#include "common/text.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

// The types as the force fields define them, by force field and element.
constexpr std::array kTypesByElement = std::to_array<ForceFieldType>({
    // Amber (parm94 to ff19SB, nucleic acids, water, ions). Carbons: C
    // carbonyl, CT sp3, CA CB CC CD CK CM CN CQ CR CV CW C* sp2 in rings and
    // chains, CY CZ sp, CI C5' of parmbsc0, CX 2C 3C C8 CO of ff14SB, XC of
    // ff19SB.
    {"C", kCarbon},
    {"CA", kCarbon},
    {"CB", kCarbon},
    {"CC", kCarbon},
    {"CD", kCarbon},
    {"CK", kCarbon},
    {"CM", kCarbon},
    {"CN", kCarbon},
    {"CQ", kCarbon},
    {"CR", kCarbon},
    {"CT", kCarbon},
    {"CV", kCarbon},
    {"CW", kCarbon},
    {"C*", kCarbon},
    {"CX", kCarbon},
    {"CY", kCarbon},
    {"CZ", kCarbon},
    {"CI", kCarbon},
    {"CO", kCarbon},
    {"2C", kCarbon},
    {"3C", kCarbon},
    {"C8", kCarbon},
    {"XC", kCarbon},
    {"H", kHydrogen},
    {"HA", kHydrogen},
    {"HC", kHydrogen},
    {"H1", kHydrogen},
    {"H2", kHydrogen},
    {"H3", kHydrogen},
    {"H4", kHydrogen},
    {"H5", kHydrogen},
    {"HO", kHydrogen},
    {"HS", kHydrogen},
    {"HW", kHydrogen},
    {"HP", kHydrogen},
    {"HZ", kHydrogen},
    {"N", kNitrogen},
    {"NA", kNitrogen},
    {"NB", kNitrogen},
    {"NC", kNitrogen},
    {"N*", kNitrogen},
    {"N2", kNitrogen},
    {"N3", kNitrogen},
    {"NT", kNitrogen},
    {"NY", kNitrogen},
    {"O", kOxygen},
    {"O2", kOxygen},
    {"OH", kOxygen},
    {"OS", kOxygen},
    {"OW", kOxygen},
    {"S", kSulfur},
    {"SH", kSulfur},
    {"P", kPhosphorus},
    {"F", kFluorine},
    {"Cl", kChlorine},
    {"CL", kChlorine},
    {"Br", kBromine},
    {"BR", kBromine},
    {"I", kIodine},
    // Amber ions of the old libraries (IM chloride, IP sodium, C0 calcium),
    // extra points of the four-point waters, and the dummy atoms of templates.
    {"IM", kChlorine},
    {"IP", kSodium},
    {"MG", kMagnesium},
    {"C0", kCalcium},
    {"FE", kIron},
    {"CU", kCopper},
    {"EP", kLonePair},
    {"LP", kLonePair},
    {"DU", kDummyAtom},
    // GAFF and GAFF2, lower case. Carbons: c carbonyl, c1 sp, c2 sp2, c3 sp3,
    // ca cp cq aromatic, cc cd ce cf cg ch conjugated, cu cv cx cy small rings,
    // cz guanidinium.
    {"c", kCarbon},
    {"c1", kCarbon},
    {"c2", kCarbon},
    {"c3", kCarbon},
    {"ca", kCarbon},
    {"cc", kCarbon},
    {"cd", kCarbon},
    {"ce", kCarbon},
    {"cf", kCarbon},
    {"cg", kCarbon},
    {"ch", kCarbon},
    {"cp", kCarbon},
    {"cq", kCarbon},
    {"cu", kCarbon},
    {"cv", kCarbon},
    {"cx", kCarbon},
    {"cy", kCarbon},
    {"cz", kCarbon},
    {"h1", kHydrogen},
    {"h2", kHydrogen},
    {"h3", kHydrogen},
    {"h4", kHydrogen},
    {"h5", kHydrogen},
    {"ha", kHydrogen},
    {"hc", kHydrogen},
    {"hn", kHydrogen},
    {"ho", kHydrogen},
    {"hp", kHydrogen},
    {"hs", kHydrogen},
    {"hw", kHydrogen},
    {"hx", kHydrogen},
    {"n", kNitrogen},
    {"n1", kNitrogen},
    {"n2", kNitrogen},
    {"n3", kNitrogen},
    {"n4", kNitrogen},
    {"n+", kNitrogen},
    {"na", kNitrogen},
    {"nb", kNitrogen},
    {"nc", kNitrogen},
    {"nd", kNitrogen},
    {"ne", kNitrogen},
    {"nf", kNitrogen},
    {"nh", kNitrogen},
    {"no", kNitrogen},
    {"ns", kNitrogen},
    {"nt", kNitrogen},
    {"nu", kNitrogen},
    {"nv", kNitrogen},
    {"nx", kNitrogen},
    {"ny", kNitrogen},
    {"nz", kNitrogen},
    {"n5", kNitrogen},
    {"n6", kNitrogen},
    {"n7", kNitrogen},
    {"n8", kNitrogen},
    {"n9", kNitrogen},
    {"np", kNitrogen},
    {"nq", kNitrogen},
    {"o", kOxygen},
    {"oh", kOxygen},
    {"os", kOxygen},
    {"ow", kOxygen},
    {"op", kOxygen},
    {"oq", kOxygen},
    {"p2", kPhosphorus},
    {"p3", kPhosphorus},
    {"p4", kPhosphorus},
    {"p5", kPhosphorus},
    {"pb", kPhosphorus},
    {"pc", kPhosphorus},
    {"pd", kPhosphorus},
    {"pe", kPhosphorus},
    {"pf", kPhosphorus},
    {"px", kPhosphorus},
    {"py", kPhosphorus},
    {"s", kSulfur},
    {"s2", kSulfur},
    {"s4", kSulfur},
    {"s6", kSulfur},
    {"sh", kSulfur},
    {"ss", kSulfur},
    {"sx", kSulfur},
    {"sy", kSulfur},
    {"sp", kSulfur},
    {"sq", kSulfur},
    {"f", kFluorine},
    {"cl", kChlorine},
    {"br", kBromine},
    {"i", kIodine},
});

constexpr bool TypeLess(const ForceFieldType& a, const ForceFieldType& b) { return a.type < b.type; }

// The same types sorted for the binary search; a type listed twice does not
// compile.
constexpr auto kSortedTypes = [] {
  auto sorted = kTypesByElement;
  std::sort(sorted.begin(), sorted.end(), TypeLess);
  return sorted;
}();
static_assert(std::adjacent_find(kSortedTypes.begin(), kSortedTypes.end(),
                                 [](const ForceFieldType& a, const ForceFieldType& b) { return a.type == b.type; }) ==
                  kSortedTypes.end(),
              "a force-field type is listed twice");

int LookUp(std::string_view type) {
  auto it = std::lower_bound(kSortedTypes.begin(), kSortedTypes.end(), ForceFieldType{type, 0}, TypeLess);
  return it != kSortedTypes.end() && it->type == type ? it->element : -1;
}

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }

// A real element (not DU or LP, nor one past radium) whose symbol is
// `letters` in any case.
int RealElement(std::string_view letters) {
  if (letters.empty() || letters.size() > 2) return -1;
  char upper[2] = {ToUpperChar(letters[0]), letters.size() > 1 ? ToUpperChar(letters[1]) : '\0'};
  const int element = ElementIndex(std::string_view(upper, letters.size()));
  return element > kDummyAtom && element < kGuessedElementCount ? element : -1;
}

// Na+, Cl-, Mg2+, Fe3+: a symbol, an optional charge number, the sign.
int IonElement(std::string_view type) {
  if (type.empty() || (type.back() != '+' && type.back() != '-')) return -1;
  type.remove_suffix(1);
  while (!type.empty() && IsDigit(type.back())) type.remove_suffix(1);
  return RealElement(type);
}

}  // namespace

std::span<const ForceFieldType> ForceFieldTypes() { return kTypesByElement; }

int ForceFieldTypeElement(std::string_view type) {
  int element = LookUp(type);
  if (element >= 0) return element;
  const bool all_upper =
      std::none_of(type.begin(), type.end(), IsLower) && std::any_of(type.begin(), type.end(), IsUpper);
  if (!all_upper || type.size() > 4) return -1;
  char lower[4];
  for (size_t i = 0; i < type.size(); ++i)
    lower[i] = IsUpper(type[i]) ? static_cast<char>(type[i] - 'A' + 'a') : type[i];
  return LookUp(std::string_view(lower, type.size()));
}

int ElementOfAtomType(std::string_view type, std::string_view atom_name) {
  type = Trim(type);
  if (int element = ForceFieldTypeElement(type); element >= 0) return element;
  if (int element = IonElement(type); element >= 0) return element;
  const bool symbol_spelling =
      (type.size() == 1 && IsUpper(type[0])) || (type.size() == 2 && IsUpper(type[0]) && IsLower(type[1]));
  if (symbol_spelling) {
    char upper[2] = {type[0], ToUpperChar(type.size() > 1 ? type[1] : ' ')};
    if (int element = ElementIndex(std::string_view(upper, type.size())); element >= 0) return element;
  }
  return ElementOfAtomName(atom_name);
}

int ElementOfAtomName(std::string_view name) {
  size_t start = 0;
  while (start < name.size() && (IsDigit(name[start]) || IsBlank(name[start]))) ++start;
  name.remove_prefix(start);
  if (name.empty() || !IsAlpha(name[0])) return -1;
  if (name.size() > 1 && IsUpper(name[0]) && IsLower(name[1])) {
    if (int element = RealElement(name.substr(0, 2)); element >= 0) return element;
  }
  if (int element = RealElement(name.substr(0, 1)); element >= 0) return element;
  if (name.size() > 1 && IsAlpha(name[1])) return RealElement(name.substr(0, 2));
  return -1;
}

}  // namespace tarvex
