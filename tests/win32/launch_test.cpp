#include "run/launch.h"
#include "support/messages.h"
#include "run/launch_win32.h"
#include "run/launch_flags.h"
#include "run/run_child_win32.h"
#include "run/shared_console_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "support/msgbox_watch.h"
#include "support/hidden_window.h"
#include "support/launch_spy.h"
#include "support/system_text.h"
#include "support/test_env.h"
#include "support/window_census.h"

namespace {

constexpr char kFailTitle[] = "タビクス：実行失敗";

// Under Wine (which exports wine_get_version from ntdll) a priority class
// passed in the creation flags does not reach the child.
bool SystemAppliesCreationPriority() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr;
}

struct ChildRecord {
  bool ok = false;
  std::string commandLine;
  std::string directory;
  unsigned long priorityClass = 0;
  std::string startup;
};

// Splits the child's record into its four LF-ended lines.
ChildRecord ReadRecord(const std::string& path) {
  ChildRecord record;
  bool ok = false;
  const std::string bytes = ReadWholeFile(path, &ok);
  if (!ok) return record;
  std::vector<std::string> lines;
  size_t from = 0;
  for (size_t at; (at = bytes.find('\n', from)) != std::string::npos; from = at + 1)
    lines.push_back(bytes.substr(from, at - from));
  if (lines.size() != 4) return record;
  record.commandLine = lines[0];
  record.directory = lines[1];
  record.priorityClass = std::stoul(lines[2], nullptr, 16);
  record.startup = lines[3];
  record.ok = true;
  return record;
}

class LaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_ = CreateHiddenWindow("owner");
    ASSERT_NE(owner_, nullptr);
    scratch_ = MakeTempDir("launch");
    ASSERT_FALSE(scratch_.empty());
    record_ = JoinTestPath(scratch_, "record.txt");
    SetEnvironmentVariableA("TAVIX_RECORD_FILE", record_.c_str());
    child_ = JoinTestPath(TestExeDir(), "record_child.exe");
    ASSERT_TRUE(AttachLaunchSpy());
  }
  void TearDown() override {
    DetachLaunchSpy();
    SetEnvironmentVariableA("TAVIX_RECORD_FILE", nullptr);
    if (owner_) DestroyWindow(owner_);
  }

  // Launches the child, shows no box, waits for its end and reads its record.
  ChildRecord Run(const char* command, const char* arguments, const char* directory, int priority) {
    DeleteFileA(record_.c_str());
    HANDLE process = nullptr;
    std::vector<SeenBox> boxes = WatchBoxesDuring(nullptr, [&] {
      process = LaunchCommand(owner_, command, arguments, directory, priority);
    });
    EXPECT_TRUE(boxes.empty()) << (boxes.empty() ? "" : boxes[0].text);
    if (!process) return ChildRecord();
    EXPECT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0);
    DWORD code = 99;
    EXPECT_TRUE(GetExitCodeProcess(process, &code));
    EXPECT_EQ(code, 0u);
    CloseHandle(process);
    return ReadRecord(record_);
  }

  // The one CreateProcessA call of the last launch.
  CreateCall LastCall() {
    EXPECT_EQ(g_launchSpy.creates.size(), 1u);
    CreateCall call = g_launchSpy.creates.empty() ? CreateCall() : g_launchSpy.creates.back();
    g_launchSpy.creates.clear();
    return call;
  }

  HWND owner_ = nullptr;
  std::string scratch_;
  std::string record_;
  std::string child_;
};

