#include "formats/pdb_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "../support/scratch_dir.h"
#include "common/numbers.h"
#include "molecule/tables.h"
#include "pdb_test_files.h"

namespace tarvex {
namespace {

using testing::ScratchDir;
using testing_files::ErrorOf;

// An atom record in the PDB's own columns; `number` fills columns 23-26
// right-justified (or is taken as it stands when it is four characters).
std::string Atom(int serial, const char* name, const char* residue, char chain, const char* number, double x, double y,
                 double z, const char* element = "") {
  char line[128];
  std::snprintf(line, sizeof line, "ATOM  %5d %-4.4s %3.3s %c%4.4s    %8.3f%8.3f%8.3f  1.00  0.00          %2s", serial,
                name, residue, chain, number, x, y, z, element);
  return std::string(line) + "\n";
}

std::unique_ptr<CPdbFile> ReadText(const std::string& text, uint32_t flags = 0) {
  const ScratchDir dir;
  auto file = std::make_unique<CPdbFile>(dir.Write("in.pdb", text));
  file->SetFileFlag(flags);
  file->Read(0);
  return file;
}

std::string ElementName(const PdbElementMatch& match) { return std::string(kElementSymbols[match.element]); }

// The element search over the name field: its standard columns, the hint of
// columns 77-78, the relaxed rules that STRICT leaves out, and where the
// stored name moves an element symbol found off its columns.
TEST(PdbElement, NameTable) {
  struct Row {
    const char* name;
    const char* hint;
    bool strict;
    const char* element;
    const char* stored;
  };
  const Row rows[] = {
      {" CA ", "", false, "C", " CA "},                                       // alpha carbon
      {"CA  ", "", false, "CA", "CA  "},                                      // calcium sits in columns 13-14
      {" CA ", "CA", false, "CA", "CA  "},                                    // the hint wins and the name moves left
      {" CA ", "CA", true, "C", " CA "},                                      // STRICT: the standard column decides
      {"CA  ", "C", false, "C", "CA  "},                                      // a carbon named CA written in column 13
      {" OH2", "", false, "O", " OH2"},    {"HD11", "", false, "H", "HD11"},  // four-letter hydrogen from column 13
      {"HD11", "", true, "DU", "HD11"},    {"1HB2", "", false, "H", "1HB2"},  // old hydrogen style, H at column 14
      {"HG  ", "", false, "H", "HG  "},                                       // H in column 13 comes first
      {"HG  ", "HG", false, "HG", "HG  "}, {"HG  ", "", true, "HG", "HG  "},
      {" FE ", "", false, "F", " FE "},    {" FE ", "FE", false, "FE", "FE  "},
      {" CL1", "CL", false, "CL", "CL1 "}, {"CL1 ", "", false, "CL", "CL1 "},
      {"NA  ", "", false, "NA", "NA  "},   {" NA ", "", false, "N", " NA "},
      {"C1  ", "", false, "C", "C1  "},  // shifted: C in 13, a digit after it
      {"C1  ", "", true, "C", "C1  "},     {"O5' ", "", false, "O", "O5' "},
      {" 1H ", "", false, "H", " 1H "},  // digit prefix, H in column 15
      {"11H ", "", false, "H", "1H 1"},  // ... whose leading digit moves behind
      {"XX  ", "", false, "DU", "XX  "},   {"    ", "", false, "DU", "    "},
      {"EPW ", "LP", false, "LP", "EPW "}, {"EPW ", "EP", true, "LP", "EPW "},  // extra point of a four-point water
      {" C1 ", "DU", false, "DU", " C1 "},                                      // a dummy atom as written
  };
  for (const Row& row : rows) {
    const PdbElementMatch match = FindPdbElement(row.name, row.hint, row.strict);
    EXPECT_EQ(ElementName(match), row.element) << '"' << row.name << "\" hint " << row.hint << " strict " << row.strict;
    EXPECT_EQ(NormalizePdbAtomName(row.name, match), row.stored) << '"' << row.name << "\" hint " << row.hint;
  }
}

TEST(PdbElement, HintComesFromColumns77And78OfLongLines) {
  std::string text = Atom(1, " CA", "CA", 'A', "1", 0, 0, 0, "Ca");
  text += Atom(2, " CA", "ALA", 'A', "2", 0, 0, 0, " C");
  std::string short_line = Atom(3, " CA", "CA", 'A', "3", 0, 0, 0, "CA");
  short_line.resize(short_line.size() - 3);  // ends at column 76: no hint
  text += short_line + "\n";
  auto pdb = ReadText(text);
  EXPECT_EQ(pdb->GetAtomType(), (std::vector<std::string>{"CA", "C", "C"}));
  EXPECT_EQ(pdb->GetAtomName(), (std::vector<std::string>{"CA  ", " CA ", " CA "}));
}

TEST(PdbElement, Hybrid36) {
  int value = 0;
  EXPECT_TRUE(DecodeHybrid36("A000", 4, value));
  EXPECT_EQ(value, 10000);
  EXPECT_TRUE(DecodeHybrid36("ZZZZ", 4, value));
  EXPECT_EQ(value, 10000 + 26 * 36 * 36 * 36 - 1);
  EXPECT_TRUE(DecodeHybrid36("a000", 4, value));
  EXPECT_EQ(value, 10000 + 26 * 36 * 36 * 36);
  EXPECT_TRUE(DecodeHybrid36("A0000", 5, value));
  EXPECT_EQ(value, 100000);
  EXPECT_FALSE(DecodeHybrid36("1000", 4, value));
  EXPECT_FALSE(DecodeHybrid36("Ab00", 4, value));  // mixed case
  EXPECT_FALSE(DecodeHybrid36("A00", 4, value));
}

// Atom records, residues (a new one at each change of number or name), the
// chain column, six-digit numbers and TER records.
TEST(PdbRead, AtomRecordsResiduesAndTer) {
  const std::string text = "HEADER    TEST\n" + Atom(1, " N", "ALA", 'A', "5", 1, 2, 3, "N") +
                           Atom(2, " CA", "ALA", 'A', "5", 4, 5, 6, "C") + "TER       3      ALA A   5\n" +
                           Atom(4, " N", "GLY", 'B', "5", 7, 8, 9) +
                           "HETATM    5  O   HOH123456       1.000   2.000   3.000  1.00  0.00           O\n" +
                           "HETATM99999  O   HOH123456       1.000   2.000   3.000\n" + "TER\n" + "END\n";
  auto pdb = ReadText(text);
  EXPECT_EQ(pdb->GetNumberOfAtoms(), 5);
  EXPECT_EQ(pdb->GetNumberOfResidues(), 3);
  EXPECT_EQ(pdb->GetAtomIndex(), (std::vector<int>{1, 2, 4, 5, 99999}));
  EXPECT_EQ(pdb->GetResidueName(), (std::vector<std::string>{"ALA", "ALA", "GLY", "HOH", "HOH"}));
  EXPECT_EQ(pdb->GetResidueIndex(), (std::vector<int>{5, 5, 5, 123456, 123456}));
  EXPECT_EQ(pdb->GetResidueNumber(), (std::vector<int>{0, 0, 1, 2, 2}));
  EXPECT_EQ(pdb->GetHeadAtomOfResidue(), (std::vector<int>{0, 2, 3, 5}));
  EXPECT_EQ(pdb->GetTerList(), (std::vector<int>{2, 5}));
  EXPECT_EQ(pdb->GetCartesian()[1], (Point{4, 5, 6}));
  EXPECT_TRUE(pdb->GetConnection().empty());
}

// "****" residue numbers count on from 10000, a new residue each time the
// first overflowed atom's name comes round; readable numbers still count.
TEST(PdbRead, OverflowNumbering) {
  const std::string text = Atom(1, " O", "WAT", 'W', "9999", 0, 0, 0) + Atom(2, " H1", "WAT", 'W', "9999", 0, 0, 0) +
                           Atom(3, " O", "WAT", 'W', "****", 0, 0, 0) + Atom(4, " H1", "WAT", 'W', "****", 0, 0, 0) +
                           Atom(5, " H2", "WAT", 'W', "****", 0, 0, 0) + Atom(6, " O", "WAT", 'W', "****", 0, 0, 0) +
                           Atom(7, " H1", "WAT", 'W', "****", 0, 0, 0) + Atom(8, "NA", "NA", 'I', "12", 0, 0, 0) +
                           Atom(9, " O", "WAT", 'W', "****", 0, 0, 0);
  auto pdb = ReadText(text);
  EXPECT_EQ(pdb->GetResidueIndex(), (std::vector<int>{9999, 9999, 10000, 10000, 10000, 10001, 10001, 12, 10002}));
  EXPECT_EQ(pdb->GetResidueNumber(), (std::vector<int>{0, 0, 1, 1, 1, 2, 2, 3, 4}));
  EXPECT_EQ(pdb->GetNumberOfResidues(), 5);
}

// CHARMM's four-letter residue names fill column 21 and leave column 22
// blank: the number is then read from column 23, and a fifth digit that runs
// into column 27 belongs to it.
TEST(PdbRead, FourLetterResidueNames) {
  auto tip3 = [](int serial, const char* number) {
    char line[128];
    std::snprintf(line, sizeof line, "ATOM  %5d  OH2 TIP3 %-5s      8.062 -54.900  20.883  1.00  0.00      TIP3\n",
                  serial, number);
    return std::string(line);
  };
  auto pdb = ReadText(tip3(1, "1") + tip3(2, "1") + tip3(3, "2") + tip3(4, "1000") + tip3(5, "10000"));
  EXPECT_EQ(pdb->GetResidueIndex(), (std::vector<int>{1, 1, 2, 1000, 10000}));
  EXPECT_EQ(pdb->GetResidueNumber(), (std::vector<int>{0, 0, 1, 2, 3}));
  EXPECT_EQ(pdb->GetResidueName()[0], "TIP");
  EXPECT_EQ(pdb->GetCartesian()[4], (Point{8.062, -54.900, 20.883}));
}

// Coordinates off the fixed columns are read as the first three numbers from
// column 28; a record without three numbers stops the read with its line.
TEST(PdbRead, CoordinatesFallBackToFreeFormat) {
  const std::string text =
      "ATOM      1  C   LIG     1  1.5  -2.25  3e1\n"
      "ATOM      2  C   LIG     1   -10.347-39.096  33.584  1.00\n"
      "ATOM      3  C   LIG     1       1.  5   2.000   3.000 4.0 5.0 6.0\n";
  auto pdb = ReadText(text);
  ASSERT_EQ(pdb->GetNumberOfAtoms(), 3);
  EXPECT_EQ(pdb->GetCartesian()[0], (Point{1.5, -2.25, 30.0}));
  EXPECT_EQ(pdb->GetCartesian()[1], (Point{-10.347, -39.096, 33.584}));
  EXPECT_EQ(pdb->GetCartesian()[2], (Point{1.0, 5.0, 2.0})) << "the broken fixed field is read by white space";

  const ScratchDir dir;
  const std::string path = dir.Write(
      "bad.pdb", Atom(1, " C", "LIG", ' ', "1", 0, 0, 0) + "REMARK\nATOM      2  C   LIG     1       1.000   2.000\n");
  CPdbFile bad(path);
  EXPECT_EQ(ErrorOf([&] { bad.Read(0); }),
            "Error: " + path + ", line 3: the atom record has no x, y, z coordinates.\n");
  CPdbFile too_short(dir.Write("short.pdb", "ATOM\n"));
  EXPECT_NE(ErrorOf([&] { too_short.Read(0); }).find("line 1: the atom record has no x, y, z"), std::string::npos);
}

TEST(PdbRead, FixedColumnsGiveTheExactDecimalValue) {
  const double values[] = {0.1, -0.001, 123.456, -999.999, 999.999, -0.0, 3.0};
  std::string text;
  int serial = 1;
  for (double v : values) text += Atom(serial++, " C", "LIG", ' ', "1", v, -v, v / 8);
  auto pdb = ReadText(text);
  for (size_t i = 0; i < std::size(values); ++i) {
    for (size_t axis = 0; axis < 3; ++axis) {
      const double written = axis == 0 ? values[i] : axis == 1 ? -values[i] : values[i] / 8;
      double expected = 0.0;
      ASSERT_TRUE(ParseDoubleField(FormatFixed(written, 8, 3), expected));
      EXPECT_EQ(pdb->GetCartesian()[i][axis], expected);
      EXPECT_EQ(std::signbit(pdb->GetCartesian()[i][axis]), std::signbit(expected));
    }
  }
}

// Residue numbers the format does not define: hybrid-36 is decoded, a blank
// field reads as 0, other text stops the read; serials that are not numbers
// continue the count.
TEST(PdbRead, UnusualNumbers) {
  const std::string text = Atom(1, " O", "WAT", 'W', "9999", 0, 0, 0) + Atom(2, " O", "WAT", 'W', "A000", 0, 0, 0) +
                           Atom(3, " O", "WAT", 'W', "A001", 0, 0, 0) + Atom(4, " O", "WAT", 'W', "    ", 0, 0, 0);
  std::string serials = text;
  serials.replace(serials.find("    3"), 5, "*****");
  serials.replace(serials.find("    4"), 5, "A0000");
  auto pdb = ReadText(serials);
  EXPECT_EQ(pdb->GetResidueIndex(), (std::vector<int>{9999, 10000, 10001, 0}));
  EXPECT_EQ(pdb->GetAtomIndex(), (std::vector<int>{1, 2, 3, 4}));

  const ScratchDir dir;
  const std::string path =
      dir.Write("hex.pdb", Atom(1, " O", "WAT", 'W', "2710", 0, 0, 0) + Atom(2, " O", "WAT", 'W', "#10", 0, 0, 0));
  CPdbFile bad(path);
  EXPECT_EQ(ErrorOf([&] { bad.Read(0); }),
            "Error: " + path + ", line 2: the residue number \"#10\" is not a number.\n");
}

// Bonds go to the first atom with each serial, in the direction the file
// gives them; the bonded list ends at the first field that is not a number,
// and serials that name no atom are dropped.
TEST(PdbRead, ConectRecords) {
  const std::string text = Atom(10, " C1", "LIG", ' ', "1", 0, 0, 0) + Atom(20, " C2", "LIG", ' ', "1", 0, 0, 0) +
                           Atom(30, " O", "LIG", ' ', "1", 0, 0, 0) + Atom(20, " N", "LIG", ' ', "1", 0, 0, 0) +
                           "CONECT   10   20   30\n"
                           "CONECT   30   10\n"
                           "CONECT   20   99   10\n"
                           "CONECT   10  -5   20\n"
                           "CONECT   77   10\n"
                           "CONECT\n"
                           "REVDAT   1   CONECT\n";
  auto pdb = ReadText(text);
  const BondMap expected{{0, {1, 2}}, {1, {0}}, {2, {0}}};
  EXPECT_TRUE(pdb->GetConnection() == expected);
  EXPECT_EQ(pdb->GetConnection().size(), 3u);

  auto no_atoms = ReadText("CONECT    1    2\n");
  EXPECT_TRUE(no_atoms->GetConnection().empty());
  EXPECT_EQ(no_atoms->GetNumberOfAtoms(), 0);
}

TEST(PdbRead, LineEndsJunkAndEmptyFiles) {
  auto crlf = ReadText("REMARK\r\n" + Atom(1, " C", "LIG", ' ', "1", 1, 2, 3).substr(0, 54) + "\r\n" +
                       Atom(2, " O", "LIG", ' ', "1", 4, 5, 6, "O").substr(0, 78));
  ASSERT_EQ(crlf->GetNumberOfAtoms(), 2);
  EXPECT_EQ(crlf->GetCartesian()[1], (Point{4, 5, 6}));
  EXPECT_EQ(crlf->GetAtomType()[1], "O");

  auto empty = ReadText("");
  EXPECT_EQ(empty->GetNumberOfAtoms(), 0);
  EXPECT_EQ(empty->GetNumberOfResidues(), 0);
  EXPECT_EQ(empty->GetHeadAtomOfResidue(), (std::vector<int>{0}));

  // A stray line of another encoding (Latin-1 letters, a form feed) is
  // skipped; a file that is not text at all is refused at once.
  auto latin1 = ReadText("REMARK   1 Kristallstruktur bei 100 \xb0K, \xe9tude \f\n" + std::string(100000, 'x') + "\n" +
                         Atom(1, " C", "LIG", ' ', "1", 1, 2, 3));
  EXPECT_EQ(latin1->GetNumberOfAtoms(), 1);
  std::string junk(300, '\0');
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>((i * 7919) % 251);
  const ScratchDir dir;
  const std::string binary = dir.Write("binary.pdb", junk + "\n" + Atom(1, " C", "LIG", ' ', "1", 1, 2, 3));
  EXPECT_EQ(ErrorOf([&] { CPdbFile pdb(binary); }),
            "Error: " + binary + " is not a text file: it holds a NUL byte (byte 1).\n");
  for (char& c : junk) c = c == '\0' ? '\x01' : c;
  const std::string noise = dir.Write("noise.pdb", junk + "\n" + Atom(1, " C", "LIG", ' ', "1", 1, 2, 3));
  EXPECT_EQ(ErrorOf([&] { CPdbFile pdb(noise); }),
            "Error: " + noise + " is not a text file: 179 of its first 380 bytes are not text.\n");

  // A second Read finds the end of the file: no structure (stepping through
  // the structures of a PDB file gives one and stops).
  auto twice = ReadText(Atom(1, " C", "LIG", ' ', "1", 1, 2, 3) + "CONECT    1    1\n");
  twice->Read(0);
  EXPECT_EQ(twice->GetNumberOfAtoms(), 0);
  EXPECT_TRUE(twice->GetCartesian().empty());
  EXPECT_TRUE(twice->GetConnection().empty());
}

TEST(PdbRead, StrictFlagReachesTheElementSearch) {
  const std::string text = Atom(1, "HG", "LIG", ' ', "1", 0, 0, 0);
  EXPECT_EQ(ReadText(text)->GetAtomType()[0], "H");
  EXPECT_EQ(ReadText(text, kFileStrict)->GetAtomType()[0], "HG");
}

std::string WriteRecord(CPdbFile& record) {
  const ScratchDir dir;
  record.OpenOutput(dir.Path("out.pdb"), true);
  record.Write();
  EXPECT_TRUE(CommitOutputs());
  return dir.Read("out.pdb");
}

// The whole file, column by column: TER before the atom it precedes, CONECT
// only for atoms outside the amino-acid and water residues, END.
TEST(PdbWrite, ColumnsTerConectAndEnd) {
  CPdbFile record;
  record.SetNumberOfAtoms(5);
  record.SetAtomName({" N  ", " CA ", " O  ", "FE  ", " O1 "});
  record.SetAtomType({"N", "C", "O", "FE", "O"});
  record.SetResidueName({"ALA", "ALA", "HOH", "HEME", "HEME"});
  record.SetResidueNumber({0, 0, 1, 2, 2});
  record.SetResidueIndex({7, 7, 100000, 3, 3});
  record.SetCartesian({{1, 2, 3}, {-1.5, 10.25, -100.125}, {0, 0, 0}, {1234.5678, -0.0004, 0.0005}, {9, 9, 9}});
  record.SetTerList({2, 5});
  record.SetConnection({{0, {1}}, {1, {0}}, {2, {3}}, {3, {4, 2}}, {4, {3}}});
  const std::string expected =
      "ATOM      1  N   ALA     1       1.000   2.000   3.000  1.00  0.00           N  \n"
      "ATOM      2  CA  ALA     1      -1.500  10.250-100.125  1.00  0.00           C  \n"
      "TER                                                                             \n"
      "ATOM      3  O   HOH     2       0.000   0.000   0.000  1.00  0.00           O  \n"
      "ATOM      4 FE   HEM     3    1234.568  -0.000   0.001  1.00  0.00          FE  \n"
      "ATOM      5  O1  HEM     3       9.000   9.000   9.000  1.00  0.00           O  \n"
      "CONECT    4    5    3                                                           \n"
      "CONECT    5    4                                                                \n"
      "END                                                                             \n";
  EXPECT_EQ(WriteRecord(record), expected);

  // Numbers as read (getsolv's output): six columns, "*****" beyond 99999.
  record.SetFileFlag(kFileReadNumbering);
  const std::string numbered = WriteRecord(record);
  EXPECT_NE(numbered.find("ATOM      1  N   ALA     7   "), std::string::npos);
  EXPECT_NE(numbered.find("ATOM      3  O   HOH *****   "), std::string::npos);
}

// Fields the record lacks take their defaults; coordinates are never made
// up: a record with fewer points than atoms is refused, not padded.
TEST(PdbWrite, DefaultsAndUpperCase) {
  CPdbFile bare;
  bare.SetNumberOfAtoms(2);
  bare.SetCartesian({{1, 2, 3}, {4, 5, 6}});
  EXPECT_EQ(WriteRecord(bare),
            "ATOM      1   DU MOL     1       1.000   2.000   3.000  1.00  0.00          DU  \n"
            "ATOM      2   DU MOL     1       4.000   5.000   6.000  1.00  0.00          DU  \n"
            "END                                                                             \n");
  bare.SetCartesian({{1, 2, 3}});
  EXPECT_EQ(testing_files::ErrorOf([&] { WriteRecord(bare); }),
            "Error: 1 of the 2 atoms have coordinates; the structure cannot be written.\n");
  bare.SetCartesian({});
  EXPECT_EQ(testing_files::ErrorOf([&] { WriteRecord(bare); }),
            "Error: the 2 atoms have no coordinates; the structure cannot be written.\n");

  CPdbFile lower;
  lower.SetNumberOfAtoms(1);
  lower.SetAtomName({"cl1"});
  lower.SetAtomType({"Cl"});
  lower.SetResidueName({"lig"});
  lower.SetCartesian({{0, 0, 0}});
  lower.SetFileFlag(kFileUpper);
  EXPECT_EQ(WriteRecord(lower).substr(0, 81),
            "ATOM      1  CL1 LIG     1       0.000   0.000   0.000  1.00  0.00          CL  \n");
}

TEST(PdbWrite, CreateBondsBitPerceivesBondsFirst) {
  CPdbFile record;
  record.SetNumberOfAtoms(2);
  record.SetAtomName({" C1 ", " O1 "});
  record.SetAtomType({"C", "O"});
  record.SetAtomIndex({1, 2});
  record.SetResidueName({"LIG", "LIG"});
  record.SetResidueNumber({0, 0});
  record.SetHeadAtomOfResidue({0, 2});
  record.SetNumberOfResidues(1);
  record.SetCartesian({{0, 0, 0}, {1.2, 0, 0}});
  EXPECT_EQ(WriteRecord(record).find("CONECT"), std::string::npos);
  record.SetFileFlag(kFileCreateBonds);
  const std::string text = WriteRecord(record);
  EXPECT_NE(text.find("CONECT    1    2"), std::string::npos);
  EXPECT_NE(text.find("CONECT    2    1"), std::string::npos);
}

// Every PDB file of the corpus reads, writes and reads back to the same
// atoms, names, elements, residues and coordinates (to the three decimals
// written), with the file's residue numbers under the read-numbering bit.
TEST(PdbCorpus, RoundTrip) {
  if (!testing_files::CorpusPresent()) GTEST_SKIP() << "corpus not found";
  const ScratchDir dir;
  int files = 0;
  for (const std::string& input : testing_files::CorpusFiles("pdb")) {
    SCOPED_TRACE(input);
    CPdbFile first(input);
    first.Read(0);
    ASSERT_GT(first.GetNumberOfAtoms(), 0);
    first.SetFileFlag(kFileReadNumbering);
    const std::string path = dir.Path(std::filesystem::path(input).filename().string());
    first.OpenOutput(path, true);
    first.Write();
    ASSERT_TRUE(CommitOutputs());
    CPdbFile second(path);
    second.Read(0);
    ASSERT_EQ(second.GetNumberOfAtoms(), first.GetNumberOfAtoms());
    EXPECT_EQ(second.GetAtomName(), first.GetAtomName());
    EXPECT_EQ(second.GetAtomType(), first.GetAtomType());
    EXPECT_EQ(second.GetResidueName(), first.GetResidueName());
    EXPECT_EQ(second.GetResidueIndex(), first.GetResidueIndex());
    EXPECT_EQ(second.GetResidueNumber(), first.GetResidueNumber());
    EXPECT_EQ(second.GetHeadAtomOfResidue(), first.GetHeadAtomOfResidue());
    for (size_t i = 0; i < first.GetCartesian().size(); ++i) {
      for (size_t axis = 0; axis < 3; ++axis) {
        ASSERT_NEAR(second.GetCartesian()[i][axis], first.GetCartesian()[i][axis], 0.00051) << "atom " << i;
      }
    }
    ++files;
  }
  EXPECT_GE(files, 10);
}

// Facts of real files that the reader's rules are there for.
TEST(PdbCorpus, KnownFiles) {
  if (!testing_files::CorpusPresent()) GTEST_SKIP() << "corpus not found";
  auto read = [](const char* name) {
    auto file = std::make_unique<CPdbFile>(std::string(TARVEX_CORPUS) + "/pdb/" + name);
    file->Read(0);
    return file;
  };
  auto hvr = read("1hvr.pdb");
  EXPECT_EQ(hvr->GetNumberOfAtoms(), 1890);
  EXPECT_EQ(hvr->GetTerList().size(), 2u);
  EXPECT_FALSE(hvr->GetConnection().empty());

  // Five TIP3 waters numbered 1, 10, 100, 1000 and 10000 (into column 27).
  auto tip3 = read("5digitResid.pdb");
  EXPECT_EQ(tip3->GetNumberOfResidues(), 5);
  EXPECT_EQ(tip3->GetResidueIndex(), (std::vector<int>{1, 10, 100, 1000, 10000}));

  // CHARMM writes every name from column 13 and no element columns: HT1,
  // HB1 are hydrogens, N and O are found one column early.
  auto adk = read("adk_open.pdb");
  int hydrogens = 0;
  for (size_t i = 0; i < adk->GetAtomName().size(); ++i) {
    const std::string& name = adk->GetAtomName()[i];
    if (name[0] == 'H') {
      EXPECT_EQ(adk->GetAtomType()[i], "H") << name;
      ++hydrogens;
    }
    if (name == "N   " || name == "O   ") {
      EXPECT_EQ(adk->GetAtomType()[i], name.substr(0, 1));
    }
  }
  EXPECT_GT(hydrogens, 1000);
  // Three models make one molecule.
  EXPECT_EQ(read("1vii_3frames.pdb")->GetNumberOfAtoms(), 3 * 596);
}

}  // namespace
}  // namespace tarvex
