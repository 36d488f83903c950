#include "formats/amber_prep_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "../support/scratch_dir.h"
#include "common/console.h"
#include "common/exit.h"
#include "formats/pdb_file.h"
#include "molecule/geometry.h"

namespace tarvex {
namespace {

const std::filesystem::path kCorpus = std::filesystem::path(TARVEX_CORPUS) / "prep";

std::vector<PrepResidue> ReadAll(const std::string& path) {
  LineReader input;
  EXPECT_TRUE(input.Open(path));
  bool header = true;
  std::vector<PrepResidue> residues;
  PrepResidue residue;
  while (ReadPrepResidue(input, path, header, residue)) residues.push_back(residue);
  return residues;
}

std::vector<PrepResidue> ReadText(const std::string& text) {
  testing::ScratchDir scratch;
  return ReadAll(scratch.Write("t.prepi", text));
}

// The message of the error a call ends in, or "" when it returns.
template <typename Call>
std::string ErrorOf(Call call) {
  ConsoleCapture console;
  try {
    call();
  } catch (const ExitRequest& exit) {
    EXPECT_EQ(exit.Status(), 1);
    return console.Err();
  }
  return "";
}

constexpr const char* kMethanolXyz =
    "    0    0    2\n"
    "\n"
    "methanol in Cartesian coordinates\n"
    "meoh.res\n"
    "MOH  XYZ 0\n"
    "CORRECT     OMIT DU   BEG\n"
    "  0.0000\n"
    "   1  DUMM  DU    M    0  -1  -2     0.000     0.000     0.000   0.00000\n"
    "   2  DUMM  DU    M    1   0  -1     1.000     0.000     0.000   0.00000\n"
    "   3  DUMM  DU    M    2   1   0     1.000     1.000     0.000   0.00000\n"
    "   4  C1    c3    M    3   2   1     0.000     0.000     0.000   0.11660\n"
    "   5  O1    oh    M    4   3   2     1.410     0.000     0.000  -0.64970\n"
    "   6  HO1   ho    E    5   4   3     1.730     0.900     0.000   0.42150\n"
    "   7  H1    h1    E    4   3   2    -0.360     1.030     0.000   0.03720\n"
    "   8  H2    h1    E    4   3   2    -0.360    -0.510     0.890   0.03720\n"
    "   9  H3    h1    E    4   3   2    -0.360    -0.510    -0.890   0.03720\n"
    "\n"
    "LOOP\n"
    "   O1   H2\n"
    "\n"
    "DONE\n"
    "STOP\n";

TEST(AmberPrep, EveryCorpusTemplateReads) {
  if (!std::filesystem::exists(kCorpus)) GTEST_SKIP() << "corpus not found";
  for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
    std::vector<PrepResidue> residues = ReadAll(entry.path().string());
    ASSERT_FALSE(residues.empty()) << entry.path();
    for (const PrepResidue& residue : residues) {
      EXPECT_GE(residue.atoms.size(), 4u) << residue.name;
      EXPECT_EQ(residue.atoms[0].type, "DU") << residue.name;
      EXPECT_EQ(PrepReferences(residue, entry.path().string()).size(), residue.atoms.size());
    }
  }
  EXPECT_EQ(ReadAll((kCorpus / "all_amino94.in").string()).size(), 32u);  // one per DONE
}

// LEaP's libraries give the references and the tree types both; with the
// references blanked out the tree alone must give the same ones, residue
// by residue (ring and branch orders of all_amino94.in, 1MA.prepin ...).
TEST(AmberPrep, TreeTypesGiveTheWrittenReferences) {
  if (!std::filesystem::exists(kCorpus)) GTEST_SKIP() << "corpus not found";
  int compared = 0;
  for (const char* name :
       {"all_amino94.in", "1MA.prepin", "benzene.prepi", "ala.prep.save", "N-methylacetamide.prepi"}) {
    for (PrepResidue residue : ReadAll((kCorpus / name).string())) {
      const std::vector<ReferenceTriple> written = PrepReferences(residue, name);
      for (PrepAtom& atom : residue.atoms) atom.references = {0, 0, 0};
      EXPECT_EQ(PrepReferences(residue, name), written) << name << " " << residue.name;
      ++compared;
    }
  }
  EXPECT_EQ(compared, 36);
}

// nma.in: every reference column 0, three atoms numbered 13, a tab, charges
// written "-.0411".
TEST(AmberPrep, LeapTemplateWithoutReferences) {
  if (!std::filesystem::exists(kCorpus)) GTEST_SKIP() << "corpus not found";
  std::vector<PrepResidue> residues = ReadAll((kCorpus / "nma.in").string());
  ASSERT_EQ(residues.size(), 1u);
  const PrepResidue& nma = residues[0];
  EXPECT_EQ(nma.name, "NMA");
  ASSERT_EQ(nma.atoms.size(), 15u);
  EXPECT_EQ(nma.atoms[14].name, "H6");
  EXPECT_DOUBLE_EQ(nma.atoms[4].charge, -0.0411);
  EXPECT_DOUBLE_EQ(nma.atoms[9].charge, -0.4192);  // the line with a tab
  const std::vector<ReferenceTriple> refs = PrepReferences(nma, "nma.in");
  EXPECT_EQ(refs[1], (ReferenceTriple{0, -1, -2}));
  EXPECT_EQ(refs[3], (ReferenceTriple{2, 1, 0}));    // H1 M below the dummies
  EXPECT_EQ(refs[5], (ReferenceTriple{4, 3, 2}));    // H2 E on C1
  EXPECT_EQ(refs[7], (ReferenceTriple{4, 3, 2}));    // C M on C1
  EXPECT_EQ(refs[11], (ReferenceTriple{9, 7, 4}));   // C2 (tree 3) on N
  EXPECT_EQ(refs[14], (ReferenceTriple{11, 9, 7}));  // H6 on C2, numbered 13 like H4 and H5
}

TEST(AmberPrep, ShortDummyLinesAndChargeSections) {
  if (!std::filesystem::exists(kCorpus)) GTEST_SKIP() << "corpus not found";
  const PrepResidue meoh = ReadAll((kCorpus / "meoh.in").string()).at(0);
  EXPECT_EQ(meoh.atoms[0].values, (Point{0, 0, 0}));
  EXPECT_EQ(meoh.atoms[2].values, (Point{1.0, 90.0, 0}));  // "3 DUMM DU M 0 0 0 1.000 90."
  EXPECT_TRUE(meoh.charged);
  EXPECT_DOUBLE_EQ(meoh.atoms[7].charge, -0.6497);
  for (const PrepResidue& residue : ReadAll((kCorpus / "all_amino94.in").string())) {
    if (residue.name != "CYM" && residue.name != "NHE") continue;
    EXPECT_FALSE(residue.charged) << residue.name;
    EXPECT_EQ(residue.charges.size(), residue.atoms.size() - 3) << residue.name;
  }
  const PrepResidue chcl3 = ReadAll((kCorpus / "chcl3.in").string()).at(0);
  EXPECT_EQ(chcl3.name, "CL3");
  EXPECT_EQ(chcl3.title, "chloroform");
}

TEST(AmberPrep, HeaderVariantsAndSections) {
  const std::string body =
      "title\n\nRES  INT 0\nCORR OMIT DU BEG\n0.0\n"
      "1 DUMM DU M 0 -1 -2 0. 0. 0.\n2 DUMM DU M 1 0 -1 1. 0. 0.\n3 DUMM DU M 2 1 0 1. 90. 0.\n"
      "4 C1 CT M 3 2 1 1.5 90. 180. 0.1\n"
      "IMPROPER\n C1 C2 C3 C4\n\nLOOP\n C1 C1\n\nDONE\n";
  for (const std::string& head :
       {std::string("    1    1    2\ndb94.dat\n"), std::string("\n  0 0 2\n\n"), std::string("\n\n")}) {
    std::vector<PrepResidue> residues = ReadText(head + body + body + "STOP\n");
    ASSERT_EQ(residues.size(), 2u) << head;
    EXPECT_EQ(residues[1].title, "title");
    EXPECT_EQ(residues[1].atoms.size(), 4u);
    EXPECT_EQ(residues[0].loops.size(), 1u);  // the atom block ended at IMPROPER
  }
  EXPECT_TRUE(ReadText("").empty());
  EXPECT_TRUE(ReadText("    0    0    2\n\nSTOP\n").empty());
}

TEST(AmberPrep, BadFilesEndInOneClearLine) {
  testing::ScratchDir scratch;
  const std::string head = "    0    0    2\n\ntitle\nres.res\n";
  const std::string control = "RES  INT 0\nCORRECT OMIT DU BEG\n0.0\n";
  const std::string dummies =
      "1 DUMM DU M 0 -1 -2 0. 0. 0.\n2 DUMM DU M 1 0 -1 1. 0. 0.\n3 DUMM DU M 2 1 0 1. 90. 0.\n";
  auto error = [&](const std::string& text) {
    const std::string path = scratch.Write("bad.prepi", text);
    return ErrorOf([&] {
      CAmberPrepFile file(path);
      file.Read(0);
    });
  };
  const std::string file = scratch.Path("bad.prepi");
  EXPECT_EQ(error(head + "not a residue line\nmore\nlines\n"),
            "Error: " + file + ": no residue line (NAME INT 0) after the title \"title\".\n");
  EXPECT_EQ(error(head + control + dummies + "4 C1 CT M 3 2 x 1.5 90. 180. 0.1\n"),
            "Error: " + file + ": line 11 is not a PREP atom line: 4 C1 CT M 3 2 x 1.5 90. 180. 0.1\n");
  EXPECT_EQ(error(head + control + dummies + "4 C1 CT\n"),
            "Error: " + file + ": line 11 is not a PREP atom line: 4 C1 CT\n");
  EXPECT_EQ(error(head + control + dummies + "4 C1 CT M 3 2 1 1.5 90. 180. 0.1 7 8\n"),
            "Error: " + file + ": line 11 is not a PREP atom line: 4 C1 CT M 3 2 1 1.5 90. 180. 0.1 7 8\n");
  EXPECT_EQ(error(head + control + dummies + "4 C1 CT M 3 2 1 1.5 90. 180. 0.1\n\nCHARGE\n 0.1 abc\n\nDONE\n"),
            "Error: " + file + ": line 14 is not a line of charges: 0.1 abc\n");
  // References that name no earlier atom, and a tree type that gives none.
  EXPECT_EQ(error(head + control + dummies + "4 C1 CT X 0 0 0 1.5 90. 180. 0.1\n"),
            "Error: " + file +
                ": line 11: atom C1 of residue RES has no usable reference atoms, and the tree "
                "types do not give them.\n");
  EXPECT_EQ(error(head + control + dummies + "4 C1 CT M 3 2 1 1.5 90. 180. 0.1\n5 C2 CT M 9 4 4 1.5 90. 180. 0.\n"),
            "");  // 9 does not exist and 4 is repeated: the tree gives C2 -> C1 -> DUMM
}

// A library residue that cannot be read is passed over up to its DONE and
// named in one line; the residues after it read as usual. Charges need no
// geometry: without it, a residue whose references place no atom keeps its
// atoms (and has no coordinates).
TEST(AmberPrep, UnreadableResiduesArePassedOver) {
  testing::ScratchDir scratch;
  const std::string dummies =
      "1 DUMM DU M 0 -1 -2 0. 0. 0.\n2 DUMM DU M 1 0 -1 1. 0. 0.\n3 DUMM DU M 2 1 0 1. 90. 0.\n";
  auto residue = [&](const std::string& name, const std::string& atoms) {
    return name + " title\n\n" + name + " INT 0\nCORRECT OMIT DU BEG\n0.0\n" + dummies + atoms + "\nDONE\n";
  };
  const std::string good = "4 C1 CT M 3 2 1 1.5 90. 180. 0.1\n5 O1 OH M 4 3 2 1.4 109.5 180. -0.1\n";
  const std::string path = scratch.Write(
      "library.prepi", "    0    0    2\n\n" + residue("AAA", good) +
                           residue("BAD", "4 C1 CT M 3 2 x 1.5 90. 180. 0.1\n" + good) +
                           residue("CHG", good + "\nCHARGE\n 0.1 abc\n\nLOOP\n C1 O1\n") +
                           residue("TRE", "4 N1 N X 0 0 0 1.5 90. 180. -0.3\n5 H1 H X 0 0 0 1.0 90. 180. 0.3\n") +
                           residue("ZZZ", good) + "STOP\n");
  for (bool geometry : {true, false}) {
    CAmberPrepFile file(path);
    std::vector<std::string> read;
    std::vector<std::string> problems;
    std::string problem;
    while (file.ReadOrPassOver(geometry, problem)) {
      if (!problem.empty()) problems.push_back(problem);
      if (problem.empty()) read.push_back(file.GetResidueName().front() + std::to_string(file.GetCartesian().size()));
    }
    const std::string prefix = "Error: " + path + ": residue ";
    EXPECT_EQ(problems[0],
              prefix + "BAD passed over: line 23 is not a PREP atom line: 4 C1 CT M 3 2 x 1.5 90. 180. 0.1");
    EXPECT_EQ(problems[1], prefix + "CHG passed over: line 40 is not a line of charges: 0.1 abc");
    if (geometry) {
      EXPECT_EQ(read, (std::vector<std::string>{"AAA2", "ZZZ2"}));
      ASSERT_EQ(problems.size(), 3u);
      EXPECT_EQ(problems[2], prefix +
                                 "TRE passed over: line 54: atom N1 of residue TRE has no usable reference atoms, and "
                                 "the tree types do not give them.");
    } else {
      EXPECT_EQ(read, (std::vector<std::string>{"AAA2", "TRE0", "ZZZ2"}));
      EXPECT_EQ(problems.size(), 2u);
    }
  }
}

// A template in Cartesian coordinates (XYZ) becomes a record of its real
// atoms: elements from the GAFF types, names in PDB columns, one residue,
// the charges, and the bonds of the tree and the LOOP section.
TEST(AmberPrep, CartesianTemplateFillsTheRecord) {
  testing::ScratchDir scratch;
  CAmberPrepFile file(scratch.Write("meoh.prepi", kMethanolXyz));
  file.Read(0);
  EXPECT_EQ(file.GetNumberOfAtoms(), 6);
  EXPECT_EQ(file.GetNumberOfResidues(), 1);
  EXPECT_EQ(file.GetTitle(), "methanol in Cartesian coordinates");
  EXPECT_EQ(file.GetAtomName(), (std::vector<std::string>{" C1 ", " O1 ", " HO1", " H1 ", " H2 ", " H3 "}));
  EXPECT_EQ(file.GetAtomType(), (std::vector<std::string>{"C", "O", "H", "H", "H", "H"}));
  EXPECT_EQ(file.GetAtomIndex(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(file.GetResidueName(), std::vector<std::string>(6, "MOH"));
  EXPECT_EQ(file.GetHeadAtomOfResidue(), (std::vector<int>{0, 6}));
  EXPECT_DOUBLE_EQ(file.GetCharge()[1], -0.6497);
  EXPECT_EQ(file.GetCartesian()[1], (Point{1.41, 0, 0}));
  EXPECT_TRUE(file.GetInternal().empty());
  const BondMap& bonds = file.GetConnection();
  EXPECT_EQ(*bonds.find(0), (BondMap::List{1, 3, 4, 5}));
  EXPECT_EQ(*bonds.find(1), (BondMap::List{0, 2, 4}));  // O1-H2 from the LOOP section
  // The file holds one residue: a second read leaves the record empty.
  file.Read(0);
  EXPECT_EQ(file.GetNumberOfAtoms(), 0);
  EXPECT_TRUE(file.GetCartesian().empty());
}

TEST(AmberPrep, TypesWithoutElementsAreReported) {
  testing::ScratchDir scratch;
  std::string text = kMethanolXyz;
  text.replace(text.find("HO1   ho"), 8, "QQ1   qq");
  text.replace(text.find("O1   H2"), 7, "O1   Q9");
  CAmberPrepFile file(scratch.Write("odd.prepi", text));
  ConsoleCapture console;
  file.Read(0);
  EXPECT_EQ(console.Err(), "Found incorrect atom type.\nWarning: " + scratch.Path("odd.prepi") +
                               ": the LOOP bond O1-Q9 of residue MOH names an atom the residue does not have.\n");
  EXPECT_EQ(file.GetAtomType()[2], "DU");
}

// The writer: six atom lines for three atoms, the dummies first, with the
// references written 1-based.
TEST(AmberPrep, WriterLayout) {
  testing::ScratchDir scratch;
  CAmberPrepFile record;
  record.SetNumberOfAtoms(3);
  record.SetAtomName({" O  ", " H1 ", " H2 "});
  record.SetAtomType({"O", "H", "H"});
  record.SetResidueName({"WATER", "WATER", "WATER"});
  record.SetCharge({-0.834, 0.417, 0.417});
  record.SetInternal({{0, 0, 0}, {1, 0, 0}, {1, 90, 0}, {1.2, 100, 180}, {0.9572, 104.52, 0}, {0.9572, 104.52, 180}},
                     {{-1, -2, -3}, {0, -1, -2}, {1, 0, -1}, {2, 1, 0}, {3, 2, 1}, {3, 4, 2}});
  record.OpenOutput(scratch.Path("w.prepi"), true);
  record.Write();
  ASSERT_TRUE(CommitOutputs());
  EXPECT_EQ(scratch.Read("w.prepi"),
            "    0    0    2\n"
            "\n"
            "This is a remark line\n"
            "molecule.res\n"
            "WAT   INT  0  \n"
            "CORRECT     OMIT DU   BEG\n"
            "  0.0000\n"
            "   1  DUMM  DU    M    0  -1  -2     0.000     0.000     0.000   0.00000\n"
            "   2  DUMM  DU    M    1   0  -1     1.000     0.000     0.000   0.00000\n"
            "   3  DUMM  DU    M    2   1   0     1.000    90.000     0.000   0.00000\n"
            "   4  O     O     M    3   2   1     1.200   100.000   180.000  -0.83400\n"
            "   5  H1    H     M    4   3   2     0.957   104.520     0.000   0.41700\n"
            "   6  H2    H     M    4   5   3     0.957   104.520   180.000   0.41700\n"
            "\n"
            "\n"
            "DONE\n"
            "STOP\n");
}

std::set<std::pair<int, int>> Bonds(CDataFile& record) {
  std::set<std::pair<int, int>> bonds;
  for (auto [atom, neighbours] : record.GetConnection()) {
    for (int other : neighbours) bonds.insert({std::min(atom, other), std::max(atom, other)});
  }
  return bonds;
}

// Every residue of the corpus built into coordinates: each atom lies at its
// bond length from the atom it hangs from, and the bonds perceived from the
// built coordinates are the template's own (tree and LOOP), ring closures
// included. nma.in alone writes lengths that are not bond lengths (1.37 for
// its C=O, 0.35 for N-C2); its template bonds are still its chemistry.
TEST(AmberPrep, CorpusTemplatesBuildTheirOwnGeometry) {
  if (!std::filesystem::exists(kCorpus)) GTEST_SKIP() << "corpus not found";
  int residues = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
    CAmberPrepFile file(entry.path().string());
    for (file.Read(0); file.GetNumberOfAtoms() > 0; file.Read(0)) {
      ++residues;
      const std::string label = entry.path().filename().string() + " " + file.GetResidueName()[0];
      const Frame& points = file.GetCartesian();
      const size_t dummies = file.GetInternal().size() - points.size();
      ASSERT_EQ(dummies, 3u) << label;
      for (size_t i = 0; i < points.size(); ++i) {
        const int bonded = file.GetInternalReference()[i + dummies][0] - static_cast<int>(dummies);
        if (bonded < 0) continue;
        EXPECT_NEAR(Distance(points[i], points[bonded]), file.GetInternal()[i + dummies][0], 1e-9)
            << label << " atom " << i;
      }
      if (entry.path().filename() == "nma.in") continue;
      CPdbFile perceived;
      perceived.SetNumberOfAtoms(file.GetNumberOfAtoms());
      perceived.SetCartesian(points);
      perceived.SetAtomType(file.GetAtomType());
      perceived.SetAtomIndex(file.GetAtomIndex());
      perceived.CreateConnection();
      EXPECT_EQ(Bonds(perceived), Bonds(file)) << label;
    }
  }
  EXPECT_EQ(residues, 39);
}

// The templates build L-amino acids: the volume spanned at CA by N, C and
// CB has the sign it has in a real L-alanine (native.pdb of the corpus,
// +2.29), in every residue of all_amino94.in that has the four atoms.
TEST(AmberPrep, AminoAcidTemplatesAreLeftHanded) {
  if (!std::filesystem::exists(kCorpus)) GTEST_SKIP() << "corpus not found";
  CAmberPrepFile file((kCorpus / "all_amino94.in").string());
  int checked = 0;
  for (file.Read(0); file.GetNumberOfAtoms() > 0; file.Read(0)) {
    std::map<std::string, Point> at;
    for (size_t i = 0; i < file.GetAtomName().size(); ++i) at[file.GetAtomName()[i]] = file.GetCartesian()[i];
    if (!at.count(" CB ") || !at.count(" CA ")) continue;
    const Point ca = at[" CA "];
    const double volume = Dot(Minus(at[" N  "], ca), Cross(Minus(at[" C  "], ca), Minus(at[" CB "], ca)));
    EXPECT_GT(volume, 2.0) << file.GetResidueName()[0];
    ++checked;
  }
  EXPECT_EQ(checked, 26);
}

// Written elements must read back as themselves: in the type column NA and
// CA would be Amber's aromatic nitrogen and carbon, so sodium and calcium
// are written Na and Ca.
TEST(AmberPrep, TwoLetterElementsSurviveTheTypeColumn) {
  testing::ScratchDir scratch;
  CPdbFile ions;
  ions.SetNumberOfAtoms(4);
  ions.SetAtomName({"NA  ", "CA  ", "CL  ", " C1 "});
  ions.SetAtomType({"NA", "CA", "CL", "C"});
  ions.SetAtomIndex({1, 2, 3, 4});
  ions.SetCartesian({{0, 0, 0}, {3, 0, 0}, {0, 3, 0}, {0, 0, 3}});
  CAmberPrepFile written;
  written.CopyState(ions);
  written.OpenOutput(scratch.Path("ions.prep"), true);
  written.Write();
  ASSERT_TRUE(CommitOutputs());
  const std::string text = scratch.Read("ions.prep");
  EXPECT_NE(text.find("  NA    Na    M "), std::string::npos) << text;
  EXPECT_NE(text.find("  CA    Ca    M "), std::string::npos) << text;
  EXPECT_NE(text.find("  CL    Cl    M "), std::string::npos) << text;
  CAmberPrepFile back(scratch.Path("ions.prep"));
  back.Read(0);
  EXPECT_EQ(back.GetAtomType(), (std::vector<std::string>{"NA", "CA", "CL", "C"}));

  // Os, Ho and Sm are GLYCAM's types as well as symbols: among the symbols
  // the writer writes they are osmium, holmium and samarium.
  ions.SetAtomType({"OS", "HO", "SM", "DU"});
  CAmberPrepFile metals;
  metals.CopyState(ions);
  metals.OpenOutput(scratch.Path("metals.prep"), true);
  metals.Write();
  ASSERT_TRUE(CommitOutputs());
  CAmberPrepFile metals_back(scratch.Path("metals.prep"));
  metals_back.Read(0);
  EXPECT_EQ(metals_back.GetAtomType(), (std::vector<std::string>{"OS", "HO", "SM", "DU"}));
}

// The residue's types tell the force field: GLYCAM's Os and Ho among its Cg
// and H1, an old library's sodium SO as a residue of one atom, a type no
// table knows that spells a symbol (SE), the element it spells.
TEST(AmberPrep, TypesReadAsTheirForceFieldMeansThem) {
  testing::ScratchDir scratch;
  const std::string head = "    0    0    2\n\ntitle\nres.res\n";
  const std::string dummies =
      "CORRECT     OMIT DU   BEG\n  0.0000\n"
      "   1  DUMM  DU    M    0  -1  -2     0.000     0.000     0.000   0.00000\n"
      "   2  DUMM  DU    M    1   0  -1     1.000     0.000     0.000   0.00000\n"
      "   3  DUMM  DU    M    2   1   0     1.000    90.000     0.000   0.00000\n";
  const std::string glycam = head + "0GA   INT  0\n" + dummies +
                             "   4  C1    Cg    M    3   2   1     1.500   109.500   180.000   0.20000\n"
                             "   5  O5    Os    M    4   3   2     1.420   109.500   180.000  -0.40000\n"
                             "   6  H1    H2    M    4   3   2     1.090   109.500    60.000   0.10000\n"
                             "   7  O1    Oh    M    4   3   2     1.420   109.500   -60.000  -0.60000\n"
                             "   8  HO1   Ho    M    7   4   3     0.960   109.500   180.000   0.40000\n"
                             "\n\nDONE\nSTOP\n";
  CAmberPrepFile sugar(scratch.Write("glycam.prep", glycam));
  sugar.Read(0);
  EXPECT_EQ(sugar.GetAtomType(), (std::vector<std::string>{"C", "O", "H", "O", "H"}));

  const std::string sodium = head + "NA    INT  0\n" + dummies +
                             "   4  NA    SO    M    3   2   1     1.000    90.000   180.000   1.00000\n"
                             "\n\nDONE\nSTOP\n";
  CAmberPrepFile ion(scratch.Write("sodium.prep", sodium));
  ion.Read(0);
  EXPECT_EQ(ion.GetAtomType(), (std::vector<std::string>{"NA"}));

  std::string selenium = glycam;
  selenium.replace(selenium.find("O5    Os"), 8, "SE    SE");
  CAmberPrepFile mixed(scratch.Write("selenium.prep", selenium));
  mixed.Read(0);
  EXPECT_EQ(mixed.GetAtomType()[1], "SE");
}

}  // namespace
}  // namespace tarvex
