// The INI engine over a hand-written file full of edge cases: lookups, the
// bytes written back after changes (golden file), and line ends of any kind.
#include "settings/ini.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/byte_buffer.h"
#include "test_env.h"

namespace {

std::string Golden(const char* name) {
  bool ok = false;
  std::string bytes = ReadWholeFile(JoinTestPath(JoinTestPath(TestDataDir(), "settings"), name), &ok);
  EXPECT_TRUE(ok) << name;
  return bytes;
}

// Loads `bytes` the way IniLoad hands a file's block over.
int Load(const std::string& bytes) {
  char* block = IniNewBlock(bytes.size());
  if (block == nullptr) return 0;
  std::memcpy(block, bytes.data(), bytes.size());
  return IniParseBlock(block);
}

std::string Written() {
  ByteBuffer out;
  EXPECT_EQ(1, IniWriteDocument(&out));
  std::string bytes(out.data != nullptr ? out.data : "", out.size);
  FreeByteBuffer(&out);
  return bytes;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
  return text;
}

class IniTest : public ::testing::Test {
 protected:
  void TearDown() override { IniFree(); }
};

TEST_F(IniTest, LookupsFollowTheFileOrder) {
  ASSERT_EQ(1, Load(Golden("edge.ini")));
  const struct {
    const char* section;
    const char* key;
    std::size_t size;
    const char* value;
    std::size_t result;
  } cases[] = {
      {"tavix", "DialogCurrentPositionX", 64, "120", 3},  // the first of two sections wins
      {"tavix", "ProcessPriority", 64, "通常", 4},          // found in the second one
      {"tavix", "dup", 64, "first", 5},
      {"tavix", "key ", 64, " spaced value ", 14},
      {"tavix", "a", 64, "b=c", 3},
      {"tavix", "", 64, "empty key", 9},
      {"tavix", "#k", 64, "v", 1},
      {"tavix", "tab", 64, "before", 6},
      {"tavix", "after", 64, "tail", 4},
      {"tavix", "still", 64, "tavix", 5},
      {"tavix", "long", 16, "abcdefghijklmno", 15},
      {"tavix", "long", 0, nullptr, 20},
      {"tavix", "long", 1, "", 0},
      {"name]with]brackets", "y", 64, "2", 1},
      {"name]with]brackets", " [lead]", 64, "space", 5},
      {"", "b", 64, "c", 1},
      {"", "z", 64, "", 0},
      {"tavix", "orphan", 64, "", 0},
      {"broken", "still", 64, "", 0},
      {"trailing", "y", 64, "", 0},
      {"Tavix", "DialogCurrentPositionX", 64, "", 0},
      {"hidden", "h", 64, "", 0},
  };
  for (const auto& c : cases) {
    char buffer[64] = "garbage";
    char* out = c.value != nullptr ? buffer : nullptr;
    EXPECT_EQ(c.result, IniGetValue(c.section, c.key, out, c.size)) << c.section << "/" << c.key;
    if (out != nullptr && c.size > 0) {
      EXPECT_STREQ(c.value, buffer) << c.section << "/" << c.key;
    }
  }
}

TEST_F(IniTest, ChangesAreWrittenInPlaceOrAppended) {
  ASSERT_EQ(1, Load(Golden("edge.ini")));
  EXPECT_EQ(1, IniSetValue("tavix", "DialogCurrentPositionX", "5"));
  EXPECT_EQ(1, IniSetValue("tavix", "ProcessPriority", "低"));
  EXPECT_EQ(1, IniSetValue("tavix", "New", "n"));
  EXPECT_EQ(1, IniSetValue("other", "K", "v"));
  EXPECT_EQ(1, IniSetValue("name]with]brackets", "x", ""));
  EXPECT_EQ(Golden("edge_saved.ini"), Written());
}

TEST_F(IniTest, AnyLineEndsLoadAlikeAndWriteBackAsCrLf) {
  ASSERT_EQ(1, Load(Golden("edge.ini")));
  const std::string expected = Written();
  EXPECT_NE(std::string::npos, expected.find("\r\nafter=tail\r\n"));
  for (const char* ending : {"\n", "\r", "\n\r\r\n"}) {
    ASSERT_EQ(1, Load(Replace(Golden("edge.ini"), "\r\n", ending)));
    EXPECT_EQ(expected, Written()) << "line end " << std::string(ending).size();
  }
}

TEST_F(IniTest, EmptyFileGivesAnEmptyDocumentThatCanBeFilled) {
  ASSERT_EQ(1, Load(""));
  EXPECT_EQ("", Written());
  EXPECT_EQ(1, IniSetValue("tavix", "DialogCurrentPositionX", "120"));
  EXPECT_EQ(1, IniSetValue("tavix", "DialogCurrentPositionY", "80"));
  EXPECT_EQ(1, IniSetValue("tavix", "DialogCurrentPositionX", "7"));
  EXPECT_EQ("[tavix]\r\nDialogCurrentPositionX=7\r\nDialogCurrentPositionY=80\r\n", Written());
  IniFree();
  EXPECT_EQ("", Written());
}

}  // namespace
