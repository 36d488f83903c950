#include "formats/amber_restart_file.h"

#include <gtest/gtest.h>

#include "amber_test_support.h"

namespace tarvex {
namespace {

using namespace amber_test;

const Frame kTinyCoordinates = {{1.0, 2.0, 3.0}, {-1.5, 0.25, 4.0}, {7.0, -8.125, 9.5}};

TEST(AmberRestartFile, ReadsCoordinatesVelocitiesAndBox) {
  CAmberRestartFile rst(DataPath("tiny_vel.rst"));
  EXPECT_EQ(rst.GetFileFlags(), kFileRestartVelocity);
  EXPECT_EQ(rst.GetNumberOfAtoms(), 3);
  EXPECT_DOUBLE_EQ(rst.Time(), 10.0);
  rst.SetFileFlag(kFileBox);
  rst.Read(0);
  EXPECT_EQ(rst.GetCartesian(), kTinyCoordinates);
  ASSERT_EQ(rst.GetForce().size(), 3u);
  EXPECT_EQ(rst.GetForce()[2], (Point{0.7, 0.8, 0.9}));
  EXPECT_EQ(rst.Box(), (std::vector<double>{30.0, 31.0, 32.0}));
  rst.Read(0);
  EXPECT_TRUE(rst.GetCartesian().empty()) << "a restart holds one structure";
}

// Without velocities the attempt to read them fails and the box follows.
TEST(AmberRestartFile, BoxWithoutVelocities) {
  CAmberRestartFile rst(DataPath("tiny_box.rst"));
  EXPECT_DOUBLE_EQ(rst.Time(), 0.0) << "an atom-count line without a time";
  rst.SetFileFlag(kFileBox);
  rst.Read(0);
  EXPECT_EQ(rst.GetCartesian(), kTinyCoordinates);
  EXPECT_TRUE(rst.GetForce().empty());
  EXPECT_EQ(rst.Box(), (std::vector<double>{30.0, 31.0, 32.0}));
}

TEST(AmberRestartFile, TooFewCoordinatesGiveNoStructure) {
  const std::string path = WriteScratch("short.rst", "short\n    3\n   1.0   2.0   3.0   4.0\n");
  CAmberRestartFile rst(path);
  ConsoleCapture console;
  rst.Read(0);
  EXPECT_TRUE(rst.GetCartesian().empty());
  EXPECT_EQ(console.Err(),
            "Warning: " + path + " holds 4 of the 9 coordinates of its 3 atoms; no structure was read.\n");
}

TEST(AmberRestartFile, HeadsThatAreNoRestartHead) {
  for (const std::string& text : {std::string(), std::string("title only\n"), std::string("title\nabc\n"),
                                  std::string("CDF\x01\0\0\n\0\0\0\n", 11)}) {
    const std::string path = WriteScratch("head.rst", text);
    EXPECT_EQ(ErrorOf([&] { CAmberRestartFile rst(path); }), path + " is not Amber RST file.\n");
  }
  const std::string huge = WriteScratch("huge.rst", "title\n2000000000\n1.0\n");
  EXPECT_EQ(ErrorOf([&] { CAmberRestartFile rst(huge); }),
            "Error: " + huge + " declares 2000000000 atoms, which its 21 bytes cannot hold.\n");
}

TEST(AmberRestartFile, WriterLayout) {
  const std::string path = WriteScratch("out.rst", "");
  {
    CAmberRestartFile rst(DataPath("tiny_vel.rst"));
    rst.SetFileFlag(kFileBox);
    rst.Read(0);
    rst.OpenOutput(path, true);
    rst.Write();
  }
  ASSERT_TRUE(CommitOutputs());
  EXPECT_EQ(ReadWhole(path),
            "tiny restart\n"
            "    3   1.000000E+01\n"
            "   1.0000000   2.0000000   3.0000000  -1.5000000   0.2500000   4.0000000\n"
            "   7.0000000  -8.1250000   9.5000000\n"
            "   0.1000000  -0.2000000   0.3000000   0.4000000   0.5000000  -0.6000000\n"
            "   0.7000000   0.8000000   0.9000000\n"
            "  30.0000000  31.0000000  32.0000000\n");
  const std::string empty = WriteScratch("empty.rst", "");
  {
    CAmberRestartFile rst;
    rst.SetTitle("nothing");
    rst.OpenOutput(empty, true);
    ConsoleCapture console;
    rst.Write();
    EXPECT_EQ(console.Err(), "Amber restart file is empty.\n");
  }
  ASSERT_TRUE(CommitOutputs());
  EXPECT_EQ(ReadWhole(empty), "nothing\n");
}

TEST(AmberRestartFile, ReadsCorpusRestarts) {
  SKIP_WITHOUT_CORPUS();
  struct Expected {
    const char* name;
    int atoms;
    double time;
    Point first_atom;
    bool velocities;
  };
  const Expected kFiles[] = {
      {"ala_gas.rst7", 22, 0.0, {2.000001, 1.0, -0.0000013}, false},
      {"AlaDipeptide.MEOH.rst7", 1576, 0.0, {}, false},
      {"all_aminonc94.crd", 54, 0.0, {}, false},
      {"all_dna94.crd", 126, 0.0, {}, false},
      {"ash.rst7", 25, 0.0, {}, false},
      {"NAD+_1xNa+_8A_Oct_TIP3P.prmcrd", 3452, 0.0, {}, false},
      {"NMA.inpcrd", 12, 0.0, {}, false},
      {"nma.rst7", 2466, 0.0, {-1.2375060, -0.9292672, -0.2869686}, false},
      {"NMA_qminput.inpcrd", 12, 0.0, {}, false},
      {"O2mol.rst7", 2, 0.0, {3.0, 0.0, 0.0}, false},
      {"old.inpcrd", 2101, 0.0, {}, false},
      {"prmcrd", 31, 0.0, {}, false},
      {"restrt", 12, 5.0, {1.9670023, 1.3211358, 0.3862271}, true},
      {"tz2.rst7", 223, 0.0, {}, true},
  };
  for (const Expected& e : kFiles) {
    SCOPED_TRACE(e.name);
    CAmberRestartFile rst(CorpusPath(std::string("rst/") + e.name));
    EXPECT_EQ(rst.GetNumberOfAtoms(), e.atoms);
    EXPECT_DOUBLE_EQ(rst.Time(), e.time);
    rst.SetFileFlag(kFileBox);
    ConsoleCapture console;
    rst.Read(0);
    EXPECT_EQ(console.Err(), "");
    ASSERT_EQ(rst.GetCartesian().size(), static_cast<size_t>(e.atoms));
    if (e.first_atom != Point{}) {
      EXPECT_EQ(rst.GetCartesian()[0], e.first_atom);
    }
    EXPECT_EQ(rst.GetForce().size(), e.velocities ? static_cast<size_t>(e.atoms) : 0u);
  }
  CAmberRestartFile nma(CorpusPath("rst/nma.rst7"));
  nma.SetFileFlag(kFileBox);
  nma.Read(0);
  EXPECT_EQ(nma.Box(), (std::vector<double>{30.735, 30.876, 28.485}));
  const std::string binary = CorpusPath("rst/ncinpcrd.rst7");
  EXPECT_EQ(ErrorOf([&] { CAmberRestartFile rst(binary); }), binary + " is not Amber RST file.\n");
}

}  // namespace
}  // namespace tarvex
