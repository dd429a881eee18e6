// Names handed to and taken from the system's file dialogs: a proposed name
// the dialogs accept, and a chosen path that must fit the program's buffers
// whole. No system calls.
#pragma once

#include <cstddef>

// Shown when a chosen path does not fit the 260-byte path buffers.
inline constexpr char kChosenPathTooLongText[] =
    "パスが長すぎます\n259バイトまでのパスを選んでください";

// Copies `text` into `out` (`size` bytes) as a file name the dialogs take:
// every single-byte character that Windows refuses in a file name
// (\ / : * ? " < > | and the control bytes) becomes "_"; bytes of double-byte
// characters stay as they are. Cut to whole characters when it does not fit.
void MakeProposedFileName(const char* text, char* out, std::size_t size);

// Copies `name` whole into `out` (`size` bytes): 1 when it fits with its
// terminator; 0 when it does not, `out` then untouched. A path is never cut.
int CopyWholeName(char* out, std::size_t size, const char* name);
