#include "common/numbers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <sstream>
#include <vector>

namespace tarvex {
namespace {

TEST(ParseIntPrefix, ReadsLikeStreamExtraction) {
  int value = 0;
  EXPECT_EQ(ParseIntPrefix("  42abc", value), 4u);
  EXPECT_EQ(value, 42);
  EXPECT_EQ(ParseIntPrefix("+7", value), 2u);
  EXPECT_EQ(value, 7);
  EXPECT_EQ(ParseIntPrefix("-12-3", value), 3u);
  EXPECT_EQ(value, -12);
  EXPECT_EQ(ParseIntPrefix("-", value), 0u);
  EXPECT_EQ(ParseIntPrefix("x1", value), 0u);
  EXPECT_EQ(ParseIntPrefix("99999999999", value), 0u) << "out of range for int";
}

TEST(ParseDoublePrefix, AcceptsDecimalFormsOnly) {
  double value = 0.0;
  EXPECT_EQ(ParseDoublePrefix(" -1.5e2xyz", value), 7u);
  EXPECT_DOUBLE_EQ(value, -150.0);
  EXPECT_EQ(ParseDoublePrefix("+.25", value), 4u);
  EXPECT_DOUBLE_EQ(value, 0.25);
  EXPECT_EQ(ParseDoublePrefix("inf", value), 0u);
  EXPECT_EQ(ParseDoublePrefix("nan", value), 0u);
  EXPECT_EQ(ParseDoublePrefix("1e999", value), 0u);
  EXPECT_EQ(ParseDoublePrefix("", value), 0u);
}

TEST(ParseFields, RequireTheWholeField) {
  int i = 0;
  double d = 0.0;
  EXPECT_TRUE(ParseIntField("  12 ", i));
  EXPECT_EQ(i, 12);
  EXPECT_FALSE(ParseIntField("12a", i));
  EXPECT_FALSE(ParseIntField("   ", i));
  EXPECT_TRUE(ParseDoubleField(" 1.250", d));
  EXPECT_FALSE(ParseDoubleField("1.2.3", d));
}

// The fixed formatter must give exactly what iostream fixed/setprecision gives.
TEST(AppendFixed, MatchesIostreamDigits) {
  const double values[] = {0.0, -0.0, 1.0005, 2.675, -123.4565, 1e-7, 12345678.9, 0.5, 1.5, -0.00049};
  for (double v : values) {
    for (int precision : {0, 2, 3, 4, 6}) {
      std::ostringstream stream;
      stream.setf(std::ios::fixed);
      stream.precision(precision);
      stream.width(10);
      stream << v;
      EXPECT_EQ(FormatFixed(v, 10, precision), stream.str()) << v << " " << precision;
    }
  }
}

TEST(AppendFixed, WidthIsAMinimum) {
  EXPECT_EQ(FormatFixed(123456.789, 4, 2), "123456.79");
  EXPECT_EQ(FormatInt(-42, 6), "   -42");
  EXPECT_EQ(FormatInt(1234567, 3), "1234567");
}

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

// The fast path must give the very double the general reader gives, and
// refuse every shape it does not cover.
TEST(ParseShortDecimal, SameDoublesAsTheGeneralReader) {
  const char* const texts[] = {"-12.345",         "0.1", "+7.5", "123456789.012345",
                               "-0.000",          "42",  "3.",   "-.5",
                               "999999999999999", "0.3", "17.7", "-2.675"};
  for (const char* text : texts) {
    double fast = 0.0;
    double general = 0.0;
    ASSERT_TRUE(ParseShortDecimal(text, fast)) << text;
    ASSERT_TRUE(ParseDoubleField(text, general)) << text;
    EXPECT_EQ(fast, general) << text;
    EXPECT_EQ(std::signbit(fast), std::signbit(general)) << text;
  }
  double value = 0.0;
  for (const char* text : {"", "-", ".", " 1.0", "1.0 ", "1e5", "1.2.3", "1234567890123456", "--1", "1-2"}) {
    EXPECT_FALSE(ParseShortDecimal(text, value)) << text;
  }
}

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

// The writers' fast path must give to_chars' digits exactly, rounding near
// halves and signs of values that round to zero included.
TEST(AppendFixed, FastDigitsEqualToChars) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> wide(-1e6, 1e6);
  std::uniform_int_distribution<int> ticks(-2000000, 2000000);
  auto reference = [](double value, int precision) {
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    return std::string(buffer, result.ptr);
  };
  for (int trial = 0; trial < 2000000; ++trial) {
    const int precision = trial % 9;
    double value = wide(random);
    if (trial % 3 == 1) value = ticks(random) / 2000.0;         // halves of the last printed digit
    if (trial % 3 == 2) value = ticks(random) * 0.0005 + 1e-9;  // just beside them
    if (trial % 1000 == 0) value = -0.0004;
    const int width = trial % 13;
    std::string expected = reference(value, precision);
    if (static_cast<int>(expected.size()) < width)
      expected.insert(0, static_cast<size_t>(width) - expected.size(), ' ');
    std::string fast = "x";
    AppendFixed(fast, value, width, precision);
    ASSERT_EQ(fast, "x" + expected) << value << " precision " << precision << " width " << width;
  }
  for (double special : {0.0, -0.0, 4294967.2955, 1e300, -1e-300}) {
    std::string fast;
    AppendFixed(fast, special, 0, 3);
    EXPECT_EQ(fast, reference(special, 3));
  }
}

// A row written at once is the values appended one by one with their
// delimiters, whatever mix of fast and general values it holds.
TEST(AppendFixedRow, SameTextAsOneAppendEach) {
  std::mt19937_64 random(5);
  std::uniform_real_distribution<double> angle(-180.0, 180.0);
  const double specials[] = {std::nan(""), -0.0, 1e300, -4294967.2955, 1e12, -0.00004};
  for (int trial = 0; trial < 2000; ++trial) {
    std::vector<double> row(static_cast<size_t>(trial % 40));
    for (size_t i = 0; i < row.size(); ++i) row[i] = i % 7 == 3 ? specials[(trial + i) % 6] : angle(random);
    const int width = trial % 14;
    const int precision = trial % 5;
    std::string expected = "head ";
    for (size_t i = 0; i < row.size(); ++i) {
      if (i > 0) expected.push_back('\t');
      AppendFixed(expected, row[i], width, precision);
    }
    std::string written = "head ";
    AppendFixedRow(written, row.data(), row.size(), width, precision, '\t');
    ASSERT_EQ(written, expected) << "trial " << trial;
  }
}

}  // namespace
}  // namespace tarvex
