// Splitting a command-line tail into arguments as the C runtime does for a
// program's argv: blanks and tabs separate arguments outside quotes; a double
// quote starts or ends a quoted part; 2n backslashes before a quote give n
// backslashes and the quote is a delimiter, 2n+1 give n and a literal quote;
// "" inside a quoted part gives a literal quote; other backslashes are kept.
// The second byte of a double-byte character is never a backslash, a quote
// or a blank. No system calls.
#pragma once

#include <cstddef>

// Copies the next argument of `tail` (from `*cursor`) into `out` (at most
// `size` - 1 bytes; a longer argument is cut, and *cut set to 1 when `cut`
// is given) and moves `*cursor` past it and the blanks after it. Returns 0
// when no argument is left.
int NextArgument(const char** cursor, char* out, std::size_t size, int* cut = nullptr);

// Number of arguments in `tail`.
int CountArguments(const char* tail);
