// Loading and saving the INI engine's one document (settings/ini.h).
#pragma once

// How IniLoad ended.
enum IniLoadResult : int {
  kIniNotRead = 0,   // the file could not be opened or read whole, or memory ran out
  kIniLoaded = 1,    // the document holds the file
  kIniNotText = 2,   // the file is not text the engine reads (IniTextIsReadable)
};

// Discards the document, then reads the whole file at `path` with one read
// into one block and parses it. Returns an IniLoadResult; unless kIniLoaded,
// the document is empty.
int IniLoad(const char* path);

// Writes the whole document to `path` through a temporary file that replaces
// the old one in one step (support/safe_replace_win32.h). 1 when the file
// holds the document; 0 otherwise, the old file then unchanged.
int IniSave(const char* path);
