// The window position kept in tavix.ini, seen from outside: where the window
// opens, what closing writes, and saves into a parameter file whose path is
// as long as a path may be.
#include <gtest/gtest.h>

#include <string>
#include <utility>
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

std::pair<LONG, LONG> Corner(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {rect.left, rect.top};
}

TEST(Settings, MovedWindowReopensWhereItWasClosed) {
  AppFolder folder = PrepareAppFolder("position");
  ASSERT_FALSE(folder.dir.empty());
  const RECT area = WorkArea();
  {
    AppProcess app;
    HWND window = StartAndWaitForWindow(&app, folder.exe, DefaultWindowTitle());
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(std::make_pair(area.left, area.top), Corner(window)) << "first start: the work area's corner";
    ASSERT_TRUE(SetWindowPos(window, nullptr, area.left + 120, area.top + 80, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    EscapeAndExpectExit0(app, window);
  }
  const std::string saved = "[tavix]\r\nDialogCurrentPositionX=" + std::to_string(area.left + 120) +
                            "\r\nDialogCurrentPositionY=" + std::to_string(area.top + 80) + "\r\n";
  EXPECT_EQ(saved, ReadWholeFile(folder.Path("tavix.ini")));

  AppProcess again;
  HWND window = StartAndWaitForWindow(&again, folder.exe, DefaultWindowTitle());
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(std::make_pair(area.left + 120, area.top + 80), Corner(window));
  // Closed while minimised, it keeps the place it is restored to.
  PostSysCommand(window, SC_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(window) != FALSE; }));
  PressCloseBox(window);
  ASSERT_NO_FATAL_FAILURE(ExpectExit0(again));
  EXPECT_EQ(saved, ReadWholeFile(folder.Path("tavix.ini")));
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