TEST_F(LaunchTest, CommandLineIsCommandAloneOrCommandBlankArguments) {
  const std::string quoted = "\"" + child_ + "\"";
  // A copy of the child in a folder with a blank, and a batch file that
  // starts it with its arguments, in a folder whose name cmd would split.
  const std::string spaced = JoinTestPath(scratch_, "my tools\\child.exe");
  ASSERT_TRUE(CreateDirectoryA(JoinTestPath(scratch_, "my tools").c_str(), nullptr));
  ASSERT_TRUE(CopyFileA(child_.c_str(), spaced.c_str(), FALSE));
  ASSERT_TRUE(CreateDirectoryA(JoinTestPath(scratch_, "R&D").c_str(), nullptr));
  const std::string batch = JoinTestPath(scratch_, "R&D\\t.bat");
  ASSERT_TRUE(WriteWholeFile(batch, "@" + quoted + " %*\r\n"));
  char system[MAX_PATH];
  ASSERT_NE(GetSystemDirectoryA(system, MAX_PATH), 0u);
  struct Case {
    std::string command;
    const char* arguments;
    std::string expected;
    std::string childSees = "";  // when it differs from the line passed
  } cases[] = {
      {child_, nullptr, child_},
      {child_, "", child_ + " "},
      {quoted, nullptr, quoted},
      {quoted, "", quoted + " "},
      {child_, "-o out.obj \"a b.c\"  表.c", child_ + " -o out.obj \"a b.c\"  表.c"},
      {quoted, " x ", quoted + "  x "},
      {spaced, "a b", "\"" + spaced + "\" a b"},
      {batch, "\"x&y.txt\"",
       std::string(system) + "\\cmd.exe /d /e:on /v:off /c \"\"" + batch + "\" \"x&y.txt\"\"",
       quoted + " \"x&y.txt\""},
  };
  for (const Case& c : cases) {
    ChildRecord record = Run(c.command.c_str(), c.arguments, nullptr, -1);
    EXPECT_EQ(LastCall().commandLine, c.expected);
    ASSERT_TRUE(record.ok) << c.expected;
    EXPECT_EQ(record.commandLine, c.childSees.empty() ? c.expected : c.childSees);
  }
}

// Exit code 259 is what GetExitCodeProcess reports for a running process
// too: only the handle tells a child that ended with it from one that runs.
TEST_F(LaunchTest, ChildEndedAsksTheHandleNotTheExitCode) {
  SetEnvironmentVariableA("TAVIX_RECORD_WAIT", scratch_.c_str());
  for (const char* name : {"exit0", "exit1", "exit259"}) {
    HANDLE child = nullptr;
    const std::vector<SeenBox> boxes = WatchBoxesDuring(nullptr, [&] {
      child = LaunchCommand(owner_, child_.c_str(), name, nullptr, -1);
    });
    EXPECT_TRUE(boxes.empty()) << (boxes.empty() ? "" : boxes[0].text);
    if (child == nullptr) continue;
    DWORD code = 1234;
    EXPECT_EQ(0, ChildEnded(child, &code)) << name;  // it waits for its .go file
    WriteWholeFile(JoinTestPath(scratch_, std::string(name) + ".go"), "");
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(child, 30000));
    EXPECT_EQ(1, ChildEnded(child, &code)) << name;
    EXPECT_EQ(std::stoul(name + 4), code);
    CloseHandle(child);
  }
  SetEnvironmentVariableA("TAVIX_RECORD_WAIT", nullptr);
}

TEST_F(LaunchTest, ChildStartsInTheGivenDirectory) {
  const std::string sub = JoinTestPath(scratch_, "作業 dir");
  ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
  ChildRecord record = Run(child_.c_str(), nullptr, sub.c_str(), -1);
  EXPECT_EQ(LastCall().directory, sub);
  ASSERT_TRUE(record.ok);
  EXPECT_EQ(lstrcmpiA(record.directory.c_str(), sub.c_str()), 0) << record.directory;
}

TEST_F(LaunchTest, WithoutADirectoryTheChildStartsInOurs) {
  char ours[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, ours);
  for (const char* none : {static_cast<const char*>(nullptr), ""}) {
    ChildRecord record = Run(child_.c_str(), nullptr, none, -1);
    EXPECT_TRUE(LastCall().directoryNull);
    ASSERT_TRUE(record.ok);
    EXPECT_EQ(lstrcmpiA(record.directory.c_str(), ours), 0) << record.directory;
  }
  // cmd cannot start in a UNC folder: a batch file's command line enters it
  // (and leaves it), and the system is given none.
  HANDLE child = LaunchCommand(owner_, "C:\\t.bat", nullptr, "\\\\srv\\s", -1);
  const CreateCall call = LastCall();
  EXPECT_TRUE(call.directoryNull);
  EXPECT_NE(call.commandLine.find(" /d /e:on /v:off /c \"pushd \"\\\\srv\\s\" || exit 1 & \"C:\\t.bat\" & call set "),
            std::string::npos)
      << call.commandLine;
  if (child != nullptr) WaitForSingleObject(child, 30000), CloseHandle(child);
}

