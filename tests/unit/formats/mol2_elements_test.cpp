// The element the MOL2 reader gives each atom from its type.
#include <gtest/gtest.h>

#include "../support/scratch_dir.h"
#include "formats/mol2_file.h"

namespace tarvex {
namespace {

TEST(Mol2Elements, TypesOfEveryKindGiveTheirElement) {
  testing::ScratchDir scratch;
  const std::string path = scratch.Write("types.mol2",
                                         "@<TRIPOS>MOLECULE\nmix\n11 0 1\nSMALL\nUSER_CHARGES\n\n"
                                         "@<TRIPOS>ATOM\n"
                                         "1 C1 0 0 0 ca 1 MIX 0.0\n"       // GAFF aromatic carbon
                                         "2 C2 1 0 0 CT 1 MIX 0.0\n"       // Amber sp3 carbon
                                         "3 N1 2 0 0 NA 1 MIX 0.0\n"       // Amber ring N-H nitrogen
                                         "4 CL 3 0 0 Cl- 1 MIX -1.0\n"     // Amber chloride ion
                                         "5 C3 4 0 0 C.ar 1 MIX 0.0\n"     // SYBYL
                                         "6 CA 5 0 0 Ca 1 MIX 2.0\n"       // SYBYL calcium
                                         "7 W1 6 0 0 W1 1 MIX 0.0\n"       // unknown type: the name
                                         "8 X1 7 0 0 Du 1 MIX 0.0\n"       // SYBYL dummy
                                         "9 LP1 8 0 0 LP 1 MIX 0.0\n"      // lone pair
                                         "10 Q 9 0 0 Any 1 MIX 0.0\n"      // nothing names an element
                                         "11 BR1 10 0 0 br 1 MIX 0.0\n");  // GAFF bromine
  CMol2File file(path);
  file.Read(0);
  EXPECT_EQ(file.GetAtomType(),
            (std::vector<std::string>{"C", "C", "N", "Cl", "C", "Ca", "W", "DU", "LP", "DU", "Br"}));
  // The SYBYL suffix stays apart from the element.
  EXPECT_EQ(file.Mol2TypeSuffixes()[4], "ar");
  EXPECT_EQ(file.Mol2TypeSuffixes()[0], "");
}

}  // namespace
}  // namespace tarvex
