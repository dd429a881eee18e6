#include "run/kept_output.h"

#include <cstdlib>
#include <cstring>

#include "support/dbcs.h"
#include "support/format_text.h"

namespace {

// The smallest ring obtained; rings double from it up to their limit.
constexpr std::size_t kFirstRingBytes = 256;

KeptOutput* Records(const OutputStore& store) {
  return reinterpret_cast<KeptOutput*>(store.records.data);
}

int RecordCount(const OutputStore& store) {
  return static_cast<int>(store.records.size / sizeof(KeptOutput));
}

// Holds the store's lock for the scope.
struct Locked {
  void (*lock)(int);
  explicit Locked(const OutputStore& store) : lock(store.lock) {
    if (lock != nullptr) lock(1);
  }
  ~Locked() {
    if (lock != nullptr) lock(0);
  }
};

void Drop(OutputStore* store, KeptOutput* output) {
  std::free(output->ring);
  store->held -= output->capacity;
  output->ring = nullptr;
  output->capacity = output->size = output->start = 0;
  output->dropped = 1;
  ++output->shape;
}

// The output to drop next to make room for `keep`: ended with 0, then the
// other ended ones, then the running ones, oldest first. Null when none is left.
KeptOutput* NextToDrop(OutputStore* store, const KeptOutput* keep) {
  static constexpr int kOrder[] = {kOutputEndedZero, kOutputEndedOtherwise, kOutputRunning};
  for (int end : kOrder) {
    for (int i = 0; i < RecordCount(*store); ++i) {
      KeptOutput* output = &Records(*store)[i];
      if (output != keep && output->end == end && output->capacity > 0) return output;
    }
  }
  return nullptr;
}

// Grows the ring of `output` towards `needed` bytes, within its own limit
// and the limit of all. 0 when it cannot grow.
int GrowRing(OutputStore* store, KeptOutput* output, std::size_t needed) {
  std::size_t capacity = output->capacity * 2;
  if (capacity < kFirstRingBytes) capacity = kFirstRingBytes;
  if (capacity < needed) capacity = needed;
  if (capacity > store->perCommand) capacity = store->perCommand;
  if (capacity <= output->capacity) return 0;
  const std::size_t more = capacity - output->capacity;
  while (store->held + more > store->all) {
    KeptOutput* victim = NextToDrop(store, output);
    if (victim == nullptr) return 0;
    Drop(store, victim);
  }
  void* grown = std::realloc(output->ring, capacity);
  if (grown == nullptr) return 0;
  output->ring = static_cast<char*>(grown);
  output->capacity = capacity;
  store->held += more;
  return 1;
}

// Bytes into a full ring: the oldest give way.
void Overwrite(KeptOutput* output, const char* bytes, std::size_t n) {
  const std::size_t capacity = output->capacity;
  if (n >= capacity) {
    std::memcpy(output->ring, bytes + n - capacity, capacity);
    output->start = 0;
    return;
  }
  const std::size_t first = capacity - output->start < n ? capacity - output->start : n;
  std::memcpy(output->ring + output->start, bytes, first);
  std::memcpy(output->ring, bytes + first, n - first);
  output->start = (output->start + n) % capacity;
}

// The bytes as shown: a zero byte as a blank, every line end as CR LF. A
// line end is an LF, or one or more CRs with or without an LF after them;
// `afterLineEnd` carries a CR's line end over from the bytes before.
void AppendShown(const char* bytes, std::size_t n, int* afterLineEnd, ByteBuffer* out) {
  std::size_t from = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const char c = bytes[i];
    if (c != '\r' && c != '\n' && c != '\0') {
      *afterLineEnd = 0;
      continue;
    }
    AppendBytes(out, bytes + from, i - from);
    from = i + 1;
    if (c == '\0') {
      AppendBytes(out, " ", 1);
      *afterLineEnd = 0;
    } else if (c == '\n' && *afterLineEnd) {
      *afterLineEnd = 0;  // the LF of a CR's line end
    } else if (c == '\r' && *afterLineEnd) {
      // a further CR of the same line end
    } else {
      AppendBytes(out, "\r\n", 2);
      *afterLineEnd = c == '\r';
    }
  }
  AppendBytes(out, bytes + from, n - from);
}

void AppendLine(ByteBuffer* out, const char* text) {
  AppendText(out, text);
  AppendBytes(out, "\r\n", 2);
}

// A count in decimal, whatever its size.
void AppendLeftOut(ByteBuffer* out, std::uint64_t count) {
  char digits[24];
  char* at = digits + sizeof digits;
  *--at = '\0';
  do {
    *--at = static_cast<char>('0' + count % 10);
    count /= 10;
  } while (count != 0);
  char line[96];
  FormatText(line, sizeof line, kOutputLeftOutFormat, at);
  AppendLine(out, line);
}

// The kept bytes as one sequence: byte `i` counted from the oldest.
unsigned char KeptByte(const KeptOutput& output, std::size_t i) {
  const std::size_t at = output.full ? (output.start + i) % output.capacity : i;
  return static_cast<unsigned char>(output.ring[at]);
}

// The end of the whole characters among the kept bytes from `from`, a
// character's start: a lead byte standing last waits for its second byte.
std::size_t WholeCharactersEnd(const KeptOutput& output, std::size_t from) {
  std::size_t i = from;
  while (i < output.size) {
    if (!IsLeadByte(KeptByte(output, i))) {
      ++i;
    } else if (i + 1 < output.size) {
      i += 2;
    } else {
      break;
    }
  }
  return i;
}

