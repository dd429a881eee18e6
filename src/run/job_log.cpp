#include "run/job_log.h"

#include "run/launch.h"
#include "support/format_text.h"

namespace {

// Seconds with three decimals, empty unless the command has ended.
void AppendSeconds(ByteBuffer* out, const RunEntry& entry) {
  if (entry.state != kEntryEnded && entry.state != kEntryStopped) return;
  const std::uint64_t ms = entry.endMs - entry.startMs;
  char text[32];
  FormatText(text, sizeof text, "%lu.%03u", static_cast<unsigned long>(ms / 1000),
             static_cast<unsigned>(ms % 1000));
  AppendText(out, text);
}

// The exit code, 起動失敗 or 停止; empty while the command runs.
void AppendExitCode(ByteBuffer* out, const RunEntry& entry) {
  char text[16] = {};
  if (entry.state == kEntryEnded) FormatText(text, sizeof text, "%ld", SignedExitCode(entry.exitCode));
  if (entry.state == kEntryStartFailed) AppendText(out, kStartFailedText);
  if (entry.state == kEntryStopped) AppendText(out, kStoppedText);
  AppendText(out, text);
}

// The command line as LaunchCommand composes it; one too long to start is
// shown as program, blank and arguments.
void AppendCommandLine(ByteBuffer* out, const RunListState& state, const RunEntry& entry,
                       const char* shell) {
  char line[kCommandLineCapacity];
  const char* arguments = state.commands + entry.text;
  if (ComposeCommandLineIn(line, sizeof line, state.program, arguments, shell, state.directory)) {
    AppendText(out, line);
  } else {
    AppendText(out, state.program);
    AppendText(out, " ");
    AppendText(out, arguments);
  }
  AppendText(out, "\r\n");
}

}  // namespace

int ComposeRunLog(const RunListState& state, const char* shell, ByteBuffer* out) {
  AppendText(out, kLogHeader);
  for (int i = 0; i < EntryCount(state); ++i) {
    const RunEntry& entry = EntryAt(state, i);
    const RunClockTime& t = entry.started;
    char head[64];
    FormatText(head, sizeof head, "%d\t%04d/%02d/%02d %02d:%02d:%02d\t", entry.position, t.year,
               t.month, t.day, t.hour, t.minute, t.second);
    AppendText(out, head);
    AppendSeconds(out, entry);
    AppendText(out, "\t");
    AppendExitCode(out, entry);
    AppendText(out, "\t");
    AppendCommandLine(out, state, entry, shell);
  }
  return !out->failed;
}

int ComposeRunLogWithOutput(const RunListState& state, const char* shell, ByteBuffer* out) {
  for (int i = 0; i < EntryCount(state); ++i) {
    const RunEntry& entry = EntryAt(state, i);
    char head[16];
    FormatText(head, sizeof head, "#%d\t", entry.position);
    AppendText(out, head);
    AppendExitCode(out, entry);
    AppendText(out, "\t");
    AppendSeconds(out, entry);
    AppendText(out, "\t");
    AppendCommandLine(out, state, entry, shell);
    const std::size_t before = out->size;
    ComposeOutputText(state.outputs, i, out);
    if (out->size > before && out->data[out->size - 1] != '\n') AppendText(out, "\r\n");
    AppendText(out, "\r\n");
  }
  return !out->failed;
}
