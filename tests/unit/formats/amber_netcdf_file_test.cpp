#include "formats/amber_netcdf_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "amber_test_support.h"
#include "formats/amber_coord_file.h"

namespace tarvex {
namespace {

using namespace amber_test;

std::string NetcdfPath(const std::string& name) { return std::string(TARVEX_TEST_DATA) + "/netcdf/" + name; }

#if TARVEX_HAVE_NETCDF

// tiny.nc: 4 atoms, 3 frames, atom a of frame f at (10f + a) + (0, 0.125,
// 0.25), as tiny.crd; box lengths 20 + f, 21 + f, 22 + f, angles 90, 90, 90 - f.
Point TinyPoint(int frame, int atom) {
  const double base = 10.0 * frame + atom;
  return {base, base + 0.125, base + 0.25};
}

TEST(AmberNetcdfFile, StreamsFramesWithTheirBoxes) {
  CAmberNetcdfFile nc(NetcdfPath("tiny.nc"));
  EXPECT_EQ(nc.GetTitle(), "tiny trajectory");
  for (int frame = 0; frame < 3; ++frame) {
    nc.Read(1);
    ASSERT_EQ(nc.GetCartesian().size(), 4u);
    EXPECT_EQ(nc.GetNumberOfAtoms(), 4) << "the file names its atom count";
    EXPECT_EQ(nc.GetCartesian()[3], TinyPoint(frame, 3));
    EXPECT_EQ(nc.Box(), (std::vector<double>{20.0 + frame, 21.0 + frame, 22.0 + frame}));
    EXPECT_EQ(nc.BoxAngles(), (std::vector<double>{90.0, 90.0, 90.0 - frame}));
  }
  nc.Read(1);
  EXPECT_TRUE(nc.GetCartesian().empty());
}

TEST(AmberNetcdfFile, ReadPicksTheRequestedFrameAsTheCrdReader) {
  for (auto [which, frame] : {std::pair{0, 0}, {1, 0}, {2, 1}, {-1, 2}, {5, 2}}) {
    CAmberNetcdfFile nc(NetcdfPath("tiny.nc"));
    CAmberCoordFile crd(DataPath("tiny.crd"));
    crd.SetNumberOfAtoms(4);
    nc.Read(which);
    crd.Read(which);
    EXPECT_EQ(nc.GetCartesian(), crd.GetCartesian()) << which;
    EXPECT_EQ(nc.GetCartesian()[0], TinyPoint(frame, 0)) << which;
  }
  CAmberNetcdfFile nc(NetcdfPath("tiny.nc"));
  nc.ReadAll(1);
  EXPECT_EQ(nc.GetCartesianAll().size(), 3u);
  EXPECT_EQ(nc.GetNumberOfMolecules(), 3);
  EXPECT_EQ(nc.GetCartesian()[2], TinyPoint(1, 2));
  CAmberNetcdfFile beyond(NetcdfPath("tiny.nc"));
  EXPECT_EQ(ErrorOf([&] { beyond.ReadAll(3); }),
            "Error: " + NetcdfPath("tiny.nc") + " holds 3 frames; frame 4 does not exist.\n");
}

// Only the needed atoms are read; the others are NaN.
TEST(AmberNetcdfFile, ReadsOnlyTheNeededAtoms) {
  CAmberNetcdfFile nc(NetcdfPath("tiny.nc"));
  nc.SetNeededAtoms({3, 1, -1, 2, 9});  // -1: an atom not found
  nc.Read(2);
  const Frame& frame = nc.GetCartesian();
  ASSERT_EQ(frame.size(), 4u);
  EXPECT_TRUE(std::isnan(frame[0][0]));
  for (int atom = 1; atom < 4; ++atom) EXPECT_EQ(frame[atom], TinyPoint(1, atom));
}

// A NetCDF-4 (HDF5) file whose coordinates are stored halved, with
// scale_factor 0.5.
TEST(AmberNetcdfFile, AppliesScaleFactorsInHdf5Files) {
  CAmberNetcdfFile nc(NetcdfPath("tiny_scaled.nc"));
  nc.Read(-1);
  EXPECT_EQ(nc.GetCartesian()[3], TinyPoint(2, 3));
  EXPECT_EQ(nc.Box(), (std::vector<double>{0.0, 0.0, 0.0})) << "no box variables";
}

// tiny.ncrst holds what tiny_vel.rst holds, with a box.
TEST(AmberNetcdfRestartFile, ReadsCoordinatesVelocitiesBoxAndTime) {
  CAmberNetcdfRestartFile nc(NetcdfPath("tiny.ncrst"));
  EXPECT_EQ(nc.GetNumberOfAtoms(), 3);
  EXPECT_EQ(nc.GetTitle(), "tiny restart");
  EXPECT_EQ(nc.Time(), 10.0);
  nc.Read(0);
  ASSERT_EQ(nc.GetCartesian().size(), 3u);
  EXPECT_EQ(nc.GetCartesian()[2], (Point{7.0, -8.125, 9.5}));
  ASSERT_EQ(nc.GetForce().size(), 3u);
  EXPECT_NEAR(nc.GetForce()[1][2], -0.6, 1e-12) << "Amber's stored velocities are the text restart's";
  EXPECT_EQ(nc.Box(), (std::vector<double>{30.0, 31.0, 32.0}));
  nc.Read(0);
  EXPECT_TRUE(nc.GetCartesian().empty()) << "a restart holds one structure";
}

TEST(AmberNetcdfFile, BadFilesEndWithOneLine) {
  const std::string truncated = WriteScratch("cut.nc", ReadWhole(NetcdfPath("tiny.nc")).substr(0, 700));
  EXPECT_EQ(ErrorOf([] { CAmberNetcdfFile nc(NetcdfPath("no_frames.nc")); }),
            "Error: " + NetcdfPath("no_frames.nc") + " holds no frames.\n");
  EXPECT_EQ(
      ErrorOf([] { CAmberNetcdfFile nc(NetcdfPath("no_coordinates.nc")); }),
      "Error: " + NetcdfPath("no_coordinates.nc") + " holds no coordinates; it is not an Amber NetCDF trajectory.\n");
  EXPECT_EQ(ErrorOf([] { CAmberNetcdfFile nc(NetcdfPath("tiny.ncrst")); }),
            "Error: " + NetcdfPath("tiny.ncrst") +
                ": its coordinates are not frame x atom x 3; it is not an Amber NetCDF trajectory.\n");
  EXPECT_EQ(
      ErrorOf([] { CAmberNetcdfRestartFile nc(NetcdfPath("tiny.nc")); }),
      "Error: " + NetcdfPath("tiny.nc") + ": its coordinates are not atom x 3; it is not an Amber NetCDF restart.\n");
  EXPECT_EQ(ErrorOf([] {
              CAmberNetcdfFile nc(NetcdfPath("not_netcdf.nc"));
            }).rfind("Error: " + NetcdfPath("not_netcdf.nc") + " is not a NetCDF file (", 0),
            0u);
  // The library would read zeros for the missing bytes.
  EXPECT_EQ(ErrorOf([&] { CAmberNetcdfFile nc(truncated); }),
            "Error: " + truncated +
                " is cut short at frame 2, atom 2: it holds 700 of the 876 bytes its header describes.\n");
  const std::string hdf5 = WriteScratch("cut4.nc", ReadWhole(NetcdfPath("tiny_scaled.nc")).substr(0, 5000));
  EXPECT_EQ(ErrorOf([&] { CAmberNetcdfFile nc(hdf5); }),
            "Error: " + hdf5 + " is cut short: it holds 5000 of the " +
                std::to_string(ReadWhole(NetcdfPath("tiny_scaled.nc")).size()) + " bytes its header describes.\n");
  CAmberNetcdfFile five(NetcdfPath("tiny.nc"));
  five.SetNumberOfAtoms(5);
  EXPECT_EQ(ErrorOf([&] { five.Read(1); }),
            "Error: " + NetcdfPath("tiny.nc") + " holds 4 atoms, but 5 are expected (from the topology or -n).\n");
  CAmberNetcdfRestartFile output;
  EXPECT_EQ(ErrorOf([&] { output.Write(); }),
            "Error: Amber NetCDF restarts are read only; write an Amber RST file instead.\n");
}

// Headers that declare what the file cannot hold end at once in one line,
// before the library reads (or allocates) anything of that size.
TEST(AmberNetcdfFile, LyingHeadersEndAtOnce) {
  std::string lying = ReadWhole(NetcdfPath("tiny.nc"));
  lying.replace(4, 4, std::string("\x00\x98\x96\x80", 4));  // ten million records
  const std::string many = WriteScratch("many.nc", lying);
  EXPECT_EQ(ErrorOf([&] { CAmberNetcdfFile nc(many); }),
            "Error: " + many +
                " is cut short at frame 4, atom 1: it holds 876 of the 1000000576 bytes its header "
                "describes.\n");
  const std::string dimensions =
      WriteScratch("dimensions.nc", std::string("CDF\x01\0\0\0\0\0\0\0\x0a\x7f\xff\xff\xff", 16));
  EXPECT_EQ(ErrorOf([&] { CAmberNetcdfFile nc(dimensions); }),
            "Error: " + dimensions +
                " has a damaged NetCDF header: it declares 2147483647 dimensions, more than its 16 bytes can hold.\n");
  EXPECT_EQ(ErrorOf([] { CAmberNetcdfFile nc(NetcdfPath("huge_atoms.nc")); }),
            "Error: " + NetcdfPath("huge_atoms.nc") +
                " declares 1 frame of 200000000 atoms (2400000000 bytes of coordinates), more than its 13466 bytes "
                "can hold.\n");
  EXPECT_EQ(ErrorOf([] { CAmberNetcdfFile nc(NetcdfPath("many_frames.nc")); }),
            "Error: " + NetcdfPath("many_frames.nc") +
                " declares 10000000 frames of 4 atoms (480000000 bytes of coordinates), more than its 6708 bytes "
                "can hold.\n");
}

// Coordinates never written hold the fill value: the library's default, or
// the variable's own _FillValue. Frames before are read as usual.
TEST(AmberNetcdfFile, FillValuesAreCoordinatesNeverWritten) {
  CAmberNetcdfFile classic(NetcdfPath("fill_frame.nc"));
  classic.Read(0);
  EXPECT_EQ(classic.GetCartesian()[1], (Point{4.0, 5.0, 6.0}));
  EXPECT_EQ(ErrorOf([&] { classic.Read(0); }),
            "Error: " + NetcdfPath("fill_frame.nc") +
                ", frame 2, atom 1: no coordinates were written (the fill value 9.969209968386869e+36 stands in their "
                "place).\n");
  CAmberNetcdfFile declared(NetcdfPath("fill_declared.nc"));
  declared.SetNeededAtoms({0});
  declared.Read(0);
  EXPECT_EQ(declared.GetCartesian()[0], (Point{1.0, 2.0, 3.0})) << "atom 2 is not read";
  CAmberNetcdfFile whole(NetcdfPath("fill_declared.nc"));
  EXPECT_EQ(ErrorOf([&] { whole.Read(0); }),
            "Error: " + NetcdfPath("fill_declared.nc") +
                ", frame 1, atom 2: no coordinates were written (the fill value -1 stands in their place).\n");
}

// convert -a's path: every kept frame (-s 2 keeps the 2nd and 4th) into
// one file, read back by our reader; a single Write is a one-frame file.
TEST(AmberNetcdfFile, WrittenTrajectoriesReadBack) {
  const std::string path = WriteScratch("written.nc", "");
  std::vector<Frame> frames;
  for (int f = 0; f < 4; ++f) frames.push_back({{f + 0.125, -2.5, 1e3}, {3.0, f * -1.75, 0.0}});
  CAmberNetcdfFile output;
  output.OpenOutput(path, false);
  size_t k = 0;
  output.WriteFrames(
      2, 4,
      [&](Frame& frame) {
        if (k == frames.size()) return false;
        frame = frames[k++];
        return true;
      },
      false);
  ASSERT_TRUE(CommitOutputs());
  CAmberNetcdfFile input(path);
  input.ReadAll(0);
  ASSERT_EQ(input.GetCartesianAll().size(), 2u);
  EXPECT_EQ(input.GetNumberOfAtoms(), 2);
  for (size_t f = 0; f < 2; ++f) {
    for (size_t a = 0; a < 2; ++a) {
      for (size_t c = 0; c < 3; ++c) {
        EXPECT_FLOAT_EQ(static_cast<float>(input.GetCartesianAll()[f][a][c]),
                        static_cast<float>(frames[2 * f + 1][a][c]));
      }
    }
  }
  CAmberNetcdfFile one;
  one.OpenOutput(path, true);
  one.GetCartesian() = frames[0];
  one.Write();
  ASSERT_TRUE(CommitOutputs());
  CAmberNetcdfFile again(path);
  again.ReadAll(0);
  ASSERT_EQ(again.GetCartesianAll().size(), 1u);
  EXPECT_DOUBLE_EQ(again.GetCartesianAll()[0][0][0], 0.125);
}

// The corpus against the CRD copy of tz2 (three decimals) and against the
// values ParmEd reads from the others; scaled_traj.nc against netCDF4-python,
// which applies the scale factors (ParmEd gives the stored values).
TEST(AmberNetcdfFile, CorpusFilesAgreeWithTheirPeers) {
  SKIP_WITHOUT_CORPUS();
  CAmberNetcdfFile nc(CorpusPath("nc/tz2.nc"));
  CAmberCoordFile crd(CorpusPath("crd/tz2.crd"));
  crd.SetNumberOfAtoms(223);
  int frames = 0;
  for (;; ++frames) {
    nc.Read(1);
    crd.Read(1);
    ASSERT_EQ(nc.GetCartesian().size(), crd.GetCartesian().size());
    if (nc.GetCartesian().empty()) break;
    for (size_t a = 0; a < 223; ++a) {
      for (int k = 0; k < 3; ++k) ASSERT_NEAR(nc.GetCartesian()[a][k], crd.GetCartesian()[a][k], 0.0005001);
    }
  }
  EXPECT_EQ(frames, 101);
  struct Expected {
    const char* name;
    int frames;
    int atoms;
    Point first;  // atom 1 of frame 1
    Point last;   // the last atom of the last frame
    double box;   // first box length of frame 1
  };
  const Expected files[] = {
      {"nc/water.nc",
       100,
       297,
       {0.4172190725803375, 8.303365707397461, 11.73717212677002},
       {7.089802265167236, 10.350066184997559, 12.815897941589355},
       15.0},
      {"nc/scaled_traj.nc",
       26,
       1938,
       {0.6324499845504761, 0.6324499845504761, 0.0},
       {14.371776580810547, 13.772340774536133, 5.197888374328613},
       107.608873},
      {"nc/tz2.truncoct.nc",
       10,
       5827,
       {0.07762779295444489, 3.174408197402954, -8.843857765197754},
       {2.4820363521575928, -3.3058931827545166, 8.453265190124512},
       42.438848534885814},
  };
  for (const Expected& file : files) {
    CAmberNetcdfFile trajectory(CorpusPath(file.name));
    trajectory.Read(1);
    EXPECT_EQ(trajectory.GetNumberOfAtoms(), file.atoms) << file.name;
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(trajectory.GetCartesian()[0][k], file.first[k], 1e-5) << file.name;
    EXPECT_NEAR(trajectory.Box()[0], file.box, 1e-5) << file.name;
    trajectory.ReadAll(-1);
    EXPECT_EQ(trajectory.GetNumberOfMolecules(), file.frames - 1) << file.name << ": the frames after the first";
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(trajectory.GetCartesian().back()[k], file.last[k], 1e-5) << file.name;
  }
  CAmberNetcdfRestartFile restart(CorpusPath("nc/water.ncrst"));
  EXPECT_EQ(restart.Time(), 2020.0);
  restart.Read(0);
  ASSERT_EQ(restart.GetCartesian().size(), 297u);
  EXPECT_EQ(restart.GetCartesian().back(), (Point{6.66404914855957, 11.61418342590332, 12.961485862731934}));
  EXPECT_TRUE(restart.GetForce().empty());
  EXPECT_EQ(restart.Box(), (std::vector<double>{15.0, 15.0, 15.0}));
}

#else

TEST(AmberNetcdfFile, RefusedWhenNotBuiltIn) {
  EXPECT_EQ(ErrorOf([] { CAmberNetcdfFile nc(NetcdfPath("tiny.nc")); }),
            "Error: " + NetcdfPath("tiny.nc") +
                " is an Amber NetCDF file, and NetCDF support was not built in (see README: libnetcdf).\n");
}

#endif

}  // namespace
}  // namespace tarvex
