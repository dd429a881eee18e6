// A console program for the run list's output tests. Its last argument names
// a file of steps, one per line (the file the run list matched):
//   out TEXT    writes TEXT to standard output ("\n", "\r", "\0", "\\" escapes)
//   err TEXT    the same to standard error
//   pid         writes its process id into <file>.pid
//   spawn       starts a copy of itself that runs until ended and writes
//               that copy's process id into <file>.spawn
//   background  starts a copy of itself that holds the inherited standard
//               handles until <file>.go exists, then ends (its process id
//               in <file>.go.pid)
//   flood       writes lines to standard output without end
//   late SUFFIX starts a copy of itself holding the inherited standard
//               handles that, once <file>SUFFIX exists, writes a line to
//               standard output and notes how that went in <file>SUFFIX.wrote
//               (its process id in <file>SUFFIX.pid)
//   wait SUFFIX waits for <file>SUFFIX to exist
//   check TEXT  writes TEXT to standard output and notes how that went in
//               <file>.wrote: "ok", or "failed <error>"
//   console     writes "shared console" when more than two processes use
//               its console (more than itself and a cmd that started it),
//               "own console" else
//   exit N      ends with code N (0 when the file ends without it)
// With "-wait FILE" as its only arguments it waits for FILE to exist; with
// "-late FILE" it does what "late" asks of it; with "-forever" it sleeps
// until ended. Whatever a test leaves behind ends
// within two minutes.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string g_file;

bool Write(DWORD which, const std::string& text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      bytes += text[i];
      continue;
    }
    const char c = text[++i];
    bytes += c == 'n' ? '\n' : c == 'r' ? '\r' : c == '0' ? '\0' : c;
  }
  DWORD written = 0;
  return WriteFile(GetStdHandle(which), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void WaitFor(const std::string& path) {
  for (int i = 0; i < 6000 && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(20);
}

// Writes `text` and notes in `path` whether the write succeeded.
void Check(const std::string& text, const std::string& path) {
  const bool wrote = Write(STD_OUTPUT_HANDLE, text);
  const DWORD error = GetLastError();
  if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
    if (wrote) std::fprintf(out, "ok");
    if (!wrote) std::fprintf(out, "failed %lu", static_cast<unsigned long>(error));
    std::fclose(out);
  }
}

void Note(const char* suffix, DWORD id) {
  if (std::FILE* out = std::fopen((g_file + suffix).c_str(), "wb")) {
    std::fprintf(out, "%lu", static_cast<unsigned long>(id));
    std::fclose(out);
  }
}

// Starts a copy of this program with `arguments`, handing on the handles.
DWORD StartCopy(const std::string& arguments) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string line = "\"" + std::string(self) + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started)) return 0;
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return started.dwProcessId;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "-wait") == 0) {
    g_file = argv[2];
    Note(".pid", GetCurrentProcessId());
    WaitFor(argv[2]);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "-late") == 0) {
    g_file = argv[2];
    Note(".pid", GetCurrentProcessId());
    WaitFor(argv[2]);
    Check("late\\n", std::string(argv[2]) + ".wrote");
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "-forever") == 0) {
    Sleep(120000);
    return 0;
  }
  if (argc < 2) return 2;
  g_file = argv[argc - 1];
  std::FILE* steps = std::fopen(g_file.c_str(), "rb");
  if (steps == nullptr) return 3;
  char line[1024];
  while (std::fgets(line, sizeof line, steps) != nullptr) {
    std::string step(line);
    while (!step.empty() && (step.back() == '\n' || step.back() == '\r')) step.pop_back();
    const std::string word = step.substr(0, step.find(' '));
    const std::string rest = step.size() > word.size() ? step.substr(word.size() + 1) : "";
    if (word == "out") Write(STD_OUTPUT_HANDLE, rest);
    if (word == "err") Write(STD_ERROR_HANDLE, rest);
    if (word == "pid") Note(".pid", GetCurrentProcessId());
    if (word == "spawn") Note(".spawn", StartCopy("-forever"));
    if (word == "background") StartCopy("-wait \"" + g_file + ".go\"");
    if (word == "late") StartCopy("-late \"" + g_file + rest + "\"");
    if (word == "wait") WaitFor(g_file + rest);
    if (word == "check") Check(rest, g_file + ".wrote");
    if (word == "console") {
      DWORD ids[16];
      Write(STD_OUTPUT_HANDLE, GetConsoleProcessList(ids, 16) > 2 ? "shared console\\n" : "own console\\n");
    }
    if (word == "exit") return std::atoi(rest.c_str());
    const DWORD began = GetTickCount();
    while (word == "flood" && GetTickCount() - began < 120000 &&
           Write(STD_OUTPUT_HANDLE, "flooding the pipe with one line after another\\r\\n")) {
    }
  }
  return 0;
}
