#include "msgbox_watch.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

namespace {

struct WatchState {
  std::thread worker;
  std::atomic<bool> stop{false};
  std::mutex lock;
  std::string caption;
  bool anyCaption = true;
  std::vector<HWND> before;   // dialog windows that existed at the start
  std::vector<HWND> handled;  // boxes already closed by the watch
  std::vector<SeenBox> seen;
};

WatchState g_watch;

bool IsOurDialog(HWND window) {
  char className[16] = {};
  if (GetClassNameA(window, className, sizeof className) == 0) return false;
  if (std::string(className) != "#32770") return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid == GetCurrentProcessId();
}

BOOL CALLBACK CollectDialogs(HWND window, LPARAM param) {
  if (IsOurDialog(window)) reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

std::vector<HWND> OurDialogs() {
  std::vector<HWND> dialogs;
  EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&dialogs));
  return dialogs;
}

std::string TextOf(HWND window) {
  char buffer[4096] = {};
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                           SMTO_BLOCK, 5000, &result))
    return std::string();
  return std::string(buffer);
}

bool Contains(const std::vector<HWND>& list, HWND window) {
  return std::find(list.begin(), list.end(), window) != list.end();
}

void WatchLoop() {
  while (!g_watch.stop.load()) {
    for (HWND box : OurDialogs()) {
      if (Contains(g_watch.before, box) || Contains(g_watch.handled, box)) continue;
      if (!IsWindowVisible(box)) continue;  // still being set up
      const std::string caption = TextOf(box);
      if (!g_watch.anyCaption && caption != g_watch.caption) continue;
      SeenBox seen;
      seen.caption = caption;
      HWND textControl = GetDlgItem(box, 0xFFFF);
      seen.text = textControl ? TextOf(textControl) : std::string();
      seen.owner = GetWindow(box, GW_OWNER);
      seen.threadId = GetWindowThreadProcessId(box, nullptr);
      {
        std::lock_guard<std::mutex> guard(g_watch.lock);
        g_watch.seen.push_back(seen);
      }
      g_watch.handled.push_back(box);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    Sleep(20);
  }
}

}  // namespace

void StartBoxWatch(const char* caption) {
  g_watch.stop = false;
  g_watch.anyCaption = caption == nullptr;
  g_watch.caption = caption ? caption : "";
  g_watch.before = OurDialogs();
  g_watch.handled.clear();
  g_watch.seen.clear();
  g_watch.worker = std::thread(WatchLoop);
}

std::vector<SeenBox> StopBoxWatch() {
  g_watch.stop = true;
  if (g_watch.worker.joinable()) g_watch.worker.join();
  std::lock_guard<std::mutex> guard(g_watch.lock);
  return g_watch.seen;
}

std::vector<SeenBox> WatchBoxesDuring(const char* caption, const std::function<void()>& call) {
  StartBoxWatch(caption);
  call();
  return StopBoxWatch();
}
