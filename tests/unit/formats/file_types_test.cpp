#include "formats/file_types.h"

#include <gtest/gtest.h>

#include <typeinfo>

#include "../support/scratch_dir.h"
#include "common/console.h"
#include "common/exit.h"
#include "common/text.h"
#include "formats/amber_coord_file.h"
#include "formats/amber_netcdf_file.h"
#include "formats/amber_prep_file.h"
#include "formats/amber_restart_file.h"
#include "formats/amber_topology_file.h"
#include "formats/gaussian_in_file.h"
#include "formats/gaussian_out_file.h"
#include "formats/mol2_file.h"
#include "formats/pdb_file.h"
#include "pdb_test_files.h"

namespace tarvex {
namespace {

using testing::ScratchDir;

constexpr UnknownType kSkip = {"Warning: skipped: "};
constexpr UnknownType kToPdb = {"Warning unknown output: ", NameInWarning::kFileName, FileType::kPdb, "as PDB"};

TEST(FileTypes, KeywordsAndExtensions) {
  EXPECT_EQ(FileTypeOfName("file.pdb"), FileType::kPdb);
  EXPECT_EQ(FileTypeOfName("file.PDB"), FileType::kPdb);
  EXPECT_EQ(FileTypeOfName("file.Pdb"), FileType::kPdb);
  EXPECT_EQ(FileTypeOfName("file.ent"), FileType::kPdb);
  EXPECT_EQ(FileTypeOfName("file.amber_top"), FileType::kAmberTopology);
  EXPECT_EQ(FileTypeOfName("mol2"), FileType::kMol2) << "a name without a dot is its own type";
  EXPECT_EQ(FileTypeOfName("a.b.crd"), FileType::kAmberCoord);
  EXPECT_EQ(FileTypeOfName("a.crd.bak"), FileType::kUnknown);
  EXPECT_EQ(FileTypeOfName("x"), FileType::kUnknown);
  EXPECT_EQ(LookupFileType("gaussian_out"), FileType::kGaussianOut);
  EXPECT_EQ(LookupFileType("amber_rst"), FileType::kAmberRestart);
  EXPECT_EQ(LookupFileType("com"), FileType::kGaussianIn);
  EXPECT_EQ(LookupFileType("amber_prep"), FileType::kAmberPrep);
  EXPECT_EQ(LookupFileType(""), FileType::kUnknown);
  // A compressed file is typed by the extension under ".gz".
  EXPECT_EQ(FileTypeOfName("tz2.crd.gz"), FileType::kAmberCoord);
  EXPECT_EQ(FileTypeOfName("1abc.PDB.GZ"), FileType::kPdb);
  EXPECT_EQ(FileTypeOfName("x.gz"), FileType::kUnknown);
  EXPECT_EQ(FileTypeOfName(".gz"), FileType::kUnknown);
  EXPECT_EQ(ResolveFile("a.top.gz", "", false).type_text, "top");
}

TEST(FileTypes, CompressedOutputsAreRefused) {
  EXPECT_EQ(testing_files::ErrorOf([] { CreateFile(FileType::kPdb, "out.pdb.gz", Opening::kOutput); }),
            "Error: out.pdb.gz: compressed output is not written; give the name without \".gz\".\n");
}

// The fifteen keywords, written out rather than read from the table.
TEST(FileTypes, EveryKeywordAndExtensionOfTheTable) {
  const std::vector<std::pair<std::string, FileType>> keywords = {{"PDB", FileType::kPdb},
                                                                  {"ENT", FileType::kPdb},
                                                                  {"CRD", FileType::kAmberCoord},
                                                                  {"AMBER_CRD", FileType::kAmberCoord},
                                                                  {"RST", FileType::kAmberRestart},
                                                                  {"AMBER_RST", FileType::kAmberRestart},
                                                                  {"TOP", FileType::kAmberTopology},
                                                                  {"AMBER_TOP", FileType::kAmberTopology},
                                                                  {"PREP", FileType::kAmberPrep},
                                                                  {"AMBER_PREP", FileType::kAmberPrep},
                                                                  {"COM", FileType::kGaussianIn},
                                                                  {"GAUSSIAN_IN", FileType::kGaussianIn},
                                                                  {"LOG", FileType::kGaussianOut},
                                                                  {"GAUSSIAN_OUT", FileType::kGaussianOut},
                                                                  {"MOL2", FileType::kMol2},
                                                                  {"NC", FileType::kAmberNetcdf},
                                                                  {"NCDF", FileType::kAmberNetcdf},
                                                                  {"NETCDF", FileType::kAmberNetcdf},
                                                                  {"AMBER_NC", FileType::kAmberNetcdf},
                                                                  {"NCRST", FileType::kAmberNetcdfRestart},
                                                                  {"AMBER_NCRST", FileType::kAmberNetcdfRestart}};
  for (const auto& [keyword, type] : keywords) {
    EXPECT_EQ(LookupFileType(keyword), type) << keyword;
    EXPECT_EQ(FileTypeOfName("dir.d/x." + keyword), type) << keyword;
    std::string lower = keyword;
    for (char& c : lower) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    }
    EXPECT_EQ(FileTypeOfName("x." + lower), type) << lower;
  }
  for (std::string_view near : {"PD", "PDBX", " PDB", "PDB,", "ENT, PDB", "AMBER", "GAUSSIAN", "MOL"}) {
    EXPECT_EQ(LookupFileType(near), FileType::kUnknown) << near;
  }
  // Each row: its listed extensions select it, and its maker builds its class.
  const std::vector<std::pair<FileType, const std::type_info*>> classes = {
      {FileType::kPdb, &typeid(CPdbFile)},
      {FileType::kMol2, &typeid(CMol2File)},
      {FileType::kAmberCoord, &typeid(CAmberCoordFile)},
      {FileType::kAmberRestart, &typeid(CAmberRestartFile)},
      {FileType::kAmberTopology, &typeid(CAmberTopologyFile)},
      {FileType::kAmberPrep, &typeid(CAmberPrepFile)},
      {FileType::kGaussianIn, &typeid(CGaussianInFile)},
      {FileType::kGaussianOut, &typeid(CGaussianOutFile)},
      {FileType::kAmberNetcdf, &typeid(CAmberNetcdfFile)},
      {FileType::kAmberNetcdfRestart, &typeid(CAmberNetcdfRestartFile)}};
  ASSERT_EQ(FileFormats().size(), classes.size());
  size_t keyword_count = 0;
  for (const auto& [type, class_info] : classes) {
    const FileFormat* format = FindFormat(type);
    ASSERT_NE(format, nullptr);
    for (const auto& [keyword, keyword_type] : keywords) keyword_count += keyword_type == type;
    EXPECT_EQ(LookupFileType(format->extensions.substr(0, format->extensions.find(','))), type);
    std::unique_ptr<CDataFile> made = CreateOutputFile(type);
    ASSERT_TRUE(made);
    const CDataFile& record = *made;
    EXPECT_EQ(typeid(record), *class_info) << format->name;
  }
  EXPECT_EQ(keyword_count, keywords.size()) << "every keyword belongs to a row";
  EXPECT_EQ(FindFormat(FileType::kUnknown), nullptr);
  EXPECT_EQ(CreateUnopenedInput(FileType::kUnknown), nullptr);
  EXPECT_NE(dynamic_cast<CAmberCoordFile*>(CreateUnopenedInput(FileType::kAmberCoord).get()), nullptr);
}

// The names Amber and Gaussian write every day, written out rather than read
// from the table: as extensions in any case, as sander's bare default names,
// and as type words.
TEST(FileTypes, EverydayNames) {
  const std::vector<std::pair<std::string, FileType>> names = {
      {"prmtop", FileType::kAmberTopology}, {"parm7", FileType::kAmberTopology}, {"rst7", FileType::kAmberRestart},
      {"inpcrd", FileType::kAmberRestart},  {"restrt", FileType::kAmberRestart}, {"mdcrd", FileType::kAmberCoord},
      {"trj", FileType::kAmberCoord},       {"gjf", FileType::kGaussianIn},      {"out", FileType::kGaussianOut}};
  for (const auto& [name, type] : names) {
    EXPECT_EQ(FileTypeOfName("run.1." + name), type) << name;
    EXPECT_EQ(FileTypeOfName(ToUpper("x." + name)), type) << name;
    EXPECT_EQ(FileTypeOfName("dir/" + name), type) << "a bare " << name;
    EXPECT_EQ(FileTypeOfName("x." + name + ".gz"), type) << name;
    EXPECT_EQ(LookupFileType(name), type) << name;
  }
  EXPECT_EQ(EverydayNames().size(), names.size());
  for (std::string_view other : {"parm", "prmtop7", "rst77", "nc7", "xyz", "dcd", "gro"}) {
    EXPECT_EQ(FileTypeOfName(std::string("x.") + std::string(other)), FileType::kUnknown) << other;
  }
}

// ".out" is a Gaussian log when its head shows Gaussian's banner; any other
// .out, or one that cannot be looked at, is an unknown type as before, and
// an output named .out is never a log.
TEST(FileTypes, OutNamesAreLogsOnlyWithTheBanner) {
  testing::UseParameterFile("");
  ScratchDir dir;
  const std::string log = dir.Write("ts.out", " Entering Gaussian System, Link 0=g09\n Initial command:\n");
  const std::string mdout = dir.Write("md.out", "\n          Amber 20 SANDER                              2020\n");
  ConsoleCapture console;
  auto read = CreateWithFallback(ResolveFile(log, "", false), kSkip, Opening::kInput);
  EXPECT_NE(dynamic_cast<CGaussianOutFile*>(read.get()), nullptr);
  auto typed = CreateWithFallback(ResolveFile(log, "Out", true), kSkip, Opening::kInput);
  EXPECT_NE(dynamic_cast<CGaussianOutFile*>(typed.get()), nullptr) << "OUT as a type word looks at the file too";
  EXPECT_EQ(console.Err(), "");
  EXPECT_EQ(CreateWithFallback(ResolveFile(mdout, "", false), kSkip, Opening::kInput), nullptr);
  EXPECT_EQ(CreateWithFallback(ResolveFile(dir.Path("missing.out"), "", false), kSkip, Opening::kInput), nullptr);
  EXPECT_EQ(console.Err(), "Warning: skipped: " + mdout + "\nWarning: skipped: " + dir.Path("missing.out") + "\n");
  console.Clear();
  auto output = CreateWithFallback(ResolveFile(log, "", false), kToPdb, Opening::kOutput);
  EXPECT_NE(dynamic_cast<CPdbFile*>(output.get()), nullptr);
  EXPECT_EQ(console.Err(), "Warning unknown output: " + log + "\nas PDB\n");
}

// Standard output has no extension: an output named "-" takes the fallback
// format without a warning; a type word still chooses, and a wrong one warns.
TEST(FileTypes, StandardOutputTakesTheFallbackFormat) {
  testing::UseParameterFile("");
  {
    ConsoleCapture console;
    auto pdb = CreateWithFallback(ResolveFile("-", "", false), kToPdb, Opening::kOutput);
    EXPECT_NE(dynamic_cast<CPdbFile*>(pdb.get()), nullptr);
    auto mol2 = CreateWithFallback(ResolveFile("-", "mol2", true), kToPdb, Opening::kOutput);
    EXPECT_NE(dynamic_cast<CMol2File*>(mol2.get()), nullptr);
    EXPECT_EQ(console.Err(), "");
    auto wrong = CreateWithFallback(ResolveFile("-", "xyz", true), kToPdb, Opening::kOutput);
    EXPECT_NE(dynamic_cast<CPdbFile*>(wrong.get()), nullptr);
    EXPECT_EQ(console.Err(), "Warning unknown output: -\nas PDB\n");
  }
  {
    ConsoleCapture console;
    EXPECT_EQ(CreateWithFallback(ResolveFile("-", "", false), kSkip, Opening::kInput), nullptr)
        << "an input named - is not standard input";
    EXPECT_EQ(console.Err(), "Warning: skipped: -\n");
  }
}

TEST(FileTypes, OutputsAreEmptyAndInputsOpenAtOnce) {
  testing::UseParameterFile("");
  std::unique_ptr<CDataFile> output = CreateOutputFile(FileType::kPdb);
  ASSERT_TRUE(output);
  EXPECT_NE(dynamic_cast<CPdbFile*>(output.get()), nullptr);
  EXPECT_EQ(output->GetInputFileName(), "infile");
  EXPECT_EQ(output->GetOutputFileName(), "outfile");
  EXPECT_EQ(CreateOutputFile(FileType::kUnknown), nullptr);
  EXPECT_EQ(CreateOutputFile(FileType::kAmberRestart)->GetFileFlags(), kFileRestartVelocity);

  ConsoleCapture console;
  EXPECT_THROW(CreateInputFile(FileType::kPdb, "/nonexistent/x.pdb"), ExitRequest);
  EXPECT_EQ(console.Err(), "Can't open input file: /nonexistent/x.pdb\n");
}

TEST(FileTypes, AmberHeadsAreCheckedOnOpening) {
  testing::UseParameterFile("");
  ScratchDir dir;
  ConsoleCapture console;
  EXPECT_THROW(CAmberCoordFile(dir.Write("empty.crd", "")), ExitRequest);
  EXPECT_EQ(console.Err(), dir.Path("empty.crd") + " is not Amber CRD file.\n");
  console.Clear();
  EXPECT_THROW(CAmberRestartFile(dir.Write("empty.rst", "")), ExitRequest);
  EXPECT_EQ(console.Err(), dir.Path("empty.rst") + " is not Amber RST file.\n");

  CAmberCoordFile crd(dir.Write("t.crd", "TITLE line\n  1.000  2.000\n"));
  EXPECT_EQ(crd.GetTitle(), "TITLE line");
  EXPECT_EQ(crd.Box(), (std::vector<double>{0, 0, 0}));
  CAmberRestartFile rst(dir.Write("t.rst", "title\n    12  0.5000000E+01\n"));
  EXPECT_EQ(rst.GetNumberOfAtoms(), 12);
  EXPECT_DOUBLE_EQ(rst.Time(), 5.0);
}

TEST(FileTypes, DetectVersion) {
  testing::UseParameterFile("");
  ScratchDir dir;
  EXPECT_EQ(CAmberTopologyFile(dir.Write("new.top", "%VERSION  VERSION_STAMP = V0001.000\n")).GetVersion(), "amber8");
  EXPECT_EQ(CAmberTopologyFile(dir.Write("old.top", "ACE\n   22    7\n")).GetVersion(), "amber6");
  EXPECT_EQ(CAmberTopologyFile(dir.Write("blank.top", "\n%FLAG\n")).GetVersion(), "amber6");

  EXPECT_EQ(CGaussianOutFile(
                dir.Write("g03.log", " Entering Gaussian System\n This is part of the Gaussian(R) 03 program.\n"))
                .GetVersion(),
            "03");
  EXPECT_EQ(CGaussianOutFile(dir.Write("g98.log", "\r\n This is part of the Gaussian(R) 98 program.  It is\r\n"))
                .GetVersion(),
            "98");
  EXPECT_EQ(CGaussianOutFile(dir.Write("g94.log", "x\n the Gaussian 94(TM) system of programs.\n")).GetVersion(), "94");
  EXPECT_EQ(CGaussianOutFile(dir.Write("none.log", "frequency output generated by the xtb code\n")).GetVersion(), "");
}

TEST(FileTypes, GaussianOutputWritesNothing) {
  testing::UseParameterFile("");
  ScratchDir dir;
  CGaussianOutFile log;
  log.OpenOutput(dir.Path("x.log"), true);
  log.Write();
  EXPECT_EQ(dir.Read("x.log"), "");
  DiscardOutputs();
}

TEST(FileTypes, HelpSectionLinesUpWithTheOptions) {
  EXPECT_EQ(FileTypeHelp(19, TargetNotes::kPlain),
            " File type:\n"
            "   PDB             : extension ... PDB, ENT\n"
            "                   : file type ... PDB, ENT\n"
            "                   : target    ... first molecule\n"
            "   MOL2            : extension ... MOL2\n"
            "                   : file type ... MOL2\n"
            "   Amber CRD       : extension ... CRD\n"
            "                   : file type ... CRD, AMBER_CRD\n"
            "   Amber RST       : extension ... RST\n"
            "                   : file type ... RST, AMBER_RST\n"
            "   Amber TOP       : extension ... TOP\n"
            "                   : file type ... TOP, AMBER_TOP\n"
            "   Amber PREP      : extension ... PREP\n"
            "                   : file type ... PREP, AMBER_PREP\n"
            "   Gaussian in     : extension ... COM\n"
            "                   : file type ... COM, GAUSSIAN_IN\n"
            "   Gaussian out    : extension ... LOG\n"
            "                   : file type ... LOG, GAUSSIAN_OUT\n"
            "                   : target    ... last molecule\n"
            "   Amber NetCDF    : extension ... NC, NCDF, NETCDF\n"
            "                   : file type ... NC, NCDF, NETCDF, AMBER_NC\n"
            "   Amber NCRST     : extension ... NCRST\n"
            "                   : file type ... NCRST, AMBER_NCRST\n");
  std::string help = FileTypeHelp(16);
  EXPECT_EQ(help.substr(0, help.find('\n', help.find('\n') + 1) + 1),
            " File type:\n   PDB          : extension ... PDB, ENT\n");
  EXPECT_EQ(help.find("target"), std::string::npos);
  std::string convert = FileTypeHelp(19, TargetNotes::kConvert);
  EXPECT_NE(convert.find("                   : target    ... first molecule (-m 1)\n"), std::string::npos);
  EXPECT_NE(convert.find("                   : target    ... last molecule (-m -1)\n"), std::string::npos);
}

}  // namespace
}  // namespace tarvex
