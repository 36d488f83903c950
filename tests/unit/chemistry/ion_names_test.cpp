#include "chemistry/ion_names.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "chem_test_support.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

// Trailing charges in residue and atom names, as Amber, CHARMM and other
// tools write them; the Chemical Component Dictionary's ion identifiers
// for residue names only; nothing where the name names another element.
TEST(IonNames, NamesThatStateACharge) {
  EXPECT_EQ(ChargeOfIonName("V2+", "V", true), 2);
  EXPECT_EQ(ChargeOfIonName("Na+", "NA", false), 1);
  EXPECT_EQ(ChargeOfIonName("CL-", "CL", false), -1);
  EXPECT_EQ(ChargeOfIonName("Zn2+", "ZN", true), 2);
  EXPECT_EQ(ChargeOfIonName("MG+2", "MG", false), 2);
  EXPECT_EQ(ChargeOfIonName(" FE3+", "FE", false), 3);
  EXPECT_EQ(ChargeOfIonName("FE2", "FE", true), 2);
  EXPECT_EQ(ChargeOfIonName("FE", "FE", true), 3);
  EXPECT_EQ(ChargeOfIonName("CU1", "CU", true), 1);
  EXPECT_EQ(ChargeOfIonName("CU", "CU", true), 2);
  EXPECT_EQ(ChargeOfIonName("MN3", "MN", true), 3);
  EXPECT_EQ(ChargeOfIonName("3CO", "CO", true), 3);
  EXPECT_EQ(ChargeOfIonName("IOD", "I", true), -1);
  EXPECT_EQ(ChargeOfIonName("YB2", "YB", true), 2);
  // An atom numbered FE1 in a haem, a residue CO3 (carbonate) around a
  // cobalt, identifiers as atom names, charges of another element.
  EXPECT_EQ(ChargeOfIonName("FE1", "FE", false), kNoNamedCharge);
  EXPECT_EQ(ChargeOfIonName("FE2", "FE", false), kNoNamedCharge);
  EXPECT_EQ(ChargeOfIonName("CO3", "CO", true), kNoNamedCharge);
  EXPECT_EQ(ChargeOfIonName("FE2", "ZN", true), kNoNamedCharge);
  EXPECT_EQ(ChargeOfIonName("Na+", "N", false), kNoNamedCharge);
  EXPECT_EQ(ChargeOfIonName("V12+", "V", false), kNoNamedCharge);
  EXPECT_EQ(ChargeOfIonName("HEM", "FE", true), kNoNamedCharge);
}

// The table: sorted identifiers of elements of the symbol table.
TEST(IonNames, ComponentTable) {
  const auto components = IonComponents();
  EXPECT_TRUE(std::is_sorted(components.begin(), components.end(),
                             [](const IonComponent& a, const IonComponent& b) { return a.id < b.id; }));
  for (const IonComponent& c : components) {
    EXPECT_GT(ElementIndex(c.element), 0) << c.id;
    EXPECT_NE(c.charge, 0) << c.id;
  }
}

// Per atom, only where a name states a charge; empty for a file of organic
// atoms and waters.
TEST(IonNames, PerAtom) {
  EXPECT_TRUE(NamedIonCharges({"O", "H", "H", "C"}, {"O", "H1", "H2", "C"}, {"WAT", "WAT", "WAT", "LIG"}).empty());
  const std::vector<int> charges =
      NamedIonCharges({"FE", "FE", "V", "CL", "O"}, {"FE", "FE1", "V2+", "Cl-", "O"}, {"FE2", "HEM", "V", "CL", "HOH"});
  EXPECT_EQ(charges, (std::vector<int>{2, kNoNamedCharge, 2, -1, kNoNamedCharge}));
}

// Through the chemistry: a lone ion takes the charge its name states; a
// metal in a complex does too.
TEST(IonNames, ChargesOfLoneIons) {
  auto record = chem_test::Build({"V", "FE", "FE", "CU", "MN"}, {});
  record->SetAtomName({"V2+", "FE", "FE", "CU", "MN"});
  record->SetResidueName({"V2+", "FE2", "FE", "CU1", "MN3"});
  record->PerceiveBondTypes();
  EXPECT_EQ(record->GetFormalCharges(), (std::vector<int>{2, 2, 3, 1, 3}));
}

}  // namespace
}  // namespace tarvex
