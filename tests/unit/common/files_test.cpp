#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>

#include "../support/scratch_dir.h"
#include "common/console.h"
#include "common/exit.h"
#include "common/line_reader.h"
#include "common/output_file.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

using testing::ScratchDir;

std::vector<std::string> Lines(const std::string& path) {
  LineReader reader;
  EXPECT_TRUE(reader.Open(path));
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.ReadLine(line)) lines.emplace_back(line);
  return lines;
}

TEST(LineReader, LineEndsAndLastLine) {
  ScratchDir dir;
  EXPECT_EQ(Lines(dir.Write("a", "one\r\ntwo\n\nthree")), (std::vector<std::string>{"one", "two", "", "three"}));
  EXPECT_EQ(Lines(dir.Write("b", "")), std::vector<std::string>{});
  EXPECT_EQ(Lines(dir.Write("c", "\n")), (std::vector<std::string>{""}));
  std::string long_line(3'000'000, 'x');
  EXPECT_EQ(Lines(dir.Write("d", "a\n" + long_line + "\nb")), (std::vector<std::string>{"a", long_line, "b"}));
  LineReader reader;
  EXPECT_FALSE(reader.Open(dir.Root())) << "a directory is not a readable file";
  EXPECT_FALSE(reader.Open(dir.Path("missing")));
}

TEST(LineReader, TokensSeekAndRewind) {
  ScratchDir dir;
  std::string text = "title\n  1.0  2.0\n3.0\r\n 4.0";
  for (int i = 0; i < 200000; ++i) text += " 5.5";
  LineReader reader;
  ASSERT_TRUE(reader.Open(dir.Write("t", text)));
  std::string_view line, token;
  ASSERT_TRUE(reader.ReadLine(line));
  uint64_t mark = reader.Tell();
  ASSERT_TRUE(reader.ReadToken(token));
  EXPECT_EQ(token, "1.0");
  ASSERT_TRUE(reader.ReadToken(token));
  ASSERT_TRUE(reader.ReadToken(token));
  EXPECT_EQ(token, "3.0");
  size_t count = 0;
  while (reader.ReadToken(token)) ++count;
  EXPECT_EQ(count, 200001u);
  EXPECT_EQ(token, "5.5");
  EXPECT_TRUE(reader.AtEnd());
  reader.Seek(mark);
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "  1.0  2.0");
  reader.Rewind();
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, "title");
  EXPECT_EQ(reader.LineNumber(), 1u);
}

TEST(OutputFile, AppearsOnlyWhenCommitted) {
  ScratchDir dir;
  dir.Write("out.txt", "old\n");
  {
    OutputFile out;
    ASSERT_TRUE(out.Open(dir.Path("out.txt")));
    out.Write("new\n");
    out.Close();
  }
  EXPECT_EQ(dir.Read("out.txt"), "old\n") << "nothing replaced before the command ends";
  ASSERT_TRUE(CommitOutputs());
  EXPECT_EQ(dir.Read("out.txt"), "new\n");

  {
    OutputFile out;
    ASSERT_TRUE(out.Open(dir.Path("out.txt")));
    out.Write("lost\n");
  }
  DiscardOutputs();
  EXPECT_EQ(dir.Read("out.txt"), "new\n") << "a failed command leaves the old file";
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Root())) ++files;
  EXPECT_EQ(files, 1u) << "no temporary file is left";
}

TEST(OutputFile, ReopeningTheSameTargetSupersedes) {
  ScratchDir dir;
  OutputFile first, second;
  ASSERT_TRUE(first.Open(dir.Path("x")));
  first.Write("first");
  first.Close();
  ASSERT_TRUE(second.Open(dir.Path("x")));
  second.Write("second");
  second.Close();
  ASSERT_TRUE(CommitOutputs());
  EXPECT_EQ(dir.Read("x"), "second");
}

