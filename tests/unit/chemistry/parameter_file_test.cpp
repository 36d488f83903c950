#include "chemistry/parameter_file.h"

#include <gtest/gtest.h>

#include "../support/scratch_dir.h"
#include "chemistry/parameters.h"
#include "common/run_settings.h"

namespace tarvex {
namespace {

using testing::ScratchDir;

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

}  // namespace
}  // namespace tarvex
