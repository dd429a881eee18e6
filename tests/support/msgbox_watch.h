// Watching for message boxes from a test. A box blocks the thread that shows
// it, so the watch runs on a background thread: it finds every visible
// dialog-class window ("#32770") of this process that appeared after the
// watch started and carries the caption asked for, records its caption, its
// text (static control 0xFFFF) and its owner, and closes it with OK.
//
//   StartBoxWatch("タビクス：実行失敗");
//   HANDLE h = LaunchCommand(...);          // blocks until the box is closed
//   std::vector<SeenBox> boxes = StopBoxWatch();
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct SeenBox {
  std::string caption;
  std::string text;
  HWND owner;
  DWORD threadId;  // thread that showed the box
};

// Starts watching. `caption` null: every caption. Only one watch at a time.
void StartBoxWatch(const char* caption);

// Ends the watch and returns the boxes seen, in the order they were found.
std::vector<SeenBox> StopBoxWatch();

// Runs `call` on the calling thread under a watch for `caption`.
std::vector<SeenBox> WatchBoxesDuring(const char* caption, const std::function<void()>& call);
