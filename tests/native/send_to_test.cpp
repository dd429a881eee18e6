// The Send To shortcut of a set: its file name, and arguments that the C
// runtime reads back as the set's name and the parameter file.
#include <gtest/gtest.h>

#include <string>

#include "app/send_to.h"
#include "support/argument_split.h"
#include "support/messages.h"

namespace {

TEST(SendTo, NamesTheShortcutAfterTheSet) {
  struct Case {
    const char* set;
    const char* file;
  };
  const Case cases[] = {
      {"縮小 50%", "縮小 50%.lnk"},
      {"a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j.lnk"},
      {"tab\there", "tab_here.lnk"},
      {"ends. . ", "ends.lnk"},
      {"...", "_.lnk"},
      {"CON", "CON_.lnk"},
      {"nul.txt", "nul_.txt.lnk"},
      {"com7", "com7_.lnk"},
      {"LPT0", "LPT0.lnk"},
      {"CONSOLE", "CONSOLE.lnk"},
      {"表ソ|", "表ソ_.lnk"},  // trail bytes 0x5C stay, the '|' goes
  };
  for (const Case& c : cases) {
    char file[300];
    ASSERT_EQ(1, MakeShortcutFileName(c.set, file, sizeof file)) << c.set;
    EXPECT_STREQ(c.file, file) << c.set;
  }
  char small[8];
  EXPECT_EQ(0, MakeShortcutFileName("longer name", small, sizeof small));
}

TEST(SendTo, ArgumentsReadBackAsTheyWereMeant) {
  struct Case {
    const char* parameterFile;  // nullptr: the default file
    const char* set;
    const char* arguments;
  };
  const Case cases[] = {
      {nullptr, "写真", "/set \"写真\""},
      {nullptr, "say \"hi\"", "/set \"say \\\"hi\\\"\""},
      {nullptr, "back\\", "/set \"back\\\\\""},
      {nullptr, "a\\\"b", "/set \"a\\\\\\\"b\""},
      {nullptr, "表ソ", "/set \"表ソ\""},
      {"D:\\My Sets\\work.tvx", "x y", "\"D:\\My Sets\\work.tvx\" /set \"x y\""},
  };
  for (const Case& c : cases) {
    char arguments[600];
    ASSERT_EQ(1, MakeShortcutArguments(c.parameterFile, c.set, arguments, sizeof arguments)) << c.set;
    EXPECT_STREQ(c.arguments, arguments);
    const char* cursor = arguments;
    char piece[300];
    if (c.parameterFile != nullptr) {
      ASSERT_EQ(1, NextArgument(&cursor, piece, sizeof piece));
      EXPECT_STREQ(c.parameterFile, piece);
    }
    ASSERT_EQ(1, NextArgument(&cursor, piece, sizeof piece));
    EXPECT_STREQ("/set", piece);
    ASSERT_EQ(1, NextArgument(&cursor, piece, sizeof piece));
    EXPECT_STREQ(c.set, piece);
    EXPECT_EQ(0, NextArgument(&cursor, piece, sizeof piece));
  }
  char small[10];
  EXPECT_EQ(0, MakeShortcutArguments(nullptr, "a long name", small, sizeof small));
}

TEST(MessageLog, WritesOneLinePerMessage) {
  char line[64];
  EXPECT_EQ(40, FormatLogLine(line, sizeof line, "2026/01/02 03:04:05", "題", "一\r\n二\n\t三"));
  EXPECT_STREQ("2026/01/02 03:04:05\t題\t一 / 二 /  / 三\r\n", line);
  // Cut at a whole character, still one line.
  EXPECT_EQ(-1, FormatLogLine(line, 12, "12345678", "表", "x"));
  EXPECT_STREQ("12345678\t\r\n", line);
}

}  // namespace
