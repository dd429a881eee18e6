#include "app/send_to.h"

#include <cstring>

#include "support/argument_split.h"
#include "support/dbcs.h"
#include "support/format_text.h"

namespace {

constexpr char kShortcutExtension[] = ".lnk";
constexpr const char* kDeviceNames[] = {"CON", "PRN", "AUX", "NUL"};
constexpr const char* kNumberedDevices[] = {"COM", "LPT"};

bool IsUnsafeByte(unsigned char c) {
  return c < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr;
}

bool SameLetters(const char* text, const char* upper, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    const char c = (text[i] >= 'a' && text[i] <= 'z') ? static_cast<char>(text[i] - 'a' + 'A') : text[i];
    if (c != upper[i]) return false;
  }
  return true;
}

// The length of the device name that `name` is before its first dot, or 0.
std::size_t DeviceNameLength(const char* name) {
  const char* dot = std::strchr(name, '.');
  const std::size_t length = dot != nullptr ? static_cast<std::size_t>(dot - name) : std::strlen(name);
  for (const char* device : kDeviceNames) {
    if (length == 3 && SameLetters(name, device, 3)) return length;
  }
  for (const char* device : kNumberedDevices) {
    if (length == 4 && SameLetters(name, device, 3) && name[3] >= '1' && name[3] <= '9') return length;
  }
  return 0;
}

}  // namespace

int MakeShortcutFileName(const char* setName, char* out, std::size_t size) {
  char name[256] = {};
  std::size_t length = 0;
  std::size_t kept = 0;  // length up to the last character that is no dot or blank
  for (const char* p = setName; *p != '\0' && length + 2 < sizeof name;) {
    const std::size_t step = CharLength(p);
    if (step == 2) {
      name[length++] = *p++;
      name[length++] = *p++;
    } else {
      const unsigned char c = static_cast<unsigned char>(*p++);
      name[length++] = IsUnsafeByte(c) ? '_' : static_cast<char>(c);
      if (c == '.' || c == ' ') continue;
    }
    kept = length;
  }
  name[kept] = '\0';
  if (kept == 0) FormatText(name, sizeof name, "%s", "_");
  const int device = static_cast<int>(DeviceNameLength(name));
  if (device == 0) return FormatText(out, size, "%s%s", name, kShortcutExtension) >= 0;
  return FormatText(out, size, "%.*s_%s%s", device, name, name + device, kShortcutExtension) >= 0;
}

int MakeShortcutArguments(const char* parameterFile, const char* setName, char* out, std::size_t size) {
  char quotedFile[1100] = {};
  char quotedName[200] = {};
  if (parameterFile != nullptr && QuoteArgument(parameterFile, quotedFile, sizeof quotedFile) < 0) return 0;
  if (QuoteArgument(setName, quotedName, sizeof quotedName) < 0) return 0;
  return FormatText(out, size, "%s%s/set %s", quotedFile, parameterFile != nullptr ? " " : "", quotedName) >= 0;
}
