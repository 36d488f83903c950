#include "driver/options.h"

#include <gtest/gtest.h>

#include "../support/scratch_dir.h"
#include "analyzers/get_dun.h"
#include "analyzers/midmol.h"
#include "analyzers/pbsa_prep.h"
#include "common/console.h"
#include "common/exit.h"
#include "common/run_settings.h"
#include "driver/analyzer.h"
#include "formats/amber_coord_file.h"
#include "formats/amber_restart_file.h"
#include "formats/amber_topology_file.h"
#include "formats/pdb_file.h"

namespace tarvex {
namespace {

using testing::ScratchDir;

constexpr AnalyzerTexts kProbeTexts = {
    .version = "1.0",
    .revision = "A",
    .description = "Probe.",
    .usage_synopsis = " [-hv]",
    .help_options = " Option:\n",
};

// An analyzer made of one option table, to walk command lines with.
class CProbe final : public CAnalyzer {
 public:
  explicit CProbe(OptionTable table) : CAnalyzer(kProbeTexts) { DeclareOptions(std::move(table)); }
  void Run() override {}
};

struct Walked {
  int status = -1;  // -1: the walk returned
  std::string out;
  std::string err;
  uint32_t flags = 0;
};

// Walks the words after the analyzer name by the table.
template <typename Analyzer, typename... Args>
Walked WalkWith(std::vector<std::string> words, Args&&... args) {
  Settings().analyzer_name = "probe";
  words.insert(words.begin(), "probe");
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  Walked walked;
  ConsoleCapture console;
  Analyzer analyzer(std::forward<Args>(args)...);
  try {
    analyzer.ParseArguments(static_cast<int>(argv.size()), argv.data());
  } catch (const ExitRequest& request) {
    walked.status = request.Status();
  }
  walked.out = console.Out();
  walked.err = console.Err();
  walked.flags = analyzer.Flags();
  return walked;
}

Walked Walk(OptionTable table, std::vector<std::string> words) {
  return WalkWith<CProbe>(std::move(words), std::move(table));
}

bool IsUsage(const Walked& walked) {
  return walked.status == 1 && walked.err.find(" Use -h option for help.\n\n Usage: tarvex probe") != std::string::npos;
}

TEST(OptionWalk, SwitchesClustersAndTheCommonRules) {
  auto table = [] {
    return OptionTable{.options = {Option::Switch("a", 0x1), Option::Switch("b", 0x2).Clears(0x10)},
                       .required = {0x1 | 0x2}};
  };
  EXPECT_EQ(Walk(table(), {"-ab"}).flags, 0x3u) << "a cluster is its letters one by one";
  EXPECT_EQ(Walk(table(), {"-a", "-", "-b"}).status, -1) << "a lone dash is an empty cluster";
  EXPECT_TRUE(IsUsage(Walk(table(), {"-ax"}))) << "a letter no row names";
  EXPECT_TRUE(IsUsage(Walk(table(), {"-a", "extra"}))) << "a word left over";
  EXPECT_TRUE(IsUsage(Walk(table(), {}))) << "nothing required given";
  EXPECT_TRUE(IsUsage(Walk(table(), {"-a", ""}))) << "an empty word is not an option";

  const Walked help = Walk(table(), {"-ah", "-x"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out,
            "tarvex probe  version 1.0\nCopyright (C) 2026 the tarvex developers\n\n Probe.\n\n"
            " Usage: tarvex probe [-hv]\n\n Option:\n");
  const Walked version = Walk(table(), {"-v"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "tarvex probe  version 1.0  revision A\n");

  // Both required groups must be met, each by one of its bits.
  OptionTable two{.options = {Option::Switch("a", 0x1), Option::Switch("b", 0x2), Option::Switch("c", 0x4)},
                  .required = {0x1 | 0x2, 0x4}};
  EXPECT_TRUE(IsUsage(Walk(two, {"-ab"})));
  EXPECT_EQ(Walk(two, {"-bc"}).status, -1);

  // midmol's -b replaces the preset centre of coordinates.
  const Walked midmol = WalkWith<CMidmol>({"-b", "-x"});
  EXPECT_TRUE(IsUsage(midmol)) << "no input";
  EXPECT_EQ(midmol.flags, CMidmol::kCenterOfBalance | CMidmol::kBox);
}

TEST(OptionWalk, ExactlyOneChoice) {
  ScratchDir dir;
  const std::string prep = dir.Write("t.prep", "");
  const Walked none = WalkWith<CPbsaPrep>({"-i", prep});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err, "You have to make a choice from -a, -c, or -p.\n");
  EXPECT_EQ(WalkWith<CPbsaPrep>({"-ap", "-i", prep}).err, "You have to make a choice from -a, -c, or -p.\n");
  EXPECT_EQ(WalkWith<CPbsaPrep>({"-p", "-i", prep}).status, -1);
  EXPECT_TRUE(IsUsage(WalkWith<CPbsaPrep>({"-a", "-i", prep, "-o"}))) << "the value as the last word";
}

TEST(OptionWalk, Integers) {
  int count = 0;
  int skip = 1;
  auto table = [&] {
    return OptionTable{.options = {Option::Integer("n", count, "-").Sets(0x1), Option::Integer("k", skip).Positive()}};
  };
  EXPECT_EQ(Walk(table(), {"-n", "-5", "-k", "3"}).flags, 0x1u);
  EXPECT_EQ(count, -5) << "the word after -n is its value even when it begins with -";
  EXPECT_EQ(skip, 3);
  EXPECT_TRUE(IsUsage(Walk(table(), {"-n", "5x"}))) << "checked character by character";
  EXPECT_TRUE(IsUsage(Walk(table(), {"-n", "-"})));
  EXPECT_TRUE(IsUsage(Walk(table(), {"-k", "-3"}))) << "no - allowed";
  EXPECT_TRUE(IsUsage(Walk(table(), {"-k", "0"}))) << "must be positive";
  EXPECT_TRUE(IsUsage(Walk(table(), {"-n"}))) << "the value as the last word";

  // prepfit -a: the start atom is taken only when the next word is a number.
  int start = 1;
  std::vector<int> numbers;
  std::vector<std::string> names;
  auto optional = [&] {
    return OptionTable{
        .options = {Option::OptionalInteger("a", start).Sets(0x4000), Option::NumbersOrNames("t", numbers, names)}};
  };
  EXPECT_EQ(Walk(optional(), {"-a", "-2"}).flags, 0x4000u);
  EXPECT_EQ(start, -2);
  EXPECT_EQ(Walk(optional(), {"-a", "-t", "5"}).status, -1);
  EXPECT_EQ(start, -2) << "-t is not a number";
  EXPECT_TRUE(IsUsage(Walk(optional(), {"-a", "x"}))) << "x is left over";
  EXPECT_EQ(Walk(optional(), {"-a"}).flags, 0x4000u);
}

TEST(OptionWalk, WordLists) {
  // getdun -m: each occurrence is one group.
  std::vector<std::vector<int>> groups;
  auto grouped = [&] {
    return OptionTable{.options = {Option::Integers("m", [&](std::vector<int> atoms) { groups.push_back(atoms); }),
                                   Option::Switch("i", 0x1)}};
  };
  EXPECT_EQ(Walk(grouped(), {"-m", "1", "2", "-m", "3", "-2", "-i"}).status, 1) << "-2 is an option";
  EXPECT_EQ(groups, (std::vector<std::vector<int>>{{1, 2}, {3}}));
  EXPECT_TRUE(IsUsage(Walk(grouped(), {"-m", "1", "x"})));

  // getsolv -a, -b and -x.
  std::vector<int> atoms;
  std::vector<int> residues;
  std::vector<std::string> residue_names;
  std::vector<std::string> solvent = {"WAT", "HOH", "H2O"};
  OptionTable table{.options = {Option::Integers("a", atoms), Option::NumbersOrNames("b", residues, residue_names, -1),
                                Option::Names("x", solvent)}};
  EXPECT_EQ(Walk(table, {"-a", "3", "99", "-b", "10", "lig", "2x", "-a", "4", "-x", "hoh", "Na"}).status, -1);
  EXPECT_EQ(atoms, (std::vector<int>{3, 99, 4}));
  EXPECT_EQ(residues, (std::vector<int>{9})) << "residue numbers are kept as ordinals";
  EXPECT_EQ(residue_names, (std::vector<std::string>{"LIG", "2X"}));
  EXPECT_EQ(solvent, (std::vector<std::string>{"HOH", "NA"}));
  EXPECT_EQ(Walk(table, {"-x"}).status, -1);
  EXPECT_TRUE(solvent.empty()) << "-x alone leaves no solvent names";
}

TEST(OptionWalk, RealsAndWords) {
  double radius = 10.0;
  double energy = 0.0;
  std::string output;
  auto table = [&] {
    return OptionTable{.options = {Option::Real("r", radius, "."), Option::Real("m", energy, ".-"),
                                   Option::Word("o", output).Sets(0x2)}};
  };
  EXPECT_EQ(Walk(table(), {"-r", "4.5", "-m", "-0.25", "-o", "-x"}).flags, 0x2u);
  EXPECT_DOUBLE_EQ(radius, 4.5);
  EXPECT_DOUBLE_EQ(energy, -0.25);
  EXPECT_EQ(output, "-x") << "a word option takes the next word, whatever it is";
  EXPECT_TRUE(IsUsage(Walk(table(), {"-r", "-5"}))) << "getsolv's radius allows no -";
  EXPECT_TRUE(IsUsage(Walk(table(), {"-m", "1e3"}))) << "no exponent";
  EXPECT_TRUE(IsUsage(Walk(table(), {"-o"})));
}

TEST(OptionWalk, FlagWords) {
  constexpr FlagWord kWords[] = {{"DETAIL", 0x100}, {"TAB", 0x200}, {"ALL", 0x400 | 0x800}};
  OptionTable table{.options = {Option::Flags("f", kWords), Option::Switch("i", 0x1)}};
  const Walked walked = Walk(table, {"-f", "detail", "Detial", "DET", "all", "-i"});
  EXPECT_EQ(walked.status, -1);
  EXPECT_EQ(walked.flags, 0x100u | 0x400u | 0x800u | 0x1u);
  EXPECT_EQ(walked.err, "No flag list: DETIAL\nNo flag list: DET\n");

  // getdun's own words, read through the real analyzer.
  const Walked getdun = WalkWith<CGetDun>({"-f", "tab", "SHOWSTEP", "box", "detail", "-i", "traj.crd"});
  EXPECT_EQ(getdun.status, -1);
  EXPECT_EQ(getdun.flags, CGetDun::kTab | CGetDun::kShowStep | CGetDun::kBox | CGetDun::kDetail | CGetDun::kDataFile);
}

TEST(OptionWalk, SelectionAndLongestLetters) {
  std::vector<int> selected;
  std::vector<int> excluded;
  std::vector<std::string> names;
  auto table = [&] {
    return OptionTable{.options = {Option::Selection("ra", selected, excluded, names), Option::Switch("r", 0x1),
                                   Option::Switch("a", 0x2)}};
  };
  EXPECT_EQ(Walk(table(), {"-ra", "C,CA,1-3,_2", "-ar"}).flags, 0x3u);
  EXPECT_EQ(selected, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(excluded, (std::vector<int>{1}));
  EXPECT_EQ(names, (std::vector<std::string>{"C", "CA"}));
  EXPECT_TRUE(IsUsage(Walk(table(), {"-ra", "C;N"}))) << "a character outside the syntax";
  EXPECT_TRUE(IsUsage(Walk(table(), {"-ra", "-r"}))) << "the selection never begins with -";
  EXPECT_TRUE(IsUsage(Walk(table(), {"-rat", "C"}))) << "t follows no file option";

  // ircdist: "-i" followed by a letter that names no mode is its own error.
  OptionTable modes{.options = {Option::Switch("ii", 0x1), Option::Switch("ia", 0x2), Option::Act("i", [] {
                                  Fatal("Error: specify to select structures; all, first, or last.");
                                })}};
  EXPECT_EQ(Walk(modes, {"-iaii"}).flags, 0x3u);
  const Walked no_mode = Walk(modes, {"-ix"});
  EXPECT_EQ(no_mode.status, 1);
  EXPECT_EQ(no_mode.err, "Error: specify to select structures; all, first, or last.\n");
}

TEST(OptionWalk, SingleFiles) {
  testing::UseParameterFile("");
  std::unique_ptr<CDataFile> data;
  std::unique_ptr<CDataFile> reference;
  std::string data_name;
  std::string reference_name;
  auto table = [&] {
    return OptionTable{
        .options = {DataFileOption(data, data_name).Sets(0x800), ReferenceFileOption(reference, reference_name)}};
  };
  const Walked walked = Walk(table(), {"-it", "traj", "amber_rst", "-rt", "a.prm", "prm"});
  EXPECT_EQ(walked.flags, 0x800u);
  EXPECT_EQ(data_name, "traj");
  EXPECT_EQ(reference_name, "a.prm");
  EXPECT_NE(dynamic_cast<CAmberRestartFile*>(data.get()), nullptr) << "the keyword, not the name, gives the type";
  EXPECT_NE(dynamic_cast<CAmberTopologyFile*>(reference.get()), nullptr);
  EXPECT_EQ(walked.err,
            "Warning unknown reference file format: PRM\n"
            "Input reference file applies to the Amber TOP format.\n");
  EXPECT_EQ(Walk(table(), {"-i", "traj.Xtc"}).err,
            "Warning unknown datafile format: XTC\nInput datafile applies to the Amber CRD format.\n");
  EXPECT_NE(dynamic_cast<CAmberCoordFile*>(data.get()), nullptr);
  EXPECT_TRUE(IsUsage(Walk(table(), {"-it", "traj"}))) << "the type keyword is missing";

  // A file of one fixed format has no "t" form, and opens at once.
  std::unique_ptr<CDataFile> prep;
  OptionTable later{.options = {Option::File("p", prep, FileType::kAmberPrep, Opening::kInputLater)}};
  EXPECT_TRUE(IsUsage(Walk(later, {"-pt", "a", "PREP"})));
  OptionTable fixed{.options = {Option::File("p", prep, FileType::kAmberPrep, Opening::kInput)}};
  const Walked missing = Walk(fixed, {"-p", "/nonexistent/a.prep"});
  EXPECT_EQ(missing.err, "Can't open input file: /nonexistent/a.prep\n");
}

TEST(OptionWalk, FileLists) {
  testing::UseParameterFile("");
  ScratchDir dir;
  const std::string crd = dir.Write("a.crd", "title\n");
  const std::string rst = dir.Write("b.rst", "title\n 2\n");
  const std::string typed = dir.Write("d", "title\n");
  std::vector<std::unique_ptr<CDataFile>> inputs;
  std::string last;
  auto table = [&](BoxInputs box_inputs) {
    return OptionTable{
        .options = {Option::Switch("x", 0x100),
                    Option::Files("i", inputs, kSkipUnknownInput).Name(last).Box(0x100, box_inputs).Sets(0x1)}};
  };
  Walked walked = Walk(table(BoxInputs::kRestartsOnly), {"-i", crd, "-x", "-i", crd, rst, dir.Path("c.xyz")});
  EXPECT_EQ(walked.flags, 0x101u);
  EXPECT_EQ(walked.err, "Warning: unknown input file format: " + dir.Path("c.xyz") + "\n");
  EXPECT_EQ(last, dir.Path("c.xyz")) << "the last file named, even a skipped one";
  ASSERT_EQ(inputs.size(), 3u);
  EXPECT_FALSE(inputs[0]->GetFileFlags() & kFileBox) << "named before -x";
  EXPECT_FALSE(inputs[1]->GetFileFlags() & kFileBox) << "trajectories get no box bit here";
  EXPECT_TRUE(inputs[2]->GetFileFlags() & kFileBox);

  inputs.clear();
  walked = Walk(table(BoxInputs::kTrajectoriesAndRestarts), {"-x", "-it", crd, "CRD", typed, "amber_crd"});
  ASSERT_EQ(inputs.size(), 2u);
  EXPECT_TRUE(inputs[0]->GetFileFlags() & kFileBox);
  EXPECT_EQ(inputs[1]->GetInputFileName(), typed);
  EXPECT_TRUE(IsUsage(Walk(table(BoxInputs::kRestartsOnly), {"-it", crd}))) << "a typed list holds pairs";
  inputs.clear();
  walked = Walk(table(BoxInputs::kRestartsOnly), {"-i", dir.Path("c.xyz")});
  EXPECT_EQ(walked.flags & 0x1, 0u) << "no file accepted";

  // ircdist hands each file on with its own mode; pbsaprep's are all PREP.
  std::vector<std::string> taken;
  OptionTable each{.options = {Option::Files(
                       "ia", [&](std::unique_ptr<CDataFile> file) { taken.push_back(file->GetInputFileName()); },
                       kSkipUnknownInput)}};
  EXPECT_EQ(Walk(std::move(each), {"-iat", crd, "crd", rst, "rst"}).status, -1);
  EXPECT_EQ(taken, (std::vector<std::string>{crd, rst}));
  OptionTable prep{.options = {Option::Files("i", inputs, FileType::kPdb).Sets(0x1)}};
  inputs.clear();
  EXPECT_EQ(Walk(std::move(prep), {"-i", crd}).flags, 0x1u);
  EXPECT_NE(dynamic_cast<CPdbFile*>(inputs.at(0).get()), nullptr);
}

}  // namespace
}  // namespace tarvex