// Where the shown text starts: at the oldest byte while nothing was left
// out; otherwise that byte may be the second of a character, so at the
// first byte below 0x40, which never is (at the oldest when there is none).
std::size_t FirstShownByte(const KeptOutput& output) {
  if (output.total == output.size) return 0;
  for (std::size_t i = 0; i < output.size; ++i) {
    if (KeptByte(output, i) < 0x40) return i;
  }
  return 0;
}

// Appends the kept bytes [from, to) as shown.
void AppendKept(const KeptOutput& output, std::size_t from, std::size_t to, int* afterLineEnd,
                ByteBuffer* out) {
  const std::size_t head = output.full ? output.capacity - output.start : output.size;
  if (from < head) {
    const std::size_t end = to < head ? to : head;
    AppendShown(output.ring + (output.full ? output.start : 0) + from, end - from, afterLineEnd, out);
  }
  if (to > head) {
    const std::size_t begin = from > head ? from : head;
    AppendShown(output.ring + (begin - head), to - begin, afterLineEnd, out);
  }
}

// The whole text of an output; the end of the kept bytes shown.
std::size_t ComposeLocked(const KeptOutput& output, ByteBuffer* out, int* afterLineEnd) {
  *afterLineEnd = 0;
  std::size_t shown = 0;
  if (!output.taken || output.dropped) {
    AppendLine(out, output.taken ? kOutputDroppedText : kOutputNotTakenText);
  } else {
    const std::size_t first = FirstShownByte(output);
    if (output.total > output.size - first) AppendLeftOut(out, output.total - (output.size - first));
    shown = WholeCharactersEnd(output, first);
    AppendKept(output, first, shown, afterLineEnd, out);
  }
  const struct {
    int note;
    const char* text;
  } notes[] = {{kNoteStoppedAlone, kOutputStoppedAloneText}, {kNotePriorityAlone, kOutputPriorityAloneText}};
  for (const auto& note : notes) {
    if ((output.note & note.note) == 0) continue;
    if (out->size > 0 && out->data[out->size - 1] != '\n') AppendBytes(out, "\r\n", 2);
    AppendLine(out, note.text);
  }
  return shown;
}

}  // namespace

void BeginOutputs(OutputStore* store, std::size_t perCommand, std::uint64_t all,
                  void (*lock)(int enter)) {
  *store = OutputStore{};
  store->perCommand = perCommand;
  store->all = all;
  store->lock = lock;
}

void FreeOutputs(OutputStore* store) {
  for (int i = 0; i < RecordCount(*store); ++i) std::free(Records(*store)[i].ring);
  FreeByteBuffer(&store->records);
  store->held = 0;
}

int AddOutput(OutputStore* store, int taken) {
  Locked locked(*store);
  KeptOutput output{};
  output.taken = taken;
  if (!AppendBytes(&store->records, &output, sizeof output)) return -1;
  return RecordCount(*store) - 1;
}

void TakeOutput(OutputStore* store, int index, const char* bytes, std::size_t n) {
  Locked locked(*store);
  KeptOutput* output = &Records(*store)[index];
  output->total += n;
  if (!output->taken || output->dropped) return;
  if (!output->full) {
    const std::size_t room = output->capacity - output->size;
    if (n > room && !GrowRing(store, output, output->size + n)) output->full = output->capacity > 0;
    const std::size_t fits = output->capacity - output->size < n ? output->capacity - output->size : n;
    if (fits > 0) std::memcpy(output->ring + output->size, bytes, fits);
    output->size += fits;
    bytes += fits;
    n -= fits;
    if (n > 0) output->full = output->capacity > 0;
  }
  if (n > 0 && output->full) Overwrite(output, bytes, n);
}

void EndOutput(OutputStore* store, int index, int end) {
  Locked locked(*store);
  Records(*store)[index].end = end;
}

int OutputTaken(const OutputStore& store, int index) {
  Locked locked(store);
  return Records(store)[index].taken;
}

std::uint64_t OutputWritten(const OutputStore& store, int index) {
  Locked locked(store);
  return Records(store)[index].total;
}

void NoteOutput(OutputStore* store, int index, int note) {
  Locked locked(*store);
  KeptOutput* output = &Records(*store)[index];
  output->note |= note;
  ++output->shape;
}

int ComposeOutputText(const OutputStore& store, int index, ByteBuffer* out) {
  Locked locked(store);
  int afterLineEnd = 0;
  ComposeLocked(Records(store)[index], out, &afterLineEnd);
  return !out->failed;
}

int UpdateOutputView(const OutputStore& store, int index, OutputView* view, ByteBuffer* out) {
  Locked locked(store);
  const KeptOutput& output = Records(store)[index];
  if (view->index == index && view->shape == output.shape && view->seen == output.total) {
    return kViewSame;
  }
  const int grown = view->index == index && view->shape == output.shape && output.taken &&
                    !output.dropped && output.note == kNoteNone && output.total == output.size &&
                    view->shown <= output.size;
  if (grown) {
    const std::size_t end = WholeCharactersEnd(output, view->shown);
    AppendShown(output.ring + view->shown, end - view->shown, &view->afterLineEnd, out);
    view->shown = end;
  } else {
    view->shown = ComposeLocked(output, out, &view->afterLineEnd);
  }
  view->index = index;
  view->seen = output.total;
  view->shape = output.shape;
  return grown ? kViewMore : kViewAnew;
}
