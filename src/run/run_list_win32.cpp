#include "run/run_questions_win32.h"
#include "run/run_list_win32.h"

#include <cstdlib>

#include "resource.h"
#include "run/entry_text.h"
#include "run/job_log_win32.h"
#include "run/launch_win32.h"
#include "run/output_window_win32.h"
#include "run/run_control.h"
#include "run/run_list_choices_win32.h"
#include "run/run_list_platform_win32.h"
#include "run/run_list_rows_win32.h"
#include "run/run_list_settings_win32.h"
#include "run/run_list_window_win32.h"
#include "support/messages.h"
#include "support/window_size_win32.h"

namespace {

// The display timer: the status line's clock, and a step now and then for
// the children the wait below does not cover. While the list runs, the rows
// that changed are shown at its ticks, with the status line: the list box
// costs as much to update for one row as for many (under Wine, more than a
// command that ends at once takes), and the next command starts first.
constexpr UINT_PTR kRunTimerId = 100;
constexpr UINT kRunTimerPeriodMs = 500;
// The output window shows bytes that came at most this late.
constexpr UINT_PTR kOutputTimerId = 101;
constexpr UINT kOutputTimerPeriodMs = 200;
// Posted by the reader thread when bytes came.
constexpr UINT kOutputArrived = WM_APP + 1;

// The open run list: one at a time.
HWND g_openList = nullptr;

// ---- What the run list needs (RunListPlatform) ----

ListedChild* Child(void* child) { return static_cast<ListedChild*>(child); }
RunListWindow* Window(void* window) { return static_cast<RunListWindow*>(window); }

void* LaunchListed(void* window, const ListedCommand& command, int priorityIndex, int output) {
  RunListWindow* w = Window(window);
  return StartListedChild(w->dialog, command.line, command.program, command.arguments, command.folder,
                          priorityIndex, &w->sink, output);
}

void RowChanged(void* window, int row) { NoteRow(Window(window), row); }

void ShowState(RunListWindow* w);

void ReportStopped(void* window) {
  RunListWindow* w = Window(window);
  ShowNotedRows(w);
  ShowState(w);
  ShowProgramError(w->dialog, kRunTitle, kErrorRunStopped);
}

// ---- The dialog ----

// Message-filter hook of the list box: clicks and the space key change no
// selection, since the selection shows the progress; a click moves the
// caret, a double-click or Enter opens the output window of the row.
LRESULT CALLBACK RunListHook(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  RunListWindow* w = nullptr;
  if (code == MSGF_DIALOGBOX && message != nullptr && GetDlgCtrlID(message->hwnd) == IDC_RUNLIST_LIST &&
      GetWindowLongPtrA(GetParent(message->hwnd), DWLP_DLGPROC) == reinterpret_cast<LONG_PTR>(RunListProc)) {
    w = WindowOf(GetParent(message->hwnd));
  }
  if (w == nullptr || w->list == nullptr || message->hwnd != w->list) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  switch (message->message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: {
      // The row under the mouse: its low word; the high word is set outside rows.
      const LRESULT hit = SendMessageA(w->list, LB_ITEMFROMPOINT, 0, message->lParam);
      const int row = HIWORD(hit) == 0 ? static_cast<int>(LOWORD(hit)) : -1;
      if (message->message == WM_LBUTTONDOWN) {
        // Only the press takes the focus: the release that follows a
        // double-click leaves it with the output window it opened.
        SetFocus(w->list);
        if (row >= 0) SendMessageA(w->list, LB_SETCARETINDEX, row, FALSE);
        InvalidateRect(w->list, nullptr, FALSE);
      }
      if (message->message == WM_LBUTTONDBLCLK) ShowRowOutput(w, row, 1);
      return 1;
    }
    case WM_KEYDOWN:
      if (message->wParam == VK_SPACE) return 1;
      if (message->wParam == VK_RETURN) {
        ShowRowOutput(w, CaretRow(w), 1);
        return 1;
      }
      break;
    default: break;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The status line as the list's state says now.
void ShowStatus(RunListWindow* w) {
  char text[kStatusTextCapacity];
  char shown[kStatusTextCapacity];
  FormatStatusText(w->run, w->platform.nowMs(), text, sizeof text);
  GetWindowTextA(w->status, shown, sizeof shown);
  if (lstrcmpA(text, shown) != 0) SetWindowTextA(w->status, text);
}

// The buttons, the status line and the timer as the list's state wants them.
// Once the list no longer runs, every row shows what became of it at once;
// while it runs, the status line waits for the rows noted, to be shown with
// them at the next tick.
void ShowState(RunListWindow* w) {
  HWND dialog = w->dialog;
  if (dialog == nullptr) return;
  if (w->run.phase != kPhaseRunning) ShowNotedRows(w);
  const RunButtons on = RunListButtons(w->run);
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
    const int next = on.start ? IDC_RUNLIST_START : on.skip ? IDC_RUNLIST_SKIP : on.exit ? IDC_RUNLIST_EXIT : IDCANCEL;
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, next)), TRUE);
  }
  if (w->notedRows.size == 0) ShowStatus(w);
  const int wanted = RunListNeedsTimer(w->run);
  if (wanted && !w->timerOn) SetTimer(dialog, kRunTimerId, kRunTimerPeriodMs, nullptr);
  if (!wanted && w->timerOn) KillTimer(dialog, kRunTimerId);
  w->timerOn = wanted;
  if (w->input.closeWhenFinished && w->run.phase == kPhaseFinished && !w->closing) {
    w->closing = 1;
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  }
}

