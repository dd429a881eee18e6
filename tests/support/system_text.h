// The system's own message texts, for comparing what the program shows.
// Windows only.
#pragma once

#include <windows.h>

#include <string>

// The system's text for an error code, as FormatMessageA gives it (with its
// line end); empty when the system has none.
std::string SystemErrorText(DWORD code);
