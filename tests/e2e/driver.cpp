#include "e2e/driver.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "tavix_version.h"
#include "test_env.h"
#include "start_process.h"

namespace {

constexpr UINT kSendTimeoutMs = 10000;
constexpr int kStaticTextId = 0xFFFF;
constexpr int kFileNameEditId = 0x480;   // edt1
constexpr int kFileNameComboId = 0x47c;  // cmb13

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) {
    return 0;
  }
  return static_cast<LRESULT>(result);
}

struct EnumState {
  DWORD processId;
  std::vector<HWND>* windows;
};

BOOL CALLBACK CollectDialogs(HWND window, LPARAM data) {
  EnumState* state = reinterpret_cast<EnumState*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == state->processId && ClassOf(window) == "#32770") state->windows->push_back(window);
  return TRUE;
}

BOOL CALLBACK FindBlockingChild(HWND child, LPARAM data) {
  const std::string name = ClassOf(child);
  if (name == "Edit" || name == "ComboBox" || name == "ListBox" || name == "SysListView32") {
    *reinterpret_cast<bool*>(data) = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

std::string DefaultWindowTitle() { return "タビクス Ver." TAVIX_VERSION_TEXT " (" TAVIX_DATE_TEXT ")"; }

std::string WindowTitleFor(const std::string& name) {
  if (name == "tavix") return DefaultWindowTitle();
  return "タビクス Ver." TAVIX_VERSION_TEXT " [" + name + "] (" TAVIX_DATE_TEXT ")";
}

std::string AppFolder::Path(const std::string& name) const { return dir + "\\" + name; }

AppFolder PrepareAppFolder(const char* name) {
  AppFolder folder;
  std::string dir = MakeTempDir(name);
  if (dir.empty()) return folder;
  const std::string source = JoinTestPath(TestExeDir(), "tavix.exe");
  const std::string target = dir + "\\tavix.exe";
  if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) {
    ADD_FAILURE() << "cannot copy " << source << " to " << target << " (error " << GetLastError() << ")";
    return folder;
  }
  folder.dir = dir;
  folder.exe = target;
  return folder;
}

AppProcess::~AppProcess() {
  Kill();
  if (info.hThread != nullptr) CloseHandle(info.hThread);
  if (info.hProcess != nullptr) CloseHandle(info.hProcess);
}

bool AppProcess::Running() const {
  return info.hProcess != nullptr && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
}

void AppProcess::Kill() {
  if (!Running()) return;
  TerminateProcess(info.hProcess, 99);
  WaitForSingleObject(info.hProcess, 10000);
}

namespace {

bool StartWithCommandLine(AppProcess* app, const std::string& exe, const std::string& commandLine,
                          const std::string& currentDir) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!StartTestProcess(exe.c_str(), line.data(), 0,
                        currentDir.empty() ? nullptr : currentDir.c_str(), &startup, &app->info)) {
    ADD_FAILURE() << "cannot start " << commandLine << " (error " << GetLastError() << ")";
    return false;
  }
  return true;
}

}  // namespace

bool StartApp(AppProcess* app, const std::string& exe, const std::string& arguments,
              const std::string& currentDir) {
  std::string commandLine = "\"" + exe + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  return StartWithCommandLine(app, exe, commandLine, currentDir);
}

bool StartAppWithCommandLine(AppProcess* app, const std::string& exe, const std::string& commandLine) {
  return StartWithCommandLine(app, exe, commandLine, "");
}

bool WaitForExit(const AppProcess& app, DWORD* exitCode, DWORD timeoutMs) {
  if (app.info.hProcess == nullptr) return false;
  if (WaitForSingleObject(app.info.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  DWORD code = 0;
  GetExitCodeProcess(app.info.hProcess, &code);
  if (exitCode != nullptr) *exitCode = code;
  return true;
}

std::vector<HWND> ProcessDialogs(DWORD processId) {
  std::vector<HWND> windows;
  EnumState state{processId, &windows};
  EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&state));
  return windows;
}

HWND WaitForDialog(const AppProcess& app, const std::string& title, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : ProcessDialogs(app.Id())) {
          if (WindowText(window) == title) {
            found = window;
            return true;
          }
        }
        return !app.Running();
      },
      timeoutMs);
  return found;
}

