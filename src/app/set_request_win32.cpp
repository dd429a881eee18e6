#include "app/set_request_win32.h"

#include <windows.h>

#include "support/argument_split.h"
#include "support/format_text.h"

namespace {

// Longest full name the system makes of a piece.
constexpr DWORD kWideNameSize = 32768;

// The piece in the code page: 1, 0 when a character had no exact
// counterpart (it then stands as '?'), -1 when it does not fit.
int ToCodePage(const wchar_t* piece, char* out, std::size_t size) {
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, piece, -1, out, static_cast<int>(size),
                                         nullptr, &usedDefault);
  if (length == 0) {
    if (size > 0) out[0] = '\0';
    return -1;
  }
  return usedDefault ? 0 : 1;
}

int FileNameInCodePage(const wchar_t* piece, char* out, std::size_t size) {
  static wchar_t full[kWideNameSize];
  static wchar_t shortName[kWideNameSize];
  const DWORD length = GetFullPathNameW(piece, kWideNameSize, full, nullptr);
  if (length == 0 || length >= kWideNameSize) return ToCodePage(piece, out, size);
  const int result = ToCodePage(full, out, size);
  if (result != 0) return result;
  // The long name has characters the code page lacks: its short name, when
  // the file system keeps one, names the same file in plain letters.
  const DWORD shortLength = GetShortPathNameW(full, shortName, kWideNameSize);
  if (shortLength == 0 || shortLength >= kWideNameSize) return 0;
  char converted[MAX_PATH * 2];
  if (ToCodePage(shortName, converted, sizeof converted) != 1) return 0;
  return FormatText(out, size, "%s", converted) >= 0 ? 1 : -1;
}

constexpr RequestPlatform kSystemRequestPlatform = {ToCodePage, FileNameInCodePage};

}  // namespace

int ReadProcessSetRequest(SetRequest* request) {
  return ReadSetRequest(WideCommandLineTail(GetCommandLineW()), kSystemRequestPlatform, request);
}
