#include "analyzers/pbsa_prep.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

// The PREP reader keeps names in the four PDB columns; pbsaprep prints them
// as the template wrote them, and a name kept as written stays as it is.
TEST(PbsaPrepNames, AsTheTemplateWritesThem) {
  EXPECT_EQ(PrepNameAsWritten(" C1 ", "C"), "C1");
  EXPECT_EQ(PrepNameAsWritten("1HB2", "H"), "HB21");
  EXPECT_EQ(PrepNameAsWritten("1H5'", "H"), "H5'1");
  EXPECT_EQ(PrepNameAsWritten("HO5'", "H"), "HO5'");
  EXPECT_EQ(PrepNameAsWritten("C1", "C"), "C1") << "not \"1C\"";
  EXPECT_EQ(PrepNameAsWritten("CL1 ", "CL"), "CL1");
  EXPECT_EQ(PrepNameAsWritten("FE  ", "FE"), "FE");
}

}  // namespace
}  // namespace tarvex
