// What the run list says of its commands: each row, the status line, each
// line of the job log and the caption of each output window, made from the
// same fields by the same functions, so that they cannot disagree. The
// run list's texts live here.
#pragma once

#include <cstddef>
#include <cstdint>

#include "run/run_list.h"
#include "support/byte_buffer.h"

// What a row or log line says of a command that could not be started, and of
// one that was stopped; what a row says of a command that may be waiting for
// input (kQuietMs).
inline constexpr char kStartFailedText[] = "起動失敗";
inline constexpr char kStoppedText[] = "停止";
inline constexpr char kMayWaitText[] = "入力待ち?";

// Caption of the output window: the command's number.
inline constexpr char kOutputTitleFormat[] = "出力 - %d";

// The status line of a list that nothing matched, with the pattern searched.
inline constexpr char kNoMatchFormat[] = "一致するファイルがありません: %s";

// Room for one row of the list: an exit code, a duration and an argument
// text of at most 511 characters, with the tabs between them.
inline constexpr std::size_t kRowTextCapacity = 640;
// Room for the status line (with a pattern of at most 259 characters).
inline constexpr std::size_t kStatusTextCapacity = 360;
// Room for the caption of an output window.
inline constexpr std::size_t kOutputTitleCapacity = 32;
// The status line at Ready while commands carry target marks: the commands,
// then how many carry each mark (expand/target_check.h).
inline constexpr char kMarkedStatusFormat[] = "%d 件　上書き %d　重複 %d　入力と同じ %d";

// The question when the program is closed while commands with their output
// taken in still run (or programs they left behind still write): how many.
inline constexpr char kQuitQuestionTitle[] = "タビクス";
inline constexpr char kQuitQuestionFormat[] =
    "出力を取り込んでいるコマンドが %d 件、まだ実行中です\n"
    "タビクスを終了すると、その出力はもう取り込めません (書き込みに失敗するプログラムもあります)\n"
    "終了しますか?";

// Text of a row: the argument text while it runs or has not started
// ("入力待ち?\t\t<arguments>" while it may be waiting for input); once ended
// "<exit code>\t<seconds, one decimal>秒\t<arguments>", the exit code
// "停止" when it was stopped; "起動失敗\t\t<arguments>" when it could not be
// started.
void FormatRowText(const RunListState& state, int row, char* out, std::size_t size);

// "<ended>/<total> 件終了　失敗 <n>　経過 <m:ss>" of the rows shown, with
// "　実行中 <n>" after 件終了 while commands of the list run; the time runs
// from Start to `nowMs`, or to the finish. A list without rows says
// kNoMatchFormat with its pattern; while Start is to ask first,
// kMarkedStatusFormat instead.
void FormatStatusText(const RunListState& state, std::uint64_t nowMs, char* out, std::size_t size);

// Caption of the output window of a row: kOutputTitleFormat with its number.
void FormatOutputTitle(const RunListState& state, int row, char* out, std::size_t size);

// The line of an entry in the job log, CR LF after it: number, start time,
// seconds with three decimals (empty until it ended), exit code (起動失敗,
// 停止, or empty while it runs) and the command line as launched (its
// `line`, or ComposeCommandLineIn with the command interpreter `shell`),
// tab-separated. In the log with output (`withOutput`):
// "#<number>\t<exit code>\t<seconds>\t<command line>".
void AppendLogLine(ByteBuffer* out, const RunListState& state, const RunEntry& entry,
                   const char* shell, int withOutput);
