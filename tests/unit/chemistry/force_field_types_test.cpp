#include "chemistry/force_field_types.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/text.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

std::string Symbol(int element) { return element < 0 ? std::string("none") : std::string(kElementSymbols[element]); }

// Every force-field type that the Amber PREP and MOL2 files of the corpus
// use, with the element it stands for in the force field's own definition
// (gaff.dat, parm94/parm99/ff14SB).
const std::map<std::string, std::string>& CorpusTypes() {
  static const std::map<std::string, std::string> types = {
      // Amber carbons, including the aromatic ones read as calcium, cobalt or
      // copper by a two-letter rule (CA, CB, CC, CK, CM, CN, CR, CV, CW, C*).
      {"C", "C"},
      {"C*", "C"},
      {"C8", "C"},
      {"CA", "C"},
      {"CB", "C"},
      {"CC", "C"},
      {"CK", "C"},
      {"CM", "C"},
      {"CN", "C"},
      {"CR", "C"},
      {"CT", "C"},
      {"CV", "C"},
      {"CW", "C"},
      {"CX", "C"},
      {"CZ", "C"},
      // Amber nitrogens (NA, NB: not sodium or niobium), oxygens, sulfur, P.
      {"N", "N"},
      {"N*", "N"},
      {"N2", "N"},
      {"N3", "N"},
      {"NA", "N"},
      {"NB", "N"},
      {"NC", "N"},
      {"O", "O"},
      {"O2", "O"},
      {"OH", "O"},
      {"OS", "O"},
      {"P", "P"},
      {"S", "S"},
      {"SH", "S"},
      // Amber hydrogens (HO, HS: not holmium or hassium).
      {"H", "H"},
      {"H1", "H"},
      {"H2", "H"},
      {"H4", "H"},
      {"H5", "H"},
      {"HA", "H"},
      {"HC", "H"},
      {"HO", "H"},
      {"HP", "H"},
      {"HS", "H"},
      {"HZ", "H"},
      // Chloroform's chlorine, the ions of all_amino94.in, template dummies.
      {"CL", "CL"},
      {"IM", "CL"},
      {"IP", "NA"},
      {"DU", "DU"},
      // GAFF.
      {"c", "C"},
      {"c3", "C"},
      {"ca", "C"},
      {"cp", "C"},
      {"h1", "H"},
      {"h4", "H"},
      {"ha", "H"},
      {"hc", "H"},
      {"hn", "H"},
      {"ho", "H"},
      {"n", "N"},
      {"n3", "N"},
      {"nb", "N"},
      {"nh", "N"},
      {"ns", "N"},
      {"o", "O"},
      {"oh", "O"},
  };
  return types;
}

TEST(ForceFieldTypes, EveryCorpusTypeNamesItsElement) {
  for (const auto& [type, element] : CorpusTypes()) {
    EXPECT_EQ(Symbol(ForceFieldTypeElement(type)), element) << type;
    EXPECT_EQ(Symbol(ElementOfAtomType(type, "X")), element) << type;
  }
}

// The table itself: every element is one of the symbol table, and the types
// the force fields spell with a symbol's letters but a different meaning are
// held as the force field means them.
TEST(ForceFieldTypes, TableEntriesAreElementsAndKeepTheForceFieldMeaning) {
  for (const ForceFieldType& entry : ForceFieldTypes()) {
    ASSERT_GE(entry.element, 0) << entry.type;
    ASSERT_LT(entry.element, kElementCount) << entry.type;
  }
  EXPECT_TRUE(std::is_sorted(ForceFieldTypes().begin(), ForceFieldTypes().end(),
                             [](const ForceFieldType& a, const ForceFieldType& b) { return a.type < b.type; }));
  EXPECT_EQ(Symbol(ForceFieldTypeElement("C0")), "CA");  // calcium ion
  EXPECT_EQ(Symbol(ForceFieldTypeElement("MG")), "MG");
  EXPECT_EQ(Symbol(ForceFieldTypeElement("cl")), "CL");
  EXPECT_EQ(Symbol(ForceFieldTypeElement("br")), "BR");
  EXPECT_EQ(Symbol(ForceFieldTypeElement("n4")), "N");
  EXPECT_EQ(Symbol(ForceFieldTypeElement("EP")), "LP");
  EXPECT_EQ(Symbol(ForceFieldTypeElement("Os")), "O");    // GLYCAM ring oxygen, not osmium
  EXPECT_EQ(Symbol(ForceFieldTypeElement("Ho")), "H");    // GLYCAM hydroxyl hydrogen, not holmium
  EXPECT_EQ(Symbol(ForceFieldTypeElement("Sm")), "S");    // GLYCAM thioether, not samarium
  EXPECT_EQ(Symbol(ForceFieldTypeElement("SOD")), "NA");  // CHARMM sodium, not sulfur
  EXPECT_EQ(Symbol(ForceFieldTypeElement("CLA")), "CL");  // CHARMM chloride, not carbon
  EXPECT_EQ(Symbol(ForceFieldTypeElement("SM")), "S");    // CHARMM methionine sulfur
  EXPECT_EQ(ForceFieldTypeElement("Ca"), -1);             // a symbol, not a type
  EXPECT_EQ(ForceFieldTypeElement("ca "), -1);
}

