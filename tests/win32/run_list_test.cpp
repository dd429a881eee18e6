// The run list dialog in this process, driven by a timer from inside its own
// message loop: what it hands to CreateProcessA for a command in a console
// of its own and with its output taken in, and how a finished list closes
// under the rules of Windows' dialog manager, which Wine does not copy.
#include "run/run_list_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"
#include "support/hidden_main_dialog.h"
#include "support/import_patch.h"
#include "support/path_text.h"
#include "support/test_env.h"

namespace {

// How the driver closes the finished list.
enum CloseBy { kCloseMessage, kCloseBox, kEscapeKey };

struct Drive {
  const char* caption;  // of the run list: its program
  int outputItem;
  int closeBy;
  HWND list;
  WNDPROC dialogProc;
  int ticks;
  int closeSent;
} g_drive;

// Windows' dialog manager: a close (WM_CLOSE) the dialog procedure leaves
// alone becomes a click on IDCANCEL, and only while that button is enabled;
// Escape never clicks a disabled IDCANCEL either.
LRESULT CALLBACK WithWindowsRules(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND cancel = GetDlgItem(dialog, IDCANCEL);
  const bool cancelOff = cancel != nullptr && !IsWindowEnabled(cancel);
  if (message == WM_CLOSE) {
    if (RunListProc(dialog, message, wParam, lParam)) return 0;
    if (!cancelOff) PostMessageA(dialog, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(cancel));
    return 0;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && cancelOff) return 0;
  return CallWindowProcA(g_drive.dialogProc, dialog, message, wParam, lParam);
}

BOOL CALLBACK FindList(HWND window, LPARAM) {
  char title[MAX_PATH] = {};
  GetWindowTextA(window, title, sizeof title);
  if (std::string(title) == g_drive.caption) g_drive.list = window;
  return g_drive.list == nullptr;
}

// Each tick: find the list and start it in the chosen output mode; once it
// has finished, close it as chosen. Ten seconds at most.
void CALLBACK DriveTick(HWND, UINT, UINT_PTR, DWORD) {
  if (++g_drive.ticks > 200) {
    if (g_drive.list != nullptr) DestroyWindow(g_drive.list);
    return;
  }
  if (g_drive.list == nullptr) {
    EnumThreadWindows(GetCurrentThreadId(), FindList, 0);
    if (g_drive.list == nullptr) return;
    g_drive.dialogProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        g_drive.list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WithWindowsRules)));
    SendDlgItemMessageA(g_drive.list, IDC_RUNLIST_OUTPUT, CB_SETCURSEL, g_drive.outputItem, 0);
    SendMessageA(g_drive.list, WM_COMMAND, IDC_RUNLIST_START, 0);
    return;
  }
  if (g_drive.closeSent || !IsWindowEnabled(GetDlgItem(g_drive.list, IDC_RUNLIST_EXIT))) return;
  g_drive.closeSent = 1;
  if (g_drive.closeBy == kCloseMessage) PostMessageA(g_drive.list, WM_CLOSE, 0, 0);
  if (g_drive.closeBy == kCloseBox) PostMessageA(g_drive.list, WM_SYSCOMMAND, SC_CLOSE, 0);
  if (g_drive.closeBy == kEscapeKey) {
    PostMessageA(GetDlgItem(g_drive.list, IDC_RUNLIST_LIST), WM_KEYDOWN, VK_ESCAPE, 0);
  }
}

// Opens the run list over `arguments` (one command each) and drives it to
// its end; true when it closed as asked.
bool RunList(const std::string& program, const std::vector<std::string>& arguments, int outputItem,
             int closeBy) {
  HWND main = CreateHiddenMainDialog();
  std::vector<ListedCommand> commands;
  for (const std::string& text : arguments) commands.push_back({program.c_str(), text.c_str(), "", nullptr, 0});
  RunListInput input{};
  input.commands = commands.data();
  input.count = static_cast<int>(commands.size());
  input.caption = program.c_str();
  input.pattern = "";
  input.folder = "";
  input.owner = main;
  g_drive = Drive{program.c_str(), outputItem, closeBy, nullptr, nullptr, 0, 0};
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, DriveTick);
  const int shown = ShowRunList(input);
  KillTimer(nullptr, timer);
  DestroyWindow(main);
  return shown && g_drive.closeSent && g_drive.ticks <= 200 && !RunListOpen();
}

TEST(RunListWindow, AFinishedListClosesByCloseBoxCloseMessageAndEscape) {
  for (int closeBy : {kCloseMessage, kCloseBox, kEscapeKey}) {
    EXPECT_TRUE(RunList("C:\\nothing.exe", {}, 0, closeBy)) << closeBy;
  }
}

using CreateProcessAFn = BOOL(WINAPI*)(LPCSTR, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
                                       BOOL, DWORD, LPVOID, LPCSTR, LPSTARTUPINFOA,
                                       LPPROCESS_INFORMATION);
CreateProcessAFn g_realCreateProcessA = nullptr;
std::vector<std::string> g_calls;

// Records flags, inheritance and standard handles of each start.
BOOL WINAPI RecordCreateProcessA(LPCSTR app, LPSTR line, LPSECURITY_ATTRIBUTES pa,
                                 LPSECURITY_ATTRIBUTES ta, BOOL inherit, DWORD flags, LPVOID env,
                                 LPCSTR dir, LPSTARTUPINFOA si, LPPROCESS_INFORMATION pi) {
  const bool stdio = (si->dwFlags & STARTF_USESTDHANDLES) != 0;
  DWORD outputFlags = 0;
  const bool inheritable = stdio && GetHandleInformation(si->hStdOutput, &outputFlags) &&
                           (outputFlags & HANDLE_FLAG_INHERIT) && si->hStdError == si->hStdOutput &&
                           si->hStdInput != nullptr;
  g_calls.push_back(std::to_string(flags) + (inherit ? " inherit" : "") + (stdio ? " stdio" : "") +
                    (inheritable ? " inheritable" : ""));
  return g_realCreateProcessA(app, line, pa, ta, inherit, flags, env, dir, si, pi);
}

// A command with its output taken in starts suspended (it joins its job
// first) on the hidden console the program makes for it (cmd.exe without a
// window), writing into an inheritable handle; in a console of its own it
// inherits nothing.
TEST(RunListWindow, StartsCommandsSuspendedWithoutAConsoleWindowWhenTheOutputIsTakenIn) {
  const std::string scratch = MakeTempDir("run-list");
  SetEnvironmentVariableA("TAVIX_RECORD_FILE", JoinTestPath(scratch, "record.txt").c_str());
  void** slot = SwapKernelImport("CreateProcessA", &RecordCreateProcessA, &g_realCreateProcessA);
  ASSERT_NE(nullptr, slot);
  const std::string child = JoinTestPath(TestExeDir(), "record_child.exe");
  for (int item : {0, 1}) EXPECT_TRUE(RunList(child, {"a"}, item, kCloseMessage)) << item;
  RestoreKernelImport(slot, g_realCreateProcessA);
  SetEnvironmentVariableA("TAVIX_RECORD_FILE", nullptr);
  EXPECT_EQ((std::vector<std::string>{std::to_string(CREATE_SUSPENDED),
                                      std::to_string(CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT) +
                                          " inherit stdio inheritable",
                                      std::to_string(CREATE_SUSPENDED) + " inherit stdio inheritable"}),
            g_calls);
}

}  // namespace
