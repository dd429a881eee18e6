#include "run/batch_file.h"

#include <cstring>

#include "expand/directory_walk.h"
#include "expand/file_expansion.h"
#include "run/command_list.h"
#include "support/byte_buffer.h"
#include "support/dbcs.h"
#include "support/format_text.h"
#include "support/messages.h"
#include "support/path_split.h"

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kPauseLine[] = "pause\r\n";
// Every block enters its folder with "pushd" and leaves it with "popd":
// pushd changes the drive too, enters a UNC folder (through a drive letter
// of its own), and takes a relative folder from where the file started, as
// each block leaves the file where it found it.
constexpr char kEnterDirectoryCommand[] = "pushd ";
constexpr char kLeaveDirectoryLine[] = "popd\r\n";
// Around every directory line: the error level is cleared before it and
// tested after it, so that the file stops where the folder cannot be entered
// (cmd's own message stays on screen, and with the pause line on, the window
// waits) and no command runs in another folder than the one it was written
// for. The added lines do not echo.
constexpr char kClearErrorLevelLine[] = "@(call )\r\n";
constexpr char kStopOnFailureLine[] = "@if errorlevel 1 exit /b 1\r\n";
constexpr char kPauseAndStopOnFailureLine[] = "@if errorlevel 1 (pause & exit /b 1)\r\n";

// Copies at most 259 characters of `text` into a 260-byte buffer.
void CopyRowText(char* out, const char* text) {
  std::size_t length = strnlen(text, kRowTextSize - 1);
  std::memcpy(out, text, length);
  out[length] = '\0';
  CutToWholeCharacters(out);
}

// Appends `text`; when it was found on disk every '%' is written twice, so
// that cmd reads the name as it is.
int AppendBatchText(ByteBuffer* out, const char* text, int fromDisk) {
  if (!fromDisk) return AppendText(out, text);
  const char* run = text;
  for (const char* p = text; *p != '\0'; p = NextChar(p)) {
    if (CharLength(p) != 1 || *p != '%') continue;
    if (!AppendBytes(out, run, static_cast<std::size_t>(p + 1 - run))) return 0;
    run = p;  // the '%' starts the next run, so it is written twice
  }
  return AppendText(out, run);
}

// "pushd " and the directory as a path piece of a batch line, quoted
// whenever it needs it, between the lines that stop the file when it fails.
int AppendDirectoryLine(ByteBuffer* out, const ParameterSet& set, const char* directory,
                        int fromDisk) {
  char text[kRowTextSize];
  CopyRowText(text, directory);
  char piece[kQuotedPathSize];
  QuotePathPiece(text, kBatchLineForm, piece);
  return AppendText(out, kClearErrorLevelLine) && AppendText(out, kEnterDirectoryCommand) &&
         AppendBatchText(out, piece, fromDisk) && AppendText(out, kLineEnd) &&
         AppendText(out, set.pauseAtEnd ? kPauseAndStopOnFailureLine : kStopOnFailureLine);
}

// 1 when the commands of a block would hand a walked folder's name to a
// program that cmd reads again, and cmd would change that name.
int FolderNameChangedByCmd(const ParameterSet& set, int fromDisk) {
  if (!fromDisk) return 0;
  const char* changed = CmdChangedCharacters(ProgramLineForm(set.programText, 1));
  if (changed[0] == '\0' || FindAnyCharDbcs(g_currentFolderName, changed) == nullptr) return 0;
  for (const ArgumentRow& row : set.rows.row) {
    char text[kRowTextSize];
    CopyRowText(text, row.fileText);
    if (IsPlainFileText(text) && HoldsFolderNameToken(text)) return 1;
  }
  return 0;
}

// 1 when a typed directory holding a '%' names an existing folder: it is
// then written as a name from disk.
int TypedDirectoryOnDisk(const SearchSource& search, const char* directory) {
  char text[kRowTextSize];
  CopyRowText(text, directory);
  RemoveEnclosingQuotes(text);
  return FindCharDbcs(text, '%') != nullptr && search.exists != nullptr && search.exists(text);
}

