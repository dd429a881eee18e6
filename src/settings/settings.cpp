#include "settings/settings.h"

#include <climits>
#include <cstdint>

#include "support/program_paths.h"
#include "support/dbcs.h"
#include "support/format_text.h"

namespace {

char g_settingsSection[kSettingsSectionSize] = {};

bool IsBlank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

constexpr char kSettingsLockPrefix[] = "TAVIX.settings.";

bool IsPathSeparator(char c) {
  return c == '\\' || c == '/';
}

// FNV-1a over 64 bits, one byte at a time.
constexpr std::uint64_t kHashStart = 0xCBF29CE484222325ull;
std::uint64_t HashByte(std::uint64_t hash, unsigned char byte) {
  return (hash ^ byte) * 0x100000001B3ull;
}

}  // namespace

int FormatSettingsPath(char* out, std::size_t size) {
  if (g_executableDirectory[0] == '\0') return 0;  // no program folder known
  return FormatText(out, size, "%s\\%s.ini", g_executableDirectory, kSettingsBaseName) >= 0;
}

void MakeSettingsLockName(const char* path, char* out, std::size_t size) {
  std::uint64_t hash = kHashStart;
  bool afterSeparator = false;
  for (const char* p = path; *p != '\0'; p = NextChar(p)) {
    if (CharLength(p) == 2) {
      hash = HashByte(HashByte(hash, static_cast<unsigned char>(p[0])), static_cast<unsigned char>(p[1]));
      afterSeparator = false;
      continue;
    }
    char c = *p;
    if (IsPathSeparator(c)) {
      if (afterSeparator) continue;
      c = '\\';
    } else if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
    afterSeparator = c == '\\';
    hash = HashByte(hash, static_cast<unsigned char>(c));
  }
  FormatText(out, size, "%s%08lx%08lx", kSettingsLockPrefix, static_cast<unsigned long>(hash >> 32),
             static_cast<unsigned long>(hash & 0xFFFFFFFFu));
}

const char* SettingsSection() {
  if (g_settingsSection[0] == '\0') GetParameterFileName(g_settingsSection, sizeof g_settingsSection);
  return g_settingsSection;
}

void CurrentSettingsSection(char* out, std::size_t size) {
  if (size == 0) return;
  if (FormatText(out, size, "%s", SettingsSection()) < 0) CutToWholeCharacters(out);
}

void ResetSettingsSection() {
  g_settingsSection[0] = '\0';
}

void FormatPositionText(int coordinate, char* out, std::size_t size) {
  unsigned int value = static_cast<unsigned int>(coordinate);
  if (value > static_cast<unsigned int>(kMaxStoredCoordinate)) value = kMaxStoredCoordinate;
  FormatText(out, size, "%u", value);
}

int ParsePositionText(const char* text) {
  while (IsBlank(*text)) ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) return 0;
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}
