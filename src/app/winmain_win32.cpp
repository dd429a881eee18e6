// Entry point of tavix.exe.
#include <windows.h>

#include "app/startup_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int) {
  return RunTavix(instance, commandTail);
}