TEST_F(LaunchTest, CallsTheSystemWithAZeroedRecordShownNormally) {
  ChildRecord record = Run(child_.c_str(), "a", nullptr, -1);
  const CreateCall call = LastCall();
  EXPECT_TRUE(call.appNameNull);
  EXPECT_TRUE(call.processAttributesNull);
  EXPECT_TRUE(call.threadAttributesNull);
  EXPECT_EQ(call.inheritHandles, FALSE);
  EXPECT_EQ(call.flags, 0u);
  EXPECT_TRUE(call.environmentNull);
  STARTUPINFOA expectedStartup{};
  expectedStartup.cb = sizeof expectedStartup;
  expectedStartup.dwFlags = STARTF_USESHOWWINDOW;
  expectedStartup.wShowWindow = SW_SHOWNORMAL;
  EXPECT_EQ(std::memcmp(&call.startup, &expectedStartup, sizeof expectedStartup), 0);
  ASSERT_TRUE(record.ok);
  char expected[32];
  wsprintfA(expected, "%lx %x", static_cast<unsigned long>(STARTF_USESHOWWINDOW),
            static_cast<unsigned>(SW_SHOWNORMAL));
  EXPECT_EQ(record.startup, expected);
}

TEST_F(LaunchTest, PriorityIndexPassesExactlyThatClass) {
  // The flags passed must be exactly the class, nothing else; the child sees
  // the class where the system applies it (Wine does not).
  ASSERT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
  const bool applied = SystemAppliesCreationPriority();
  struct Case {
    int index;
    DWORD flags;
    DWORD childSees;
  } cases[] = {
      {-1, 0, NORMAL_PRIORITY_CLASS},  // the default for a parent of normal priority
      {-7, 0, NORMAL_PRIORITY_CLASS},
      {0, HIGH_PRIORITY_CLASS, HIGH_PRIORITY_CLASS},
      {1, ABOVE_NORMAL_PRIORITY_CLASS, ABOVE_NORMAL_PRIORITY_CLASS},
      {2, NORMAL_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS},
      {3, BELOW_NORMAL_PRIORITY_CLASS, BELOW_NORMAL_PRIORITY_CLASS},
      {4, IDLE_PRIORITY_CLASS, IDLE_PRIORITY_CLASS},
  };
  for (const Case& c : cases) {
    ChildRecord record = Run(child_.c_str(), nullptr, nullptr, c.index);
    EXPECT_EQ(LastCall().flags, c.flags) << c.index;
    ASSERT_TRUE(record.ok) << c.index;
    if (applied) {
      EXPECT_EQ(record.priorityClass, static_cast<unsigned long>(c.childSees)) << c.index;
    }
  }
}

TEST_F(LaunchTest, ReturnsTheProcessHandleAndClosesTheThreadHandle) {
  HANDLE process = LaunchCommand(owner_, child_.c_str(), nullptr, nullptr, -1);
  const CreateCall call = LastCall();
  ASSERT_NE(process, nullptr);
  ASSERT_TRUE(call.result);
  EXPECT_EQ(process, call.started.hProcess);
  DWORD handleFlags = 0;
  EXPECT_TRUE(GetHandleInformation(process, &handleFlags));
  EXPECT_FALSE(GetHandleInformation(call.started.hThread, &handleFlags));
  EXPECT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0);
  CloseHandle(process);
}

TEST_F(LaunchTest, MissingProgramShowsTheSystemTextUnderItsTitle) {
  const std::string missing = JoinTestPath(scratch_, "nothing_here.exe");
  HANDLE process = reinterpret_cast<HANDLE>(1);
  std::vector<SeenBox> boxes = WatchBoxesDuring(nullptr, [&] {
    process = LaunchCommand(owner_, missing.c_str(), "a b", nullptr, 0);
  });
  EXPECT_EQ(process, nullptr);
  EXPECT_EQ(LastCall().result, FALSE);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, kFailTitle);
  EXPECT_EQ(boxes[0].owner, owner_);
  ASSERT_FALSE(SystemErrorText(ERROR_FILE_NOT_FOUND).empty());
  EXPECT_EQ(boxes[0].text, SystemErrorText(ERROR_FILE_NOT_FOUND));
}

