// The window position kept in tavix.ini, seen from outside: where the window
// opens, what closing writes, and saves into a parameter file whose path is
// as long as a path may be.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/driver.h"
#include "e2e/steps.h"
#include "folder_entries.h"
#include "resource.h"
#include "test_env.h"

namespace {

RECT WorkArea() {
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

std::string PositionSection(const std::string& section, long x, long y) {
  return "[" + section + "]\r\nDialogCurrentPositionX=" + std::to_string(x) +
         "\r\nDialogCurrentPositionY=" + std::to_string(y) + "\r\n";
}

TEST(Settings, MovedWindowReopensWhereItWasClosed) {
  AppFolder folder = PrepareAppFolder("position");
  ASSERT_FALSE(folder.dir.empty());
  const RECT area = WorkArea();
  {
    AppProcess app;
    HWND window = StartAndWaitForWindow(&app, folder.exe, DefaultWindowTitle());
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(area.left, WindowRect(window).left) << "first start: the work area's corner";
    EXPECT_EQ(area.top, WindowRect(window).top);
    ASSERT_TRUE(SetWindowPos(window, nullptr, area.left + 120, area.top + 80, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    EscapeAndExpectExit0(app, window);
  }
  const std::string saved = PositionSection("tavix", area.left + 120, area.top + 80);
  EXPECT_EQ(saved, ReadWholeFile(folder.Path("tavix.ini")));

  AppProcess again;
  HWND window = StartAndWaitForWindow(&again, folder.exe, DefaultWindowTitle());
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(area.left + 120, WindowRect(window).left);
  EXPECT_EQ(area.top + 80, WindowRect(window).top);
  EscapeAndExpectExit0(again, window);
  EXPECT_EQ(saved, ReadWholeFile(folder.Path("tavix.ini")));
}

TEST(Settings, StoredPositionIsKeptInsideTheWorkAreaAndOtherSectionsStay) {
  AppFolder folder = PrepareAppFolder("offscreen");
  ASSERT_FALSE(folder.dir.empty());
  ASSERT_TRUE(WriteWholeFile(folder.Path("tavix.ini"),
                             "[other]\r\nDialogCurrentPositionX=5\r\nno equals sign\r\n"
                             "[tavix]\r\nDialogCurrentPositionX=40000\r\nDialogCurrentPositionY=-20\r\n"));
  const RECT area = WorkArea();
  AppProcess app;
  HWND window = StartAndWaitForWindow(&app, folder.exe, DefaultWindowTitle());
  ASSERT_NE(nullptr, window);
  const RECT rect = WindowRect(window);
  EXPECT_EQ(area.right, rect.right) << "40000 is pulled back to the right edge";
  EXPECT_EQ(area.top, rect.top) << "-20 reads as 0";
  EscapeAndExpectExit0(app, window);
  EXPECT_EQ("[other]\r\nDialogCurrentPositionX=5\r\n" + PositionSection("tavix", rect.left, rect.top),
            ReadWholeFile(folder.Path("tavix.ini")));
}

TEST(Settings, ParameterFileWithA259CharacterPathIsSavedOnClosing) {
  AppFolder folder = PrepareAppFolder("longpath");
  ASSERT_FALSE(folder.dir.empty());
  const std::string dir = MakeFolderOfLength(folder.dir, 254);
  ASSERT_FALSE(dir.empty());
  const std::string path = dir + "\\p.tvx";
  ASSERT_EQ(259u, path.size());
  AppProcess app;
  HWND window = StartAndWaitForWindow(&app, folder.exe, WindowTitleFor("p"), path);
  ASSERT_NE(nullptr, window);
  ASSERT_TRUE(SetControlText(window, IDC_EXEPATH, "long.exe"));
  EscapeAndExpectExit0(app, window);
  EXPECT_EQ("[default]\r\nEXEPATH=long.exe\r\n", ReadWholeFile(path));
  EXPECT_EQ(std::vector<std::string>{"p.tvx"}, FolderEntries(dir));
}

}  // namespace
