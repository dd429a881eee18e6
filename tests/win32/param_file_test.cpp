// The parameter file on disk: loading and holding it, creating it, the
// rewrites of Save and Delete with the real main dialog (hidden), and that a
// failed rewrite leaves the file as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "folder_entries.h"
#include "hold_file_process.h"
#include "param_file_dialog.h"
#include "param_helpers.h"
#include "param_sparse_file.h"
#include "params/field_table.h"
#include "params/name_list_win32.h"
#include "params/param_file.h"
#include "params/param_file_win32.h"
#include "params/param_set_win32.h"
#include "resource.h"
#include "support/file_io_win32.h"
#include "support/import_patch.h"
#include "test_env.h"

namespace {

class ParamFileWin32Test : public ParamFileDialogTest {
 protected:
  void SetUp() override { OpenDialogOn("paramfile", "tavix.tvx"); }

  // Whether another opener could read the file now (it cannot while held).
  bool OthersCanRead() {
    HANDLE probe = OpenForReadShared(path_.c_str());
    if (probe == INVALID_HANDLE_VALUE) return false;
    CloseFile(probe);
    return true;
  }

  void FillCc() {
    SetDlgItemTextA(dialog_, IDC_EXEPATH, "D:\\tools\\cc.exe");
    SetDlgItemTextA(dialog_, IDC_CURPATH, "D:\\work");
    SetDlgItemTextA(dialog_, IDC_ARG1_SWITCH, "-o");
    CheckDlgButton(dialog_, IDC_ARG1_SPACE, BST_CHECKED);
    SetDlgItemTextA(dialog_, IDC_ARG1_FILE, "out.exe");
    SetDlgItemTextA(dialog_, IDC_ARG2_FILE, "*.c");
    SetOptionFlag(kOptionBatchOut, 1);
  }

  // After a refused rewrite of the example file made read-only: nothing new
  // beside it, held and listed as before, and its bytes unchanged.
  void ExpectReadOnlyExampleIntact() {
    EXPECT_EQ(FolderEntries(dir_), (std::vector<std::string>{"tavix.tvx"}));
    EXPECT_EQ(IsParameterFileHeld(), 1);  // held again as before
    EXPECT_EQ(StoredSetNames(), (std::vector<std::string>{"default", "cc"}));
    ReleaseParameterFile();
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadWholeFile(path_), GoldenParamFile("example.tvx"));
  }