// The output window as the output of its row is now.
void RefreshOutput(RunListWindow* w) { ShowRowOutput(w, OutputRow(), 0); }

void Step(RunListWindow* w) {
  ReadChoices(w);
  RunListStep(&w->run, w->platform);
  ShowState(w);
  RefreshOutput(w);
}

// The list opens at the owner's corner, wide enough for its widest row or
// at the size it was last closed with, within the work area of its monitor.
void PlaceList(RunListWindow* w) {
  const RECT& corner = w->input.ownerRect;
  SetWindowPos(w->dialog, nullptr, corner.left, corner.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoA(MonitorFromWindow(w->dialog, MONITOR_DEFAULTTONEAREST), &monitor)) {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
  }
  const RECT& work = monitor.rcWork;
  RECT list{};
  GetClientRect(w->list, &list);
  const ListPlace place = OpeningListPlace(
      w->input.settings, ListSize{w->initialDialog.cx, w->initialDialog.cy}, list.right, w->extent + 8,
      ListPlace{corner.left, corner.top, 0, 0}, ListPlace{work.left, work.top, work.right - work.left, work.bottom - work.top});
  SetWindowPos(w->dialog, nullptr, place.x, place.y, place.width, place.height, SWP_NOZORDER | SWP_NOACTIVATE);
  w->openedDialog = OuterSize(w->dialog);
}

BOOL OnInitDialog(HWND dialog, RunListWindow* w) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(w));
  g_openList = w->dialog = w->sink.notify = dialog;
  SetWindowTextA(dialog, w->input.caption);
  w->list = GetDlgItem(dialog, IDC_RUNLIST_LIST);
  w->priority = GetDlgItem(dialog, IDC_RUNLIST_PRIORITY);
  w->parallel = GetDlgItem(dialog, IDC_RUNLIST_PARALLEL);
  w->output = GetDlgItem(dialog, IDC_RUNLIST_OUTPUT);
  w->halt = GetDlgItem(dialog, IDC_RUNLIST_HALT);
  w->status = GetDlgItem(dialog, IDC_RUNLIST_STATUS);
  w->initialDialog = OuterSize(dialog);
  w->initialList = OuterSize(w->list);
  w->initialStatus = OuterSize(w->status);
  RECT list{}, status{};
  GetWindowRect(w->list, &list);
  GetWindowRect(w->status, &status);
  w->statusGap = status.top - list.bottom;
  w->hook = SetWindowsHookExA(WH_MSGFILTER, RunListHook, nullptr, GetWindowThreadProcessId(w->list, nullptr));
  PrepareRows(w);
  FillRows(w);
  FillChoices(w);
  PlaceList(w);
  ShowState(w);
  SetActiveWindow(dialog);
  SetFocus(GetDlgItem(dialog, IDC_RUNLIST_START));
  if (w->input.startAtOnce) PostMessageA(dialog, WM_COMMAND, IDC_RUNLIST_START, 0);
  return FALSE;  // the focus is set
}

BOOL OnStart(RunListWindow* w) {
  if (RunListAsksBeforeStart(w->run) && w->input.targets != nullptr &&
      !AskAboutTargets(w->dialog, *w->input.targets)) {
    // A list that closes by itself does not wait for another Start.
    if (w->input.closeWhenFinished) PostMessageA(w->dialog, WM_CLOSE, 0, 0);
    return TRUE;
  }
  ReadChoices(w);
  StartRunList(&w->run, w->platform);
  ShowNotedRows(w);  // what the user did shows at once
  ShowState(w);
  return TRUE;
}

BOOL OnSkip(RunListWindow* w) {
  ReadChoices(w);
  SkipRunningChild(&w->run, w->platform);
  ShowNotedRows(w);
  ShowState(w);
  return TRUE;
}

// 停止: the command of the caret row, or the oldest running one.
BOOL OnStop(RunListWindow* w) {
  const int caret = static_cast<int>(SendMessageA(w->list, LB_GETCARETINDEX, 0, 0));
  StopRunningCommand(&w->run, w->platform, caret);
  ShowState(w);
  return TRUE;
}