// Text of any script passes; a file with a NUL byte or mostly other bytes
// in its first block does not, and the read position stays at the start.
TEST(LineReader, TellsTextFromBinary) {
  ScratchDir dir;
  const auto judge = [&](const std::string& bytes) {
    LineReader reader;
    EXPECT_TRUE(reader.Open(dir.Write("probe", bytes)));
    std::string reason;
    const bool text = reader.LooksLikeText(reason);
    std::string_view line;
    if (reader.ReadLine(line)) {
      EXPECT_EQ(line, std::string_view(bytes).substr(0, line.size())) << "read from the start";
    }
    return text ? "text" : reason;
  };
  EXPECT_EQ(judge(""), "text");
  EXPECT_EQ(judge("TITLE caf\xc3\xa9 \xe4\xb8\xad\t\f\r\nATOM\n"), "text");
  EXPECT_EQ(judge("\x1a\xe9\xb0" + std::string(9, 'x')), "text") << "a quarter of odd bytes is still text";
  EXPECT_EQ(judge("\x1a\xe9\xb0" + std::string(8, 'x')), "3 of its first 11 bytes are not text");
  EXPECT_EQ(judge(std::string("CDF\x02\0\0\0\x03", 8)), "it holds a NUL byte (byte 5)");
  EXPECT_EQ(judge(std::string(1 << 17, 'x') + '\0'), "text") << "only the first block is judged";
  LineReader endless;
  if (!endless.Open("/dev/urandom")) GTEST_SKIP() << "no /dev/urandom";
  std::string reason;
  EXPECT_FALSE(endless.LooksLikeText(reason));
  EXPECT_EQ(reason.rfind("it holds a NUL byte", 0), 0u);
}

// The temporary file beside a name of up to 255 bytes stays within the
// limit on a name; the name itself is kept whole.
TEST(OutputFile, NamesUpToTheSystemLimit) {
  ScratchDir dir;
  for (size_t length : {240u, 241u, 250u, 255u}) {
    const std::string name = std::string(length - 4, 'n') + ".pdb";
    OutputFile out;
    ASSERT_TRUE(out.Open(dir.Path(name))) << length;
    out.Write("END\n");
    out.Close();
    ASSERT_TRUE(CommitOutputs()) << length;
    EXPECT_EQ(dir.Read(name), "END\n") << length;
  }
  OutputFile too_long;
  EXPECT_FALSE(too_long.Open(dir.Path(std::string(256, 'n')))) << "past the limit the system refuses the name";
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Root())) ++files;
  EXPECT_EQ(files, 4u) << "no temporary file is left";
}

// "-" is standard output: the file's bytes go there as written, nothing is
// renamed, and the report printed meanwhile goes to standard error in order.
TEST(OutputFile, DashIsStandardOutput) {
  ScratchDir dir;
  std::optional<ConsoleCapture> console(std::in_place);
  OutLine("report before");
  {
    OutputFile out;
    ASSERT_TRUE(out.Open("-"));
    out.Write("ATOM 1\n");
    OutLine("report after");
    out.Write("END\n");
    out.Close();
  }
  ASSERT_TRUE(CommitOutputs());
  EXPECT_EQ(console->Out(), "report before\nATOM 1\nEND\n");
  EXPECT_EQ(console->Err(), "report after\n");
  EXPECT_FALSE(dir.Exists("-"));
  console.reset();

  ConsoleCapture library;
  EXPECT_THROW(OpenOutputForLibrary("-"), ExitRequest) << "a library writes by name";
  EXPECT_EQ(library.Err(), "Error: a binary file cannot be written to standard output; give a file name.\n");
  OutLine("a report");
  EXPECT_EQ(library.Out(), "a report\n") << "the report is back on standard output after the command";
}

TEST(OutputFile, RefusesPlacesThatCannotBeWritten) {
  ScratchDir dir;
  OutputFile out;
  EXPECT_FALSE(out.Open(dir.Path("missing/x")));
  EXPECT_FALSE(out.Open(dir.Root()));
  EXPECT_FALSE(out.Open(""));
}

// A pipe cannot seek: a reader that keeps what it reads can still go back
// over it; one that does not is stopped with an error naming it.
TEST(LineReader, PipesKeptForSeeking) {
  const std::string text = "%VERSION\n%FLAG POINTERS\n" + std::string(300000, 'x') + "\nlast\n";
  for (bool keep : {true, false}) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
      ::close(ends[0]);
      const bool whole = ::write(ends[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
      ::_exit(whole ? 0 : 1);
    }
    ::close(ends[1]);
    LineReader reader;
    ASSERT_TRUE(reader.Open("/dev/fd/" + std::to_string(ends[0])));
    if (keep) reader.KeepForSeeking();
    std::string_view line;
    ASSERT_TRUE(reader.ReadLine(line));
    ASSERT_TRUE(reader.ReadLine(line));
    const uint64_t mark = reader.Tell();
    while (reader.ReadLine(line)) {
    }
    if (keep) {
      reader.Seek(mark);
      ASSERT_TRUE(reader.ReadLine(line));
      EXPECT_EQ(line.size(), 300000u);
      reader.Rewind();
      ASSERT_TRUE(reader.ReadLine(line));
      EXPECT_EQ(line, "%VERSION");
    } else {
      ConsoleCapture capture;
      EXPECT_THROW(reader.Rewind(), ExitRequest);
      EXPECT_NE(capture.Err().find("give it as a file, not a pipe."), std::string::npos);
    }
    ::close(ends[0]);
    int status = 0;
    ::waitpid(writer, &status, 0);
  }
}

