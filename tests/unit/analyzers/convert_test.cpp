// convert over the whole corpus: every file to every format that can hold
// its data, and the round trips that must keep atoms and coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "../support/scratch_dir.h"
#include "common/console.h"
#include "common/text.h"
#include "driver/driver.h"
#include "formats/amber_titles.h"
#include "formats/gaussian_in_file.h"
#include "formats/mol2_file.h"
#include "formats/pdb_file.h"
#include "molecule/geometry.h"

namespace tarvex {
namespace {

const std::filesystem::path kCorpus(TARVEX_CORPUS);

// Runs "tarvex convert <words>" in this process; the status, with the
// messages kept in `messages`.
int Convert(std::vector<std::string> words, std::string* messages = nullptr) {
  words.insert(words.begin(), {"tarvex", "convert"});
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  AmberTitlesWritten() = {};
  ConsoleCapture console;
  const int status = RunCommand(static_cast<int>(argv.size()), argv.data());
  if (messages) *messages = console.Err();
  return status;
}

// A corpus input: the words naming it (with its topology where the file
// needs one) and the formats it carries data for.
struct CorpusInput {
  std::vector<std::string> words;
  bool coordinates = true;
};

std::vector<CorpusInput> CorpusInputs() {
  std::vector<CorpusInput> inputs;
  auto typed = [](const std::string& folder, const std::string& name, const std::string& type) {
    return std::vector<std::string>{"-it", (kCorpus / folder / name).string(), type};
  };
  const std::map<std::string, std::string> folders = {{"pdb", "PDB"}, {"mol2", "MOL2"}, {"prep", "PREP"},
                                                      {"rst", "RST"}, {"top", "TOP"},   {"com", "COM"},
                                                      {"log", "LOG"}};
  for (const auto& [folder, type] : folders) {
    for (const auto& entry : std::filesystem::directory_iterator(kCorpus / folder)) {
      const std::string name = entry.path().filename().string();
      if (name == "ncinpcrd.rst7") continue;  // binary NetCDF: refused, see the CLI cases
      // Gaussian inputs that take their geometry from a checkpoint or a model
      // (geom=allcheck, geom=modela) hold no molecule to convert.
      if (name == "dvb_ir.gjf" || name == "test0200.com") continue;
      inputs.push_back({typed(folder, name, type), folder != "top"});
    }
  }
  // Trajectories with the topologies that give their atom counts.
  const std::vector<std::array<std::string, 3>> trajectories = {{"tz2.parm7", "tz2.crd", ""},
                                                                {"tz2.parm7", "broken.tz2.crd", ""},
                                                                {"NMA.prmtop", "mdcrd", ""},
                                                                {"ache.prmtop", "ache.mdcrd", ""},
                                                                {"capped-ala.prmtop", "capped-ala.mdcrd", "BOX"},
                                                                {"tz2.truncoct.parm7", "tz2.truncoct.crd", "BOX"}};
  for (const auto& [topology, trajectory, box] : trajectories) {
    std::vector<std::string> words = typed("top", topology, "TOP");
    for (const std::string& word : typed("crd", trajectory, "CRD")) words.push_back(word);
    if (!box.empty()) words.insert(words.end(), {"-f", box});
    inputs.push_back({words, true});
  }
  return inputs;
}

TEST(ConvertCorpus, EveryFileToEveryFormatThatHoldsItsData) {
  if (!std::filesystem::exists(kCorpus)) GTEST_SKIP() << "corpus not found";
  testing::ScratchDir scratch;
  int conversions = 0;
  for (const CorpusInput& input : CorpusInputs()) {
    std::vector<std::string> formats = {"TOP"};
    if (input.coordinates) formats = {"PDB", "MOL2", "CRD", "RST", "PREP", "TOP", "COM"};
    for (const std::string& format : formats) {
      std::vector<std::string> words = input.words;
      words.insert(words.end(), {"-c", "-ot", scratch.Path("out"), format});
      std::string messages;
      EXPECT_EQ(Convert(words, &messages), 0) << input.words[1] << " to " << format << ": " << messages;
      EXPECT_TRUE(scratch.Exists("out")) << input.words[1] << " to " << format;
      std::filesystem::remove(scratch.Path("out"));
      ++conversions;
    }
  }
  EXPECT_GE(conversions, 300);
}

struct Atoms {
  std::vector<std::string> names;
  std::vector<std::string> elements;
  Frame points;
};

// Old-style hydrogen names (1HB2) are the same atom as HB21, the spelling
// the MOL2 reader gives them.
std::string SameAtomName(std::string_view name) {
  std::string text(Trim(name));
  if (text.size() > 1 && text[0] >= '0' && text[0] <= '9') std::rotate(text.begin(), text.begin() + 1, text.end());
  return text;
}

Atoms ReadBack(CDataFile&& file) {
  file.Read(0);
  Atoms atoms;
  for (size_t i = 0; i < file.GetAtomName().size(); ++i) {
    atoms.names.push_back(SameAtomName(file.GetAtomName()[i]));
    atoms.elements.push_back(ToUpper(file.GetAtomType()[i]));
  }
  atoms.points = file.GetCartesian();
  return atoms;
}

// PDB -> MOL2 -> PDB keeps every atom: its name, its element and its
// coordinates to the PDB's three decimals; so does PDB -> PREP -> PDB,
// whose Z-matrix rebuilds the molecule in another place (fitted back here).
// PDB -> Gaussian input -> PDB keeps the atoms and their coordinates; the
// Gaussian input names its atoms by element and number only (C1, H12), so
// the elements are checked on the Gaussian input read back: a label of
// fewer than four characters written right-justified into the PDB name
// columns ("  C1") is not where the PDB reader looks for the element, and
// from atom 1000 on the labels (N1000) are longer than the name columns.
TEST(ConvertCorpus, PdbRoundTripsKeepAtomsAndCoordinates) {
  if (!std::filesystem::exists(kCorpus)) GTEST_SKIP() << "corpus not found";
  testing::ScratchDir scratch;
  for (const auto& entry : std::filesystem::directory_iterator(kCorpus / "pdb")) {
    const std::string pdb = entry.path().string();
    const Atoms original = ReadBack(CPdbFile(pdb));
    ASSERT_EQ(Convert({"-i", pdb, "-o", scratch.Path("a.mol2")}), 0) << pdb;
    ASSERT_EQ(Convert({"-i", scratch.Path("a.mol2"), "-o", scratch.Path("b.pdb")}), 0) << pdb;
    ASSERT_EQ(Convert({"-c", "-i", pdb, "-o", scratch.Path("c.prep")}), 0) << pdb;
    ASSERT_EQ(Convert({"-r", pdb, "-it", scratch.Path("c.prep"), "PREP", "-o", scratch.Path("d.pdb")}), 0) << pdb;
    ASSERT_EQ(Convert({"-i", pdb, "-o", scratch.Path("e.com")}), 0) << pdb;
    const Atoms gaussian = ReadBack(CGaussianInFile(scratch.Path("e.com")));
    EXPECT_EQ(gaussian.elements, original.elements) << pdb;
    EXPECT_EQ(gaussian.points.size(), original.points.size()) << pdb;
    ASSERT_EQ(Convert({"-i", scratch.Path("e.com"), "-o", scratch.Path("f.pdb")}), 0) << pdb;
    std::vector<const char*> backs = {"b.pdb", "d.pdb"};
    if (original.points.size() < 1000) backs.push_back("f.pdb");
    for (const char* back : backs) {
      Atoms copy = ReadBack(CPdbFile(scratch.Path(back)));
      if (std::string(back) == "f.pdb") {
        copy.names = original.names;
        copy.elements = original.elements;
      }
      ASSERT_EQ(copy.names, original.names) << pdb << " via " << back;
      // adk_open.pdb (CHARMM, no element columns) reads CB as boron and CG as
      // a dummy; written back with those elements, a name such as " CB " in
      // PDB columns reads as carbon again.
      if (entry.path().filename() != "adk_open.pdb" || std::string(back) == "b.pdb") {
        EXPECT_EQ(copy.elements, original.elements) << pdb << " via " << back;
      }
      ASSERT_EQ(copy.points.size(), original.points.size());
      double worst = 0.0;
      for (size_t i = 0; i < copy.points.size(); ++i) {
        worst = std::max(worst, Distance(copy.points[i], original.points[i]));
      }
      EXPECT_LT(worst, std::string(back) == "d.pdb" ? 0.01 : 1e-9) << pdb << " via " << back;
    }
  }
}

}  // namespace
}  // namespace tarvex
