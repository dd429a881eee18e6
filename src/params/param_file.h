// The parameter file in memory: its path, the in-place parser that turns the
// file's text block into the set list, lookups in the set list, and the bytes
// of a rewritten file. No system calls here.
#pragma once

#include <cstddef>

#include "params/field_table.h"
#include "support/program_paths.h"

struct ByteBuffer;

// The cursor step of the parser, in a text block whose last byte, at `end`,
// is zero. From `cursor`, finds the first byte below 0x20 (the line end; a
// zero byte inside the text is one as well). Returns nullptr when that is
// `end`; otherwise writes a zero byte there, skips it and every further byte
// below 0x20, and returns the first byte of the next line, or nullptr when
// that is `end`.
char* NextLine(char* cursor, const char* end);

// Whether the `size` bytes of a parameter file are text the parser reads:
// a UTF-16 file is not (it would be read as garbage and lost at the next
// save). A zero byte inside ANSI text only ends a line.
int ParameterTextIsReadable(const char* bytes, std::size_t size);

// Whether the `size` bytes of a file not named as a parameter file read as
// one: at least one line, and every line that is not empty a "[name]" header
// or a line of a field key and "=" (a UTF-8 byte-order mark at the start is
// allowed). `bytes[size]` must be a zero byte. A file that does not could be anything a user keeps, so it must
// never be taken and rewritten.
int TextReadsAsParameterFile(const char* bytes, std::size_t size);

// Parses a writable text block of `size` bytes and a terminating zero in
// place and appends its sets to the set list (which the caller has emptied).
// A UTF-8 byte-order mark at the start is skipped (AppendParameterFileMark
// writes it again); zero bytes inside end lines like the other control
// bytes, so no set after one is lost. Names and values point into `text`,
// which must outlive the set list. Returns 0 when a record could not be
// allocated; the set list is then empty again.
int ParseParameterText(char* text, std::size_t size);

// Appends the UTF-8 byte-order mark when the parsed file began with one, so
// that a rewrite keeps it. 0 when the buffer could not grow.
int AppendParameterFileMark(ByteBuffer* out);

// Frees every record of the set list and empties it (the text block is the
// caller's), and forgets a byte-order mark.
void FreeStoredSets();

// Head of the set list (file order), or nullptr.
StoredSet* FirstStoredSet();

// The first stored set named exactly `name` (byte-wise), or nullptr.
StoredSet* FindStoredSet(const char* name);

// Unlinks and frees the first stored set named `name`: 1 if one was removed.
int RemoveStoredSet(const char* name);

// The set that applying `name` uses: the first stored set of that name; when
// the set list is empty, the empty set for "default"; otherwise nullptr.
const StoredSet* FindSetForApply(const char* name);

// The bytes of a rewritten parameter file: when `live` is given, its section
// under `name` first; then every stored set in list order, leaving out the
// first one named `skipName` (nullptr: none). 0 when the buffer could not grow.
int BuildParameterFileText(ByteBuffer* out, const char* name, const LiveSet* live,
                           const char* skipName);
