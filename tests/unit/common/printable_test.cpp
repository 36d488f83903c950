#include "common/printable.h"

#include <gtest/gtest.h>

#include <string>

#include "common/console.h"
#include "common/exit.h"

namespace tarvex {
namespace {

// What a terminal would act on is written out; letters of any script stay.
TEST(Printable, EscapesWhatATerminalWouldObey) {
  EXPECT_EQ(EscapeControls("\x1b]0;owned\x07\x1b[2J"), "\\x1b]0;owned\\x07\\x1b[2J");
  EXPECT_EQ(EscapeControls("a\tb\rc\nd\x7f"), "a\\tb\\rc\\nd\\x7f");
  EXPECT_EQ(EscapeControls(std::string("nul\0end", 7)), "nul\\x00end");
  EXPECT_EQ(EscapeControls("caf\xc3\xa9 \xe4\xb8\xad \xf0\x9f\x98\x80"), "caf\xc3\xa9 \xe4\xb8\xad \xf0\x9f\x98\x80");
  // U+009B, the eight-bit CSI, and bytes that are no UTF-8: a lone
  // continuation byte, a Latin-1 letter, an overlong slash, a surrogate, a
  // sequence cut off by the end.
  EXPECT_EQ(EscapeControls("\xc2\x9b"
                           "2J"),
            "\\xc2\\x9b2J");
  EXPECT_EQ(EscapeControls("\x9b\xe9\xc0\xaf\xed\xa0\x80\xe4\xb8"), "\\x9b\\xe9\\xc0\\xaf\\xed\\xa0\\x80\\xe4\\xb8");
}

TEST(Printable, QuotesAtMostTheLimit) {
  const std::string title(10'000'000, 'T');
  EXPECT_EQ(Printable(title), std::string(200, 'T') + "...");
  EXPECT_EQ(Printable(std::string(200, 'T')), std::string(200, 'T')) << "exactly the limit: nothing cut";
  EXPECT_EQ(Printable("\x1b\x1b\x1b\x1b", 3), "\\x1b\\x1b\\x1b...") << "an escape is one character";
  EXPECT_EQ(Printable("\xe4\xb8\xad\xe4\xb8\xad", 1), "\xe4\xb8\xad...") << "never half a character";
}

// Every error and warning line passes through the escaping, whatever its
// maker forgot.
TEST(Printable, ErrorsAndWarningsNeverCarryControls) {
  ConsoleCapture capture;
  Warn("Warning: \x1b[2J");
  try {
    Fatal("Error: \x1b]0;x\x07");
  } catch (const ExitRequest&) {
  }
  EXPECT_EQ(capture.Err(), "Warning: \\x1b[2J\nError: \\x1b]0;x\\x07\n");
}

}  // namespace
}  // namespace tarvex