TEST_F(LaunchTest, MissingDirectoryShowsTheTextOfItsOwnError) {
  const std::string missing = JoinTestPath(scratch_, "no such dir");
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string line = child_;
  ASSERT_FALSE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                              missing.c_str(), &si, &pi));
  const DWORD error = GetLastError();
  g_launchSpy.creates.clear();
  std::vector<SeenBox> boxes = WatchBoxesDuring(nullptr, [&] {
    EXPECT_EQ(LaunchCommand(owner_, child_.c_str(), "", missing.c_str(), 2), nullptr);
  });
  EXPECT_EQ(LastCall().directory, missing);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, kFailTitle);
  ASSERT_FALSE(SystemErrorText(error).empty());
  EXPECT_EQ(boxes[0].text, SystemErrorText(error));
}

TEST_F(LaunchTest, LineTooLongForItsBufferIsRefusedWithAMessage) {
  const std::string arguments(1024 - child_.size() - 1, 'a');  // one byte too many
  std::vector<SeenBox> boxes = WatchBoxesDuring(nullptr, [&] {
    EXPECT_EQ(LaunchCommand(owner_, child_.c_str(), arguments.c_str(), nullptr, -1), nullptr);
  });
  EXPECT_TRUE(g_launchSpy.creates.empty());  // nothing is started with a cut line
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, kFailTitle);
  EXPECT_EQ(boxes[0].text, SystemErrorText(ERROR_INSUFFICIENT_BUFFER));
}

// Starts commands as the run list does, with their output taken in
// (`output` of the store) or not (-1).
class ConsoleTest : public LaunchTest {
 protected:
  void SetUp() override {
    LaunchTest::SetUp();
    ReleaseSharedConsole();
    outputChild_ = JoinTestPath(TestExeDir(), "output_child.exe");
    BeginOutputs(&store_, kKeptOutputBytes, kAllOutputBytes, LockOutputs);
    sink_ = OutputSink{&store_, owner_, WM_APP, 0};
    ASSERT_TRUE(StartOutputReader());
  }
  void TearDown() override {
    DetachOutputs(&sink_);
    FreeOutputs(&store_);
    ReleaseSharedConsole();
    LaunchTest::TearDown();
  }
  ListedChild* Start(const std::string& program, const std::string& arguments, int priority, int output) {
    ListedChild* child = nullptr;
    const std::vector<SeenBox> boxes = WatchBoxesDuring(nullptr, [&] {
      child = StartListedChild(owner_, nullptr, program.c_str(), arguments.c_str(), nullptr, priority, &sink_, output);
    });
    EXPECT_TRUE(boxes.empty()) << (boxes.empty() ? "" : boxes[0].text);
    return child;
  }
  void Finish(ListedChild* child) {
    if (child == nullptr) return;
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ListedChildProcess(child), 30000));
    ReleaseListedChild(child);
  }
  // The text of an output once the reader has read everything.
  std::string OutputText(int output) {
    for (int i = 0; i < 1500 && OpenOutputPipes() != 0; ++i) Sleep(20);
    ByteBuffer text{};
    ComposeOutputText(store_, output, &text);
    const std::string bytes(text.data ? text.data : "", text.size);
    FreeByteBuffer(&text);
    return bytes;
  }

  OutputStore store_{};
  OutputSink sink_{};
  std::string outputChild_;
};

// The most visible top-level windows of this test's children seen while it
// watches.
struct WindowWatch {
  static int Visible() { return VisibleWindowsBelow(GetCurrentProcessId()); }
  static DWORD WINAPI Watch(void* self) {
    WindowWatch* watch = static_cast<WindowWatch*>(self);
    while (!watch->stop) {
      watch->most = std::max(watch->most, Visible());
      Sleep(2);
    }
    return 0;
  }
  WindowWatch() : thread(CreateThread(nullptr, 0, Watch, this, 0, nullptr)) {}
  int Most() {
    InterlockedExchange(&stop, 1);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return most;
  }
  volatile LONG stop = 0;
  int most = 0;
  HANDLE thread;
};

