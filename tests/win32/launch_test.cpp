#include "run/launch.h"
#include "support/messages.h"
#include "run/launch_win32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/msgbox_watch.h"
#include "support/hidden_window.h"
#include "support/import_patch.h"
#include "support/system_text.h"
#include "support/test_env.h"

namespace {

constexpr char kFailTitle[] = "タビクス：実行失敗";

// Records the arguments of every CreateProcessA call this program makes, by
// pointing its own import of CreateProcessA at a recorder for the duration of
// a test, and passes each call on to the system.
struct CreateCall {
  bool appNameNull = false;
  std::string commandLine;
  bool processAttributesNull = false;
  bool threadAttributesNull = false;
  BOOL inheritHandles = TRUE;
  DWORD flags = 0xFFFFFFFF;
  bool environmentNull = false;
  bool directoryNull = false;
  std::string directory;
  STARTUPINFOA startup{};
  BOOL result = FALSE;
  PROCESS_INFORMATION started{};
};

using CreateProcessAFn = BOOL(WINAPI*)(LPCSTR, LPSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
                                       BOOL, DWORD, LPVOID, LPCSTR, LPSTARTUPINFOA,
                                       LPPROCESS_INFORMATION);
CreateProcessAFn g_realCreateProcessA = nullptr;
std::vector<CreateCall> g_createCalls;

BOOL WINAPI RecordCreateProcessA(LPCSTR app, LPSTR line, LPSECURITY_ATTRIBUTES pa,
                                 LPSECURITY_ATTRIBUTES ta, BOOL inherit, DWORD flags, LPVOID env,
                                 LPCSTR dir, LPSTARTUPINFOA si, LPPROCESS_INFORMATION pi) {
  CreateCall call;
  call.appNameNull = app == nullptr;
  call.commandLine = line ? line : "<null>";
  call.processAttributesNull = pa == nullptr;
  call.threadAttributesNull = ta == nullptr;
  call.inheritHandles = inherit;
  call.flags = flags;
  call.environmentNull = env == nullptr;
  call.directoryNull = dir == nullptr;
  call.directory = dir ? dir : "";
  if (si) call.startup = *si;
  call.result = g_realCreateProcessA(app, line, pa, ta, inherit, flags, env, dir, si, pi);
  if (call.result && pi) call.started = *pi;
  g_createCalls.push_back(call);
  return call.result;
}


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
    slot_ = SwapKernelImport("CreateProcessA", &RecordCreateProcessA, &g_realCreateProcessA);
    ASSERT_NE(slot_, nullptr);
    g_createCalls.clear();
  }
  void TearDown() override {
    RestoreKernelImport(slot_, g_realCreateProcessA);
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
    EXPECT_EQ(g_createCalls.size(), 1u);
    CreateCall call = g_createCalls.empty() ? CreateCall() : g_createCalls.back();
    g_createCalls.clear();
    return call;
  }

  void** slot_ = nullptr;
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
  // cmd cannot start in a UNC folder: a batch file's command line enters it,
  // and the system is given none.
  HANDLE child = LaunchCommand(owner_, "C:\\t.bat", nullptr, "\\\\srv\\s", -1);
  const CreateCall call = LastCall();
  EXPECT_TRUE(call.directoryNull);
  EXPECT_NE(call.commandLine.find(" /d /e:on /v:off /c \"pushd \"\\\\srv\\s\" && \"C:\\t.bat\"\""), std::string::npos)
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
  g_createCalls.clear();
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
  EXPECT_TRUE(g_createCalls.empty());  // nothing is started with a cut line
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, kFailTitle);
  EXPECT_EQ(boxes[0].text, SystemErrorText(ERROR_INSUFFICIENT_BUFFER));
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
