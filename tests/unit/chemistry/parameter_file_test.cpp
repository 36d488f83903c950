#include "chemistry/parameter_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../formats/pdb_test_files.h"
#include "../support/scratch_dir.h"
#include "chemistry/parameters.h"
#include "common/run_settings.h"

namespace tarvex {
namespace {

using testing::ScratchDir;
using testing_files::ErrorOf;

std::vector<std::string> Texts(const ParameterFile& file, ParameterSection section) {
  std::vector<std::string> texts;
  for (const ParameterLine& line : file.Section(section)) texts.push_back(line.text);
  return texts;
}

// Every empty line (blanks only count as empty) ends a section, comments
// are left out, and each line keeps its number in the file for messages.
TEST(ParameterFile, SectionsCutAtEveryEmptyLine) {
  ScratchDir dir;
  testing::UseParameterFile(dir.Write("parm.dat",
                                      "# bond lengths\r\n"
                                      "C C 1.5\r\n"
                                      "  \t \r\n"
                                      "C 3 (4C)\n"
                                      "\n"
                                      "\n"
                                      "# PARSE radii, the radius types left empty\n"
                                      "CL 1.75\n"
                                      " # read: not in the first column\n"
                                      "\n"
                                      "after the last section\n"));
  const ParameterFile& file = RunParameterFile();
  ASSERT_TRUE(file.Found());
  EXPECT_EQ(file.path, dir.Path("parm.dat"));
  EXPECT_EQ(Texts(file, ParameterSection::kBondLengths), (std::vector<std::string>{"C C 1.5"}));
  EXPECT_EQ(Texts(file, ParameterSection::kTypingRows), (std::vector<std::string>{"C 3 (4C)"}));
  EXPECT_TRUE(file.Section(ParameterSection::kRadiusTypes).empty()) << "two empty lines leave an empty section";
  EXPECT_EQ(Texts(file, ParameterSection::kParseRadii),
            (std::vector<std::string>{"CL 1.75", " # read: not in the first column"}));
  EXPECT_EQ(file.Section(ParameterSection::kParseRadii)[1].number, 9u);
  EXPECT_EQ(file.Section(ParameterSection::kTypingRows)[0].number, 4u);
  testing::UseParameterFile("");
}

// The file is read once: a file changed (or a pipe drained) after the first
// record still gives every reader the sections read then.
TEST(ParameterFile, ReadOncePerProcess) {
  ScratchDir dir;
  const std::string path = dir.Write("parm.dat", "C C 1.5\n\nC 3 (4C)\n\n7 (*)\n\nH 1.1\n");
  testing::UseParameterFile(path);
  EXPECT_EQ(Texts(RunParameterFile(), ParameterSection::kRadiusTypes), (std::vector<std::string>{"7 (*)"}));
  dir.Write("parm.dat", "");
  EXPECT_EQ(Texts(RunParameterFile(), ParameterSection::kParseRadii), (std::vector<std::string>{"H 1.1"}));
  ResetParameterRegistry();
  EXPECT_TRUE(RunParameterFile().Found()) << "read afresh after a reset";
  EXPECT_TRUE(RunParameterFile().Section(ParameterSection::kBondLengths).empty());
  testing::UseParameterFile("");
}

TEST(ParameterFile, NotFoundAnywhere) {
  ScratchDir dir;
  testing::UseParameterFile("");
  Settings().parameter_file = "tarvex_parm.dat";
  Settings().search_path = {dir.Root(), "/nonexistent"};
  EXPECT_FALSE(RunParameterFile().Found());
  for (const auto& section : RunParameterFile().sections) EXPECT_TRUE(section.empty());
  Settings().search_path = {dir.Root() + "/", dir.Root()};
  dir.Write("tarvex_parm.dat", "N N 1.4\n");
  ResetParameterRegistry();
  EXPECT_EQ(RunParameterFile().path, dir.Root() + "//tarvex_parm.dat") << "the first directory that holds it";
  testing::UseParameterFile("");
}

// -f names the file: one that cannot be opened is an error, and one that
// comes through a pipe (-f <(zcat parm.dat.gz)) keeps every section.
TEST(ParameterFile, NamedFileMustOpenAndMayBeAPipe) {
  testing::UseParameterFile("/nonexistent/parm.dat");
  EXPECT_EQ(ErrorOf([] { RunParameterFile(); }),
            "Error: the parameter file /nonexistent/parm.dat given with -f cannot be opened.\n");
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  const std::string text = "C C 1.5\n\nC 3 (4C)\n\n7 (*)\n\nH 1.1\n";
  ASSERT_EQ(::write(ends[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
  ::close(ends[1]);
  testing::UseParameterFile("/dev/fd/" + std::to_string(ends[0]));
  const ParameterFile& file = RunParameterFile();
  EXPECT_EQ(Texts(file, ParameterSection::kBondLengths), (std::vector<std::string>{"C C 1.5"}));
  EXPECT_EQ(Texts(file, ParameterSection::kTypingRows), (std::vector<std::string>{"C 3 (4C)"}));
  EXPECT_EQ(Texts(file, ParameterSection::kRadiusTypes), (std::vector<std::string>{"7 (*)"}));
  EXPECT_EQ(Texts(file, ParameterSection::kParseRadii), (std::vector<std::string>{"H 1.1"}));
  ::close(ends[0]);
  testing::UseParameterFile("");
}

// A file the search finds (the default name in the working folder, or in a
// TARVEXPATH folder) is read only when it is the user's own and no one else
// may write it; the same file named with -f is read as the user chose.
TEST(ParameterFile, SearchedFileMustBeTheUsers) {
  ScratchDir dir;
  const std::string path = dir.Write("tarvex_parm.dat", "N N 1.4\n");
  const auto search = [&] {
    testing::UseParameterFile("");
    Settings().parameter_file = kDefaultParameterFile;
    Settings().parameter_file_named = false;
    Settings().search_path = {dir.Root()};
  };
  const std::string refused = "Error: the parameter file " + dir.Root() + "/tarvex_parm.dat, found by the search, ";
  const std::string tail = ": it is not read (name it with -f to use it).\n";
  ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
  search();
  EXPECT_EQ(ErrorOf([] { RunParameterFile(); }), refused + "can be written by any user" + tail);
  testing::UseParameterFile(path);
  EXPECT_TRUE(RunParameterFile().Found()) << "named with -f";
  ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
  search();
  EXPECT_TRUE(RunParameterFile().Found());
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(path.c_str(), 4242, 4242), 0);
    search();
    EXPECT_EQ(ErrorOf([] { RunParameterFile(); }), refused + "belongs to another user (uid 4242)" + tail);
    testing::UseParameterFile(path);
    EXPECT_TRUE(RunParameterFile().Found()) << "named with -f";
  }
  testing::UseParameterFile("");
  Settings().parameter_file_named = false;
}

}  // namespace
}  // namespace tarvex
