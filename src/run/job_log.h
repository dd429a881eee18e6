// The run list's job log: one tab-separated line per started command, and
// the texts of its save dialog.
#pragma once

#include "run/run_list.h"
#include "support/byte_buffer.h"

// The job log and its save dialog.
inline constexpr char kLogSaveTitle[] = "タビクス：ログ保存";
inline constexpr char kLogDialogTitle[] = "ログに名前を付けて保存";
inline constexpr char kLogFilter[] = "ログファイル (*.tsv)\0*.tsv\0すべてのファイル (*.*)\0*.*\0";
inline constexpr char kLogDefaultExtension[] = "tsv";
inline constexpr char kLogProposedName[] = "tavix-log.tsv";
inline constexpr char kLogHeader[] = "番号\t開始\t秒\t終了コード\tコマンドライン\r\n";


// The job log: kLogHeader, then one line per started command in start
// order: position, start time, seconds with three decimals, exit code (or
// 起動失敗, or empty while it runs) and the command line as launched
// (ComposeCommandLine with the command interpreter `shell`), CR LF after
// each. 0 when the buffer could not grow.
int ComposeRunLog(const RunListState& state, const char* shell, ByteBuffer* out);
