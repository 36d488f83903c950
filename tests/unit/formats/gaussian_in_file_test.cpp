#include "formats/gaussian_in_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "../support/scratch_dir.h"
#include "common/console.h"
#include "formats/gaussian_geometry.h"
#include "formats/gaussian_out_file.h"
#include "molecule/geometry.h"
#include "pdb_test_files.h"

namespace tarvex {
namespace {

using testing::ScratchDir;
using testing_files::CorpusFiles;
using testing_files::CorpusPresent;
using testing_files::ErrorOf;

constexpr const char* kHeader =
    "#P HF/STO-3G Opt(ModRedun) GFInput NoSymm IOp(6/7=3)\n"
    "\n";

std::string WriteOut(const ScratchDir& scratch, CDataFile& record, const std::string& name) {
  std::filesystem::create_directories(std::filesystem::path(scratch.Path(name)).parent_path());
  record.OpenOutput(scratch.Path(name), true);
  record.Write();
  EXPECT_TRUE(CommitOutputs());
  return scratch.Read(name);
}

std::unique_ptr<CGaussianInFile> ReadText(const ScratchDir& scratch, const std::string& text) {
  auto file = std::make_unique<CGaussianInFile>(scratch.Write("in.com", text));
  file->Read(0);
  return file;
}

void FillWater(CDataFile& record) {
  record.SetNumberOfAtoms(3);
  record.SetAtomType({"O", "H", "H"});
  record.SetAtomName({"O", "H1", "H2"});
  record.SetCartesian({{0, 0, 0}, {0.96, 0, 0}, {-0.24, 0.93, 0}});
  record.SetTitle("  water");
}

// Hydrogen peroxide as a Z-matrix without dummy atoms.
void FillPeroxideZMatrix(CDataFile& record) {
  record.SetNumberOfAtoms(4);
  record.SetAtomType({"O", "O", "H", "H"});
  record.SetInternal({{0, 0, 0}, {1.45, 0, 0}, {0.97, 100, 0}, {0.97, 100, 120}},
                     {{-1, -2, -3}, {0, -1, -2}, {0, 1, -1}, {1, 0, 2}});
}

TEST(GaussianInWriter, CartesianAndLabelsWithoutNumbers) {
  ScratchDir scratch;
  CGaussianInFile record;
  FillWater(record);
  EXPECT_EQ(WriteOut(scratch, record, "dir/water.com"), std::string("%Chk=water\n") + kHeader +
                                                            "water\n"
                                                            "\n"
                                                            "0 1\n"
                                                            "   O1     0.000000     0.000000     0.000000\n"
                                                            "   H2     0.960000     0.000000     0.000000\n"
                                                            "   H3    -0.240000     0.930000     0.000000\n"
                                                            "\n");
  CGaussianInFile bare;
  FillWater(bare);
  bare.SetTitle("   ");
  bare.SetFileFlag(kFileNoAtomNumber);
  EXPECT_EQ(WriteOut(scratch, bare, "bare.job.com"), std::string("%Chk=bare.job\n") + kHeader +
                                                         "Title:\n"
                                                         "\n"
                                                         "0 1\n"
                                                         "   O     0.000000     0.000000     0.000000\n"
                                                         "   H     0.960000     0.000000     0.000000\n"
                                                         "   H    -0.240000     0.930000     0.000000\n"
                                                         "\n");
  CGaussianInFile empty;
  EXPECT_EQ(WriteOut(scratch, empty, "empty.com"), std::string("%Chk=empty\n") + kHeader + "Title:\n\n0 1\n\n");
}

// INT on a record with only Cartesian coordinates: three dummy atoms are
// put in front and every atom refers to its bonds (O4 hangs from the third
// dummy, the hydrogens from O4). The values: |O-X3| = sqrt(3), the angle
// O-X3-X2 = acos(1/sqrt(3)) = 54.735610, the dihedrals measured by hand.
TEST(GaussianInWriter, ZMatrixFromCartesianCoordinates) {
  ScratchDir scratch;
  CGaussianInFile record;
  FillWater(record);
  record.SetConnection({{0, {1, 2}}, {1, {0}}, {2, {0}}});
  record.SetFileFlag(kFileInternal);
  EXPECT_EQ(WriteOut(scratch, record, "water.com"),
            std::string("%Chk=water\n") + kHeader +
                "water\n"
                "\n"
                "0 1\n"
                "   X1\n"
                "   X2       1     1.000000\n"
                "   X3       2     1.000000    1    90.000000\n"
                "   O4       3     1.732051    2    54.735610    1   -45.000000\n"
                "   H5       4     0.960000    3    54.735610    2    60.000000\n"
                "   H6       4     0.960469    3    65.495291    2   -71.196876\n"
                "\n");

  // Read back: a Z-matrix, whose rebuilt water keeps its shape.
  auto back = std::make_unique<CGaussianInFile>(scratch.Path("water.com"));
  back->Read(0);
  EXPECT_EQ(back->GetFileFlags(), kFileInternal);
  EXPECT_EQ(back->GetAtomType(), (std::vector<std::string>{"DU", "DU", "DU", "O", "H", "H"}));
  const Frame& points = back->GetCartesian();
  ASSERT_EQ(points.size(), 6u);
  EXPECT_NEAR(Distance(points[3], points[5]), Distance({0, 0, 0}, {-0.24, 0.93, 0}), 1e-6);
  EXPECT_NEAR(Distance(points[4], points[5]), Distance({0.96, 0, 0}, {-0.24, 0.93, 0}), 1e-6);
}

TEST(GaussianInWriter, VariablesAndReadingThemBack) {
  ScratchDir scratch;
  CGaussianInFile record;
  FillPeroxideZMatrix(record);
  record.SetTitle("peroxide");
  record.SetFileFlag(kFileInternal | kFileUseVar);
  const std::string text = WriteOut(scratch, record, "hooh.com");
  EXPECT_EQ(text, std::string("%Chk=hooh\n") + kHeader +
                      "peroxide\n"
                      "\n"
                      "0 1\n"
                      "   O1\n"
                      "   O2       1  r2\n"
                      "   H3       1  r3    2  a3\n"
                      "   H4       2  r4    1  a4    3  d4\n"
                      "\n"
                      "r2     1.450000\n"
                      "r3     0.970000\n"
                      "a3   100.000000\n"
                      "r4     0.970000\n"
                      "a4   100.000000\n"
                      "d4   120.000000\n"
                      "\n");
  // Reading it back gives the same Z-matrix, and writing that again (the
  // reader leaves INT set) the same file.
  auto back = std::make_unique<CGaussianInFile>(scratch.Path("hooh.com"));
  back->Read(0);
  EXPECT_EQ(back->GetFileFlags(), kFileInternal);
  EXPECT_EQ(back->GetInternal(), record.GetInternal());
  EXPECT_EQ(back->GetInternalReference(), record.GetInternalReference());
  EXPECT_EQ(back->GetAtomName(), (std::vector<std::string>{"O1", "O2", "H3", "H4"}));
  back->SetFileFlag(kFileUseVar);
  EXPECT_EQ(WriteOut(scratch, *back, "hooh.com"), text);
}

// The charge line: the one the Gaussian file stated; otherwise the
// perceived net charge, a doublet when it leaves the electrons odd (Cu2+
// has 27); "0 1" with a warning where no element is known.
TEST(GaussianInWriter, ChargeLineStatedOrPerceived) {
  ScratchDir scratch;
  // The sixth line, after the checkpoint, the route, the one-line title
  // and their blank lines.
  auto charge_line = [&](CDataFile& record) {
    std::istringstream text(WriteOut(scratch, record, "q.com"));
    std::string line;
    for (int k = 0; k < 6; ++k) std::getline(text, line);
    return line;
  };
  auto stated = ReadText(scratch, "#p opt\n\noh\n\n1,3\nO\nH 1 0.98\n\n");
  EXPECT_EQ(charge_line(*stated), "1 3");

  CGaussianInFile water;
  FillWater(water);
  EXPECT_EQ(charge_line(water), "0 1");
  CGaussianInFile copper;
  copper.SetNumberOfAtoms(1);
  copper.SetAtomType({"CU"});
  copper.SetAtomName({"CU  "});
  copper.SetResidueName({"CU"});
  copper.SetCartesian({{0, 0, 0}});
  EXPECT_EQ(charge_line(copper), "2 2");

  ConsoleCapture capture;
  CGaussianInFile unknown;
  FillWater(unknown);
  unknown.SetAtomType({"O", "H", "XX"});
  EXPECT_EQ(charge_line(unknown), "0 1");
  EXPECT_NE(capture.Err().find(": no charge and multiplicity can be perceived without the element and coordinates of "
                               "every atom; \"0 1\" is written.\n"),
            std::string::npos);
}

// Link 0 lines, a route over two lines, a two-line title, separators of
// one blank, commas, atomic numbers as labels, freeze flags, a basis-set
// section after the molecule and a second job that is not read.
TEST(GaussianInReader, CartesianJobAsWritten) {
  ScratchDir scratch;
  auto file = ReadText(scratch,
                       "--Link1--\n%chk=a\n%mem=1GB\n#p b3lyp/gen\n# opt freq\n \nfirst line\nsecond line\n \n"
                       "0,1\n8,0,0.0,0.0,0.119\n1,0,0.0,0.757,-0.477\nH,-1,0.0,-0.757,-0.477\n\nC 0\n6-31G(d)\n****\n\n"
                       "--Link1--\n%chk=a\n#p freq geom=check\n\nsecond job\n\n0 1\nC 0 0 0\n\n");
  EXPECT_EQ(file->GetFileFlags(), kFileCartesianRead);
  EXPECT_EQ(file->GetTitle(), "first line second line");
  EXPECT_EQ(file->GetNumberOfAtoms(), 3);
  EXPECT_EQ(file->GetAtomType(), (std::vector<std::string>{"O", "H", "H"}));
  EXPECT_EQ(file->GetAtomName(), (std::vector<std::string>{"8", "1", "H"}));
  EXPECT_EQ(file->GetCartesian(), (Frame{{0, 0, 0.119}, {0, 0.757, -0.477}, {0, -0.757, -0.477}}));
  EXPECT_TRUE(file->GetInternal().empty());

  EXPECT_EQ(file->GetStatedChargeAndMultiplicity(), (ChargeAndMultiplicity{0, 1}));

  auto plain = ReadText(scratch, "#p sp\n\nt\n\n0 1\n Cl1  1.5 0 0 \n\tNa2\t0\t0\t0\n");
  EXPECT_EQ(plain->GetAtomType(), (std::vector<std::string>{"CL", "NA"}));
  EXPECT_EQ(plain->GetCartesian(), (Frame{{1.5, 0, 0}, {0, 0, 0}}));
}

// References by label, variables given as "name=value", "name value" and
// under a "Variables:" heading, a constants section, a negated variable.
TEST(GaussianInReader, ZMatrixWithVariables) {
  ScratchDir scratch;
  auto file = ReadText(scratch,
                       "#P HF/STO-3G\n\nperoxide\n\n0 1\nO1\nO2 O1 roo\nH3 O1 roh O2 aooh\n"
                       "H4 O2 roh O1 aooh H3 -dhooh 0\n\nroo=1.45\n Variables:\nroh 0.97\naooh = 100.0\n\n"
                       "dhooh 120.0\n\n");
  EXPECT_EQ(file->GetFileFlags(), kFileInternal);
  CGaussianInFile expected;
  FillPeroxideZMatrix(expected);
  expected.GetInternal()[3][2] = -120.0;
  EXPECT_EQ(file->GetInternal(), expected.GetInternal());
  EXPECT_EQ(file->GetInternalReference(), expected.GetInternalReference());
  const Frame& p = file->GetCartesian();
  ASSERT_EQ(p.size(), 4u);
  EXPECT_NEAR(Distance(p[0], p[1]), 1.45, 1e-12);
  EXPECT_NEAR(AngleDegrees(p[3], p[1], p[0]), 100.0, 1e-9);
  EXPECT_NEAR(*DihedralDegrees(p[3], p[1], p[0], p[2]), -120.0, 1e-9);
}

// Every molecule line is read by its own fields: Cartesian with or without
// a freeze flag, Z-matrix rows after Cartesian atoms (placed from them),
// ONIOM layers after z. Methanol: C, O and one H given, the other three
// from their C-H bonds, H-C-O angles and dihedrals.
TEST(GaussianInReader, LinesReadByTheirOwnLayout) {
  ScratchDir scratch;
  auto mixed = ReadText(scratch,
                        "#p opt\n\nmethanol\n\n0 1\nC 0 0 0\nO 0 0.0 0.0 1.43\nH 0.0 1.03 -0.36\n"
                        "H 1 1.09 2 109.5 3 120.0\nH 1 1.09 2 109.5 3 -120.0\nH 2 0.96 1 109.5 3 180.0\n\n");
  EXPECT_EQ(mixed->GetFileFlags(), kFileCartesianRead);
  EXPECT_TRUE(mixed->GetInternal().empty());
  const Frame& p = mixed->GetCartesian();
  ASSERT_EQ(p.size(), 6u);
  EXPECT_EQ(p[1], (Point{0, 0, 1.43}));
  EXPECT_EQ(p[2], (Point{0, 1.03, -0.36}));
  for (size_t h = 3; h < 5; ++h) {
    EXPECT_NEAR(Distance(p[h], p[0]), 1.09, 1e-12);
    EXPECT_NEAR(AngleDegrees(p[h], p[0], p[1]), 109.5, 1e-9);
  }
  EXPECT_NEAR(*DihedralDegrees(p[3], p[0], p[1], p[2]), 120.0, 1e-9);
  EXPECT_NEAR(*DihedralDegrees(p[4], p[0], p[1], p[2]), -120.0, 1e-9);
  EXPECT_NEAR(Distance(p[5], p[1]), 0.96, 1e-12);
  EXPECT_NEAR(std::abs(*DihedralDegrees(p[5], p[1], p[0], p[2])), 180.0, 1e-9);

  // A freeze flag on the last line only, then on the first line only.
  for (const char* molecule : {"O 0 0 0.119\nH 0 0.763 -0.477\nH -1 0 -0.763 -0.477\n",
                               "O -1 0 0 0.119\nH 0 0.763 -0.477\nH 0 -0.763 -0.477\n"}) {
    auto water = ReadText(scratch, std::string("#p opt\n\nwater\n\n0 1\n") + molecule + "\n");
    EXPECT_EQ(water->GetCartesian().back(), (Point{0, -0.763, -0.477})) << molecule;
  }
  // ONIOM: a layer after z is no coordinate, with a flag or without; a
  // positive integer before a layer is x.
  auto oniom = ReadText(scratch,
                        "#p oniom(b3lyp:uff)\n\nlayers\n\n0 1 0 1 0 1\nC-CA--0.1 0 1.5 2.5 3.5 H\n"
                        "C 0 0 0 L\nH 1 0 0 L H-HC 1\nH 0.0 2.0 1.0 L\n\n");
  EXPECT_EQ(oniom->GetCartesian(), (Frame{{1.5, 2.5, 3.5}, {0, 0, 0}, {1, 0, 0}, {0, 2, 1}}));

  // Rows opening a molecule stand in Gaussian's frame (second atom on +z,
  // third in the xz plane), the frame of the Cartesian atoms after them.
  auto opening = ReadText(scratch, "#p sp\n\nt\n\n0 1\nO\nH 1 1.0\nH 1 1.0 2 90.0\nC 0 0 0 -1.5\n\n");
  EXPECT_EQ(opening->GetFileFlags(), kFileCartesianRead);
  const Frame& q = opening->GetCartesian();
  ASSERT_EQ(q.size(), 4u);
  EXPECT_LT(Distance(q[1], {0, 0, 1}), 1e-12);
  EXPECT_LT(Distance(q[2], {1, 0, 0}), 1e-12);
  EXPECT_EQ(q[3], (Point{0, 0, -1.5}));
}

// Variables straight after the molecule under their heading, comments
// anywhere (a comment line is no blank line), ghost and dummy atoms, labels
// with options (commas inside them) and ONIOM types.
TEST(GaussianInReader, VariablesCommentsAndLabels) {
  ScratchDir scratch;
  auto inline_variables = ReadText(scratch,
                                   "! peroxide\n%chk=p ! checkpoint\n#P HF/STO-3G ! route\n! more\n\nperoxide ! t\n\n"
                                   "0 1 ! charge\n! first the oxygens\nO1\nO2 O1 roo ! O-O\nH3 O1 roh O2 aooh\n"
                                   "H4 O2 roh O1 aooh H3 dhooh 0\n Variables:\nroo=1.45\n! a comment line\nroh 0.97\n"
                                   "aooh 100.0\n Constants:\ndhooh 120.0\n\n");
  EXPECT_EQ(inline_variables->GetTitle(), "peroxide");
  EXPECT_EQ(inline_variables->GetFileFlags(), kFileInternal);
  CGaussianInFile expected;
  FillPeroxideZMatrix(expected);
  EXPECT_EQ(inline_variables->GetInternal(), expected.GetInternal());
  EXPECT_EQ(inline_variables->GetInternalReference(), expected.GetInternalReference());

  auto labels = ReadText(scratch,
                         "#p sp\n\nt\n\n0 1\nC(Iso=13,Spin=1) 0 0 0\nO-OW--0.834 1 0 0\nH-Bq 0 1 0\nBq 0 0 1\n"
                         "Bq-O 1 1 1\nX 2 0 0\nCl1234 3 0 0\nH 4 0 0\n\n");
  EXPECT_EQ(labels->GetAtomType(), (std::vector<std::string>{"C", "O", "DU", "DU", "DU", "DU", "CL", "H"}));
  EXPECT_EQ(labels->GetAtomName(), (std::vector<std::string>{"C", "O", "H-Bq", "Bq", "Bq-O", "X", "Cl12", "H"}));
  EXPECT_EQ(labels->GetCartesian().size(), 8u);

  // A reference by the label without its options.
  auto reference = ReadText(scratch, "#p sp\n\nt\n\n0 1\nC1(Iso=13)\nO2 C1 1.2\n\n");
  EXPECT_EQ(reference->GetInternalReference()[1][0], 0);

  // Dummies and ghosts are written as X in either layout.
  labels->SetFileFlag(kFileNoAtomNumber);
  const std::string written = WriteOut(scratch, *labels, "labels.com");
  EXPECT_NE(written.find("   C     0.000000     0.000000     0.000000\n   O     1.000000     0.000000     0.000000\n"
                         "   X     0.000000     1.000000     0.000000\n   X     0.000000     0.000000     1.000000\n"),
            std::string::npos)
      << written;
}

// The first pair of the charge line is the molecule's (ONIOM layers and
// fragments follow); a multiplicity below 1 states nothing. The file's one
// structure is read once: a second Read leaves an empty record that states
// nothing either.
// A reference by label is the first earlier atom of that label (in any
// case, with or without its options), never the atom itself or one after.
TEST(GaussianInReader, LabelReferencesFindTheFirstEarlierAtom) {
  const auto resolve = [](const std::vector<std::string>& text, std::vector<ReferenceTriple>& references) {
    std::vector<ZMatrixLine> lines(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
      if (!ParseMoleculeLine(SplitGaussianFields(text[i]), i, lines[i])) return false;
    }
    std::vector<Point> values;
    return ResolveZMatrix(lines, {}, values, references);
  };
  std::vector<ReferenceTriple> references;
  ASSERT_TRUE(resolve({"C1(Iso=13)", "H c1 1.0", "H C1 1.0 h 109.5", "O 2 1.4 C1(Iso=13) 109.5 H 120.0"}, references));
  EXPECT_EQ(references[1], (ReferenceTriple{0, -1, -2}));
  EXPECT_EQ(references[2], (ReferenceTriple{0, 1, -1})) << "two atoms labelled H: the first";
  EXPECT_EQ(references[3], (ReferenceTriple{1, 0, 1}));
  EXPECT_FALSE(resolve({"C", "O C 1.2", "N O 1.3 N 120.0"}, references)) << "N refers to itself";
  EXPECT_FALSE(resolve({"C", "O F 1.2", "F C 1.3 O 120.0"}, references)) << "F comes after O";
}

TEST(GaussianInReader, StatedChargeAndMultiplicity) {
  ScratchDir scratch;
  auto oniom = ReadText(scratch, "#p oniom(b3lyp:uff)\n\nt\n\n-1 2 0 1 0 1\nC 0.0 0.0 0.0 H\n\n");
  EXPECT_EQ(oniom->GetStatedChargeAndMultiplicity(), (ChargeAndMultiplicity{-1, 2}));
  EXPECT_EQ(oniom->GetStatedChargeAndMultiplicity()->UnpairedElectrons(), 1);
  oniom->Read(0);
  EXPECT_FALSE(oniom->GetStatedChargeAndMultiplicity().has_value());
  auto none = ReadText(scratch, "#p sp\n\nt\n\n2 0\nC 0 0 0\n\n");
  EXPECT_EQ(none->GetNumberOfAtoms(), 1);
  EXPECT_FALSE(none->GetStatedChargeAndMultiplicity().has_value());
}

TEST(GaussianInReader, UnreadableGeometries) {
  ScratchDir scratch;
  const std::vector<std::string> texts = {
      "",
      "#p freq geom=allcheck guess=read\n\n",                        // no molecule at all
      "title first\n\n0 1\nC 0 0 0\n\n",                             // no route
      "#p sp\n\nt\n\nzero one\nC 0 0 0\n\n",                         // no charge line
      "#p sp\n\nt\n\n0 1\n\n",                                       // no atom
      "#p sp\n\nt\n\n0 1\no h me\n\n",                               // a model, not a molecule
      "#p sp\n\nt\n\n0 1\nC 0 0 1.0.0\n\n",                          // a number that is not one
      "#p sp\n\nt\n\n0 1\nC\nO 1 1.2\nH 5 1.0 1 120.0\n\n",          // atom 5 does not exist
      "#p sp\n\nt\n\n0 1\nC\nO 1 1.2\nH 2 1.0 1 120.0 1 0.0\n\n",    // a fourth atom line for the third atom
      "#p sp\n\nt\n\n0 1\nC\nO 1 rco\n\nrch 1.0\n\n",                // rco never defined
      "#p sp\n\nt\n\n0 1\nC 0 0 0\nO 1 1.2\n\n",                     // a partial Z-matrix row after a Cartesian atom
      "#p sp\n\nt\n\n0 1\nC 0 0 0\nO 0 0 1.2\nH 1 1.0 2 120.0\n\n",  // the third atom needs three references here
      "#p sp\n\nt\n\n0 1\nC\nO 1 1.2\n Variables:\nr 1.0 2.0\n\n",   // a variable line that is none
      "#p sp\n\nt\n\n0 1\nC\nO H1 1.2\n\n",                          // no atom labelled H1 before
  };
  for (const std::string& text : texts) {
    const std::string path = scratch.Write("bad.com", text);
    EXPECT_EQ(ErrorOf([&] { CGaussianInFile(path).Read(0); }), "Incorrect Gaussian input file: " + path + "\n") << text;
  }
}

// A Z-matrix whose angle atom is its bond atom stops the conversion: the
// points held are fewer than the atoms, which the Cartesian writer refuses
// while the Z-matrix can still be written.
TEST(GaussianInReader, ConversionThatStopsEarly) {
  ScratchDir scratch;
  ConsoleCapture capture;
  auto file = ReadText(scratch, "#p sp\n\nt\n\n0 1\nO\nO 1 1.45\nH 1 0.97 2 100.0\nH 2 0.97 2 100.0 3 0.0\n\n");
  EXPECT_EQ(capture.Err(), "Convert internal coordinates to cartesian coordinates: failed.\n");
  EXPECT_EQ(file->GetNumberOfAtoms(), 4);
  EXPECT_EQ(file->GetCartesian().size(), 3u);
  file->OpenOutput(scratch.Path("out.com"), true);
  EXPECT_EQ(ErrorOf([&] {
              file->ClearFileFlag(kFileInternal);
              file->Write();
            }),
            "Error: 3 of the 4 atoms have coordinates; the structure cannot be written.\n");
  file->SetFileFlag(kFileInternal);
  EXPECT_NE(WriteOut(scratch, *file, "zmatrix.com").find("   H4       2     0.970000    2   100.000000"),
            std::string::npos);
}

// Every input of the corpus: atoms, the kind of geometry and its last
// point (Z-matrices rebuilt with atom 1 at the origin and atom 2 on x),
// checked against the files; the two without a molecule are incorrect.
TEST(GaussianInReader, CorpusFiles) {
  if (!CorpusPresent()) GTEST_SKIP() << "corpus not found";
  struct Row {
    const char* name;
    int atoms;
    uint32_t flags;
    Point last;
    const char* types;
    ChargeAndMultiplicity stated = {};
  };
  const Row rows[] = {
      {"1615.gjf", 2, kFileInternal, {0.25, 0, 0}, "H F"},
      {"Mo4OCl4-sp.com", 6, kFileCartesianRead, {1.711738, 1.710992, -0.660079}, "MO O CL CL CL CL", {-2, 1}},
      {"Trp_polar.com", 27, kFileCartesianRead, {0.5990015339, 0.8842421241, 2.0047830456}, ""},
      {"dvb_bomd.in", 20, kFileCartesianRead, {1.116193341, 0, -1.7967058287}, ""},
      {"test0237.com", 3, kFileInternal, {-0.239363, 0.925549, 0}, "O H H"},
      {"tp.com", 13, kFileCartesianRead, {-2.379, -0.916, 0.901}, ""},
      {"water_hf_solvent_pcm.com", 3, kFileCartesianRead, {0.79065, 0.47664, 0}, "O H H"},
      {"water_mp2.com", 3, kFileInternal, {-0.272881, 0.951649, 0}, "O H H"},
  };
  for (const Row& row : rows) {
    CGaussianInFile file(std::string(TARVEX_CORPUS) + "/com/" + row.name);
    file.Read(0);
    EXPECT_EQ(file.GetNumberOfAtoms(), row.atoms) << row.name;
    EXPECT_EQ(file.GetFileFlags(), row.flags) << row.name;
    ASSERT_EQ(file.GetCartesian().size(), static_cast<size_t>(row.atoms)) << row.name;
    EXPECT_LT(Distance(file.GetCartesian().back(), row.last), 1e-6) << row.name;
    EXPECT_EQ(file.GetStatedChargeAndMultiplicity(), row.stated) << row.name;
    if (*row.types) {
      std::string types;
      for (const std::string& type : file.GetAtomType()) types += (types.empty() ? "" : " ") + type;
      EXPECT_EQ(types, row.types) << row.name;
    }
  }
  for (const char* name : {"dvb_ir.gjf", "test0200.com"}) {
    const std::string path = std::string(TARVEX_CORPUS) + "/com/" + name;
    EXPECT_EQ(ErrorOf([&] { CGaussianInFile(path).Read(0); }), "Incorrect Gaussian input file: " + path + "\n");
  }
}

// Every input and log of the corpus written as COM and read back: the same
// atoms, elements and coordinates (to the 6 decimals written; a Z-matrix is
// written back as one and rebuilt the same way). The two inputs without a
// molecule are left out.
TEST(GaussianInRoundTrip, CorpusInputsAndLogs) {
  if (!CorpusPresent()) GTEST_SKIP() << "corpus not found";
  ScratchDir scratch;
  std::vector<std::string> files = CorpusFiles("com");
  const std::vector<std::string> logs = CorpusFiles("log");
  files.insert(files.end(), logs.begin(), logs.end());
  int compared = 0;
  for (const std::string& path : files) {
    const bool log = path.find("/log/") != std::string::npos;
    std::unique_ptr<CDataFile> original;
    if (log) {
      original = std::make_unique<CGaussianOutFile>(path);
    } else {
      if (path.ends_with("dvb_ir.gjf") || path.ends_with("test0200.com")) continue;
      original = std::make_unique<CGaussianInFile>(path);
    }
    original->Read(-1);
    CGaussianInFile copy;
    copy.CopyState(*original);
    copy.OpenOutput(scratch.Path("copy.com"), true);
    copy.Write();
    ASSERT_TRUE(CommitOutputs()) << path;
    CGaussianInFile back(scratch.Path("copy.com"));
    back.Read(0);
    const Frame& before = original->GetCartesian();
    const Frame& after = back.GetCartesian();
    ASSERT_EQ(after.size(), before.size()) << path;
    EXPECT_EQ(back.GetAtomType(), original->GetAtomType()) << path;
    for (size_t i = 0; i < before.size(); ++i) EXPECT_LT(Distance(before[i], after[i]), 2e-6) << path << " atom " << i;
    ++compared;
  }
  EXPECT_EQ(compared, 23);
}

}  // namespace
}  // namespace tarvex
