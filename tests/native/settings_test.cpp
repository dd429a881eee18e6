// The settings file's rules: the texts of stored window positions, the
// section named after the parameter file, the file's path; and the placement
// of windows inside the work area.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>

#include "app/placement.h"
#include "app/startup.h"
#include "settings/settings.h"

namespace {

TEST(PositionText, CoordinatesAreStoredUnsignedUpTo32767AndReadBackNonNegative) {
  const struct {
    int coordinate;
    const char* stored;
  } stores[] = {{0, "0"}, {120, "120"}, {32767, "32767"}, {40000, "32767"}, {-20, "32767"}, {INT_MIN, "32767"}};
  for (const auto& c : stores) {
    char text[kPositionTextSize] = "garbage";
    FormatPositionText(c.coordinate, text, sizeof text);
    EXPECT_STREQ(c.stored, text) << c.coordinate;
  }
  const struct {
    const char* text;
    int value;
  } reads[] = {{"32767", 32767}, {"", 0}, {"abc", 0}, {"12ab", 12}, {"-20", 0}, {" \t+45", 45},
               {"0x10", 0}, {"99999999999999", INT_MAX}, {"-99999999999999", 0}};
  for (const auto& c : reads) EXPECT_EQ(c.value, ParsePositionText(c.text)) << c.text;
}

TEST(SettingsFile, SectionIsTheParameterFileNameCutTo62CharactersBesideTheExecutable) {
  ASSERT_EQ(kStartupOk, SetExecutableDirectory("C:\\tools\\tavix.exe"));
  char path[kSettingsPathSize] = {};
  ASSERT_EQ(1, FormatSettingsPath(path, sizeof path));
  EXPECT_STREQ("C:\\tools\\\\tavix.ini", path);
  const std::string seventy(70, 'n');
  const std::string wideLast = std::string(61, 'w') + "表.tvx";
  const struct {
    const char* argument;  // nullptr: the default parameter file
    std::string section;
  } cases[] = {{nullptr, "tavix"}, {"D:\\work\\other.tvx", "other"}, {"作業", "作業"},
               {seventy.c_str(), std::string(62, 'n')}, {wideLast.c_str(), std::string(61, 'w')}};
  for (const auto& c : cases) {
    ASSERT_TRUE(SetParameterFilePath(c.argument));
    ResetSettingsSection();
    char out[kSettingsSectionSize] = {};
    CurrentSettingsSection(out, sizeof out);
    EXPECT_EQ(c.section, out);
    SetParameterFilePath("switched");
    EXPECT_EQ(c.section, SettingsSection()) << "kept until reset";
  }
  char small[4] = {};
  ResetSettingsSection();
  CurrentSettingsSection(small, sizeof small);
  EXPECT_STREQ("swi", small);
  g_executableDirectory[0] = '\0';
  EXPECT_EQ(0, FormatSettingsPath(path, sizeof path));
}

// Every copy that uses one settings file must find one lock (a name without
// a backslash), and a copy that uses another file another lock.
TEST(SettingsFile, LockNameFollowsThePathAsTheFileSystemReadsIt) {
  const struct { const char* path; const char* other; bool same; } cases[] = {
      {"C:\\tools\\\\tavix.ini", "c:/TOOLS/tavix.INI", true}, {"C:\\表\\\\t.ini", "c:\\表\\T.INI", true},
      {"C:\\tools\\tavix.ini", "C:\\tool\\tavix.ini", false},
      {"C:\\ヂ\\tavix.ini", "C:\\ア\\tavix.ini", false}};  // trail bytes "a" and "A"
  for (const auto& c : cases) {
    char name[kSettingsLockNameSize] = {};
    char other[kSettingsLockNameSize] = {};
    MakeSettingsLockName(c.path, name, sizeof name);
    MakeSettingsLockName(c.other, other, sizeof other);
    EXPECT_EQ(c.same, std::string(name) == other) << c.path << " / " << c.other;
    EXPECT_EQ(std::string::npos, std::string(name).find('\\')) << name;
  }
}

TEST(Placement, WindowsStayInsideTheWorkAreaAndCentreRoundingTowardsZero) {
  const ScreenRect area{0, 30, 1024, 768};  // a task bar along the top
  const struct {
    long x, y, w, h;
    long placedX, placedY;
  } cases[] = {
      {0, 0, 300, 200, 0, 30},              {100, 100, 300, 200, 100, 100},
      {900, 700, 300, 200, 724, 568},       {32767, 32767, 300, 200, 724, 568},
      {-32000, -32000, 300, 200, 0, 30},    {10, 10, 2000, 1000, 0, 30},  // larger: left and top win
      {INT_MAX, INT_MAX, 300, 200, 724, 568},
  };
  for (const auto& c : cases) {
    long x = c.x;
    long y = c.y;
    KeepInsideArea(area, c.w, c.h, &x, &y);
    EXPECT_EQ(std::make_pair(c.placedX, c.placedY), std::make_pair(x, y)) << c.x << "," << c.y;
  }
  const ScreenRect owner{100, 100, 500, 400};  // 400 x 300
  long x = 0;
  long y = 0;
  CenterOn(owner, 201, 101, &x, &y);
  EXPECT_EQ(std::make_pair(199L, 199L), std::make_pair(x, y));
  CenterOn(owner, 501, 303, &x, &y);  // -50.5 and -1.5 become -50 and -1
  EXPECT_EQ(std::make_pair(50L, 99L), std::make_pair(x, y));
  // Workspace coordinates of a second monitor with a task bar on its left.
  x = 100;
  y = 50;
  WorkspaceToScreen(ScreenRect{1024, -200, 2048, 568}, ScreenRect{1084, -200, 2048, 568}, &x, &y);
  EXPECT_EQ(std::make_pair(160L, 50L), std::make_pair(x, y));
}

}  // namespace
