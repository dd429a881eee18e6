// The start-up rules: executable directory, command-line argument, parameter
// file path and name, build date, window title and batch file path.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/startup.h"
#include "params/param_file.h"
#include "support/argument_split.h"
#include "support/byte_buffer.h"

namespace {

const char kExeDir[] = "C:\\tools\\";

void UseExecutable(const char* modulePath) {
  ASSERT_EQ(kStartupOk, SetExecutableDirectory(modulePath));
  FormBuildDateText();
}

// The window title for a parameter file name ("" for tavix.tvx), with the
// version and release date of resources/version.txt.
std::string Title(const std::string& name) {
  const std::string bracket = name.empty() ? "" : " [" + name + "]";
  return "タビクス Ver." TAVIX_VERSION_TEXT + bracket + " (" TAVIX_DATE_TEXT ")";
}

std::string ParameterFileName() {
  char name[kParameterFileNameSize] = {};
  if (!GetParameterFileName(name, kParameterFileNameLimit)) return "<none>";
  return name;
}

TEST(ExecutableDirectory, KeepsDriveAndDirectoryWithTheirBackslash) {
  ASSERT_EQ(kStartupOk, SetExecutableDirectory("C:\\tools\\tavix.exe"));
  EXPECT_STREQ("C:\\tools\\", g_executableDirectory);
  ASSERT_EQ(kStartupOk, SetExecutableDirectory("D:\\表示\\ソフト\\tavix.exe"));
  EXPECT_STREQ("D:\\表示\\ソフト\\", g_executableDirectory);
}

TEST(ExecutableDirectory, AllowsAtMost249Characters) {
  // "C:" + "\" + n letters + "\" is a directory of n + 4 characters.
  for (int letters : {244, 245, 246}) {
    std::string path = "C:\\" + std::string(static_cast<std::size_t>(letters), 'd') + "\\t.exe";
    const std::size_t dirLength = static_cast<std::size_t>(letters) + 4;
    SCOPED_TRACE(dirLength);
    EXPECT_EQ(dirLength <= 249 ? kStartupOk : kExecutableDirectoryTooLong,
              SetExecutableDirectory(path.c_str()));
  }
}

TEST(CommandLineTail, DropsTheProgramNameAndTheBlanksAndTabsAfterIt) {
  struct Case {
    const char* line;
    const char* tail;
  };
  const Case cases[] = {
      {"tavix.exe", ""},
      {"tavix.exe   ", ""},
      {"tavix.exe work", "work"},
      {"tavix.exe \t  \"my work\" ", "\"my work\" "},
      {"tavix.exe\twork", "work"},
      {"\"C:\\My Tools\\tavix.exe\" work", "work"},
      {"\"C:\\My Tools\\tavix.exe\"", ""},
      {"\"C:\\My Tools\\tavix.exe", ""},
      {"\"tavix.exe\"work", "work"},
      // Japanese characters are neither blanks nor the end of the name.
      {"tavix.exe 作業", "作業"},
      {"\"C:\\tools\\tavix.exe\" 作業\\表", "作業\\表"},
      {"C:\\ツール\\tavix.exe 作業", "作業"},
      {"C:\\ソフト\\tavix.exe", ""},
      {"tavix.exe ｱｲｳ", "ｱｲｳ"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(c.tail, CommandLineTail(c.line)) << "command line " << c.line;
  }
}

TEST(StripArgumentQuotes, DropsTheOpeningQuoteAndThenAClosingOne) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"\"C:\\My Files\\work\"", "C:\\My Files\\work"},
      {"\"C:\\My Files\\work", "C:\\My Files\\work"},
      {"C:\\My Files\\work\"", "C:\\My Files\\work\""},  // no opening quote: kept
      {"\"\"", ""},
      {"\"", ""},
      {"\"a\" \"b\"", "a\" \"b"},
      {"plain", "plain"},
  };
  for (const Case& c : cases) {
    char text[64];
    std::strcpy(text, c.in);
    StripArgumentQuotes(text);
    EXPECT_STREQ(c.out, text) << "input " << c.in;
  }
}