// Names with several meanings: the usual (Amber's) without a hint, the one
// whose mass is nearest where the file gives a mass, the one of the force
// field the file's other types show, an ion for an atom that is a residue
// of its own.
TEST(ForceFieldTypes, SharedNamesGoByWhatTheFileSays) {
  EXPECT_EQ(Symbol(ForceFieldTypeElement("CL")), "CL");
  EXPECT_EQ(Symbol(ForceFieldTypeElement("CL", {.mass = 12.011})), "C");
  EXPECT_EQ(Symbol(ForceFieldTypeElement("CL", {.mass = 35.45})), "CL");
  const std::vector<std::string> lipid = {"CTL3", "HAL3", "CL", "OBL", "OSL", "PL", "O2L", "NTL"};
  EXPECT_EQ(FieldsOfTypes(lipid), static_cast<uint32_t>(kCharmmTypes));
  EXPECT_EQ(Symbol(ForceFieldTypeElement("CL", {.fields = FieldsOfTypes(lipid)})), "C");
  // Chloroform's CL beside Amber's CZ and HZ stays chlorine.
  const std::vector<std::string> chloroform = {"CZ", "HZ", "CL", "CL", "CL"};
  EXPECT_EQ(Symbol(ForceFieldTypeElement("CL", {.fields = FieldsOfTypes(chloroform)})), "CL");

  EXPECT_EQ(Symbol(ForceFieldTypeElement("C2")), "C");
  EXPECT_EQ(Symbol(ForceFieldTypeElement("C2", {.mass = 27.5})), "O");
  const std::vector<std::string> toy_rna = {"P", "CB", "CS", "A1", "A3", "A6", "C1", "C2", "C3", "C4"};
  EXPECT_EQ(FieldsOfTypes(toy_rna) & kToyRnaTypes, static_cast<uint32_t>(kToyRnaTypes));
  EXPECT_EQ(Symbol(ForceFieldTypeElement("C3", {.fields = FieldsOfTypes(toy_rna)})), "N");

  EXPECT_EQ(Symbol(ForceFieldTypeElement("SO")), "S");
  EXPECT_EQ(Symbol(ForceFieldTypeElement("SO", {.lone_atom = true})), "NA");
  EXPECT_EQ(Symbol(ForceFieldTypeElement("SO", {.mass = 22.99})), "NA");

  // SYBYL files: types with a suffix, or element symbols alone; then a type
  // spelt as a symbol is that element, tungsten and not a parm91 water.
  const std::vector<std::string> sybyl = {"C.ar", "N.pl3", "W", "Cl"};
  EXPECT_TRUE(FieldsOfTypes(sybyl) & kSybylTypes);
  EXPECT_TRUE(FieldsOfTypes(std::vector<std::string>{"Na"}) & kSybylTypes);
  EXPECT_FALSE(FieldsOfTypes(std::vector<std::string>{"CT", "HC"}) & kSybylTypes);
  EXPECT_EQ(Symbol(ElementOfAtomType("W", "W1", {.fields = kSybylTypes})), "W");
  EXPECT_EQ(Symbol(ElementOfAtomType("W", "O")), "O");
  EXPECT_EQ(Symbol(ElementOfAtomType("Os", "O5")), "O");
  EXPECT_EQ(Symbol(ElementOfAtomType("Os", "OS1", {.fields = kSybylTypes})), "OS");
  // Placeholders show no force field.
  EXPECT_EQ(FieldsOfTypes(std::vector<std::string>{"DU", "EP", "CTL2"}), static_cast<uint32_t>(kCharmmTypes));
}

