#include "run/batch_file.h"

#include <cstring>

#include "run/plan.h"
#include "support/byte_buffer.h"
#include "support/dbcs.h"
#include "support/messages.h"

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
int AppendDirectoryLine(ByteBuffer* out, const RunPlan& plan, const PlanBlock& block) {
  char piece[kQuotedPathSize];
  QuotePathPiece(block.folder, kBatchLineForm, piece);
  return AppendText(out, kClearErrorLevelLine) && AppendText(out, kEnterDirectoryCommand) &&
         AppendBatchText(out, piece, block.name.fromDisk) && AppendText(out, kLineEnd) &&
         AppendText(out, plan.pauseAtEnd ? kPauseAndStopOnFailureLine : kStopOnFailureLine);
}

// One block: unless its folder is empty, its "pushd" line, then its
// command lines (from `*line` on), and, when it is whole, "popd".
int PrintBlock(const RunPlan& plan, const PlanBlock& block, int whole, const char** line,
               ByteBuffer* out) {
  const int folder = block.folder[0] != '\0';
  if (folder && !AppendDirectoryLine(out, plan, block)) return 0;
  for (int i = 0; i < block.count; ++i) {
    if (!AppendText(out, *line) || !AppendText(out, kLineEnd)) return 0;
    *line = NextText(*line);
  }
  return !folder || !whole || AppendText(out, kLeaveDirectoryLine);
}

}  // namespace

int StartsWithDriveAndRoot(const char* text) {
  return text[0] != '\0' && text[1] == ':' && text[2] == '\\';
}

int PrintBatchFile(const RunPlan& plan, ByteBuffer* out) {
  if (StartsWithDriveAndRoot(plan.currentDirectory)) {
    AppendBytes(out, plan.currentDirectory, 2);
    AppendText(out, kLineEnd);
  }
  // A plan that stopped leaves its last block without "popd" and the file
  // without "pause".
  const int stopped = plan.error >= 0;
  const char* line = plan.lines.data;
  const int blocks = BlockCount(plan);
  for (int i = 0; i < blocks; ++i) {
    if (!PrintBlock(plan, BlockAt(plan, i), !stopped || i + 1 < blocks, &line, out)) {
      return kBatchOutOfMemory;
    }
  }
  if (plan.error == kErrorLineTooLong) return kBatchLineTooLong;
  if (stopped) return kBatchOutOfMemory;
  if (plan.pauseAtEnd) AppendText(out, kPauseLine);
  if (plan.walkAborted) return kBatchWalkAborted;
  return out->failed ? kBatchOutOfMemory : kBatchComplete;
}
