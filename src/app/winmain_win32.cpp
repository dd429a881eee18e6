// Entry point of tavix.exe.
#include <windows.h>

#include "app/startup.h"
#include "app/startup_win32.h"

// The tail is taken from the process command line here rather than from the
// runtime's WinMain argument: the runtime compares bytes as signed values, so
// it counts every byte from 0x80 up as a blank and drops the Japanese
// characters at the start of an argument.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return RunTavix(instance, CommandLineTail(GetCommandLineA()));
}
