#include "run/run_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/run_control.h"

namespace {

std::vector<std::string> g_commands;
int g_ended = 0;  // what the source says after its last command

TEST(FillCommandList, EndsTheListOrNamesTheError) {
  const struct {
    std::vector<std::string> commands;
    int ended;
    std::size_t size;
    int result;
    std::string list;
  } cases[] = {
      {{"a", "bc"}, 1, 32, -1, std::string("a\0bc\0\0", 6)},
      {{}, 1, 32, -1, std::string("\0", 1)},
      {{"abc"}, 1, 5, -1, std::string("abc\0\0", 5)},
      {{"abc"}, 1, 4, kErrorMemoryUsedUp, ""},
      {{"a"}, 0, 32, kErrorLineTooLong, ""},
  };
  for (const auto& c : cases) {
    g_commands = c.commands;
    g_ended = c.ended;
    std::size_t next = 0;
    const CommandSource source = {[](void* at, char* out, std::size_t size) -> int {
                                    std::size_t& i = *static_cast<std::size_t*>(at);
                                    return i < g_commands.size() && snprintf(out, size, "%s", g_commands[i++].c_str()) > 0;
                                  },
                                  [] { return g_ended; }, &next};
    std::string block(c.size, '\x7f');
    EXPECT_EQ(c.result, FillCommandList(block.data(), block.size(), source)) << c.size;
    EXPECT_EQ(c.list, c.result < 0 ? block.substr(0, c.list.size()) : "");
  }
}

TEST(ExpandEditCommand, PutsThePathWhereTheCommandNamesTheFile) {
  const char* path = "C:\\My Files\\表.bat";
  const std::pair<const char*, const char*> cases[] = {
      {"\"C:\\np.exe\" \"%1\"", "\"C:\\np.exe\" \"C:\\My Files\\表.bat\""},
      {"np.exe %L %*%2", "np.exe C:\\My Files\\表.bat "},
      {"np.exe 100%", "np.exe 100% \"C:\\My Files\\表.bat\""},
      {"np.exe %1 と長いコマンド", ""},  // does not fit
  };
  for (const auto& [command, expected] : cases) {
    char out[40];
    EXPECT_EQ(expected[0] != '\0', ExpandEditCommand(command, path, out, sizeof out));
    EXPECT_EQ(expected, std::string(out));
  }
}

// Children are numbers 1, 2, ...; each runs until its digit appears in the
// steps. Every child's handle is let go exactly once.
struct FakeRun {
  std::string ended, launched, released;
  int fail, closeInLaunch, finished, aborted;
} g_run;
RunListState g_state;

const RunListPlatform kFake = {
    [](void* child, unsigned long* code) {
      *code = g_run.ended.find(static_cast<char>('0' + reinterpret_cast<long>(child))) != std::string::npos ? 0 : kStillActive;
      return 1;
    },
    [](void* child) { g_run.released += static_cast<char>('0' + reinterpret_cast<long>(child)); },
    [](char* text, std::size_t size) { snprintf(text, size, "%s", "低"); },
    [](int) {},
    [](const char* arguments, int priority) -> void* {
      g_run.launched += arguments + std::to_string(priority);
      if (g_run.closeInLaunch) EndRunList(&g_state, kFake);
      return g_run.fail ? nullptr : reinterpret_cast<void*>(g_run.launched.size() / 2);
    },
    [] { ++g_run.finished; },
    [] { ++g_run.aborted; },
};

TEST(RunListTick, LaunchesInTurnAndLetsEveryChildGoOnce) {
  // Steps: T tick, S skip, E close, F launches fail, C the list closes
  // during a launch, a digit: that child ends.
  const struct {
    const char* list;
    const char* steps;
    const char* launched;
    const char* released;
    int finished, aborted;
  } cases[] = {
      {"a\0b\0c\0", "TT1TSTTE", "a4b4c4", "123", 0, 0},
      {"a\0", "T1TTE", "a4", "1", 1, 0},
      {"a\0", "TEETT", "a4", "1", 0, 0},
      {"a\0", "FTT", "a4", "", 0, 1},
      {"a\0", "CTT", "a4", "1", 0, 0},
      {"a\0", "CFTT", "a4", "", 0, 0},
  };
  for (const auto& c : cases) {
    g_run = FakeRun{};
    BeginRunList(&g_state, c.list);
    EXPECT_EQ(1, StartRunList(&g_state) - StartRunList(&g_state));
    for (const char* step = c.steps; *step; ++step) {
      if (*step == 'T') RunListTick(&g_state, kFake);
      if (*step == 'S') SkipRunningChild(&g_state, kFake);
      if (*step == 'E') EndRunList(&g_state, kFake);
      g_run.fail |= *step == 'F';
      g_run.closeInLaunch |= *step == 'C';
      if (*step >= '1' && *step <= '9') g_run.ended += *step;
    }
    EXPECT_EQ(c.launched, g_run.launched) << c.steps;
    EXPECT_EQ(c.released, g_run.released) << c.steps;
    EXPECT_EQ(c.finished * 10 + c.aborted, g_run.finished * 10 + g_run.aborted) << c.steps;
  }
  EXPECT_EQ(std::string("低"), g_state.priorityLabel);
}

}  // namespace
