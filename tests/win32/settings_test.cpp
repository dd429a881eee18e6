// tavix.ini through the settings operations: a copy of the program that
// could not read the file never saves over it, and a stored value that did
// not change is not written again.
#include "settings/settings_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "app/startup.h"
#include "hold_file_process.h"
#include "test_env.h"

namespace {

const char kOtherCopy[] = "[work]\r\nDialogCurrentPositionX=7\r\nProcessPriority=低\r\n";

struct SettingsTest : ::testing::Test {
  void SetUp() override {
    const std::string dir = MakeTempDir("settings");
    ASSERT_EQ(kStartupOk, SetExecutableDirectory(JoinTestPath(dir, "tavix.exe").c_str()));
    ASSERT_TRUE(SetParameterFilePath(nullptr));
    ResetSettingsSection();
    ini_ = JoinTestPath(dir, "tavix.ini");
    ASSERT_TRUE(WriteWholeFile(ini_, kOtherCopy));
  }
  std::string ini_;
};

TEST_F(SettingsTest, FileHeldByAnotherCopyIsNotSavedOver) {
  char value[16] = "garbage";
  {
    OtherHolder other(ini_);
    ASSERT_TRUE(other.holding());
    EXPECT_EQ(0, StoreSettingOf("work", kProcessPriorityKey, "高"));
    EXPECT_EQ(0, ReadSettingOf("work", kProcessPriorityKey, value, sizeof value));
    EXPECT_EQ(0, LoadSettings());
    EXPECT_EQ(1, SetSetting(kPositionXKey, "1"));
  }
  // The other copy is done, but this document never held its section.
  EXPECT_EQ(0, SaveSettings());
  EXPECT_EQ(kOtherCopy, ReadWholeFile(ini_));
  EXPECT_EQ(1, SaveDialogPosition(10, -20));
  EXPECT_EQ(std::string(kOtherCopy) + "[tavix]\r\nDialogCurrentPositionX=10\r\nDialogCurrentPositionY=32767\r\n",
            ReadWholeFile(ini_));
  int x = -1;
  int y = -1;
  EXPECT_EQ(1, LoadDialogPosition(&x, &y));
  EXPECT_EQ(std::make_pair(10, 32767), std::make_pair(x, y));
}

TEST_F(SettingsTest, StoringTheValueTheFileHoldsWritesNothing) {
  // A read-only file is never replaced, so only a store that writes fails.
  ASSERT_TRUE(SetFileAttributesA(ini_.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(1, StoreSettingOf("work", kProcessPriorityKey, "低"));
  EXPECT_EQ(0, StoreSettingOf("work", kProcessPriorityKey, "高"));
  EXPECT_EQ(0, StoreSettingOf("work", "DialogCurrentPositionY", ""));
  ASSERT_TRUE(SetFileAttributesA(ini_.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(1, StoreSettingOf("work", kProcessPriorityKey, ""));
  EXPECT_EQ(1, StoreSettingOf("new", kProcessPriorityKey, "通常"));
  EXPECT_EQ("[work]\r\nDialogCurrentPositionX=7\r\nProcessPriority=\r\n[new]\r\nProcessPriority=通常\r\n",
            ReadWholeFile(ini_));
  char value[16] = {};
  EXPECT_EQ(4, ReadSettingOf("new", kProcessPriorityKey, value, sizeof value));
  EXPECT_STREQ("通常", value);
}

// A file the INI engine cannot read whole (UTF-16, a zero byte inside) is
// never saved over; a UTF-8 byte-order mark stays in front.
TEST_F(SettingsTest, UnreadableFilesAreLeftAsTheyAreAndAUtf8MarkStays) {
  const std::string golden = JoinTestPath(TestDataDir(), "settings") + "\\";
  for (const char* file : {"utf16", "edge", "utf8_mark"}) {
    const bool saved = file[3] == '8';
    const std::string before = ReadWholeFile(golden + file + ".ini");
    ASSERT_TRUE(WriteWholeFile(ini_, before));
    EXPECT_EQ(saved ? 1 : 0, SaveDialogPosition(120, 80)) << file;
    EXPECT_EQ(saved ? ReadWholeFile(golden + "utf8_mark_saved.ini") : before, ReadWholeFile(ini_)) << file;
  }
}

// Another copy in the middle of its update (from its load to its replace)
// is waited for a while; a copy that does not finish is not written over.
TEST_F(SettingsTest, AnotherCopyHoldingTheLockKeepsItsFile) {
  char path[kSettingsPathSize] = {};
  char lock[kSettingsLockNameSize] = {};
  ASSERT_EQ(1, FormatSettingsPath(path, sizeof path));
  MakeSettingsLockName(path, lock, sizeof lock);
  OtherHolder other(lock, "lock");
  ASSERT_TRUE(other.holding());
  EXPECT_EQ(0, SaveDialogPosition(10, 20));
  EXPECT_EQ(0, StoreSettingOf("work", kProcessPriorityKey, "高"));
  EXPECT_EQ(kOtherCopy, ReadWholeFile(ini_));
}

}  // namespace
