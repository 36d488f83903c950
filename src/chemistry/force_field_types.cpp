#include "chemistry/force_field_types.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "chemistry/atomic_numbers.h"
#include "common/text.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

// Types of one force field that stand for one element, as the force field
// defines them; mass 0 means the element's own mass (what matters is only
// which meaning of a shared name is nearer a file's mass).
struct TypeGroup {
  ForceField field;
  int element;
  float mass;
  std::string_view types;  // separated by blanks
  bool ion = false;
};

// The Amber, GAFF, GLYCAM, lipid and RNA-model types are the MASS entries of
// the force-field parameter files of AmberTools (parm91 to parm15ipq, the
// ff99SB to ff19SB frcmods, GAFF, GAFF2, GLYCAM_06, lipid11 and lipid14,
// OPLS, the ion and water frcmods, the coarse-grained toyrna.dat, and the
// atom names nucgen.dat lists), their elements as the masses and comments of
// those entries say, gathered in the table ff/force_field_types.tsv of the
// shared corpus. Two kinds of entry give no element by their mass: united
// atoms carry their hydrogens (the OPLS and parm91 CH of mass 13.02 is a
// carbon, W of mass 16 a water oxygen, IB the sodium of a hydrated Na+ of
// mass 131), and the placeholders M1 and M2 (mass 999) are dummy atoms.
// The CHARMM36 types (proteins, lipids, ions) and the sodium of old ion
// libraries come from those force fields' own definitions.
constexpr TypeGroup kGroups[] = {
    // Amber carbons: C carbonyl, CT sp3, the sp2 ring and chain carbons (CA
    // to CW, C*), the parm91 and OPLS united atoms (CD to CZ of mass 13 to
    // 15), CI and CE of parmbsc0/bsc1, 2C 3C C8 CO CX of ff14SB, XC of
    // ff19SB, TA to TP of the IPolQ sets, the 6x types of ForceBalance fb15,
    // Q1 to Q4 of the chi corrections, the nucleotide atom names of nucgen.
    {kAmberTypes, kCarbon, 0,
     "2C 3C 6+ 6C 6D 6E 6F 6H 6I 6J 6K 6L 6M 6N 6P 6Q 6R 6S 6T 6V 6W 6Y 6c 6d 6e 6h 6i 6j 6k 6q 6t C C* C1 "
     "C1' C2 C2' C3 C3' C4 C4' C5 C5' C6 C7 C8 CA CB CC CD CE CF CG CH CI CJ CK CM CN CO CP CQ CR CS CT CV "
     "CW CX CY CZ M4 Q1 Q2 Q3 Q4 TA TG TJ TM TP XC"},
    {kAmberTypes, kHydrogen, 0, "H H0 H1 H2 H21 H22 H3 H4 H41 H42 H5 H61 H62 HA HC HD HK HN HO HP HS HT HW HZ TH"},
    {kAmberTypes, kNitrogen, 0, "N N* N1 N2 N3 N4 N6 N7 N9 NA NB NC ND NL NO NP NT NX NY NZ TN"},
    {kAmberTypes, kOxygen, 0, "O O1' O2 O3 O3' O4 O5' O6 OA OB OD OH OM OP OQ OR OS OT OV OW OX OZ W"},
    {kAmberTypes, kSulfur, 0, "S S* SF SH SO SS"},
    {kAmberTypes, kPhosphorus, 0, "P"},
    {kAmberTypes, kFluorine, 0, "F F-", true},
    {kAmberTypes, kChlorine, 0, "CL Cl IM"},
    {kAmberTypes, kBromine, 0, "BR Br"},
    {kAmberTypes, kIodine, 0, "I I-"},
    {kAmberTypes, kSelenium, 0, "Se"},
    // Ions: IP and QN sodium, IB a sodium with its six waters, QK, QL, QR and
    // QC of parm91 potassium, lithium, rubidium and caesium, C0 calcium.
    {kAmberTypes, kSodium, 0, "IB IP Na QN", true},
    {kAmberTypes, kPotassium, 0, "K K+ QK", true},
    {kAmberTypes, kLithium, 0, "Li QL", true},
    {kAmberTypes, kRubidium, 0, "QR Rb", true},
    {kAmberTypes, kCaesium, 0, "Cs QC", true},
    {kAmberTypes, kMagnesium, 0, "MG", true},
    {kAmberTypes, kCalcium, 0, "C0", true},
    {kAmberTypes, kIron, 0, "FE", true},
    {kAmberTypes, kCopper, 0, "CU", true},
    {kAmberTypes, kZinc, 0, "ZN Zn", true},
    // Extra points of the four- and five-point waters and lone pairs (mass 0,
    // or the 3 that old files give them), template dummies and placeholders.
    {kAmberTypes, kLonePair, 0, "EP LP"},
    {kAmberTypes, kDummyAtom, 0, "DU M1 M2"},

    // GAFF and GAFF2.
    {kGaffTypes, kCarbon, 0, "c c1 c2 c3 ca cc cd ce cf cg ch cp cq cs cu cv cx cy cz"},
    {kGaffTypes, kHydrogen, 0, "h1 h2 h3 h4 h5 ha hc hn ho hp hs hw hx"},
    {kGaffTypes, kNitrogen, 0, "n n+ n1 n2 n3 n4 n5 n6 n7 n8 n9 na nb nc nd ne nf nh no np nq ns nt nu nv nx ny nz"},
    {kGaffTypes, kOxygen, 0, "o oh op oq os ow"},
    {kGaffTypes, kPhosphorus, 0, "p2 p3 p4 p5 pb pc pd pe pf px py"},
    {kGaffTypes, kSulfur, 0, "s s2 s4 s6 sh sp sq ss sx sy"},
    {kGaffTypes, kFluorine, 0, "f"},
    {kGaffTypes, kChlorine, 0, "cl"},
    {kGaffTypes, kBromine, 0, "br"},
    {kGaffTypes, kIodine, 0, "i"},

    // GLYCAM_06: Cg the anomeric carbon, Os the ring oxygen, Oh and Ho the
    // hydroxyl, Sm a thioether sulfur.
    {kGlycamTypes, kCarbon, 0, "Cg Cj Ck Cp Cy"},
    {kGlycamTypes, kHydrogen, 0, "Ha Hc Ho Hp"},
    {kGlycamTypes, kNitrogen, 0, "Ng"},
    {kGlycamTypes, kOxygen, 0, "Oh Os Oy"},
    {kGlycamTypes, kSulfur, 0, "Sm"},

    // lipid11 and lipid14.
    {kLipidTypes, kCarbon, 0, "cA cB cC cD cP cR"},
    {kLipidTypes, kHydrogen, 0, "hA hB hE hL hN hO hR hS hX"},
    {kLipidTypes, kNitrogen, 0, "nA"},
    {kLipidTypes, kOxygen, 0, "oC oH oO oP oR oS oT"},
    {kLipidTypes, kPhosphorus, 0, "pA"},

    // The coarse-grained RNA model: one bead per base atom, named after the
    // base and the atom it stands for (A1 the N1 of adenine, G6 the O6 of
    // guanine, C1 to C4 cytosine's), and CB, CS and P for the backbone C4',
    // the sugar's C1' and the phosphate.
    {kToyRnaTypes, kNitrogen, 26.8f, "A1 A3 A6 A7 A9"},
    {kToyRnaTypes, kNitrogen, 25.0f, "G1 G2 G3 G7 G9"},
    {kToyRnaTypes, kOxygen, 25.0f, "G6"},
    {kToyRnaTypes, kNitrogen, 27.75f, "U1 U3"},
    {kToyRnaTypes, kOxygen, 27.75f, "U2 U4"},
    {kToyRnaTypes, kNitrogen, 27.5f, "C1 C3 C4"},
    {kToyRnaTypes, kOxygen, 27.5f, "C2"},
    {kToyRnaTypes, kCarbon, 56.0f, "CB"},
    {kToyRnaTypes, kCarbon, 43.0f, "CS"},
    {kToyRnaTypes, kPhosphorus, 95.0f, "P"},

    // CHARMM36: proteins (CT1 to CT3 aliphatic, CPH1 and CPH2 histidine, SM
    // the methionine sulfur), lipids (CL the ester carbonyl carbon, CTL2
    // and HAL2 the chains, CEL1 the double bonds, OSL and OBL the ester,
    // PL, O2L and OSLP the phosphate, NTL the choline) and ions.
    {kCharmmTypes, kCarbon, 0,
     "C CA CAI CC CD CE1 CE2 CEL1 CEL2 CL CP1 CP2 CP3 CPH1 CPH2 CPT CRL1 CRL2 CS CT1 CT2 CT2A CT3 CTL1 CTL2 "
     "CTL3 CTL5 CY"},
    {kCharmmTypes, kHydrogen, 0,
     "H HA HA1 HA2 HA3 HAL1 HAL2 HAL3 HB1 HB2 HBL HC HE1 HE2 HEL1 HEL2 HL HOL HP HR1 HR2 HR3 HS HT"},
    {kCharmmTypes, kNitrogen, 0, "N NC2 NH1 NH2 NH3 NH3L NP NR1 NR2 NR3 NTL NY"},
    {kCharmmTypes, kOxygen, 0, "O O2L OB OBL OC OCL OH1 OHL OS OSL OSLP OT"},
    {kCharmmTypes, kSulfur, 0, "S SL SM SS"},
    {kCharmmTypes, kPhosphorus, 0, "PL"},
    {kCharmmTypes, kSodium, 0, "SOD", true},
    {kCharmmTypes, kPotassium, 0, "POT", true},
    {kCharmmTypes, kChlorine, 0, "CLA", true},
    {kCharmmTypes, kCalcium, 0, "CAL", true},
    {kCharmmTypes, kCaesium, 0, "CES", true},
    {kCharmmTypes, kLithium, 0, "LIT", true},
    {kCharmmTypes, kRubidium, 0, "RUB", true},
    {kCharmmTypes, kBarium, 0, "BAR", true},
    {kCharmmTypes, kCadmium, 0, "CD2", true},
    {kCharmmTypes, kZinc, 0, "ZN2", true},

    // The sodium ion of old residue libraries (an atom NA of type SO).
    {kOldIonTypes, kSodium, 0, "SO", true},
};

