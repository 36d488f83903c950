// Outputs named through symbolic links, against the kernel's
// protected_symlinks rule: in a sticky folder that anyone may write, a link
// is followed only by its owner or when the folder's owner owns it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "../support/scratch_dir.h"
#include "common/console.h"
#include "common/exit.h"
#include "common/output_file.h"

namespace tarvex {
namespace {

using testing::ScratchDir;

constexpr uid_t kAnotherUser = 4242;

// Opens, writes and commits; the error line when the command would end.
std::string WriteThrough(const std::string& path, const std::string& text) {
  ConsoleCapture capture;
  try {
    OutputFile out;
    if (!out.Open(path)) return "cannot open";
    out.Write(text);
    out.Close();
    if (!CommitOutputs()) return "cannot commit";
  } catch (const ExitRequest&) {
    DiscardOutputs();
    return capture.Err();
  }
  return {};
}

// /tmp as the rule sees it: <root>/shared (sticky, 1777) holds the links;
// <root>/private/secret (0600) is what a planted link points at.
class OutputLinks : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir_.Path("shared"));
    ASSERT_EQ(::chmod(dir_.Path("shared").c_str(), 01777), 0);
    std::filesystem::create_directory(dir_.Path("private"));
    dir_.Write("private/secret", "secret\n");
    ::chmod(dir_.Path("private/secret").c_str(), 0600);
  }
  std::string Link(const std::string& name) {
    const std::string path = dir_.Path("shared/" + name);
    EXPECT_EQ(::symlink("../private/secret", path.c_str()), 0);
    return path;
  }
  ScratchDir dir_;
};

TEST_F(OutputLinks, AnOwnLinkIsWrittenThrough) {
  EXPECT_EQ(WriteThrough(Link("own.pdb"), "mine\n"), "");
  EXPECT_EQ(dir_.Read("private/secret"), "mine\n");
  EXPECT_TRUE(std::filesystem::is_symlink(dir_.Path("shared/own.pdb"))) << "the link stays a link";
}

TEST_F(OutputLinks, ALinkPlantedByAnotherUserIsRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a link to another user (CI runs as root)";
  const std::string planted = Link("planted.pdb");
  ASSERT_EQ(::lchown(planted.c_str(), kAnotherUser, kAnotherUser), 0);
  EXPECT_EQ(WriteThrough(planted, "replaced\n"),
            "Error: " + planted + " is a symbolic link of another user in the shared folder " + dir_.Path("shared") +
                "; it is not followed (remove it or write elsewhere).\n");
  EXPECT_EQ(dir_.Read("private/secret"), "secret\n");
  EXPECT_TRUE(std::filesystem::is_symlink(planted));
  // A link that lies a hop further down the chain is refused as well.
  ASSERT_EQ(::symlink(planted.c_str(), dir_.Path("hop.pdb").c_str()), 0);
  EXPECT_NE(WriteThrough(dir_.Path("hop.pdb"), "replaced\n"), "");
  EXPECT_EQ(dir_.Read("private/secret"), "secret\n");

  // The folder's owner's links are followed, and so is any link in a
  // folder that is not sticky.
  ASSERT_EQ(::chown(dir_.Path("shared").c_str(), kAnotherUser, kAnotherUser), 0);
  EXPECT_EQ(WriteThrough(planted, "by the owner\n"), "");
  EXPECT_EQ(dir_.Read("private/secret"), "by the owner\n");
  ASSERT_EQ(::chown(dir_.Path("shared").c_str(), 0, 0), 0);
  ASSERT_EQ(::chmod(dir_.Path("shared").c_str(), 0777), 0);
  EXPECT_EQ(WriteThrough(planted, "not sticky\n"), "");
  EXPECT_EQ(dir_.Read("private/secret"), "not sticky\n");
}

// A link to nothing is not followed: the link itself is replaced.
TEST_F(OutputLinks, ADanglingLinkIsReplaced) {
  const std::string dangling = dir_.Path("shared/dangling.pdb");
  ASSERT_EQ(::symlink("../private/none", dangling.c_str()), 0);
  EXPECT_EQ(WriteThrough(dangling, "here\n"), "");
  EXPECT_FALSE(std::filesystem::is_symlink(dangling));
  EXPECT_EQ(dir_.Read("shared/dangling.pdb"), "here\n");
  EXPECT_FALSE(dir_.Exists("private/none"));
}

}  // namespace
}  // namespace tarvex
