// The run list under load: 2,000 commands, four at a time, with their output
// taken in, leave the program's handle count and private memory where they
// were before the run.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "e2e/driver.h"
#include "e2e/steps.h"
#include "resource.h"
#include "test_env.h"

namespace {

constexpr int kCommands = 2000;
constexpr DWORD kRunTimeoutMs = 240000;

struct Usage {
  int handles = 0;
  SIZE_T privateBytes = 0;
};

// What the program holds, as this process can see it under Wine (which
// reports neither count of another process): the handles that can be
// duplicated out of it, and its committed private memory.
Usage UsageOf(const AppProcess& app) {
  Usage usage;
  HANDLE process = app.info.hProcess;
  for (ULONG_PTR value = 4; value < 0x4000; value += 4) {
    HANDLE copy = nullptr;
    if (DuplicateHandle(process, reinterpret_cast<HANDLE>(value), GetCurrentProcess(), &copy, 0, FALSE,
                        DUPLICATE_SAME_ACCESS)) {
      ++usage.handles;
      CloseHandle(copy);
    }
  }
  MEMORY_BASIC_INFORMATION region{};
  for (char* at = nullptr; VirtualQueryEx(process, at, &region, sizeof region) == sizeof region;) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) usage.privateBytes += region.RegionSize;
    char* next = static_cast<char*>(region.BaseAddress) + region.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return usage;
}

// Runs the files `pattern` matches, four at a time with their output taken
// in, to the end, and closes the list.
void RunAll(const AppProcess& app, HWND window, const std::string& program, const std::string& pattern,
            int count) {
  SetControlText(window, IDC_EXEPATH, program);
  SetControlText(window, IDC_ARG1_FILE, pattern);
  PostClickButton(window, IDC_RUN);
  HWND list = WaitForDialog(app, program);
  ASSERT_NE(nullptr, list);
  ASSERT_EQ(count, SendMessageA(Control(list, IDC_RUNLIST_LIST), LB_GETCOUNT, 0, 0));
  ChooseComboItem(list, IDC_RUNLIST_OUTPUT, 1);
  ChooseComboItem(list, IDC_RUNLIST_PARALLEL, 3);
  ClickButton(list, IDC_RUNLIST_START);
  ASSERT_TRUE(WaitUntil([&] { return IsControlEnabled(list, IDC_RUNLIST_EXIT); }, kRunTimeoutMs));
  const std::string done = std::to_string(count) + "/" + std::to_string(count) + " 件終了　失敗 0";
  EXPECT_EQ(0u, ControlText(list, IDC_RUNLIST_STATUS).find(done));
  ClickButton(list, IDC_RUNLIST_EXIT);
  ASSERT_TRUE(WaitForWindowGone(list));
}

TEST(RunLoad, TwoThousandCommandsLeaveHandlesAndMemoryWhereTheyWere) {
  AppFolder folder = PrepareAppFolder("load");
  ASSERT_FALSE(folder.dir.empty());
  CreateDirectoryA(folder.Path("data").c_str(), nullptr);
  for (int i = 0; i < kCommands; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "data\\f%04d.txt", i);
    WriteWholeFile(folder.Path(name), "out " + std::string(name) + "\\n\n");
  }
  AppProcess app;
  HWND window = StartAndWaitForWindow(&app, folder.exe, DefaultWindowTitle());
  ASSERT_NE(nullptr, window);
  SetControlText(window, IDC_CURPATH, folder.dir);
  const std::string program = JoinTestPath(TestExeDir(), "output_child.exe");
  // A first, small run loads what every run needs.
  ASSERT_NO_FATAL_FAILURE(RunAll(app, window, program, folder.Path("data\\f000*.txt"), 10));
  const Usage before = UsageOf(app);
  ASSERT_NO_FATAL_FAILURE(RunAll(app, window, program, folder.Path("data\\*.txt"), kCommands));
  const Usage after = UsageOf(app);
  std::printf("handles %d -> %d, private bytes %lu -> %lu\n", before.handles, after.handles,
              static_cast<unsigned long>(before.privateBytes), static_cast<unsigned long>(after.privateBytes));
  EXPECT_GT(before.handles, 0);
  EXPECT_LE(after.handles, before.handles + 8);
  EXPECT_GT(before.privateBytes, 0u);
  EXPECT_LE(after.privateBytes, before.privateBytes + 2 * 1024 * 1024);
  EscapeAndExpectExit0(app, window);
}

}  // namespace
