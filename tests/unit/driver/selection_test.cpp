#include "driver/selection.h"

#include <gtest/gtest.h>

#include "common/console.h"

namespace tarvex {
namespace {

using Numbers = std::vector<int>;
using Names = std::vector<std::string>;

TEST(Selection, ItemsBeyondTheUsualOnes) {
  EXPECT_TRUE(ParseSelectionNames("1H").empty());                            // a number, not a name
  EXPECT_EQ(ParseSelectionNumbers("3,3,2-3", true), (Numbers{2, 2, 1, 2}));  // duplicates kept
  EXPECT_EQ(ParseSelectionNumbers("1-2-9", true), (Numbers{0, 1}));
  EXPECT_TRUE(ParseSelectionNumbers("1-", true).empty());
  EXPECT_TRUE(ParseSelectionNumbers("99999999999", true).empty());  // beyond int: no number
  EXPECT_TRUE(ParseSelectionNumbers("", true).empty());
  EXPECT_EQ(ParseSelectionNames(""), (Names{""}));
}

TEST(Selection, OverlongRangesAreRefused) {
  ConsoleCapture console;
  EXPECT_EQ(ParseSelectionNumbers("1-2000000000,7", true), (Numbers{6}));
  EXPECT_EQ(console.Err(), "Warning: atom number range 1-2000000000 is too long; ignored.\n");
}

}  // namespace
}  // namespace tarvex