constexpr size_t WordCount(std::string_view text) {
  size_t count = 0;
  bool in_word = false;
  for (char c : text) {
    const bool blank = c == ' ';
    if (!blank && !in_word) ++count;
    in_word = !blank;
  }
  return count;
}

constexpr size_t EntryCount() {
  size_t count = 0;
  for (const TypeGroup& group : kGroups) count += WordCount(group.types);
  return count;
}

constexpr bool TypeLess(const ForceFieldType& a, const ForceFieldType& b) { return a.type < b.type; }

// One entry per type and meaning, sorted by type, the meanings of a type in
// the order of kGroups (Amber's first).
constexpr auto kEntries = [] {
  struct Ranked {
    ForceFieldType entry;
    size_t rank;
  };
  std::array<Ranked, EntryCount()> ranked{};
  size_t next = 0;
  for (const TypeGroup& group : kGroups) {
    const std::string_view text = group.types;
    for (size_t start = text.find_first_not_of(' '); start < text.size(); start = text.find_first_not_of(' ', start)) {
      const size_t end = std::min(text.find(' ', start), text.size());
      ranked[next] = {{text.substr(start, end - start), group.element, group.mass, group.field, group.ion}, next};
      ++next;
      start = end;
    }
  }
  std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
    return a.entry.type != b.entry.type ? a.entry.type < b.entry.type : a.rank < b.rank;
  });
  std::array<ForceFieldType, EntryCount()> entries{};
  for (size_t k = 0; k < entries.size(); ++k) entries[k] = ranked[k].entry;
  return entries;
}();