// One block: unless `directory` is empty, its "pushd" line, its commands and
// "popd". A walked folder whose name the commands could not hand on as it is
// gives no block and is counted as left out.
int WriteBlock(const ParameterSet& set, const BatchSystem& system, const char* directory,
               int walked, ByteBuffer* out) {
  if (directory[0] == '\0') return WriteCommandLines(set, system, nullptr, 0, out);
  const int fromDisk = walked || TypedDirectoryOnDisk(*system.search, directory);
  SetCurrentFolderName(directory, fromDisk);
  if (FolderNameChangedByCmd(set, fromDisk)) {
    UseNameInForm(g_currentFolderName, kCmdBatchLineForm);
    return kBatchComplete;
  }
  if (!AppendDirectoryLine(out, set, directory, fromDisk)) return kBatchOutOfMemory;
  // Only a walked directory is a base for relative file texts.
  const int result = WriteCommandLines(set, system, directory, walked, out);
  if (result == kBatchComplete && !AppendText(out, kLeaveDirectoryLine)) return kBatchOutOfMemory;
  return result;
}

}  // namespace

int StartsWithDriveAndRoot(const char* text) {
  return text[0] != '\0' && text[1] == ':' && text[2] == '\\';
}

void SetCurrentFolderName(const char* directory, int fromDisk) {
  g_currentFolderName[0] = '\0';
  g_currentFolderNameFromDisk = 0;
  if (directory == nullptr || directory[0] == '\0') return;
  char text[kRowTextSize];
  CopyRowText(text, directory);
  RemoveEnclosingQuotes(text);
  char name[kMaxFname];
  char extension[kMaxExt];
  SplitPath(text, nullptr, nullptr, name, extension);
  if (FormatText(g_currentFolderName, sizeof g_currentFolderName, "%s%s", name, extension) < 0) {
    CutToWholeCharacters(g_currentFolderName);
  }
  g_currentFolderNameFromDisk = fromDisk;
}

int WriteCommandLines(const ParameterSet& set, const BatchSystem& system, const char* directory,
                      int walked, ByteBuffer* out) {
  CommandList commands{};
  const CommandPlace place = {system.search, 1, directory, walked, system.targets};
  const int error = ComposeCommands(set, place, &commands);
  int result = error == kErrorNoMemory ? kBatchOutOfMemory : kBatchComplete;
  const char* arguments = commands.arguments.data;
  for (int i = 0; i < commands.count && result == kBatchComplete; ++i) {
    char line[kBatchLineSize];
    if (!ComposeBatchLine(set.programText, arguments, line, sizeof line) ||
        !AppendText(out, line) || !AppendText(out, kLineEnd)) {
      result = kBatchOutOfMemory;
    }
    arguments += std::strlen(arguments) + 1;  // an empty argument text is a command too
  }
  FreeCommandList(&commands);
  if (result == kBatchComplete && error == kErrorLineTooLong) result = kBatchLineTooLong;
  return result;
}

int ComposeBatchFile(const ParameterSet& set, const BatchSystem& system, ByteBuffer* out) {
  char directory[kRowTextSize];
  CopyRowText(directory, set.currentDirectory);
  if (StartsWithDriveAndRoot(directory)) {
    AppendBytes(out, directory, 2);
    AppendText(out, kLineEnd);
  }
  SetCurrentFolderName(nullptr, 0);
  ResetLeftOutNames();

  int result = kBatchComplete;
  if (StartDirectoryWalk(*system.walk, directory)) {
    char walked[kRowTextSize];
    while (result == kBatchComplete && TakeWalkDirectory(*system.walk, walked, sizeof walked)) {
      result = WriteBlock(set, system, walked, 1, out);
    }
    EndDirectoryWalk(*system.walk);
  } else {
    result = WriteBlock(set, system, directory, 0, out);
  }
  if (result != kBatchComplete) return result;
  if (set.pauseAtEnd) AppendText(out, kPauseLine);
  if (WalkAborted()) return kBatchWalkAborted;
  return out->failed ? kBatchOutOfMemory : kBatchComplete;
}
