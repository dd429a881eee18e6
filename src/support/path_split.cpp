#include "support/path_split.h"

#include <cstring>

#include "support/dbcs.h"
#include "support/format_text.h"

namespace {

// Copies `length` bytes from `begin` into `out` (`size` bytes), cut to fit at
// a character boundary.
void CopyPart(char* out, std::size_t size, const char* begin, std::size_t length) {
  if (out == nullptr) return;
  std::size_t take = 0;
  while (take < length) {
    std::size_t step = CharLength(begin + take);
    if (step == 0 || take + step > length || take + step > size - 1) break;
    take += step;
  }
  std::memcpy(out, begin, take);
  out[take] = '\0';
}

}  // namespace

void SplitPath(const char* path, char* drive, char* dir, char* fname, char* ext) {
  const char* rest = path;
  if (rest[0] != '\0' && rest[1] == ':') {
    CopyPart(drive, kMaxDrive, rest, 2);
    rest += 2;
  } else {
    CopyPart(drive, kMaxDrive, rest, 0);
  }

  const char* afterSlash = nullptr;
  const char* dot = nullptr;
  const char* end = rest;
  for (; *end != '\0'; end = NextChar(end)) {
    if (CharLength(end) != 1) continue;
    if (*end == '\\' || *end == '/') {
      afterSlash = end + 1;
    } else if (*end == '.') {
      dot = end;
    }
  }

  if (afterSlash != nullptr) {
    CopyPart(dir, kMaxDir, rest, static_cast<std::size_t>(afterSlash - rest));
    rest = afterSlash;
  } else {
    CopyPart(dir, kMaxDir, rest, 0);
  }

  if (dot != nullptr && dot >= rest) {
    CopyPart(fname, kMaxFname, rest, static_cast<std::size_t>(dot - rest));
    CopyPart(ext, kMaxExt, dot, static_cast<std::size_t>(end - dot));
  } else {
    CopyPart(fname, kMaxFname, rest, static_cast<std::size_t>(end - rest));
    CopyPart(ext, kMaxExt, end, 0);
  }
}

int MakeTemporarySiblingPath(const char* path, unsigned number, char* out, std::size_t size) {
  if (size == 0) return 0;
  out[0] = '\0';
  const char* name = path[0] != '\0' && path[1] == ':' ? path + 2 : path;
  for (const char* p = name; *p != '\0'; p = NextChar(p)) {
    if (CharLength(p) == 1 && (*p == '\\' || *p == '/')) name = p + 1;
  }
  const std::size_t folderLength = static_cast<std::size_t>(name - path);
  // Counted in characters, as the system counts a path's length.
  std::size_t nameLength = 0;
  for (const char* p = name; *p != '\0'; p = NextChar(p)) ++nameLength;
  if (nameLength == 0 || folderLength + nameLength >= size) return 0;
  char digits[16] = {};
  FormatText(digits, sizeof digits, "%010X", number);  // ten digits, the last ones vary most
  std::memcpy(out, path, folderLength);
  char* rest = out + folderLength;
  const std::size_t room = size - folderLength;
  if (nameLength >= 12) return FormatText(rest, room, "~tvx%s.tmp", digits + 6) == 12;
  return FormatText(rest, room, "~%s", digits + 10 - (nameLength - 1)) == static_cast<int>(nameLength);
}