TEST(ChooseParameterFile, WithoutArgumentUsesTavixTvxBesideTheExecutable) {
  UseExecutable("C:\\tools\\tavix.exe");
  ASSERT_EQ(kStartupOk, ChooseParameterFile(""));
  EXPECT_STREQ("C:\\tools\\\\tavix.tvx", g_parameterFilePath);
}

TEST(ChooseParameterFile, ResolvesArguments) {
  UseExecutable("C:\\tools\\tavix.exe");
  struct Case {
    const char* tail;
    const char* path;
    const char* name;
  };
  const Case cases[] = {
      {"\"C:\\My Files\\work\"", "C:\\My Files\\work.tvx", "work"},
      {"D:\\sets\\a.b\\work", "D:\\sets\\a.b\\work.tvx", "work"},
      {"sets\\work.tvx", "C:\\tools\\\\sets\\work.tvx", "work"},
      {"\\work", "C:\\tools\\\\\\work.tvx", "work"},
      {"work.txt", "C:\\tools\\\\work.txt", "work"},
      {"TAVIX.tvx", "C:\\tools\\\\TAVIX.tvx", "TAVIX"},
      {"my work", "C:\\tools\\\\my work.tvx", "my work"},
      {"\\\\server\\share\\work", "\\\\server\\share\\work.tvx", "work"},
      {"作業\\表", "C:\\tools\\\\作業\\表.tvx", "表"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tail);
    ASSERT_EQ(kStartupOk, ChooseParameterFile(c.tail));
    EXPECT_STREQ(c.path, g_parameterFilePath);
    EXPECT_EQ(c.name, ParameterFileName());
  }
}

TEST(ChooseParameterFile, RefusesArgumentsWithoutFileName) {
  UseExecutable("C:\\tools\\tavix.exe");
  for (const char* tail : {"\"\"", "sets\\", "C:\\sets\\", "\"C:\\sets\\\"", ".tvx"}) {
    EXPECT_EQ(kArgumentInvalid, ChooseParameterFile(tail)) << tail;
  }
}

TEST(ChooseParameterFile, Accepts259CharactersAndRefuses260) {
  UseExecutable("C:\\t\\tavix.exe");
  std::string tail = "C:\\" + std::string(252, 'w') + ".tvx";
  ASSERT_EQ(259u, tail.size());
  EXPECT_EQ(kStartupOk, ChooseParameterFile(tail.c_str()));
  EXPECT_EQ(tail, g_parameterFilePath);
  tail.insert(3, "w");
  EXPECT_EQ(kArgumentTooLong, ChooseParameterFile(tail.c_str()));
}

TEST(SetParameterFilePath, TakesChosenNamesLikeArguments) {
  UseExecutable("C:\\tools\\tavix.exe");
  EXPECT_TRUE(SetParameterFilePath("E:\\x\\next"));
  EXPECT_STREQ("E:\\x\\next.tvx", g_parameterFilePath);
  EXPECT_FALSE(SetParameterFilePath("E:\\x\\"));
  EXPECT_TRUE(SetParameterFilePath(nullptr));
  EXPECT_STREQ("C:\\tools\\\\tavix.tvx", g_parameterFilePath);
}

TEST(GetParameterFileName, CutsLongNamesTo62Characters) {
  UseExecutable("C:\\tools\\tavix.exe");
  const std::string longName(70, 'n');
  ASSERT_TRUE(SetParameterFilePath(longName.c_str()));
  EXPECT_EQ(std::string(62, 'n'), ParameterFileName());
  EXPECT_TRUE(GetParameterFileName(nullptr, 0));
}

