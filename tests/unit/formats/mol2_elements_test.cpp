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

std::vector<std::string> ElementsOf(const std::string& atom_lines) {
  testing::ScratchDir scratch;
  CMol2File file(
      scratch.Write("x.mol2", "@<TRIPOS>MOLECULE\nx\n0 0 1\nSMALL\nUSER_CHARGES\n\n@<TRIPOS>ATOM\n" + atom_lines));
  file.Read(0);
  return file.GetAtomType();
}

// The file's other types decide what a shared name means: a CHARMM lipid's
// CL beside CTL2 and OSL is its ester carbon, GLYCAM's Os beside Cg a ring
// oxygen, a W among SYBYL types tungsten; a two-letter type no table knows
// spells its element (fe, SE, YB), a residue of one atom typed SO is sodium.
TEST(Mol2Elements, TheFileAroundATypeTellsItsForceField) {
  EXPECT_EQ(ElementsOf("1 C21 0 0 0 CL 1 DOPC 0.0\n2 O21 1 0 0 OSL 1 DOPC 0.0\n3 C22 2 0 0 CTL2 1 DOPC 0.0\n"
                       "4 SOD 9 0 0 SOD 2 SOD 1.0\n5 CLA 19 0 0 CLA 3 CLA -1.0\n"),
            (std::vector<std::string>{"C", "O", "C", "Na", "Cl"}));
  EXPECT_EQ(ElementsOf("1 CL1 0 0 0 CL 1 CHL 0.0\n2 C1 1 0 0 CZ 1 CHL 0.0\n"), (std::vector<std::string>{"Cl", "C"}));
  EXPECT_EQ(ElementsOf("1 C1 0 0 0 Cg 1 0GA 0.0\n2 O5 1 0 0 Os 1 0GA 0.0\n3 HO1 2 0 0 Ho 1 0GA 0.0\n"),
            (std::vector<std::string>{"C", "O", "H"}));
  EXPECT_EQ(ElementsOf("1 W1 0 0 0 W 1 CPX 0.0\n2 O1 2 0 0 O.2 1 CPX 0.0\n3 OS1 4 0 0 Os 1 CPX 0.0\n"),
            (std::vector<std::string>{"W", "O", "Os"}));
  EXPECT_EQ(ElementsOf("1 FE 0 0 0 fe 1 HEM 0.0\n2 SE 2 0 0 SE 1 MSE 0.0\n3 YB 4 0 0 YB 2 YB 3.0\n"),
            (std::vector<std::string>{"Fe", "Se", "Yb"}));
  EXPECT_EQ(ElementsOf("1 NA 0 0 0 SO 1 NA 1.0\n2 S1 5 0 0 SO 2 MOD 0.0\n3 C1 6 0 0 CT 2 MOD 0.0\n"),
            (std::vector<std::string>{"Na", "S", "C"}));
}

}  // namespace
}  // namespace tarvex
