#include "support/program_paths.h"

#include "support/dbcs.h"
#include "support/format_text.h"
#include "support/path_split.h"

char g_executableDirectory[kExecutableDirectorySize];
char g_parameterFilePath[kParameterFilePathSize] = {};
char g_batchFilePath[kBatchFilePathSize];

namespace {

// A path that names its own root: a drive letter and colon, or a
// \\server\share path.
bool IsRootedPath(const char* path, const char* drive) {
  return drive[0] != '\0' || (path[0] == '\\' && path[1] == '\\');
}

}  // namespace

bool SetParameterFilePath(const char* argument) {
  if (argument == nullptr) {
    FormatText(g_parameterFilePath, kParameterFilePathSize, "%s\\%s%s", g_executableDirectory,
               kDefaultParameterBaseName, kParameterFileExtension);
    return GetParameterFileName(nullptr, 0);
  }

  char name[kParameterFilePathSize] = {};
  int length = FormatText(name, sizeof name, "%s", argument);
  if (length < 0) {
    g_parameterFilePath[0] = '\0';
    return false;
  }
  char ext[kMaxExt] = {};
  SplitPath(name, nullptr, nullptr, nullptr, ext);
  if (ext[0] == '\0' &&
      FormatText(name + length, sizeof name - static_cast<std::size_t>(length), "%s",
                 kParameterFileExtension) < 0) {
    g_parameterFilePath[0] = '\0';
    return false;
  }

  if (!ResolveArgumentPath(name, g_parameterFilePath, kParameterFilePathSize)) {
    // A cut path would name some other file.
    g_parameterFilePath[0] = '\0';
    return false;
  }
  return GetParameterFileName(nullptr, 0);
}

bool ResolveArgumentPath(const char* argument, char* out, std::size_t size) {
  char drive[kMaxDrive] = {};
  SplitPath(argument, drive, nullptr, nullptr, nullptr);
  const int composed = IsRootedPath(argument, drive)
                           ? FormatText(out, size, "%s", argument)
                           : FormatText(out, size, "%s\\%s", g_executableDirectory, argument);
  return composed >= 0;
}

bool GetParameterFileName(char* buffer, std::size_t size) {
  char fname[kMaxFname] = {};
  SplitPath(g_parameterFilePath, nullptr, nullptr, fname, nullptr);
  if (fname[0] == '\0') return false;
  if (buffer != nullptr && size > 0) {
    if (FormatText(buffer, size, "%s", fname) < 0) CutToWholeCharacters(buffer);
  }
  return true;
}
