// Batch files written from the main dialog: what cmd hands the program when
// names found on disk hold "&", "^", "%" or a blank, and how a batch file
// that cannot be written whole is reported.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/startup.h"
#include "hidden_main_dialog.h"
#include "import_patch.h"
#include "msgbox_watch.h"
#include "resource.h"
#include "run/batch_file_win32.h"
#include "run/launch.h"
#include "system_text.h"
#include "test_env.h"

namespace {

// The parameters of a command line as the C runtime splits them.
std::vector<std::string> SplitArguments(const std::string& line) {
  std::wstring wide(line.begin(), line.end());  // the lines here are ASCII
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(wide.c_str(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.emplace_back(argv[i], argv[i] + wcslen(argv[i]));
  LocalFree(argv);
  return arguments;
}

decltype(&WriteFile) g_realWriteFile = nullptr;

BOOL WINAPI DiskFullWriteFile(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED) {
  if (written != nullptr) *written = 0;
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

class BatchFileTest : public HiddenMainDialogSuite {
 protected:
  void SetUp() override {
    ASSERT_NE(dialog_, nullptr);
    scratch_ = MakeTempDir("batch");
    for (int id : {IDC_EXEPATH, IDC_CURPATH}) Set(id, "");
    for (int i = 0; i < 8; ++i) {
      Set(kSwitchIds[i], "");
      Set(kFileIds[i], "");
      CheckDlgButton(dialog_, kSpaceIds[i], BST_UNCHECKED);
    }
  }

  void Set(int id, const std::string& text) { SetDlgItemTextA(dialog_, id, text.c_str()); }

  // Writes the batch file, closing and recording every box it shows.
  int Write(const char* path, std::vector<SeenBox>* boxes) {
    int result = -1;
    *boxes = WatchBoxesDuring(nullptr, [&] { result = WriteBatchFile(dialog_, path); });
    return result;
  }

  std::string scratch_;
};

TEST_F(BatchFileTest, NamesFoundOnDiskReachTheProgramAsTheyAre) {
  struct Folder {
    const char* folder;
    const char* file;
  };
  const Folder folders[] = {{"R&D", "f&g.txt"}, {"50%", "h%i.txt"}, {"a^b", "j^k.txt"},
                            {"my dir", "l m.txt"}};
  for (const Folder& f : folders) {
    ASSERT_TRUE(CreateDirectoryA(JoinTestPath(scratch_, f.folder).c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(JoinTestPath(JoinTestPath(scratch_, f.folder), f.file), ""));
  }
  Set(IDC_EXEPATH, JoinTestPath(TestExeDir(), "record_child.exe"));
  Set(IDC_CURPATH, JoinTestPath(scratch_, "*"));
  Set(kFileIds[0], "*.txt");
  Set(kFileIds[1], "*/");
  Set(kSwitchIds[2], "%TAVIX_MARK%");  // typed: cmd still expands it
  const std::string batch = JoinTestPath(scratch_, "run.bat");
  std::vector<SeenBox> boxes;
  ASSERT_EQ(Write(batch.c_str(), &boxes), 1);
  EXPECT_TRUE(boxes.empty());

  const std::string record = JoinTestPath(scratch_, "record.txt");
  SetEnvironmentVariableA("TAVIX_RECORD_FILE", record.c_str());
  SetEnvironmentVariableA("TAVIX_RECORD_APPEND", "1");
  SetEnvironmentVariableA("TAVIX_MARK", "typed");
  std::string command = "cmd.exe /c \"" + batch + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                             nullptr, nullptr, &startup, &info));
  EXPECT_EQ(WaitForSingleObject(info.hProcess, 60000), WAIT_OBJECT_0);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  for (const char* name : {"TAVIX_RECORD_FILE", "TAVIX_RECORD_APPEND", "TAVIX_MARK"}) {
    SetEnvironmentVariableA(name, nullptr);
  }

  // Four lines per start: command line, current directory, priority, flags.
  std::vector<std::string> lines;
  const std::string text = ReadWholeFile(record);
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  ASSERT_EQ(lines.size(), 4 * std::size(folders)) << text << ReadWholeFile(batch);
  for (const Folder& f : folders) {
    const std::string directory = JoinTestPath(scratch_, f.folder);
    size_t i = 0;
    while (i < lines.size() && lines[i + 1] != directory) i += 4;
    ASSERT_LT(i, lines.size()) << directory << "\n" << text;
    EXPECT_EQ(SplitArguments(lines[i]), (std::vector<std::string>{f.file, f.folder, "typed"}))
        << lines[i];
  }
}

TEST_F(BatchFileTest, FailuresAreReportedAndReturnZero) {
  const std::string tooLong(259, 's');
  struct Case {
    const char* what;
    std::string path;     // empty: the program's batch file path
    bool diskFull;        // every write fails with ERROR_DISK_FULL
    const char* switchText;
    const char* caption;  // of the one box expected, or null for none
    std::string text;
    int result;
  } cases[] = {
      {"missing folder", JoinTestPath(scratch_, "none\\x.bat"), false, "", kBatchFileTitle,
       SystemErrorText(ERROR_PATH_NOT_FOUND), 0},
      {"disk full", JoinTestPath(scratch_, "full.bat"), true, "", kBatchFileTitle,
       SystemErrorText(ERROR_DISK_FULL), 0},
      {"too long", JoinTestPath(scratch_, "long.bat"), false, tooLong.c_str(), kCommandBuildTitle,
       ProgramErrorText(kErrorLineTooLong), 0},
      {"batch file path", "", false, "", nullptr, "", 1},
  };
  std::snprintf(g_batchFilePath, sizeof g_batchFilePath, "%s",
                JoinTestPath(scratch_, "tavix.bat").c_str());
  Set(IDC_EXEPATH, "x.exe");
  for (Case& c : cases) {
    Set(kSwitchIds[0], c.switchText);
    Set(kFileIds[0], c.switchText[0] ? tooLong : "");
    void** slot = nullptr;
    if (c.diskFull) slot = SwapKernelImport("WriteFile", &DiskFullWriteFile, &g_realWriteFile);
    std::vector<SeenBox> boxes;
    const int result = Write(c.path.empty() ? nullptr : c.path.c_str(), &boxes);
    RestoreKernelImport(slot, g_realWriteFile);
    EXPECT_EQ(result, c.result) << c.what;
    ASSERT_EQ(boxes.size(), c.caption ? 1u : 0u) << c.what;
    if (c.caption == nullptr) continue;
    EXPECT_EQ(boxes[0].caption, c.caption) << c.what;
    EXPECT_EQ(boxes[0].text, c.text) << c.what;
    EXPECT_EQ(boxes[0].owner, dialog_) << c.what;
  }
  EXPECT_EQ(ReadWholeFile(g_batchFilePath), "x.exe \r\n");
}

}  // namespace
