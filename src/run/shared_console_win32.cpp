#include "run/shared_console_win32.h"

#include <windows.h>

#include "support/format_text.h"
#include "support/late_entry_win32.h"

namespace {

enum ConsoleState { kConsoleNone = 0, kConsoleHeld = 1, kConsoleRefused = 2 };

// How long the host's console may take to be ready to attach to.
constexpr DWORD kAttachWaitMs = 5000;

struct SharedConsole {
  int state;
  HANDLE host;    // the process whose console it is; null when made here
  HANDLE keep;    // write end of the pipe the host waits on
  HANDLE input;   // CONIN$ and CONOUT$, to put the console back
  HANDLE output;
  UINT inputCodePage, outputCodePage;
  DWORD inputMode, outputMode;
};

SharedConsole g_console{};

void CloseIfSet(HANDLE* handle) {
  if (*handle != nullptr && *handle != INVALID_HANDLE_VALUE) CloseHandle(*handle);
  *handle = nullptr;
}

// Every control event (Ctrl+C, Ctrl+Break, close) is the program's to
// ignore: none is sent on purpose, and the default would end the program.
BOOL WINAPI IgnoreControlEvent(DWORD) { return TRUE; }

// AllocConsoleWithOptions with its no-window mode (Windows 11 24H2 on).
struct AllocConsoleOptions {
  int mode;
  BOOL useShowWindow;
  WORD showWindow;
};
constexpr int kAllocConsoleNoWindow = 2;   // ALLOC_CONSOLE_MODE_NO_WINDOW
constexpr int kAllocConsoleCreated = 1;    // ALLOC_CONSOLE_RESULT_NEW_CONSOLE
using AllocConsoleWithOptionsEntry = HRESULT(WINAPI*)(AllocConsoleOptions*, int*);

int AllocWithoutWindow() {
  static const AllocConsoleWithOptionsEntry alloc =
      LateEntry<AllocConsoleWithOptionsEntry>("kernel32.dll", "AllocConsoleWithOptions");
  if (alloc == nullptr) return 0;
  AllocConsoleOptions options = {kAllocConsoleNoWindow, FALSE, 0};
  int result = 0;
  return SUCCEEDED(alloc(&options, &result)) && result == kAllocConsoleCreated;
}

// Starts cmd.exe without a window, reading commands from a pipe that
// nothing is written to: it waits until the program ends. Only the two
// handles it is given are inherited.
int StartHost(PROCESS_INFORMATION* info) {
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  HANDLE waitOn = nullptr;
  if (!CreatePipe(&waitOn, &g_console.keep, &inherited, 0)) return 0;
  SetHandleInformation(g_console.keep, HANDLE_FLAG_INHERIT, 0);
  HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           &inherited, OPEN_EXISTING, 0, nullptr);
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  alignas(8) char room[256];
  auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(room);
  HANDLE handed[2] = {waitOn, nul};
  int made = nul != INVALID_HANDLE_VALUE && size <= sizeof room &&
             InitializeProcThreadAttributeList(list, 1, 0, &size);
  if (made) {
    STARTUPINFOEXA startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = waitOn;
    startup.StartupInfo.hStdOutput = nul;
    startup.StartupInfo.hStdError = nul;
    startup.lpAttributeList = list;
    char line[MAX_PATH + 16];
    const UINT length = GetSystemDirectoryA(line, MAX_PATH);
    made = length > 0 && length < MAX_PATH && FormatText(line + length, sizeof line - length, "\\cmd.exe /d /q") > 0 &&
           UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handed, sizeof handed,
                                     nullptr, nullptr) &&
           CreateProcessA(nullptr, line, nullptr, nullptr, TRUE,
                          CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                          &startup.StartupInfo, info);
    DeleteProcThreadAttributeList(list);
  }
  CloseHandle(waitOn);
  CloseIfSet(&nul);
  if (!made) CloseIfSet(&g_console.keep);
  return made;
}

// Attaches to the host's console once it is ready.
int AttachToHost() {
  PROCESS_INFORMATION info{};
  if (!StartHost(&info)) return 0;
  CloseHandle(info.hThread);
  g_console.host = info.hProcess;
  const DWORD begun = GetTickCount();
  while (!AttachConsole(info.dwProcessId)) {
    // Refused (the program has a console already) or waited long enough.
    if (GetLastError() == ERROR_ACCESS_DENIED || GetTickCount() - begun > kAttachWaitMs ||
        WaitForSingleObject(info.hProcess, 1) == WAIT_OBJECT_0) {
      return 0;
    }
  }
  return 1;
}

// The console as it is now, to put it back before each start.
int NoteConsole() {
  g_console.input = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
  g_console.output = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
  g_console.inputCodePage = GetConsoleCP();
  g_console.outputCodePage = GetConsoleOutputCP();
  return g_console.input != INVALID_HANDLE_VALUE && g_console.output != INVALID_HANDLE_VALUE &&
         g_console.inputCodePage != 0 && g_console.outputCodePage != 0 &&
         GetConsoleMode(g_console.input, &g_console.inputMode) &&
         GetConsoleMode(g_console.output, &g_console.outputMode) &&
         SetConsoleCtrlHandler(IgnoreControlEvent, TRUE);
}

// Detaches from the console. The standard handles are set aside meanwhile:
// Wine closes those that attaching had set, even when they were put back.
void Detach() {
  const DWORD kinds[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  HANDLE standard[3];
  for (int i = 0; i < 3; ++i) {
    standard[i] = GetStdHandle(kinds[i]);
    SetStdHandle(kinds[i], nullptr);
  }
  FreeConsole();
  for (int i = 0; i < 3; ++i) SetStdHandle(kinds[i], standard[i]);
}

void Forget() {
  CloseIfSet(&g_console.input);
  CloseIfSet(&g_console.output);
  CloseIfSet(&g_console.keep);  // the host reads the end of its input and ends
  if (g_console.host != nullptr) {
    TerminateProcess(g_console.host, 0);  // in case it never came to read
    CloseIfSet(&g_console.host);
  }
}

int MakeConsole() {
  // The program's standard handles stay as they were: attaching would point
  // them at the console.
  const DWORD kinds[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  HANDLE standard[3];
  for (int i = 0; i < 3; ++i) standard[i] = GetStdHandle(kinds[i]);
  const int attached = AllocWithoutWindow() || AttachToHost();
  for (int i = 0; i < 3; ++i) SetStdHandle(kinds[i], standard[i]);
  if (attached && NoteConsole()) return 1;
  if (attached) Detach();
  Forget();
  return 0;
}

}  // namespace

int SharedConsoleHeld() { return g_console.state == kConsoleHeld; }

int PrepareSharedConsole() {
  if (g_console.state == kConsoleNone) {
    // A windowed program has no console of its own; one its parent may
    // have handed it (Wine does) is let go first.
    Detach();
    g_console.state = MakeConsole() ? kConsoleHeld : kConsoleRefused;
  }
  if (g_console.state != kConsoleHeld) return 0;
  SetConsoleCP(g_console.inputCodePage);
  SetConsoleOutputCP(g_console.outputCodePage);
  SetConsoleMode(g_console.input, g_console.inputMode);
  SetConsoleMode(g_console.output, g_console.outputMode);
  return 1;
}

void ReleaseSharedConsole() {
  if (g_console.state == kConsoleHeld) {
    SetConsoleCtrlHandler(IgnoreControlEvent, FALSE);
    Detach();
  }
  Forget();
  g_console = SharedConsole{};
}
