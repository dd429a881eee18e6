#include "run/run_list_platform_win32.h"

#include <windows.h>

#include "run/launch_win32.h"
#include "run/run_child.h"
#include "run/run_child_win32.h"

namespace {

ListedChild* Child(void* child) { return static_cast<ListedChild*>(child); }

int ChildEndedWithCode(void* child, unsigned long* code) {
  DWORD exitCode = 0;
  if (!ChildEnded(ListedChildProcess(Child(child)), &exitCode)) return 0;
  *code = exitCode;
  return 1;
}

void ReleaseChild(void* child) { ReleaseListedChild(Child(child)); }

int StopChild(void* child) { return StopListedChild(Child(child)); }

void SetChildPriority(void* child, int priorityIndex) {
  SetListedChildPriority(Child(child), PriorityClassForRunning(priorityIndex, GetPriorityClass(GetCurrentProcess())));
}

std::uint64_t ChildCpuMs(void* child) { return ListedChildCpuMs(Child(child)); }

std::uint64_t NowMs() {
  static LARGE_INTEGER frequency{};
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  const std::uint64_t ticks = static_cast<std::uint64_t>(now.QuadPart);
  const std::uint64_t perSecond = static_cast<std::uint64_t>(frequency.QuadPart);
  return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
}

void LocalClockTime(RunClockTime* out) {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  *out = RunClockTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace

RunListPlatform SystemRunListPlatform(void* window,
                                      void* (*launch)(void*, const ListedCommand&, int, int),
                                      void (*rowChanged)(void*, int), void (*reportStopped)(void*)) {
  return RunListPlatform{window,     ChildEndedWithCode, ReleaseChild, launch,         StopChild,  SetChildPriority,
                         ChildCpuMs, NowMs,              LocalClockTime, rowChanged, reportStopped};
}
