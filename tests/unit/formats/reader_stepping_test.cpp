// Stepping through a file's structures, as getdun does: Read(1) again and
// again until a read gives no coordinates. Every reader an analyzer steps
// through goes on from where its last Read stopped and never rewinds, so
// each structure comes once and a read at the end of the file gives an empty
// `cartesian`. A reader that rewound would hand out its first structure for
// ever.
#include <gtest/gtest.h>

#include <memory>

#include "../support/scratch_dir.h"
#include "formats/amber_coord_file.h"
#include "formats/amber_prep_file.h"
#include "formats/amber_restart_file.h"
#include "formats/gaussian_in_file.h"
#include "formats/gaussian_out_file.h"
#include "formats/mol2_file.h"
#include "formats/pdb_file.h"
#include "pdb_test_files.h"

namespace tarvex {
namespace {

// Steps until an empty read (at most `limit` reads) and returns the first x
// coordinate of every structure read.
std::vector<double> Step(CDataFile& file, int limit = 100) {
  std::vector<double> first_x;
  for (int read = 0; read < limit; ++read) {
    file.Read(1);
    if (file.GetCartesian().empty()) return first_x;
    first_x.push_back(file.GetCartesian()[0][0]);
  }
  ADD_FAILURE() << "still reading structures after " << limit << " reads";
  return first_x;
}

std::string PdbAtom(int serial, double x) {
  char line[96];
  std::snprintf(line, sizeof line, "HETATM%5d  C1  LIG     1    %8.3f%8.3f%8.3f  1.00  0.00           C\n", serial, x,
                0.0, 0.0);
  return line;
}

std::string Mol2Molecule(const std::string& name, const std::string& charges,
                         const std::vector<std::pair<int, double>>& atoms) {
  std::string text = "@<TRIPOS>MOLECULE\n" + name + "\n" + std::to_string(atoms.size()) + " 1 1\nSMALL\n" + charges +
                     "\n\n@<TRIPOS>ATOM\n";
  for (const auto& [id, x] : atoms) {
    text += std::to_string(id) + " C" + std::to_string(id) + " " + std::to_string(x) + " 0 0 C.3 1 LIG 0.25\n";
  }
  return text + "@<TRIPOS>BOND\n1 " + std::to_string(atoms[0].first) + " " + std::to_string(atoms[1].first) + " 1\n";
}

TEST(ReaderStepping, PdbGivesItsOneStructure) {
  const testing::ScratchDir dir;
  const std::string text = "MODEL        1\n" + PdbAtom(10, 1.5) + PdbAtom(30, 2.5) + "ENDMDL\nMODEL        2\n" +
                           PdbAtom(10, 7.5) + PdbAtom(30, 8.5) + "ENDMDL\nEND\n";
  CPdbFile file(dir.Write("models.pdb", text));
  EXPECT_EQ(Step(file), (std::vector<double>{1.5})) << "all models make one molecule";
  EXPECT_EQ(file.GetNumberOfAtoms(), 0);
  EXPECT_TRUE(file.GetConnection().empty());
  file.Read(1);
  EXPECT_TRUE(file.GetCartesian().empty()) << "and stays at the end";

  CPdbFile empty(dir.Write("empty.pdb", ""));
  EXPECT_TRUE(Step(empty).empty());
}

// Each MOL2 molecule comes with its own name, charge type, numbering and
// bonds; the header of the next one is left for the next read.
TEST(ReaderStepping, Mol2GivesEachMolecule) {
  const testing::ScratchDir dir;
  const std::string text = "# written by hand\n" + Mol2Molecule("first", "USER_CHARGES", {{1, 1.5}, {2, 2.5}}) +
                           "@<TRIPOS>SUBSTRUCTURE\n1 LIG 1\n" +
                           Mol2Molecule("second", "NO_CHARGES", {{10, 3.5}, {20, 4.5}, {30, 5.5}}) +
                           Mol2Molecule("third", "USER_CHARGES", {{7, 6.5}, {7, 7.5}});
  CMol2File file(dir.Write("three.mol2", text));
  file.Read(1);
  EXPECT_EQ(file.GetTitle(), "first");
  EXPECT_EQ(file.GetCharge(), (std::vector<double>{0.25, 0.25}));
  file.Read(1);
  EXPECT_EQ(file.GetTitle(), "second");
  EXPECT_EQ(file.GetNumberOfAtoms(), 3);
  EXPECT_TRUE(file.GetCharge().empty()) << "its own charge type";
  EXPECT_EQ(file.AtomNumberToIndex(20), 1);
  EXPECT_EQ(file.GetConnection(), (BondMap{{0, {1}}, {1, {0}}}));
  file.Read(1);
  EXPECT_EQ(file.GetTitle(), "third");
  EXPECT_EQ(file.AtomNumberToIndex(7), 0);
  EXPECT_TRUE(file.GetConnection().empty()) << "a bond of an atom to itself is dropped";
  file.Read(1);
  EXPECT_TRUE(file.GetCartesian().empty());
  EXPECT_EQ(file.GetTitle(), "");
  EXPECT_EQ(file.GetNumberOfAtoms(), 0);

  CMol2File again(dir.Path("three.mol2"));
  EXPECT_EQ(Step(again), (std::vector<double>{1.5, 3.5, 6.5}));
}

TEST(ReaderStepping, AmberTrajectoryAndRestart) {
  CAmberCoordFile trajectory(std::string(TARVEX_TEST_DATA) + "/amber/tiny.crd");
  trajectory.SetNumberOfAtoms(4);
  EXPECT_EQ(Step(trajectory), (std::vector<double>{0.0, 10.0, 20.0}));
  CAmberRestartFile restart(std::string(TARVEX_TEST_DATA) + "/amber/tiny_box.rst");
  EXPECT_EQ(Step(restart).size(), 1u);
}

// A PREP library gives one residue a read, built into coordinates.
TEST(ReaderStepping, PrepLibraryGivesEachResidue) {
  if (!testing_files::CorpusPresent()) GTEST_SKIP() << "corpus not found";
  CAmberPrepFile library(std::string(TARVEX_CORPUS) + "/prep/all_amino94.in");
  EXPECT_EQ(Step(library).size(), 32u);
  CAmberPrepFile one(std::string(TARVEX_CORPUS) + "/prep/benzene.prepi");
  EXPECT_EQ(Step(one).size(), 1u);
}

// A Gaussian input is the geometry of its first job, whatever follows
// --Link1--; a log gives each geometry it prints, as ReadAll finds them.
TEST(ReaderStepping, GaussianInputAndLog) {
  const testing::ScratchDir dir;
  const std::string job = "#P HF/STO-3G\n\nwater\n\n0 1\nO  0.0 0.0 0.0\nH  0.96 0.0 0.0\nH  -0.24 0.93 0.0\n\n";
  CGaussianInFile input(dir.Write("water.com", job + "--Link1--\n%Chk=water\n" + job));
  EXPECT_EQ(Step(input), (std::vector<double>{0.0}));

  for (const std::string& log : {std::string(TARVEX_TEST_DATA) + "/gaussian/water_path_g09.log",
                                 std::string(TARVEX_TEST_DATA) + "/../../examples/rxn_1_irc_1.out"}) {
    CGaussianOutFile all(log);
    all.ReadAll(0);
    CGaussianOutFile stepped(log);
    EXPECT_EQ(Step(stepped).size(), all.GetCartesianAll().size()) << log;
    EXPECT_GT(all.GetCartesianAll().size(), 1u) << log;
  }
}

TEST(ReaderStepping, CorpusMol2FilesOfManyMolecules) {
  if (!testing_files::CorpusPresent()) GTEST_SKIP() << "corpus not found";
  for (auto [name, molecules] : {std::pair{"c4.mol2", 4u}, {"nocharge.mol2", 28u}, {"imatinib.mol2", 1u}}) {
    CMol2File file(std::string(TARVEX_CORPUS) + "/mol2/" + name);
    EXPECT_EQ(Step(file).size(), molecules) << name;
  }
}

}  // namespace
}  // namespace tarvex
