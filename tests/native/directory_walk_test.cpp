#include "expand/directory_walk.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct SplitCase {
  const char* text;
  const char* base;
  const char* pattern;
};

class SplitWalkTextTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitWalkTextTest, BaseAndPattern) {
  const SplitCase& c = GetParam();
  char base[260] = "junk";
  char pattern[260] = "junk";
  SplitWalkText(c.text, base, pattern);
  EXPECT_STREQ(base, c.base);
  EXPECT_STREQ(pattern, c.pattern);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitWalkTextTest,
    ::testing::Values(SplitCase{"C:\\photos\\*", "C:\\photos\\", "*"},
                      SplitCase{"C:\\p\\2004*", "C:\\p\\", "2004*"},
                      SplitCase{"C:\\p\\a?.b*", "C:\\p\\", "a?.b*"},
                      SplitCase{"*", "", "*"},
                      SplitCase{"C:*", "C:", "*"},
                      SplitCase{"..\\src\\*", "..\\src\\", "*"},
                      SplitCase{"\\\\server\\share\\*", "\\\\server\\share\\", "*"},
                      SplitCase{"C:\\p\\", "C:\\p\\", ""},
                      SplitCase{"", "", ""},
                      // A trail byte 0x5C is not a separator.
                      SplitCase{"D:\\表\\ソ*", "D:\\表\\", "ソ*"},
                      SplitCase{"D:\\作業\\表*", "D:\\作業\\", "表*"},
                      // Enclosing quotes do not take part.
                      SplitCase{"\"D:\\My Work\\*\"", "D:\\My Work\\", "*"},
                      SplitCase{"\"D:\\My Work\\*", "D:\\My Work\\", "*"},
                      SplitCase{"D:\\My Work\\*\"", "D:\\My Work\\", "*\""}));

TEST(SplitWalkText, LongestTextFits) {
  const std::string dir = "C:\\" + std::string(250, 'd') + "\\";
  const std::string text = dir + "*";
  char base[260];
  char pattern[260];
  SplitWalkText(text.c_str(), base, pattern);
  EXPECT_EQ(std::string(base), dir);
  EXPECT_STREQ(pattern, "*");
  const std::string longName = "C:\\" + std::string(255, 'n');
  SplitWalkText(longName.c_str(), base, pattern);
  EXPECT_STREQ(base, "C:\\");
  EXPECT_EQ(std::string(pattern), std::string(255, 'n'));
}

TEST(SplitWalkText, DirectoryPartTooLongToSplitGivesNothingToSearch) {
  // Without a drive the directory part of a 258-character text can reach 257
  // characters, more than a split directory holds. Cut, it would name the
  // parent ("bb\b\...\b\" one level up), so nothing is split instead.
  std::string dir = "bb\\";
  for (int i = 0; i < 127; ++i) dir += "b\\";
  ASSERT_EQ(dir.size(), 257u);
  char base[260] = "junk";
  char pattern[260] = "junk";
  SplitWalkText((dir + "*").c_str(), base, pattern);
  EXPECT_STREQ(base, "");
  EXPECT_STREQ(pattern, "");
  // One level less (255 characters) still splits whole.
  const std::string shorter = dir.substr(0, 255);
  SplitWalkText((shorter + "*").c_str(), base, pattern);
  EXPECT_EQ(std::string(base), shorter);
  EXPECT_STREQ(pattern, "*");
}

TEST(IsDotEntry, OnlyTheTwoDotNames) {
  EXPECT_EQ(IsDotEntry("."), 1);
  EXPECT_EQ(IsDotEntry(".."), 1);
  for (const char* name : {"...", ".a", "a.", "", "..a", ". ", "x"}) EXPECT_EQ(IsDotEntry(name), 0) << name;
}

struct PlanCase {
  size_t cursor;
  size_t length;
  int result;
  size_t commitOffset;
  size_t commitSize;
};

class PlanListAppendTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanListAppendTest, FitsCommitsOrIsFull) {
  const PlanCase& c = GetParam();
  size_t offset = 99;
  size_t size = 99;
  EXPECT_EQ(PlanListAppend(c.cursor, c.length, &offset, &size), c.result);
  EXPECT_EQ(offset, c.commitOffset);
  EXPECT_EQ(size, c.commitSize);
}

// The list's next path starts at `cursor`; it needs its length, a terminator
// and the final empty text inside committed pages.
INSTANTIATE_TEST_SUITE_P(
    Lists, PlanListAppendTest,
    ::testing::Values(PlanCase{12, 259, kListFits, 0, 0},
                      PlanCase{4094, 0, kListFits, 0, 0},       // empty path: ends at 4095
                      PlanCase{4000, 94, kListFits, 0, 0},      // final empty text at 4095
                      PlanCase{4000, 95, kListNeedsCommit, 4096, 4096},
                      PlanCase{4095, 1, kListNeedsCommit, 4096, 4096},
                      PlanCase{4096, 259, kListFits, 0, 0},     // its page was committed
                      PlanCase{8191, 259, kListNeedsCommit, 8192, 4096},
                      PlanCase{61439, 259, kListNeedsCommit, 61440, 4096},
                      PlanCase{65280, 254, kListFits, 0, 0},    // ends on the block's last byte
                      PlanCase{65280, 255, kListFull, 0, 0},
                      PlanCase{65535, 0, kListFull, 0, 0},
                      PlanCase{65534, 0, kListFits, 0, 0}));

TEST(PlanListAppend, GrowingAListCommitsEachPageOnce) {
  // Appends 259-character paths from a 12-byte header until the block is full.
  size_t cursor = 12;
  size_t committed = kWalkPageSize;
  int appended = 0;
  for (;;) {
    size_t offset = 0;
    size_t size = 0;
    const int fit = PlanListAppend(cursor, 259, &offset, &size);
    if (fit == kListFull) break;
    if (fit == kListNeedsCommit) {
      EXPECT_EQ(offset, committed);
      EXPECT_EQ(size, kWalkPageSize);
      committed += size;
    }
    cursor += 260;
    EXPECT_LE(cursor + 1, committed);
    ++appended;
  }
  EXPECT_EQ(committed, kWalkBlockSize);
  EXPECT_EQ(appended, static_cast<int>((kWalkBlockSize - 12 - 1) / 260));
}

}  // namespace