TEST(GetParameterFileName, NeverEndsInHalfACharacter) {
  UseExecutable("C:\\tools\\tavix.exe");
  // 61 single bytes, then double-byte characters: the 62nd byte would be the
  // first half of one.
  const std::string name = std::string(61, 'n') + "表表";
  ASSERT_TRUE(SetParameterFilePath(name.c_str()));
  EXPECT_EQ(std::string(61, 'n'), ParameterFileName());
  const std::string even = std::string(60, 'n') + "表表";
  ASSERT_TRUE(SetParameterFilePath(even.c_str()));
  EXPECT_EQ(std::string(60, 'n') + "表", ParameterFileName());
}

TEST(BuildDate, BecomesYearMonthDay) {
  struct Case {
    const char* date;
    const char* text;
  };
  const Case cases[] = {
      {"Jul  6 2004", "2004/7/6"},   {"Jan 31 1999", "1999/1/31"}, {"Dec 25 2023", "2023/12/25"},
      {"Oct  1 2010", "2010/10/1"}, {"jul  6 2004", "2004/jul/6"}, {"Juli 6 2004", "2004/Juli/6"},
  };
  for (const Case& c : cases) {
    char text[kBuildDateTextSize] = {};
    EXPECT_EQ(static_cast<int>(std::strlen(c.text)), MakeBuildDateText(c.date, text, sizeof text));
    EXPECT_STREQ(c.text, text) << c.date;
  }
  // The release date, from the form of __DATE__ the build made of it.
  FormBuildDateText();
  EXPECT_STREQ(TAVIX_DATE_TEXT, g_buildDateText);
}

TEST(ComposeTitleAndBatchPath, NamesTheWindowAndBatchFileAfterTheParameterFile) {
  UseExecutable("C:\\tools\\tavix.exe");
  struct Case {
    const char* tail;
    const char* titleName;
    const char* batch;
  };
  const Case cases[] = {
      {"", "", "C:\\tools\\\\tavix.bat"},
      {"tavix.txt", "", "C:\\tools\\\\tavix.bat"},
      {"\"C:\\My Files\\work\"", "work", "C:\\tools\\\\work.bat"},
      {"TAVIX.tvx", "TAVIX", "C:\\tools\\\\TAVIX.bat"},
      {"tavix2", "tavix2", "C:\\tools\\\\tavix2.bat"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tail);
    ASSERT_EQ(kStartupOk, ChooseParameterFile(c.tail));
    ComposeTitleAndBatchPath();
    EXPECT_EQ(Title(c.titleName), g_windowTitle);
    EXPECT_STREQ(c.batch, g_batchFilePath);
  }
}

TEST(ComposeTitleAndBatchPath, UsesTheCutNameForLongNames) {
  UseExecutable("C:\\tools\\tavix.exe");
  ASSERT_EQ(kStartupOk, ChooseParameterFile(std::string(80, 'L').c_str()));
  ComposeTitleAndBatchPath();
  const std::string cut(62, 'L');
  EXPECT_EQ(Title(cut), g_windowTitle);
  EXPECT_EQ("C:\\tools\\\\" + cut + ".bat", std::string(g_batchFilePath));
}

TEST(ComposeTitleAndBatchPath, LeavesNoBatchPathThatWouldNotFit) {
  // A directory of 200 characters: "C:\" + 196 letters + "\".
  const std::string dir = "C:\\" + std::string(196, 'd') + "\\";
  ASSERT_EQ(200u, dir.size());
  UseExecutable((dir + "tavix.exe").c_str());
  // 200 + "\" + name + ".bat" fits 260 characters up to a name of 55.
  for (std::size_t length : {55u, 56u, 62u}) {
    SCOPED_TRACE(length);
    const std::string name(length, 'n');
    ASSERT_EQ(kStartupOk, ChooseParameterFile(name.c_str()));
    ComposeTitleAndBatchPath();
    EXPECT_EQ(Title(name), g_windowTitle);
    EXPECT_EQ(length <= 55 ? dir + "\\" + name + ".bat" : std::string(), std::string(g_batchFilePath));
  }
}