int CountWindowsTitled(const std::string& title) {
  int count = 0;
  HWND after = nullptr;
  while ((after = FindWindowExA(nullptr, after, nullptr, title.c_str())) != nullptr) ++count;
  return count;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs) {
  // A modal dialog's owner goes on with the command that opened it once the
  // dialog is gone; a message sent to the owner is handled only after that
  // command has finished, so the caller sees its results.
  HWND owner = GetWindow(window, GW_OWNER);
  if (!WaitUntil([&] { return !IsWindow(window); }, timeoutMs)) return false;
  if (owner != nullptr && IsWindow(owner)) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(owner, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored);
  }
  return true;
}

std::string WindowText(HWND window) {
  const LRESULT length = SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0);
  std::vector<char> text(static_cast<size_t>(length) + 2, '\0');
  SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

HWND Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

std::string ControlText(HWND dialog, int id) {
  HWND control = Control(dialog, id);
  if (control == nullptr) {
    ADD_FAILURE() << "no control " << id;
    return std::string();
  }
  return WindowText(control);
}

bool SetControlText(HWND dialog, int id, const std::string& text) {
  HWND control = Control(dialog, id);
  if (control == nullptr) {
    ADD_FAILURE() << "no control " << id;
    return false;
  }
  return SendWithTimeout(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != 0;
}

bool IsControlEnabled(HWND dialog, int id) { return IsWindowEnabled(Control(dialog, id)) != FALSE; }

void ClickButton(HWND dialog, int id) { SendWithTimeout(Control(dialog, id), BM_CLICK, 0, 0); }

void PostClickButton(HWND dialog, int id) { PostMessageA(Control(dialog, id), BM_CLICK, 0, 0); }

int CheckState(HWND dialog, int id) {
  return static_cast<int>(SendWithTimeout(Control(dialog, id), BM_GETCHECK, 0, 0));
}

LRESULT SendCommand(HWND dialog, int id, int code) {
  return SendWithTimeout(dialog, WM_COMMAND, MAKEWPARAM(id, code),
                         reinterpret_cast<LPARAM>(Control(dialog, id)));
}

void PostCommand(HWND dialog, int id, int code) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Control(dialog, id)));
}

void PostSysCommand(HWND dialog, WPARAM command) { PostMessageA(dialog, WM_SYSCOMMAND, command, 0); }

void PressEscape(HWND dialog) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  HWND target = dialog;
  const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
  if (GetGUIThreadInfo(thread, &gui) && gui.hwndFocus != nullptr) target = gui.hwndFocus;
  const UINT scan = MapVirtualKeyA(VK_ESCAPE, 0);
  PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 1 | (static_cast<LPARAM>(scan) << 16));
  PostMessageA(target, WM_KEYUP, VK_ESCAPE, 1 | (static_cast<LPARAM>(scan) << 16) | (3u << 30));
}

void PressCloseBox(HWND dialog) { PostSysCommand(dialog, SC_CLOSE); }

int ComboCount(HWND dialog, int id) {
  return static_cast<int>(SendWithTimeout(Control(dialog, id), CB_GETCOUNT, 0, 0));
}

std::vector<std::string> ComboItems(HWND dialog, int id) {
  // Read through the wide messages and converted to the ANSI code page: Wine
  // cuts the ANSI item texts it passes between processes.
  std::vector<std::string> items;
  HWND combo = Control(dialog, id);
  const int count = ComboCount(dialog, id);
  for (int i = 0; i < count; ++i) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length);
    std::vector<wchar_t> wide(static_cast<size_t>(length) + 2, L'\0');
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG,
                        kSendTimeoutMs, &ignored);
    char text[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text, sizeof text, nullptr, nullptr);
    items.emplace_back(text);
  }
  return items;
}

int ComboSelection(HWND dialog, int id) {
  return static_cast<int>(SendWithTimeout(Control(dialog, id), CB_GETCURSEL, 0, 0));
}

void ChooseComboItem(HWND dialog, int id, int index) {
  SendWithTimeout(Control(dialog, id), CB_SETCURSEL, index, 0);
  SendCommand(dialog, id, CBN_SELCHANGE);
}

