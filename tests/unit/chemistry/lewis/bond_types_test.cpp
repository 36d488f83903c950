// Bond orders, MOL2 types and formal charges of whole records: the
// development-set sample (every functional-group class), hand-built
// molecules for the rules, the corpus MOL2 files with curated SYBYL types,
// and inputs that could make a search run away.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "../../formats/pdb_test_files.h"
#include "../../support/scratch_dir.h"
#include "../chem_test_support.h"
#include "chemistry/lewis/bond_order_search.h"
#include "common/console.h"
#include "common/text.h"
#include "formats/mol2_file.h"
#include "formats/pdb_file.h"

namespace tarvex {
namespace {

using chem_test::Build;
using chem_test::NetCharge;
using chem_test::Perceive;
using testing::ScratchDir;
using testing_files::CorpusPresent;

// The sample of the development set: per-atom formal charges against
// RDKit's for every class (carboxylates, nitro, phosphates, sulfonates,
// guanidinium, amidinium, ammonium, pyridinium, imidazolium, N-oxides,
// azides, thiolates, phenolates, enolates, zwitterions, drugs, structures
// without hydrogens, metal complexes and porphyrins, tetrazolides,
// bipyridinium ions and dithiolates).
TEST(BondTypes, DevelopmentSetSample) {
  const std::string dir = std::string(TARVEX_TEST_DATA) + "/chem/";
  std::ifstream table(dir + "devset_sample.csv");
  ASSERT_TRUE(table.good());
  std::string line;
  std::getline(table, line);
  int molecules = 0, right_nets = 0, atoms = 0, right_atoms = 0;
  while (std::getline(table, line)) {
    std::vector<std::string> fields;
    std::stringstream split(line);
    for (std::string field; std::getline(split, field, ',');) fields.push_back(field);
    ASSERT_EQ(fields.size(), 5u) << line;
    ConsoleCapture quiet;  // molecules without hydrogens warn
    auto record = Perceive(dir + fields[0]);
    std::vector<int> truth;
    std::stringstream charges(fields[4]);
    for (int q; charges >> q;) truth.push_back(q);
    ++molecules;
    if (NetCharge(*record) == std::stoi(fields[3]))
      ++right_nets;
    else
      ADD_FAILURE() << fields[0] << " " << fields[2] << " net " << NetCharge(*record);
    ASSERT_EQ(record->GetFormalCharges().size(), truth.size()) << fields[0];
    for (size_t k = 0; k < truth.size(); ++k) {
      ++atoms;
      right_atoms += record->GetFormalCharges()[k] == truth[k] ? 1 : 0;
    }
  }
  EXPECT_EQ(molecules, 105);
  EXPECT_EQ(right_nets, molecules);
  // Resonance-equivalent placements (which oxygen of an acetylacetonate, which
  // nitrogen of an imidazolium) follow no convention, so not every atom.
  EXPECT_GE(right_atoms * 1000, atoms * 995) << right_atoms << "/" << atoms;
}

// Acetate with explicit hydrogens: the C-O bonds become one double and one
// single bond with O-, both typed O.co2 with "ar" bonds; the methyl is C.3.
TEST(BondTypes, CarboxylateTypesAndCharge) {
  //              0    1    2    3    4    5    6
  auto record = Build({"C", "C", "O", "O", "H", "H", "H"}, {{0, 1}, {1, 2}, {1, 3}, {0, 4}, {0, 5}, {0, 6}});
  record->PerceiveBondTypes();
  EXPECT_EQ(NetCharge(*record), -1);
  EXPECT_EQ(record->GetFormalCharge(3), -1);  // the later oxygen
  EXPECT_EQ(record->GetMol2AtomType(0), "3");
  EXPECT_EQ(record->GetMol2AtomType(1), "2");
  EXPECT_EQ(record->GetMol2AtomType(2), "co2");
  EXPECT_EQ(record->GetMol2BondType(1, 2), "ar");
  EXPECT_EQ(record->GetMol2BondType(3, 1), "ar");
  EXPECT_EQ(record->GetMol2BondType(0, 1), "1");
  EXPECT_EQ(record->GetBondOrder(1, 2) + record->GetBondOrder(1, 3), 3);
  EXPECT_TRUE(record->TypesAssigned());
}

// Nitromethane: the group rule settles N(+)(=O)O(-) before the search.
TEST(BondTypes, NitroGroup) {
  auto record = Build({"C", "N", "O", "O", "H", "H", "H"}, {{0, 1}, {1, 2}, {1, 3}, {0, 4}, {0, 5}, {0, 6}});
  record->PerceiveBondTypes();
  EXPECT_EQ(record->GetFormalCharge(1), 1);
  EXPECT_EQ(record->GetFormalCharge(2), 0);
  EXPECT_EQ(record->GetFormalCharge(3), -1);
  EXPECT_EQ(record->GetBondOrder(1, 2), 2);
  EXPECT_EQ(record->GetMol2AtomType(1), "pl3");
  EXPECT_EQ(record->GetMol2AtomType(2), "2");
  EXPECT_EQ(record->GetMol2AtomType(3), "2");
}

// Guanidinium: C(NH2)3+; the central carbon is C.cat with "ar" bonds, the
// charge on one nitrogen; urea is neutral and its carbon C.2.
TEST(BondTypes, GuanidiniumAndUrea) {
  std::vector<std::string> types{"C", "N", "N", "N", "H", "H", "H", "H", "H", "H"};
  std::vector<std::pair<int, int>> bonds{{0, 1}, {0, 2}, {0, 3}, {1, 4}, {1, 5}, {2, 6}, {2, 7}, {3, 8}, {3, 9}};
  auto guanidinium = Build(types, bonds);
  guanidinium->PerceiveBondTypes();
  EXPECT_EQ(NetCharge(*guanidinium), 1);
  EXPECT_EQ(guanidinium->GetMol2AtomType(0), "cat");
  EXPECT_EQ(guanidinium->GetMol2BondType(0, 1), "ar");
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(guanidinium->GetMol2AtomType(n), "pl3");

  auto urea = Build({"C", "O", "N", "N", "H", "H", "H", "H"}, {{0, 1}, {0, 2}, {0, 3}, {2, 4}, {2, 5}, {3, 6}, {3, 7}});
  urea->PerceiveBondTypes();
  EXPECT_EQ(NetCharge(*urea), 0);
  EXPECT_EQ(urea->GetMol2AtomType(0), "2");
  EXPECT_EQ(urea->GetBondOrder(0, 1), 2);
  EXPECT_EQ(urea->GetMol2AtomType(2), "am");
  EXPECT_EQ(urea->GetMol2BondType(0, 2), "am");
}

// Pyridinium (ring N with H) and pyridine: aromatic ring, N.ar, charge on N.
TEST(BondTypes, PyridiniumRing) {
  std::vector<std::string> types{"N", "C", "C", "C", "C", "C", "H", "H", "H", "H", "H", "H"};
  std::vector<std::pair<int, int>> bonds{{0, 1}, {1, 2}, {2, 3}, {3, 4},  {4, 5}, {5, 0},
                                         {1, 7}, {2, 8}, {3, 9}, {4, 10}, {5, 11}};
  auto pyridine = Build(types, bonds);
  pyridine->PerceiveBondTypes();
  EXPECT_EQ(NetCharge(*pyridine), 0);
  bonds.emplace_back(0, 6);
  auto pyridinium = Build(types, bonds);
  pyridinium->PerceiveBondTypes();
  EXPECT_EQ(pyridinium->GetFormalCharge(0), 1);
  for (int a = 0; a < 6; ++a) EXPECT_EQ(pyridinium->GetMol2AtomType(a), "ar") << a;
  EXPECT_EQ(pyridinium->GetMol2BondType(2, 3), "ar");
  EXPECT_EQ(pyridinium->GetMol2BondType(1, 7), "1");
}

// Monatomic ions take the registry's ion charge, bonds or no bonds in the
// record; a lone oxygen (a crystal water without hydrogens) stays neutral.
TEST(BondTypes, IonsAndLoneAtoms) {
  auto ions = Build({"NA", "CL", "MG", "ZN", "O", "DU"}, {});
  ions->PerceiveBondTypes();
  EXPECT_EQ(ions->GetFormalCharges(), (std::vector<int>{1, -1, 2, 2, 0, 0}));
  // A zinc bound to four thiolate sulfurs: coordination bonds; [Zn(SMe)4]2-.
  std::vector<std::string> types{"ZN"};
  std::vector<std::pair<int, int>> bonds;
  for (int k = 0; k < 4; ++k) {
    const int s = static_cast<int>(types.size());
    types.insert(types.end(), {"S", "C", "H", "H", "H"});
    bonds.insert(bonds.end(), {{0, s}, {s, s + 1}, {s + 1, s + 2}, {s + 1, s + 3}, {s + 1, s + 4}});
  }
  auto zinc = Build(types, bonds);
  zinc->PerceiveBondTypes();
  EXPECT_EQ(zinc->GetFormalCharge(0), 2);
  EXPECT_EQ(zinc->GetFormalCharge(1), -1);
  EXPECT_EQ(NetCharge(*zinc), -2);
  EXPECT_EQ(zinc->GetBondOrder(0, 1), 1);
}

// A carbon with five neighbours cannot be ordered under any switch: the
// warning names the input, and the fallback still orders every bond.
TEST(BondTypes, ImpossibleValenceWarnsAndFallsBack) {
  std::vector<std::string> types{"C", "H", "H", "H", "H", "H", "C", "O", "O", "H", "H", "H"};
  std::vector<std::pair<int, int>> bonds{{0, 1}, {0, 2}, {0, 3}, {0, 4},  {0, 5},
                                         {6, 7}, {6, 8}, {6, 9}, {9, 10}, {9, 11}};
  auto record = Build(types, bonds);
  record->OpenOutput("dir/out.mol2", false);
  ConsoleCapture capture;
  record->PerceiveBondTypes();
  EXPECT_EQ(capture.Err(), "Warning: incorrect bond information: dir/out.mol2\n");
  EXPECT_EQ(record->GetBondOrder(0, 1), 1);
  // The formate-like second molecule still gets its orders and charge
  // despite the broken first one.
  EXPECT_EQ(record->GetBondOrder(6, 7) + record->GetBondOrder(6, 8), 3);
  EXPECT_EQ(NetCharge(*record), -1);
}

TEST(BondTypes, UntypedWithoutIndexOrTypes) {
  CMol2File record;
  record.SetNumberOfAtoms(2);
  record.SetAtomType({"C", "C"});
  record.PerceiveBondTypes();
  EXPECT_FALSE(record.TypesAssigned());
  EXPECT_EQ(record.GetMol2AtomType(0), "");
  EXPECT_EQ(record.GetMol2BondType(0, 1), "");
}

// The passes are cumulative and each molecule is solved once per pass: the
// level only admits its charges. A molecule with two carboxylates fails at
// level 1 and succeeds at level 2.
TEST(BondTypes, LevelsBoundTheChosenCharges) {
  // Oxalate: O2C-CO2 with two charges to place.
  auto record = Build({"C", "C", "O", "O", "O", "O"}, {{0, 1}, {0, 2}, {0, 3}, {1, 4}, {1, 5}});
  record->PerceiveBondTypes();
  ASSERT_EQ(NetCharge(*record), -2);
  BondSearchState& state = SearchState();
  state.switches = 0x3;
  record->ResetAtomLinks();
  EXPECT_FALSE(record->SearchBondOrders(0, 1));
  EXPECT_EQ(record->NextUnassignedAtom(), 0);
  EXPECT_TRUE(record->SearchBondOrders(0, 2));
  EXPECT_EQ(record->NextUnassignedAtom(), -1);
  EXPECT_EQ(state.depth, 0);
  state.switches = 0;
}

// Rules of the hydrogen-free path: a crystal-structure peptide fragment
// without hydrogens gets no charges, one warning, and its C=O bonds.
TEST(BondTypes, MissingHydrogensAreImplied) {
  // N-methylacetamide heavy atoms: C0-C1(=O2)-N3-C4 with real geometry.
  Frame points{{0.0, 0.0, 0.0}, {1.51, 0.0, 0.0}, {2.12, 1.06, 0.0}, {2.13, -1.17, 0.0}, {3.58, -1.28, 0.0}};
  auto record = Build({"C", "C", "O", "N", "C"}, {{0, 1}, {1, 2}, {1, 3}, {3, 4}}, points);
  ConsoleCapture capture;
  record->PerceiveBondTypes();
  EXPECT_EQ(capture.Err(), "Warning: hydrogen atoms missing; valences completed with implicit hydrogens.\n");
  EXPECT_EQ(record->GetFormalCharges(), (std::vector<int>(5, 0)));
  EXPECT_EQ(record->GetBondOrder(1, 2), 2);
  EXPECT_EQ(record->GetBondOrder(1, 3), 1);
  EXPECT_EQ(record->GetMol2AtomType(3), "am");
  EXPECT_EQ(record->GetMol2AtomType(0), "3");
}

// GOLD spells sulfone sulfur "o2" and types the sulfonamide N as an amide.
// Typing rows of a parameter file: "1*" items hold for a neighbour of any
// element with one neighbour, and a row nested beyond reason is skipped with
// a warning naming the file and line.
TEST(BondTypes, ParameterFileTypingRows) {
  testing::ScratchDir dir;
  std::string deep;
  for (int k = 0; k < 40; ++k) deep += "(1C";
  deep += std::string(40, ')');
  const std::string parm =
      dir.Write("parm.dat", "* * 1.7\n\nSi deep " + deep + "\nSi end (4Si(1*,1*,1*,*))\nSi mid (4Si)\n");
  testing::UseParameterFile(parm);
  ConsoleCapture capture;
  //                   0     1     2    3    4    5    6    7
  auto disilane =
      Build({"SI", "SI", "H", "H", "H", "H", "H", "H"}, {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 5}, {1, 6}, {1, 7}});
  disilane->PerceiveBondTypes();
  EXPECT_EQ(capture.Err(), "Warning: typing pattern nested deeper than 32 levels skipped: " + parm + ", line 3\n");
  EXPECT_EQ(disilane->GetMol2AtomType(0), "end");
  EXPECT_EQ(disilane->GetMol2AtomType(1), "end");
  auto trisilane = Build({"SI", "SI", "SI", "H", "H", "H", "H", "H", "H", "H", "H"},
                         {{0, 1}, {1, 2}, {0, 3}, {0, 4}, {0, 5}, {1, 6}, {1, 7}, {2, 8}, {2, 9}, {2, 10}});
  trisilane->PerceiveBondTypes();
  EXPECT_EQ(trisilane->GetMol2AtomType(0), "end");
  EXPECT_EQ(trisilane->GetMol2AtomType(1), "mid");
  testing::UseParameterFile("");
}

TEST(BondTypes, GoldVariant) {
  // CH3-SO2-NH2
  std::vector<std::string> types{"C", "S", "O", "O", "N", "H", "H", "H", "H", "H"};
  std::vector<std::pair<int, int>> bonds{{0, 1}, {1, 2}, {1, 3}, {1, 4}, {0, 5}, {0, 6}, {0, 7}, {4, 8}, {4, 9}};
  auto plain = Build(types, bonds);
  plain->PerceiveBondTypes();
  EXPECT_EQ(plain->GetMol2AtomType(1), "O2");
  EXPECT_EQ(plain->GetBondOrder(1, 2), 2);
  EXPECT_EQ(plain->GetBondOrder(1, 3), 2);
  EXPECT_EQ(NetCharge(*plain), 0);
  auto gold = Build(types, bonds);
  gold->SetFileFlag(kFileGold);
  gold->PerceiveBondTypes();
  EXPECT_EQ(gold->GetMol2AtomType(1), "o2");
  EXPECT_EQ(gold->GetMol2AtomType(4), "am");
  EXPECT_EQ(gold->GetMol2BondType(1, 4), "am");
  EXPECT_EQ(gold->GetMol2AtomType(2), "2");
}

// Rings and sheets that an exponential search would never finish: a
// fullerene cage and a graphite sheet of 2,000 carbons get a Kekule
// structure (every carbon one double bond) in near-linear time.
TEST(BondTypes, FullereneAndGraphite) {
  const double phi = (1 + std::sqrt(5.0)) / 2;
  Frame cage;
  auto add_even_permutations = [&](double x, double y, double z) {
    for (Point p : {Point{x, y, z}, Point{y, z, x}, Point{z, x, y}}) {
      for (int signs = 0; signs < 8; ++signs) {
        Point q{p[0] * ((signs & 1) ? -1 : 1), p[1] * ((signs & 2) ? -1 : 1), p[2] * ((signs & 4) ? -1 : 1)};
        bool seen = false;
        for (const Point& r : cage) seen = seen || (r == q);
        if (!seen) cage.push_back(q);
      }
    }
  };
  add_even_permutations(0, 1, 3 * phi);
  add_even_permutations(1, 2 + phi, 2 * phi);
  add_even_permutations(phi, 2, 2 * phi + 1);
  ASSERT_EQ(cage.size(), 60u);
  for (Point& p : cage) p = {p[0] * 0.7, p[1] * 0.7, p[2] * 0.7};  // edges of 1.40 A
  auto c60 = Build(std::vector<std::string>(60, "C"), {}, cage);
  c60->CreateConnection();
  ConsoleCapture quiet;
  c60->PerceiveBondTypes();
  EXPECT_EQ(quiet.Err(), "");
  for (int a = 0; a < 60; ++a) {
    int doubles = 0;
    for (int b : *c60->GetConnection().find(a)) doubles += c60->GetBondOrder(a, b) == 2 ? 1 : 0;
    ASSERT_EQ(doubles, 1) << a;
  }
  EXPECT_EQ(NetCharge(*c60), 0);

  Frame sheet;
  const double d = 1.42;
  for (int i = 0; i < 32; ++i) {
    for (int j = 0; j < 32; ++j) {
      const double x = i * std::sqrt(3.0) * d + j * std::sqrt(3.0) * d / 2;
      const double y = j * 1.5 * d;
      sheet.push_back({x, y, 0.0});
      sheet.push_back({x, y + d, 0.0});
    }
  }
  auto graphite = Build(std::vector<std::string>(sheet.size(), "C"), {}, sheet);
  graphite->CreateConnection();
  graphite->PerceiveBondTypes();
  EXPECT_EQ(NetCharge(*graphite), 0);
  EXPECT_EQ(graphite->GetMol2AtomType(1000), "ar");
}

// The corpus files with curated SYBYL types: typed again from their
// elements and bonds, nearly every atom agrees (SYBYL's protein dictionary
// types histidine rings as non-aromatic, which is where most of the rest is).
TEST(BondTypes, CorpusSybylTypes) {
  if (!CorpusPresent()) GTEST_SKIP() << "corpus not found";
  int atoms = 0;
  int agree = 0;
  for (const char* name : {"mol24.mol2", "c4.mol2", "ala2.mol2", "5sun_protein.mol2", "nocharge.mol2"}) {
    CMol2File file(std::string(TARVEX_CORPUS) + "/mol2/" + name);
    file.Read(0);
    const std::vector<std::string> curated = file.Mol2TypeSuffixes();
    file.PerceiveBondTypes();
    for (int a = 0; a < file.GetNumberOfAtoms(); ++a) {
      ++atoms;
      agree += ToUpper(curated[a]) == ToUpper(file.GetMol2AtomType(a)) ? 1 : 0;
    }
  }
  EXPECT_GT(atoms, 6000);
  EXPECT_GE(agree * 100, atoms * 97) << agree << "/" << atoms;
}

// Real structures of the corpus: the four cystine sulfurs of 1b2t are bonded
// in pairs, however far apart their residues are, and no sulfur is charged; the net
// charge counts the arginines, lysines, doubly protonated histidines, the
// acids and both termini. tz2 keeps its +2 when its hydrogens are listed
// after all its heavy atoms, each with its residue name and number.
TEST(BondTypes, CorpusProteinsBondByDistance) {
  if (!CorpusPresent()) GTEST_SKIP() << "corpus not found";
  const std::string pdb = std::string(TARVEX_CORPUS) + "/pdb/";
  auto fractalkine = Perceive(pdb + "1b2t.pdb");
  const std::vector<std::string>& types = fractalkine->GetAtomType();
  auto is_sulfur = [&](int b) { return types[b] == "S"; };
  int bridged = 0;
  for (int a = 0; a < fractalkine->GetNumberOfAtoms(); ++a) {
    if (!is_sulfur(a)) continue;
    EXPECT_EQ(fractalkine->GetFormalCharge(a), 0) << "atom " << a + 1;
    const BondMap::List* partners = fractalkine->GetConnection().find(a);
    ASSERT_NE(partners, nullptr);
    bridged += std::count_if(partners->begin(), partners->end(), is_sulfur) == 1 ? 1 : 0;
  }
  EXPECT_EQ(bridged, 4);
  EXPECT_EQ(NetCharge(*fractalkine), 11);

  std::ifstream in(pdb + "tz2.pdb");
  std::string line, heavy, hydrogens;
  while (std::getline(in, line)) {
    if (line.rfind("ATOM", 0) != 0) continue;
    (line.size() >= 78 && line.substr(76, 2) == " H" ? hydrogens : heavy) += line + "\n";
  }
  ASSERT_FALSE(hydrogens.empty());
  ScratchDir dir;
  const std::string moved = dir.Write("tz2_hydrogens_last.pdb", heavy + hydrogens + "END\n");
  ConsoleCapture capture;
  EXPECT_EQ(NetCharge(*Perceive(moved)), 2);
  EXPECT_EQ(capture.Err(), "");
}

}  // namespace
}  // namespace tarvex
