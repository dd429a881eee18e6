#include "run/program_search.h"

#include <cstring>

#include "expand/target_check.h"
#include "support/path_text.h"

namespace {

// The candidate `folder`\`name` with the extension `ext` (`extLength`
// bytes), its letters lower case, into `out`; 0 when it does not fit.
int MakeCandidate(const char* folder, const char* name, const char* ext, std::size_t extLength,
                  char* out, std::size_t size) {
  char joined[kJoinedPathSize];
  JoinPath(joined, sizeof joined, folder, name);
  const std::size_t length = std::strlen(joined);
  if (length == 0 || length + extLength + 1 > size) return 0;
  std::memcpy(out, joined, length);
  for (std::size_t i = 0; i < extLength; ++i) {
    const char c = ext[i];
    out[length + i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  out[length + extLength] = '\0';
  return 1;
}

// Looks for `name` in `folder` with each extension: -1 when none is there,
// else 1 when the first found is a batch file (its path in `out`), 0 when
// it is another file.
int SearchFolder(const ProgramSearch& search, const char* folder, const char* name, char* out,
                 std::size_t size) {
  const char* list = search.pathext != nullptr && search.pathext[0] != '\0'
                         ? search.pathext
                         : kDefaultPathExtensions;
  for (const char* ext = list; *ext != '\0';) {
    const char* end = std::strchr(ext, ';');
    const std::size_t length = end != nullptr ? static_cast<std::size_t>(end - ext) : std::strlen(ext);
    if (length > 0 && MakeCandidate(folder, name, ext, length, out, size) && search.isFile(out)) {
      if (IsBatchProgram(out)) return 1;
      out[0] = '\0';
      return 0;
    }
    ext += length;
    if (*ext == ';') ++ext;
  }
  out[0] = '\0';
  return -1;
}

}  // namespace

int FindBatchProgram(const ProgramSearch& search, const char* program, const char* folder,
                     char* out, std::size_t size) {
  if (size > 0) out[0] = '\0';
  if (search.isFile == nullptr || program == nullptr || size == 0) return 0;
  const char* name = NameAfterFolder(program);
  // A name with an extension starts as typed; so does "D:mk", whose folder
  // is the drive's current one.
  if (name[0] == '\0' || std::strchr(name, '.') != nullptr || std::strchr(name, ':') != nullptr) {
    return 0;
  }
  if (name != program) {
    // A name with a folder is looked for only there, a relative folder
    // taken from `folder`.
    char typed[kPathTextSize];
    char where[kPathTextSize];
    const std::size_t folderLength = static_cast<std::size_t>(name - program);
    if (folderLength >= sizeof typed) return 0;
    std::memcpy(typed, program, folderLength);
    typed[folderLength] = '\0';
    return ResolvePath(folder != nullptr ? folder : "", typed, where) &&
           SearchFolder(search, where, name, out, size) == 1;
  }
  if (folder != nullptr && folder[0] != '\0') {
    const int found = SearchFolder(search, folder, name, out, size);
    if (found >= 0) return found;
  }
  for (const char* entry = search.path != nullptr ? search.path : ""; *entry != '\0';) {
    const char* end = std::strchr(entry, ';');
    const std::size_t length = end != nullptr ? static_cast<std::size_t>(end - entry) : std::strlen(entry);
    if (length > 0 && length < kPathTextSize) {
      char where[kPathTextSize];
      std::memcpy(where, entry, length);
      where[length] = '\0';
      RemoveEnclosingQuotes(where);
      const int found = where[0] != '\0' ? SearchFolder(search, where, name, out, size) : -1;
      if (found >= 0) return found;
    }
    entry += length;
    if (*entry == ';') ++entry;
  }
  return 0;
}
