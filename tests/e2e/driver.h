// Helpers for end-to-end tests: start a copy of tavix.exe in a scratch
// folder, find its windows, drive its controls by id from outside the
// process, read and dismiss message boxes, and end it. Every wait polls with
// a generous limit, so a slow Wine start does not fail a test; a test that
// fails still ends its copy of the program (AppProcess ends it on
// destruction).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// How long the waits below wait by default.
inline constexpr DWORD kDriverTimeoutMs = 20000;

// Window title of the program for its default parameter file, and for a
// parameter file named `name` (without extension).
std::string DefaultWindowTitle();
std::string WindowTitleFor(const std::string& name);

// A scratch folder holding a copy of tavix.exe, so that the default
// parameter file (tavix.tvx) is created beside that copy.
struct AppFolder {
  std::string dir;  // no trailing backslash
  std::string exe;  // dir\tavix.exe
  // dir\name
  std::string Path(const std::string& name) const;
};

// Makes a fresh scratch folder named after `name` and copies tavix.exe (from
// the folder of the running test) into it. `dir` is empty on failure.
AppFolder PrepareAppFolder(const char* name);

// A started copy of the program. Not copyable; the destructor ends the
// process if it still runs and closes its handles.
struct AppProcess {
  PROCESS_INFORMATION info{};
  AppProcess() = default;
  AppProcess(const AppProcess&) = delete;
  AppProcess& operator=(const AppProcess&) = delete;
  ~AppProcess();
  DWORD Id() const { return info.dwProcessId; }
  bool Running() const;
  // Ends the process now (exit code 99) if it still runs.
  void Kill();
};

// Starts `exe` with the command line "\"exe\"" followed by " " and
// `arguments` when they are not empty, in `currentDir` (empty: the test's
// own). False when the process could not be started.
bool StartApp(AppProcess* app, const std::string& exe, const std::string& arguments = "",
              const std::string& currentDir = "");

// Starts `exe` with exactly `commandLine` as its command line (the program
// name as the caller writes it), in the test's own current directory.
bool StartAppWithCommandLine(AppProcess* app, const std::string& exe, const std::string& commandLine);

// Waits until the process ends; true with its exit code when it did.
bool WaitForExit(const AppProcess& app, DWORD* exitCode, DWORD timeoutMs = kDriverTimeoutMs);

// Top-level dialog windows (#32770) of a process, in Z order.
std::vector<HWND> ProcessDialogs(DWORD processId);

// Waits for a top-level dialog of the process titled exactly `title`.
HWND WaitForDialog(const AppProcess& app, const std::string& title, DWORD timeoutMs = kDriverTimeoutMs);

// Number of top-level windows of any process titled exactly `title`.
int CountWindowsTitled(const std::string& title);

// Waits until `window` no longer exists and, for an owned window such as a
// modal dialog, until its owner has finished the command that opened it.
bool WaitForWindowGone(HWND window, DWORD timeoutMs = kDriverTimeoutMs);

// Window text of any window, read with WM_GETTEXT (works across processes).
std::string WindowText(HWND window);

// Controls of a dialog, by id.
HWND Control(HWND dialog, int id);
std::string ControlText(HWND dialog, int id);
bool SetControlText(HWND dialog, int id, const std::string& text);
bool IsControlEnabled(HWND dialog, int id);
// Presses a button and returns when its command has been handled.
void ClickButton(HWND dialog, int id);
// Presses a button and returns at once: for buttons that open a modal window.
void PostClickButton(HWND dialog, int id);
// BST_CHECKED, BST_UNCHECKED, ...
int CheckState(HWND dialog, int id);
// Sends / posts WM_COMMAND with the control id and a notification code (the
// control's window as long parameter, as controls do).
LRESULT SendCommand(HWND dialog, int id, int code = 0);
void PostCommand(HWND dialog, int id, int code = 0);
// Posts a system-menu command (WM_SYSCOMMAND).
void PostSysCommand(HWND dialog, WPARAM command);
// The Escape key, as the keyboard would give it to the focused control.
void PressEscape(HWND dialog);
// The close box (WM_SYSCOMMAND SC_CLOSE).
void PressCloseBox(HWND dialog);

// Combo boxes.
int ComboCount(HWND dialog, int id);
std::vector<std::string> ComboItems(HWND dialog, int id);
int ComboSelection(HWND dialog, int id);
// Selects an item as the user would: CB_SETCURSEL, then CBN_SELCHANGE to the
// dialog (CB_SETCURSEL itself notifies nobody).
void ChooseComboItem(HWND dialog, int id, int index);

// Message boxes: a dialog with its text in a static control 0xFFFF and no
// edit, combo or list controls.
struct MessageBoxSeen {
  HWND window = nullptr;
  std::string caption;
  std::string text;
};
bool IsMessageBox(HWND window);
// Waits for a message box of the process.
bool WaitForMessageBox(const AppProcess& app, MessageBoxSeen* seen, DWORD timeoutMs = kDriverTimeoutMs);
// Presses a button of a message box (IDOK, IDYES, ...) without waiting.
void DismissMessageBox(HWND box, int buttonId = IDOK);

// Waits until `probe` returns true, polling; false on timeout.
template <typename Probe>
bool WaitUntil(Probe probe, DWORD timeoutMs = kDriverTimeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (probe()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(30);
  }
}

// The system's file dialogs: puts `path` into the file name field (edt1, or
// the edit inside the file name combo box cmb13). False when neither exists.
bool SetFileDialogName(HWND fileDialog, const std::string& path);
// The text of that field.
std::string FileDialogName(HWND fileDialog);

// One line per control below `window` (id, class, parent), for messages of
// failing tests.
std::vector<std::string> DescribeChildren(HWND window);

// Keyboard focus: makes `dialog` the foreground window and moves the focus to
// its control `id` as the dialog manager does (WM_NEXTDLGCTL).
void FocusControl(HWND dialog, int id);
// Id of the focused control of the dialog's thread, or 0.
int FocusedControlId(HWND dialog);
// Presses Tab as real keyboard input to the foreground window, with Ctrl
// and/or Shift held.
void PressTab(bool ctrl, bool shift);