size_t FileCount(const std::string& directory) {
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(directory)) ++files;
  return files;
}

// A command stopped by SIGINT or SIGTERM in the middle of a write leaves no
// hidden temporary beside its target, and still dies of the signal.
TEST(OutputFile, SignalsRemoveTemporaries) {
  for (int signal_number : {SIGINT, SIGTERM}) {
    ScratchDir dir;
    dir.Write("out.txt", "old\n");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      OutputFile out;
      if (!out.Open(dir.Path("out.txt"))) ::_exit(3);
      out.Write(std::string(3u << 20, 'x'));
      if (FileCount(dir.Root()) != 2) ::_exit(4);
      ::raise(signal_number);
      ::_exit(5);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), signal_number);
    EXPECT_EQ(FileCount(dir.Root()), 1u);
    EXPECT_EQ(dir.Read("out.txt"), "old\n");
  }
}

// A full standard output ends the command with one message and status 1.
TEST(Console, StandardOutputErrorsFailTheCommand) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int full = ::open("/dev/full", O_WRONLY);
    if (full < 0) ::_exit(77);
    ::dup2(full, 1);
    int status = 0;
    try {
      for (int i = 0; i < 100000; ++i) OutLine("a line of a long report");
    } catch (const ExitRequest& request) {
      status = request.Status();
    }
    ::_exit(status == 1 && !ReportOutError() ? 6 : status);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no /dev/full";
  EXPECT_EQ(WEXITSTATUS(status), 1);
}

TEST(Tables, MassesAndResidues) {
  ConsoleCapture console;
  EXPECT_DOUBLE_EQ(AtomicMass("CL"), 35.453);
  EXPECT_DOUBLE_EQ(AtomicMass("DU"), 0.0);
  EXPECT_DOUBLE_EQ(AtomicMass("LP"), 0.0);
  EXPECT_DOUBLE_EQ(AtomicMass("RN"), 222.0);
  EXPECT_EQ(console.Err(), "");
  EXPECT_DOUBLE_EQ(AtomicMass("Cl"), 0.0);
  EXPECT_EQ(console.Err(), "Warning: unknown atom type: Cl.\n");
  EXPECT_EQ(ElementIndex("ZN"), 30);
  // The table runs to the end of the periodic table, each element at its
  // atomic number; the lone pair follows the elements.
  EXPECT_EQ(ElementIndex("FR"), 87);
  EXPECT_EQ(ElementIndex("RA"), 88);
  EXPECT_EQ(ElementIndex("U"), 92);
  EXPECT_EQ(ElementIndex("OG"), 118);
  EXPECT_EQ(ElementIndex("LP"), kLonePairIndex);
  EXPECT_DOUBLE_EQ(AtomicMass("FR"), 223.0);
  EXPECT_DOUBLE_EQ(AtomicMass("U"), 238.02891);
  EXPECT_DOUBLE_EQ(AtomicMass("OG"), 294.0);
  EXPECT_FALSE(IsElementNumber(0));
  EXPECT_TRUE(IsElementNumber(87));
  EXPECT_TRUE(IsElementNumber(118));
  EXPECT_FALSE(IsElementNumber(kLonePairIndex));
  EXPECT_EQ(ElementOfMass(238.0), 92);
  // Masses rise with the atomic number, lone pair aside (the few inversions
  // of the table, Ar-K, Co-Ni, Te-I, Th-Pa and U-Np among the heavy ones,
  // stay within 2 amu).
  for (int z = 2; z < kLonePairIndex; ++z) EXPECT_GT(kAtomicMasses[z], kAtomicMasses[z - 1] - 2.0) << z;
  EXPECT_TRUE(IsStandardResidue("HIP"));
  EXPECT_FALSE(IsStandardResidue("WAT"));
  EXPECT_TRUE(IsWaterResidue("HOH"));
  EXPECT_FALSE(IsWaterResidue("TIP3"));
}

}  // namespace
}  // namespace tarvex
