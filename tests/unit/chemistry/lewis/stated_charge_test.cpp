// The charge and multiplicity a file states, met by moving electrons in the
// structure the search found (stated_charge.h).
#include "chemistry/lewis/stated_charge.h"

#include <gtest/gtest.h>

#include "../chem_test_support.h"
#include "common/console.h"

namespace tarvex {
namespace {

using chem_test::Build;
using chem_test::NetCharge;

std::unique_ptr<CMol2File> PerceiveStated(const std::vector<std::string>& types,
                                          const std::vector<std::pair<int, int>>& bonds,
                                          std::optional<ChargeAndMultiplicity> stated) {
  auto record = Build(types, bonds);
  record->SetStatedChargeAndMultiplicity(stated);
  record->PerceiveBondTypes();
  return record;
}

const std::vector<std::string> kEthyl = {"C", "C", "H", "H", "H", "H", "H"};
const std::vector<std::pair<int, int>> kEthylBonds = {{0, 1}, {0, 2}, {0, 3}, {1, 4}, {1, 5}, {1, 6}};

// A carbon one bond short: a carbenium ion unless the file says doublet,
// then a radical; a stated anion takes the second electron too.
TEST(StatedCharge, RadicalsWhereTheMultiplicitySaysSo) {
  EXPECT_EQ(NetCharge(*PerceiveStated(kEthyl, kEthylBonds, std::nullopt)), 1);
  auto radical = PerceiveStated(kEthyl, kEthylBonds, ChargeAndMultiplicity{0, 2});
  EXPECT_EQ(radical->GetFormalCharges(), std::vector<int>(7, 0));
  auto anion = PerceiveStated(kEthyl, kEthylBonds, ChargeAndMultiplicity{-1, 1});
  EXPECT_EQ(anion->GetFormalCharge(0), -1);
  EXPECT_EQ(NetCharge(*anion), -1);
}

// An electron taken from the nitrile nitrogen's lone pair; one added to a
// carbonyl goes to its oxygen and leaves the carbon a radical (a ketyl); a
// triplet oxygen unpairs its double bond.
TEST(StatedCharge, RadicalIonsAndTriplets) {
  auto nitrile = PerceiveStated({"C", "C", "N", "H", "H", "H"}, {{0, 1}, {1, 2}, {0, 3}, {0, 4}, {0, 5}},
                                ChargeAndMultiplicity{1, 2});
  EXPECT_EQ(nitrile->GetFormalCharges(), (std::vector<int>{0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(nitrile->GetBondOrder(1, 2), 3);

  const std::vector<std::string> acetone = {"C", "C", "C", "O", "H", "H", "H", "H", "H", "H"};
  const std::vector<std::pair<int, int>> acetone_bonds = {{0, 1}, {1, 2}, {1, 3}, {0, 4}, {0, 5},
                                                          {0, 6}, {2, 7}, {2, 8}, {2, 9}};
  auto ketyl = PerceiveStated(acetone, acetone_bonds, ChargeAndMultiplicity{-1, 2});
  EXPECT_EQ(ketyl->GetFormalCharge(3), -1);
  EXPECT_EQ(NetCharge(*ketyl), -1);
  EXPECT_EQ(ketyl->GetBondOrder(1, 3), 1);

  auto dioxygen = PerceiveStated({"O", "O"}, {{0, 1}}, ChargeAndMultiplicity{0, 3});
  EXPECT_EQ(dioxygen->GetBondOrder(0, 1), 1);
  EXPECT_EQ(NetCharge(*dioxygen), 0);

  std::vector<std::string> benzene(6, "C");
  benzene.resize(12, "H");
  std::vector<std::pair<int, int>> ring;
  for (int a = 0; a < 6; ++a) {
    ring.emplace_back(a, (a + 1) % 6);
    ring.emplace_back(a, a + 6);
  }
  auto cation = PerceiveStated(benzene, ring, ChargeAndMultiplicity{1, 2});
  EXPECT_EQ(NetCharge(*cation), 1);
  int single_ring_bonds = 0;
  for (int a = 0; a < 6; ++a) single_ring_bonds += cation->GetBondOrder(a, (a + 1) % 6) == 1 ? 1 : 0;
  EXPECT_EQ(single_ring_bonds, 4);
}

// A metal takes the oxidation state the charge asks for, after the oxide
// whose bond the geometry did not show: [MoOCl4]2- holds Mo(IV).
TEST(StatedCharge, MetalsChangeTheirOxidationState) {
  auto complex = PerceiveStated({"MO", "O", "CL", "CL", "CL", "CL"}, {}, ChargeAndMultiplicity{-2, 1});
  EXPECT_EQ(complex->GetFormalCharges(), (std::vector<int>{4, -2, -1, -1, -1, -1}));
  auto copper = PerceiveStated({"CU"}, {}, ChargeAndMultiplicity{1, 1});
  EXPECT_EQ(copper->GetFormalCharges(), std::vector<int>{1});
}

// A charge no move reaches is said in one line; the structure stays.
TEST(StatedCharge, UnreachableChargeWarnsOnce) {
  ConsoleCapture console;
  auto water = PerceiveStated({"O", "H", "H"}, {{0, 1}, {0, 2}}, ChargeAndMultiplicity{-3, 1});
  EXPECT_EQ(console.Err(), "Warning: the formal charges sum to 0, but the file states a charge of -3.\n");
  EXPECT_EQ(water->GetFormalCharges(), (std::vector<int>{0, 0, 0}));
}

}  // namespace
}  // namespace tarvex