bool IsMessageBox(HWND window) {
  if (ClassOf(window) != "#32770") return false;
  HWND text = GetDlgItem(window, kStaticTextId);
  if (text == nullptr || ClassOf(text) != "Static") return false;
  bool hasInputControl = false;
  EnumChildWindows(window, FindBlockingChild, reinterpret_cast<LPARAM>(&hasInputControl));
  return !hasInputControl;
}

bool WaitForMessageBox(const AppProcess& app, MessageBoxSeen* seen, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : ProcessDialogs(app.Id())) {
          if (IsWindowVisible(window) && IsMessageBox(window)) {
            found = window;
            return true;
          }
        }
        return !app.Running();
      },
      timeoutMs);
  if (found == nullptr) return false;
  if (seen != nullptr) {
    seen->window = found;
    seen->caption = WindowText(found);
    seen->text = WindowText(GetDlgItem(found, kStaticTextId));
  }
  return true;
}

void DismissMessageBox(HWND box, int buttonId) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

namespace {

struct DescendantSearch {
  int id;
  const char* className;
  HWND found;
};

BOOL CALLBACK MatchDescendant(HWND child, LPARAM data) {
  DescendantSearch* search = reinterpret_cast<DescendantSearch*>(data);
  if (GetDlgCtrlID(child) == search->id && ClassOf(child) == search->className) {
    search->found = child;
    return FALSE;
  }
  return TRUE;
}

// A control with `id` and `className` anywhere below `window`
// (EnumChildWindows walks every level).
HWND FindDescendant(HWND window, int id, const char* className) {
  DescendantSearch search{id, className, nullptr};
  EnumChildWindows(window, MatchDescendant, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

// Older dialogs have the edit edt1; newer ones an edit inside the combo box
// cmb13, which carries the same id.
HWND FileDialogNameEdit(HWND fileDialog) {
  HWND edit = FindDescendant(fileDialog, kFileNameEditId, "Edit");
  return edit != nullptr ? edit : FindDescendant(fileDialog, kFileNameComboId, "Edit");
}

std::string FileDialogName(HWND fileDialog) {
  HWND edit = FileDialogNameEdit(fileDialog);
  return edit != nullptr ? WindowText(edit) : std::string();
}

bool SetFileDialogName(HWND fileDialog, const std::string& path) {
  HWND edit = FileDialogNameEdit(fileDialog);
  if (edit == nullptr) return false;
  return SendWithTimeout(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str())) != 0;
}

std::vector<std::string> DescribeChildren(HWND window) {
  std::vector<std::string> lines;
  struct Collect {
    static BOOL CALLBACK Add(HWND child, LPARAM data) {
      auto* out = reinterpret_cast<std::vector<std::string>*>(data);
      char line[160];
      std::snprintf(line, sizeof line, "id %d (0x%x) class %s parent %p", GetDlgCtrlID(child),
                    GetDlgCtrlID(child), ClassOf(child).c_str(), static_cast<void*>(GetParent(child)));
      out->push_back(line);
      return TRUE;
    }
  };
  EnumChildWindows(window, Collect::Add, reinterpret_cast<LPARAM>(&lines));
  return lines;
}

void FocusControl(HWND dialog, int id) {
  SetForegroundWindow(dialog);
  SendWithTimeout(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(dialog, id)), TRUE);
}

int FocusedControlId(HWND dialog) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui) || gui.hwndFocus == nullptr) return 0;
  return GetDlgCtrlID(gui.hwndFocus);
}

namespace {

INPUT KeyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, 0));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

}  // namespace

void PressTab(bool ctrl, bool shift) {
  std::vector<INPUT> inputs;
  if (ctrl) inputs.push_back(KeyInput(VK_CONTROL, false));
  if (shift) inputs.push_back(KeyInput(VK_SHIFT, false));
  inputs.push_back(KeyInput(VK_TAB, false));
  inputs.push_back(KeyInput(VK_TAB, true));
  if (shift) inputs.push_back(KeyInput(VK_SHIFT, true));
  if (ctrl) inputs.push_back(KeyInput(VK_CONTROL, true));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}
