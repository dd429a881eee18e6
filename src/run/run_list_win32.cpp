#include "run/run_list_win32.h"

#include "expand/file_expansion.h"
#include "expand/file_expansion_win32.h"
#include "run/run_list.h"
#include "resource.h"
#include "run/command_line_win32.h"
#include "run/launch_win32.h"
#include "settings/settings_win32.h"
#include "support/control_text_win32.h"
#include "support/memory_win32.h"

namespace {

constexpr UINT_PTR kRunTimerId = 100;
constexpr UINT kRunTimerPeriodMs = 500;

// The run list window: one for the program.
struct RunListWindow {
  HWND dialog;    // null exactly while no run list exists
  HWND list;
  HWND priority;
  HHOOK hook;
  SIZE initialDialog;  // outer sizes when the dialog was made
  SIZE initialList;
  char programText[kRowTextSize];  // caption, and the program of every launch
  char directory[kRowTextSize];    // current directory of every launch
  char section[kSettingsSectionSize];  // settings section of the parameter file it came from
  char* commands;                  // the command list, owned by RunDirect
};

RunListWindow g_runList{};
RunListState g_run{};

SIZE OuterSize(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// ---- What the ticks need (RunListPlatform) ----

int ChildExitCode(void* child, unsigned long* code) {
  DWORD exitCode = 0;
  if (!GetExitCodeProcess(static_cast<HANDLE>(child), &exitCode)) return 0;
  *code = exitCode;
  return 1;
}

void ReleaseChild(void* child) { CloseHandle(static_cast<HANDLE>(child)); }

void ReadPriorityText(char* text, std::size_t size) {
  ReadControlText(g_runList.dialog, IDC_RUNLIST_PRIORITY, text, size);
}

void MarkItem(int index) { SendMessageA(g_runList.list, LB_SETSEL, TRUE, index); }

void* LaunchListed(const char* arguments, int priorityIndex) {
  return LaunchCommand(g_runList.dialog, g_runList.programText, arguments, g_runList.directory,
                       priorityIndex);
}

void ShowPhase(RunListPhase phase) {
  const RunButtons& on = kRunButtons[phase];
  HWND dialog = g_runList.dialog;
  HWND focus = GetFocus();
  EnableWindow(GetDlgItem(dialog, IDC_RUNLIST_START), on.start);
  EnableWindow(GetDlgItem(dialog, IDC_RUNLIST_EXIT), on.exit);
  EnableWindow(GetDlgItem(dialog, IDC_RUNLIST_SKIP), on.skip);
  EnableWindow(GetDlgItem(dialog, IDCANCEL), on.cancel);
  // Keep the keyboard on an enabled button of the dialog.
  if (focus != nullptr && !IsWindowEnabled(focus) && GetParent(focus) == dialog) {
    const int next = phase == kPhaseFinished ? IDC_RUNLIST_EXIT : IDC_RUNLIST_SKIP;
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, next)), TRUE);
  }
}

void FinishList() {
  KillTimer(g_runList.dialog, kRunTimerId);
  ShowPhase(kPhaseFinished);
}

void AbortList() {
  KillTimer(g_runList.dialog, kRunTimerId);
  ShowProgramError(g_runList.dialog, kRunTitle, kErrorRunStopped);
  if (g_runList.dialog != nullptr) DestroyWindow(g_runList.dialog);
}

constexpr RunListPlatform kRunListPlatform = {ChildExitCode, ReleaseChild, ReadPriorityText,
                                              MarkItem,      LaunchListed, FinishList,
                                              AbortList};

// ---- The dialog ----

// The priority combo box: its items, the stored priority preselected.
void FillPriorityBox() {
  char stored[kPrioritySettingSize] = {};
  ReadSettingOf(g_runList.section, kProcessPriorityKey, stored, sizeof stored);
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  const int newerSystem = GetVersionExA(&version) && version.dwMajorVersion > 4;
  PriorityItems items{};
  ListPriorityItems(stored, newerSystem, &items);
  for (int i = 0; i < items.count; ++i) {
    SendMessageA(g_runList.priority, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items.text[i]));
  }
  SendMessageA(g_runList.priority, CB_SETCURSEL, items.selected, 0);
}

