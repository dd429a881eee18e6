// The run list's job log: one tab-separated line per started command, or the
// log with output (each command's line followed by its output), and the
// texts of its save dialog.
#pragma once

#include "run/entry_text.h"
#include "run/run_list.h"
#include "support/byte_buffer.h"

// The job log and its save dialog. The second file type of the filter is the
// log with output.
inline constexpr char kLogSaveTitle[] = "タビクス：ログ保存";
inline constexpr char kLogDialogTitle[] = "ログに名前を付けて保存";
inline constexpr char kLogFilter[] =
    "ログファイル (*.tsv)\0*.tsv\0出力付きログ (*.txt)\0*.txt\0すべてのファイル (*.*)\0*.*\0";
inline constexpr int kLogWithOutputFilterIndex = 2;
inline constexpr char kLogDefaultExtension[] = "tsv";
inline constexpr char kLogProposedName[] = "tavix-log.tsv";
inline constexpr char kLogHeader[] = "番号\t開始\t秒\t終了コード\tコマンドライン\r\n";


// The job log: kLogHeader, then the line of each started command in start
// order (AppendLogLine, run/entry_text.h, with the command interpreter
// `shell`). 0 when the buffer could not grow.
int ComposeRunLog(const RunListState& state, const char* shell, ByteBuffer* out);

// The log with output: for each started command in start order its line
// of the log with output (AppendLogLine), its output as its output window
// shows it, then an empty line. 0 when the buffer could not grow.
int ComposeRunLogWithOutput(const RunListState& state, const char* shell, ByteBuffer* out);
