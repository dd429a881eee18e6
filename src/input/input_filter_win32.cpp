#include "input/input_filter_win32.h"

#include <shellapi.h>

#include <initializer_list>

#include "input/control_groups.h"
#include "support/path_text.h"
#include "support/shell_win32.h"

namespace {

// A group member's window and the hook installed for it, filled at
// initialisation; the control ids are those of kControlGroups.
struct GroupMember {
  HWND window;
  HHOOK hook;
};

GroupMember g_members[kControlGroupCount][kGroupCapacity] = {};

bool IsKeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

bool IsCtrlTab(const MSG* message) {
  return message->message == WM_KEYDOWN && message->wParam == VK_TAB && IsKeyDown(VK_CONTROL);
}

// Index of the member of `group` whose window is `window`, or -1.
int FindMember(int group, HWND window) {
  if (window == nullptr) return -1;
  const int count = GroupMemberCount(group);
  for (int index = 0; index < count; ++index) {
    if (g_members[group][index].window == window) return index;
  }
  return -1;
}

void MoveFocus(int group, int index) {
  const int target = FocusMoveTarget(group, index, IsKeyDown(VK_SHIFT));
  if (target >= 0) SetFocus(g_members[group][target].window);
}

// Puts the first dropped path into `edit`; the rest are ignored.
void TakeDroppedFile(HWND edit, HDROP drop) {
  if (DragQueryFileLate(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
    char path[kPathTextSize] = {};
    DragQueryFileLate(drop, 0, path, sizeof path);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path));
  }
  DragFinishLate(drop);
}

int HandleDropGroupMessage(const MSG* message) {
  const int index = FindMember(kDropGroup, message->hwnd);
  if (index < 0) return 0;
  if (message->message == WM_DROPFILES) {
    TakeDroppedFile(message->hwnd, reinterpret_cast<HDROP>(message->wParam));
    return 1;
  }
  if (!IsCtrlTab(message)) return 0;
  MoveFocus(kDropGroup, index);
  return 1;
}

}  // namespace

void InstallInputHooks(HWND dialog) {
  for (int group = 0; group < kControlGroupCount; ++group) {
    const int count = GroupMemberCount(group);
    for (int index = 0; index < count; ++index) {
      GroupMember& member = g_members[group][index];
      member.window = GetDlgItem(dialog, kControlGroups[group].ids[index]);
      if (kControlGroups[group].acceptsDroppedFiles) AcceptDroppedFiles(member.window);
      member.hook = SetWindowsHookExA(WH_MSGFILTER, InputFilterHook, nullptr,
                                      GetWindowThreadProcessId(member.window, nullptr));
    }
  }
}

void RemoveInputHooks() {
  for (auto& group : g_members) {
    for (GroupMember& member : group) {
      if (member.hook != nullptr) UnhookWindowsHookEx(member.hook);
      member.hook = nullptr;
    }
  }
}

LRESULT CALLBACK InputFilterHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (HandleDropGroupMessage(message)) return 1;
    for (int group : {kSwitchGroup, kSpaceGroup, kBrowseGroup}) {
      if (MoveFocusInGroup(message, group)) return 1;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

int MoveFocusInGroup(const MSG* message, int group) {
  const int index = FindMember(group, message->hwnd);
  if (index < 0 || !IsCtrlTab(message)) return 0;
  MoveFocus(group, index);
  return 1;
}
