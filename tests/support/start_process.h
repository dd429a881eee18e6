// Starting the helper programs and the program under test from a test.
#pragma once

#include <windows.h>

// CreateProcessA with no security attributes, no inherited handles and the
// environment of the test. Wine now and then refuses a start with
// ERROR_INTERNAL_ERROR when a fresh prefix is busy; such a start is tried
// again a few times. Any other failure returns at once, with its error.
BOOL StartTestProcess(const char* application, char* commandLine, DWORD flags,
                      const char* currentDirectory, STARTUPINFOA* startup,
                      PROCESS_INFORMATION* process);
