#include "app/startup.h"

#include <cstdio>
#include <cstring>

#include "params/param_file.h"
#include "support/argument_split.h"
#include "support/byte_buffer.h"
#include "support/dbcs.h"
#include "support/format_text.h"
#include "support/path_split.h"

char g_buildDateText[kBuildDateTextSize];
char g_windowTitle[kWindowTitleSize];

namespace {

// Room that must stay after the executable directory for the names joined to
// it ("\tavix.tvx", "\tavix.ini") within a path of 259 characters.
constexpr std::size_t kExecutableDirectoryReserve = 10;
constexpr std::size_t kMaxPathCharacters = 259;

constexpr const char* kStartupMessages[] = {
    nullptr,
    "実行ファイルのパスの取得に失敗しました",
    "実行ファイルのパスが長すぎます",
    "引数が長すぎます",
    "引数が不正です",
    "パラメータファイルが UTF-16 (Unicode) で保存されているため読み込めません\n"
    "ANSI (Shift_JIS) で保存し直してください",
};

// The refusals of a name on the command line: the name, then what it is and
// how files are handed to the program instead.
constexpr const char* kRefusalTexts[] = {
    "%s\n\nはフォルダです。パラメータファイルとしては開けません。",
    "%s\n\nはパラメータファイル (.tvx) ではないため、開きません (ファイルは変更していません)。",
    "複数のファイルが渡されました (%s など)。\nパラメータファイルは 1 つだけ指定できます (ファイルは変更していません)。",
};
constexpr char kRefusalAdvice[] =
    "\n\nファイルをコマンドに渡して実行するには、登録した設定を指定して起動します:\n"
    "tavix.exe /set 設定名 ファイル...";

constexpr const char* kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// An extension equal to ".tvx" in any case of its letters.
bool IsParameterFileExtension(const char* ext) {
  const char* want = kParameterFileExtension;
  for (; *ext != '\0' && *want != '\0'; ++ext, ++want) {
    const char c = (*ext >= 'A' && *ext <= 'Z') ? static_cast<char>(*ext - 'A' + 'a') : *ext;
    if (c != *want) return false;
  }
  return *ext == '\0' && *want == '\0';
}

}  // namespace

const char* StartupFailureText(StartupFailure failure) {
  const int index = static_cast<int>(failure);
  if (index <= 0 || index >= static_cast<int>(sizeof kStartupMessages / sizeof kStartupMessages[0])) {
    return nullptr;
  }
  return kStartupMessages[index];
}

StartupFailure SetExecutableDirectory(const char* modulePath) {
  char drive[kMaxDrive] = {};
  char dir[kMaxDir] = {};
  SplitPath(modulePath, drive, dir, nullptr, nullptr);
  const int length = FormatText(g_executableDirectory, sizeof g_executableDirectory, "%s%s", drive, dir);
  if (length < 0 ||
      static_cast<std::size_t>(length) + kExecutableDirectoryReserve > kMaxPathCharacters) {
    return kExecutableDirectoryTooLong;
  }
  return kStartupOk;
}