// The first taken-in command makes the hidden console (cmd.exe without a
// window; a console this test program was given is let go first), every
// taken-in command inherits it
// without console flags, and so does a console program it starts; no
// window appears meanwhile.
TEST_F(ConsoleTest, TakenInCommandsShareOneHiddenConsoleAndNoWindowAppears) {
  const int before = WindowWatch::Visible();
  WindowWatch watch;
  char shell[MAX_PATH];
  CommandInterpreterPath(shell, sizeof shell);
  const std::string steps = JoinTestPath(scratch_, "steps.txt");
  ASSERT_TRUE(WriteWholeFile(steps, "console\nout done\n"));
  int outputs[2];
  for (int& output : outputs) {
    output = AddOutput(&store_, 1);
    Finish(Start(shell, "/c " + outputChild_ + " " + steps, -1, output));
  }
  EXPECT_TRUE(SharedConsoleHeld());
  EXPECT_EQ(before, watch.Most());
  const std::vector<CreateCall>& calls = g_launchSpy.creates;
  ASSERT_EQ(3u, calls.size());
  EXPECT_EQ(std::string(shell) + " /d /q", calls[0].commandLine);
  EXPECT_EQ(static_cast<DWORD>(CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT), calls[0].flags);
  for (int i : {1, 2}) {
    EXPECT_EQ(static_cast<DWORD>(CREATE_SUSPENDED), calls[i].flags) << i;
    EXPECT_TRUE(calls[i].inheritHandles && (calls[i].startup.dwFlags & STARTF_USESTDHANDLES)) << i;
  }
  for (int output : outputs) EXPECT_EQ("shared console\r\ndone", OutputText(output));
}

// What a command leaves in the console (chcp 65001, other modes) is put
// back before the next start; any other launch gets a console of its own
// while the hidden one is held, and none once it is let go.
TEST_F(ConsoleTest, ConsoleIsPutBackBeforeEachStartAndOtherLaunchesGetTheirOwn) {
  ASSERT_EQ(1, PrepareSharedConsole());
  HANDLE input = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
  HANDLE output = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  DWORD inputMode = 0, outputMode = 0;
  ASSERT_TRUE(GetConsoleMode(input, &inputMode) && GetConsoleMode(output, &outputMode));
  const UINT inputPage = GetConsoleCP(), outputPage = GetConsoleOutputCP();
  ASSERT_TRUE(SetConsoleCP(65001) && SetConsoleOutputCP(65001));
  ASSERT_TRUE(SetConsoleMode(input, inputMode ^ ENABLE_ECHO_INPUT) && SetConsoleMode(output, 0));
  ASSERT_EQ(1, PrepareSharedConsole());
  DWORD nowInput = 0, nowOutput = 0;
  GetConsoleMode(input, &nowInput);
  GetConsoleMode(output, &nowOutput);
  EXPECT_EQ((std::vector<DWORD>{inputPage, outputPage, inputMode, outputMode}),
            (std::vector<DWORD>{GetConsoleCP(), GetConsoleOutputCP(), nowInput, nowOutput}));
  CloseHandle(input);
  CloseHandle(output);

  g_launchSpy.creates.clear();
  ASSERT_TRUE(Run(child_.c_str(), nullptr, nullptr, -1).ok);
  EXPECT_EQ(static_cast<DWORD>(CREATE_NEW_CONSOLE), LastCall().flags);
  ASSERT_TRUE(Run(child_.c_str(), nullptr, nullptr, 0).ok);
  EXPECT_EQ(static_cast<DWORD>(CREATE_NEW_CONSOLE | HIGH_PRIORITY_CLASS), LastCall().flags);
  Finish(Start(child_, "", -1, -1));
  EXPECT_EQ(static_cast<DWORD>(CREATE_NEW_CONSOLE | CREATE_SUSPENDED), LastCall().flags);
  ReleaseSharedConsole();
  EXPECT_EQ(0, SharedConsoleHeld());
  ASSERT_TRUE(Run(child_.c_str(), nullptr, nullptr, -1).ok);
  EXPECT_EQ(0u, LastCall().flags);
}

