// Files and folders given on the command line as the matches of the row
// that expands: the order given, the pattern, folders standing for their
// matches, and the names left out.
#include <gtest/gtest.h>

#include <string>

#include "expand/given_files.h"
#include "fake_disk.h"

namespace {

int FakeIsFolder(const char* path) {
  return g_fakeDisk.folders.count(path) != 0;
}

constexpr GivenFilesPlatform kFakeGiven = {FakeIsFolder, &kFakeSearch};

TEST(GivenFiles, MatchInTheOrderGivenAndLeaveOutWhatThePatternDoesNot) {
  struct Case {
    const char* given;  // names split by '|'
    const char* mask;
    const char* matches;  // joined by '|'
    int unmatched;
    const char* first;
    int notInCodePage;
  };
  const Case cases[] = {
      {"C:\\b\\2.JPG|C:\\a\\1.jpg", "*.jpg", "C:\\b\\2.JPG|C:\\a\\1.jpg", 0, "", 0},
      {"C:\\a\\1.jpg|C:\\a\\note.txt|C:\\a\\x.jpeg", "*.jpg", "C:\\a\\1.jpg", 2, "C:\\a\\note.txt", 0},
      // A folder stands for its files that match, in the order of the search.
      {"C:\\a\\1.jpg|C:\\p|C:\\b\\2.JPG", "*.jpg", "C:\\a\\1.jpg|C:\\p\\z.jpg|C:\\p\\a.jpg|C:\\b\\2.JPG", 0, "",
       1},
      {"C:\\p|C:\\a\\img2.png", "img?.png", "C:\\p\\img1.png|C:\\a\\img2.png", 0, "", 0},
      {"C:\\a\\README|C:\\a\\x.c", "*.", "C:\\a\\README", 1, "C:\\a\\x.c", 0},
      {"C:\\a\\README|C:\\a\\写真.JPG", "*.*", "C:\\a\\README|C:\\a\\写真.JPG", 0, "", 0},
      {"", "*.jpg", "", 0, "", 0},
  };
  for (const Case& c : cases) {
    FakeTree("C:\\p\\|C:\\p\\z.jpg|C:\\p\\sub.jpg\\|C:\\p\\a.jpg|C:\\p\\img1.png|C:\\p\\imgx|C:\\p\\b.txt|"
             "C:\\p\\??.jpg");
    ResetLeftOutNames();
    std::string given = c.given;
    int count = given.empty() ? 0 : 1;
    for (char& ch : given) {
      if (ch == '|') ch = '\0', ++count;
    }
    given += '\0';
    GivenMatches matches{};
    ASSERT_EQ(1, CollectGivenMatches(given.data(), count, c.mask, kFakeGiven, &matches)) << c.given;
    std::string joined;
    for (const char* path = matches.count > 0 ? matches.paths.data : nullptr; path != nullptr;
         path = NextGivenMatch(matches, path)) {
      joined += (joined.empty() ? "" : "|") + std::string(path);
    }
    EXPECT_EQ(c.matches, joined) << c.given;
    EXPECT_EQ(c.unmatched, matches.unmatched) << c.given;
    EXPECT_STREQ(c.first, matches.firstUnmatched) << c.given;
    EXPECT_EQ(c.notInCodePage, LeftOutNameCount(kNotInCodePage)) << c.given;
    FreeGivenMatches(&matches);
  }
}

}  // namespace
