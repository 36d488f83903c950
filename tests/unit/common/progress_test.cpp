#include "common/progress.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/console.h"
#include "driver/driver.h"

namespace tarvex {
namespace {

constexpr std::string_view kErase = "\r\033[K";
constexpr ProgressTiming kAtOnce{std::chrono::milliseconds(0), std::chrono::milliseconds(0)};

// A pseudo-terminal: the progress line is drawn on its slave side and read
// back, byte for byte, from its master side.
class Terminal {
 public:
  explicit Terminal(unsigned short columns = 80) {
    winsize window{};
    window.ws_col = columns;
    window.ws_row = 24;
    EXPECT_EQ(::openpty(&master_, &slave_, nullptr, nullptr, &window), 0);
    termios mode{};
    ::tcgetattr(slave_, &mode);
    ::cfmakeraw(&mode);
    ::tcsetattr(slave_, TCSANOW, &mode);
    ::setenv("TERM", "xterm", 1);
  }
  ~Terminal() {
    ::close(slave_);
    ::close(master_);
  }
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  int Fd() const { return slave_; }
  // Everything written so far.
  std::string Drain() const {
    std::string text;
    char block[4096];
    pollfd ready{master_, POLLIN, 0};
    while (::poll(&ready, 1, 100) > 0 && (ready.revents & POLLIN)) {
      const ssize_t n = ::read(master_, block, sizeof block);
      if (n <= 0) break;
      text.append(block, static_cast<size_t>(n));
    }
    return text;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
};

TEST(Progress, DrawsOnATerminalAndErasesAtTheEnd) {
  Terminal terminal;
  Progress progress("/data/run/traj.crd", 1000, terminal.Fd(), kAtOnce);
  progress.Update(12, 250);
  const std::string drawn = terminal.Drain();
  EXPECT_EQ(drawn.rfind("\rtraj.crd: 12 frames, ", 0), 0u) << drawn;
  EXPECT_NE(drawn.find(" MB/s, 25%\033[K"), std::string::npos) << drawn;
  progress.Finish();
  EXPECT_EQ(terminal.Drain(), kErase);
  // Finished: neither drawn again nor erased twice.
  progress.Update(13, 300);
  progress.Finish();
  EXPECT_EQ(terminal.Drain(), "");
}

TEST(Progress, SizeUnknownShowsNoPercentage) {
  Terminal terminal;
  {
    Progress progress("stdin", 0, terminal.Fd(), kAtOnce);
    progress.Update(1, 5'000'000);
  }
  const std::string drawn = terminal.Drain();
  EXPECT_NE(drawn.find("stdin: 1 frame, "), std::string::npos) << drawn;
  EXPECT_EQ(drawn.find('%'), std::string::npos) << drawn;
  // The destructor erased it.
  ASSERT_GE(drawn.size(), kErase.size());
  EXPECT_EQ(drawn.substr(drawn.size() - kErase.size()), kErase);
}

TEST(Progress, NothingBeforeTheDelayNorMoreOftenThanTheInterval) {
  Terminal terminal;
  {
    Progress waiting("traj.crd", 100, terminal.Fd(), {std::chrono::hours(1), std::chrono::milliseconds(0)});
    for (int frame = 1; frame <= 1000; ++frame) waiting.Update(frame, 50);
  }
  EXPECT_EQ(terminal.Drain(), "");
  Progress seldom("traj.crd", 100, terminal.Fd(), {std::chrono::milliseconds(0), std::chrono::hours(1)});
  for (int frame = 1; frame <= 1000; ++frame) seldom.Update(frame, 50);
  const std::string drawn = terminal.Drain();
  EXPECT_EQ(drawn.find('\r', 1), std::string::npos) << "drawn more than once: " << drawn;
}

TEST(Progress, FitsANarrowTerminal) {
  // Nothing read yet: the rate, and so the room left for the name, does not
  // depend on how quickly the test runs.
  Terminal terminal(40);
  Progress progress("a_rather_long_trajectory_name_of_a_production_run.crd", 100, terminal.Fd(), kAtOnce);
  progress.Update(123456, 0);
  std::string drawn = terminal.Drain();
  ASSERT_GE(drawn.size(), 4u);
  drawn = drawn.substr(1, drawn.size() - 4);  // without "\r" and ESC [ K
  EXPECT_LE(drawn.size(), 39u) << drawn;
  EXPECT_EQ(drawn.rfind("...", 0), 0u) << drawn;
  EXPECT_NE(drawn.find("123456 frames"), std::string::npos) << drawn;
}

TEST(Progress, NeverIntoAPipe) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ::fcntl(ends[0], F_SETFL, O_NONBLOCK);
  {
    Progress progress("traj.crd", 100, ends[1], kAtOnce);
    progress.Update(1, 10);
    progress.Finish();
  }
  {
    Progress off("traj.crd", 100, Progress::kNoTerminal, kAtOnce);
    off.Update(1, 10);
  }
  char byte = 0;
  EXPECT_EQ(::read(ends[0], &byte, 1), -1) << "written into the pipe";
  ::close(ends[0]);
  ::close(ends[1]);
}

TEST(Progress, NeverOnADumbTerminal) {
  Terminal terminal;
  ::setenv("TERM", "dumb", 1);
  Progress progress("traj.crd", 100, terminal.Fd(), kAtOnce);
  progress.Update(1, 10);
  progress.Finish();
  EXPECT_EQ(terminal.Drain(), "");
}

// A warning printed mid-job erases the line first, so it starts at the
// beginning of a clean line; the next update draws the line again below it.
TEST(Progress, WarningsEraseTheLineFirst) {
  Terminal terminal;
  ConsoleCapture console;
  Progress progress("traj.crd", 100, terminal.Fd(), kAtOnce);
  progress.Update(1, 10);
  const std::string drawn = terminal.Drain();
  ASSERT_FALSE(drawn.empty());
  Warn("Warning: something odd");
  EXPECT_EQ(terminal.Drain(), kErase);
  EXPECT_EQ(console.Err(), "Warning: something odd\n");
  // The clock is read every few calls once they come quickly.
  for (int call = 0; call < 8; ++call) progress.Update(2, 20);
  EXPECT_NE(terminal.Drain().find("traj.crd: 2 frames"), std::string::npos);
  progress.Finish();
  EXPECT_EQ(terminal.Drain(), kErase);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A whole getdun command with standard error on a terminal: its standard
// output is byte for byte the golden case's (which was recorded with
// standard error not a terminal), and the terminal is left clean.
TEST(Progress, GetdunOutputUnchangedOnATerminal) {
  Terminal terminal;
  const int saved_error = ::dup(2);
  ::dup2(terminal.Fd(), 2);
  const ProgressTiming saved_timing = Progress::DefaultTiming();
  Progress::DefaultTiming() = kAtOnce;
  const std::string crd = std::string(TARVEX_TEST_DATA) + "/amber/getdun.crd";
  std::vector<const char*> words = {"tarvex", "getdun", "-n", "5", "-k", "3", "-i", crd.c_str(), "-m", "2", "5"};
  std::string out;
  std::string err;
  int status = 0;
  {
    ConsoleCapture console;
    status = RunCommand(static_cast<int>(words.size()), words.data());
    out = console.Out();
    err = console.Err();
  }
  Progress::DefaultTiming() = saved_timing;
  ::dup2(saved_error, 2);
  ::close(saved_error);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out, ReadFile(std::string(TARVEX_TEST_DATA) + "/../cli/cases/getdun_skip/stdout"));
  EXPECT_EQ(err, "");
  const std::string drawn = terminal.Drain();
  // A plain file: its size is known, so the share read is shown.
  EXPECT_NE(drawn.find("getdun.crd: "), std::string::npos) << drawn;
  EXPECT_NE(drawn.find("%\033[K"), std::string::npos) << drawn;
  ASSERT_GE(drawn.size(), kErase.size());
  EXPECT_EQ(drawn.substr(drawn.size() - kErase.size()), kErase);
}

}  // namespace
}  // namespace tarvex
