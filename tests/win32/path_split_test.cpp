// SplitPath against the C runtime's _splitpath in the Japanese code page.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "support/path_split.h"

namespace {

const char* const kPaths[] = {
    "C:\\dir\\sub\\name.ext",
    "name",
    "",
    "C:",
    "C:name.txt",
    "\\\\server\\share\\f",
    "dir/sub/f.t",
    "dir\\sub/f.t\\g",
    "a.b\\c",
    "a.b.c",
    ".profile",
    "C:\\dir\\",
    "x.",
    "..",
    "C:\\.\\..\\a",
    "D:\\WORK\\SRC.OLD",
    "D:\\My Work\\a b.c d",
    "\"D:\\quoted\\x.y\"",
    "D:\\データ表",
    "D:\\表.txt",
    "D:\\ソ\\表",
    "表\\x.txt",
    "ソ表",
    "C:\\能.d\\機能",
    "C:\\ソース\\表.ソ",
    "ｱｲｳ\\ｴｵ.ｶ",
    "C:\\日本語のフォルダ\\ファイル名.テキスト",
};

TEST(SplitPath, AgreesWithTheRuntime) {
  ASSERT_EQ(GetACP(), 932u);
  for (const char* path : kPaths) {
    char drive[kMaxDrive], dir[kMaxDir], fname[kMaxFname], ext[kMaxExt];
    char rtDrive[_MAX_DRIVE], rtDir[_MAX_DIR], rtFname[_MAX_FNAME], rtExt[_MAX_EXT];
    SplitPath(path, drive, dir, fname, ext);
    _splitpath(path, rtDrive, rtDir, rtFname, rtExt);
    EXPECT_STREQ(drive, rtDrive) << path;
    EXPECT_STREQ(dir, rtDir) << path;
    EXPECT_STREQ(fname, rtFname) << path;
    EXPECT_STREQ(ext, rtExt) << path;
  }
}

TEST(SplitPath, BufferSizesMatchTheRuntime) {
  EXPECT_EQ(kMaxDrive, static_cast<std::size_t>(_MAX_DRIVE));
  EXPECT_EQ(kMaxDir, static_cast<std::size_t>(_MAX_DIR));
  EXPECT_EQ(kMaxFname, static_cast<std::size_t>(_MAX_FNAME));
  EXPECT_EQ(kMaxExt, static_cast<std::size_t>(_MAX_EXT));
}

}  // namespace
