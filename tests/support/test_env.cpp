#include "test_env.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
std::atomic<unsigned> g_tempCounter{0};
}

std::string TestDataDir() {
#ifdef _WIN32
  return TAVIX_TEST_DATA_DIR_WIN;
#else
  return TAVIX_TEST_DATA_DIR;
#endif
}

std::string JoinTestPath(const std::string& dir, const std::string& name) {
#ifdef _WIN32
  const char sep = '\\';
#else
  const char sep = '/';
#endif
  if (!dir.empty() && dir.back() == sep) return dir + name;
  return dir + sep + name;
}

#ifdef _WIN32
std::string TestExeDir() {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  size_t cut = s.find_last_of('\\');
  return cut == std::string::npos ? std::string(".") : s.substr(0, cut);
}

std::string MakeTempDir(const char* name) {
  char base[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, base);
  for (;;) {
    char dir[MAX_PATH * 2];
    std::snprintf(dir, sizeof dir, "%stavix-%s-%lu-%u", base, name,
                  static_cast<unsigned long>(GetCurrentProcessId()),
                  g_tempCounter.fetch_add(1));
    if (CreateDirectoryA(dir, nullptr)) return dir;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
  }
}
#else
std::string TestExeDir() {
  char path[4096] = {};
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string s(path, n > 0 ? static_cast<size_t>(n) : 0);
  size_t cut = s.find_last_of('/');
  return cut == std::string::npos ? std::string(".") : s.substr(0, cut);
}

std::string MakeTempDir(const char* name) {
  const char* base = std::getenv("TMPDIR");
  std::string templ = std::string(base && *base ? base : "/tmp") + "/tavix-" + name + "-XXXXXX";
  char* made = mkdtemp(templ.data());
  return made ? std::string(made) : std::string();
}
#endif

std::string ReadWholeFile(const std::string& path, bool* ok) {
  std::string bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    if (ok) *ok = false;
    return bytes;
  }
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  std::fclose(f);
  if (ok) *ok = true;
  return bytes;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool good = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  good = (std::fclose(f) == 0) && good;
  return good;
}
