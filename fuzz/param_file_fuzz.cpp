// The parameter file's parser and writer. Any bytes parse into the sets that
// a plain reading of the rules gives (a line at a time, keys compared one by
// one), and, written and parsed again, write the same bytes again. And a set
// filled from the input
// (any bytes but zero in its name and texts), saved and read back, gives
// the same name and texts with each control byte turned into a blank.
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "params/field_table.h"
#include "params/param_file.h"
#include "support/byte_buffer.h"

namespace {

std::string Blanked(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  return text;
}

// Parses `bytes` into the set list, in a block that `block` keeps alive.
void Parse(const std::string& bytes, std::vector<char>* block) {
  FreeStoredSets();
  block->assign(bytes.begin(), bytes.end());
  block->push_back('\0');
  FUZZ_CHECK(ParseParameterText(block->data(), bytes.size()) == 1);
}

std::string WriteAll() {
  ByteBuffer out;
  FUZZ_CHECK(BuildParameterFileText(&out, nullptr, nullptr, nullptr) == 1);
  std::string bytes(out.data != nullptr ? out.data : "", out.size);
  FreeByteBuffer(&out);
  return bytes;
}

// The sets of `text` by the rules read plainly: a UTF-8 mark at the start is
// skipped; lines end at any byte below 0x20, the zero byte too; a header's
// name drops the line's last byte; a key line sets its row's value in the
// current set.
struct PlainSet {
  std::string name;
  const char* values[kFieldCount];
  std::string texts[kFieldCount];
};

std::vector<PlainSet> ReadPlainly(const std::string& text) {
  std::vector<PlainSet> sets;
  std::size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  const std::size_t end = text.size();
  while (at < end) {
    std::size_t lineEnd = at;
    while (lineEnd < end && static_cast<unsigned char>(text[lineEnd]) >= 0x20) ++lineEnd;
    const std::string line = text.substr(at, lineEnd - at);
    if (!line.empty() && line[0] == '[') {
      sets.push_back(PlainSet{line.size() > 1 ? line.substr(1, line.size() - 2) : "", {}, {}});
    } else if (!sets.empty()) {
      for (int row = 0; row < kFieldCount; ++row) {
        const std::string key = std::string(g_fieldTable[row].key) + "=";
        if (line.compare(0, key.size(), key) != 0) continue;
        sets.back().texts[row] = line.substr(key.size());
        sets.back().values[row] = sets.back().texts[row].c_str();
        break;
      }
    }
    at = lineEnd + 1;
  }
  return sets;
}

void CheckRewriteIsStable(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<char> block;
  Parse(text, &block);
  const std::vector<PlainSet> plain = ReadPlainly(text);
  const StoredSet* set = FirstStoredSet();
  for (const PlainSet& expected : plain) {
    FUZZ_CHECK(set != nullptr && set->name == expected.name);
    for (int row = 0; row < kFieldCount; ++row) {
      FUZZ_CHECK((set->values[row] == nullptr) == (expected.values[row] == nullptr));
      if (expected.values[row] != nullptr) FUZZ_CHECK(set->values[row] == expected.texts[row]);
    }
    set = set->next;
  }
  FUZZ_CHECK(set == nullptr);
  const std::string once = WriteAll();
  std::vector<char> again;
  Parse(once, &again);
  FUZZ_CHECK(WriteAll() == once);
  FreeStoredSets();
}

void CheckSavedSetReloads(const std::uint8_t* data, std::size_t size) {
  FuzzInput input{data, size};
  const std::string name = input.Text(63);
  static LiveSet live;
  for (int row = 0; row < kFieldCount; ++row) {
    live.texts[row][0] = '\0';
    live.states[row] = 0;
    if (g_fieldTable[row].kind == kTextField) {
      input.TextInto(live.texts[row], kFieldTextSize);
    } else {
      live.states[row] = input.Flag();
    }
  }
  ByteBuffer out;
  FUZZ_CHECK(AppendLiveSection(&out, name.c_str(), live) == 1);
  // Whatever the program writes, a start on that file under another name takes it.
  FUZZ_CHECK(AppendBytes(&out, "", 1) == 1);
  FUZZ_CHECK(TextReadsAsParameterFile(out.data, out.size - 1));
  --out.size;
  std::vector<char> block;
  Parse(std::string(out.data, out.size), &block);
  FreeByteBuffer(&out);
  const StoredSet* set = FirstStoredSet();
  FUZZ_CHECK(set != nullptr && set->next == nullptr);
  FUZZ_CHECK(set->name == Blanked(name));
  for (int row = 0; row < kFieldCount; ++row) {
    const char* value = set->values[row];
    if (g_fieldTable[row].kind == kTextField) {
      if (live.texts[row][0] == '\0') {
        FUZZ_CHECK(value == nullptr);
      } else {
        FUZZ_CHECK(value != nullptr && value == Blanked(live.texts[row]));
      }
    } else {
      FUZZ_CHECK(StoredFlagIsOn(value) == live.states[row]);
    }
  }
  FreeStoredSets();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckRewriteIsStable(data, size);
  CheckSavedSetReloads(data, size);
  return 0;
}
