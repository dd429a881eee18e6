// The one reader of texts typed into the controls of a dialog.
#pragma once

#include <windows.h>

#include <cstddef>

// Reads the text of control `id` into `out` (`size` bytes, at least 1): at
// most size - 1 bytes, cut back to whole characters when the limit fell
// inside a two-byte character. Returns the length read.
std::size_t ReadControlText(HWND dialog, int id, char* out, std::size_t size);