  void SelectName(const char* name) {
    LRESULT index = SendDlgItemMessageA(dialog_, IDC_NAME_LIST, CB_FINDSTRINGEXACT,
                                        static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
    ASSERT_NE(index, CB_ERR) << name;
    SendDlgItemMessageA(dialog_, IDC_NAME_LIST, CB_SETCURSEL, index, 0);
  }
};

TEST_F(ParamFileWin32Test, RegisterThenCloseWritesTheExampleFile) {
  ASSERT_EQ(CreateParameterFile(), 1);
  FillCc();
  // Register: save under the name, then release and load again.
  ASSERT_EQ(SaveSetFromDialog(dialog_, "cc"), 1);
  ReleaseParameterFile();
  ASSERT_EQ(LoadParameterFile(), 1);
  EXPECT_EQ(StoredSetNames(), (std::vector<std::string>{"cc"}));
  // Close: save "default", then release.
  ASSERT_EQ(SaveSetFromDialog(dialog_, "default"), 1);
  ReleaseParameterFile();
  EXPECT_EQ(ReadWholeFile(path_), GoldenParamFile("example.tvx"));
  EXPECT_EQ(FolderEntries(dir_), (std::vector<std::string>{"tavix.tvx"}));
}

TEST_F(ParamFileWin32Test, LoadHoldsTheFileAndReleaseLetsItGo) {
  StartWith(GoldenParamFile("example.tvx"));
  EXPECT_EQ(IsParameterFileHeld(), 1);
  EXPECT_FALSE(OthersCanRead());
  EXPECT_EQ(StoredSetNames(), (std::vector<std::string>{"default", "cc"}));
  ReleaseParameterFile();
  EXPECT_EQ(IsParameterFileHeld(), 0);
  EXPECT_EQ(FirstStoredSet(), nullptr);
  EXPECT_TRUE(OthersCanRead());
}

TEST_F(ParamFileWin32Test, EmptyFileLoadsAnEmptyList) {
  StartWith("");
  EXPECT_EQ(FirstStoredSet(), nullptr);
  EXPECT_EQ(IsParameterFileHeld(), 1);
}

TEST_F(ParamFileWin32Test, MissingFileDoesNotLoadButMayBeWritten) {
  EXPECT_EQ(LoadParameterFile(), 0);
  EXPECT_EQ(IsParameterFileHeld(), 0);
  // Nothing is there to lose, so a save writes the screen.
  FillCc();
  ASSERT_EQ(SaveSetFromDialog(dialog_, "default"), 1);
  ReleaseParameterFile();
  std::string golden = GoldenParamFile("example.tvx");
  EXPECT_EQ(ReadWholeFile(path_), golden.substr(0, golden.find("[cc]")));
}

// After a reload that could not open the file (another program reading it
// at that moment, as a scanner does right after a rewrite), the empty list in
// memory must not replace the sets on disk: a save loads the file first.
TEST_F(ParamFileWin32Test, FileThatCouldNotBeReloadedIsNotReplaced) {
  StartWith(GoldenParamFile("example.tvx"));
  ReleaseParameterFile();
  HANDLE reader = CreateFileA(path_.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(LoadParameterFile(), 0);
  EXPECT_EQ(FirstStoredSet(), nullptr);
  FillCc();
  EXPECT_EQ(SaveSetFromDialog(dialog_, "default"), 0);
  CloseHandle(reader);
  EXPECT_EQ(ReadWholeFile(path_), GoldenParamFile("example.tvx"));
  EXPECT_EQ(FolderEntries(dir_), (std::vector<std::string>{"tavix.tvx"}));
  // Once the other program has let go, the save loads the file and works.
  SetDlgItemTextA(dialog_, IDC_EXEPATH, "new.exe");
  ASSERT_EQ(SaveSetFromDialog(dialog_, "cc"), 1);
  ReleaseParameterFile();
  std::string golden = GoldenParamFile("example.tvx");
  std::string cc = golden.substr(golden.find("[cc]"));
  cc.replace(cc.find("D:\\tools\\cc.exe"), std::strlen("D:\\tools\\cc.exe"), "new.exe");
  EXPECT_EQ(ReadWholeFile(path_), cc + golden.substr(0, golden.find("[cc]")));
}

// Whether `path` has `size` bytes starting with `head`; read without taking
// the whole of a huge file into memory.
bool FileStartsWithAndHasSize(const std::string& path, const std::string& head, LONGLONG size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER actual{};
  std::string bytes(head.size(), '\0');
  DWORD got = 0;
  bool ok = GetFileSizeEx(file, &actual) && actual.QuadPart == size &&
            ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) &&
            got == bytes.size() && bytes == head;
  CloseHandle(file);
  return ok;
}

TEST_F(ParamFileWin32Test, FileOf4GiBOrMoreIsNeitherTakenForEmptyNorReplaced) {
  const std::string head = "[keep]\r\nEXEPATH=x\r\n";
  const LONGLONG size = 0x100000000LL + 16;
  ASSERT_TRUE(MakeSparseFile(path_, head, size));
  EXPECT_EQ(LoadParameterFile(), 0);
  EXPECT_EQ(IsParameterFileHeld(), 0);
  EXPECT_EQ(SaveSetFromDialog(dialog_, "default"), 0);
  EXPECT_TRUE(FileStartsWithAndHasSize(path_, head, size));
  EXPECT_EQ(FolderEntries(dir_), (std::vector<std::string>{"tavix.tvx"}));
  DeleteFileA(path_.c_str());
}

// UTF-16 text is no text the program reads: it is never saved over.
TEST_F(ParamFileWin32Test, Utf16FileIsNeitherLoadedNorSavedOver) {
  const std::string utf16 = GoldenParamFile("utf16.tvx");
  ASSERT_TRUE(WriteWholeFile(path_, utf16));
  EXPECT_EQ(TakeParameterFile(), 0);
  EXPECT_EQ(IsParameterFileText(), 0);
  EXPECT_EQ(IsParameterFileHeld(), 0);
  EXPECT_EQ(SaveSetFromDialog(dialog_, "default"), 0);
  EXPECT_EQ(ReadWholeFile(path_), utf16);
}

TEST_F(ParamFileWin32Test, FileHeldByAnotherProgramNeitherLoadsNorIsCreated) {
  ASSERT_TRUE(WriteWholeFile(path_, GoldenParamFile("example.tvx")));
  {
    OtherHolder other(path_);
    ASSERT_TRUE(other.holding());
    EXPECT_EQ(LoadParameterFile(), 0);
    EXPECT_EQ(CreateParameterFile(), 0);
    EXPECT_EQ(IsParameterFileHeld(), 0);
  }
  EXPECT_EQ(ReadWholeFile(path_), GoldenParamFile("example.tvx"));  // never truncated
}

TEST_F(ParamFileWin32Test, CreateMakesAnEmptyHeldFile) {
  ASSERT_TRUE(WriteWholeFile(path_, "old"));
  ASSERT_EQ(CreateParameterFile(), 1);
  EXPECT_EQ(IsParameterFileHeld(), 1);
  EXPECT_FALSE(OthersCanRead());
  ReleaseParameterFile();
  EXPECT_EQ(ReadWholeFile(path_), "");
}

TEST_F(ParamFileWin32Test, HandWrittenFileSavedAsDefault) {
  StartWith(GoldenParamFile("handwritten.tvx"));
  ASSERT_EQ(SaveSetFromDialog(dialog_, "default"), 1);
  // The file is held again, and the list lost only the old "default".
  EXPECT_EQ(IsParameterFileHeld(), 1);
  EXPECT_FALSE(OthersCanRead());
  EXPECT_EQ(StoredSetNames(), (std::vector<std::string>{"first", "ab", "trail]", "first", "表示セット", "last"}));
  EXPECT_EQ(FolderEntries(dir_), (std::vector<std::string>{"tavix.tvx"}));
  ReleaseParameterFile();
  EXPECT_EQ(ReadWholeFile(path_), GoldenParamFile("handwritten_default.tvx"));
}

TEST_F(ParamFileWin32Test, SavingAnExistingNameMovesItToTheTopWithNewValues) {
  StartWith(GoldenParamFile("example.tvx"));
  SetDlgItemTextA(dialog_, IDC_EXEPATH, "new.exe");
  ASSERT_EQ(SaveSetFromDialog(dialog_, "cc"), 1);
  ReleaseParameterFile();
  std::string golden = GoldenParamFile("example.tvx");
  EXPECT_EQ(ReadWholeFile(path_), "[cc]\r\nEXEPATH=new.exe\r\n" + golden.substr(0, golden.find("[cc]")));
}

TEST_F(ParamFileWin32Test, DeleteRemovesTheSelectedSetAndReloads) {
  StartWith(GoldenParamFile("handwritten.tvx"));
  FillNameList(dialog_);
  SelectName("first");
  FillCc();
  ASSERT_EQ(DeleteSelectedSet(dialog_), 1);
  EXPECT_EQ(IsParameterFileHeld(), 1);
  EXPECT_EQ(StoredSetNames(), (std::vector<std::string>{"default", "ab", "trail]", "first", "表示セット", "last"}));
  // The name list is refilled: one "first" is left, and nothing is selected.
  EXPECT_EQ(SendDlgItemMessageA(dialog_, IDC_NAME_LIST, CB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(SendDlgItemMessageA(dialog_, IDC_NAME_LIST, CB_GETCURSEL, 0, 0), CB_ERR);
  // The dialog keeps its filling.
  char exe[64] = {};
  GetDlgItemTextA(dialog_, IDC_EXEPATH, exe, sizeof exe);
  EXPECT_STREQ(exe, "D:\\tools\\cc.exe");
  ReleaseParameterFile();
  EXPECT_EQ(ReadWholeFile(path_), GoldenParamFile("handwritten_delete_first.tvx"));
}

TEST_F(ParamFileWin32Test, DeleteWithABlankNameBoxDoesNothing) {
  StartWith(GoldenParamFile("example.tvx"));
  FillNameList(dialog_);
  EXPECT_EQ(DeleteSelectedSet(dialog_), 0);
  EXPECT_EQ(StoredSetNames(), (std::vector<std::string>{"default", "cc"}));
  ReleaseParameterFile();
  EXPECT_EQ(ReadWholeFile(path_), GoldenParamFile("example.tvx"));
}

TEST_F(ParamFileWin32Test, DeletingTheLastSetLeavesAnEmptyFile) {
  StartWith("[only]\r\nEXEPATH=x\r\n");
  FillNameList(dialog_);
  SelectName("only");
  ASSERT_EQ(DeleteSelectedSet(dialog_), 1);
  EXPECT_EQ(FirstStoredSet(), nullptr);
  EXPECT_EQ(IsParameterFileHeld(), 1);
  ReleaseParameterFile();
  EXPECT_EQ(ReadWholeFile(path_), "");
}

TEST_F(ParamFileWin32Test, ReadOnlyFileIsLeftIntactByAFailedSave) {
  StartWith(GoldenParamFile("example.tvx"));
  ASSERT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY));
  FillCc();
  SetDlgItemTextA(dialog_, IDC_EXEPATH, "changed.exe");
  EXPECT_EQ(SaveSetFromDialog(dialog_, "default"), 0);
  ExpectReadOnlyExampleIntact();
}

TEST_F(ParamFileWin32Test, ReadOnlyFileIsLeftIntactByAFailedDelete) {
  StartWith(GoldenParamFile("example.tvx"));
  ASSERT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY));
  FillNameList(dialog_);
  SelectName("cc");
  EXPECT_EQ(DeleteSelectedSet(dialog_), 0);
  ExpectReadOnlyExampleIntact();
}

