// The settings file's rules: the texts of stored window positions, the
// section named after the parameter file, the file's path; and the placement
// of windows inside the work area.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "app/placement.h"
#include "app/startup.h"
#include "settings/settings.h"

namespace {

TEST(PositionText, CoordinatesAreStoredAsUnsignedAndCappedAt32767) {
  const struct {
    int coordinate;
    const char* stored;
  } cases[] = {
      {0, "0"},         {120, "120"},        {32767, "32767"}, {32768, "32767"},
      {40000, "32767"}, {-1, "32767"},       {-20, "32767"},   {-32000, "32767"},
      {INT_MIN, "32767"}, {INT_MAX, "32767"},
  };
  for (const auto& c : cases) {
    char text[kPositionTextSize] = "garbage";
    FormatPositionText(c.coordinate, text, sizeof text);
    EXPECT_STREQ(c.stored, text) << c.coordinate;
  }
}

TEST(PositionText, StoredTextsReadAsNonNegativeNumbers) {
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"32767", 32767}, {"120", 120}, {"", 0},       {"abc", 0},    {"12ab", 12},
      {"-20", 0},       {"  +45", 45}, {"\t 7", 7},  {"1 2", 1},    {"0x10", 0},
      {"99999999999999", INT_MAX},    {"-99999999999999", 0},       {"2147483647", INT_MAX},
  };
  for (const auto& c : cases) EXPECT_EQ(c.value, ParsePositionText(c.text)) << c.text;
}

TEST(SettingsSection, IsTheParameterFileNameCutTo62Characters) {
  ASSERT_EQ(kStartupOk, SetExecutableDirectory("C:\\tools\\tavix.exe"));
  const std::string seventy(70, 'n');
  const std::string sixtyOneAndWide = std::string(61, 'w') + "表.tvx";
  const struct {
    const char* argument;  // nullptr: the default parameter file
    std::string section;
  } cases[] = {
      {nullptr, "tavix"},
      {"D:\\work\\other.tvx", "other"},
      {"作業", "作業"},
      {seventy.c_str(), std::string(62, 'n')},
      {sixtyOneAndWide.c_str(), std::string(61, 'w')},  // never half a character
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(SetParameterFilePath(c.argument));
    ResetSettingsSection();
    EXPECT_EQ(c.section, SettingsSection());
    char out[kSettingsSectionSize] = {};
    CurrentSettingsSection(out, sizeof out);
    EXPECT_EQ(c.section, out);
    SetParameterFilePath(nullptr);
    EXPECT_EQ(c.section, SettingsSection()) << "kept until reset";
    ResetSettingsSection();
  }
  char small[4] = {};
  ASSERT_TRUE(SetParameterFilePath("作業です"));
  CurrentSettingsSection(small, sizeof small);
  EXPECT_STREQ("作", small);
  ResetSettingsSection();
}

TEST(SettingsPath, LiesBesideTheExecutable) {
  char path[kSettingsPathSize] = {};
  ASSERT_EQ(kStartupOk, SetExecutableDirectory("C:\\tools\\tavix.exe"));
  ASSERT_EQ(1, FormatSettingsPath(path, sizeof path));
  EXPECT_STREQ("C:\\tools\\\\tavix.ini", path);
  g_executableDirectory[0] = '\0';
  EXPECT_EQ(0, FormatSettingsPath(path, sizeof path));
}

TEST(Placement, WindowsStayInsideTheWorkArea) {
  const ScreenRect area{0, 30, 1024, 768};  // a task bar along the top
  const struct {
    long x, y, w, h;
    long placedX, placedY;
  } cases[] = {
      {0, 0, 300, 200, 0, 30},                // saved nothing: beside the task bar
      {100, 100, 300, 200, 100, 100},
      {900, 700, 300, 200, 724, 568},         // right and bottom edges pulled in
      {32767, 32767, 300, 200, 724, 568},     // closed while minimised
      {-32000, -32000, 300, 200, 0, 30},
      {10, 10, 2000, 1000, 0, 30},            // larger than the area: left and top win
      {INT_MAX, INT_MAX, 300, 200, 724, 568},  // the largest a stored text gives
  };
  for (const auto& c : cases) {
    long x = c.x;
    long y = c.y;
    KeepInsideArea(area, c.w, c.h, &x, &y);
    EXPECT_EQ(c.placedX, x) << c.x << "," << c.y;
    EXPECT_EQ(c.placedY, y) << c.x << "," << c.y;
  }
}

TEST(Placement, CentresOnTheOwnerRoundingTowardsZero) {
  const ScreenRect owner{100, 100, 500, 400};  // 400 x 300
  const struct {
    long w, h;
    long x, y;
  } cases[] = {
      {200, 100, 200, 200},
      {201, 101, 199, 199},
      {501, 303, 50, 99},  // larger than the owner: -50.5 and -1.5 become -50 and -1
  };
  for (const auto& c : cases) {
    long x = 0;
    long y = 0;
    CenterOn(owner, c.w, c.h, &x, &y);
    EXPECT_EQ(c.x, x) << c.w << "x" << c.h;
    EXPECT_EQ(c.y, y) << c.w << "x" << c.h;
  }
}

}  // namespace
