// Start-up on the system: the paths worked out from this executable, taking
// the parameter file, and finding the window of a running copy.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/startup.h"
#include "app/startup_win32.h"
#include "hidden_window.h"
#include "params/param_file.h"
#include "params/param_file_win32.h"
#include "support/format_text.h"
#include "test_env.h"

namespace {

void UseParameterFile(const std::string& path) {
  FormatText(g_parameterFilePath, kParameterFilePathSize, "%s", path.c_str());
}

TEST(PrepareStartupPaths, WorksFromTheExecutablesOwnFolder) {
  const std::string exeDir = TestExeDir() + "\\";
  ASSERT_EQ(kStartupOk, PrepareStartupPaths(""));
  EXPECT_EQ(exeDir, g_executableDirectory);
  EXPECT_EQ(exeDir + "\\tavix.tvx", g_parameterFilePath);
  EXPECT_STREQ(TAVIX_DATE_TEXT, g_buildDateText);
  EXPECT_STREQ("タビクス Ver." TAVIX_VERSION_TEXT " (" TAVIX_DATE_TEXT ")", g_windowTitle);
  EXPECT_EQ(exeDir + "\\tavix.bat", g_batchFilePath);

  ASSERT_EQ(kStartupOk, PrepareStartupPaths("\"sets\\my work\""));
  EXPECT_EQ(exeDir + "\\sets\\my work.tvx", g_parameterFilePath);
  EXPECT_STREQ("タビクス Ver." TAVIX_VERSION_TEXT " [my work] (" TAVIX_DATE_TEXT ")", g_windowTitle);
  EXPECT_EQ(exeDir + "\\my work.bat", g_batchFilePath);

  EXPECT_EQ(kArgumentTooLong, PrepareStartupPaths(std::string(260, 'a').c_str()));
  EXPECT_EQ(kArgumentInvalid, PrepareStartupPaths("sets\\"));
}

TEST(TakeParameterFile, CreatesAMissingFileAndHoldsIt) {
  const std::string path = JoinTestPath(MakeTempDir("take_new"), "new.tvx");
  UseParameterFile(path);
  ASSERT_EQ(1, TakeParameterFile());
  EXPECT_TRUE(IsParameterFileHeld());
  bool read = true;
  ReadWholeFile(path, &read);
  EXPECT_FALSE(read) << "the held file could be read by another opener";
  ReleaseParameterFile();
  EXPECT_EQ("", ReadWholeFile(path, &read));
  EXPECT_TRUE(read);
}

TEST(TakeParameterFile, LoadsAnExistingFile) {
  const std::string path = JoinTestPath(MakeTempDir("take_old"), "old.tvx");
  ASSERT_TRUE(WriteWholeFile(path, "[default]\r\nEXEPATH=a.exe\r\n[x]\r\n"));
  UseParameterFile(path);
  ASSERT_EQ(1, TakeParameterFile());
  ASSERT_NE(nullptr, FindStoredSet("x"));
  ASSERT_NE(nullptr, FindStoredSet("default"));
  ReleaseParameterFile();
  EXPECT_EQ("[default]\r\nEXEPATH=a.exe\r\n[x]\r\n", ReadWholeFile(path));
}

TEST(TakeParameterFile, FailsOnAFolderAndLeavesTheReasonAsLastError) {
  const std::string path = JoinTestPath(MakeTempDir("take_dir"), "dir.tvx");
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  UseParameterFile(path);
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(0, TakeParameterFile());
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
  EXPECT_FALSE(IsParameterFileHeld());
  ReleaseParameterFile();
}

TEST(TakeParameterFile, FailsWhileAnotherOpenerHoldsTheFile) {
  const std::string path = JoinTestPath(MakeTempDir("take_held"), "held.tvx");
  ASSERT_TRUE(WriteWholeFile(path, "[keep]\r\nEXEPATH=k.exe\r\n"));
  HANDLE other = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, other);
  UseParameterFile(path);
  EXPECT_EQ(0, TakeParameterFile());
  CloseHandle(other);
  ReleaseParameterFile();
  EXPECT_EQ("[keep]\r\nEXEPATH=k.exe\r\n", ReadWholeFile(path));
}

TEST(HandOverToRunningInstance, FindsTheWindowWithThisRunsTitle) {
  FormatText(g_windowTitle, kWindowTitleSize, "startup test %lu", GetCurrentProcessId());
  EXPECT_EQ(0, HandOverToRunningInstance(0));
  HWND window = CreateHiddenWindow(g_windowTitle);
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(1, HandOverToRunningInstance(0));
  DestroyWindow(window);
  EXPECT_EQ(0, HandOverToRunningInstance(0));
}

}  // namespace