TEST_F(ParamFileWin32Test, TargetThatIsAFolderIsLeftAlone) {
  StartWith(GoldenParamFile("example.tvx"));
  std::string folder = JoinTestPath(dir_, "folder.tvx");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(JoinTestPath(folder, "inside.txt"), "keep"));
  UsePath(folder);
  EXPECT_EQ(SaveSetFromDialog(dialog_, "default"), 0);
  EXPECT_EQ(ReadWholeFile(JoinTestPath(folder, "inside.txt")), "keep");
  EXPECT_EQ(FolderEntries(dir_), (std::vector<std::string>{"folder.tvx", "tavix.tvx"}));
  EXPECT_EQ(StoredSetNames(), (std::vector<std::string>{"default", "cc"}));
}

TEST_F(ParamFileWin32Test, PathWithoutANameIsNeverWritten) {
  StartWith(GoldenParamFile("example.tvx"));
  UsePath("");
  EXPECT_EQ(SaveSetFromDialog(dialog_, "default"), 0);
  UsePath(path_);
  EXPECT_EQ(FolderEntries(dir_), (std::vector<std::string>{"tavix.tvx"}));
  EXPECT_EQ(StoredSetNames(), (std::vector<std::string>{"default", "cc"}));
}

decltype(&WriteFile) g_realWriteFile = nullptr;

