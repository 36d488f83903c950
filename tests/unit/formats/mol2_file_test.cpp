#include "formats/mol2_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "../support/scratch_dir.h"
#include "pdb_test_files.h"

namespace tarvex {
namespace {

using testing_files::CorpusPresent;

std::unique_ptr<CMol2File> ReadText(const testing::ScratchDir& scratch, const std::string& text) {
  auto file = std::make_unique<CMol2File>(scratch.Write("in.mol2", text));
  file->Read(0);
  return file;
}

// Writes the record to `name` in the scratch directory and returns the text.
std::string WriteOut(const testing::ScratchDir& scratch, CDataFile& record, const std::string& name) {
  record.OpenOutput(scratch.Path(name), true);
  record.Write();
  EXPECT_TRUE(CommitOutputs());
  return scratch.Read(name);
}

std::unique_ptr<CMol2File> ReadCorpus(const std::string& name) {
  auto file = std::make_unique<CMol2File>(std::string(TARVEX_CORPUS) + "/mol2/" + name);
  file->Read(0);
  return file;
}

size_t BondCount(CDataFile& record) {
  size_t sides = 0;
  for (auto [atom, neighbours] : record.GetConnection()) sides += neighbours.size();
  return sides / 2;
}

// Formaldehyde with a residue, charges and bonds, written to `name`.
std::string WriteFormaldehyde(const std::string& name, uint32_t flags) {
  testing::ScratchDir scratch;
  CMol2File record;
  record.SetNumberOfAtoms(4);
  record.SetNumberOfResidues(1);
  record.SetAtomName({"C1", "O1", "H1", "H2"});
  record.SetAtomType({"C", "O", "H", "H"});
  record.SetAtomIndex({1, 2, 3, 4});
  record.SetCartesian({{0, 0, 0}, {1.21, 0, 0}, {-0.55, 0.94, 0}, {-0.55, -0.94, 0}});
  record.SetResidueName({"FOR", "FOR", "FOR", "FOR"});
  record.SetResidueNumber({0, 0, 0, 0});
  record.SetResidueIndex({7, 7, 7, 7});
  record.SetHeadAtomOfResidue({0, 4});
  record.SetCharge({0.1, -0.3, 0.1, 0.1});
  record.SetConnection({{0, {1, 2, 3}}, {1, {0}}, {2, {0}}, {3, {0}}});
  record.SetTitle("formaldehyde");
  record.SetFileFlag(flags);
  return WriteOut(scratch, record, name);
}

// The writer byte for byte: counts line, atom columns (id 7, name 8 left,
// coordinates 10.5, type 6 left, substructure id 4, name 6 left, charge
// 9.5), bonds with their perceived types, substructures.
TEST(Mol2Writer, WholeFile) {
  EXPECT_EQ(WriteFormaldehyde("form.mol2", 0),
            "@<TRIPOS>MOLECULE\n"
            "form\n"
            "4 3 1\n"
            "SMALL\n"
            "USER_CHARGES\n"
            "\n"
            "@<TRIPOS>ATOM\n"
            "      1 C1          0.00000    0.00000    0.00000 C.2       1 FOR1     0.10000\n"
            "      2 O1          1.21000    0.00000    0.00000 O.2       1 FOR1    -0.30000\n"
            "      3 H1         -0.55000    0.94000    0.00000 H         1 FOR1     0.10000\n"
            "      4 H2         -0.55000   -0.94000    0.00000 H         1 FOR1     0.10000\n"
            "@<TRIPOS>BOND\n"
            "     1     1     2     2\n"
            "     2     1     3     1\n"
            "     3     1     4     1\n"
            "@<TRIPOS>SUBSTRUCTURE\n"
            "      1     FOR1       1\n");
}

// NO_TYPE: no typing, bare element types, every bond "un"; MOL2_NAME: the
// title names the molecule.
TEST(Mol2Writer, NoTypeAndMoleculeName) {
  const std::string text = WriteFormaldehyde("plain.mol2", kFileNoType | kFileMol2Name);
  EXPECT_NE(text.find("@<TRIPOS>MOLECULE\nformaldehyde\n"), std::string::npos);
  EXPECT_NE(text.find(" C         1 FOR1 "), std::string::npos);
  EXPECT_NE(text.find("     1     1     2    un\n"), std::string::npos);
  EXPECT_NE(text.find(" O         1 FOR1 "), std::string::npos);
}

TEST(Mol2Reader, FieldsTypesAndResidues) {
  testing::ScratchDir scratch;
  auto file = ReadText(scratch,
                       "# written by hand\n"
                       "@<TRIPOS>MOLECULE\n"
                       "two residues\n"
                       " 4 3 2\n"
                       "PROTEIN\n"
                       "USER_CHARGES\n"
                       "\n"
                       "@<TRIPOS>ATOM\n"
                       "  1 N    0.0 0.0 0.0 N.ar 1 HIS16 -0.5\n"
                       "\t2\tCL1\t1.0\t0.0\t0.0\tCl\t1\tHIS16\t0.25\n"
                       "\n"
                       "  7 1HB2 2.0 0.0 0.0 H 2 ASP17 0.1\n"
                       "  8 ZN   3.0 0.0 0.0 Zn 2 ASP17\n"
                       "@<TRIPOS>BOND\n"
                       "  1 1 2 1\n"
                       "  2 2 7 1\n"
                       "  3 7 99 1\n"
                       "  4 8 8 1\n"
                       "@<TRIPOS>SUBSTRUCTURE\n"
                       "  1 HIS16 1\n");
  EXPECT_EQ(file->GetTitle(), "two residues");
  EXPECT_EQ(file->GetNumberOfAtoms(), 4);
  EXPECT_EQ(file->GetAtomIndex(), (std::vector<int>{1, 2, 7, 8}));
  EXPECT_EQ(file->GetAtomName(), (std::vector<std::string>{"N   ", "CL1 ", "HB21", "ZN  "}));
  EXPECT_EQ(file->GetAtomType(), (std::vector<std::string>{"N", "Cl", "H", "Zn"}));
  EXPECT_EQ(file->Mol2TypeSuffixes(), (std::vector<std::string>{"ar", "", "", ""}));
  EXPECT_EQ(file->GetCharge(), (std::vector<double>{-0.5, 0.25, 0.1, 0.0}));
  EXPECT_EQ(file->GetNumberOfResidues(), 2);
  EXPECT_EQ(file->GetResidueName(), (std::vector<std::string>{"HIS", "HIS", "ASP", "ASP"}));
  EXPECT_EQ(file->GetResidueNumber(), (std::vector<int>{0, 0, 1, 1}));
  EXPECT_EQ(file->GetHeadAtomOfResidue(), (std::vector<int>{0, 2, 4}));
  EXPECT_EQ(file->GetResidueIndex(), (std::vector<int>{1, 1, 2, 2}));
  // The bond to atom 99 and the bond of atom 8 to itself are dropped.
  EXPECT_EQ(BondCount(*file), 2u);
  EXPECT_EQ(*file->GetConnection().find(1), (std::vector<int>{0, 2}));
}

TEST(Mol2Reader, BadAndEmptyInput) {
  testing::ScratchDir scratch;
  auto empty = ReadText(scratch, "");
  EXPECT_EQ(empty->GetNumberOfAtoms(), 0);
  EXPECT_FALSE(empty->HasState("connection"));
  // A lying counts line allocates nothing; garbage numbers keep defaults; a
  // file cut inside the atoms still gives the atoms read.
  auto bad = ReadText(scratch,
                      "@<TRIPOS>MOLECULE\nbad\n999999999 999999999\nSMALL\nNO_CHARGES\n@<TRIPOS>ATOM\n"
                      "x C1 1.0 nan? 2.0\n"
                      "2 O1 abc 0.5 0.5 O.3 1 MOL 0.3\n"
                      "3\n");
  EXPECT_EQ(bad->GetNumberOfAtoms(), 3);
  EXPECT_EQ(bad->GetAtomIndex(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(bad->GetCartesian()[0], (Point{1.0, 0.0, 2.0}));
  EXPECT_EQ(bad->GetCartesian()[1], (Point{0.0, 0.5, 0.5}));
  EXPECT_EQ(bad->GetAtomType(), (std::vector<std::string>{"DU", "O", "DU"}));
  EXPECT_FALSE(bad->HasState("charge"));  // NO_CHARGES
  EXPECT_EQ(bad->GetResidueName()[0], "MOL");
}

// Real files: comment lines and CRLF (Molecule), tabs and an empty bond
// section (sodium_ion), Amber types and extra sections (tripos9), several
// molecules (c4: the first is read), NO_CHARGES (nocharge), a protein with
// DICT and SET sections (5sun).
TEST(Mol2Reader, CorpusFiles) {
  if (!CorpusPresent()) GTEST_SKIP() << "corpus not found";
  auto molecule = ReadCorpus("Molecule.mol2");
  EXPECT_EQ(molecule->GetTitle(), "FXA101_1");
  EXPECT_EQ(molecule->GetNumberOfAtoms(), 49);
  EXPECT_EQ(BondCount(*molecule), 51u);
  EXPECT_EQ(molecule->GetAtomType()[1], "S");
  EXPECT_EQ(molecule->Mol2TypeSuffixes()[1], "o2");
  EXPECT_DOUBLE_EQ(molecule->GetCharge()[0], -0.896);

  auto sodium = ReadCorpus("sodium_ion.mol2");
  EXPECT_EQ(sodium->GetNumberOfAtoms(), 1);
  EXPECT_FALSE(sodium->HasState("connection"));
  EXPECT_EQ(sodium->GetNumberOfResidues(), 1);

  auto amber = ReadCorpus("tripos9.mol2");
  EXPECT_GT(amber->GetNumberOfAtoms(), 0);
  EXPECT_EQ(amber->Mol2TypeSuffixes()[0], "");

  auto several = ReadCorpus("c4.mol2");
  std::ifstream c4_file(std::string(TARVEX_CORPUS) + "/mol2/c4.mol2", std::ios::binary);
  const std::string c4((std::istreambuf_iterator<char>(c4_file)), std::istreambuf_iterator<char>());
  const size_t counts = c4.find('\n', c4.find('\n', c4.find("@<TRIPOS>MOLECULE")) + 1) + 1;
  EXPECT_EQ(several->GetNumberOfAtoms(), std::stoi(c4.substr(counts)));

  EXPECT_FALSE(ReadCorpus("nocharge.mol2")->HasState("charge"));

  auto protein = ReadCorpus("5sun_protein.mol2");
  EXPECT_EQ(protein->GetNumberOfAtoms(), 6185);
  EXPECT_EQ(BondCount(*protein), 6248u);
  EXPECT_EQ(protein->GetNumberOfResidues(), 390);
}

// A file read and written again keeps its types where perception agrees,
// and a record that could not be typed (no bonds) keeps the types it had.
TEST(Mol2Writer, RoundTrip) {
  testing::ScratchDir scratch;
  auto pyridine =
      ReadText(scratch,
               "@<TRIPOS>MOLECULE\npyridine\n11 11 1\nSMALL\nNO_CHARGES\n\n@<TRIPOS>ATOM\n"
               "1 N1  1.39 0.00 0.00 N.ar 1 PYR\n2 C2  0.70 1.20 0.00 C.ar 1 PYR\n3 C3 -0.70 1.20 0.00 C.ar 1 PYR\n"
               "4 C4 -1.39 0.00 0.00 C.ar 1 PYR\n5 C5 -0.70 -1.20 0.00 C.ar 1 PYR\n6 C6  0.70 -1.20 0.00 C.ar 1 PYR\n"
               "7 H2  1.24 2.15 0.00 H 1 PYR\n8 H3 -1.24 2.15 0.00 H 1 PYR\n9 H4 -2.47 0.00 0.00 H 1 PYR\n"
               "10 H5 -1.24 -2.15 0.00 H 1 PYR\n11 H6 1.24 -2.15 0.00 H 1 PYR\n"
               "@<TRIPOS>BOND\n1 1 2 ar\n2 2 3 ar\n3 3 4 ar\n4 4 5 ar\n5 5 6 ar\n6 6 1 ar\n"
               "7 2 7 1\n8 3 8 1\n9 4 9 1\n10 5 10 1\n11 6 11 1\n");
  const std::string text = WriteOut(scratch, *pyridine, "pyridine.mol2");
  EXPECT_NE(text.find(" N.ar "), std::string::npos);
  EXPECT_NE(text.find("NO_CHARGES\n"), std::string::npos);
  EXPECT_NE(text.find("     1     1     2    ar\n"), std::string::npos);

  auto lone =
      ReadText(scratch, "@<TRIPOS>MOLECULE\nion\n1 0 1\nSMALL\nNO_CHARGES\n@<TRIPOS>ATOM\n1 NA 0 0 0 Na 1 NA\n");
  EXPECT_NE(WriteOut(scratch, *lone, "ion.mol2").find(" Na        1 NA1 "), std::string::npos);
}

TEST(Mol2Writer, ProteinMoleculeType) {
  testing::ScratchDir scratch;
  auto file =
      ReadText(scratch, "@<TRIPOS>MOLECULE\nala\n1 0 1\nSMALL\nNO_CHARGES\n@<TRIPOS>ATOM\n1 CA 0 0 0 C.3 1 ALA1\n");
  EXPECT_NE(WriteOut(scratch, *file, "ala.mol2").find("\nPROTEIN\nNO_CHARGES\n"), std::string::npos);
}

}  // namespace
}  // namespace tarvex
