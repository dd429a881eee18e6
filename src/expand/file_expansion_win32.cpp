#include "expand/file_expansion_win32.h"

#include <cstring>
#include <initializer_list>

#include "expand/file_expansion.h"
#include "resource.h"
#include "support/message_box_win32.h"
#include "support/control_text_win32.h"

namespace {

constexpr int kFileEditIds[kArgumentRowCount] = {
    IDC_ARG1_FILE, IDC_ARG2_FILE, IDC_ARG3_FILE, IDC_ARG4_FILE,
    IDC_ARG5_FILE, IDC_ARG6_FILE, IDC_ARG7_FILE, IDC_ARG8_FILE};

HANDLE g_findHandle = INVALID_HANDLE_VALUE;

void CopyEntry(const WIN32_FIND_DATAA& data, FoundEntry* entry) {
  entry->attributes = data.dwFileAttributes;
  std::memcpy(entry->name, data.cFileName, sizeof entry->name);
  entry->name[sizeof entry->name - 1] = '\0';
  std::memcpy(entry->shortName, data.cAlternateFileName, sizeof entry->shortName);
  entry->shortName[sizeof entry->shortName - 1] = '\0';
}

int SystemFindFirst(const char* pattern, FoundEntry* entry) {
  WIN32_FIND_DATAA data;
  g_findHandle = FindFirstFileA(pattern, &data);
  if (g_findHandle == INVALID_HANDLE_VALUE) return 0;
  CopyEntry(data, entry);
  return 1;
}

int SystemFindNext(FoundEntry* entry) {
  WIN32_FIND_DATAA data;
  if (g_findHandle == INVALID_HANDLE_VALUE || !FindNextFileA(g_findHandle, &data)) return 0;
  CopyEntry(data, entry);
  return 1;
}

void SystemFindClose() {
  if (g_findHandle != INVALID_HANDLE_VALUE) ::FindClose(g_findHandle);
  g_findHandle = INVALID_HANDLE_VALUE;
}

int SystemEntryExists(const char* path) {
  return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

constexpr SearchSource kSystemSearch = {SystemFindFirst, SystemFindNext, SystemFindClose,
                                        SystemEntryExists};

}  // namespace

const SearchSource& SystemSearchSource() {
  return kSystemSearch;
}

int StartFileExpansion(HWND dialog, const char* baseDirectory) {
  char fileTexts[kArgumentRowCount][kRowTextSize];
  for (int i = 0; i < kArgumentRowCount; ++i) {
    ReadControlText(dialog, kFileEditIds[i], fileTexts[i], kRowTextSize);
  }
  char folder[kRowTextSize];
  ReadControlText(dialog, IDC_CURPATH, folder, sizeof folder);
  SetCommandFolder(folder);
  return BeginFileExpansion(fileTexts, baseDirectory, &kSystemSearch);
}

void ReportLeftOutNames(HWND owner, const char* caption) {
  for (int reason : {kNotInCodePage, kChangedByCmd}) {
    char text[2 * kRowTextSize];
    if (FormatLeftOutReport(text, sizeof text, reason)) ShowInformationText(owner, caption, text);
  }
}