const char* CommandLineTail(const char* commandLine) {
  const char* p = commandLine;
  if (*p == '"') {
    p = NextChar(p);
    while (*p != '\0' && *p != '"') p = NextChar(p);
    p = NextChar(p);  // the closing quote (at the end: stays)
  } else {
    while (*p != '\0' && *p != ' ' && *p != '\t') p = NextChar(p);
  }
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

void StripArgumentQuotes(char* text) {
  if (text[0] != '"') return;
  const std::size_t length = std::strlen(text);
  std::memmove(text, text + 1, length);  // the terminator moves along
  if (length >= 2 && text[length - 2] == '"') text[length - 2] = '\0';
}

StartupFailure ChooseParameterFile(const char* commandTail) {
  if (commandTail == nullptr || commandTail[0] == '\0') {
    SetParameterFilePath(nullptr);
    return kStartupOk;
  }
  char argument[kArgumentSize] = {};
  if (FormatText(argument, sizeof argument, "%s", commandTail) < 0) return kArgumentTooLong;
  StripArgumentQuotes(argument);
  if (!SetParameterFilePath(argument)) return kArgumentInvalid;
  return kStartupOk;
}

StartupFailure CheckCommandLineName(const char* commandTail, const StartupDisk& disk, char* named,
                                    std::size_t namedSize) {
  if (commandTail == nullptr || commandTail[0] == '\0') return kStartupOk;
  char argument[kArgumentSize] = {};
  FormatText(argument, sizeof argument, "%s", commandTail);
  StripArgumentQuotes(argument);
  char given[kParameterFilePathSize] = {};
  if (!ResolveArgumentPath(argument, given, sizeof given)) return kStartupOk;
  FormatText(named, namedSize, "%s", given);

  const int kind = disk.kindOf(given);
  if (kind == kPathIsFolder) return kArgumentIsFolder;
  if (kind == kPathIsFile) {
    char ext[kMaxExt] = {};
    SplitPath(given, nullptr, nullptr, nullptr, ext);
    if (IsParameterFileExtension(ext)) return kStartupOk;
    ByteBuffer bytes;
    const int read = disk.read(given, &bytes);
    const int taken = read == 0 || (read > 0 && TextReadsAsParameterFile(bytes.data, bytes.size));
    FreeByteBuffer(&bytes);
    return taken ? kStartupOk : kArgumentNotParameterFile;
  }
  if (disk.kindOf(g_parameterFilePath) != kNoSuchPath || CountArguments(commandTail) < 2) return kStartupOk;
  const char* cursor = commandTail;
  char piece[kArgumentSize] = {};
  while (NextArgument(&cursor, piece, sizeof piece)) {
    if (ResolveArgumentPath(piece, given, sizeof given) && disk.kindOf(given) != kNoSuchPath) {
      FormatText(named, namedSize, "%s", given);
      return kArgumentSeveralFiles;
    }
  }
  return kStartupOk;
}

void StartupRefusalText(StartupFailure failure, const char* named, char* out, std::size_t size) {
  const int index = static_cast<int>(failure) - static_cast<int>(kArgumentIsFolder);
  if (index < 0 || index >= static_cast<int>(sizeof kRefusalTexts / sizeof kRefusalTexts[0])) {
    FormatText(out, size, "%s", "");
    return;
  }
  const int length = FormatText(out, size, kRefusalTexts[index], named);
  if (length >= 0) FormatText(out + length, size - static_cast<std::size_t>(length), "%s", kRefusalAdvice);
}

int MakeBuildDateText(const char* buildDate, char* buffer, std::size_t size) {
  char month[16] = {};
  char day[16] = {};
  char year[16] = {};
  std::sscanf(buildDate, "%15s %15s %15s", month, day, year);

  char monthNumber[4] = {};
  const char* monthText = month;
  for (int i = 0; i < 12; ++i) {
    if (std::strcmp(month, kMonthNames[i]) == 0) {
      FormatText(monthNumber, sizeof monthNumber, "%d", i + 1);
      monthText = monthNumber;
      break;
    }
  }
  return FormatText(buffer, size, "%s/%s/%s", year, monthText, day);
}

void FormBuildDateText() {
  MakeBuildDateText(kBuildDate, g_buildDateText, sizeof g_buildDateText);
}

void ComposeTitleAndBatchPath() {
  char name[kParameterFileNameSize] = {};
  GetParameterFileName(name, kParameterFileNameLimit);
  if (std::strcmp(name, kDefaultParameterBaseName) == 0) {
    FormatText(g_windowTitle, sizeof g_windowTitle, "%s Ver.%s (%s)", kProductName, kVersionText,
               g_buildDateText);
  } else {
    FormatText(g_windowTitle, sizeof g_windowTitle, "%s Ver.%s [%s] (%s)", kProductName, kVersionText,
               name, g_buildDateText);
  }
  if (FormatText(g_batchFilePath, sizeof g_batchFilePath, "%s\\%s.bat", g_executableDirectory, name) < 0) {
    // A cut path would name some other file (without the .bat at its end);
    // with no path at all, writing the batch file simply fails.
    g_batchFilePath[0] = '\0';
  }
}
