// File access in the program's four fixed open modes, and single-call reads
// and writes. No wrapper shows a message; failures come back as
// INVALID_HANDLE_VALUE, a 0 count or a 0 result.
#pragma once

#include <windows.h>

// How often, and how far apart, opening or replacing a file is tried while
// another program (a scanner, a backup tool) has it open for a moment.
inline constexpr int kBusyFileAttempts = 10;
inline constexpr DWORD kBusyFileRetryDelayMs = 50;

// Existing file, GENERIC_READ, no sharing, OPEN_EXISTING.
HANDLE OpenForRead(const char* path);

// Existing file, GENERIC_READ, FILE_SHARE_WRITE only, OPEN_EXISTING: others
// may write the file but nobody else may read it while the handle is held.
HANDLE OpenForReadShared(const char* path);

// New or truncated file, GENERIC_WRITE, no sharing, CREATE_ALWAYS.
HANDLE CreateForWrite(const char* path);

// A file that does not exist yet, GENERIC_WRITE, no sharing, CREATE_NEW:
// fails (ERROR_FILE_EXISTS) rather than touch an existing file.
HANDLE CreateNewForWrite(const char* path);

// Opens the file with no access rights, no sharing, OPEN_EXISTING and closes
// it again at once: 1 if the open succeeded, else 0.
int FileExists(const char* path);

// Closes a handle; the system's result (nonzero on success).
int CloseFile(HANDLE handle);

// One read of up to n bytes: the count actually read, 0 on failure.
DWORD ReadBytes(HANDLE handle, void* buffer, DWORD n);

// One write of n bytes: the count actually written, 0 on failure.
DWORD WriteBytes(HANDLE handle, const void* buffer, DWORD n);

// Size of an open file in bytes; 0 when it cannot be read or is 4 GiB or more.
DWORD GetSmallFileSize(HANDLE handle);
