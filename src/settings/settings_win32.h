// The settings file tavix.ini beside the executable: loading, reading,
// changing and saving the settings of the parameter file in use, and the
// window position. The section rules and texts are in settings/settings.h.
// Never shows a message.
#pragma once

#include <cstddef>

#include "settings/settings.h"

// Fills the settings section when empty and loads tavix.ini into the INI
// document. A file that another copy of the program has open at that
// instant is tried again briefly. 1 when the document holds the file (or
// the file does not exist: empty document); 0 when an existing file could
// not be read, or is not text the INI engine reads (UTF-16, a zero byte
// inside), and then SaveSettings refuses until a load succeeds.
int LoadSettings();

// The value of `key` in the settings section (IniGetValue); its length.
int GetSetting(const char* key, char* buffer, std::size_t size);

// Sets `key` in the settings section (IniSetValue): 1 when stored.
int SetSetting(const char* key, const char* value);

// Writes the document to tavix.ini safely. 0 without writing when the last
// LoadSettings could not read an existing file (saving would drop what the
// other sections hold), or when the write failed (the file then unchanged).
int SaveSettings();

// Stores the main dialog's top-left corner in the settings section (load,
// set both keys, save, free), holding the settings lock from the load to the
// save. 1 when saved; 0 also when another copy held the lock for too long.
int SaveDialogPosition(int x, int y);

// Reads the stored top-left corner: (0, 0) for a missing file or key,
// negative and unreadable values read as 0. Always 1.
int LoadDialogPosition(int* x, int* y);

// Reads one key of `section` from the file as it is now (load, get, free):
// the value's length, 0 with an empty buffer when missing or unreadable.
int ReadSettingOf(const char* section, const char* key, char* buffer, std::size_t size);

// Reads the file afresh, sets one key of `section` and saves safely, only
// when the file does not hold that value already; frees. Holds the settings
// lock meanwhile. 1 when the file holds the value afterwards; 0 when the
// file could not be read or written, or the lock was not had in time.
int StoreSettingOf(const char* section, const char* key, const char* value);
