// Steps the end-to-end tests share, built on the driver. Failures are
// reported through GoogleTest; a step with ASSERTs inside ends only itself,
// so call it under ASSERT_NO_FATAL_FAILURE where the test should end too.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "e2e/driver.h"
#include "resource.h"
#include "test_env.h"

// Starts `exe` with `arguments` in `currentDir` (empty: the test's own) and
// waits for its window titled `title`; null (and a failure when the start
// itself failed) when the window does not come.
inline HWND StartAndWaitForWindow(AppProcess* app, const std::string& exe, const std::string& title,
                                  const std::string& arguments = "", const std::string& currentDir = "") {
  if (!StartApp(app, exe, arguments, currentDir)) {
    ADD_FAILURE() << "could not start " << exe << " " << arguments;
    return nullptr;
  }
  return WaitForDialog(*app, title);
}

// The rows of a run list window, as it shows them.
inline std::vector<std::string> ListItems(HWND runList) {
  std::vector<std::string> items;
  HWND list = Control(runList, IDC_RUNLIST_LIST);
  for (LRESULT i = 0, n = SendMessageA(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
    wchar_t wide[600] = {};  // Wine cuts ANSI texts passed between processes
    char text[1200] = {};
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    items.emplace_back(text);
  }
  return items;
}

// Waits for the program to end and expects exit code 0.
inline void ExpectExit0(const AppProcess& app) {
  DWORD code = 1234;
  ASSERT_TRUE(WaitForExit(app, &code));
  EXPECT_EQ(0u, code);
}

// Closes the window with Escape and expects exit code 0.
inline void EscapeAndExpectExit0(const AppProcess& app, HWND window) {
  PressEscape(window);
  ExpectExit0(app);
}

// Whether this process can read the file now (it cannot while a copy of the
// program holds it).
inline bool CanReadFile(const std::string& path) {
  bool read = true;
  ReadWholeFile(path, &read);
  return read;
}

// Makes a folder below `base` whose path, with a backslash added, is exactly
// `length` characters long.
inline std::string MakeFolderOfLength(const std::string& base, std::size_t length) {
  std::string dir = base;
  while (dir.size() + 1 < length) {
    std::size_t part = length - (dir.size() + 1) - 1;
    if (part > 100) part = (part - 100 == 1) ? 99 : 100;
    dir += "\\" + std::string(part, 'd');
    if (!CreateDirectoryA(dir.c_str(), nullptr)) return std::string();
  }
  return dir.size() + 1 == length ? dir : std::string();
}

// A running copy of the program on its default file in a fresh folder.
struct Session {
  AppFolder folder;
  AppProcess app;
  HWND window = nullptr;

  // Starts the copy; `arguments` chooses the parameter file.
  void Start(const char* name, const std::string& arguments = "",
             const std::string& title = DefaultWindowTitle()) {
    folder = PrepareAppFolder(name);
    ASSERT_FALSE(folder.dir.empty());
    window = StartAndWaitForWindow(&app, folder.exe, title, arguments);
    ASSERT_NE(nullptr, window);
  }

  // Closes with Escape and expects exit code 0.
  void Close() { EscapeAndExpectExit0(app, window); }
};
