#include "run/run_questions_win32.h"
#include "run/run_list_win32.h"

#include "expand/target_check_win32.h"
#include "resource.h"
#include "run/job_log_win32.h"
#include "run/launch_win32.h"
#include "run/output_window_win32.h"
#include "run/run_child_win32.h"
#include "run/run_list.h"
#include "settings/settings_win32.h"
#include "support/control_text_win32.h"
#include "support/format_text.h"
#include "support/path_text.h"
#include "support/window_size_win32.h"

namespace {

// The display timer: the status line's clock, and a step now and then for
// the children the wait below does not cover.
constexpr UINT_PTR kRunTimerId = 100;
constexpr UINT kRunTimerPeriodMs = 500;
// The output window shows bytes that came at most this late.
constexpr UINT_PTR kOutputTimerId = 101;
constexpr UINT kOutputTimerPeriodMs = 200;
// Posted by a reader thread when bytes came.
constexpr UINT kOutputArrived = WM_APP + 1;

// How a failed row is drawn: white on red.
constexpr COLORREF kFailedText = RGB(255, 255, 255);
constexpr COLORREF kFailedBackground = RGB(200, 0, 0);

// Tab stops of the rows (exit code, seconds, arguments), in dialog units.
constexpr int kRowTabStops[2] = {36, 72};

// The background of rows whose commands carry a target mark.
constexpr COLORREF kMarkedRowColour = RGB(255, 255, 128);

// The run list window: one for the program.
struct RunListWindow {
  HWND dialog;    // null exactly while no run list dialog exists
  HWND list;
  HWND priority;
  HWND parallel;
  HWND output;
  HWND halt;
  HWND status;
  HFONT bold;     // the rows of running commands
  HHOOK hook;
  int timerOn;
  int outputTimerOn;
  SIZE initialDialog;  // outer sizes when the dialog was made
  SIZE initialList;
  SIZE initialStatus;
  int statusGap;       // from the list's bottom edge to the status line's top
  int tabs[2];         // kRowTabStops in pixels, for measuring rows
  int extent;          // widest row measured, in pixels
  char programText[kRowTextSize];  // caption, and the program of every launch
  char directory[kRowTextSize];    // current directory of every launch
  char section[kSettingsSectionSize];  // settings section of the parameter file it came from
  char storedParallel[kParallelSettingSize];  // the limit as the settings held it
  char storedOutput[kOutputSettingSize];      // the output item as they held it
  char storedHalt[kParallelSettingSize];      // 失敗で中止 as they held it
  char pattern[kRowTextSize];                 // the pattern the files were searched with
  const char* commands;            // the argument texts, owned by the direct run
  std::size_t commandBytes;
  const TargetRecord* targets;     // their target marks, owned by the direct run
};

RunListWindow g_runList{};
RunListState g_run{};

// ---- The list box ----

// Widens the list's scrolling range to a row as wide as `text`.
void MeasureRow(HDC dc, const char* text) {
  const DWORD size = GetTabbedTextExtentA(dc, text, lstrlenA(text), 2, g_runList.tabs);
  if (static_cast<int>(LOWORD(size)) <= g_runList.extent) return;
  g_runList.extent = LOWORD(size);
  SendMessageA(g_runList.list, LB_SETHORIZONTALEXTENT, g_runList.extent + 8, 0);
}

// A device context with the rows' widest font, for MeasureRow.
HDC ListDc(HGDIOBJ* previous) {
  HDC dc = GetDC(g_runList.list);
  HGDIOBJ font = g_runList.bold != nullptr ? g_runList.bold
                                            : reinterpret_cast<HGDIOBJ>(SendMessageA(g_runList.list, WM_GETFONT, 0, 0));
  *previous = SelectObject(dc, font);
  return dc;
}

void ReleaseListDc(HDC dc, HGDIOBJ previous) {
  SelectObject(dc, previous);
  ReleaseDC(g_runList.list, dc);
}

// Every row of the list afresh.
void FillList() {
  const int count = RowCount(g_run);
  SendMessageA(g_runList.list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(g_runList.list, LB_RESETCONTENT, 0, 0);
  SendMessageA(g_runList.list, LB_INITSTORAGE, count, static_cast<LPARAM>(g_runList.commandBytes));
  g_runList.extent = 0;
  HGDIOBJ font;
  HDC dc = ListDc(&font);
  char text[kRowTextCapacity];
  for (int row = 0; row < count; ++row) {
    FormatRowText(g_run, row, text, sizeof text);
    SendMessageA(g_runList.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    MeasureRow(dc, text);
  }
  ReleaseListDc(dc, font);
  SendMessageA(g_runList.list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(g_runList.list, nullptr, TRUE);
}

// ---- What the run list needs (RunListPlatform) ----

ListedChild* Child(void* child) { return static_cast<ListedChild*>(child); }

int ChildEndedWithCode(void* child, unsigned long* code) {
  DWORD exitCode = 0;
  if (!ChildEnded(ListedChildProcess(Child(child)), &exitCode)) return 0;
  *code = exitCode;
  return 1;
}

void ReleaseChild(void* child) { ReleaseListedChild(Child(child)); }

void ReadPriorityText(char* text, std::size_t size) {
  ReadControlText(g_runList.dialog, IDC_RUNLIST_PRIORITY, text, size);
}

int ReadParallel() {
  return static_cast<int>(SendMessageA(g_runList.parallel, CB_GETCURSEL, 0, 0)) + 1;
}

int ReadOutputMode() { return static_cast<int>(SendMessageA(g_runList.output, CB_GETCURSEL, 0, 0)); }

int ReadHalt() { return SendMessageA(g_runList.halt, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void* LaunchListed(const char* program, const char* arguments, int priorityIndex, int output) {
  return StartListedChild(g_runList.dialog, program, arguments, g_runList.directory, priorityIndex, output);
}

int StopChild(void* child) { return StopListedChild(Child(child)); }

void SetChildPriority(void* child, int priorityIndex) {
  SetListedChildPriority(Child(child), PriorityClassForRunning(priorityIndex, GetPriorityClass(GetCurrentProcess())));
}

std::uint64_t NowMs() {
  static LARGE_INTEGER frequency{};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  const std::uint64_t ticks = static_cast<std::uint64_t>(now.QuadPart);
  const std::uint64_t perSecond = static_cast<std::uint64_t>(frequency.QuadPart);
  return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}

void LocalClockTime(RunClockTime* out) {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  *out = RunClockTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

// A row's text and mark as the list says now.
void ShowRow(int row) {
  char text[kRowTextCapacity];
  FormatRowText(g_run, row, text, sizeof text);
  SendMessageA(g_runList.list, LB_DELETESTRING, row, 0);
  SendMessageA(g_runList.list, LB_INSERTSTRING, row, reinterpret_cast<LPARAM>(text));
  SendMessageA(g_runList.list, LB_SETSEL, RowMarked(g_run, row), row);
  HGDIOBJ font;
  HDC dc = ListDc(&font);
  MeasureRow(dc, text);
  ReleaseListDc(dc, font);
}

void ShowState();

void ReportStopped() {
  ShowState();
  ShowProgramError(g_runList.dialog, kRunTitle, kErrorRunStopped);
}

constexpr RunListPlatform kRunListPlatform = {
    ChildEndedWithCode, ReleaseChild, ReadPriorityText, ReadParallel,     ReadOutputMode,
    ReadHalt,           LaunchListed, StopChild,        SetChildPriority, NowMs,
    LocalClockTime,     ShowRow,      ReportStopped};

// ---- The dialog ----

// The buttons, the status line and the timer as the list's state wants them.
void ShowState() {
  HWND dialog = g_runList.dialog;
  if (dialog == nullptr) return;
  const RunButtons on = RunListButtons(g_run);
  HWND focus = GetFocus();
  const struct {
    int id, enabled;
  } buttons[] = {{IDC_RUNLIST_START, on.start}, {IDC_RUNLIST_EXIT, on.exit},
                 {IDC_RUNLIST_SKIP, on.skip},   {IDCANCEL, on.cancel},
                 {IDC_RUNLIST_LOG, on.log},     {IDC_RUNLIST_RERUN, on.rerun},
                 {IDC_RUNLIST_STOP, on.stop}};
  for (const auto& button : buttons) EnableWindow(GetDlgItem(dialog, button.id), button.enabled);
  // Keep the keyboard on an enabled button of the dialog.
  if (focus != nullptr && !IsWindowEnabled(focus) && GetParent(focus) == dialog) {
    const int next = on.start ? IDC_RUNLIST_START : on.skip ? IDC_RUNLIST_SKIP : IDC_RUNLIST_EXIT;
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, next)), TRUE);
  }
  char text[kStatusTextCapacity];
  char shown[kStatusTextCapacity];
  FormatStatusText(g_run, NowMs(), text, sizeof text);
  GetWindowTextA(g_runList.status, shown, sizeof shown);
  if (lstrcmpA(text, shown) != 0) SetWindowTextA(g_runList.status, text);
  const int wanted = RunListNeedsTimer(g_run);
  if (wanted && !g_runList.timerOn) SetTimer(dialog, kRunTimerId, kRunTimerPeriodMs, nullptr);
  if (!wanted && g_runList.timerOn) KillTimer(dialog, kRunTimerId);
  g_runList.timerOn = wanted;
}

// The output window as the output of its row is now.
void RefreshOutput() {
  const int row = OutputRow();
  if (row >= 0) ShowOutput(g_runList.dialog, g_run.outputs, row, RowEntry(g_run, row));
}

void OpenOutput(int row) {
  if (row >= 0 && row < RowCount(g_run)) ShowOutput(g_runList.dialog, g_run.outputs, row, RowEntry(g_run, row));
}

void Step() {
  RunListStep(&g_run, kRunListPlatform);
  ShowState();
  RefreshOutput();
}

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

// The parallel combo box: "1" to "8", the stored limit preselected.
void FillParallelBox() {
  char* stored = g_runList.storedParallel;
  ReadSettingOf(g_runList.section, kParallelKey, stored, sizeof g_runList.storedParallel);
  for (int n = 1; n <= kMaxParallel; ++n) {
    const char item[2] = {static_cast<char>('0' + n), '\0'};
    SendMessageA(g_runList.parallel, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  SendMessageA(g_runList.parallel, CB_SETCURSEL, ParallelItemForSetting(stored), 0);
}

// The output combo box and 失敗で中止, as stored.
void FillOutputChoices() {
  ReadSettingOf(g_runList.section, kOutputKey, g_runList.storedOutput, sizeof g_runList.storedOutput);
  for (const char* item : kOutputItems) {
    SendMessageA(g_runList.output, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  SendMessageA(g_runList.output, CB_SETCURSEL, OutputItemForSetting(g_runList.storedOutput), 0);
  ReadSettingOf(g_runList.section, kStopOnFailureKey, g_runList.storedHalt, sizeof g_runList.storedHalt);
  SendMessageA(g_runList.halt, BM_SETCHECK, HaltForSetting(g_runList.storedHalt) ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The bold font of running rows and the height of a row.
void PrepareRowFonts() {
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(g_runList.list, WM_GETFONT, 0, 0));
  LOGFONTA look{};
  if (font != nullptr && GetObjectA(font, sizeof look, &look) == sizeof look) {
    look.lfWeight = FW_BOLD;
    g_runList.bold = CreateFontIndirectA(&look);
  }
  HDC dc = GetDC(g_runList.list);
  HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(g_runList.list, dc);
  SendMessageA(g_runList.list, LB_SETITEMHEIGHT, 0, metrics.tmHeight + 1);
}

// One row as its look says: failed white on red, started (selected) in the
// highlight colours, running bold, a command with a target mark in yellow
// until it starts.
BOOL OnDrawItem(const DRAWITEMSTRUCT* item) {
  if (item->CtlID != IDC_RUNLIST_LIST) return FALSE;
  if (item->itemID == static_cast<UINT>(-1)) {
    if (item->itemState & ODS_FOCUS) DrawFocusRect(item->hDC, &item->rcItem);
    return TRUE;
  }
  char text[kRowTextCapacity] = {};
  if (SendMessageA(g_runList.list, LB_GETTEXTLEN, item->itemID, 0) < static_cast<LRESULT>(sizeof text)) {
    SendMessageA(g_runList.list, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
  }
  const RunRowLook look = RowLookOf(g_run, static_cast<int>(item->itemID));
  const int selected = (item->itemState & ODS_SELECTED) != 0;
  const COLORREF back = look.failed ? kFailedBackground
                       : selected  ? GetSysColor(COLOR_HIGHLIGHT)
                       : look.marked ? kMarkedRowColour
                                     : GetSysColor(COLOR_WINDOW);
  const COLORREF fore = look.failed ? kFailedText : GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  HBRUSH brush = CreateSolidBrush(back);
  FillRect(item->hDC, &item->rcItem, brush);
  DeleteObject(brush);
  HGDIOBJ previous = nullptr;
  if (look.running && g_runList.bold != nullptr) previous = SelectObject(item->hDC, g_runList.bold);
  SetBkMode(item->hDC, TRANSPARENT);
  SetTextColor(item->hDC, fore);
  const int left = item->rcItem.left + 2;
  TabbedTextOutA(item->hDC, left, item->rcItem.top, text, lstrlenA(text), 2, g_runList.tabs, left);
  if (previous != nullptr) SelectObject(item->hDC, previous);
  if (item->itemState & ODS_FOCUS) DrawFocusRect(item->hDC, &item->rcItem);
  return TRUE;
}

void SetTabStops(HWND dialog) {
  SendMessageA(g_runList.list, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(kRowTabStops));
  RECT stops = {kRowTabStops[0], 0, kRowTabStops[1], 0};
  MapDialogRect(dialog, &stops);
  g_runList.tabs[0] = stops.left;
  g_runList.tabs[1] = stops.right;
}

BOOL OnInitDialog(HWND dialog, const RECT* mainRect) {
  g_runList.dialog = dialog;
  SetWindowTextA(dialog, g_runList.programText);
  SetWindowPos(dialog, nullptr, mainRect->left, mainRect->top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  g_runList.list = GetDlgItem(dialog, IDC_RUNLIST_LIST);
  g_runList.priority = GetDlgItem(dialog, IDC_RUNLIST_PRIORITY);
  g_runList.parallel = GetDlgItem(dialog, IDC_RUNLIST_PARALLEL);
  g_runList.output = GetDlgItem(dialog, IDC_RUNLIST_OUTPUT);
  g_runList.halt = GetDlgItem(dialog, IDC_RUNLIST_HALT);
  g_runList.status = GetDlgItem(dialog, IDC_RUNLIST_STATUS);
  g_runList.initialDialog = OuterSize(dialog);
  g_runList.initialList = OuterSize(g_runList.list);
  g_runList.initialStatus = OuterSize(g_runList.status);
  RECT list{}, status{};
  GetWindowRect(g_runList.list, &list);
  GetWindowRect(g_runList.status, &status);
  g_runList.statusGap = status.top - list.bottom;
  g_runList.hook = SetWindowsHookExA(WH_MSGFILTER, RunListHook, nullptr,
                                     GetWindowThreadProcessId(g_runList.list, nullptr));
  // The reader thread runs from the start, so that what a command costs to
  // read is only its own pipe and output.
  BeginOutputReader(&g_run.outputs, dialog, kOutputArrived);
  SetTabStops(dialog);
  PrepareRowFonts();
  FillList();
  FillPriorityBox();
  FillParallelBox();
  FillOutputChoices();
  ShowState();
  SetActiveWindow(dialog);
  SetFocus(GetDlgItem(dialog, IDC_RUNLIST_START));
  return FALSE;  // the focus is set
}

BOOL OnStart(HWND dialog) {
  if (RunListAsksBeforeStart(g_run) && !AskAboutTargets(dialog, *g_runList.targets)) return TRUE;
  StartRunList(&g_run, kRunListPlatform);
  ShowState();
  return TRUE;
}

BOOL OnSkip() {
  SkipRunningChild(&g_run, kRunListPlatform);
  ShowState();
  return TRUE;
}

// 停止: the command of the caret row, or the oldest running one.
BOOL OnStop() {
  const int caret = static_cast<int>(SendMessageA(g_runList.list, LB_GETCARETINDEX, 0, 0));
  StopRunningCommand(&g_run, kRunListPlatform, caret);
  ShowState();
  return TRUE;
}

BOOL OnPriority(WORD code) {
  if (code == CBN_SELCHANGE) ApplyPriorityToRunning(&g_run, kRunListPlatform);
  return TRUE;
}

BOOL OnRerun(HWND dialog) {
  if (!RerunFailed(&g_run)) return TRUE;
  CloseOutput();  // its row is gone
  FillList();
  ShowState();
  SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_RUNLIST_START)), TRUE);
  return TRUE;
}

BOOL OnParallel(WORD code) {
  if (code == CBN_SELCHANGE) Step();
  return TRUE;
}

// Log: the job log into a file chosen in the save dialog.
BOOL OnSaveLog(HWND dialog) {
  SaveJobLog(dialog, g_run, g_runList.directory);
  return TRUE;
}

BOOL OnClose(HWND dialog) {
  DestroyWindow(dialog);
  return TRUE;
}

BOOL OnTimer(HWND dialog, WPARAM id) {
  if (id == kRunTimerId) Step();
  if (id == kOutputTimerId) {
    KillTimer(dialog, kOutputTimerId);
    g_runList.outputTimerOn = 0;
    RefreshOutput();
  }
  return TRUE;
}

// Bytes came: the output window shows them a little later, with whatever
// comes meanwhile.
BOOL OnOutputArrived(HWND dialog) {
  AcknowledgeOutput();
  if (OutputRow() >= 0 && !g_runList.outputTimerOn) {
    g_runList.outputTimerOn = SetTimer(dialog, kOutputTimerId, kOutputTimerPeriodMs, nullptr) != 0;
  }
  return TRUE;
}

// The list box follows the dialog's size and the status line stays under
// it; the buttons stay where they are.
BOOL OnSize(HWND dialog, WPARAM kind) {
  if (g_runList.list == nullptr || kind == SIZE_MINIMIZED) return FALSE;
  const SIZE now = OuterSize(dialog);
  const int wider = now.cx - g_runList.initialDialog.cx;
  SetWindowPos(g_runList.list, nullptr, 0, 0, g_runList.initialList.cx + wider,
               now.cy + g_runList.initialList.cy - g_runList.initialDialog.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT list{}, status{};
  GetWindowRect(g_runList.list, &list);
  GetWindowRect(g_runList.status, &status);
  POINT at = {status.left, list.bottom + g_runList.statusGap};
  ScreenToClient(dialog, &at);
  SetWindowPos(g_runList.status, nullptr, at.x, at.y, g_runList.initialStatus.cx + wider,
               g_runList.initialStatus.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(g_runList.status, nullptr, TRUE);
  return TRUE;
}

BOOL OnGetMinMaxInfo(LPARAM lParam) {
  return KeepMinimumTrackSize(lParam, g_runList.initialDialog);
}

// The chosen priority, limit, output and 失敗で中止 are written to the
// settings file once, afresh, into the section of the parameter file the
// commands came from (each but the priority only as SettingNeedsStoring says).
BOOL OnDestroy(HWND dialog) {
  KillTimer(dialog, kRunTimerId);
  KillTimer(dialog, kOutputTimerId);
  g_runList.timerOn = 0;
  g_runList.outputTimerOn = 0;
  CloseOutput();
  if (g_runList.hook != nullptr) UnhookWindowsHookEx(g_runList.hook);
  g_runList.hook = nullptr;
  EndRunList(&g_run, kRunListPlatform);
  if (g_run.prioritySet) {
    char parallel[kParallelSettingSize];
    FormatText(parallel, sizeof parallel, "%d", g_run.parallel);
    StoreSettingOf(g_runList.section, kProcessPriorityKey, g_run.priorityLabel);
    if (SettingNeedsStoring(g_runList.storedParallel, g_run.parallel == 1)) {
      StoreSettingOf(g_runList.section, kParallelKey, parallel);
    }
    if (SettingNeedsStoring(g_runList.storedOutput, g_run.outputMode == kOutputConsole)) {
      StoreSettingOf(g_runList.section, kOutputKey, kOutputItems[g_run.outputMode]);
    }
    if (SettingNeedsStoring(g_runList.storedHalt, !g_run.halt)) {
      StoreSettingOf(g_runList.section, kStopOnFailureKey, g_run.halt ? "1" : "0");
    }
  }
  if (g_runList.bold != nullptr) DeleteObject(g_runList.bold);
  g_runList.bold = nullptr;
  g_runList.dialog = nullptr;
  g_runList.list = nullptr;
  g_runList.priority = nullptr;
  g_runList.parallel = nullptr;
  g_runList.output = nullptr;
  g_runList.halt = nullptr;
  g_runList.status = nullptr;
  g_runList.initialDialog = SIZE{0, 0};
  return TRUE;
}

BOOL OnCommand(HWND dialog, WORD id, WORD code) {
  switch (id) {
    case IDC_RUNLIST_START: return OnStart(dialog);
    case IDC_RUNLIST_SKIP: return OnSkip();
    case IDC_RUNLIST_STOP: return OnStop();
    case IDC_RUNLIST_PRIORITY: return OnPriority(code);
    case IDC_RUNLIST_LOG: return OnSaveLog(dialog);
    case IDC_RUNLIST_RERUN: return OnRerun(dialog);
    case IDC_RUNLIST_PARALLEL: return OnParallel(code);
    case IDC_RUNLIST_EXIT: case IDCANCEL: return OnClose(dialog);
    default: return FALSE;
  }
}

// Escape in the run list (not taken by a control, as a dropped-down combo
// box takes it) closes it as the close box does, also once Cancel is
// disabled, when the dialog manager would only beep.
int IsEscapeToClose(const MSG& message) {
  HWND dialog = g_runList.dialog;
  if (message.message != WM_KEYDOWN || message.wParam != VK_ESCAPE) return 0;
  if (message.hwnd != dialog && !IsChild(dialog, message.hwnd)) return 0;
  const LRESULT wants = SendMessageA(message.hwnd, WM_GETDLGCODE, message.wParam,
                                     reinterpret_cast<LPARAM>(&message));
  return (wants & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) == 0;
}

// Runs the thread's messages until the run list has closed, whatever closed
// it: a message sent by another thread or program is handled inside
// PeekMessageA, so the check follows every call. Steps the list whenever a
// watched child ends. The run list, its output window and the main dialog
// all keep their keyboard handling.
void RunListLoop(HWND mainDialog) {
  MSG message;
  while (g_runList.dialog != nullptr) {
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));  // for the loop outside
        break;
      }
      if (g_runList.dialog == nullptr) {
        // Closed by a message handled in this very call: what was fetched
        // belongs to the loop outside.
        PostMessageA(message.hwnd, message.message, message.wParam, message.lParam);
        break;
      }
      if (IsEscapeToClose(message)) {
        SendMessageA(g_runList.dialog, WM_CLOSE, 0, 0);
        continue;
      }
      if (IsDialogMessageA(g_runList.dialog, &message)) continue;
      if (OutputWindow() != nullptr && IsDialogMessageA(OutputWindow(), &message)) continue;
      if (IsDialogMessageA(mainDialog, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
      continue;
    }
    if (g_runList.dialog == nullptr) break;
    void* children[MAXIMUM_WAIT_OBJECTS - 1];
    HANDLE processes[MAXIMUM_WAIT_OBJECTS - 1];
    const DWORD count = static_cast<DWORD>(WatchedChildren(g_run, children, MAXIMUM_WAIT_OBJECTS - 1));
    for (DWORD i = 0; i < count; ++i) processes[i] = ListedChildProcess(Child(children[i]));
    const DWORD woke = MsgWaitForMultipleObjectsEx(count, processes, INFINITE,
                                                   QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke != WAIT_OBJECT_0 + count) Step();
  }
  CloseRunList();
}

}  // namespace

int ShowRunList(HWND mainDialog, const CommandList& commands, const TargetRecord& targets) {
  CopyPathText(g_runList.programText, commands.program);
  CopyPathText(g_runList.directory, commands.directory);
  CopyPathText(g_runList.pattern, commands.pattern);
  g_runList.commands = commands.arguments.data;
  g_runList.commandBytes = commands.arguments.size;
  g_runList.targets = &targets;
  if (!BeginRunList(&g_run, g_runList.commands, g_runList.programText, g_runList.pattern, LockOutputs,
                    &targets)) {
    ShowProgramError(mainDialog, kRunTitle, kErrorNoMemory);
    return 0;
  }
  g_run.directory = g_runList.directory;
  CurrentSettingsSection(g_runList.section, sizeof g_runList.section);
  RECT mainRect{};
  GetWindowRect(mainDialog, &mainRect);
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mainDialog, GWLP_HINSTANCE));
  const int shown = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_RUNLIST), nullptr, RunListProc,
                                       reinterpret_cast<LPARAM>(&mainRect)) != nullptr;
  if (shown) {
    RunListLoop(mainDialog);
  } else {
    ShowSystemError(mainDialog, kRunTitle);
  }
  EndRunList(&g_run, kRunListPlatform);
  EndOutputReader();
  FreeRunList(&g_run);
  g_runList.commands = nullptr;
  g_runList.targets = nullptr;
  return shown;
}

int RunListOpen() {
  return g_runList.dialog != nullptr;
}

int CloseRunList() {
  if (g_runList.dialog == nullptr) return 0;
  DestroyWindow(g_runList.dialog);
  return 1;
}

INT_PTR CALLBACK RunListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, reinterpret_cast<const RECT*>(lParam));
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_TIMER: return OnTimer(dialog, wParam);
    case WM_DRAWITEM: return OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_CLOSE: return OnClose(dialog);
    case kOutputArrived: return OnOutputArrived(dialog);
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
      case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: {
        SetFocus(g_runList.list);
        // The row under the mouse: its low word; the high word is set outside rows.
        const LRESULT hit = SendMessageA(g_runList.list, LB_ITEMFROMPOINT, 0, message->lParam);
        const int row = HIWORD(hit) == 0 ? static_cast<int>(LOWORD(hit)) : -1;
        if (message->message == WM_LBUTTONDOWN && row >= 0) {
          SendMessageA(g_runList.list, LB_SETCARETINDEX, row, FALSE);
        }
        if (message->message == WM_LBUTTONDBLCLK) OpenOutput(row);
        return 1;
      }
      case WM_KEYDOWN:
        if (message->wParam == VK_SPACE) return 1;
        if (message->wParam == VK_RETURN) {
          OpenOutput(static_cast<int>(SendMessageA(g_runList.list, LB_GETCARETINDEX, 0, 0)));
          return 1;
        }
        break;
      default: break;
    }
  }
  return CallNextHookEx(g_runList.hook, code, wParam, lParam);
}