// Where the console cannot be had, commands start as they did without it:
// each with a console of its own without a window; the host started for it
// ends, and no second one is tried.
TEST_F(ConsoleTest, WithoutTheHiddenConsoleEachCommandGetsOneWithoutAWindow) {
  g_launchSpy.refuseConsole = true;
  for (int round = 0; round < 2; ++round) Finish(Start(child_, "", -1, AddOutput(&store_, 1)));
  EXPECT_EQ(0, SharedConsoleHeld());
  const std::vector<CreateCall>& calls = g_launchSpy.creates;
  ASSERT_EQ(3u, calls.size());
  EXPECT_EQ(static_cast<DWORD>(CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT), calls[0].flags);
  HANDLE host = OpenProcess(SYNCHRONIZE, FALSE, calls[0].started.dwProcessId);
  if (host != nullptr) {
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(host, 30000));
    CloseHandle(host);
  }
  for (int i : {1, 2}) EXPECT_EQ(static_cast<DWORD>(CREATE_SUSPENDED | CREATE_NO_WINDOW), calls[i].flags) << i;
}

// The chosen class reaches every process of a command through its job,
// normal excepted, at the start and when changed (to normal: the job lets
// go; then below normal); a job that cannot carry it leaves the class to
// the command's own process, and its output says so. Each call: the class,
// "-" for none, after "!" when refused.
TEST_F(ConsoleTest, PriorityReachesTheWholeJobOrIsNotedInTheOutput) {
  const struct {
    int priority;
    bool refuse;
    const char* calls;
  } cases[] = {
      {-1, false, "4000"},
      {2, false, "4000"},
      {0, false, "80 - 4000"},
      {4, false, "40 - 4000"},
      {0, true, "!80 !4000"},
  };
  for (const auto& c : cases) {
    g_launchSpy.jobLimits.clear();
    g_launchSpy.refuseJobLimits = c.refuse;
    const int output = AddOutput(&store_, 1);
    ListedChild* child = Start(outputChild_, "-forever", c.priority, output);
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(CreationFlagsForPriority(c.priority), g_launchSpy.creates.back().flags & 0xC0E0) << c.priority;
    SetListedChildPriority(child, NORMAL_PRIORITY_CLASS);
    SetListedChildPriority(child, BELOW_NORMAL_PRIORITY_CLASS);
    EXPECT_EQ(1, StopListedChild(child));
    Finish(child);
    std::string calls;
    for (const JobLimitCall& call : g_launchSpy.jobLimits) {
      char text[16];
      wsprintfA(text, call.limitFlags == JOB_OBJECT_LIMIT_PRIORITY_CLASS ? "%lx" : "-", call.priorityClass);
      calls += (calls.empty() ? "" : " ") + std::string(call.result ? "" : "!") + text;
    }
    EXPECT_EQ(c.calls, calls) << c.priority;
    const std::string note = std::string(kOutputPriorityAloneText) + "\r\n";
    EXPECT_EQ(c.refuse ? note : "", OutputText(output)) << c.priority;
  }
}

// Only where jobs do not nest and the outer job allows it does a command
// leave the job the program runs in; it then joins its own (停止 ends it
// with everything it started).
TEST_F(ConsoleTest, CommandLeavesTheOuterJobOnlyBeforeWindows8WhereAllowed) {
  const struct {
    DWORD major, minor;
    BOOL inJob;
    DWORD limits;
    bool leaves;
  } cases[] = {
      {6, 1, TRUE, JOB_OBJECT_LIMIT_BREAKAWAY_OK, true},
      {6, 0, TRUE, JOB_OBJECT_LIMIT_BREAKAWAY_OK | JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE, true},
      {6, 1, TRUE, JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK, false},
      {6, 1, FALSE, JOB_OBJECT_LIMIT_BREAKAWAY_OK, false},
      {6, 2, TRUE, JOB_OBJECT_LIMIT_BREAKAWAY_OK, false},
      {10, 0, TRUE, JOB_OBJECT_LIMIT_BREAKAWAY_OK, false},
  };
  for (const auto& c : cases) {
    g_launchSpy.system = PretendedSystem{true, c.major, c.minor, c.inJob, c.limits};
    ListedChild* child = Start(outputChild_, "-forever", -1, -1);
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(c.leaves, (g_launchSpy.creates.back().flags & CREATE_BREAKAWAY_FROM_JOB) != 0)
        << c.major << "." << c.minor << " " << c.limits;
    EXPECT_EQ(1, StopListedChild(child));
    Finish(child);
  }
}