// A type listed twice for one element within a force field does not compile.
constexpr bool NoRepeats() {
  for (size_t k = 1; k < kEntries.size(); ++k) {
    const ForceFieldType& a = kEntries[k - 1];
    const ForceFieldType& b = kEntries[k];
    if (a.type == b.type && a.field == b.field) return false;
  }
  return true;
}
static_assert(NoRepeats(), "a force-field type is listed twice in one force field");

std::span<const ForceFieldType> Meanings(std::string_view type) {
  auto [first, last] =
      std::equal_range(kEntries.begin(), kEntries.end(), ForceFieldType{type, 0, 0, kAmberTypes, false}, TypeLess);
  return {first, last};
}

bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }

float MassOf(const ForceFieldType& meaning) {
  if (meaning.mass > 0.0f) return meaning.mass;
  return static_cast<float>(kAtomicMasses[static_cast<size_t>(meaning.element)]);
}

// Meanings that share an element are one meaning here.
bool OneElement(std::span<const ForceFieldType> meanings) {
  return std::all_of(meanings.begin(), meanings.end(),
                     [&](const ForceFieldType& m) { return m.element == meanings.front().element; });
}

int Choose(std::span<const ForceFieldType> meanings, const TypeContext& context) {
  if (meanings.empty()) return -1;
  if (OneElement(meanings)) return meanings.front().element;
  if (context.mass > 0.0) {
    auto nearest = std::min_element(meanings.begin(), meanings.end(), [&](const auto& a, const auto& b) {
      return std::abs(MassOf(a) - context.mass) < std::abs(MassOf(b) - context.mass);
    });
    return nearest->element;
  }
  // A force field the file shows, other than the usual meaning's own.
  for (const ForceFieldType& meaning : meanings.subspan(1)) {
    if (context.fields & meaning.field) return meaning.element;
  }
  if (context.lone_atom) {
    for (const ForceFieldType& meaning : meanings) {
      if (meaning.ion) return meaning.element;
    }
  }
  return meanings.front().element;
}

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

