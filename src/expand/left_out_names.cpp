// The names an expansion leaves out and the report on them, and how much of
// a text with '%' lies on disk.
#include "expand/file_expansion.h"

#include <cstring>

#include "support/dbcs.h"
#include "support/format_text.h"

int LeaveOut(LeftOutNames* leftOut, const char* name, int reason) {
  if (leftOut == nullptr) return 0;
  if (leftOut->count[reason] == 0) CopyPathText(leftOut->first[reason], name);
  ++leftOut->count[reason];
  return 0;
}

std::size_t PercentPrefixOnDisk(const SearchSource& source, const char* folder, const char* text) {
  if (source.exists == nullptr || FindCharDbcs(text, '%') == nullptr) return 0;
  char part[kRowTextSize];
  CopyPathText(part, text);
  std::size_t length = std::strlen(part);
  for (;;) {
    // The part without the separators that end it, joined to `folder`
    // when it is relative.
    std::size_t end = length;
    while (end > 0 && (part[end - 1] == '\\' || part[end - 1] == '/') &&
           (end < 2 || !IsLeadByte(static_cast<unsigned char>(part[end - 2])))) {
      --end;
    }
    const char saved = part[end];
    part[end] = '\0';
    if (FindCharDbcs(part, '%') == nullptr) return 0;
    if (FindAnyCharDbcs(part, "*?") == nullptr) {
      const int relative = part[0] != '\\' && part[0] != '/' && (part[0] == '\0' || part[1] != ':');
      char joined[kJoinedPathSize];
      if (relative && folder != nullptr && folder[0] != '\0') {
        JoinPath(joined, sizeof joined, folder, part);
      } else {
        CopyPathText(joined, part);
      }
      if (source.exists(source.self, joined)) return length;
    }
    part[end] = saved;
    // The part up to the separator before it.
    std::size_t cut = 0;
    for (const char* p = part; p < part + end; p = NextChar(p)) {
      if (CharLength(p) == 1 && (*p == '\\' || *p == '/')) cut = static_cast<std::size_t>(p - part) + 1;
    }
    if (cut == 0) return 0;
    length = cut;
    part[length] = '\0';
  }
}

int UseFoundName(LeftOutNames* leftOut, char* name, const char* shortName) {
  if (FindCharDbcs(name, '?') == nullptr) return 1;
  if (shortName[0] != '\0' && FindCharDbcs(shortName, '?') == nullptr) {
    CopyPathText(name, shortName);
    return 1;
  }
  return LeaveOut(leftOut, name, kNotInCodePage);
}

int UseNameInForm(LeftOutNames* leftOut, const char* name, int form) {
  const char* changed = CmdChangedCharacters(form);
  if (changed[0] == '\0' || FindAnyCharDbcs(name, changed) == nullptr) return 1;
  return LeaveOut(leftOut, name, kChangedByCmd);
}

int FormatLeftOutReport(const LeftOutNames& leftOut, char* out, std::size_t size, int reason) {
  if (size > 0) out[0] = '\0';
  if (leftOut.count[reason] == 0) return 0;
  constexpr const char* kFormats[kLeftOutReasons] = {kLeftOutNamesFormat, kCmdLeftOutNamesFormat,
                                                     kUnmatchedNamesFormat};
  FormatText(out, size, kFormats[reason], leftOut.count[reason], leftOut.first[reason]);
  return 1;
}
