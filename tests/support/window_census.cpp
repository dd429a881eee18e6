#include "window_census.h"

#include <tlhelp32.h>

#include <vector>

namespace {

struct Census {
  std::vector<DWORD> below;
  int windows = 0;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM context) {
  Census* census = reinterpret_cast<Census*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (!IsWindowVisible(window)) return TRUE;
  for (DWORD id : census->below) census->windows += id == owner;
  return TRUE;
}

}  // namespace

int VisibleWindowsBelow(DWORD root) {
  Census census;
  std::vector<PROCESSENTRY32> processes;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    processes.push_back(entry);
  }
  CloseHandle(snapshot);
  // Grows the set until no process has a parent in it.
  std::vector<DWORD> parents = {root};
  for (std::size_t i = 0; i < parents.size(); ++i) {
    for (const PROCESSENTRY32& process : processes) {
      if (process.th32ParentProcessID == parents[i] && process.th32ProcessID != root) {
        bool known = false;
        for (DWORD id : parents) known = known || id == process.th32ProcessID;
        if (!known) parents.push_back(process.th32ProcessID);
      }
    }
  }
  census.below.assign(parents.begin() + 1, parents.end());
  EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&census));
  return census.windows;
}
