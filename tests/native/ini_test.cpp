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
  return ReadWholeFile(JoinTestPath(JoinTestPath(TestDataDir(), "settings"), name));
}

// Loads `bytes` the way IniLoad hands a file's block over.
int Load(const std::string& bytes) {
  char* block = IniNewBlock(bytes.size());
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

struct IniTest : ::testing::Test {
  void TearDown() override { IniFree(); }
};

TEST_F(IniTest, LookupsFollowTheFileOrder) {
  ASSERT_EQ(1, Load(Golden("edge.ini")));
  const struct {
    const char* section;
    const char* key;
    std::size_t size;
    const char* value;  // nullptr: no buffer
    std::size_t result;
  } cases[] = {
      {"tavix", "DialogCurrentPositionX", 64, "120", 3},  // the first of two sections wins
      {"tavix", "ProcessPriority", 64, "通常", 4},         // found in the second one
      {"tavix", "dup", 64, "first", 5},        {"tavix", "key ", 64, " spaced value ", 14},
      {"tavix", "long", 16, "abcdefghijklmno", 15}, {"tavix", "long", 0, nullptr, 20},
      {"name]with]brackets", " [lead]", 64, "space", 5}, {"", "b", 64, "c", 1},
      {"tavix", "orphan", 64, "", 0},          {"broken", "still", 64, "", 0},
      {"trailing", "y", 64, "", 0},            {"Tavix", "dup", 64, "", 0},
      {"hidden", "h", 64, "", 0},
  };
  for (const auto& c : cases) {
    char buffer[64] = "garbage";
    EXPECT_EQ(c.result, IniGetValue(c.section, c.key, c.value ? buffer : nullptr, c.size)) << c.key;
    EXPECT_STREQ(c.value != nullptr ? c.value : "garbage", buffer) << c.section << "/" << c.key;
  }
}

TEST_F(IniTest, ChangesAreWrittenInPlaceOrAppendedAndAnyLineEndsLoadAlike) {
  for (const char* ending : {"\r\n", "\n", "\r", "\n\r\r\n", "UTF-8 mark"}) {
    // A UTF-8 byte-order mark is skipped and written again in front.
    const std::string mark = ending[0] == 'U' ? "\xEF\xBB\xBF" : "";
    if (!mark.empty()) ending = "\r\n";
    std::string text = mark + Golden("edge.ini");
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += std::strlen(ending)) {
      text.replace(at, 2, ending);
    }
    ASSERT_EQ(1, Load(text));
    EXPECT_EQ(1, IniSetValue("tavix", "DialogCurrentPositionX", "5"));
    EXPECT_EQ(1, IniSetValue("tavix", "ProcessPriority", "低"));
    EXPECT_EQ(1, IniSetValue("tavix", "New", "n"));
    EXPECT_EQ(1, IniSetValue("other", "K", "v"));
    EXPECT_EQ(1, IniSetValue("name]with]brackets", "x", ""));
    EXPECT_EQ(mark + Golden("edge_saved.ini"), Written()) << "line end of " << std::strlen(ending) << " bytes";
  }
}

TEST_F(IniTest, EmptyFileGivesAnEmptyDocumentThatCanBeFilled) {
  ASSERT_EQ(1, Load(""));
  EXPECT_EQ("", Written());
  EXPECT_EQ(1, IniSetValue("tavix", "DialogCurrentPositionX", "120"));
  EXPECT_EQ(1, IniSetValue("tavix", "DialogCurrentPositionY", "80"));
  EXPECT_EQ("[tavix]\r\nDialogCurrentPositionX=120\r\nDialogCurrentPositionY=80\r\n", Written());
}

}  // namespace