TEST(NextArgument, SplitsAsTheCRuntimeDoes) {
  struct Case {
    const char* tail;
    const char* pieces;  // the arguments joined by '|'
  };
  const Case cases[] = {
      {"a b\tc", "a|b|c"},
      {"  \"C:\\My Files\\x.txt\"  y ", "C:\\My Files\\x.txt|y"},
      {"a\"b c\"d e", "ab cd|e"},
      {"\\\\server\\share\\ x", "\\\\server\\share\\|x"},  // backslashes kept before a blank
      {"\"C:\\dir\\\\\" x", "C:\\dir\\|x"},                    // 2n before a quote: n, and the quote ends
      {"a\\\"b", "a\"b"},                                           // 2n+1: n and a quote
      {"\"a \"\"b\" c", "a \"b|c"},                                  // "" inside quotes
      {"\"\" x", "|x"},
      {"表\\ソ \"ソ\"", "表\\ソ|ソ"},                                  // trail bytes 0x5C stay
  };
  for (const Case& c : cases) {
    std::string joined;
    const char* cursor = c.tail;
    char piece[64];
    for (int n = 0; NextArgument(&cursor, piece, sizeof piece); ++n) joined += (n ? "|" : "") + std::string(piece);
    EXPECT_EQ(c.pieces, joined) << c.tail;
  }
  EXPECT_EQ(0, CountArguments("  "));
  EXPECT_EQ(2, CountArguments("\"a b\" c"));
}

// A disk of a few files and folders for the start-up check (names compared
// exactly; a folder's content is "<dir>").
struct DiskEntry {
  const char* path;
  const char* content;  // nullptr: cannot be read (another program holds it)
};
const DiskEntry* g_disk = nullptr;
std::size_t g_diskSize = 0;

const DiskEntry* FindEntry(const char* path) {
  for (std::size_t i = 0; i < g_diskSize; ++i) {
    if (std::strcmp(g_disk[i].path, path) == 0) return &g_disk[i];
  }
  return nullptr;
}

int FakeKind(const char* path) {
  const DiskEntry* entry = FindEntry(path);
  if (entry == nullptr) return kNoSuchPath;
  return entry->content != nullptr && std::strcmp(entry->content, "<dir>") == 0 ? kPathIsFolder : kPathIsFile;
}

int FakeRead(const char* path, ByteBuffer* out) {
  const DiskEntry* entry = FindEntry(path);
  if (entry == nullptr || entry->content == nullptr) return 0;
  AppendBytes(out, entry->content, std::strlen(entry->content) + 1);
  --out->size;
  return 1;
}

