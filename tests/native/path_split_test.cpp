// Splitting paths into drive, directory, file name and extension.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/dbcs.h"
#include "support/path_split.h"

namespace {

struct SplitCase {
  const char* path;
  const char* drive;
  const char* dir;
  const char* fname;
  const char* ext;
};

const SplitCase kCases[] = {
    {"C:\\dir\\sub\\name.ext", "C:", "\\dir\\sub\\", "name", ".ext"},
    {"name", "", "", "name", ""},
    {"", "", "", "", ""},
    {"C:", "C:", "", "", ""},
    {"C:name.txt", "C:", "", "name", ".txt"},
    {"\\\\server\\share\\f", "", "\\\\server\\share\\", "f", ""},
    {"dir/sub/f.t", "", "dir/sub/", "f", ".t"},
    {"a.b\\c", "", "a.b\\", "c", ""},
    {"a.b.c", "", "", "a.b", ".c"},
    {".profile", "", "", "", ".profile"},
    {"C:\\dir\\", "C:", "\\dir\\", "", ""},
    {"x.", "", "", "x", "."},
    {"D:\\WORK\\SRC.OLD", "D:", "\\WORK\\", "SRC", ".OLD"},
    // Two-byte characters whose trail byte is 0x5C are no separators.
    {"D:\\データ表", "D:", "\\", "データ表", ""},
    {"D:\\表.txt", "D:", "\\", "表", ".txt"},
    {"D:\\ソ\\表", "D:", "\\ソ\\", "表", ""},
    {"表\\x.txt", "", "表\\", "x", ".txt"},
    {"ソ表", "", "", "ソ表", ""},
    {"C:\\能.d\\機能", "C:", "\\能.d\\", "機能", ""},
};

TEST(SplitPath, Table) {
  ASSERT_EQ(static_cast<unsigned char>("表"[1]), 0x5C);
  ASSERT_EQ(static_cast<unsigned char>("ソ"[1]), 0x5C);
  for (const SplitCase& c : kCases) {
    char drive[kMaxDrive], dir[kMaxDir], fname[kMaxFname], ext[kMaxExt];
    std::memset(drive, 'X', sizeof drive);
    std::memset(dir, 'X', sizeof dir);
    SplitPath(c.path, drive, dir, fname, ext);
    EXPECT_STREQ(drive, c.drive) << c.path;
    EXPECT_STREQ(dir, c.dir) << c.path;
    EXPECT_STREQ(fname, c.fname) << c.path;
    EXPECT_STREQ(ext, c.ext) << c.path;
  }
}

TEST(SplitPath, OutBuffersMayBeLeftOut) {
  char fname[kMaxFname], ext[kMaxExt];
  SplitPath("C:\\a\\b.c", nullptr, nullptr, fname, ext);
  EXPECT_STREQ(fname, "b");
  EXPECT_STREQ(ext, ".c");
  char dir[kMaxDir];
  SplitPath("C:\\a\\b.c", nullptr, dir, nullptr, nullptr);
  EXPECT_STREQ(dir, "\\a\\");
}

TEST(SplitPath, LongPartsAreCutAtCharacterBoundaries) {
  char dir[kMaxDir], fname[kMaxFname], ext[kMaxExt];
  std::string longName(300, 'n');
  SplitPath(longName.c_str(), nullptr, dir, fname, ext);
  EXPECT_EQ(std::string(fname), std::string(255, 'n'));
  std::string longDir = "\\" + std::string(300, 'd') + "\\f";
  SplitPath(longDir.c_str(), nullptr, dir, fname, ext);
  EXPECT_EQ(std::strlen(dir), 255u);
  EXPECT_STREQ(fname, "f");
  // 254 bytes and a two-byte character: the character does not fit whole.
  std::string split = std::string(254, 'a') + "表表";
  SplitPath(split.c_str(), nullptr, nullptr, fname, nullptr);
  EXPECT_EQ(std::string(fname), std::string(254, 'a'));
  std::string longExt = "a." + std::string(300, 'e');
  SplitPath(longExt.c_str(), nullptr, nullptr, fname, ext);
  EXPECT_EQ(std::strlen(ext), 255u);
}

TEST(SplitPath, LeadByteAtTheEndIsOneCharacter) {
  char dir[kMaxDir], fname[kMaxFname], ext[kMaxExt];
  SplitPath("abc\\x\x95", nullptr, dir, fname, ext);
  EXPECT_STREQ(dir, "abc\\");
  EXPECT_STREQ(fname, "x\x95");
  EXPECT_STREQ(ext, "");
}

TEST(Dbcs, StepsAndSearches) {
  EXPECT_FALSE(IsLeadByte(0x80));  // single bytes in cp932
  EXPECT_TRUE(IsLeadByte(0x81));
  EXPECT_TRUE(IsLeadByte(0x9F));
  EXPECT_FALSE(IsLeadByte(0xA0));
  EXPECT_FALSE(IsLeadByte(0xDF));
  EXPECT_TRUE(IsLeadByte(0xE0));
  EXPECT_TRUE(IsLeadByte(0xFC));
  EXPECT_FALSE(IsLeadByte(0xFD));
  EXPECT_FALSE(IsLeadByte(0xFF));
  EXPECT_FALSE(IsLeadByte(0x7F));
  const char* text = "a表\\b";
  EXPECT_EQ(CharLength(text), 1u);
  EXPECT_EQ(CharLength(text + 1), 2u);
  EXPECT_EQ(NextChar(text + 1), text + 3);
  EXPECT_EQ(CharLength(text + 5), 0u);
  EXPECT_EQ(NextChar(text + 5), text + 5);
  EXPECT_EQ(FindCharDbcs(text, '\\'), text + 3);
  EXPECT_EQ(FindLastCharDbcs("表", '\\'), nullptr);
  EXPECT_EQ(FindCharDbcs("ｱ\\", '\\') != nullptr, true);  // half-width kana is one byte
  std::string_view counted("\x95", 1);
  EXPECT_EQ(NextCharIndex(counted, 0), 1u);
  std::string_view pair("\x95\x5C" "a", 3);
  EXPECT_EQ(NextCharIndex(pair, 0), 2u);
  EXPECT_EQ(NextCharIndex(pair, 2), 3u);
}

TEST(TemporarySibling, StaysInTheFolderAndNeverLongerThanTheFile) {
  const struct {
    const char* path;
    unsigned number;
    const char* temporary;  // "" for none
  } cases[] = {
      {"D:\\w\\parameters.tvx", 0x12345u, "D:\\w\\~tvx2345.tmp"},
      {"C:\\tools\\\\tavix.ini", 0x1234ABCDu, "C:\\tools\\\\~1234ABCD"},  // as many characters as the name
      {"D:\\w/a.b", 0xFFu, "D:\\w/~FF"},          {"C:x.tvx", 0x12u, "C:~0012"},
      {"x", 7u, "~"},                               {"D:\\w\\", 1u, ""},
      {"D:\\表\\作業.tvx", 0x1234u, "D:\\表\\~01234"},  // counted in characters, not bytes
      {"C:\\a-name-too-long-for-out.tvx", 1u, ""},
  };
  for (const auto& c : cases) {
    char out[24] = "garbage";
    EXPECT_EQ(c.temporary[0] != '\0', MakeTemporarySiblingPath(c.path, c.number, out, sizeof out) == 1);
    EXPECT_STREQ(c.temporary, out) << c.path;
  }
}

}  // namespace
