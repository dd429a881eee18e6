#include "run/job_log.h"

#include "run/launch.h"
#include "support/format_text.h"

int ComposeRunLog(const RunListState& state, const char* shell, ByteBuffer* out) {
  AppendText(out, kLogHeader);
  for (int i = 0; i < EntryCount(state); ++i) {
    const RunEntry& entry = EntryAt(state, i);
    const RunClockTime& t = entry.started;
    char head[96];
    FormatText(head, sizeof head, "%d\t%04d/%02d/%02d %02d:%02d:%02d\t", entry.position, t.year,
               t.month, t.day, t.hour, t.minute, t.second);
    AppendText(out, head);
    if (entry.state == kEntryEnded) {
      const std::uint64_t ms = entry.endMs - entry.startMs;
      FormatText(head, sizeof head, "%lu.%03u\t%ld\t", static_cast<unsigned long>(ms / 1000),
                 static_cast<unsigned>(ms % 1000), SignedExitCode(entry.exitCode));
    } else {
      FormatText(head, sizeof head, "\t%s\t", entry.state == kEntryStartFailed ? kStartFailedText : "");
    }
    AppendText(out, head);
    // The command line as LaunchCommand composes it; one too long to start
    // is shown as program, blank and arguments.
    char line[kCommandLineCapacity];
    const char* arguments = state.commands + entry.text;
    if (ComposeCommandLine(line, sizeof line, state.program, arguments, shell)) {
      AppendText(out, line);
    } else {
      AppendText(out, state.program);
      AppendText(out, " ");
      AppendText(out, arguments);
    }
    AppendText(out, "\r\n");
  }
  return !out->failed;
}
