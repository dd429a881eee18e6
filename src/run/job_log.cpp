#include "run/job_log.h"

int ComposeRunLog(const RunListState& state, const char* shell, ByteBuffer* out) {
  AppendText(out, kLogHeader);
  for (int i = 0; i < EntryCount(state); ++i) AppendLogLine(out, state, EntryAt(state, i), shell, 0);
  return !out->failed;
}

int ComposeRunLogWithOutput(const RunListState& state, const char* shell, ByteBuffer* out) {
  for (int i = 0; i < EntryCount(state); ++i) {
    AppendLogLine(out, state, EntryAt(state, i), shell, 1);
    const std::size_t before = out->size;
    ComposeOutputText(state.outputs, i, out);
    if (out->size > before && out->data[out->size - 1] != '\n') AppendText(out, "\r\n");
    AppendText(out, "\r\n");
  }
  return !out->failed;
}
