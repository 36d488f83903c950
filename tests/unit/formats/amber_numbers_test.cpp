#include "formats/amber_numbers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "amber_test_support.h"
#include "common/numbers.h"
#include "common/output_file.h"

namespace tarvex {
namespace {

using namespace amber_test;

std::vector<double> ScanAll(const std::string& text, ScanStop& stop, std::string& bad_word) {
  LineReader reader;
  EXPECT_TRUE(reader.Open(WriteScratch("numbers.txt", text)));
  NumberScanner scanner(reader);
  std::vector<double> values;
  double value = 0.0;
  while (scanner.Next(value)) values.push_back(value);
  stop = scanner.Stop();
  bad_word = scanner.BadWord();
  return values;
}

// The fast path and the fallback give bit for bit what ParseDoublePrefix
// (from_chars) gives, on numbers of every shape, and words cut by the block
// boundaries of the reader are read whole.
TEST(NumberScanner, MatchesParseDoublePrefixOnRandomNumbers) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> digit(0, 9), length(1, 18), shape(0, 5);
  std::vector<std::string> words;
  std::string text;
  while (text.size() < (size_t{3} << 20)) {
    std::string word = shape(random) == 0 ? "-" : (shape(random) == 0 ? "+" : "");
    for (int i = length(random); i > 0; --i) word.push_back(static_cast<char>('0' + digit(random)));
    if (shape(random) != 0) {
      const size_t from_end = std::min<size_t>(static_cast<size_t>(digit(random) % 3), word.size() - 1);
      word.insert(word.end() - static_cast<std::ptrdiff_t>(from_end), '.');
    }
    if (shape(random) == 0) word += "E-0" + std::to_string(digit(random));
    words.push_back(word);
    text += word + (shape(random) == 0 ? "\n" : std::string(static_cast<size_t>(1 + digit(random) % 3), ' '));
  }
  ScanStop stop = ScanStop::kNone;
  std::string bad;
  std::vector<double> values = ScanAll(text, stop, bad);
  EXPECT_EQ(stop, ScanStop::kEnd);
  ASSERT_EQ(values.size(), words.size());
  for (size_t i = 0; i < words.size(); ++i) {
    double expected = 0.0;
    ASSERT_EQ(ParseDoublePrefix(words[i], expected), words[i].size()) << words[i];
    ASSERT_EQ(std::memcmp(&values[i], &expected, sizeof expected), 0) << words[i];
  }
}

TEST(NumberScanner, ReadsLikeStreamExtraction) {
  ScanStop stop = ScanStop::kNone;
  std::string bad;
  EXPECT_EQ(ScanAll("1.000-2.000 +3 4e1\r\n-0.5", stop, bad), (std::vector<double>{1.0, -2.0, 3.0, 40.0, -0.5}));
  EXPECT_EQ(stop, ScanStop::kEnd);
  EXPECT_EQ(ScanAll("  1.5   2.5 ******** 3.0", stop, bad), (std::vector<double>{1.5, 2.5}));
  EXPECT_EQ(stop, ScanStop::kNotANumber);
  EXPECT_EQ(bad, "********");
  EXPECT_TRUE(ScanAll("nan 1", stop, bad).empty());
  EXPECT_EQ(stop, ScanStop::kNotANumber);
  EXPECT_TRUE(ScanAll(std::string("CDF\x01\0\0", 6), stop, bad).empty());
  EXPECT_EQ(bad, "CDF\\x01\\x00\\x00") << "binary bytes are not quoted as they are";
}

// A frame grows with the numbers read, not with the count asked for.
TEST(NumberScanner, FrameOfALyingCountStaysSmall) {
  LineReader reader;
  ASSERT_TRUE(reader.Open(WriteScratch("short.txt", "1 2 3 4 5 6 7\n")));
  NumberScanner scanner(reader);
  Frame frame;
  EXPECT_EQ(ReadFrame(scanner, frame, size_t{1} << 30), 7u);
  EXPECT_LT(frame.capacity(), size_t{1} << 16);
}

// Each instruction set's check of a full line agrees with the field-by-field
// check: on lines Amber writes and on each of them with one character
// changed to one that matters to the rules (blank, "-", point, digit, other).
TEST(AmberLine, EveryInstructionSetAgreesWithTheFieldChecks) {
  std::mt19937_64 random(3);
  std::uniform_real_distribution<double> coordinate(-999.9995, 9999.9995);
  const char replacements[] = {' ', '-', '.', '0', '7', '+', 'e', '\t', '\x80'};
  size_t accepted = 0;
  for (int trial = 0; trial < 20000; ++trial) {
    std::string line;
    for (int field = 0; field < 10; ++field) AppendFixed(line, coordinate(random) / (trial % 3 == 0 ? 100 : 1), 8, 3);
    ASSERT_EQ(line.size(), 80u);
    if (trial % 4 != 0) line[random() % 80] = replacements[random() % sizeof replacements];
    line.append(16, '\n');  // what lies after the line in the reader's block
    const bool expected = amber_line::FieldByField(line.data());
    accepted += expected ? 1 : 0;
    ASSERT_EQ(amber_line::Sse2(line.data()), expected) << line.substr(0, 80);
    ASSERT_EQ(amber_line::Avx2(line.data()), expected) << line.substr(0, 80);
  }
  // Both kinds of line were seen.
  EXPECT_GT(accepted, 2000u);
  EXPECT_LT(accepted, 19000u);
  if (!amber_line::Avx2Available()) GTEST_SKIP() << "no AVX2 here: only the SSE2 check was compared";
}

// Points written a line at a time give the text of numbers added one by
// one, wherever the points start in a line and however many there are.
TEST(NumberBlockWriter, PointsWrittenByLineAsNumberByNumber) {
  std::mt19937_64 random(9);
  std::uniform_real_distribution<double> coordinate(-50.0, 50.0);
  for (int per_line : {6, 10, 40}) {
    for (size_t lead = 0; lead < 4; ++lead) {
      for (size_t atoms : {0, 1, 3, 10, 11, 37}) {
        Frame points(atoms);
        for (Point& point : points) point = {coordinate(random), coordinate(random), 1e9 * coordinate(random)};
        OutputFile by_number;
        OutputFile by_line;
        NumberBlockWriter one(by_number, 8, 3, per_line);
        NumberBlockWriter lines(by_line, 8, 3, per_line);
        for (size_t i = 0; i < lead; ++i) {
          one.Add(1.5);
          lines.Add(1.5);
        }
        for (const Point& point : points) {
          for (double value : point) one.Add(value);
        }
        lines.AddPoints(points);
        one.EndLine();
        lines.EndLine();
        ASSERT_EQ(by_line.Buffer(), by_number.Buffer()) << per_line << " " << lead << " " << atoms;
      }
    }
  }
}

}  // namespace
}  // namespace tarvex
