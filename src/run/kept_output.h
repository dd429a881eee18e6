// What the run list keeps of the output of its commands: for each command
// started with its output taken in, the last bytes it wrote to standard
// output and standard error (one stream, in the order written), within a
// limit per command and a limit for all commands together; and the text its
// output window and the log with output show of them. Reader threads add
// bytes while the dialog's thread reads, so every operation holds the
// store's lock (the record's `lock`, none in a single thread).
#pragma once

#include <cstddef>
#include <cstdint>

#include "support/byte_buffer.h"

// The limits of the program: the last 256 KB of each command, 64 MB in all.
inline constexpr std::size_t kKeptOutputBytes = 256 * 1024;
inline constexpr std::uint64_t kAllOutputBytes = 64ULL * 1024 * 1024;

// The lines the output text can hold besides the bytes themselves.
inline constexpr char kOutputLeftOutFormat[] = "(この前の %s バイトは省きました)";
inline constexpr char kOutputNotTakenText[] =
    "出力は取り込んでいません (出力 コンソール で実行しました)";
inline constexpr char kOutputDroppedText[] =
    "出力の合計が 64 MB を超えたので、この出力は捨てました";
inline constexpr char kOutputStoppedAloneText[] =
    "ジョブに入れられなかったので、停止ではこのコマンドのプロセスだけを終了しました";

inline constexpr char kOutputPriorityAloneText[] =
    "ジョブに優先度を設定できなかったので、優先度はこのコマンドのプロセスだけに設定しました";

// What the output of one command says besides its bytes: a set of notes.
enum OutputNote { kNoteNone = 0, kNoteStoppedAlone = 1, kNotePriorityAlone = 2 };

// How a command has ended, for the order in which outputs are dropped.
enum OutputEnd { kOutputRunning = 0, kOutputEndedZero = 1, kOutputEndedOtherwise = 2 };

// The output of one command.
struct KeptOutput {
  char* ring;             // its bytes: in order while it grows; once full,
  std::size_t capacity;   // the oldest at `start`
  std::size_t size;
  std::size_t start;
  int full;               // 1 once new bytes overwrite the oldest
  std::uint64_t total;    // bytes written in all
  int taken;              // 1 when the output is taken in
  int end;                // OutputEnd
  int dropped;            // 1 once dropped to keep within the limit of all
  int note;               // OutputNote bits
  unsigned shape;         // changes when the text changes other than by growing
};

// The outputs of a run list: record i belongs to the i-th started command.
struct OutputStore {
  ByteBuffer records;          // KeptOutput[]
  std::size_t perCommand;      // bytes kept of one command
  std::uint64_t all;           // bytes held for all commands together
  std::uint64_t held;          // bytes held now
  void (*lock)(int enter);     // null when one thread does everything
};

// An empty store with its limits.
void BeginOutputs(OutputStore* store, std::size_t perCommand, std::uint64_t all,
                  void (*lock)(int enter));

// Releases every output (once no reader thread adds to the store).
void FreeOutputs(OutputStore* store);

// The record of the next started command; `taken` says whether its output is
// taken in. Its index, or -1 when there was no memory for it.
int AddOutput(OutputStore* store, int taken);

// Bytes the command wrote. When they do not fit, the oldest go: past the
// command's own limit its oldest bytes, and to keep within the limit of all,
// the outputs of other commands as a whole: those of commands that ended with
// 0 first, then those of the others that ended, then those still running,
// each oldest first.
void TakeOutput(OutputStore* store, int index, const char* bytes, std::size_t n);

// The command ended (OutputEnd); its output may now be dropped first.
void EndOutput(OutputStore* store, int index, int end);

// 1 when the output is taken in; the bytes written to it in all.
int OutputTaken(const OutputStore& store, int index);
std::uint64_t OutputWritten(const OutputStore& store, int index);

// Adds a note to the output (its notes show in the order of OutputNote).
void NoteOutput(OutputStore* store, int index, int note);

// The text of an output as its window shows it: a first line saying how many
// bytes were left out before the kept ones, when some were; the bytes as
// written, a zero byte as a blank and every line end (LF, CRs with or
// without an LF) as CR LF; the note's line last. Only whole characters:
// once bytes were left out, the text starts at the first kept byte below
// 0x40 (the oldest kept byte may be the second of a character; a byte
// below 0x40 never is, so a character starts there), and a lead byte written last waits for its
// second byte. An output not taken in, or
// dropped, is one line saying so. 0 when `out` could not grow.
int ComposeOutputText(const OutputStore& store, int index, ByteBuffer* out);

// What an output window shows, to bring it up to date at small cost.
struct OutputView {
  int index = -1;             // the output shown, -1 for none
  std::uint64_t seen = 0;     // its total when last shown
  std::size_t shown = 0;      // the end of its kept bytes shown
  unsigned shape = 0;
  int afterLineEnd = 0;       // the last byte shown ended a line with a CR
};

enum OutputViewChange { kViewSame = 0, kViewMore = 1, kViewAnew = 2 };

// Brings `view` to the output `index` as it is now: kViewSame with nothing
// to do; kViewMore with the text to add at the end in `out`, when only bytes
// were added and none left out; otherwise kViewAnew with the whole text in
// `out`.
int UpdateOutputView(const OutputStore& store, int index, OutputView* view, ByteBuffer* out);
