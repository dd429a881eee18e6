#include "settings/settings_win32.h"

#include <windows.h>

#include <cstring>

#include "settings/ini.h"
#include "settings/ini_win32.h"
#include "support/file_io_win32.h"

namespace {

// Longest wait for another copy of the program to finish its update of the
// file (its load, its retries and its replace take far less).
constexpr DWORD kLockWaitMs = 2000;

// 1 when the last LoadSettings could not read an existing file.
int g_settingsUnread = 0;

int IsMissing(const char* path) {
  if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return 0;
  DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Loads the settings file into the document: 1 when it was read or does not
// exist (empty document), 0 when it exists but could not be read (also when
// it holds no text the engine reads: it is then never saved over).
int LoadSettingsFile() {
  char path[kSettingsPathSize] = {};
  if (!FormatSettingsPath(path, sizeof path)) {
    IniFree();
    return 0;
  }
  for (int attempt = 0; attempt < kBusyFileAttempts; ++attempt) {
    if (attempt > 0) Sleep(kBusyFileRetryDelayMs);
    const int result = IniLoad(path);
    if (result == kIniLoaded) return 1;
    if (result == kIniNotText) return 0;
    if (IsMissing(path)) return 1;
  }
  return 0;
}

// Takes the lock that keeps two copies of the program from updating the
// settings file at once (each would write back the file as it loaded it,
// without the other's change). The lock, or nullptr when another copy held
// it for longer than kLockWaitMs.
HANDLE TakeSettingsLock() {
  char path[kSettingsPathSize] = {};
  char name[kSettingsLockNameSize] = {};
  if (!FormatSettingsPath(path, sizeof path)) return nullptr;
  MakeSettingsLockName(path, name, sizeof name);
  HANDLE lock = CreateMutexA(nullptr, FALSE, name);
  if (lock == nullptr) return nullptr;
  const DWORD waited = WaitForSingleObject(lock, kLockWaitMs);
  // An abandoned lock belonged to a copy that ended while holding it.
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return lock;
  CloseHandle(lock);
  return nullptr;
}

void ReleaseSettingsLock(HANDLE lock) {
  ReleaseMutex(lock);
  CloseHandle(lock);
}

int SaveSettingsFile() {
  char path[kSettingsPathSize] = {};
  return FormatSettingsPath(path, sizeof path) && IniSave(path);
}

}  // namespace

int LoadSettings() {
  SettingsSection();
  g_settingsUnread = !LoadSettingsFile();
  return !g_settingsUnread;
}

int GetSetting(const char* key, char* buffer, std::size_t size) {
  return static_cast<int>(IniGetValue(SettingsSection(), key, buffer, size));
}

int SetSetting(const char* key, const char* value) {
  return IniSetValue(SettingsSection(), key, value);
}

int SaveSettings() {
  if (g_settingsUnread) return 0;
  return SaveSettingsFile();
}

int SaveDialogPosition(int x, int y) {
  char xText[kPositionTextSize] = {};
  char yText[kPositionTextSize] = {};
  FormatPositionText(x, xText, sizeof xText);
  FormatPositionText(y, yText, sizeof yText);
  HANDLE lock = TakeSettingsLock();
  if (lock == nullptr) return 0;
  LoadSettings();
  int ok = SetSetting(kPositionXKey, xText) && SetSetting(kPositionYKey, yText) && SaveSettings();
  IniFree();
  ReleaseSettingsLock(lock);
  return ok;
}

int LoadDialogPosition(int* x, int* y) {
  char text[kPositionTextSize] = {};
  *x = 0;
  *y = 0;
  LoadSettings();
  GetSetting(kPositionXKey, text, sizeof text);
  *x = ParsePositionText(text);
  GetSetting(kPositionYKey, text, sizeof text);
  *y = ParsePositionText(text);
  IniFree();
  return 1;
}

int ReadSettingOf(const char* section, const char* key, char* buffer, std::size_t size) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  int length = LoadSettingsFile() ? static_cast<int>(IniGetValue(section, key, buffer, size)) : 0;
  IniFree();
  return length;
}

int StoreSettingOf(const char* section, const char* key, const char* value) {
  HANDLE lock = TakeSettingsLock();
  if (lock == nullptr) return 0;
  int ok = LoadSettingsFile();
  if (ok) {
    const IniEntry* entry = IniFindEntry(section, key);
    if (entry == nullptr || std::strcmp(entry->value, value) != 0) {
      ok = IniSetValue(section, key, value) && SaveSettingsFile();
    }
  }
  IniFree();
  ReleaseSettingsLock(lock);
  return ok;
}