BOOL OnInitDialog(HWND dialog, const RECT* mainRect) {
  g_runList.dialog = dialog;
  SetWindowTextA(dialog, g_runList.programText);
  SetWindowPos(dialog, nullptr, mainRect->left, mainRect->top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  g_runList.list = GetDlgItem(dialog, IDC_RUNLIST_LIST);
  g_runList.priority = GetDlgItem(dialog, IDC_RUNLIST_PRIORITY);
  g_runList.initialDialog = OuterSize(dialog);
  g_runList.initialList = OuterSize(g_runList.list);
  g_runList.hook = SetWindowsHookExA(WH_MSGFILTER, RunListHook, nullptr,
                                     GetWindowThreadProcessId(g_runList.list, nullptr));
  for (const char* p = g_runList.commands; *p != '\0'; p = NextCommand(p)) {
    SendMessageA(g_runList.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p));
  }
  FillPriorityBox();
  BeginRunList(&g_run, g_runList.commands);
  ShowPhase(kPhaseReady);
  SetActiveWindow(dialog);
  SetFocus(GetDlgItem(dialog, IDC_RUNLIST_START));
  return FALSE;  // the focus is set
}

BOOL OnStart(HWND dialog) {
  if (!StartRunList(&g_run)) return TRUE;
  SetTimer(dialog, kRunTimerId, kRunTimerPeriodMs, nullptr);
  ShowPhase(kPhaseRunning);
  return TRUE;
}

BOOL OnSkip() {
  SkipRunningChild(&g_run, kRunListPlatform);
  return TRUE;
}

BOOL OnClose(HWND dialog) {
  DestroyWindow(dialog);
  return TRUE;
}

BOOL OnTimer(WPARAM id) {
  if (id == kRunTimerId) RunListTick(&g_run, kRunListPlatform);
  return TRUE;
}

