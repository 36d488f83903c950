// The fast trajectory reader against the stream reader it replaces: on every
// trajectory of the corpus and on generated files of random layouts, both
// give the same frames, numbers (bit for bit), stops and offending words.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "amber_test_support.h"
#include "formats/amber_numbers.h"

namespace tarvex {
namespace {

using namespace amber_test;

// What one frame gave: the numbers read (with the box), how the reading
// stopped, and the values of the wanted numbers.
struct FrameResult {
  size_t read = 0;
  ScanStop stop = ScanStop::kNone;
  std::string bad_word;
  std::vector<double> values;

  bool operator==(const FrameResult& other) const {
    return read == other.read && stop == other.stop && bad_word == other.bad_word &&
           values.size() == other.values.size() &&
           (values.empty() || std::memcmp(values.data(), other.values.data(), values.size() * sizeof(double)) == 0);
  }
};

std::string Describe(const FrameResult& result) {
  std::string text = std::to_string(result.read);
  text += " numbers, stop ";
  text += std::to_string(static_cast<int>(result.stop));
  text += " \"";
  text += result.bad_word;
  text += "\":";
  for (size_t k = 0; k < result.values.size() && k < 12; ++k) {
    text.push_back(' ');
    text += std::to_string(result.values[k]);
  }
  return text;
}

bool Wanted(const std::vector<NumberRange>& wanted, size_t number) {
  if (wanted.empty()) return true;
  for (const NumberRange& range : wanted) {
    if (number >= range.begin && number < range.end) return true;
  }
  return false;
}

// The frame's wanted numbers, then the box.
std::vector<double> WantedValues(const Frame& frame, const std::vector<NumberRange>& wanted, const double* box,
                                 bool with_box) {
  std::vector<double> values;
  for (size_t k = 0; k < 3 * frame.size(); ++k) {
    if (Wanted(wanted, k)) values.push_back(frame[k / 3][k % 3]);
  }
  if (with_box) values.insert(values.end(), box, box + 3);
  return values;
}

// The trajectory reading as the stream reader did it: a scanner per frame,
// the frame, then the box; the frames up to the first that is not whole.
std::vector<FrameResult> ReadWithStreamReader(const std::string& path, size_t points, bool with_box,
                                              const std::vector<NumberRange>& wanted) {
  LineReader reader;
  EXPECT_TRUE(reader.Open(path));
  std::string_view title;
  reader.ReadLine(title);
  std::vector<FrameResult> frames;
  for (;;) {
    NumberScanner scanner(reader);
    Frame frame;
    double box[3] = {0, 0, 0};
    FrameResult result;
    result.read = ReadFrame(scanner, frame, points);
    if (result.read == 3 * points && with_box) result.read += scanner.Read(box, 3);
    const bool whole = result.read == 3 * points + (with_box ? 3 : 0);
    result.stop = scanner.Stop();
    result.bad_word = scanner.BadWord();
    if (whole) result.values = WantedValues(frame, wanted, box, with_box);
    frames.push_back(result);
    if (!whole || points == 0) return frames;
  }
}

// The same with the fast reader, filling one frame in place as the CRD
// reader does; the points outside the wanted atoms must stay NaN.
std::vector<FrameResult> ReadWithCoordinateScanner(const std::string& path, size_t points, bool with_box,
                                                   const std::vector<NumberRange>& wanted) {
  LineReader reader;
  EXPECT_TRUE(reader.Open(path));
  std::string_view title;
  reader.ReadLine(title);
  std::vector<FrameResult> frames;
  Frame frame;
  for (;;) {
    CoordinateScanner scanner(reader);
    double box[3] = {0, 0, 0};
    FrameResult result;
    result.read = scanner.ReadFrame(frame, points, wanted);
    if (result.read == 3 * points && with_box) result.read += scanner.Read(box, 3);
    const bool whole = result.read == 3 * points + (with_box ? 3 : 0);
    result.stop = scanner.Stop();
    result.bad_word = scanner.BadWord();
    if (whole) {
      result.values = WantedValues(frame, wanted, box, with_box);
      for (size_t k = 0; k < 3 * points; ++k) {
        if (!Wanted(wanted, k)) {
          EXPECT_TRUE(std::isnan(frame[k / 3][k % 3])) << "number " << k << " was written";
        }
      }
    }
    frames.push_back(result);
    if (!whole || points == 0) return frames;
  }
}

void ExpectSameReading(const std::string& path, size_t points, bool with_box, const std::vector<int>& atoms) {
  std::vector<NumberRange> wanted;
  NumbersOfAtoms(atoms, wanted);
  const std::vector<FrameResult> stream = ReadWithStreamReader(path, points, with_box, wanted);
  const std::vector<FrameResult> fast = ReadWithCoordinateScanner(path, points, with_box, wanted);
  ASSERT_EQ(stream.size(), fast.size()) << path << " with " << points << " atoms, box " << with_box;
  for (size_t f = 0; f < stream.size(); ++f) {
    ASSERT_TRUE(stream[f] == fast[f]) << path << " with " << points << " atoms, box " << with_box << ", frame " << f
                                      << "\n stream: " << Describe(stream[f]) << "\n fast:   " << Describe(fast[f]);
  }
}

TEST(CoordinateScanner, ReadsEveryCorpusTrajectoryAsTheStreamReader) {
  SKIP_WITHOUT_CORPUS();
  // The right counts (tz2 223, tz2.truncoct 5827 with a box, capped-ala 5071
  // with a box, mdcrd 12) and wrong ones, which shift every frame.
  const size_t counts[] = {1, 7, 12, 223, 2489, 5071, 5827};
  for (const std::string& path : testing_files::CorpusFiles("crd")) {
    for (size_t points : counts) {
      for (bool with_box : {false, true}) {
        ExpectSameReading(path, points, with_box, {});
        ExpectSameReading(path, points, with_box, {0, 5, 6, 200, 5826});
      }
    }
  }
}

// One number as a program of some kind might write it.
std::string RandomWord(std::mt19937& random) {
  std::uniform_int_distribution<int> shape(0, 19);
  std::uniform_real_distribution<double> value(-1200.0, 12000.0);
  char text[64];
  switch (shape(random)) {
    case 0:
      std::snprintf(text, sizeof text, "%.5e", value(random));
      break;
    case 1:
      std::snprintf(text, sizeof text, "+%.2f", std::fabs(value(random)));
      break;
    case 2:
      std::snprintf(text, sizeof text, "%.0f", value(random));
      break;
    case 3:
      std::snprintf(text, sizeof text, "%.7f", value(random) / 1000.0);
      break;
    case 4:
      return "********";
    case 5:
      return "-0.000";
    default:
      std::snprintf(text, sizeof text, "%.3f", value(random) / 10.0);
      break;
  }
  return text;
}

// A trajectory of random layout: Amber lines ("%8.3f", ten to a line, with
// numbers that fill the field and touch the one before), and lines of other
// programs: free spacing, tabs, exponents, blank lines, overflow stars,
// words that are no number, CRLF line ends, a cut last line; and Amber lines
// with a character changed.
std::string RandomTrajectory(std::mt19937& random, size_t numbers) {
  std::uniform_int_distribution<int> percent(0, 99);
  std::uniform_real_distribution<double> amber(-999.999, 9999.999);
  const bool crlf = percent(random) < 20;
  const int odd = percent(random) % 12;  // how often a line is not Amber's
  std::string text = "random trajectory\n";
  size_t written = 0;
  while (written < numbers) {
    const int fields = percent(random) < 80 ? 10 : 1 + percent(random) % 13;
    std::string line;
    if (percent(random) >= odd) {
      for (int k = 0; k < fields; ++k) {
        char field[32];
        const double v = percent(random) < 3 ? -0.0004 : amber(random) / (percent(random) < 70 ? 100.0 : 1.0);
        std::snprintf(field, sizeof field, "%8.3f", v);
        line += field;
      }
      if (percent(random) < 2) line += " ";
      // A character changed here and there: every rule of the layout check
      // meets lines that break it in one place.
      for (int k = percent(random) < 15 ? 1 + percent(random) % 3 : 0; k > 0; --k) {
        static constexpr char kSwaps[] = " -.+0123456789eE\tx*";
        line[static_cast<size_t>(percent(random)) % line.size()] = kSwaps[percent(random) % (sizeof kSwaps - 1)];
      }
    } else {
      for (int k = 0; k < fields; ++k) {
        const int gap = percent(random);
        line += gap < 10 ? "" : (gap < 20 ? "\t" : std::string(static_cast<size_t>(1 + gap % 4), ' '));
        line += percent(random) < 1 ? "x1.0" : RandomWord(random);
      }
    }
    written += static_cast<size_t>(fields);
    if (percent(random) < 3) line += "\n";
    text += line + (crlf ? "\r\n" : "\n");
  }
  if (percent(random) < 50) text.resize(text.size() - static_cast<size_t>(percent(random) % 40));
  return text;
}

TEST(CoordinateScanner, ReadsRandomLayoutsAsTheStreamReader) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> percent(0, 99);
  for (int round = 0; round < 300; ++round) {
    const size_t points = 1 + static_cast<size_t>(percent(random)) * (percent(random) < 10 ? 50 : 1);
    const size_t frames = 1 + static_cast<size_t>(percent(random) % 6);
    const std::string path = WriteScratch(
        "random.crd", RandomTrajectory(random, frames * (3 * points + 3) + static_cast<size_t>(percent(random))));
    std::vector<int> atoms;
    for (int k = percent(random) % 6; k > 0; --k) atoms.push_back(percent(random) % static_cast<int>(points + 2));
    std::sort(atoms.begin(), atoms.end());
    atoms.erase(std::unique(atoms.begin(), atoms.end()), atoms.end());
    for (bool with_box : {false, true}) {
      ExpectSameReading(path, points, with_box, {});
      ExpectSameReading(path, points, with_box, atoms);
      ExpectSameReading(path, points + 1, with_box, atoms);
    }
  }
}

// Lines longer than a block of the reader, without a line end, are cut at
// a blank and read the same; a word cut by the block is read whole.
TEST(CoordinateScanner, ReadsOverlongLinesAsTheStreamReader) {
  std::string text = "one line\n";
  for (int k = 0; k < 120000; ++k) text += k % 7 == 0 ? " -12.5e-1" : "   1.250";
  const std::string path = WriteScratch("long_line.crd", text);
  for (size_t points : {size_t{1}, size_t{1000}, size_t{40000}}) ExpectSameReading(path, points, false, {3, 4});
}

// The layout check itself: what "%8.3f" writes is taken at its columns,
// and what it does not write is read word by word, with the same values.
TEST(CoordinateScanner, AmberFieldsAndTheirNeighbours) {
  struct Case {
    const char* text;
    std::vector<double> values;
  };
  const Case cases[] = {
      {"   1.000  -2.500-123.456-234.567\n", {1.0, -2.5, -123.456, -234.567}},
      {"   1.0001234.567\n", {1.0001234, 0.567}},  // a full field after another runs into it
      {"  -0.000   0.000\r\n   7.125", {-0.0, 0.0, 7.125}},
      {"   1.000   2.00\n", {1.0, 2.0}},
      {"1234.567 -12.345\n", {1234.567, -12.345}},
      {"   -.500  1.2345\n", {-0.5, 1.2345}},
  };
  for (const Case& c : cases) {
    const std::string path = WriteScratch("fields.crd", std::string("title\n") + c.text);
    LineReader reader;
    ASSERT_TRUE(reader.Open(path));
    std::string_view title;
    reader.ReadLine(title);
    CoordinateScanner scanner(reader);
    std::vector<double> values(c.values.size() + 1);
    EXPECT_EQ(scanner.Read(values.data(), values.size()), c.values.size()) << c.text;
    values.pop_back();
    for (size_t k = 0; k < c.values.size(); ++k) {
      EXPECT_EQ(std::signbit(values[k]), std::signbit(c.values[k])) << c.text;
      EXPECT_EQ(values[k], c.values[k]) << c.text;
    }
    EXPECT_EQ(scanner.Stop(), ScanStop::kEnd);
  }
}

}  // namespace
}  // namespace tarvex