// Every row of the table of AmberTools' MASS entries (the shared corpus's
// ff/force_field_types.tsv: type, mass, comment, files) gives the element its
// mass and comment say, read here independently of the source's table. A
// mass of 0 and the types EP and LP are extra points, the placeholders of
// mass 999 dummy atoms. The beads of the coarse-grained RNA model and the
// hydrated sodium say in their comments what they stand for. Otherwise the
// element whose mass fits (a united atom carries up to three hydrogens)
// decides: the one the type's letters start with when several fit, else the
// nearest. nucgen.dat lists nucleotide atom names with other numbers in the
// mass column, and frcmod.vdWall an O of "mass" 2: the name says the element.
std::string ExpectedElementOfRow(std::string_view type, double mass, std::string comment, std::string_view files) {
  for (char& c : comment) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::string upper = ToUpper(type);
  if (type == "EP" || type == "LP" || mass == 0.0) return "LP";
  if (mass == 999.0) return "DU";
  if (files == "nucgen.dat") return std::string(1, upper[0]);
  static const std::pair<const char*, const char*> kNamed[] = {{"nitrogen in base", "N"}, {"oxygen in base", "O"},
                                                               {"backbone c4'", "C"},     {"sugar c1'", "C"},
                                                               {"phosphate,pol", "P"},    {"na+", "NA"}};
  for (const auto& [words, element] : kNamed) {
    if (comment.find(words) != std::string::npos) return element;
  }
  std::string nearest;
  double best = 1e9;
  for (int z = 1; z < kElementCount; ++z) {
    if (!IsElementNumber(z)) continue;
    const std::string symbol(kElementSymbols[z]);
    const bool united = symbol == "C" || symbol == "N" || symbol == "O" || symbol == "S";
    const double tolerance = kAtomicMasses[z] < 20.0 ? 0.05 : 1.0;
    for (int hydrogens = 0; hydrogens <= (united ? 3 : 0); ++hydrogens) {
      const double off = std::abs(mass - kAtomicMasses[z] - 1.008 * hydrogens);
      if (off >= tolerance) continue;
      if (upper.rfind(symbol, 0) == 0 &&
          (symbol.size() == 2 || upper.size() == 1 || !IsAlpha(upper[1]) || ElementIndex(upper.substr(0, 2)) < 0 ||
           kAtomicMasses[ElementIndex(upper.substr(0, 2))] > mass + 1.0))
        return symbol;
      if (off < best) {
        best = off;
        nearest = symbol;
      }
    }
  }
  return nearest.empty() ? std::string(1, upper[0]) : nearest;  // frcmod.vdWall's O of "mass" 2
}

TEST(ForceFieldTypes, EveryTypeOfAmberToolsNamesItsElement) {
  const std::filesystem::path table = std::filesystem::path(TARVEX_CORPUS) / "ff" / "force_field_types.tsv";
  if (!std::filesystem::exists(table)) GTEST_SKIP() << "corpus not found";
  std::ifstream in(table);
  std::string line;
  std::getline(in, line);  // heading
  std::set<std::string> types;
  int rows = 0;
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    for (size_t start = 0;;) {
      const size_t tab = line.find('\t', start);
      fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    ASSERT_GE(fields.size(), 4u) << line;
    const double mass = std::stod(fields[1]);
    const std::string expected = ExpectedElementOfRow(fields[0], mass, fields[2], fields[3]);
    // The topology reader gives the mass; the other readers do not, and the
    // usual meaning is then Amber's (C1 to C4 of the RNA model need theirs).
    EXPECT_EQ(Symbol(ForceFieldTypeElement(fields[0], {.mass = mass})), expected) << line;
    if (fields[3] != "toyrna.dat") {
      EXPECT_EQ(Symbol(ElementOfAtomType(fields[0], "")), expected) << line;
    }
    types.insert(fields[0]);
    ++rows;
  }
  EXPECT_EQ(types.size(), 325u);
  EXPECT_GE(rows, 390);
}

TEST(ForceFieldTypes, UpperCasedGaffTypesAreGaffTypes) {
  EXPECT_EQ(Symbol(ForceFieldTypeElement("CE")), "C");  // ce, not cerium
  EXPECT_EQ(Symbol(ForceFieldTypeElement("NF")), "N");
  EXPECT_EQ(Symbol(ForceFieldTypeElement("HN")), "H");
  EXPECT_EQ(Symbol(ForceFieldTypeElement("CU")), "CU");  // Amber's copper before GAFF's cu
  EXPECT_EQ(ForceFieldTypeElement("XYZW1"), -1);
}

