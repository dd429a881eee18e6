// The state of one run list window, shared by its two parts: the dialog
// (run/run_list_win32.cpp) and its rows (run/run_list_rows_win32.h). It
// lives from the list's opening to its closing and is found from the
// dialog's window (DWLP_USER).
#pragma once

#include <windows.h>

#include "run/run_child_win32.h"
#include "run/run_list.h"
#include "run/run_list_input_win32.h"

struct RunListWindow {
  RunListInput input;
  RunListState run;
  RunListPlatform platform;  // its `window` is this record
  OutputSink sink;
  HWND dialog;  // null once destroyed
  HWND list;
  HWND priority;
  HWND parallel;
  HWND output;
  HWND halt;
  HWND status;
  HFONT bold;  // the rows of running commands
  HHOOK hook;
  int timerOn;
  int outputTimerOn;
  ByteBuffer notedRows;  // int[]: rows changed since the list box last showed them
  int closing;          // closeWhenFinished has closed it
  SIZE initialDialog;   // outer sizes of the template
  SIZE initialList;
  SIZE initialStatus;
  SIZE openedDialog;    // the outer size it opened with
  int resized;          // the user changed its size
  int statusGap;        // from the list's bottom edge to the status line's top
  int tabs[2];          // the rows' tab stops in pixels, for measuring rows
  int extent;           // widest row measured, in pixels
};

// The state of the run list dialog `dialog`, null before it is set.
inline RunListWindow* WindowOf(HWND dialog) {
  return reinterpret_cast<RunListWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
}