class MessageTest : public LaunchTest {};

TEST_F(MessageTest, SystemErrorShowsTheTextOfTheLastError) {
  for (DWORD code : {static_cast<DWORD>(ERROR_ACCESS_DENIED), static_cast<DWORD>(ERROR_PATH_NOT_FOUND)}) {
    std::vector<SeenBox> boxes = WatchBoxesDuring(nullptr, [&] {
      SetLastError(code);
      ShowSystemError(owner_, "題名");
    });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "題名");
    EXPECT_EQ(boxes[0].owner, owner_);
    ASSERT_FALSE(SystemErrorText(code).empty());
    EXPECT_EQ(boxes[0].text, SystemErrorText(code));
  }
}

TEST_F(MessageTest, SystemErrorWithoutASystemTextShowsTheCode) {
  const DWORD code = 0x20001234;  // an application-defined code: no system text
  ASSERT_TRUE(SystemErrorText(code).empty());
  std::vector<SeenBox> boxes = WatchBoxesDuring(nullptr, [&] {
    SetLastError(code);
    ShowSystemError(owner_, "題名");
  });
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "エラーコード 536875572");
}

TEST_F(MessageTest, ShellErrorShowsTheTableTextOrNothing) {
  for (INT_PTR value = -2; value <= 40; ++value) {
    std::vector<SeenBox> boxes = WatchBoxesDuring(nullptr, [&] { ShowShellError(owner_, "開く", value); });
    const char* text = ShellErrorText(value);
    if (text == nullptr) {
      EXPECT_TRUE(boxes.empty()) << value;
      continue;
    }
    ASSERT_EQ(boxes.size(), 1u) << value;
    EXPECT_EQ(boxes[0].caption, "開く");
    EXPECT_EQ(boxes[0].text, text) << value;
    EXPECT_EQ(boxes[0].owner, owner_);
  }
  std::vector<SeenBox> boxes = WatchBoxesDuring(nullptr, [&] { ShowShellError(owner_, "開く", 31); });
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "ファイルの関連付けがありません");
  EXPECT_TRUE(WatchBoxesDuring(nullptr, [&] { ShowShellError(owner_, "開く", 4); }).empty());
  EXPECT_TRUE(WatchBoxesDuring(nullptr, [&] { ShowShellError(owner_, "開く", 33); }).empty());
  EXPECT_TRUE(WatchBoxesDuring(nullptr, [&] { ShowShellError(owner_, "開く", 42); }).empty());
}

TEST_F(MessageTest, ProgramErrorShowsTheTableTextOrNothing) {
  for (int code = -1; code <= 7; ++code) {
    std::vector<SeenBox> boxes =
        WatchBoxesDuring(nullptr, [&] { ShowProgramError(owner_, "タビクス：実行", code); });
    if (code < 0 || code > 6) {
      EXPECT_TRUE(boxes.empty()) << code;
      continue;
    }
    ASSERT_EQ(boxes.size(), 1u) << code;
    EXPECT_EQ(boxes[0].caption, "タビクス：実行");
    EXPECT_EQ(boxes[0].text, ProgramErrorText(code)) << code;
    EXPECT_EQ(boxes[0].owner, owner_);
  }
  std::vector<SeenBox> boxes =
      WatchBoxesDuring(nullptr, [&] { ShowProgramError(owner_, "タビクス：実行", kErrorWildcardDirectory); });
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            "直接モードでディレクトリ展開は使用できません\nBATCHモードを使用してください");
}

}  // namespace