TEST(ForceFieldTypes, IonsSymbolsAndNames) {
  EXPECT_EQ(Symbol(ElementOfAtomType("Na+", "")), "NA");
  EXPECT_EQ(Symbol(ElementOfAtomType("Cl-", "")), "CL");
  EXPECT_EQ(Symbol(ElementOfAtomType("Mg2+", "")), "MG");
  EXPECT_EQ(Symbol(ElementOfAtomType("Zn2+", "")), "ZN");
  EXPECT_EQ(Symbol(ElementOfAtomType("Ca", "CA")), "CA");  // SYBYL calcium
  EXPECT_EQ(Symbol(ElementOfAtomType("CA", "CA")), "C");   // Amber aromatic carbon
  EXPECT_EQ(Symbol(ElementOfAtomType("Zn", "")), "ZN");
  EXPECT_EQ(Symbol(ElementOfAtomType("Du", "")), "DU");
  EXPECT_EQ(Symbol(ElementOfAtomType(" ca ", "")), "C");
  // Types the table does not know leave the element to the name.
  EXPECT_EQ(Symbol(ElementOfAtomType("W1", "W1")), "W");
  EXPECT_EQ(Symbol(ElementOfAtomType("Any", "Cl1")), "CL");
  EXPECT_EQ(Symbol(ElementOfAtomType("Hal", "Br")), "BR");
  EXPECT_EQ(Symbol(ElementOfAtomType("NH4+", "N1")), "N");
  EXPECT_EQ(ElementOfAtomType("QQ", "123"), -1);
  EXPECT_EQ(ElementOfAtomType("", ""), -1);
}

TEST(ForceFieldTypes, ElementOfAtomName) {
  EXPECT_EQ(Symbol(ElementOfAtomName("1HB2")), "H");
  EXPECT_EQ(Symbol(ElementOfAtomName(" CA ")), "C");
  EXPECT_EQ(Symbol(ElementOfAtomName("Cl12")), "CL");
  EXPECT_EQ(Symbol(ElementOfAtomName("Na")), "NA");
  EXPECT_EQ(Symbol(ElementOfAtomName("MG")), "MG");
  EXPECT_EQ(Symbol(ElementOfAtomName("ZN1")), "ZN");
  EXPECT_EQ(Symbol(ElementOfAtomName("W1")), "W");
  EXPECT_EQ(ElementOfAtomName("EPW"), -1);
  EXPECT_EQ(ElementOfAtomName("****"), -1);
  EXPECT_EQ(ElementOfAtomName(""), -1);
}

// SYBYL's element types: H, C, Cl, Na.
bool SymbolSpelling(std::string_view type) {
  auto upper = [](char c) { return c >= 'A' && c <= 'Z'; };
  auto lower = [](char c) { return c >= 'a' && c <= 'z'; };
  return (type.size() == 1 && upper(type[0])) || (type.size() == 2 && upper(type[0]) && lower(type[1]));
}

// The type column of the corpus files: PREP atom lines (number, name, type,
// tree type, ...) and MOL2 atom lines whose type has no "." (the Amber and
// GAFF typed files). Every such type must be one of CorpusTypes, and give
// that element; types of neither kind (the CSD metal W1) go by the name.
TEST(ForceFieldTypes, CorpusPrepAndMol2Types) {
  const std::filesystem::path corpus(TARVEX_CORPUS);
  if (!std::filesystem::exists(corpus)) GTEST_SKIP() << "corpus not found";
  std::map<std::string, std::string> found;  // type -> a file that uses it
  auto note = [&](std::string_view type, std::string_view name, const std::string& file) {
    found.emplace(std::string(type), file);
    auto expected = CorpusTypes().find(std::string(type));
    if (expected == CorpusTypes().end()) return;
    EXPECT_EQ(Symbol(ElementOfAtomType(type, name)), expected->second) << type << " in " << file;
  };
  for (const auto& entry : std::filesystem::directory_iterator(corpus / "prep")) {
    std::ifstream in(entry.path());
    for (std::string line; std::getline(in, line);) {
      std::vector<std::string_view> w = SplitWhite(line);
      if (w.size() >= 8 && IsMadeOf(w[0], "") && w[3].size() == 1 &&
          std::string_view("MSBE3").find(w[3]) != std::string_view::npos) {
        note(w[2], w[1], entry.path().filename().string());
      }
    }
  }
  for (const auto& entry : std::filesystem::directory_iterator(corpus / "mol2")) {
    std::ifstream in(entry.path());
    bool atoms = false;
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("@<TRIPOS>", 0) == 0) atoms = line.rfind("@<TRIPOS>ATOM", 0) == 0;
      std::vector<std::string_view> w = SplitWhite(line);
      if (atoms && w.size() >= 6 && w[5].find('.') == std::string_view::npos && !SymbolSpelling(w[5])) {
        note(w[5], w[1], entry.path().filename().string());
      }
    }
  }
  for (const auto& [type, file] : found) {
    if (type == "W1") continue;  // ABAKOE.mol2: a tungsten typed by its name
    EXPECT_TRUE(CorpusTypes().count(type)) << "type " << type << " of " << file << " is not in the list";
  }
  EXPECT_GE(found.size(), 60u);
}

}  // namespace
}  // namespace tarvex
