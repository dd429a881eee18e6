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

// NextArgument over wide text (the process command line as the system
// keeps it), where every unit is one character.
int NextWideArgument(const wchar_t** cursor, wchar_t* out, std::size_t size, int* cut = nullptr);

// Number of arguments in `tail`.
int CountArguments(const char* tail);

// The wide command-line tail: what follows the program name (in double
// quotes, or up to the first blank or tab) and the blanks after it, as the
// C runtime takes argv[0] (no backslash rule inside the program name).
const wchar_t* WideCommandLineTail(const wchar_t* commandLine);

// Writes `text` as one argument in double quotes that NextArgument reads
// back as `text`: a quote becomes \", and the backslashes before a quote or
// before the closing quote are doubled. Returns the length, or -1 (and `out`
// cut) when it does not fit `size`.
int QuoteArgument(const char* text, char* out, std::size_t size);
