// Carrying out a request that names a stored set (app/set_request.h) in the
// main dialog: the request of this start, or one handed over by a later
// start (WM_COPYDATA), shown and run once the dialog is up.
#pragma once

#include <windows.h>

#include "app/set_request.h"

// The message the main dialog posts itself to carry out a request.
inline constexpr UINT kCarryOutRequestMessage = WM_APP + 1;

// Keeps the request of this start (moved from `request`, which is left
// empty) for the main dialog, which shows the set when it opens.
void KeepStartRequest(SetRequest* request);

// When a request waits, posts kCarryOutRequestMessage to `dialog`.
void PostWaitingRequest(HWND dialog);

// WM_COPYDATA from a later start: the HandOverAnswer (app/hand_over_win32.h).
// A request taken is copied and posted to `dialog`; the fields of the
// window are left as they are.
LRESULT ReceiveHandOver(HWND dialog, const COPYDATASTRUCT* data);

// Carries out the request that waits: the set's name not found is said;
// a start of the program shows the set as choosing it in the name box does;
// /run runs it. With /exit the program then closes.
void CarryOutRequest(HWND dialog);

// The program's exit code, as the last request with /exit decided it (0
// otherwise).
int RequestExitCode();