BOOL WINAPI FailingWriteFile(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED) {
  *written = 0;
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

TEST_F(ParamFileWin32Test, UnwritableTemporaryFileLeavesTheFileIntact) {
  StartWith(GoldenParamFile("example.tvx"));
  // The new content cannot be written out (the disk is full, say).
  void** slot = SwapKernelImport("WriteFile", &FailingWriteFile, &g_realWriteFile);
  ASSERT_NE(nullptr, slot);
  EXPECT_EQ(SaveSetFromDialog(dialog_, "default"), 0);
  RestoreKernelImport(slot, g_realWriteFile);
  EXPECT_EQ(IsParameterFileHeld(), 1);
  EXPECT_EQ(StoredSetNames(), (std::vector<std::string>{"default", "cc"}));
  EXPECT_EQ(FolderEntries(dir_), (std::vector<std::string>{"tavix.tvx"}));
  ReleaseParameterFile();
  EXPECT_EQ(ReadWholeFile(path_), GoldenParamFile("example.tvx"));
  // Once the disk takes it the same save works.
  ASSERT_EQ(LoadParameterFile(), 1);
  EXPECT_EQ(SaveSetFromDialog(dialog_, "default"), 1);
  ReleaseParameterFile();
  std::string golden = GoldenParamFile("example.tvx");
  EXPECT_EQ(ReadWholeFile(path_), "[default]\r\n" + golden.substr(golden.find("[cc]")));
}

TEST_F(ParamFileWin32Test, FileTakenByAnotherProgramIsNotReplaced) {
  StartWith(GoldenParamFile("example.tvx"));
  // Let go for a moment, as a switch does, and another program takes it.
  ReleaseParameterFile();
  {
    OtherHolder other(path_);
    ASSERT_TRUE(other.holding());
    EXPECT_EQ(SaveSetFromDialog(dialog_, "default"), 0);
    EXPECT_EQ(FolderEntries(dir_), (std::vector<std::string>{"tavix.tvx"}));
  }
  EXPECT_EQ(ReadWholeFile(path_), GoldenParamFile("example.tvx"));
}

TEST_F(ParamFileWin32Test, SaveIntoAMissingFileCreatesIt) {
  // The file vanished while released: the save writes what is on screen.
  FillCc();
  ASSERT_EQ(SaveSetFromDialog(dialog_, "default"), 1);
  ReleaseParameterFile();
  std::string golden = GoldenParamFile("example.tvx");
  EXPECT_EQ(ReadWholeFile(path_), golden.substr(0, golden.find("[cc]")));
}

}  // namespace