TEST(CheckCommandLineName, RefusesWhatIsNoParameterFileAndTakesTheRest) {
  UseExecutable("C:\tools\tavix.exe");
  const DiskEntry disk[] = {
      {"C:\\d\\notes.txt", "shopping\r\nmilk\r\n[not a section\r\n"},
      {"C:\\d\\desktop.ini", "[.ShellClassInfo]\r\nIconResource=x.dll,3\r\n"},
      {"C:\\d\\sets.ini", "\xEF\xBB\xBF[a]\r\nEXEPATH=cc.exe\r\n\r\nARG1FILE=*.c\n[b]\r\n"},
      {"C:\\d\\empty.txt", ""},
      {"C:\\d\\blank.txt", "\r\n\r\n"},
      {"C:\\d\\key only.txt", "EXEPATH\r\n"},
      {"C:\\d\\lower.txt", "[a]\r\nexepath=x\r\n"},
      {"C:\\d\\old.tvx", "anything at all"},
      {"C:\\d\\OLD.TVX", "anything at all"},
      {"C:\\d\\held.txt", nullptr},
      {"C:\\d\\photos", "<dir>"},
      {"C:\\d\\a.jpg", "\xFF\xD8\xFF"},
      {"C:\\d\\b c.jpg", "\xFF\xD8\xFF"},
      {"C:\\tools\\\\work.txt", "[w]\r\nLASTPAUSE=1\r\n"},
      {"C:\\d\\photos x.tvx", ""},
  };
  g_disk = disk;
  g_diskSize = sizeof disk / sizeof disk[0];
  const StartupDisk fake = {FakeKind, FakeRead};
  struct Case {
    const char* tail;
    StartupFailure result;
    const char* named;  // for a refusal
  };
  const Case cases[] = {
      {"", kStartupOk, ""},
      {"C:\\d\\notes.txt", kArgumentNotParameterFile, "C:\\d\\notes.txt"},
      {"\"C:\\d\\desktop.ini\"", kArgumentNotParameterFile, "C:\\d\\desktop.ini"},
      {"C:\\d\\sets.ini", kStartupOk, ""},
      {"C:\\d\\empty.txt", kArgumentNotParameterFile, "C:\\d\\empty.txt"},
      {"C:\\d\\blank.txt", kArgumentNotParameterFile, "C:\\d\\blank.txt"},
      {"C:\\d\\key only.txt", kArgumentNotParameterFile, "C:\\d\\key only.txt"},
      {"C:\\d\\lower.txt", kArgumentNotParameterFile, "C:\\d\\lower.txt"},
      {"C:\\d\\old.tvx", kStartupOk, ""},
      {"C:\\d\\OLD.TVX", kStartupOk, ""},
      {"C:\\d\\held.txt", kStartupOk, ""},  // the parameter file rules decide (hand-over)
      {"C:\\d\\photos", kArgumentIsFolder, "C:\\d\\photos"},
      {"C:\\d\\a.jpg", kArgumentNotParameterFile, "C:\\d\\a.jpg"},
      {"work.txt", kStartupOk, ""},              // relative to the executable, reads as one
      {"C:\\d\\new", kStartupOk, ""},             // created as new.tvx
      {"C:\\d\\new work", kStartupOk, ""},        // nothing of it exists
      // Several files dropped at once: the tail names nothing as a whole.
      {"C:\\d\\a.jpg \"C:\\d\\b c.jpg\"", kArgumentSeveralFiles, "C:\\d\\a.jpg"},
      {"\"C:\\d\\b c.jpg\" C:\\d\\a.jpg", kArgumentSeveralFiles, "C:\\d\\b c.jpg"},
      {"C:\\d\\gone.jpg C:\\d\\photos", kArgumentSeveralFiles, "C:\\d\\photos"},
      // ... unless the whole, with .tvx added, names an existing file.
      {"C:\\d\\photos x", kStartupOk, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tail);
    ASSERT_EQ(kStartupOk, ChooseParameterFile(c.tail));
    char named[kParameterFilePathSize] = {};
    EXPECT_EQ(c.result, CheckCommandLineName(c.tail, fake, named, sizeof named));
    if (c.result != kStartupOk) {
      EXPECT_STREQ(c.named, named);
      char text[1024] = {};
      StartupRefusalText(c.result, named, text, sizeof text);
      EXPECT_NE(nullptr, std::strstr(text, c.named));
      EXPECT_NE(nullptr, std::strstr(text, "/set"));
    }
  }
}

TEST(StartupFailureText, GivesEachFailureItsMessage) {
  EXPECT_EQ(nullptr, StartupFailureText(kStartupOk));
  EXPECT_STREQ("実行ファイルのパスの取得に失敗しました", StartupFailureText(kModulePathUnavailable));
  EXPECT_STREQ("実行ファイルのパスが長すぎます", StartupFailureText(kExecutableDirectoryTooLong));
  EXPECT_STREQ("引数が長すぎます", StartupFailureText(kArgumentTooLong));
  EXPECT_STREQ("引数が不正です", StartupFailureText(kArgumentInvalid));
}

}  // namespace