BOOL OnPriority(RunListWindow* w, WORD code) {
  if (code != CBN_SELCHANGE) return TRUE;
  ReadChoices(w);
  ApplyPriorityToRunning(&w->run, w->platform);
  return TRUE;
}

BOOL OnRerun(RunListWindow* w) {
  if (!RerunFailed(&w->run)) return TRUE;
  CloseOutput();  // its row is gone
  FillRows(w);
  ShowState(w);
  SendMessageA(w->dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(w->dialog, IDC_RUNLIST_START)), TRUE);
  return TRUE;
}

BOOL OnParallel(RunListWindow* w, WORD code) {
  if (code == CBN_SELCHANGE) Step(w);
  return TRUE;
}

// Log: the job log into a file chosen in the save dialog.
BOOL OnSaveLog(RunListWindow* w) {
  SaveJobLog(w->dialog, w->run, w->input.folder);
  return TRUE;
}

BOOL OnClose(HWND dialog) {
  DestroyWindow(dialog);
  return TRUE;
}

BOOL OnTimer(RunListWindow* w, WPARAM id) {
  if (id == kRunTimerId) {
    Step(w);
    ShowNotedRows(w);
    ShowStatus(w);
  }
  if (id == kOutputTimerId) {
    KillTimer(w->dialog, kOutputTimerId);
    w->outputTimerOn = 0;
    RefreshOutput(w);
  }
  return TRUE;
}

// Bytes came: the output window shows them a little later, with whatever
// comes meanwhile.
BOOL OnOutputArrived(RunListWindow* w) {
  AcknowledgeOutput(&w->sink);
  if (OutputRow() >= 0 && !w->outputTimerOn) {
    w->outputTimerOn = SetTimer(w->dialog, kOutputTimerId, kOutputTimerPeriodMs, nullptr) != 0;
  }
  return TRUE;
}

// The list box follows the dialog's size and the status line stays under
// it; the buttons stay where they are.
BOOL OnSize(RunListWindow* w, WPARAM kind) {
  if (w->list == nullptr || kind == SIZE_MINIMIZED) return FALSE;
  const SIZE now = OuterSize(w->dialog);
  const int wider = now.cx - w->initialDialog.cx;
  SetWindowPos(w->list, nullptr, 0, 0, w->initialList.cx + wider, now.cy + w->initialList.cy - w->initialDialog.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT list{}, status{};
  GetWindowRect(w->list, &list);
  GetWindowRect(w->status, &status);
  POINT at = {status.left, list.bottom + w->statusGap};
  ScreenToClient(w->dialog, &at);
  SetWindowPos(w->status, nullptr, at.x, at.y, w->initialStatus.cx + wider, w->initialStatus.cy,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(w->status, nullptr, TRUE);
  return TRUE;
}

// The user has moved or sized the list by its frame.
BOOL OnExitSizeMove(RunListWindow* w) {
  const SIZE now = OuterSize(w->dialog);
  w->resized |= now.cx != w->openedDialog.cx || now.cy != w->openedDialog.cy;
  return TRUE;
}

// The settings go back to the file the list came from: the choices of the
// last start and the size the user gave the list (run/run_list_settings.h).
void StoreSettings(RunListWindow* w) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(w->dialog, &placement);
  const RECT& normal = placement.rcNormalPosition;
  SettingWrites writes{};
  ComposeSettingWrites(w->input.settings, w->run.launched ? &w->run.used : nullptr,
                       ListSize{normal.right - normal.left, normal.bottom - normal.top}, w->resized, &writes);
  StoreRunListSettings(w->input.settings, writes);
}

// The window goes; its commands run on, their output read and dropped.
BOOL OnDestroy(RunListWindow* w) {
  KillTimer(w->dialog, kRunTimerId);
  KillTimer(w->dialog, kOutputTimerId);
  w->timerOn = w->outputTimerOn = 0;
  CloseOutput();
  if (w->hook != nullptr) UnhookWindowsHookEx(w->hook);
  w->hook = nullptr;
  EndRunList(&w->run, w->platform);
  StoreSettings(w);
  FreeRows(w);
  SetWindowLongPtrA(w->dialog, DWLP_USER, 0);
  w->dialog = w->list = nullptr;
  g_openList = nullptr;
  return TRUE;
}

BOOL OnCommand(RunListWindow* w, WORD id, WORD code) {
  switch (id) {
    case IDC_RUNLIST_START: return OnStart(w);
    case IDC_RUNLIST_SKIP: return OnSkip(w);
    case IDC_RUNLIST_STOP: return OnStop(w);
    case IDC_RUNLIST_PRIORITY: return OnPriority(w, code);
    case IDC_RUNLIST_LOG: return OnSaveLog(w);
    case IDC_RUNLIST_RERUN: return OnRerun(w);
    case IDC_RUNLIST_PARALLEL: return OnParallel(w, code);
    case IDC_RUNLIST_EXIT: case IDCANCEL: return OnClose(w->dialog);
    default: return FALSE;
  }
}

// Escape in the run list (not taken by a control, as a dropped-down combo
// box takes it) closes it as the close box does, also once Cancel is
// disabled, when the dialog manager would only beep.
int IsEscapeToClose(HWND dialog, const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_ESCAPE) return 0;
  if (message.hwnd != dialog && !IsChild(dialog, message.hwnd)) return 0;
  const LRESULT wants = SendMessageA(message.hwnd, WM_GETDLGCODE, message.wParam,
                                     reinterpret_cast<LPARAM>(&message));
  return (wants & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) == 0;
}

