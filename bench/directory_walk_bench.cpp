// The directory walk over a real tree of 20,020 directories on this machine's
// file system, next to `find DIR -type d` over the same tree. The walk runs
// on the system's own calls: mmap/mprotect/munmap for the frame blocks,
// opendir/readdir for the search.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "bench_summary.h"
#include "expand/directory_walk.h"

extern char** environ;

namespace {

constexpr int kTop = 20;
constexpr int kMiddle = 20;
constexpr int kLeaves = 49;
constexpr int kDirectories = kTop + kTop * kMiddle + kTop * kMiddle * kLeaves;  // 20,020

// The tree, made once under the benchmark's folder and kept for later runs.
const std::string& TreeRoot() {
  static const std::string root = [] {
    const char* base = std::getenv("TAVIX_BENCH_DIR");
    std::string path = std::string(base != nullptr ? base : ".") + "/walk-tree";
    const std::string done = path + "/.complete";
    if (access(done.c_str(), F_OK) == 0) return path;
    mkdir(path.c_str(), 0755);
    char name[64];
    for (int a = 0; a < kTop; ++a) {
      std::snprintf(name, sizeof name, "/t%02d", a);
      std::string top = path + name;
      mkdir(top.c_str(), 0755);
      for (int b = 0; b < kMiddle; ++b) {
        std::snprintf(name, sizeof name, "/m%02d", b);
        std::string middle = top + name;
        mkdir(middle.c_str(), 0755);
        for (int c = 0; c < kLeaves; ++c) {
          std::snprintf(name, sizeof name, "/leaf%02d", c);
          mkdir((middle + name).c_str(), 0755);
        }
      }
    }
    if (FILE* f = std::fopen(done.c_str(), "w")) std::fclose(f);
    return path;
  }();
  return root;
}

// --- the walk's platform on this system ------------------------------------

DIR* g_search = nullptr;
std::string g_searchDirectory;
std::string g_searchPattern;

char* ReserveBlock() {
  void* block = mmap(nullptr, kWalkBlockSize, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
                     -1, 0);
  return block == MAP_FAILED ? nullptr : static_cast<char*>(block);
}

int CommitPages(char* at, std::size_t size) {
  return mprotect(at, size, PROT_READ | PROT_WRITE) == 0;
}

void ReleaseBlock(char* block) { munmap(block, kWalkBlockSize); }

int FindNext(void*, FoundEntry* entry) {
  while (dirent* found = readdir(g_search)) {
    if (fnmatch(g_searchPattern.c_str(), found->d_name, 0) != 0) continue;
    int isDirectory = found->d_type == DT_DIR;
    if (found->d_type == DT_UNKNOWN) {
      struct stat info;
      std::string path = g_searchDirectory + "/" + found->d_name;
      isDirectory = stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }
    entry->attributes = isDirectory ? kDirectoryAttribute : 0;
    entry->shortName[0] = '\0';
    std::snprintf(entry->name, sizeof entry->name, "%s", found->d_name);
    return 1;
  }
  return 0;
}

void FindClose(void*) {
  if (g_search != nullptr) closedir(g_search);
  g_search = nullptr;
}

// "dir\pattern", either separator, searched as the directory and a name pattern.
int FindFirst(void*, const char* pattern, FoundEntry* entry) {
  std::string path(pattern);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  const std::size_t slash = path.rfind('/');
  g_searchDirectory = slash == std::string::npos ? "." : path.substr(0, slash);
  g_searchPattern = path.substr(slash + 1);
  g_search = opendir(g_searchDirectory.c_str());
  if (g_search == nullptr) return 0;
  if (FindNext(nullptr, entry)) return 1;
  FindClose(nullptr);
  return 0;
}

void ReportError(int) {}

const WalkPlatform kSystem = {ReserveBlock, CommitPages, ReleaseBlock,
                              {FindFirst, FindNext, FindClose, nullptr, nullptr}, ReportError};

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double Seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
}

// Reported as manual time: the processor time of the walk (user and system).
void WalkDirectories(benchmark::State& state) {
  const std::string pattern = TreeRoot() + "/*";
  int handedOut = 0;
  for (auto _ : state) {
    const double start = ThreadSeconds();
    handedOut = 0;
    char directory[260];
    DirectoryWalk walk{};
    if (StartDirectoryWalk(&walk, kSystem, pattern.c_str())) {
      while (TakeWalkDirectory(&walk, kSystem, directory, sizeof directory)) ++handedOut;
    }
    state.SetIterationTime(ThreadSeconds() - start);
  }
  if (handedOut != kDirectories) state.SkipWithError("the walk missed directories");
}
TAVIX_BENCHMARK(WalkDirectories)->UseManualTime();

// The anchor: find over the same tree, its output thrown away. Reported as
// manual time: the processor time of the find process (user and system).
void FindDirectories(benchmark::State& state) {
  const std::string& root = TreeRoot();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  char* arguments[] = {const_cast<char*>("find"), const_cast<char*>(root.c_str()),
                       const_cast<char*>("-type"), const_cast<char*>("d"), nullptr};
  for (auto _ : state) {
    pid_t child = 0;
    int status = 0;
    rusage usage{};
    if (posix_spawnp(&child, "find", &actions, nullptr, arguments, environ) != 0 ||
        wait4(child, &status, 0, &usage) != child || status != 0) {
      state.SkipWithError("find failed");
      break;
    }
    state.SetIterationTime(Seconds(usage.ru_utime) + Seconds(usage.ru_stime));
  }
  posix_spawn_file_actions_destroy(&actions);
}
TAVIX_BENCHMARK(FindDirectories)->UseManualTime();

const int kWalkRow = AddBenchSummary(
    {"directory walk, 20,020 directories (CPU time)", "find DIR -type d", 0, nullptr, 0, 1.2, 0,
     "<= 1.2x"},
    "WalkDirectories", "FindDirectories", kManualClock);

}  // namespace
