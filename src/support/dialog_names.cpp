#include "support/dialog_names.h"

#include <cstring>

#include "support/dbcs.h"

namespace {

constexpr char kRefusedInFileNames[] = "\\/:*?\"<>|";
constexpr char kReplacement = '_';

bool IsRefusedInFileName(char c) {
  return static_cast<unsigned char>(c) < 0x20 || std::strchr(kRefusedInFileNames, c) != nullptr;
}

}  // namespace

void MakeProposedFileName(const char* text, char* out, std::size_t size) {
  if (size == 0) return;
  std::size_t used = 0;
  for (const char* p = text; *p != '\0'; p = NextChar(p)) {
    const std::size_t length = CharLength(p);
    if (used + length >= size) break;
    if (length == 1 && IsRefusedInFileName(*p)) {
      out[used++] = kReplacement;
    } else {
      std::memcpy(out + used, p, length);
      used += length;
    }
  }
  out[used] = '\0';
}

int CopyWholeName(char* out, std::size_t size, const char* name) {
  const std::size_t length = std::strlen(name);
  if (length >= size) return 0;
  std::memcpy(out, name, length + 1);
  return 1;
}
