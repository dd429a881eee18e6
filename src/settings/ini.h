// The program's INI engine: one document in memory at a time, parsed in place
// over a text block that the document owns. Byte-oriented and permissive: no
// comments, no trimming, no escapes, names compared byte-wise and
// case-sensitively. Never shows a message; every failure is a 0 result.
// Loading and saving files is the Win32 side's (settings/ini_win32.h).
#pragma once

#include <cstddef>

struct ByteBuffer;

struct IniEntry {
  char* key;
  unsigned char keyOwned;  // 1: a copy of its own; 0: points into the text block
  char* value;
  unsigned char valueOwned;
  IniEntry* next;
  IniEntry* previous;
};

struct IniSection {
  char* name;
  unsigned char nameOwned;
  IniEntry* firstEntry;
  IniEntry* lastEntry;
  IniSection* next;
  IniSection* previous;
};

// A zero-filled block of textSize + 1 bytes for IniParseBlock (the extra zero
// byte ends the text), or nullptr when there is no memory.
char* IniNewBlock(std::size_t textSize);

// Releases a block from IniNewBlock that was not handed to IniParseBlock.
void IniDeleteBlock(char* block);

// Whether the `size` bytes of a settings file are text the engine reads: a
// UTF-16 file, or one with a zero byte inside, is not (the parse would end at
// the first zero byte, and a save would drop everything after it).
int IniTextIsReadable(const char* bytes, std::size_t size);

// Discards the current document, takes ownership of `block` (from
// IniNewBlock, its text ended by a zero byte) and parses it in place into the
// document. A UTF-8 byte-order mark at the start is skipped, and written
// again by IniWriteDocument. 0 when a record could not be allocated: the
// document is then empty again and the block released.
int IniParseBlock(char* block);

// Discards the document: every record, every owned text and the text block.
void IniFree();

// The first entry `key` in the first section named `section` that has it
// (sections of the same name are searched in order), or nullptr.
IniEntry* IniFindEntry(const char* section, const char* key);

// Copies the value into `buffer` (`size` bytes with the terminator), cut to
// size - 1 bytes, and returns the length copied. A missing entry gives 0 and
// an empty buffer. With no buffer, returns the value's full length.
std::size_t IniGetValue(const char* section, const char* key, char* buffer, std::size_t size);

// Replaces the value of the entry in place, or appends the entry to the first
// section of that name, or appends a new section holding it. 1 when stored,
// 0 when memory ran out (an existing entry then keeps its value).
int IniSetValue(const char* section, const char* key, const char* value);

// Appends the whole document as a file's bytes: the UTF-8 mark when the
// parsed text had one, then per section "[name]" CR LF, then "key=value"
// CR LF per entry. 0 when the buffer could not grow.
int IniWriteDocument(ByteBuffer* out);
