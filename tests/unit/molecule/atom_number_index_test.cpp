// AtomNumberToIndex and IndexToAtomNumber on the numberings files really
// have: repeated numbers (the first atom carrying one wins), gaps, negative
// and extreme numbers, an atom count that covers only part of the list, and
// numberings that change after a look-up.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "../support/scratch_dir.h"
#include "../support/test_record.h"

namespace tarvex {
namespace {

using testing::TestRecord;

class AtomNumberIndexTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::UseParameterFile(""); }
};

void Number(TestRecord& record, const std::vector<int>& numbers) {
  record.SetAtomIndex(numbers);
  record.SetNumberOfAtoms(static_cast<int>(numbers.size()));
}

// The definition: the first position below the atom count (and the list's
// length) that carries the number.
int FirstPosition(const std::vector<int>& numbers, int atom_count, int number) {
  const int limit = std::min(atom_count, static_cast<int>(numbers.size()));
  for (int i = 0; i < limit; ++i) {
    if (numbers[i] == number) return i;
  }
  return -1;
}

TEST_F(AtomNumberIndexTest, RepeatsGapsAndNegativeNumbers) {
  TestRecord record;
  Number(record, {5, 7, 5, 7, 9});
  EXPECT_EQ(record.AtomNumberToIndex(5), 0) << "the first atom carrying the number";
  EXPECT_EQ(record.AtomNumberToIndex(7), 1);
  EXPECT_EQ(record.AtomNumberToIndex(9), 4);
  EXPECT_EQ(record.AtomNumberToIndex(6), -1);
  EXPECT_EQ(record.AtomNumberToIndex(1), -1);

  Number(record, {10, 20, 1000000});
  EXPECT_EQ(record.AtomNumberToIndex(1000000), 2) << "a gap of a million";
  EXPECT_EQ(record.AtomNumberToIndex(15), -1);
  EXPECT_EQ(record.AtomNumberToIndex(1000001), -1);

  Number(record, {-3, -1, 0, 2, INT_MAX, INT_MIN, -1});
  EXPECT_EQ(record.AtomNumberToIndex(-3), 0);
  EXPECT_EQ(record.AtomNumberToIndex(-1), 1);
  EXPECT_EQ(record.AtomNumberToIndex(0), 2);
  EXPECT_EQ(record.AtomNumberToIndex(-2), -1);
  EXPECT_EQ(record.AtomNumberToIndex(INT_MAX), 4);
  EXPECT_EQ(record.AtomNumberToIndex(INT_MIN), 5);
  EXPECT_EQ(record.IndexToAtomNumber(5), INT_MIN);
}

TEST_F(AtomNumberIndexTest, WithoutNumbersAndOutsideTheList) {
  TestRecord record;
  record.SetNumberOfAtoms(3);
  EXPECT_EQ(record.AtomNumberToIndex(3), 2) << "without atom_index a number is its position + 1";
  EXPECT_EQ(record.AtomNumberToIndex(50), 49) << "unchecked, as the callers check against their lists";
  EXPECT_EQ(record.AtomNumberToIndex(-5), -6);
  EXPECT_EQ(record.IndexToAtomNumber(7), 8);

  Number(record, {4, 5, 6});
  EXPECT_EQ(record.IndexToAtomNumber(-1), -1);
  EXPECT_EQ(record.IndexToAtomNumber(3), -1);
  EXPECT_EQ(record.IndexToAtomNumber(2), 6);
}

// Only the atoms below number_of_atoms are searched; a count beyond the list
// searches the list.
TEST_F(AtomNumberIndexTest, TheAtomCountLimitsTheSearch) {
  TestRecord record;
  record.SetAtomIndex({1, 2, 3, 4, 3});
  EXPECT_EQ(record.AtomNumberToIndex(1), -1) << "no atoms, no position";
  record.SetNumberOfAtoms(2);
  EXPECT_EQ(record.AtomNumberToIndex(2), 1);
  EXPECT_EQ(record.AtomNumberToIndex(3), -1);
  record.SetNumberOfAtoms(9);
  EXPECT_EQ(record.AtomNumberToIndex(3), 2);
  EXPECT_EQ(record.AtomNumberToIndex(4), 3);
  record.SetNumberOfAtoms(-4);
  EXPECT_EQ(record.AtomNumberToIndex(3), -1);
}

// Every way the numbering can change after a look-up is seen by the next one.
TEST_F(AtomNumberIndexTest, LookUpsFollowTheNumbering) {
  TestRecord record;
  Number(record, {1, 2, 3});
  ASSERT_EQ(record.AtomNumberToIndex(3), 2);

  record.SetAtomIndex({3, 2, 1});
  EXPECT_EQ(record.AtomNumberToIndex(3), 0) << "SetAtomIndex";

  std::vector<int>& numbers = record.GetAtomIndex();
  numbers[2] = 30;
  EXPECT_EQ(record.AtomNumberToIndex(30), 2) << "changed in place through the getter";
  EXPECT_EQ(record.AtomNumberToIndex(1), -1);
  record.GetAtomIndex().push_back(40);
  record.SetNumberOfAtoms(4);
  EXPECT_EQ(record.AtomNumberToIndex(40), 3) << "grown";
  record.GetAtomIndex().clear();
  EXPECT_EQ(record.AtomNumberToIndex(40), 39) << "emptied: positions again";

  // CopyState with OVERWRITE puts an equally long numbering in its place.
  TestRecord source;
  Number(source, {7, 8, 9, 7});
  Number(record, {9, 8, 7, 6});
  ASSERT_EQ(record.AtomNumberToIndex(7), 2);
  record.SetFileFlag(kFileOverwrite);
  record.CopyState(source);
  EXPECT_EQ(record.AtomNumberToIndex(7), 0) << "CopyState";
  EXPECT_EQ(record.AtomNumberToIndex(6), -1);
}

// Random numberings, dense and sparse, with repeats, against the definition.
TEST_F(AtomNumberIndexTest, AgreesWithTheFirstPositionOnRandomNumberings) {
  std::mt19937 random(20261207);
  TestRecord record;
  for (int round = 0; round < 60; ++round) {
    const int n = 1 + static_cast<int>(random() % 3000);
    const int spread = std::vector<int>{1, 2, 3, 100, 500000}[round % 5];
    std::uniform_int_distribution<int> value(-n * spread / 4, n * spread);
    std::vector<int> numbers(static_cast<size_t>(n));
    for (int& number : numbers) number = value(random);
    const int atom_count = round % 7 == 0 ? n / 2 : n;
    record.SetAtomIndex(numbers);
    record.SetNumberOfAtoms(atom_count);
    for (int probe = 0; probe < 200; ++probe) {
      const int number = probe % 2 ? numbers[random() % numbers.size()] : value(random);
      ASSERT_EQ(record.AtomNumberToIndex(number), FirstPosition(numbers, atom_count, number))
          << "round " << round << ", number " << number;
    }
  }
}

}  // namespace
}  // namespace tarvex
