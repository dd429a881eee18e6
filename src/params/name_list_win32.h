// The name box of the main dialog and the sets behind it: filling the list,
// applying a set by name, registering the dialog's set under a name, the
// current set name, and the rule that blanks the name box on edits.
#pragma once

#include <windows.h>

// Capacity of a set name (at most 63 characters).
inline constexpr int kSetNameSize = 64;

// Empties the name box and lists every stored set in file order, except the
// sets named "default". Leaves no item selected.
void FillNameList(HWND dialog);

// Applies the first stored set called `name`; on an empty set list "default"
// applies the empty set. An unknown name only refreshes the option button
// caption. Returns 1.
int ApplySetByName(HWND dialog, const char* name);

// Reads the name box (at most 63 characters); empty: returns 0. Otherwise it
// becomes the current set name and is applied with ApplySetByName.
int SelectSetFromList(HWND dialog);

// The Register command: asks for a name with the register dialog (102), saves
// the dialog's set under it, reloads, refills and selects the first name.
// 1 when a set was saved. A reload that fails is reported (below).
int RegisterSet(HWND dialog);

// Procedure of the register dialog (102).
INT_PTR CALLBACK RegisterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Deletes the set named by the name box (IDC_NAME_LIST) from the file, reloads it and
// refills the name list. 1 when the set was deleted; 0 for a blank name box,
// an unknown name, or a rewrite that failed (file and list then unchanged).
// A reload that fails is reported (below).
int DeleteSelectedSet(HWND dialog);

// Tells the user that the parameter file could not be loaded again after a
// rewrite (another program kept it open): the name list is empty and sets
// are not saved until it can be.
void ReportParameterFileNotReloaded(HWND dialog);

// The current set name: the name last chosen from the list or registered.
const char* GetCurrentSetName();

// Unless the loading flag is set, removes the name box selection.
void MarkSetModified(HWND dialog);

// The loading flag: set while a set chosen in the name box is being applied.
void SetLoadingFlag();
void ClearLoadingFlag();
int IsLoadingFlagSet();
