// Command-line assembly around a file expansion: eight argument rows and the
// names a search delivers, all from the input. Every argument text stays
// below its capacity, the expansion ends, and the path operations keep to
// their buffers.
#include <string>
#include <vector>

#include "expand/file_expansion.h"
#include "fuzz_input.h"
#include "run/command_line.h"

namespace {

std::vector<std::string> g_names;
std::size_t g_next = 0;

int FindNext(void*, FoundEntry* entry) {
  if (g_next >= g_names.size()) return 0;
  const std::string& name = g_names[g_next++];
  entry->attributes = !name.empty() && (name[0] & 1) ? kDirectoryAttribute : 0x20;
  std::snprintf(entry->name, sizeof entry->name, "%s", name.c_str());
  std::snprintf(entry->shortName, sizeof entry->shortName, "%s", name.substr(0, 12).c_str());
  return 1;
}

int FindFirst(void* self, const char*, FoundEntry* entry) {
  g_next = 0;
  return FindNext(self, entry);
}

const SearchSource kSource = {FindFirst, FindNext, [](void*) {}, nullptr, nullptr};

void CheckPathOperations(const char* text, const char* other) {
  char buffer[kRowTextSize];
  std::snprintf(buffer, sizeof buffer, "%s", text);
  QuotePathIfBlank(buffer);
  FUZZ_CHECK(std::strlen(buffer) < kRowTextSize);
  char piece[kQuotedPathSize];
  for (int form : {kCommandLineForm, kBatchLineForm, kCmdCommandLineForm, kCmdBatchLineForm}) {
    FUZZ_CHECK(QuotePathPiece(text, form, piece) == std::strlen(piece));
    FUZZ_CHECK(std::strlen(piece) < kQuotedPathSize);
  }
  char joined[kJoinedPathSize];
  FUZZ_CHECK(JoinPath(joined, sizeof joined, text, other) == 1);
  std::snprintf(buffer, sizeof buffer, "%s", text);
  if (CutToDirectory(buffer)) FUZZ_CHECK(std::strlen(buffer) <= std::strlen(text));
  char batchProgram[kBatchProgramTextSize];
  MakeBatchProgramText(text, batchProgram);
  char batchLine[kBatchLineSize];
  FUZZ_CHECK(ComposeBatchLine(text, other, batchLine, sizeof batchLine) == 1);
  char directProgram[kRowTextSize];
  MakeDirectProgramText(text, directProgram);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input{data, size};
  static ArgumentRows rows;
  static char fileTexts[kArgumentRowCount][kRowTextSize];
  for (int i = 0; i < kArgumentRowCount; ++i) {
    input.TextInto(rows.row[i].switchText, kRowTextSize);
    rows.row[i].spaceOn = input.Flag();
    input.TextInto(rows.row[i].fileText, kRowTextSize);
    std::memcpy(fileTexts[i], rows.row[i].fileText, kRowTextSize);
  }
  char base[kRowTextSize];
  input.TextInto(base, sizeof base);
  const int form = (input.Flag() ? kBatchLineForm : kCommandLineForm) + (input.Flag() ? 2 : 0);
  g_names.clear();
  while (!input.Done() && g_names.size() < 64) g_names.push_back(input.Text(kRowTextSize - 1));

  Expansion expansion{};
  const int expanding = BeginFileExpansion(&expansion, fileTexts, base, &kSource);
  char out[kArgumentTextCapacity];
  int built = 0;
  while (AssembleArgumentText(&expansion, rows, out, sizeof out, form)) {
    FUZZ_CHECK(std::strlen(out) < sizeof out);
    ++built;
    if (!expanding) break;  // without a search every call gives the same text
    FUZZ_CHECK(built <= static_cast<int>(g_names.size()));
  }
  EndFileExpansion(&expansion);
  CheckPathOperations(rows.row[0].fileText, rows.row[1].fileText);
  CheckPathOperations(base, rows.row[0].switchText);
  return 0;
}
