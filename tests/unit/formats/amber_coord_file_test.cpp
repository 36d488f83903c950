#include "formats/amber_coord_file.h"

#include <gtest/gtest.h>

#include <cmath>

#include "amber_test_support.h"
#include "formats/amber_restart_file.h"
#include "formats/amber_titles.h"

namespace tarvex {
namespace {

using namespace amber_test;

// tiny.crd: 4 atoms, 3 frames; atom a of frame f is at (10f + a) + (0, 0.125, 0.25).
Point TinyPoint(int frame, int atom) {
  const double base = 10.0 * frame + atom;
  return {base, base + 0.125, base + 0.25};
}

std::unique_ptr<CAmberCoordFile> OpenTiny(const std::string& name, bool box = false) {
  auto crd = std::make_unique<CAmberCoordFile>(DataPath(name));
  crd->SetNumberOfAtoms(4);
  if (box) crd->SetFileFlag(kFileBox);
  return crd;
}

TEST(AmberCoordFile, ReadPicksTheRequestedFrame) {
  EXPECT_EQ(OpenTiny("tiny.crd")->GetTitle(), "tiny trajectory");
  for (auto [which, frame] : {std::pair{0, 0}, {1, 0}, {2, 1}, {-1, 2}, {5, 2}}) {
    auto crd = OpenTiny("tiny.crd");
    crd->Read(which);
    ASSERT_EQ(crd->GetCartesian().size(), 4u) << which;
    EXPECT_EQ(crd->GetCartesian()[3], TinyPoint(frame, 3)) << which;
  }
}

TEST(AmberCoordFile, StreamsFrameByFrameThenNothing) {
  auto crd = OpenTiny("tiny_box.crd", true);
  for (int frame = 0; frame < 3; ++frame) {
    crd->Read(1);
    ASSERT_EQ(crd->GetCartesian().size(), 4u);
    EXPECT_EQ(crd->GetCartesian()[0], TinyPoint(frame, 0));
    EXPECT_EQ(crd->Box(), (std::vector<double>{20.0 + frame, 21.0 + frame, 22.0 + frame}));
  }
  ConsoleCapture console;
  crd->Read(1);
  EXPECT_TRUE(crd->GetCartesian().empty());
  EXPECT_EQ(console.Err(), "");
}

TEST(AmberCoordFile, ZeroAtomsReadsNothing) {
  CAmberCoordFile crd(DataPath("tiny.crd"));
  crd.Read(0);
  EXPECT_TRUE(crd.GetCartesian().empty());
}

// A wrong BOX setting shifts the frames; the numbers left over are reported.
TEST(AmberCoordFile, FileEndingInsideAFrameIsReported) {
  auto crd = OpenTiny("tiny.crd", true);
  ConsoleCapture console;
  crd->Read(-1);
  EXPECT_EQ(crd->GetCartesian()[0], TinyPoint(1, 1)) << "frame 2 starts 15 numbers in";
  EXPECT_EQ(console.Err(), "Warning: " + DataPath("tiny.crd") +
                               " ends inside a frame: 6 numbers left over after 2 frames of 4 atoms with a box"
                               " (15 numbers each); the partial frame was dropped.\n");
  crd->Read(1);
  EXPECT_TRUE(crd->GetCartesian().empty());
  EXPECT_EQ(console.Err().find('\n'), console.Err().size() - 1) << "one warning only";
}

TEST(AmberCoordFile, WordThatIsNoNumberStopsReading) {
  const std::string path = WriteScratch("stars.crd", "title\n1 2 3 4 5 6\n7 ******** 9 10 11 12\n");
  CAmberCoordFile crd(path);
  crd.SetNumberOfAtoms(2);
  ConsoleCapture console;
  crd.ReadAll(-1);
  EXPECT_EQ(crd.GetNumberOfMolecules(), 1);
  EXPECT_EQ(console.Err(), "Warning: " + path + ": \"********\" is not a number; reading stopped after 1 frames.\n");
}

TEST(AmberCoordFile, ReadAllKeepsEveryFrame) {
  auto crd = OpenTiny("tiny.crd");
  crd->ReadAll(1);
  EXPECT_EQ(crd->GetNumberOfMolecules(), 3);
  EXPECT_EQ(crd->GetCartesianAll()[2][1], TinyPoint(2, 1));
  EXPECT_EQ(crd->GetCartesian()[0], TinyPoint(1, 0));
  auto beyond = OpenTiny("tiny.crd");
  EXPECT_EQ(ErrorOf([&] { beyond->ReadAll(3); }),
            "Error: " + DataPath("tiny.crd") + " holds 3 frames; frame 4 does not exist.\n");
}

TEST(AmberCoordFile, EmptyOrBinaryFileIsNoTrajectory) {
  const std::string empty = WriteScratch("empty.crd", "");
  EXPECT_EQ(ErrorOf([&] { CAmberCoordFile crd(empty); }), empty + " is not Amber CRD file.\n");
  const std::string binary = WriteScratch("binary.crd", std::string("CDF\x02\0\0\n", 7));
  EXPECT_EQ(ErrorOf([&] { CAmberCoordFile crd(binary); }), binary + " is not Amber CRD file.\n");
}

// Four atoms make a line of ten numbers and one of two; the title heads only
// the first CRD file written in the run; the box continues the count of ten.
TEST(AmberCoordFile, WriterLayoutAndTitleOnce) {
  AmberTitlesWritten() = {};
  const std::string first = WriteScratch("first.crd", "");
  const std::string second = WriteScratch("second.crd", "");
  for (const std::string& path : {first, second}) {
    auto crd = OpenTiny("tiny.crd");
    crd->Read(0);
    crd->SetFileFlag(kFileBox);
    crd->SetBox(path == second ? std::vector<double>{40.5, 41.0, -1234.5678} : std::vector<double>{});
    crd->OpenOutput(path, true);
    crd->Write();
  }
  ASSERT_TRUE(CommitOutputs());
  EXPECT_EQ(ReadWhole(first),
            "tiny trajectory\n"
            "   0.000   0.125   0.250   1.000   1.125   1.250   2.000   2.125   2.250   3.000\n"
            "   3.125   3.250\n");
  EXPECT_EQ(ReadWhole(second),
            "   0.000   0.125   0.250   1.000   1.125   1.250   2.000   2.125   2.250   3.000\n"
            "   3.125   3.250  40.500  41.000-1234.568\n");
  AmberTitlesWritten() = {};
}

TEST(AmberCoordFile, ReadsCorpusTrajectories) {
  SKIP_WITHOUT_CORPUS();
  struct Expected {
    const char* name;
    int atoms;
    bool box;
    int frames;
    Point first_atom;
    std::vector<double> last_box;
  };
  const Expected kFiles[] = {
      {"tz2.crd", 223, false, 101, {-1.889, 9.159, 7.569}, {}},
      {"ache.mdcrd", 252, false, 11, {32.555, 24.652, 14.213}, {}},
      {"mdcrd", 12, false, 20, {1.903, 0.539, 1.460}, {}},
      {"capped-ala.mdcrd", 5071, true, 11, {}, {41.123, 43.772, 39.271}},
      {"tz2.truncoct.crd", 5827, true, 10, {}, {42.428, 42.428, 42.428}},
  };
  for (const Expected& e : kFiles) {
    SCOPED_TRACE(e.name);
    CAmberCoordFile crd(CorpusPath(std::string("crd/") + e.name));
    crd.SetNumberOfAtoms(e.atoms);
    if (e.box) crd.SetFileFlag(kFileBox);
    ConsoleCapture console;
    crd.ReadAll(0);
    EXPECT_EQ(console.Err(), "");
    EXPECT_EQ(crd.GetNumberOfMolecules(), e.frames);
    if (e.first_atom != Point{}) {
      EXPECT_EQ(crd.GetCartesian()[0], e.first_atom);
    }
    if (!e.last_box.empty()) {
      EXPECT_EQ(crd.Box(), e.last_box);
    }
  }
}

// The first frame of the MD run is its starting structure, to the 3
// decimals the trajectory keeps.
TEST(AmberCoordFile, CorpusTrajectoryStartsAtItsRestart) {
  SKIP_WITHOUT_CORPUS();
  CAmberRestartFile start(CorpusPath("rst/NMA.inpcrd"));
  start.Read(0);
  CAmberCoordFile crd(CorpusPath("crd/mdcrd"));
  crd.SetNumberOfAtoms(12);
  crd.Read(1);
  ASSERT_EQ(crd.GetCartesian().size(), 12u);
  for (size_t i = 0; i < 12; ++i) {
    for (size_t k = 0; k < 3; ++k) EXPECT_NEAR(crd.GetCartesian()[i][k], start.GetCartesian()[i][k], 5e-4);
  }
}

TEST(AmberCoordFile, CorpusBrokenTrajectoryKeepsItsWholeFrames) {
  SKIP_WITHOUT_CORPUS();
  CAmberCoordFile crd(CorpusPath("crd/broken.tz2.crd"));
  crd.SetNumberOfAtoms(223);
  ConsoleCapture console;
  crd.ReadAll(-1);
  EXPECT_EQ(crd.GetNumberOfMolecules(), 100);
  EXPECT_NE(console.Err().find("ends inside a frame: 660 numbers left over after 100 frames"), std::string::npos);
}

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

// Only the needed atoms are converted; the others are NaN, also in the
// buffers reused frame after frame and after the needed atoms change.
TEST(AmberCoordFile, NeededAtomsOnly) {
  auto crd = std::make_unique<CAmberCoordFile>(amber_test::DataPath("tiny.crd"));
  crd->SetNumberOfAtoms(4);
  crd->SetNeededAtoms({2, 0});
  for (int frame = 0; frame < 3; ++frame) {
    if (frame == 2) crd->SetNeededAtoms({1});
    crd->Read(1);
    const Frame& points = crd->GetCartesian();
    ASSERT_EQ(points.size(), 4u);
    for (int atom = 0; atom < 4; ++atom) {
      const bool needed = frame == 2 ? atom == 1 : (atom == 0 || atom == 2);
      const double base = 10.0 * frame + atom;
      if (needed) {
        EXPECT_EQ(points[atom], (Point{base, base + 0.125, base + 0.25}));
      } else {
        EXPECT_TRUE(std::isnan(points[atom][1])) << "frame " << frame << " atom " << atom;
      }
    }
  }
}

}  // namespace
}  // namespace tarvex
