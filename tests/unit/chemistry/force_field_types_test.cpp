#include "chemistry/force_field_types.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

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
  std::set<std::string_view> seen;
  for (const ForceFieldType& entry : ForceFieldTypes()) {
    EXPECT_TRUE(seen.insert(entry.type).second) << entry.type;
    ASSERT_GE(entry.element, 0) << entry.type;
    ASSERT_LT(entry.element, kElementCount) << entry.type;
    EXPECT_EQ(ForceFieldTypeElement(entry.type), entry.element) << entry.type;
  }
  EXPECT_EQ(Symbol(ForceFieldTypeElement("C0")), "CA");  // calcium ion
  EXPECT_EQ(Symbol(ForceFieldTypeElement("MG")), "MG");
  EXPECT_EQ(Symbol(ForceFieldTypeElement("cl")), "CL");
  EXPECT_EQ(Symbol(ForceFieldTypeElement("br")), "BR");
  EXPECT_EQ(Symbol(ForceFieldTypeElement("n4")), "N");
  EXPECT_EQ(Symbol(ForceFieldTypeElement("EP")), "LP");
  EXPECT_EQ(ForceFieldTypeElement("Ca"), -1);  // a symbol, not a type
  EXPECT_EQ(ForceFieldTypeElement("ca "), -1);
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
