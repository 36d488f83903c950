#include "driver/analyzer.h"

#include <gtest/gtest.h>

#include "../support/scratch_dir.h"
#include "common/console.h"
#include "formats/amber_coord_file.h"
#include "formats/amber_restart_file.h"
#include "formats/amber_topology_file.h"

namespace tarvex {
namespace {

using testing::ScratchDir;

TEST(AnalyzerFiles, UnknownTypesFallBackOrAreSkipped) {
  testing::UseParameterFile("");
  ConsoleCapture console;
  auto data = CreateWithFallback(ResolveFile("traj", "", false), kDataFileFallback, Opening::kInputLater);
  EXPECT_NE(dynamic_cast<CAmberCoordFile*>(data.get()), nullptr);
  auto reference = CreateWithFallback(ResolveFile("a.prm", "prm", true), kReferenceFallback, Opening::kInputLater);
  EXPECT_NE(dynamic_cast<CAmberTopologyFile*>(reference.get()), nullptr);
  EXPECT_EQ(console.Err(),
            "Warning unknown datafile format: TRAJ\nInput datafile applies to the Amber CRD format.\n"
            "Warning unknown reference file format: PRM\nInput reference file applies to the Amber TOP format.\n");

  ScratchDir dir;
  std::vector<NamedFile> files = {
      ResolveFile(dir.Write("a.crd", "title\n"), "", false), ResolveFile(dir.Write("b.rst", "title\n 2\n"), "", false),
      ResolveFile(dir.Path("c.xyz"), "", false), ResolveFile(dir.Write("d", "title\n"), "amber_crd", true)};
  console.Clear();
  std::vector<std::unique_ptr<CDataFile>> opened;
  AppendInputFiles(files, kSkipUnknownInput, true, BoxInputs::kRestartsOnly, opened);
  EXPECT_EQ(console.Err(), "Warning: unknown input file format: " + dir.Path("c.xyz") + "\n");
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_FALSE(opened[0]->GetFileFlags() & kFileBox) << "trajectories get no box bit here";
  EXPECT_TRUE(opened[1]->GetFileFlags() & kFileBox);
  EXPECT_EQ(opened[2]->GetInputFileName(), dir.Path("d"));

  opened.clear();
  console.Clear();
  AppendInputFiles(files, {"Warning: unknown input file format: ", NameInWarning::kUpperType}, true,
                   BoxInputs::kTrajectoriesAndRestarts, opened);
  EXPECT_EQ(console.Err(), "Warning: unknown input file format: XYZ\n");
  EXPECT_TRUE(opened[0]->GetFileFlags() & kFileBox);
}

}  // namespace
}  // namespace tarvex