// Runs the thread's messages until the run list has closed, whatever closed
// it: a message sent by another thread or program is handled inside
// PeekMessageA, so the check follows every call. Steps the list whenever a
// watched child ends. The run list, its output window and the owner all
// keep their keyboard handling.
void RunListLoop(RunListWindow* w) {
  MSG message;
  while (w->dialog != nullptr) {
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));  // for the loop outside
        break;
      }
      if (w->dialog == nullptr) {
        // Closed by a message handled in this very call: what was fetched
        // belongs to the loop outside.
        PostMessageA(message.hwnd, message.message, message.wParam, message.lParam);
        break;
      }
      if (IsEscapeToClose(w->dialog, message)) {
        SendMessageA(w->dialog, WM_CLOSE, 0, 0);
        continue;
      }
      if (IsDialogMessageA(w->dialog, &message)) continue;
      if (OutputWindow() != nullptr && IsDialogMessageA(OutputWindow(), &message)) continue;
      if (w->input.owner != nullptr && IsDialogMessageA(w->input.owner, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
      continue;
    }
    if (w->dialog == nullptr) break;
    void* children[MAXIMUM_WAIT_OBJECTS - 1];
    HANDLE processes[MAXIMUM_WAIT_OBJECTS - 1];
    const DWORD count = static_cast<DWORD>(WatchedChildren(w->run, children, MAXIMUM_WAIT_OBJECTS - 1));
    for (DWORD i = 0; i < count; ++i) processes[i] = ListedChildProcess(Child(children[i]));
    const DWORD woke = MsgWaitForMultipleObjectsEx(count, processes, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke != WAIT_OBJECT_0 + count) Step(w);
  }
  if (w->dialog != nullptr) DestroyWindow(w->dialog);
}

}  // namespace

int ShowRunList(const RunListInput& input) {
  RunListWindow* w = static_cast<RunListWindow*>(std::calloc(1, sizeof(RunListWindow)));
  if (w == nullptr || !BeginRunList(&w->run, input.commands, input.count, input.pattern, LockOutputs)) {
    std::free(w);
    ShowProgramError(input.owner, kRunTitle, kErrorNoMemory);
    return 0;
  }
  w->input = input;
  w->platform = SystemRunListPlatform(w, LaunchListed, RowChanged, ReportStopped);
  w->sink = OutputSink{&w->run.outputs, nullptr, kOutputArrived, 0};
  // The reader runs from the first list on, so that what a command costs to
  // read is only its own pipe and output.
  StartOutputReader();
  g_openList = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_RUNLIST), nullptr, RunListProc,
                                  reinterpret_cast<LPARAM>(w));
  const int shown = g_openList != nullptr;
  if (shown) {
    RunListLoop(w);
  } else {
    ShowSystemError(input.owner, kRunTitle);
    EndRunList(&w->run, w->platform);
  }
  if (input.unsuccessful != nullptr) *input.unsuccessful = UnsuccessfulRows(w->run);
  DetachOutputs(&w->sink);
  FreeRunList(&w->run);
  std::free(w);
  return shown;
}

int RunListOpen() { return g_openList != nullptr; }

int CloseRunList() {
  if (g_openList == nullptr) return 0;
  DestroyWindow(g_openList);
  return 1;
}

INT_PTR CALLBACK RunListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return OnInitDialog(dialog, reinterpret_cast<RunListWindow*>(lParam));
  RunListWindow* w = WindowOf(dialog);
  if (w == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND: return OnCommand(w, LOWORD(wParam), HIWORD(wParam));
    case WM_TIMER: return OnTimer(w, wParam);
    case WM_DRAWITEM: return DrawRow(w, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_CLOSE: return OnClose(dialog);
    case kOutputArrived: return OnOutputArrived(w);
    case WM_SIZE: return OnSize(w, wParam);
    case WM_EXITSIZEMOVE: return OnExitSizeMove(w);
    case WM_GETMINMAXINFO: return KeepMinimumTrackSize(lParam, w->initialDialog);
    case WM_DESTROY: return OnDestroy(w);
    default: return FALSE;
  }
}
