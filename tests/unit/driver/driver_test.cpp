#include "driver/driver.h"

#include <gtest/gtest.h>

#include "common/console.h"
#include "common/run_settings.h"
#include "driver/selection.h"

namespace tarvex {
namespace {

TEST(SearchPath, SplitsAtColonsAndSemicolons) {
  EXPECT_EQ(SplitSearchPath("/opt/a:/opt/b"), (std::vector<std::string>{"/opt/a", "/opt/b"}));
  EXPECT_EQ(SplitSearchPath("C:\\x;D:\\y"), (std::vector<std::string>{"C:\\x", "D:\\y"}));
  EXPECT_EQ(SplitSearchPath(""), (std::vector<std::string>{""}));
  EXPECT_EQ(SplitSearchPath("a;;b"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitSearchPath("a:b;c:"), (std::vector<std::string>{"a", "b", "c", ""}));
  std::string many;
  for (int i = 0; i < 500; ++i) many += std::string(300, 'd') + ":";
  EXPECT_EQ(SplitSearchPath(many).size(), 501u);
}

TEST(SearchPath, TarvexPathHidesTheOtherVariable) {
  ::setenv("TARVEX_PATH", "/opt/a:/opt/b", 1);
  ::unsetenv("TARVEXPATH");
  { CDriver driver; }
  EXPECT_EQ(Settings().search_path, (std::vector<std::string>{"/opt/a", "/opt/b"}));
  ::setenv("TARVEXPATH", "", 1);
  { CDriver driver; }
  EXPECT_EQ(Settings().search_path, (std::vector<std::string>{""}));
  ::unsetenv("TARVEXPATH");
  ::unsetenv("TARVEX_PATH");
  Settings().search_path.clear();
}

TEST(ProgramName, DropsTheDirectoryKeepsTheExtension) {
  EXPECT_EQ(ProgramNameFrom("/usr/local/bin/tarvex"), "tarvex");
  EXPECT_EQ(ProgramNameFrom("C:\\bin\\tarvex.exe"), "tarvex.exe");
  EXPECT_EQ(ProgramNameFrom("tarvex"), "tarvex");
}

int RunWords(std::vector<const char*> words, std::string* out = nullptr, std::string* err = nullptr) {
  ConsoleCapture console;
  int status = RunCommand(static_cast<int>(words.size()), words.data());
  if (out) *out = console.Out();
  if (err) *err = console.Err();
  return status;
}

TEST(Dispatch, GlobalOptions) {
  std::string out, err;
  EXPECT_EQ(RunWords({"/x/tarvex", "-fv", "my.dat"}, &out), 0);
  EXPECT_EQ(out, "tarvex  version 1.12  revision C\n");
  EXPECT_EQ(Settings().parameter_file, "my.dat") << "-f takes the next word, then v is handled";
  EXPECT_TRUE(Settings().parameter_file_named);
  Settings().parameter_file = kDefaultParameterFile;
  Settings().parameter_file_named = false;
  EXPECT_EQ(RunWords({"tarvex", "-f", "getdun"}, nullptr, &err), 1);
  EXPECT_NE(err.find(" Usage: tarvex [-hv] [-f file] analyzer-name [options...]\n"), std::string::npos);
  EXPECT_EQ(RunWords({"tarvex", "-f"}), 1);
  EXPECT_EQ(RunWords({"tarvex", "Getdun"}, nullptr, &err), 1);
  EXPECT_EQ(err, "No analyzer name: Getdun\n");
  Settings().parameter_file = kDefaultParameterFile;
  Settings().parameter_file_named = false;
  EXPECT_EQ(RunWords({"tarvex", "-", "midmol", "-v"}, &out), 0);
  EXPECT_EQ(out, "tarvex midmol  version 0.06  revision A\n");
  Settings().parameter_file = kDefaultParameterFile;
  Settings().parameter_file_named = false;
}

// The long forms do what the letters do, before the analyzer name and
// after it; other words beginning with "--" are still unknown options.
TEST(Dispatch, LongHelpAndVersion) {
  for (const auto& [long_form, letter] : {std::pair{"--help", "-h"}, std::pair{"--version", "-v"}}) {
    std::string long_out, letter_out;
    EXPECT_EQ(RunWords({"tarvex", long_form}, &long_out), 0);
    EXPECT_EQ(RunWords({"tarvex", letter}, &letter_out), 0);
    EXPECT_EQ(long_out, letter_out) << long_form;
    EXPECT_EQ(RunWords({"tarvex", "conf", "-i", "x.pdb", long_form}, &long_out), 0);
    EXPECT_EQ(RunWords({"tarvex", "conf", letter}, &letter_out), 0);
    EXPECT_EQ(long_out, letter_out) << "conf " << long_form;
    EXPECT_NE(long_out.find("tarvex conf  version 0.03"), std::string::npos);
  }
  std::string err;
  EXPECT_EQ(RunWords({"tarvex", "--helps"}, nullptr, &err), 1);
  EXPECT_NE(err.find(" Usage: tarvex [-hv]"), std::string::npos);
  EXPECT_EQ(RunWords({"tarvex", "midmol", "--verbose"}, nullptr, &err), 1);
  EXPECT_NE(err.find(" Usage: tarvex midmol"), std::string::npos);
}

TEST(Selection, NumbersAndNames) {
  const std::string word = "C,CA,N,125-630,800-920";
  std::vector<int> selected = ParseSelectionNumbers(word, true);
  ASSERT_EQ(selected.size(), 627u);
  EXPECT_EQ(selected.front(), 124);
  EXPECT_EQ(selected[505], 629);
  EXPECT_EQ(selected[506], 799);
  EXPECT_EQ(selected.back(), 919);
  EXPECT_TRUE(ParseSelectionNumbers(word, false).empty());
  EXPECT_EQ(ParseSelectionNames(word), (std::vector<std::string>{"C", "CA", "N"}));

  EXPECT_EQ(ParseSelectionNumbers("1-10,_5", false), (std::vector<int>{4}));
  EXPECT_EQ(ParseSelectionNumbers("1-10,_5", true).size(), 10u);
  EXPECT_EQ(ParseSelectionNumbers("_H,_1-3", false), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(ParseSelectionNames("_H,_1-3"), (std::vector<std::string>{"_H"}));
  EXPECT_TRUE(ParseSelectionNumbers("10-5", true).empty());
  EXPECT_EQ(ParseSelectionNames("C,,CA"), (std::vector<std::string>{"C", "", "CA"}));
  EXPECT_EQ(ParseSelectionNumbers("1H", true), (std::vector<int>{0}));
  EXPECT_EQ(ParseSelectionNumbers("2,2", true), (std::vector<int>{1, 1})) << "duplicates kept";
  EXPECT_TRUE(ParseSelectionNumbers("1-2000000000", true).empty()) << "absurd ranges are refused";
}

}  // namespace
}  // namespace tarvex
