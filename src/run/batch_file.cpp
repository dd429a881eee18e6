#include "run/batch_file.h"

#include <cstring>

#include "expand/directory_walk.h"
#include "expand/file_expansion.h"
#include "support/byte_buffer.h"
#include "support/dbcs.h"
#include "support/format_text.h"
#include "support/path_split.h"

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kPauseLine[] = "pause\r\n";
constexpr char kDirectoryCommand[] = "cd ";

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

// "cd " and the directory as a path piece of a batch line.
int AppendDirectoryLine(ByteBuffer* out, const char* directory, int fromDisk) {
  char text[kRowTextSize];
  CopyRowText(text, directory);
  QuoteBatchPath(text);
  return AppendText(out, kDirectoryCommand) && AppendBatchText(out, text, fromDisk) &&
         AppendText(out, kLineEnd);
}

// One block: its "cd " line unless `directory` is empty, then its commands.
int WriteBlock(const BatchInput& input, const BatchSystem& system, const char* directory,
               int fromDisk, ByteBuffer* out) {
  if (directory[0] == '\0') return WriteCommandLines(input, *system.search, nullptr, out);
  if (!AppendDirectoryLine(out, directory, fromDisk)) return kBatchOutOfMemory;
  SetCurrentFolderName(directory, fromDisk);
  // Only a walked directory is a base for relative file texts.
  return WriteCommandLines(input, *system.search, fromDisk ? directory : nullptr, out);
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

int WriteCommandLines(const BatchInput& input, const SearchSource& search, const char* directory,
                      ByteBuffer* out) {
  char program[kBatchProgramTextSize];
  MakeBatchProgramText(input.programText, program);
  char fileTexts[kArgumentRowCount][kRowTextSize];
  for (int i = 0; i < kArgumentRowCount; ++i) CopyRowText(fileTexts[i], input.rows.row[i].fileText);

  const int expanding = BeginFileExpansion(fileTexts, directory, &search);
  char arguments[kArgumentTextCapacity];
  for (;;) {
    if (!AssembleArgumentText(input.rows, arguments, sizeof arguments, kBatchLineForm)) {
      // An open search still holds the match whose command did not fit;
      // otherwise the matches are used up.
      if (expanding && g_expansion.search != kSearchOpen) return kBatchComplete;
      EndFileExpansion();
      return kBatchLineTooLong;
    }
    if (!AppendText(out, program) || !AppendText(out, arguments) || !AppendText(out, kLineEnd)) {
      EndFileExpansion();
      return kBatchOutOfMemory;
    }
    if (!expanding) return kBatchComplete;
  }
}

int ComposeBatchFile(const BatchInput& input, const BatchSystem& system, ByteBuffer* out) {
  char directory[kRowTextSize];
  CopyRowText(directory, input.currentDirectory);
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
      result = WriteBlock(input, system, walked, 1, out);
    }
    EndDirectoryWalk(*system.walk);
  } else {
    result = WriteBlock(input, system, directory, 0, out);
  }
  if (result != kBatchComplete) return result;
  if (input.pauseAtEnd) AppendText(out, kPauseLine);
  if (WalkAborted()) return kBatchWalkAborted;
  return out->failed ? kBatchOutOfMemory : kBatchComplete;
}