// The list box follows the dialog's size; the buttons stay where they are.
BOOL OnSize(HWND dialog, WPARAM kind) {
  if (g_runList.list == nullptr || kind == SIZE_MINIMIZED) return FALSE;
  const SIZE now = OuterSize(dialog);
  SetWindowPos(g_runList.list, nullptr, 0, 0,
               now.cx + g_runList.initialList.cx - g_runList.initialDialog.cx,
               now.cy + g_runList.initialList.cy - g_runList.initialDialog.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

BOOL OnGetMinMaxInfo(LPARAM lParam) {
  if (g_runList.initialDialog.cx == 0) return FALSE;
  MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
  info->ptMinTrackSize.x = g_runList.initialDialog.cx;
  info->ptMinTrackSize.y = g_runList.initialDialog.cy;
  return TRUE;
}

// The chosen priority is written to the settings file once, afresh, into
// the section of the parameter file the commands came from.
BOOL OnDestroy(HWND dialog) {
  KillTimer(dialog, kRunTimerId);
  if (g_runList.hook != nullptr) UnhookWindowsHookEx(g_runList.hook);
  g_runList.hook = nullptr;
  EndRunList(&g_run, kRunListPlatform);
  if (g_run.prioritySet) {
    StoreSettingOf(g_runList.section, kProcessPriorityKey, g_run.priorityLabel);
  }
  g_runList.dialog = nullptr;
  g_runList.list = nullptr;
  g_runList.priority = nullptr;
  g_runList.initialDialog = SIZE{0, 0};
  return TRUE;
}

BOOL OnCommand(HWND dialog, WORD id) {
  switch (id) {
    case IDC_RUNLIST_START: return OnStart(dialog);
    case IDC_RUNLIST_SKIP: return OnSkip();
    case IDC_RUNLIST_EXIT: case IDCANCEL: return OnClose(dialog);
    default: return FALSE;
  }
}

int NextArgumentText(void* mainDialog, char* out, std::size_t capacity) {
  return BuildArgumentText(static_cast<HWND>(mainDialog), out, capacity);
}

// The one command of a run without file expansion.
int RunSingleCommand(HWND mainDialog) {
  char arguments[kArgumentTextCapacity];
  if (!BuildArgumentText(mainDialog, arguments, sizeof arguments)) {
    ShowProgramError(mainDialog, kCommandBuildTitle, kErrorLineTooLong);
    return 0;
  }
  HANDLE child = LaunchCommand(mainDialog, g_runList.programText, arguments, g_runList.directory, -1);
  if (child != nullptr) CloseHandle(child);
  return 1;
}

// Every command of the file expansion into a new command list.
int BuildCommandList(HWND mainDialog) {
  if (!AllocBlock(&g_runList.commands, kCommandListSize)) {
    EndFileExpansion();
    ShowProgramError(mainDialog, kRunTitle, kErrorNoMemory);
    return 0;
  }
  const CommandSource source = {NextArgumentText, FileExpansionEnded, mainDialog};
  const int error = FillCommandList(g_runList.commands, kCommandListSize, source);
  EndFileExpansion();
  if (error < 0) return 1;
  FreeBlock(&g_runList.commands);
  ShowProgramError(mainDialog, RunErrorTitle(error), error);
  return 0;
}

// Runs the thread's messages until the run list has closed. The run list
// and the main dialog both keep their keyboard handling.
void RunListLoop(HWND mainDialog) {
  MSG message;
  while (g_runList.dialog != nullptr) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the loop outside
      break;
    }
    if (got == -1) break;
    if (g_runList.dialog != nullptr && IsDialogMessageA(g_runList.dialog, &message)) continue;
    if (IsDialogMessageA(mainDialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  CloseRunList();
}

}  // namespace

int RunDirect(HWND mainDialog) {
  if (g_runList.dialog != nullptr) {
    ShowProgramError(mainDialog, kRunTitle, kErrorRunListOpen);
    return 0;
  }
  GetDirectProgramText(mainDialog, g_runList.programText);
  ReadControlText(mainDialog, IDC_CURPATH, g_runList.directory, sizeof g_runList.directory);
  char translated[kRowTextSize];
  if (TranslateTokens(g_runList.directory, translated, sizeof translated, 1)) {
    ShowProgramError(mainDialog, kRunTitle, kErrorWildcardDirectory);
    return 0;
  }
  ResetLeftOutNames();
  if (!StartFileExpansion(mainDialog, nullptr)) return RunSingleCommand(mainDialog);
  const int built = BuildCommandList(mainDialog);
  ReportLeftOutNames(mainDialog, kRunTitle);
  if (!built) return 0;

  CurrentSettingsSection(g_runList.section, sizeof g_runList.section);
  RECT mainRect{};
  GetWindowRect(mainDialog, &mainRect);
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mainDialog, GWLP_HINSTANCE));
  if (CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_RUNLIST), nullptr, RunListProc,
                         reinterpret_cast<LPARAM>(&mainRect)) == nullptr) {
    ShowSystemError(mainDialog, kRunTitle);
    FreeBlock(&g_runList.commands);
    return 0;
  }
  RunListLoop(mainDialog);
  FreeBlock(&g_runList.commands);
  return 1;
}

int CloseRunList() {
  if (g_runList.dialog == nullptr) return 0;
  DestroyWindow(g_runList.dialog);
  return 1;
}

INT_PTR CALLBACK RunListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, reinterpret_cast<const RECT*>(lParam));
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    case WM_TIMER: return OnTimer(wParam);
    case WM_SIZE: return OnSize(dialog, wParam);
    case WM_GETMINMAXINFO: return OnGetMinMaxInfo(lParam);
    case WM_DESTROY: return OnDestroy(dialog);
    default: return FALSE;
  }
}

LRESULT CALLBACK RunListHook(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code == MSGF_DIALOGBOX && message != nullptr && message->hwnd == g_runList.list &&
      g_runList.list != nullptr) {
    switch (message->message) {
      case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
        SetFocus(g_runList.list);
        return 1;
      case WM_KEYDOWN:
        if (message->wParam == VK_SPACE) return 1;
        break;
      default: break;
    }
  }
  return CallNextHookEx(g_runList.hook, code, wParam, lParam);
}
