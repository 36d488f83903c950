#include "formats/amber_names.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

// Names as Amber files write them come back from their aligned form, the
// form every reader stores.
TEST(AmberNames, WrittenNamesSurviveTheAlignment) {
  const std::pair<const char*, const char*> names[] = {
      {"C1", "C"},  {"CA", "C"},   {"HB21", "H"}, {"H5'1", "H"}, {"HO5'", "H"}, {"HO'2", "H"},
      {"O1P", "O"}, {"CL1", "CL"}, {"FE", "FE"},  {"N", "N"},    {"1H", "H"},   {"H31H", "H"},
  };
  for (const auto& [written, element] : names) {
    std::string padded = written;
    padded.resize(4, ' ');
    EXPECT_EQ(AmberNameAsWritten(AlignAmberName(padded, element), element), written) << written;
  }
}

TEST(AmberNames, NamesNotInTheAlignedFormStayAsTheyAre) {
  EXPECT_EQ(AmberNameAsWritten(" C1 ", "C"), "C1");
  EXPECT_EQ(AmberNameAsWritten("1HB2", "H"), "HB21");
  EXPECT_EQ(AmberNameAsWritten("C1", "C"), "C1") << "not \"1C\"";
  EXPECT_EQ(AmberNameAsWritten("CL1 ", "CL"), "CL1");
}

}  // namespace
}  // namespace tarvex
