// The INI engine. Any bytes, parsed, written and parsed again, write the same
// bytes again. A value then set under a section and key taken from the input
// (texts that can stand in the file: no control bytes, a key without "="
// that does not start with "[") reads back as set, also after the document
// is written and parsed once more.
#include <string>

#include "fuzz_input.h"
#include "settings/ini.h"
#include "support/byte_buffer.h"

namespace {

void Parse(const std::string& bytes) {
  char* block = IniNewBlock(bytes.size());
  FUZZ_CHECK(block != nullptr);
  std::memcpy(block, bytes.data(), bytes.size());
  FUZZ_CHECK(IniParseBlock(block) == 1);
}

std::string Written() {
  ByteBuffer out;
  FUZZ_CHECK(IniWriteDocument(&out) == 1);
  std::string bytes(out.data != nullptr ? out.data : "", out.size);
  FreeByteBuffer(&out);
  return bytes;
}

bool CanStandInFile(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
  }
  return true;
}

std::string Get(const std::string& section, const std::string& key) {
  char value[256];
  IniGetValue(section.c_str(), key.c_str(), value, sizeof value);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input{data, size};
  const std::string text = input.Text(size);
  Parse(text);
  const std::string once = Written();
  Parse(once);
  FUZZ_CHECK(Written() == once);

  const std::string section = input.Text(64);
  const std::string key = input.Text(64);
  const std::string value = input.Text(200);
  if (CanStandInFile(section) && CanStandInFile(key) && CanStandInFile(value) &&
      key.find('=') == std::string::npos && (key.empty() || key[0] != '[')) {
    FUZZ_CHECK(IniSetValue(section.c_str(), key.c_str(), value.c_str()) == 1);
    FUZZ_CHECK(Get(section, key) == value);
    Parse(Written());
    FUZZ_CHECK(Get(section, key) == value);
  }
  IniFree();
  return 0;
}
