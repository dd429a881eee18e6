// A console program that tests start. It writes what it was started with to
// the file named by the environment variable TAVIX_RECORD_FILE (or
// record_child.txt beside itself), one item per line ended by LF:
//   1. its command line (GetCommandLineA), byte for byte
//   2. its current directory (GetCurrentDirectoryA)
//   3. its priority class, in hexadecimal (GetPriorityClass)
//   4. the start-up flags and the show-window value, in hexadecimal
// With TAVIX_RECORD_APPEND set, each start adds its lines to the file.
// When TAVIX_RECORD_WAIT names a folder, it then waits until that folder
// holds a file named like its last argument's file name plus ".go" (a test
// creates it) and appends the line "end". It ends with the exit code that
// TAVIX_RECORD_EXIT gives (0 without it), or, when its last argument's file
// name starts with "exit" and a number ("exit259.txt"), with that number.
// With TAVIX_RECORD_ECHO set it also talks as a converter would: its
// arguments on standard output, and why it failed on standard error.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int ExitCodeNamed(const char* name, int otherwise) {
  return std::strncmp(name, "exit", 4) == 0 ? std::atoi(name + 4) : otherwise;
}

}  // namespace

int main(int argc, char** argv) {
  const char* exitText = std::getenv("TAVIX_RECORD_EXIT");
  char target[MAX_PATH * 2] = {};
  DWORD n = GetEnvironmentVariableA("TAVIX_RECORD_FILE", target, sizeof target);
  if (n == 0 || n >= sizeof target) {
    DWORD m = GetModuleFileNameA(nullptr, target, MAX_PATH);
    char* cut = std::strrchr(target, '\\');
    if (m == 0 || cut == nullptr) return 2;
    std::strcpy(cut + 1, "record_child.txt");
  }
  char directory[MAX_PATH * 2] = {};
  GetCurrentDirectoryA(sizeof directory, directory);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  const bool append = GetEnvironmentVariableA("TAVIX_RECORD_APPEND", nullptr, 0) != 0;
  const bool echo = GetEnvironmentVariableA("TAVIX_RECORD_ECHO", nullptr, 0) != 0;
  if (echo) {
    for (int i = 1; i < argc; ++i) std::printf("%s%s", argv[i], i + 1 < argc ? " " : "\n");
    std::fflush(stdout);
  }
  std::FILE* out = std::fopen(target, append ? "ab" : "wb");
  if (!out) {
    if (echo) std::fprintf(stderr, "error: unable to open '%s' for writing\n", target);
    return 3;
  }
  std::fprintf(out, "%s\n%s\n%lx\n%lx %x\n", GetCommandLineA(), directory,
               static_cast<unsigned long>(GetPriorityClass(GetCurrentProcess())),
               static_cast<unsigned long>(startup.dwFlags), static_cast<unsigned>(startup.wShowWindow));
  if (std::fclose(out) != 0) return 4;
  const char* last = argc > 1 ? argv[argc - 1] : "";
  const char* name = std::strrchr(last, '\\');
  const int exitCode = ExitCodeNamed(name ? name + 1 : last, exitText ? std::atoi(exitText) : 0);
  char release[MAX_PATH * 2] = {};
  n = GetEnvironmentVariableA("TAVIX_RECORD_WAIT", release, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return exitCode;
  std::snprintf(release + n, sizeof release - n, "\\%s.go", name ? name + 1 : last);
  while (GetFileAttributesA(release) == INVALID_FILE_ATTRIBUTES) Sleep(20);
  out = std::fopen(target, "ab");
  if (!out) {
    if (echo) std::fprintf(stderr, "error: unable to open '%s' for writing\n", target);
    return 3;
  }
  std::fputs("end\n", out);
  return std::fclose(out) == 0 ? exitCode : 4;
}
