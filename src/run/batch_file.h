// Batch files: the bytes of the batch file of one parameter set. In order: a
// drive line ("D:") when the current directory starts with a drive and a
// backslash; one block per directory the directory walk hands out, or one
// block for the typed current directory, or one block without a folder line
// when there is none; a "pause" line when the option asks for it. A block is
// "pushd <directory>", one command line per argument text of the file
// expansion, and "popd", so that every block starts where the file started.
// The directory line stands between "@(call )" and "@if errorlevel 1 exit /b
// 1" (with the pause line on, "@if errorlevel 1 (pause & exit /b 1)"), so
// that the file stops where a folder cannot be entered. A batch file as the
// program runs in a child cmd (ComposeBatchLine). Every line ends with CR LF.
//
// The plan (run/plan.h) holds the blocks and the command lines; the writer
// adds only the drive line, the folder lines with their guards, and pause.
#pragma once

#include <cstddef>

#include "run/command_line.h"

struct ByteBuffer;
struct RunPlan;

// Captions and texts of batch writing and of the save dialog.
inline constexpr char kBatchFileTitle[] = "タビクス：バッチファイル出力";
inline constexpr char kCommandBuildTitle[] = "タビクス：実行コマンド作成";
inline constexpr char kSaveBatchDialogTitle[] = "バッチファイルに名前を付けて保存";
// Pairs of label and pattern, the list ended by an empty text.
inline constexpr char kSaveBatchFilter[] =
    "バッチファイル (*.bat)\0*.bat\0すべてのファイル (*.*)\0*.*\0";
inline constexpr char kBatchDefaultExtension[] = "bat";
inline constexpr std::size_t kBatchNameSize = 261;  // the save dialog's name buffer

// How printing a batch file ended.
enum BatchResult : int {
  kBatchComplete = 1,     // every line is in the buffer
  kBatchLineTooLong = 2,  // a command did not fit: the program error kErrorLineTooLong is due
  kBatchWalkAborted = 3,  // the directory walk ran out of memory and has said so
  kBatchOutOfMemory = 4,  // the plan or the buffer could not grow
};

// Appends the whole batch file of the batch plan `plan` (run/plan.h) to
// `out` and returns a BatchResult. When the plan stopped at a command that
// did not fit, the buffer holds the lines before it; after a walk abort it
// holds the blocks planned until then and the pause line.
int PrintBatchFile(const RunPlan& plan, ByteBuffer* out);

// 1 when `text` starts with a drive letter, a colon and a backslash.
int StartsWithDriveAndRoot(const char* text);
