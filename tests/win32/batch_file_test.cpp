// Batch files written from the main dialog: what cmd hands the program when
// names found on disk hold "&", "^", "%" or a blank, and how a batch file
// that cannot be written whole is reported.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/startup.h"
#include "expand/file_expansion.h"
#include "hidden_main_dialog.h"
#include "import_patch.h"
#include "msgbox_watch.h"
#include "run/batch_file_win32.h"
#include "run/launch.h"
#include "support/messages.h"
#include "support/format_text.h"
#include "system_text.h"
#include "test_env.h"

namespace {

// The parameters of an ASCII command line as the C runtime splits them.
std::vector<std::string> SplitArguments(const std::string& line) {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(std::wstring(line.begin(), line.end()).c_str(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.emplace_back(argv[i], argv[i] + wcslen(argv[i]));
  LocalFree(argv);
  return arguments;
}

decltype(&WriteFile) g_realWriteFile = nullptr;
BOOL WINAPI DiskFullWriteFile(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) {
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

// The search as on a volume without short names.
decltype(&FindFirstFileA) g_realFindFirst = nullptr;
decltype(&FindNextFileA) g_realFindNext = nullptr;
HANDLE WINAPI FindFirstWithoutShortName(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
  HANDLE search = g_realFindFirst(pattern, data);
  if (search != INVALID_HANDLE_VALUE) data->cAlternateFileName[0] = '\0';
  return search;
}
BOOL WINAPI FindNextWithoutShortName(HANDLE search, LPWIN32_FIND_DATAA data) {
  data->cAlternateFileName[0] = '\0';
  return g_realFindNext(search, data) && (data->cAlternateFileName[0] = '\0', true);
}

// The short name the system gives the entry `path` (wide).
std::string ShortNameOf(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(path.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return "";
  FindClose(search);
  const std::wstring name = data.cAlternateFileName;
  return std::string(name.begin(), name.end());
}

class BatchFileTest : public HiddenMainDialogSuite {
 protected:
  void SetUp() override {
    ASSERT_NE(dialog_, nullptr);
    scratch_ = MakeTempDir("batch");
    Set(IDC_CURPATH, "");
    for (int i = 0; i < 8; ++i) Set(kSwitchIds[i], ""), Set(kFileIds[i], "");
  }
  void Set(int id, const std::string& text) { SetDlgItemTextA(dialog_, id, text.c_str()); }
  // Writes the batch file, closing and recording every box it shows.
  int Write(const char* path, std::vector<SeenBox>* boxes) {
    int result = -1;
    *boxes = WatchBoxesDuring(nullptr, [&] { result = WriteBatchFile(dialog_, ReadSet(dialog_), path); });
    return result;
  }
  std::string scratch_;
};

TEST_F(BatchFileTest, NamesFoundOnDiskReachTheProgramAsTheyAre) {
  const std::vector<std::string> folders = {"R&D", "50%", "a^b", "my dir"},
                                 files = {"f&g.txt", "h%i.txt", "j^k.txt", "l m.txt"};
  for (size_t i = 0; i < folders.size(); ++i) {
    ASSERT_TRUE(CreateDirectoryA(JoinTestPath(scratch_, folders[i]).c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(JoinTestPath(scratch_, folders[i] + "\\" + files[i]), ""));
  }
  Set(IDC_EXEPATH, JoinTestPath(TestExeDir(), "record_child.exe"));
  Set(IDC_CURPATH, JoinTestPath(scratch_, "*"));
  Set(kFileIds[0], "*.txt");
  Set(kFileIds[1], "*/");
  Set(kSwitchIds[2], "%TAVIX_MARK%");  // typed: cmd still expands it
  const std::string batch = JoinTestPath(scratch_, "run.bat"),
                    record = JoinTestPath(scratch_, "record.txt");
  std::vector<SeenBox> boxes;
  ASSERT_EQ(Write(batch.c_str(), &boxes), 1);
  EXPECT_TRUE(boxes.empty());

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
  SetEnvironmentVariableA("TAVIX_RECORD_APPEND", nullptr);

  // Four lines per start: command line, current directory, priority, flags.
  std::vector<std::string> lines;
  const std::string text = ReadWholeFile(record);
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
       start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  ASSERT_EQ(lines.size(), 4 * folders.size()) << text << ReadWholeFile(batch);
  for (size_t f = 0; f < folders.size(); ++f) {
    size_t i = 0;
    while (i < lines.size() && lines[i + 1] != JoinTestPath(scratch_, folders[f])) i += 4;
    ASSERT_LT(i, lines.size()) << folders[f] << "\n" << text;
    EXPECT_EQ(SplitArguments(lines[i]), (std::vector<std::string>{files[f], folders[f], "typed"}));
  }
}

TEST_F(BatchFileTest, NamesTheCodePageCannotHoldGoByShortNameOrAreReported) {
  const std::wstring folder = std::wstring(scratch_.begin(), scratch_.end()) + L"\\\u2603dir";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  HANDLE file = CreateFileW((folder + L"\\a\u2603b.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  ASSERT_TRUE(WriteWholeFile(scratch_ + "\\" + ShortNameOf(folder) + "\\axb.txt", ""));
  const std::string fileShort = ShortNameOf(folder + L"\\a\u2603b.txt");
  ASSERT_FALSE(fileShort.empty());
  Set(IDC_EXEPATH, "x.exe");
  Set(IDC_CURPATH, scratch_ + "\\*");
  Set(kFileIds[0], "*.txt");
  const std::string batch = scratch_ + "\\u.bat";
  std::vector<SeenBox> boxes;
  ASSERT_EQ(Write(batch.c_str(), &boxes), 1);
  EXPECT_TRUE(boxes.empty());
  const std::string head = "C:\r\n@(call )\r\npushd " + scratch_ + "\\" + ShortNameOf(folder) +
                           "\r\n@if errorlevel 1 exit /b 1\r\n";
  const std::string lines[] = {"x.exe " + fileShort + "\r\n", "x.exe axb.txt\r\n"};
  const std::string text = ReadWholeFile(batch);
  EXPECT_TRUE(text == head + lines[0] + lines[1] + "popd\r\n" ||
              text == head + lines[1] + lines[0] + "popd\r\n")
      << text;

  // Without short names the folder is left out, so there is no walk; the
  // box tells so after the lines were built.
  void** first = SwapKernelImport("FindFirstFileA", &FindFirstWithoutShortName, &g_realFindFirst);
  void** next = SwapKernelImport("FindNextFileA", &FindNextWithoutShortName, &g_realFindNext);
  EXPECT_EQ(Write(batch.c_str(), &boxes), 1);
  RestoreKernelImport(first, g_realFindFirst);
  RestoreKernelImport(next, g_realFindNext);
  EXPECT_EQ(ReadWholeFile(batch),
            "C:\r\n@(call )\r\npushd " + scratch_ +
                "\\*\r\n@if errorlevel 1 exit /b 1\r\nx.exe *.txt\r\npopd\r\n");
  char expected[600];
  FormatText(expected, sizeof expected, kLeftOutNamesFormat, 1, "?dir");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(boxes[0].caption == kBatchFileTitle && boxes[0].text == expected) << boxes[0].text;
}

TEST_F(BatchFileTest, FailuresAreReportedAndReturnZero) {
  const std::string tooLong(259, 's');
  struct Case {
    std::string path;  // empty: the program's batch file path
    bool diskFull;     // every write fails with ERROR_DISK_FULL
    std::string fileText;
    const char* caption;  // of the one box expected, or null for none
    std::string text;
    const char* before;   // the file there before, which a failure keeps; null: none
  } cases[] = {
      {JoinTestPath(scratch_, "none\\x.bat"), false, "", kBatchFileTitle,
       SystemErrorText(ERROR_PATH_NOT_FOUND), nullptr},
      {JoinTestPath(scratch_, "full.bat"), true, "", kBatchFileTitle,
       SystemErrorText(ERROR_DISK_FULL), "rem full\r\n"},
      {JoinTestPath(scratch_, "long.bat"), false, tooLong + " " + tooLong, kCommandBuildTitle,
       ProgramErrorText(kErrorLineTooLong), nullptr},
      {JoinTestPath(scratch_, "old.bat"), false, tooLong + " " + tooLong, kCommandBuildTitle,
       ProgramErrorText(kErrorLineTooLong), "rem old\r\n"},
      {"", false, "", nullptr, "", nullptr},
  };
  std::snprintf(g_batchFilePath, sizeof g_batchFilePath, "%s",
                JoinTestPath(scratch_, "t.bat").c_str());
  Set(IDC_EXEPATH, "x.exe");
  for (const Case& c : cases) {
    Set(kFileIds[0], c.fileText.substr(0, 259));
    Set(kFileIds[1], c.fileText.empty() ? "" : tooLong);
    ASSERT_TRUE(c.before == nullptr || WriteWholeFile(c.path, c.before));
    void** slot =
        c.diskFull ? SwapKernelImport("WriteFile", &DiskFullWriteFile, &g_realWriteFile) : nullptr;
    std::vector<SeenBox> boxes;
    const int result = Write(c.path.empty() ? nullptr : c.path.c_str(), &boxes);
    RestoreKernelImport(slot, g_realWriteFile);
    EXPECT_EQ(result, c.caption ? 0 : 1) << c.path;
    ASSERT_EQ(boxes.size(), c.caption ? 1u : 0u) << c.path;
    if (c.caption) {
      EXPECT_TRUE(boxes[0].caption == c.caption && boxes[0].text == c.text &&
                  boxes[0].owner == dialog_);
      // A file that failed is never half written: the old one stays, byte for byte.
      bool exists = false;
      EXPECT_EQ(ReadWholeFile(c.path, &exists), c.before ? c.before : "") << c.path;
      EXPECT_EQ(exists, c.before != nullptr) << c.path;
    }
  }
  EXPECT_EQ(ReadWholeFile(g_batchFilePath), "x.exe \r\n");
}

}  // namespace
