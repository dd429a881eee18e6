// A console program that tests start to see how the parameter file's open
// modes keep two processes apart.
//
//   hold_file hold <path> <ready event> <release event>
//     Opens <path> the way the parameter file is held (GENERIC_READ, sharing
//     FILE_SHARE_WRITE only, OPEN_EXISTING), signals <ready>, and keeps the
//     file open until <release> is signalled. Exit code 0, or 2 when the open
//     failed.
//
//   hold_file lock <name> <ready event> <release event>
//     The same with the named mutex <name>, as a copy of the program takes
//     the lock of the settings file.
//
//   hold_file probe <path>
//     Tries the read-shared open and the exclusive create-for-write
//     (GENERIC_WRITE, no sharing, CREATE_ALWAYS) on <path> and reports in the
//     exit code: 1 = the read-shared open worked, 2 = the create worked,
//     4 = the read-shared open failed with a sharing violation, 8 = the create
//     failed with a sharing violation.
#include <windows.h>

#include <cstring>

namespace {

// Longest a holder waits for its release before giving up by itself.
constexpr DWORD kHoldLimitMs = 120000;

// `mode` "hold": the file <target> as the parameter file is held; "lock":
// the named mutex <target> as the settings lock is taken.
int Hold(const char* mode, const char* target, const char* readyName, const char* releaseName) {
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, readyName);
  HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, releaseName);
  if (ready == nullptr || release == nullptr) return 3;
  const bool lock = std::strcmp(mode, "lock") == 0;
  HANDLE held = lock ? CreateMutexA(nullptr, FALSE, target)
                     : CreateFileA(target, GENERIC_READ, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == nullptr || held == INVALID_HANDLE_VALUE) return 2;
  if (lock && WaitForSingleObject(held, kHoldLimitMs) != WAIT_OBJECT_0) return 2;
  SetEvent(ready);
  WaitForSingleObject(release, kHoldLimitMs);
  if (lock) ReleaseMutex(held);
  CloseHandle(held);
  return 0;
}

// Opens <path> as asked and closes it again: `worked` when the open worked,
// `violated` when it failed with a sharing violation, else 0.
int TryOpen(const char* path, DWORD access, DWORD share, DWORD disposition, int worked, int violated) {
  HANDLE file = CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return worked;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION ? violated : 0;
}

int Probe(const char* path) {
  int result = TryOpen(path, GENERIC_READ, FILE_SHARE_WRITE, OPEN_EXISTING, 1, 4);
  result |= TryOpen(path, GENERIC_WRITE, 0, CREATE_ALWAYS, 2, 8);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && (std::strcmp(argv[1], "hold") == 0 || std::strcmp(argv[1], "lock") == 0)) {
    return Hold(argv[1], argv[2], argv[3], argv[4]);
  }
  if (argc == 3 && std::strcmp(argv[1], "probe") == 0) return Probe(argv[2]);
  return 100;
}
