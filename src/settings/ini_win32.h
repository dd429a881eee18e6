// Loading and saving the INI engine's one document (settings/ini.h).
#pragma once

// Discards the document, then reads the whole file at `path` with one read
// into one block and parses it. 1 when read and parsed; 0 otherwise (the
// file cannot be opened, could not be read whole, or memory ran out), the
// document then empty.
int IniLoad(const char* path);

// Writes the whole document to `path` through a temporary file that replaces
// the old one in one step (support/safe_replace_win32.h). 1 when the file
// holds the document; 0 otherwise, the old file then unchanged.
int IniSave(const char* path);
