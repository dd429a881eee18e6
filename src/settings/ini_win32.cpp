#include "settings/ini_win32.h"

#include <windows.h>

#include "settings/ini.h"
#include "support/byte_buffer.h"
#include "support/file_io_win32.h"
#include "support/safe_replace_win32.h"

namespace {

// One read of the whole file into a new block: the block (its size in
// *size), or nullptr.
char* ReadWholeFile(HANDLE file, DWORD* sizeOut) {
  DWORD size = GetSmallFileSize(file);
  *sizeOut = size;
  char* block = IniNewBlock(size);
  if (block == nullptr) return nullptr;
  int ok = ReadBytes(file, block, size) == size;
  // The size is 0 also for a file of 4 GiB or more: empty only when there is
  // nothing to read.
  char probe = 0;
  if (ok && size == 0 && ReadBytes(file, &probe, 1) != 0) ok = 0;
  if (ok) return block;
  IniDeleteBlock(block);
  return nullptr;
}

}  // namespace

int IniLoad(const char* path) {
  IniFree();
  HANDLE file = OpenForRead(path);
  if (file == INVALID_HANDLE_VALUE) return kIniNotRead;
  DWORD size = 0;
  char* block = ReadWholeFile(file, &size);
  CloseFile(file);
  if (block == nullptr) return kIniNotRead;
  if (!IniTextIsReadable(block, size)) {
    IniDeleteBlock(block);
    return kIniNotText;
  }
  return IniParseBlock(block) ? kIniLoaded : kIniNotRead;
}

int IniSave(const char* path) {
  ByteBuffer content;
  int ok = IniWriteDocument(&content) && SafeReplaceFile(path, content.data, content.size, nullptr);
  FreeByteBuffer(&content);
  return ok;
}
