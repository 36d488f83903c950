// Choices between Lewis structures with the same atoms: small ions and
// diatomic molecules, the bond lengths that decide between a neutral and a
// charged structure, and the macrocycles around metals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../chem_test_support.h"
#include "common/console.h"

namespace tarvex {
namespace {

using chem_test::Build;
using chem_test::NetCharge;
using chem_test::Perceive;

// Atoms on the x axis at the given positions, bonded in a chain.
std::unique_ptr<CMol2File> Linear(const std::vector<std::string>& types, const std::vector<double>& x) {
  Frame points;
  std::vector<std::pair<int, int>> bonds;
  for (size_t k = 0; k < x.size(); ++k) {
    points.push_back({x[k], 0.0, 0.0});
    if (k > 0) bonds.emplace_back(static_cast<int>(k) - 1, static_cast<int>(k));
  }
  auto record = Build(types, bonds, points);
  record->PerceiveBondTypes();
  return record;
}

// A diatomic molecule of second-period atoms takes its order from its
// length and keeps octets: carbon monoxide is C- and O+ with a triple bond,
// cyanide C-, the nitrosonium ion O+, N2 neutral. The linear triatomic ions
// carry their usual charges: azide, thiocyanate and cyanate on the S or O,
// triiodide on the middle iodine.
TEST(LewisChoices, SmallIonsAndDiatomics) {
  auto co = Linear({"C", "O"}, {0.0, 1.128});
  EXPECT_EQ(co->GetFormalCharges(), (std::vector<int>{-1, 1}));
  EXPECT_EQ(co->GetBondOrder(0, 1), 3);
  EXPECT_EQ(Linear({"C", "N"}, {0.0, 1.16})->GetFormalCharges(), (std::vector<int>{-1, 0}));
  EXPECT_EQ(Linear({"N", "O"}, {0.0, 1.06})->GetFormalCharges(), (std::vector<int>{0, 1}));
  EXPECT_EQ(Linear({"N", "N"}, {0.0, 1.10})->GetFormalCharges(), (std::vector<int>{0, 0}));
  EXPECT_EQ(Linear({"O", "O"}, {0.0, 1.49})->GetFormalCharges(), (std::vector<int>{-1, -1}));  // peroxide
  // Two water oxygens 1.0 angstrom apart (as in a CHARMM-GUI file of the
  // corpus) are no O2 2+: the general rules keep them neutral.
  EXPECT_EQ(Linear({"O", "O"}, {0.0, 1.0})->GetFormalCharges(), (std::vector<int>{0, 0}));
  EXPECT_EQ(Linear({"N", "N", "N"}, {0.0, 1.17, 2.34})->GetFormalCharges(), (std::vector<int>{-1, 1, -1}));
  EXPECT_EQ(Linear({"S", "C", "N"}, {0.0, 1.65, 2.82})->GetFormalCharges(), (std::vector<int>{-1, 0, 0}));
  EXPECT_EQ(Linear({"O", "C", "N"}, {0.0, 1.22, 2.41})->GetFormalCharges(), (std::vector<int>{-1, 0, 0}));
  EXPECT_EQ(Linear({"I", "I", "I"}, {0.0, 2.92, 5.84})->GetFormalCharges(), (std::vector<int>{0, -1, 0}));
  // Without a length the general rules give carbon monoxide the same charges.
  auto unmeasured = Build({"C", "O"}, {{0, 1}});
  unmeasured->PerceiveBondTypes();
  EXPECT_EQ(unmeasured->GetFormalCharges(), (std::vector<int>{-1, 1}));
  // A length no octet structure has is left to the general rules: a C-N
  // single bond alone is methylamine without its hydrogens.
  ConsoleCapture capture;
  EXPECT_EQ(NetCharge(*Linear({"C", "N"}, {0.0, 1.47})), 0);
  EXPECT_EQ(capture.Err(), "Warning: hydrogen atoms missing; valences completed with implicit hydrogens.\n");
  // Nor has a C-O at double-bond length: a serine CB-OG of an old crystal
  // structure, cut off from its CA, is formaldehyde without its hydrogens,
  // not carbon monoxide.
  ConsoleCapture serine;
  EXPECT_EQ(Linear({"C", "O"}, {0.0, 1.28})->GetFormalCharges(), (std::vector<int>{0, 0}));
  EXPECT_EQ(serine.Err(), "Warning: hydrogen atoms missing; valences completed with implicit hydrogens.\n");
}

// Dimethyliodonium: an iodine between two carbons is a halonium cation.
TEST(LewisChoices, HaloniumBetweenCarbons) {
  std::vector<std::string> types{"C", "I", "C", "H", "H", "H", "H", "H", "H"};
  auto record = Build(types, {{0, 1}, {1, 2}, {0, 3}, {0, 4}, {0, 5}, {2, 6}, {2, 7}, {2, 8}});
  record->PerceiveBondTypes();
  EXPECT_EQ(record->GetFormalCharge(1), 1);
  EXPECT_EQ(NetCharge(*record), 1);
}

std::string DevFile(const std::string& name) { return std::string(TARVEX_TEST_DATA) + "/chem/" + name; }

// Where the least-charged structure contradicts the bond lengths, the
// lengths win: paraquat is the dication, not the quinoid 4,4'-bipyridylidene
// (its ring-ring bond is 1.48 angstrom); an ene-dithiolate is not a dithione
// (its C=C is 1.35); the enolate's charge sits on the oxygen of the longer
// C-O, beside the C=C. Read without coordinates, the same atoms and bonds
// give the neutral structures.
TEST(LewisChoices, BondLengthsChooseTheStructure) {
  EXPECT_EQ(NetCharge(*Perceive(DevFile("dev_803.pdb"))), 2);   // paraquat
  EXPECT_EQ(NetCharge(*Perceive(DevFile("dev_804.pdb"))), 2);   // diquat
  EXPECT_EQ(NetCharge(*Perceive(DevFile("dev_808.pdb"))), 0);   // 4,4'-bipyridine
  EXPECT_EQ(NetCharge(*Perceive(DevFile("dev_810.pdb"))), -2);  // ethene-1,2-dithiolate
  EXPECT_EQ(NetCharge(*Perceive(DevFile("dev_812.pdb"))), -2);  // benzene-1,2-dithiolate
  EXPECT_EQ(NetCharge(*Perceive(DevFile("dev_818.pdb"))), 0);   // its dithiol
  auto enolate = Perceive(DevFile("dev_381.pdb"));              // CC([O-])=CC(=O)c1ccccc1
  EXPECT_EQ(enolate->GetFormalCharge(2), -1);
  EXPECT_EQ(enolate->GetFormalCharge(5), 0);

  auto paraquat = Perceive(DevFile("dev_803.pdb"));
  paraquat->SetCartesian(Frame(paraquat->GetCartesian().size(), Point{0.0, 0.0, 0.0}));
  paraquat->PerceiveBondTypes();
  EXPECT_EQ(NetCharge(*paraquat), 0);
}

// A tetrazolide beside an NH is the anion, not a neutral ring with an
// iminium N+ outside it; the tetrazole with its NH stays neutral.
TEST(LewisChoices, TetrazolideBesideAnNH) {
  EXPECT_EQ(NetCharge(*Perceive(DevFile("dev_793.pdb"))), -1);  // 5-aminotetrazolide
  EXPECT_EQ(NetCharge(*Perceive(DevFile("dev_795.pdb"))), -1);  // 5-anilinotetrazolide
  EXPECT_EQ(NetCharge(*Perceive(DevFile("dev_801.pdb"))), 0);   // 5-aminotetrazole
}

int ChargedNitrogens(CDataFile& record, int charge) {
  int count = 0;
  for (int a = 0; a < record.GetNumberOfAtoms(); ++a) {
    if (record.GetAtomType()[a] == "N" && record.GetFormalCharge(a) == charge) ++count;
  }
  return count;
}

// The pyrrole nitrogens facing a metal carry the macrocycle's two negative
// charges, so a Zn(II) or Fe(II) porphyrin is neutral before its side
// chains, and haem b with its propionates -2; so are a chlorin and a
// phthalocyanine. Without a metal the porphyrin keeps its NH and is
// neutral, and imidazoles bound to zinc stay neutral.
TEST(LewisChoices, MacrocyclesAroundMetals) {
  auto zinc_porphine = Perceive(DevFile("dev_819.pdb"));
  EXPECT_EQ(NetCharge(*zinc_porphine), 0);
  EXPECT_EQ(ChargedNitrogens(*zinc_porphine, -1), 2);
  EXPECT_EQ(NetCharge(*Perceive(DevFile("dev_821.pdb"))), -2);  // haem b
  EXPECT_EQ(NetCharge(*Perceive(DevFile("dev_823.pdb"))), 0);   // zinc chlorin
  EXPECT_EQ(NetCharge(*Perceive(DevFile("dev_824.pdb"))), 0);   // copper phthalocyanine
  EXPECT_EQ(NetCharge(*Perceive(DevFile("dev_792.pdb"))), 0);   // free-base porphine
  auto imidazoles = Perceive(DevFile("dev_778.pdb"));
  EXPECT_EQ(NetCharge(*imidazoles), 2);
  EXPECT_EQ(ChargedNitrogens(*imidazoles, -1), 0);
}

}  // namespace
}  // namespace tarvex
