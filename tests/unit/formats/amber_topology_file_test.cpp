#include "formats/amber_topology_file.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "amber_test_support.h"
#include "formats/amber_titles.h"

namespace tarvex {
namespace {

using namespace amber_test;

const std::vector<int> kTinyPointers = {2, 1, 1, 0, 0, 0, 0, 0, 0, 10, 3, 1, 0, 0, 1,
                                        0, 0, 2, 0, 0, 0, 0, 0, 0, 0,  0, 0, 3, 0, 0};

// The five atoms N, HB21, CA, Cl-, Na+ in residues ALA (1-3), Cl- and Na+.
void ExpectTinyResiduesAndCharges(CAmberTopologyFile& top) {
  EXPECT_EQ(top.GetNumberOfAtoms(), 5);
  EXPECT_EQ(top.GetNumberOfResidues(), 3);
  const std::vector<double> charges = {1.0, -0.5, 0.0, -1.0, 1.0};
  ASSERT_EQ(top.GetCharge().size(), 5u);
  for (size_t i = 0; i < 5; ++i) EXPECT_DOUBLE_EQ(top.GetCharge()[i], charges[i]) << i;
  EXPECT_EQ(top.GetHeadAtomOfResidue(), (std::vector<int>{0, 3, 4, 5}));
  EXPECT_EQ(top.GetResidueNumber(), (std::vector<int>{0, 0, 0, 1, 2}));
  EXPECT_EQ(top.GetResidueIndex(), (std::vector<int>{1, 1, 1, 2, 3}));
  EXPECT_EQ(top.GetResidueName(), (std::vector<std::string>{"ALA", "ALA", "ALA", "Cl-", "Na+"}));
  EXPECT_EQ(top.GetAtomIndex(), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST(AmberTopologyFile, FlaggedLayoutTakesElementsFromAtomicNumbers) {
  CAmberTopologyFile top(DataPath("tiny.parm7"));
  EXPECT_EQ(top.GetVersion(), "amber8");
  top.Read(0);
  EXPECT_EQ(top.GetTitle(), "tiny test system");
  ExpectTinyResiduesAndCharges(top);
  EXPECT_EQ(top.GetAtomType(), (std::vector<std::string>{"N", "H", "C", "CL", "NA"}));
  EXPECT_EQ(top.GetAtomName(), (std::vector<std::string>{" N  ", "1HB2", " CA ", "Cl- ", "Na+ "}));
  EXPECT_EQ(top.Pointers(), kTinyPointers);
  EXPECT_FALSE(top.HasState("cartesian"));
}

// Without atomic numbers the masses settle what the names leave open: Cl-
// and Na+ are the ions, not carbon and nitrogen.
TEST(AmberTopologyFile, ElementsFromMassesWithoutAtomicNumbers) {
  CAmberTopologyFile top(DataPath("tiny_no_atomic_number.parm7"));
  top.Read(0);
  ExpectTinyResiduesAndCharges(top);
  EXPECT_EQ(top.GetAtomType(), (std::vector<std::string>{"N", "H", "C", "CL", "NA"}));
  EXPECT_EQ(top.GetAtomName()[3], "Cl- ");
}

// One atom named `name` of mass `mass` in the tiny topology without atomic
// numbers; its element. With an empty mass the MASS section is left out.
std::string ElementOfOneAtom(const std::string& name, const std::string& mass) {
  std::string text = ReadWhole(DataPath("tiny_no_atomic_number.parm7"));
  text.replace(text.find("N   HB21"), 4, name);
  const size_t masses = text.find("%FLAG MASS");
  const size_t types = text.find("%FLAG ATOM_TYPE_INDEX");
  if (mass.empty()) {
    text.erase(masses, types - masses);
  } else {
    text.replace(text.find("1.40100000E+01", masses), 14, mass);
  }
  CAmberTopologyFile top(WriteScratch("one_atom.parm7", text));
  top.Read(0);
  return top.GetAtomType().front();
}

// The name proposes, the mass decides: hydrogen isotopes and repartitioned
// hydrogen masses stay hydrogen, united atoms and repartitioned heavy atoms
// keep their element, names of two readings take the one the mass fits, and
// a name that fits nothing takes the element of nearest mass.
TEST(AmberTopologyFile, MassesSettleTheElementsOfNames) {
  const struct {
    const char* name;
    const char* mass;
    const char* element;
  } kCases[] = {
      {"NA  ", "1.40070000E+01", "N"},   // haem nitrogen NA
      {"NA  ", "2.29900000E+01", "NA"},  // sodium
      {"CA  ", "1.20100000E+01", "C"},  {"CA  ", "4.00800000E+01", "CA"},
      {"HG  ", "1.00800000E+00", "H"},  {"HG  ", "2.00590000E+02", "HG"},
      {"H1  ", "2.01400000E+00", "H"},                                     // deuterium
      {"HE  ", "3.02400000E+00", "H"},                                     // repartitioned hydrogen
      {"C1  ", "5.96300000E+00", "C"},                                     // repartitioned methyl carbon
      {"CH3 ", "1.50350000E+01", "C"},                                     // united atom
      {"CH2 ", "1.40270000E+01", "C"},  {"IP  ", "2.29900000E+01", "NA"},  // old-style ion names
      {"IM  ", "3.54500000E+01", "CL"}, {"Zn2+", "6.53800000E+01", "ZN"},
      {"RA  ", "2.26000000E+02", "RA"},  // radium, atomic number 88
      {"EPW ", "0.00000000E+00", "LP"},  // extra point of a four-point water
  };
  for (const auto& c : kCases) EXPECT_EQ(ElementOfOneAtom(c.name, c.mass), c.element) << c.name << " " << c.mass;
  EXPECT_EQ(ElementOfOneAtom("Na+ ", ""), "N");  // no MASS section: the name alone
}

TEST(AmberTopologyFile, ChamberSectionsAreFoundByName) {
  CAmberTopologyFile top(DataPath("chamber.parm7"));
  top.Read(0);
  EXPECT_EQ(top.GetTitle(), "chamber test system");
  ExpectTinyResiduesAndCharges(top);
}

// 8-column pointers, whose short third line must not change the field width.
TEST(AmberTopologyFile, OldLayoutReadsEveryBlockInOrder) {
  CAmberTopologyFile top(DataPath("tiny_old.top"));
  EXPECT_EQ(top.GetVersion(), "amber6");
  top.Read(0);
  EXPECT_EQ(top.GetTitle(), "old layout test system");
  ExpectTinyResiduesAndCharges(top);
  EXPECT_EQ(top.Pointers(), kTinyPointers);
  EXPECT_EQ(top.GetAtomName()[1], "1HB2");
}

// Four-character names keep every character.
TEST(AmberTopologyFile, FourCharacterNamesAreNotCut) {
  std::string text = ReadWhole(DataPath("tiny.parm7"));
  text.replace(text.find("N   HB21CA  "), 12, "HO5'HB21CG11");
  CAmberTopologyFile top(WriteScratch("names.parm7", text));
  top.Read(0);
  EXPECT_EQ(top.GetAtomName()[0], "HO5'");
  EXPECT_EQ(top.GetAtomName()[1], "1HB2");
  EXPECT_EQ(top.GetAtomName()[2], "CG11");
}

TEST(AmberTopologyFile, UnknownVersionWarnsAndReadsTheOldLayout) {
  CAmberTopologyFile top(DataPath("tiny_old.top"));
  top.SetVersion("amber99");
  ConsoleCapture console;
  top.Read(0);
  EXPECT_EQ(console.Err(), "Warning: unknown Amber version.\nReading file as the Amber version 6.\n");
  EXPECT_EQ(top.GetNumberOfResidues(), 3);
}

// Every way of cutting a topology short ends in one error line, never a
// short record or a crash.
TEST(AmberTopologyFile, TruncatedFilesGiveOneErrorLine) {
  for (const char* name : {"tiny.parm7", "tiny_old.top", "chamber.parm7"}) {
    const std::string text = ReadWhole(DataPath(name));
    size_t cut = 0;
    int errors = 0;
    while ((cut = text.find('\n', cut + 1)) != std::string::npos) {
      const std::string path = WriteScratch("cut.top", text.substr(0, cut + 1));
      try {
        ConsoleCapture console;
        CAmberTopologyFile top(path);
        top.Read(0);
        EXPECT_EQ(top.GetAtomName().size(), 5u) << name << " cut at " << cut;
      } catch (const ExitRequest& request) {
        EXPECT_EQ(request.Status(), 1);
        ++errors;
      }
    }
    EXPECT_GT(errors, 10) << name;
  }
}

TEST(AmberTopologyFile, BadValuesAndCountsGiveClearErrors) {
  const std::string text = ReadWhole(DataPath("tiny.parm7"));
  auto with = [&](const std::string& from, const std::string& to) {
    std::string changed = text;
    changed.replace(changed.find(from), from.size(), to);
    const std::string path = WriteScratch("bad.parm7", changed);
    return ErrorOf([&] { CAmberTopologyFile(path).Read(0); });
  };
  EXPECT_NE(with("-9.11115000E+00", "     abc       ").find("\"abc\" in section CHARGE is not a number"),
            std::string::npos);
  EXPECT_NE(with("       5       2", "2000000000       2").find("NATOM = 2000000000 is more than its"),
            std::string::npos);
  EXPECT_NE(with("       5       2", "      -5       2").find("gives NATOM = -5"), std::string::npos);
  EXPECT_NE(with("       1       4       5", "       1       5       4").find("residue pointers do not ascend"),
            std::string::npos);
  EXPECT_NE(with("%FLAG RESIDUE_LABEL", "%FLAG RESIDUE_LABELS").find("has no RESIDUE_LABEL section"),
            std::string::npos);
  const size_t pointers = text.find("%FLAG POINTERS");
  const std::string few = text.substr(0, pointers) + "%FLAG POINTERS\n%FORMAT(10I8)\n       5       2\n" +
                          text.substr(text.find("%FLAG ATOM_NAME"));
  const std::string path = WriteScratch("few.parm7", few);
  EXPECT_NE(ErrorOf([&] { CAmberTopologyFile(path).Read(0); }).find("section POINTERS holds 2 values"),
            std::string::npos);
  const std::string empty = WriteScratch("empty.top", "");
  EXPECT_EQ(ErrorOf([&] { CAmberTopologyFile(empty).Read(0); }), empty + " is not Amber TOP file.\n");
}

// The title only in the first topology written in the run, then the pointer
// block in 6 columns; the flagged layout has a seventh value on line 3.
TEST(AmberTopologyFile, WriterWritesTitleOnceAndThePointerBlock) {
  AmberTitlesWritten() = {};
  const std::string first = WriteScratch("first.top", "");
  const std::string second = WriteScratch("second.top", "");
  for (const std::string& path : {first, second}) {
    CAmberTopologyFile top(DataPath("tiny.parm7"));
    top.Read(0);
    top.OpenOutput(path, true);
    top.Write();
  }
  ASSERT_TRUE(CommitOutputs());
  const std::string pointers =
      "     5     2     1     1     0     0     0     0     0     0    10     3\n"
      "     1     0     0     1     0     0     2     0     0     0     0     0\n"
      "     0     0     0     0     3     0     0\n";
  EXPECT_EQ(ReadWhole(first), "tiny test system\n" + pointers);
  EXPECT_EQ(ReadWhole(second), pointers);
  AmberTitlesWritten() = {};
}

// Counts, names, charges and residues of every real topology of the corpus,
// against what MDAnalysis reads (old-layout files: against the files' text).
TEST(AmberTopologyFile, ReadsEveryCorpusTopology) {
  SKIP_WITHOUT_CORPUS();
  struct Expected {
    const char* name;
    int atoms, residues;
    const char *first_name, *last_name;
    double first_charge, last_charge, total_charge;
    const char *first_residue, *last_residue;
  };
  const Expected kFiles[] = {
      {"AlaDipeptide.MEOH.parm7", 1576, 262, " H1 ", " HO1", 0.1123, 0.4215, 0.0, "ACE", "MOH"},
      {"NAD+_1xNa+_8A_Oct_TIP3P.prmtop", 3452, 1129, " P1 ", " H2 ", 0.942647, 0.417, -0.0001, "NDP", "WAT"},
      {"NMA.prmtop", 12, 2, "1HH3", "3HH3", 0.1123, 0.0976, 0.0, "ACE", "NME"},
      {"O2mol.parm7", 2, 1, " O1 ", " O2 ", 0.0, 0.0, 0.0, "mol", "mol"},
      {"ache.prmtop", 252, 14, " N  ", " OXT", 0.1414, -0.8252, 1.0, "ALA", "LYS"},
      {"ala.ff19SB.OPC.parm7", 46, 9, " H1 ", "EPW ", 0.1123, -1.358284, 0.0, "ACE", "WAT"},
      {"ala_gas.prmtop", 22, 3, " H1 ", "3HH3", 0.1123, 0.0976, 0.0, "ACE", "NME"},
      {"all_aminonc94.top", 54, 4, " N  ", " OXT", 0.1414, -0.7697, 0.0, "ALA", "PRO"},
      {"all_dna94.top", 126, 4, " H5T", " H3T", 0.4422, 0.4396, -3.0, "DC5", "DT3"},
      {"ash.parm7", 25, 3, "1HH3", "3HH3", 0.1123, 0.0976, 0.0, "ACE", "NME"},
      {"capped-ala.prmtop", 5071, 1686, "1HH3", " H2 ", 0.1123, 0.417, 0.0, "ACE", "WAT"},
      {"nma.parm7", 2466, 820, " CH3", " H2 ", 0.0, 0.0, 0.0, "ACE", "WAT"},
      {"old.prmtop", 2101, 696, "1HH3", " H2 ", 0.1123, 0.417, 0.0, "ACE", "WAT"},
      {"prmtop", 31, 2, " N  ", " OXT", -0.3, -0.67, 0.0, "THR", "THR"},
      {"tz2.parm7", 223, 13, " N  ", "3HH3", 0.1849, 0.0976, 2.0, "SER", "NME"},
      {"tz2.truncoct.parm7", 5827, 1882, " N  ", " H2 ", 0.1849, 0.417, 2.0, "SER", "WAT"},
  };
  for (const Expected& e : kFiles) {
    SCOPED_TRACE(e.name);
    CAmberTopologyFile top(CorpusPath(std::string("top/") + e.name));
    top.Read(0);
    ASSERT_EQ(top.GetNumberOfAtoms(), e.atoms);
    ASSERT_EQ(top.GetNumberOfResidues(), e.residues);
    for (const auto* list : {&top.GetAtomName(), &top.GetAtomType(), &top.GetResidueName()}) {
      EXPECT_EQ(list->size(), static_cast<size_t>(e.atoms));
    }
    EXPECT_EQ(top.GetAtomName().front(), e.first_name);
    EXPECT_EQ(top.GetAtomName().back(), e.last_name);
    const std::vector<double>& q = top.GetCharge();
    ASSERT_EQ(q.size(), static_cast<size_t>(e.atoms));
    EXPECT_NEAR(q.front(), e.first_charge, 1e-6);
    EXPECT_NEAR(q.back(), e.last_charge, 1e-6);
    EXPECT_NEAR(std::accumulate(q.begin(), q.end(), 0.0), e.total_charge, 1e-3);
    EXPECT_EQ(top.GetResidueName().front(), e.first_residue);
    EXPECT_EQ(top.GetResidueName().back(), e.last_residue);
    EXPECT_EQ(top.GetResidueNumber().back(), e.residues - 1);
    EXPECT_EQ(top.GetHeadAtomOfResidue().back(), e.atoms);
  }
}

}  // namespace
}  // namespace tarvex
