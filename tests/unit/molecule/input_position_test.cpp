// How far the reading of an input has come, as the progress line asks after
// every frame: it grows frame by frame and ends at the input's size; a
// compressed input counts what it gives and has no size.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "../support/scratch_dir.h"
#include "formats/amber_coord_file.h"
#include "formats/amber_netcdf_file.h"

#if TARVEX_HAVE_ZLIB
#include <zlib.h>
#endif

namespace tarvex {
namespace {

const std::string kTrajectory = std::string(TARVEX_TEST_DATA) + "/amber/getdun.crd";

// Reads every frame, checking that the position grows with each; returns
// the frames read.
int ReadToTheEnd(CDataFile& file) {
  uint64_t last = file.GetInputPosition().read;
  int frames = 0;
  for (;;) {
    file.Read(0);
    if (file.GetCartesian().empty()) return frames;
    const uint64_t now = file.GetInputPosition().read;
    EXPECT_GT(now, last) << "frame " << frames + 1;
    last = now;
    ++frames;
  }
}

TEST(InputPosition, PlainTrajectoryEndsAtItsSize) {
  const uint64_t size = std::filesystem::file_size(kTrajectory);
  CAmberCoordFile crd(kTrajectory);
  crd.SetNumberOfAtoms(5);
  EXPECT_EQ(crd.GetInputPosition().size, size);
  EXPECT_EQ(ReadToTheEnd(crd), 4);
  EXPECT_EQ(crd.GetInputPosition().read, size);
}

#if TARVEX_HAVE_ZLIB
TEST(InputPosition, CompressedTrajectoryHasNoSize) {
  std::ifstream in(kTrajectory, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  testing::ScratchDir dir;
  gzFile packed = gzopen(dir.Path("getdun.crd.gz").c_str(), "wb");
  ASSERT_NE(packed, nullptr);
  gzwrite(packed, text.data(), static_cast<unsigned>(text.size()));
  gzclose(packed);
  CAmberCoordFile crd(dir.Path("getdun.crd.gz"));
  crd.SetNumberOfAtoms(5);
  EXPECT_EQ(crd.GetInputPosition().size, 0u);
  EXPECT_EQ(ReadToTheEnd(crd), 4);
  EXPECT_EQ(crd.GetInputPosition().read, text.size());
}
#endif

#if TARVEX_HAVE_NETCDF
TEST(InputPosition, NetcdfTrajectoryByTheFramesRead) {
  const std::string name = std::string(TARVEX_TEST_DATA) + "/netcdf/tiny.nc";
  const uint64_t size = std::filesystem::file_size(name);
  CAmberNetcdfFile nc(name);
  EXPECT_EQ(nc.GetInputPosition().size, size);
  EXPECT_EQ(nc.GetInputPosition().read, 0u);
  EXPECT_GT(ReadToTheEnd(nc), 0);
  EXPECT_EQ(nc.GetInputPosition().read, size);
}
#endif

}  // namespace
}  // namespace tarvex
