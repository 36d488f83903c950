#include "formats/gaussian_out_file.h"

#include <gtest/gtest.h>

#include <cmath>

#include "../support/scratch_dir.h"
#include "molecule/geometry.h"
#include "pdb_test_files.h"

namespace tarvex {
namespace {

using testing::ScratchDir;
using testing_files::CorpusPresent;

// An orientation block as Gaussian 98 and later print it (six fields a line)
// or as Gaussian 94 does (no atomic-type column).
std::string Orientation(const std::string& heading, const std::vector<std::pair<int, Point>>& atoms,
                        bool five_fields = false) {
  std::string text = "                          " + heading + "\n";
  text += " ---------------------------------------------------------------------\n";
  text += " Center     Atomic      Atomic             Coordinates (Angstroms)\n";
  text += " Number     Number       Type             X           Y           Z\n";
  text += " ---------------------------------------------------------------------\n";
  int center = 0;
  for (const auto& [element, p] : atoms) {
    char line[128];
    if (five_fields) {
      std::snprintf(line, sizeof line, " %5d %10d %15.6f %11.6f %11.6f\n", ++center, element, p[0], p[1], p[2]);
    } else {
      std::snprintf(line, sizeof line, " %5d %10d %11d %15.6f %11.6f %11.6f\n", ++center, element, 0, p[0], p[1], p[2]);
    }
    text += line;
  }
  return text + " ---------------------------------------------------------------------\n";
}

std::vector<std::pair<int, Point>> Water(double x) {
  return {{8, {x, 0, 0.119262}}, {1, {x, 0.763239, -0.477047}}, {1, {x, -0.763239, -0.477047}}};
}

// A Gaussian 09 frequency job run with symmetry: the geometry in the input
// orientation, the modes in the standard one, the tables headed "Atom  AN".
std::string FrequencyJob09() {
  return " Entering Gaussian System\n"
         " This is part of the Gaussian(R) 09 program.  It is based on\n"
         " the Gaussian(R) 03 system (copyright 2003, Gaussian, Inc.),\n"
         " ---------------------------------\n"
         " #P B3LYP/6-31G* Freq\n"
         " =Tight\n"
         " ---------------------------------\n"
         " Symbolic Z-matrix:\n"
         " Charge =  0 Multiplicity = 1\n"
         " O                     1.        0.        0.11926\n"
         " H                     1.        0.76324  -0.47704\n"
         "\n" +
         Orientation("Input orientation:", Water(1.0)) + Orientation("Standard orientation:", Water(0.0)) +
         " SCF Done:  E(RB3LYP) =  -76.4089533     A.U. after   10 cycles\n"
         "                      1                      2                      3\n"
         " Frequencies --   1713.3561              3727.3806              3849.7513\n"
         "  Atom  AN      X      Y      Z        X      Y      Z        X      Y      Z\n"
         "     1   8     0.00   0.00   0.07     0.00   0.00   0.05     0.00   0.07   0.00\n"
         "     2   1     0.00   0.43  -0.56     0.00   0.59   0.39     0.00  -0.56   0.43\n"
         "     3   1     0.00  -0.43  -0.56     0.00  -0.59   0.39     0.00  -0.56  -0.43\n"
         "                      4\n"
         "  Atom  AN      X      Y      Z\n"
         "     1   8     9.99   9.99   9.99\n"
         "     2   1     9.99   9.99   9.99\n"
         "     3   1     9.99   9.99   9.99\n";
}

TEST(GaussianOutReader, Gaussian09FrequencyJob) {
  ScratchDir scratch;
  CGaussianOutFile file(scratch.Write("freq.log", FrequencyJob09()));
  EXPECT_EQ(file.GetVersion(), "");
  file.Read(-1);
  EXPECT_EQ(file.RouteLines(), (std::vector<std::string>{"#P B3LYP/6-31G* Freq", "=Tight"}));
  EXPECT_EQ(file.GetFileFlags(), kFileCartesianRead);
  EXPECT_EQ(file.GetNumberOfAtoms(), 3);
  EXPECT_EQ(file.GetAtomType(), (std::vector<std::string>{"O", "H", "H"}));
  EXPECT_EQ(file.GetAtomName(), (std::vector<std::string>{"O1", "H2", "H3"}));
  EXPECT_EQ(file.GetCartesian()[1], (Point{1.0, 0.763239, -0.477047}));
  EXPECT_EQ(file.GetForce(), (Frame{{0, 0, 0.07}, {0, 0.43, -0.56}, {0, -0.43, -0.56}}));
  // The modes belong to the standard orientation, which differs.
  EXPECT_TRUE(file.ModesInStandardOrientation());
  EXPECT_EQ(file.ModeGeometry()[1], (Point{0.0, 0.763239, -0.477047}));
}

TEST(GaussianOutReader, OldLogsAndTruncatedBlocks) {
  // Gaussian 94: only standard orientations, five fields a line; the third
  // block is cut off by the end of the file and does not count.
  ScratchDir scratch;
  const std::string cut = Orientation("Standard orientation:", {{6, {0, 0, 0}}, {8, {0, 0, 1.22}}}, true);
  const std::string text = " This is part of the Gaussian 94(TM) system of programs.\n" +
                           Orientation("Standard orientation:", {{6, {0, 0, 0}}, {8, {0, 0, 1.2}}}, true) +
                           Orientation("Standard orientation:", {{6, {0, 0, 0}}, {8, {0, 0, 1.21}}}, true) +
                           cut.substr(0, cut.rfind(" ----"));
  const std::string path = scratch.Write("old.log", text);
  CGaussianOutFile all(path);
  EXPECT_EQ(all.GetVersion(), "94");
  all.ReadAll(0);
  EXPECT_EQ(all.GetCartesianAll(), (std::vector<Frame>{{{0, 0, 0}, {0, 0, 1.2}}, {{0, 0, 0}, {0, 0, 1.21}}}));
  EXPECT_EQ(all.GetNumberOfMolecules(), 2);
  EXPECT_EQ(all.GetCartesian()[1][2], 1.21);
  EXPECT_EQ(all.GetAtomType(), (std::vector<std::string>{"C", "O"}));
  EXPECT_TRUE(all.GetForce().empty());
  EXPECT_TRUE(all.ModeGeometry().empty());

  CGaussianOutFile steps(path);
  steps.Read(1);
  EXPECT_EQ(steps.GetCartesian()[1][2], 1.2);
  steps.Read(1);
  EXPECT_EQ(steps.GetCartesian()[1][2], 1.21);
  steps.Read(1);
  EXPECT_EQ(steps.GetCartesian()[1][2], 1.21);

  CGaussianOutFile nothing(scratch.Write("none.log", " Entering Gaussian System\n garbage\n"));
  nothing.Read(-1);
  EXPECT_TRUE(nothing.GetCartesian().empty());
  EXPECT_EQ(nothing.GetNumberOfAtoms(), 0);
}

// The Z-matrix echo: variables, a dummy atom and the dihedral marker 0 are
// read into `internal`; second bond angles (marker 1) cannot be held.
TEST(GaussianOutReader, ZMatrixEcho) {
  ScratchDir scratch;
  const std::string head =
      " Symbolic Z-matrix:\n Charge =  0 Multiplicity = 1\n C\n C      1  rcc\n"
      " X      2   1.       1     90.\n";
  CGaussianOutFile file(scratch.Write("z.log", head + " H      1  rh       2    ah       3     0.       0\n"
                                                      "       Variables:\n  rcc   1.2\n  rh    1.06\n"
                                                      "  ah  180.\n Leave Link  101\n"));
  file.Read(-1);
  EXPECT_EQ(file.GetFileFlags(), kFileInternal);
  EXPECT_EQ(file.GetInternal(), (std::vector<Point>{{0, 0, 0}, {1.2, 0, 0}, {1, 90, 0}, {1.06, 180, 0}}));
  EXPECT_EQ(file.GetInternalReference(),
            (std::vector<ReferenceTriple>{{-1, -2, -3}, {0, -1, -2}, {1, 0, -1}, {0, 1, 2}}));

  CGaussianOutFile angles(scratch.Write("a.log", head + " H      1  1.06     2  90.      3    90.       1\n\n"));
  angles.Read(-1);
  EXPECT_EQ(angles.GetFileFlags(), kFileInternal);
  EXPECT_TRUE(angles.GetInternal().empty());
}

// The echo is the geometry the job starts from: it stays with the first
// geometry and goes with the second (an optimisation step), so that a
// Z-matrix written from the log is that of the geometry read. A structure
// asked for past the last one is an error.
TEST(GaussianOutReader, EchoBelongsToTheFirstGeometry) {
  ScratchDir scratch;
  const std::string text = " Symbolic Z-matrix:\n Charge =  0 Multiplicity = 1\n O\n H 1 0.96\n H 1 0.96 2 104.5\n\n" +
                           Orientation("Input orientation:", Water(0.0)) +
                           Orientation("Input orientation:", Water(0.5));
  const std::string path = scratch.Write("opt.log", text);
  CGaussianOutFile first(path);
  first.Read(1);
  EXPECT_EQ(first.GetInternal().size(), 3u);
  first.Read(1);
  EXPECT_TRUE(first.GetInternal().empty());
  EXPECT_TRUE(first.GetInternalReference().empty());
  CGaussianOutFile last(path);
  last.Read(-1);
  EXPECT_TRUE(last.GetInternal().empty());
  EXPECT_EQ(last.GetCartesian()[0][0], 0.5);

  CGaussianOutFile second(path);
  second.Read(2);
  EXPECT_EQ(second.GetCartesian()[0][0], 0.5);
  CGaussianOutFile beyond(path);
  EXPECT_EQ(testing_files::ErrorOf([&] { beyond.Read(3); }),
            "Error: " + path + " holds 2 structures; structure 3 does not exist.\n");
  CGaussianOutFile stepped(path);
  stepped.Read(1);
  EXPECT_EQ(testing_files::ErrorOf([&] { stepped.Read(2); }),
            "Error: " + path + " holds 2 structures; structure 3 does not exist.\n");
}

// The charge line of the input echo states the molecule's charge and
// multiplicity; the lines right after it (ONIOM layers, counterpoise
// fragments) do not change it, and a later job's line does.
TEST(GaussianOutReader, StatedChargeAndMultiplicity) {
  ScratchDir scratch;
  auto read = [&](const std::string& text) {
    CGaussianOutFile file(scratch.Write("c.log", text));
    file.Read(0);
    return file.GetStatedChargeAndMultiplicity();
  };
  const std::string water = Orientation("Input orientation:", Water(0.0));
  EXPECT_FALSE(read(water).has_value());
  EXPECT_EQ(read(" Symbolic Z-matrix:\n Charge =  1 Multiplicity = 2\n C  0. 0. 0.\n\n" + water),
            (ChargeAndMultiplicity{1, 2}));
  EXPECT_EQ(read(" Symbolic Z-matrix:\n Charge =-10 Multiplicity =10\n C  0. 0. 0.\n\n" + water),
            (ChargeAndMultiplicity{-10, 10}));
  const std::string oniom =
      " Symbolic Z-matrix:\n"
      " Charge = -1 Multiplicity = 1 for low   level calculation on real  system.\n"
      " Charge =  0 Multiplicity = 2 for high  level calculation on model system.\n"
      " Charge =  0 Multiplicity = 2 for low   level calculation on model system.\n"
      " C     0    0. 0. 0. H\n\n";
  EXPECT_EQ(read(oniom + water), (ChargeAndMultiplicity{-1, 1}));
  // Geom=AllCheck: no echo heading; then a second job of the same log.
  const std::string check = " Redundant internal coordinates taken from checkpoint file:\n a.chk\n";
  EXPECT_EQ(read(check + " Charge =  0 Multiplicity = 3\n C,0,0.,0.,0.\n" + water), (ChargeAndMultiplicity{0, 3}));
  EXPECT_EQ(read(oniom + water + check + " Charge =  2 Multiplicity = 1\n" + water), (ChargeAndMultiplicity{2, 1}));
  // Lines that only look like it.
  EXPECT_FALSE(read(" Charge = 0\n Charge = x Multiplicity = 1\n Charge = 0 Multiplicity = 0\n" + water).has_value());
}

// The marks of a log, each with the geometries completed before it: the
// SCF energies (NaN where the number is unreadable), the IRC points of
// Gaussian 09 and 16, "Optimization completed"; and the first frequency,
// read whatever the dashes after "Frequencies".
TEST(GaussianOutReader, MarksAndTheFirstFrequency) {
  ScratchDir scratch;
  const std::string text = Orientation("Input orientation:", Water(0.0)) +
                           " SCF Done:  E(UB3LYP) =  -76.25     A.U. after   10 cycles\n"
                           " Point Number:   0          Path Number:   1\n" +
                           Orientation("Input orientation:", Water(0.1)) +
                           " SCF Done:  E(RHF) =  garbage\n Optimization completed.\n"
                           " Point Number:  12          Path Number:   2\n Point Number  1 in FORWARD path direction.\n"
                           " Frequencies ---  -1131.2051   200.0\n Frequencies --   -900.0\n";
  CGaussianOutFile file(scratch.Write("marks.log", text));
  file.ReadAll(0);
  using Kind = CGaussianOutFile::Mark::Kind;
  const std::vector<CGaussianOutFile::Mark>& marks = file.Marks();
  ASSERT_EQ(marks.size(), 5u);
  EXPECT_EQ(marks[0].kind, Kind::kScfEnergy);
  EXPECT_EQ(marks[0].geometries, 1u);
  EXPECT_EQ(marks[0].energy, -76.25);
  EXPECT_EQ(marks[1].kind, Kind::kIrcPoint);
  EXPECT_EQ(marks[1].point, 0);
  EXPECT_EQ(marks[1].path, 1);
  EXPECT_TRUE(std::isnan(marks[2].energy));
  EXPECT_EQ(marks[2].geometries, 2u);
  EXPECT_EQ(marks[3].kind, Kind::kOptimized);
  EXPECT_EQ(marks[4].point, 12);
  EXPECT_EQ(marks[4].path, 2);
  EXPECT_EQ(file.FirstFrequency(), -1131.2051);
  CGaussianOutFile none(scratch.Write("none.log", Orientation("Input orientation:", Water(0.0))));
  none.Read(0);
  EXPECT_TRUE(none.Marks().empty());
  EXPECT_FALSE(none.FirstFrequency().has_value());
}

// Every log of the corpus, its figures checked against cclib 1.6 and the
// files themselves. Where the two differ the log decides: cclib takes the
// standard orientation where both are printed (this reader the input one),
// leaves out the geometry Gaussian prints again after "Optimization
// completed" (anthracene, cyclopropenyl, 1himidaz_m1b1, the IRC run), and
// reads nothing from g98.out (xtb), ala_conf1 and the truncated 1himidaz_m23b6.
// Both leave out the dummy atoms of the 1himidaz_m1b1 Z-matrix.
TEST(GaussianOutReader, CorpusFiles) {
  if (!CorpusPresent()) GTEST_SKIP() << "corpus not found";
  struct Row {
    const char* name;
    const char* version;
    size_t geometries;
    int atoms;
    Point last;
    size_t modes;
    Point first_displacement;
    bool standard;
    ChargeAndMultiplicity stated;
  };
  const Row rows[] = {
      {"1615.log", "", 1, 2, {0, 0, 0.25}, 0, {}, false, {0, 1}},
      {"BH3.log", "03", 1, 4, {-0.667785, -0.824243, -0.512249}, 0, {}, false, {0, 1}},
      {"NIST_CCCBDB_1himidaz_m1b1.out", "03", 6, 6, {-0.515994, 0.893728, -1.531061}, 6, {-0.12, 0, 0}, true, {1, 2}},
      {"NIST_CCCBDB_1himidaz_m23b6.out", "98", 1, 9, {0.096875, 0, -0.775}, 0, {}, false, {0, 1}},
      {"TS_freq.log", "03", 1, 7, {1.816168, -1.155271, 0}, 7, {-0.01, 0.02, 0}, false, {0, 2}},
      {"ala_conf1.gout", "98", 1, 22, {-2.060946, -2.542866, -0.03623}, 0, {}, false, {0, 1}},
      {"anthracene.log", "03", 5, 24, {3.385258, 0, 0.876379}, 24, {0.22, 0, 0}, true, {0, 1}},
      {"cyclopropenyl.rhf.g03.cut.log", "03", 4, 6, {2.280931, 0, 0.725}, 0, {}, false, {1, 1}},
      {"dvb_ir.out", "03", 1, 20, {-0.07452, 0, -2.499567}, 20, {0, 0, 0.08}, true, {0, 1}},
      {"g98.out", "", 1, 10, {1.182703, 1.084492, -0.803906}, 10, {0.08, -0.13, -0.17}, false, {0, 0}},
      {"rxn_1_irc_1.out", "", 52, 8, {-0.57663, -1.406269, 1.025934}, 0, {}, false, {0, 2}},
      {"test0237.log", "", 1, 3, {0.925549, 0, -0.239363}, 0, {}, false, {0, 1}},
      {"test_H2.log", "98", 1, 2, {0, 0, 2.5}, 2, {0, 0, 0.71}, true, {0, 1}},
      {"water_mp2.log", "03", 1, 3, {0.951649, 0, -0.272881}, 0, {}, false, {0, 1}},
      {"water_zmatrix_nosym.log", "98", 1, 3, {0.951649, 0, -0.272881}, 0, {}, false, {0, 1}},
  };
  for (const Row& row : rows) {
    CGaussianOutFile file(std::string(TARVEX_CORPUS) + "/log/" + row.name);
    EXPECT_EQ(file.GetVersion(), row.version) << row.name;
    file.ReadAll(0);
    EXPECT_EQ(file.GetCartesianAll().size(), row.geometries) << row.name;
    EXPECT_EQ(file.GetNumberOfAtoms(), row.atoms) << row.name;
    EXPECT_EQ(file.GetAtomType().size(), static_cast<size_t>(row.atoms)) << row.name;
    ASSERT_EQ(file.GetCartesian().size(), static_cast<size_t>(row.atoms)) << row.name;
    EXPECT_LT(Distance(file.GetCartesian().back(), row.last), 1e-9) << row.name;
    EXPECT_EQ(file.GetForce().size(), row.modes) << row.name;
    if (row.modes > 0) {
      EXPECT_LT(Distance(file.GetForce().front(), row.first_displacement), 1e-9) << row.name;
    }
    EXPECT_EQ(file.ModesInStandardOrientation(), row.standard) << row.name;
    // g98.out, written by xtb, states none (multiplicity 0 in the table).
    if (row.stated.multiplicity == 0) {
      EXPECT_FALSE(file.GetStatedChargeAndMultiplicity().has_value()) << row.name;
    } else {
      EXPECT_EQ(file.GetStatedChargeAndMultiplicity(), row.stated) << row.name;
    }
  }
  // The dummy atom of its Z-matrix (atomic number -1 in the "Z-Matrix
  // orientation" blocks) is no atom of the molecule.
  CGaussianOutFile zmatrix(std::string(TARVEX_CORPUS) + "/log/NIST_CCCBDB_1himidaz_m1b1.out");
  zmatrix.ReadAll(0);
  for (const Frame& frame : zmatrix.GetCartesianAll()) EXPECT_EQ(frame.size(), 6u);
  // The atoms of the IRC run: O C C O O H H H.
  CGaussianOutFile irc(std::string(TARVEX_CORPUS) + "/log/rxn_1_irc_1.out");
  irc.Read(1);
  EXPECT_EQ(irc.GetAtomType(), (std::vector<std::string>{"O", "C", "C", "O", "O", "H", "H", "H"}));
  EXPECT_LT(Distance(irc.GetCartesian().front(), {-0.975117, 1.693544, 1.019828}), 1e-9);
}

}  // namespace
}  // namespace tarvex
