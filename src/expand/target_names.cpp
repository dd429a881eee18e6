#include "expand/target_parts.h"

#include <cstring>

#include "support/dbcs.h"
#include "support/path_text.h"

namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c; }

// Length of the root of the full path `base`: "X:", or "\\server\share".
std::size_t RootLength(const char* base) {
  if (base[0] != '\0' && base[1] == ':') return 2;
  std::size_t at = 0;
  for (int separators = 0; base[at] != '\0'; at += CharLength(base + at)) {
    if (CharLength(base + at) == 1 && IsSeparator(base[at]) && ++separators == 4) break;
  }
  return at;
}

}  // namespace

void FoldNameCase(char* text) {
  for (char* p = text; *p != '\0'; p = NextChar(p)) {
    const unsigned char lead = static_cast<unsigned char>(p[0]);
    if (CharLength(p) == 1) {
      if (lead >= 'a' && lead <= 'z') *p = static_cast<char>(lead - ('a' - 'A'));
      continue;
    }
    const unsigned char trail = static_cast<unsigned char>(p[1]);
    int step = 0;
    if (lead == 0x82 && trail >= 0x81 && trail <= 0x9A) step = 0x21;  // full-width Latin
    if (lead == 0x83 && trail >= 0xBF && trail <= 0xD6) step = 0x20;  // Greek
    if (lead == 0x84 && trail >= 0x70 && trail <= 0x91 && trail != 0x7F) {
      step = trail < 0x7F ? 0x30 : 0x31;  // Cyrillic (no character at 0x847F)
    }
    p[1] = static_cast<char>(trail - step);
  }
}

int NameMatchesMask(const char* mask, const char* name) {
  const char* star = nullptr;  // the mask after its last '*' so far
  const char* resume = nullptr;
  while (*name != '\0') {
    if (*mask == '*') {
      star = ++mask;
      resume = name;
      continue;
    }
    const std::size_t length = CharLength(name);
    if (*mask == '?' || (CharLength(mask) == length && std::memcmp(mask, name, length) == 0)) {
      mask = NextChar(mask);
      name += length;
      continue;
    }
    if (star == nullptr) return 0;
    mask = star;
    resume = NextChar(resume);
    name = resume;
  }
  while (*mask == '*') ++mask;
  return *mask == '\0';
}

int ResolvePath(const char* base, const char* path, char* out) {
  // The path made absolute.
  char joined[2 * kJoinedPathSize];
  const char* rest = path;
  std::size_t length = 0;
  if (!(IsSeparator(path[0]) && IsSeparator(path[1])) &&
      !(path[0] != '\0' && path[1] == ':' && IsSeparator(path[2]))) {
    std::size_t keep = std::strlen(base);
    if (path[0] != '\0' && path[1] == ':') {
      // Relative to a drive's own folder: known only for the base's drive.
      if (base[0] == '\0' || base[1] != ':' || UpperAscii(path[0]) != UpperAscii(base[0])) return 0;
      rest = path + 2;
    }
    // From the root of the base's drive or share.
    if (IsSeparator(rest[0])) keep = RootLength(base);
    if (keep + 1 >= sizeof joined) return 0;
    std::memcpy(joined, base, keep);
    length = keep;
    joined[length++] = '\\';
  }
  const std::size_t restLength = std::strlen(rest);
  if (length + restLength >= sizeof joined) return 0;
  std::memcpy(joined + length, rest, restLength + 1);

  // Its root: "X:" or "\\server\share".
  char work[2 * kJoinedPathSize];
  const char* p = joined;
  length = 0;
  if (IsSeparator(p[0]) && IsSeparator(p[1])) {
    work[length++] = '\\';
    work[length++] = '\\';
    p += 2;
    for (int part = 0; part < 2; ++part) {
      if (part == 1) {
        if (!IsSeparator(*p)) return 0;
        ++p;
        work[length++] = '\\';
      }
      const char* start = p;
      while (*p != '\0' && !(CharLength(p) == 1 && IsSeparator(*p))) p = NextChar(p);
      if (p == start) return 0;
      std::memcpy(work + length, start, static_cast<std::size_t>(p - start));
      length += static_cast<std::size_t>(p - start);
    }
  } else if (p[0] != '\0' && p[1] == ':' && IsSeparator(p[2])) {
    work[length++] = p[0];
    work[length++] = ':';
    p += 2;
  } else {
    return 0;
  }
  const std::size_t root = length;
  // Its names, "." and ".." taken out, trailing dots and blanks dropped.
  while (*p != '\0') {
    while (CharLength(p) == 1 && IsSeparator(*p)) ++p;
    const char* start = p;
    while (*p != '\0' && !(CharLength(p) == 1 && IsSeparator(*p))) p = NextChar(p);
    std::size_t n = static_cast<std::size_t>(p - start);
    if (n == 2 && start[0] == '.' && start[1] == '.') {
      work[length] = '\0';
      char* last = FindLastCharDbcs(work + root, '\\');
      length = last != nullptr ? static_cast<std::size_t>(last - work) : root;
      continue;
    }
    while (n > 0 && (start[n - 1] == '.' || start[n - 1] == ' ')) --n;
    if (n == 0) continue;
    work[length++] = '\\';
    std::memcpy(work + length, start, n);
    length += n;
  }
  if (length == root) work[length++] = '\\';
  work[length] = '\0';
  if (length > kRowTextSize - 1) return 0;
  std::memcpy(out, work, length + 1);
  return 1;
}

