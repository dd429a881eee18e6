#include "app/hand_over_win32.h"

#include "app/startup.h"
#include "run/run_control.h"
#include "support/byte_buffer.h"
#include "support/format_text.h"
#include "support/message_box_win32.h"
#include "support/program_paths.h"

namespace {

constexpr DWORD kAnswerWaitMs = 10000;
constexpr DWORD kWindowPollMs = 100;

// The first window with this run's title, waiting up to `waitMs` for one.
HWND WaitForTitledWindow(DWORD waitMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindWindowExA(nullptr, nullptr, nullptr, g_windowTitle);
    if (window != nullptr || GetTickCount() - start >= waitMs) return window;
    Sleep(kWindowPollMs);
  }
}

// Offers the request to `window`: its answer, or kHandOverUnknown with
// `*denied` set when the system kept the message from it.
int Offer(HWND window, COPYDATASTRUCT* data, int* denied) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  AllowSetForegroundWindow(process);
  DWORD_PTR answer = kHandOverUnknown;
  SetLastError(ERROR_SUCCESS);
  if (!SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(data), SMTO_ABORTIFHUNG,
                           kAnswerWaitMs, &answer)) {
    if (GetLastError() == ERROR_ACCESS_DENIED) *denied = 1;
    return kHandOverUnknown;
  }
  return static_cast<int>(answer);
}

}  // namespace

int HandRequestOver(const SetRequest& request, DWORD waitMs) {
  ByteBuffer bytes;
  if (!PackSetRequest(request, g_parameterFilePath, &bytes)) {
    FreeByteBuffer(&bytes);
    return kExitBusy;
  }
  COPYDATASTRUCT data{kHandOverTag, static_cast<DWORD>(bytes.size), bytes.data};
  int busy = 0;
  int denied = 0;
  int answer = kHandOverUnknown;
  // Files of the same name in other folders give windows of the same title:
  // only the one that holds this file takes the request.
  for (HWND window = WaitForTitledWindow(waitMs); window != nullptr && answer != kHandOverTaken;
       window = FindWindowExA(nullptr, window, nullptr, g_windowTitle)) {
    answer = Offer(window, &data, &denied);
    busy |= answer == kHandOverBusy;
  }
  FreeByteBuffer(&bytes);
  if (answer == kHandOverTaken) return kExitAllDone;
  if (busy) {
    ShowInformationText(nullptr, kDoubleStartTitle, kHandOverBusyText);
  } else if (denied) {
    ShowInformationText(nullptr, kDoubleStartTitle, kHandOverDeniedText);
  } else {
    char text[kParameterFilePathSize + 256];
    FormatText(text, sizeof text, kHandOverNoAnswerFormat, g_parameterFilePath);
    ShowInformationText(nullptr, kDoubleStartTitle, text);
  }
  return kExitBusy;
}
