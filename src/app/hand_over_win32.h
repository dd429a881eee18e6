// A second start on a parameter file in use hands its request to the window
// of the copy that holds the file (WM_COPYDATA) and ends.
#pragma once

#include <windows.h>

#include "app/set_request.h"

// Marks the data of a hand-over among other WM_COPYDATA messages.
inline constexpr ULONG_PTR kHandOverTag = 0x54415658;  // "TAVX"

// The receiver's answers.
enum HandOverAnswer : int {
  kHandOverUnknown = 0,  // not a request of this program
  kHandOverTaken = 1,
  kHandOverNotMine = 2,  // the window holds another parameter file of the same name
  kHandOverBusy = 3,     // a run list or a dialog is open there
};

// Sends `request` to the window titled with this run's window title that
// holds g_parameterFilePath, waiting up to `waitMs` for one to appear.
// Returns the exit code: 0 when it was taken, kExitBusy after a message
// saying why not.
int HandRequestOver(const SetRequest& request, DWORD waitMs);

// Texts of the hand-over (titled kDoubleStartTitle, run/run_control.h).
inline constexpr char kHandOverBusyText[] =
    "実行中のタビクスで実行リストまたはダイアログが開いているため、設定の実行を渡せませんでした。\n"
    "それを閉じてから、もう一度やり直してください。";
inline constexpr char kHandOverDeniedText[] =
    "実行中のタビクスに設定の実行を渡せませんでした。\n"
    "実行中のタビクスが管理者として実行されている場合、管理者でない起動からは渡せません "
    "(Windows の権限の分離によります)。同じ権限で起動するか、実行中のタビクスを閉じてからやり直してください。";
inline constexpr char kHandOverNoAnswerFormat[] =
    "パラメータファイル\n%s\nは使用中ですが、それを使っているタビクスに設定の実行を渡せませんでした。\n"
    "実行中のタビクスが応答しないか、他のプログラムがファイルを開いています。";