// SYBYL's spelling of a symbol: H, C, Cl, Na, Du, Lp. The element, or -1.
int SymbolSpelling(std::string_view type) {
  const bool spelt =
      (type.size() == 1 && IsUpper(type[0])) || (type.size() == 2 && IsUpper(type[0]) && IsLower(type[1]));
  if (!spelt) return -1;
  char upper[2] = {type[0], ToUpperChar(type.size() > 1 ? type[1] : ' ')};
  return ElementIndex(std::string_view(upper, type.size()));
}

// SE, YB, fe: two letters of one case that spell an element.
int TwoLetterSymbol(std::string_view type) {
  if (type.size() != 2) return -1;
  const bool one_case = (IsUpper(type[0]) && IsUpper(type[1])) || (IsLower(type[0]) && IsLower(type[1]));
  return one_case ? RealElement(type) : -1;
}

template <typename Text>
uint32_t FieldsOf(std::span<const Text> types) {
  uint32_t fields = 0;
  bool all_symbols = !types.empty();
  for (const Text& text : types) {
    const std::string_view type = Trim(std::string_view(text));
    if (type.find('.') != std::string_view::npos) fields |= kSybylTypes;
    const std::span<const ForceFieldType> meanings = Meanings(type);
    // A type of one force field alone shows that force field; dummy atoms
    // and extra points belong to every force field, and to SYBYL's too.
    const bool placeholder =
        !meanings.empty() && (meanings.front().element == kDummyAtom || meanings.front().element == kLonePair);
    all_symbols = all_symbols && (placeholder || SymbolSpelling(type) >= 0);
    if (!meanings.empty() && !placeholder &&
        std::all_of(meanings.begin(), meanings.end(),
                    [&](const ForceFieldType& m) { return m.field == meanings.front().field; })) {
      fields |= meanings.front().field;
    }
  }
  return all_symbols ? fields | kSybylTypes : fields;
}

}  // namespace

std::span<const ForceFieldType> ForceFieldTypes() { return kEntries; }

uint32_t FieldsOfTypes(std::span<const std::string> types) { return FieldsOf(types); }
uint32_t FieldsOfTypes(std::span<const std::string_view> types) { return FieldsOf(types); }

int ForceFieldTypeElement(std::string_view type, const TypeContext& context) {
  std::span<const ForceFieldType> meanings = Meanings(type);
  if (!meanings.empty()) return Choose(meanings, context);
  const bool all_upper =
      std::none_of(type.begin(), type.end(), IsLower) && std::any_of(type.begin(), type.end(), IsUpper);
  if (!all_upper || type.size() > 4) return -1;
  char lower[4];
  for (size_t i = 0; i < type.size(); ++i)
    lower[i] = IsUpper(type[i]) ? static_cast<char>(type[i] - 'A' + 'a') : type[i];
  return Choose(Meanings(std::string_view(lower, type.size())), context);
}

int ElementOfAtomType(std::string_view type, std::string_view atom_name, const TypeContext& context) {
  type = Trim(type);
  if (context.fields & kSybylTypes) {
    if (int element = SymbolSpelling(type); element >= 0) return element;
  }
  if (int element = ForceFieldTypeElement(type, context); element >= 0) return element;
  if (int element = IonElement(type); element >= 0) return element;
  if (int element = SymbolSpelling(type); element >= 0) return element;
  if (int element = TwoLetterSymbol(type); element >= 0) return element;
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
