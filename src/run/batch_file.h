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
// Everything is decided here over a byte buffer; the file search and the
// directory walk come in through their platform records.
#pragma once

#include <cstddef>

#include "run/command_line.h"

struct ByteBuffer;
struct SearchSource;
struct TargetRecord;
struct WalkPlatform;

// Captions and texts of batch writing and of the save dialog.
inline constexpr char kBatchFileTitle[] = "タビクス：バッチファイル出力";
inline constexpr char kCommandBuildTitle[] = "タビクス：実行コマンド作成";
inline constexpr char kSaveBatchDialogTitle[] = "バッチファイルに名前を付けて保存";
// Pairs of label and pattern, the list ended by an empty text.
inline constexpr char kSaveBatchFilter[] =
    "バッチファイル (*.bat)\0*.bat\0すべてのファイル (*.*)\0*.*\0";
inline constexpr char kBatchDefaultExtension[] = "bat";
inline constexpr std::size_t kBatchNameSize = 261;  // the save dialog's name buffer

// The system behind one batch file: file search and directory walk. When
// `targets` is not null, the commands' inputs and targets are recorded
// there for the target check (expand/target_check.h), each command with
// the folder its block enters.
struct BatchSystem {
  const SearchSource* search;
  const WalkPlatform* walk;
  TargetRecord* targets = nullptr;
};

// How composing a batch file (or one block of it) ended.
enum BatchResult : int {
  kBatchComplete = 1,     // every line is in the buffer
  kBatchLineTooLong = 2,  // a command did not fit: program error 0 is due
  kBatchWalkAborted = 3,  // the directory walk ran out of memory and has said so
  kBatchOutOfMemory = 4,  // the buffer could not grow
};

// Appends the whole batch file for `set` to `out` and returns a
// BatchResult. The names left out as unusable (LeftOutNameCount) are
// counted afresh for each file. On kBatchLineTooLong the buffer holds the lines before the
// command that did not fit; after a walk abort it holds the blocks written
// until then and the pause line.
int ComposeBatchFile(const ParameterSet& set, const BatchSystem& system, ByteBuffer* out);

// Appends the command lines of one block: the commands of `set`
// (ComposeCommands), each as a batch line (ComposeBatchLine). `directory`
// (null for none) is the block's folder; when `walked` is 1 it is a folder of
// the directory walk, which relative file texts are searched in. Returns
// kBatchComplete, kBatchLineTooLong (the lines before the command that did
// not fit are written) or kBatchOutOfMemory.
int WriteCommandLines(const ParameterSet& set, const BatchSystem& system, const char* directory,
                      int walked, ByteBuffer* out);

// Sets the current folder name to the last component (name and extension)
// of `directory`, enclosing quotes not taking part; `fromDisk` tells whether
// the directory was found on disk. Null or "" empties it.
void SetCurrentFolderName(const char* directory, int fromDisk);

// 1 when `text` starts with a drive letter, a colon and a backslash.
int StartsWithDriveAndRoot(const char* text);
