// What a run list window is opened with (run/run_list_win32.h): the
// commands as the run was planned, the settings, the owner, and how it is
// to behave without a user.
#pragma once

#include <windows.h>

#include "run/run_list.h"

struct TargetRecord;

// Everything a run list is opened with.
struct RunListInput {
  const ListedCommand* commands;  // valid until ShowRunList returns
  int count;
  const TargetRecord* targets;    // what the first Start asks about (null: nothing)
  const char* caption;            // the program text
  const char* pattern;            // the pattern the files were searched with
  const char* folder;             // where the log is proposed ("" for the program's own folder)
  RunListSettings settings;       // as read from tavix.ini when the run was made
  HWND owner;                     // its keyboard keeps working meanwhile; null for none
  RECT ownerRect;                 // the list opens at its top-left corner
  int startAtOnce;                // Start as soon as the list is shown
  // Close the list once it has finished, or when the question before Start
  // was not answered Yes.
  int closeWhenFinished;
  int* unsuccessful;              // when not null, set at its close to UnsuccessfulRows
};

