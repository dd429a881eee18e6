#include "app/set_start_win32.h"

#include <cstring>

#include "app/hand_over_win32.h"
#include "expand/file_expansion.h"
#include "params/field_table.h"
#include "params/name_list_win32.h"
#include "params/param_file.h"
#include "resource.h"
#include "run/plan.h"
#include "run/run_control_win32.h"
#include "run/run_list_win32.h"
#include "support/format_text.h"
#include "support/message_box_win32.h"
#include "support/program_paths.h"

namespace {

SetRequest g_waiting{};
int g_waitingFresh = 0;  // the request of this start (not handed over)
int g_requestWaits = 0;
int g_carryingOut = 0;  // a request is being carried out (it may wait for its run)
int g_exitCode = kExitAllDone;

int WindowIsBusy(HWND dialog) {
  return g_requestWaits || g_carryingOut || !IsWindowEnabled(dialog) || RunListOpen();
}

// Selects `name` in the name box (byte-wise, as set names compare) and
// applies it as a choice there does; a name the box does not list (the set
// "default") is applied alone.
void ShowSetAsChosen(HWND dialog, const char* name) {
  const LRESULT count = SendDlgItemMessageA(dialog, IDC_NAME_LIST, CB_GETCOUNT, 0, 0);
  for (LRESULT item = 0; item < count; ++item) {
    char listed[kSetNameSize] = {};
    if (SendDlgItemMessageA(dialog, IDC_NAME_LIST, CB_GETLBTEXTLEN, item, 0) >= kSetNameSize) continue;
    SendDlgItemMessageA(dialog, IDC_NAME_LIST, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(listed));
    if (std::strcmp(listed, name) != 0) continue;
    SendDlgItemMessageA(dialog, IDC_NAME_LIST, CB_SETCURSEL, item, 0);
    SetLoadingFlag();
    SelectSetFromList(dialog);
    ClearLoadingFlag();
    return;
  }
  ApplySetByName(dialog, name);
}

void ReportNamesLeftOut(HWND dialog, const SetRequest& request) {
  if (request.leftOut == 0) return;
  char text[2 * kRowTextSize];
  FormatText(text, sizeof text, kLeftOutNamesFormat, request.leftOut, request.firstLeftOut);
  ShowInformationText(dialog, kSetRunTitle, text);
}

void BringToFront(HWND dialog) {
  if (IsIconic(dialog)) ShowWindow(dialog, SW_RESTORE);
  SetForegroundWindow(dialog);
}

// Waits for `process` to end, the window's messages handled meanwhile: its
// exit code.
DWORD WaitForProcessEnd(HWND dialog, HANDLE process) {
  while (MsgWaitForMultipleObjectsEx(1, &process, INFINITE, QS_ALLINPUT, 0) != WAIT_OBJECT_0) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (IsDialogMessageA(dialog, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  return code;
}

// Runs the set as 実行 runs it, over the files given when there are some;
// /run starts the run list at once, /exit closes it when it has finished.
// With /exit the end of a batch file or of the one command is waited for.
// The exit code of such a run.
int RunSet(HWND dialog, const ParameterSet& set, const SetRequest& request, const GivenFiles* given) {
  RunExtras extras{};
  extras.given = given;
  extras.startAtOnce = request.run;
  extras.closeWhenFinished = request.exit;
  const int declinedBefore = DeclinedQuestions();
  const int ran = RunCommand(dialog, set, &extras);
  int code = kExitAllDone;
  if (DeclinedQuestions() > declinedBefore) {
    code = kExitDeclined;
  } else if (!ran || extras.planned == 0) {
    code = kExitNothingToRun;
  } else if (extras.unsuccessful >= 0) {
    code = extras.unsuccessful;
  } else if (extras.process == nullptr) {
    code = 1;  // the one command could not start
  } else if (request.exit) {
    code = WaitForProcessEnd(dialog, extras.process) == 0 ? kExitAllDone : 1;
  }
  if (extras.process != nullptr) CloseHandle(extras.process);
  return code;
}

// Runs the set as the request asks; the exit code of a run that ends by
// itself.
int RunRequestedSet(HWND dialog, const ParameterSet& set, const SetRequest& request) {
  if (request.fileCount == 0 && request.leftOut == 0) {
    return request.run ? RunSet(dialog, set, request, nullptr) : kExitAllDone;
  }
  if (!TakesGivenFiles(set)) {
    char text[kRowTextSize + 2 * kSetNameSize];
    FormatText(text, sizeof text, kNoWildcardRowFormat, request.setName);
    ShowInformationText(dialog, kSetRunTitle, text);
    return kExitNothingToRun;
  }
  if (request.fileCount == 0) return kExitNothingToRun;  // every name given was left out
  const GivenFiles given = {request.files.data, request.fileCount};
  return RunSet(dialog, set, request, &given);
}

// With /exit, the program closes with `code`.
void Finish(HWND dialog, const SetRequest& request, int code) {
  if (!request.exit) return;
  g_exitCode = code;
  PostMessageA(dialog, WM_CLOSE, 0, 0);
}

}  // namespace

void KeepStartRequest(SetRequest* request) {
  FreeSetRequest(&g_waiting);
  g_waiting = *request;
  std::memset(static_cast<void*>(request), 0, sizeof *request);
  g_waitingFresh = 1;
  g_requestWaits = 1;
}

void PostWaitingRequest(HWND dialog) {
  if (g_requestWaits) PostMessageA(dialog, kCarryOutRequestMessage, 0, 0);
}

LRESULT ReceiveHandOver(HWND dialog, const COPYDATASTRUCT* data) {
  if (data == nullptr || data->dwData != kHandOverTag) return kHandOverUnknown;
  SetRequest incoming{};
  if (!UnpackSetRequest(static_cast<const char*>(data->lpData), data->cbData, &incoming)) {
    return kHandOverUnknown;
  }
  int answer = kHandOverTaken;
  if (!SameParameterPath(incoming.parameterFile, g_parameterFilePath)) {
    answer = kHandOverNotMine;
  } else if (WindowIsBusy(dialog)) {
    answer = kHandOverBusy;
  } else {
    KeepStartRequest(&incoming);
    g_waitingFresh = 0;
    PostWaitingRequest(dialog);
  }
  FreeSetRequest(&incoming);
  return answer;
}

void CarryOutRequest(HWND dialog) {
  if (!g_requestWaits) return;
  SetRequest request = g_waiting;
  std::memset(static_cast<void*>(&g_waiting), 0, sizeof g_waiting);
  const int fresh = g_waitingFresh;
  g_requestWaits = 0;
  if (fresh) {
    // The dialog shows itself only once its queue is empty: the window
    // comes first, then what the request opens over it.
    ShowWindow(dialog, SW_SHOW);
  } else {
    BringToFront(dialog);
  }

  const StoredSet* stored = FindStoredSet(request.setName);
  if (stored == nullptr) {
    char text[kParameterFilePathSize + 2 * kSetNameSize];
    FormatText(text, sizeof text, kSetNotFoundFormat, request.setName, g_parameterFilePath);
    ShowInformationText(dialog, kSetRunTitle, text);
    Finish(dialog, request, kExitSetNotFound);
    FreeSetRequest(&request);
    return;
  }
  if (fresh) ShowSetAsChosen(dialog, request.setName);
  ReportNamesLeftOut(dialog, request);
  ParameterSet set;
  ParameterSetFromStored(*stored, &set);
  g_carryingOut = 1;
  const int code = RunRequestedSet(dialog, set, request);
  g_carryingOut = 0;
  Finish(dialog, request, code);
  FreeSetRequest(&request);
}

int RequestExitCode() {
  return g_exitCode;
}
