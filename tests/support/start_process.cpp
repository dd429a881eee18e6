#include "start_process.h"

namespace {

constexpr int kStartAttempts = 5;
constexpr DWORD kStartRetryDelayMs = 200;

}  // namespace

BOOL StartTestProcess(const char* application, char* commandLine, DWORD flags,
                      const char* currentDirectory, STARTUPINFOA* startup,
                      PROCESS_INFORMATION* process) {
  for (int attempt = 1;; ++attempt) {
    if (CreateProcessA(application, commandLine, nullptr, nullptr, FALSE, flags, nullptr,
                       currentDirectory, startup, process)) {
      return TRUE;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_INTERNAL_ERROR || attempt >= kStartAttempts) return FALSE;
    Sleep(kStartRetryDelayMs);
  }
}
