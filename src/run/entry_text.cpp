#include "run/entry_text.h"

#include "expand/target_check.h"
#include "run/launch.h"
#include "support/format_text.h"

namespace {

int HasEnded(const RunEntry& entry) {
  return entry.state == kEntryEnded || entry.state == kEntryStopped;
}

// What the exit code field says: the code, 停止 or 起動失敗; empty while the
// command runs.
void FormatExitField(const RunEntry& entry, char* out, std::size_t size) {
  out[0] = '\0';
  if (entry.state == kEntryEnded) FormatText(out, size, "%ld", SignedExitCode(entry.exitCode));
  if (entry.state == kEntryStopped) FormatText(out, size, "%s", kStoppedText);
  if (entry.state == kEntryStartFailed) FormatText(out, size, "%s", kStartFailedText);
}

// The seconds an ended command ran, with `decimals` (1 or 3) decimals,
// rounded; empty until it ended.
void FormatSeconds(const RunEntry& entry, int decimals, char* out, std::size_t size) {
  out[0] = '\0';
  if (!HasEnded(entry)) return;
  const std::uint64_t unit = decimals == 1 ? 100 : 1;
  const std::uint64_t units = (entry.endMs - entry.startMs + unit / 2) / unit;
  const std::uint64_t perSecond = 1000 / unit;
  FormatText(out, size, decimals == 1 ? "%lu.%01u" : "%lu.%03u", static_cast<unsigned long>(units / perSecond),
             static_cast<unsigned>(units % perSecond));
}

// The command line as the launch composes it; one too long to start is
// shown as program, blank and arguments.
void AppendCommandLine(ByteBuffer* out, const ListedCommand& command, const char* shell) {
  char line[kCommandLineCapacity];
  if (command.line != nullptr) {
    AppendText(out, command.line);
  } else if (ComposeCommandLineIn(line, sizeof line, command.program, command.arguments, shell,
                                  command.folder)) {
    AppendText(out, line);
  } else {
    AppendText(out, command.program);
    AppendText(out, " ");
    AppendText(out, command.arguments);
  }
}

}  // namespace

void FormatRowText(const RunListState& state, int row, char* out, std::size_t size) {
  const RunRow& shown = RowAt(state, row);
  const char* arguments = state.commands[shown.command].arguments;
  const RunEntry* entry = shown.entry >= 0 ? &EntryAt(state, shown.entry) : nullptr;
  char code[16], seconds[32];
  if (entry == nullptr || (entry->state == kEntryRunning && !entry->mayWait)) {
    FormatText(out, size, "%s", arguments);
    return;
  }
  FormatExitField(*entry, code, sizeof code);
  if (entry->state == kEntryRunning) FormatText(code, sizeof code, "%s", kMayWaitText);
  FormatSeconds(*entry, 1, seconds, sizeof seconds);
  FormatText(out, size, "%s\t%s%s\t%s", code, seconds, HasEnded(*entry) ? "秒" : "", arguments);
}

void FormatStatusText(const RunListState& state, std::uint64_t nowMs, char* out, std::size_t size) {
  if (RunListAsksBeforeStart(state)) {
    int counts[kTargetMarkKinds] = {};
    for (int row = 0; row < RowCount(state); ++row) {
      for (int kind = 0; kind < kTargetMarkKinds; ++kind) {
        counts[kind] += (state.commands[RowAt(state, row).command].marks >> kind) & 1;
      }
    }
    FormatText(out, size, kMarkedStatusFormat, RowCount(state), counts[0], counts[1], counts[2]);
    return;
  }
  if (RowCount(state) == 0 && state.pattern != nullptr) {
    FormatText(out, size, kNoMatchFormat, state.pattern);
    return;
  }
  std::uint64_t elapsed = 0;
  if (state.phase == kPhaseRunning) elapsed = nowMs - state.passStartMs;
  if (state.phase == kPhaseFinished) elapsed = state.passEndMs - state.passStartMs;
  const std::uint64_t seconds = elapsed / 1000;
  char running[32] = {};
  if (RunningCount(state) > 0) FormatText(running, sizeof running, "　実行中 %d", RunningCount(state));
  FormatText(out, size, "%d/%d 件終了%s　失敗 %d　経過 %lu:%02u", state.ended, RowCount(state), running,
             state.failed, static_cast<unsigned long>(seconds / 60), static_cast<unsigned>(seconds % 60));
}

void FormatOutputTitle(const RunListState& state, int row, char* out, std::size_t size) {
  FormatText(out, size, kOutputTitleFormat, RowAt(state, row).number);
}

void AppendLogLine(ByteBuffer* out, const RunListState& state, const RunEntry& entry,
                   const char* shell, int withOutput) {
  char code[16], seconds[32], head[64];
  FormatExitField(entry, code, sizeof code);
  FormatSeconds(entry, 3, seconds, sizeof seconds);
  if (withOutput) {
    FormatText(head, sizeof head, "#%d\t%s\t%s\t", entry.number, code, seconds);
  } else {
    const RunClockTime& t = entry.started;
    FormatText(head, sizeof head, "%d\t%04d/%02d/%02d %02d:%02d:%02d\t%s\t%s\t", entry.number, t.year,
               t.month, t.day, t.hour, t.minute, t.second, seconds, code);
  }
  AppendText(out, head);
  AppendCommandLine(out, CommandOfEntry(state, entry), shell);
  AppendText(out, "\r\n");
}
