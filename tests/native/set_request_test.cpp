// A command line that names a stored set: from the wide tail to the request,
// the request handed to a running copy, and the paths it compares and logs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/set_request.h"
#include "support/argument_split.h"

namespace {

// The code page as the tests see it: ASCII and a few Japanese characters;
// 한 is beyond it. "C:\p\한.jpg" has a short name, "C:\p\한2.jpg" none.
int FakeText(const wchar_t* piece, char* out, std::size_t size) {
  std::string text;
  int held = 1;
  for (; *piece != L'\0'; ++piece) {
    if (*piece < 0x80) {
      text += static_cast<char>(*piece);
    } else if (*piece == L'写') {
      text += "写";
    } else if (*piece == L'真') {
      text += "真";
    } else {
      text += '?';
      held = 0;
    }
  }
  std::snprintf(out, size, "%s", text.c_str());
  return text.size() >= size ? -1 : held;
}

int FakeFileName(const wchar_t* piece, char* out, std::size_t size) {
  if (std::wcscmp(piece, L"C:\\p\\한.jpg") == 0) piece = L"C:\\p\\9A7B~1.JPG";
  const bool full = piece[0] != L'\0' && piece[1] == L':';
  char name[2048];
  const int held = FakeText(piece, name, sizeof name);
  const int length = std::snprintf(out, size, "%s%s", full ? "" : "C:\\start\\", name);
  if (held < 0 || static_cast<std::size_t>(length) + 1 > size) return -1;
  return held;
}

constexpr RequestPlatform kFake = {FakeText, FakeFileName};

std::string Files(const SetRequest& request) {
  std::string list;
  for (const char* file = FirstRequestFile(request); file != nullptr; file = NextRequestFile(request, file)) {
    list += std::string(list.empty() ? "" : "|") + file;
  }
  return list;
}

TEST(SetRequest, ReadsTheWideTailIntoTheRequest) {
  const std::wstring longName(300, L'a');
  struct Case {
    std::wstring tail;
    int named;  // a /set piece is there
    int error;
    const char* parameterFile;
    const char* setName;
    const char* flags;  // run, exit, yes
    const char* files;
    int leftOut;
    const char* errorPiece;
  };
  const Case cases[] = {
      {L"work.tvx", 0, kRequestOk, "", "", "000", "", 0, ""},
      {L"\"C:\\My Files\\set.tvx\"", 0, kRequestOk, "", "", "000", "", 0, ""},
      {L"/set 縮小", 1, kRequestNotInCodePage, "", "", "000", "", 0, "??"},
      {L"/SET 写真 /Run /EXIT /yes", 1, kRequestOk, "", "写真", "111", "", 0, ""},
      {L"work /set \"two words\" a.jpg \"sub dir\\b c.jpg\" D:\\x\\ \"\"", 1, kRequestOk, "work",
       "two words", "000", "C:\\start\\a.jpg|C:\\start\\sub dir\\b c.jpg|D:\\x\\", 0, ""},
      // The piece after /set is the name even when it looks like a switch.
      {L"/set /run x.jpg", 1, kRequestOk, "", "/run", "000", "C:\\start\\x.jpg", 0, ""},
      {L"/set \"say \\\"hi\\\"\" trail\\\\", 1, kRequestOk, "", "say \"hi\"", "000",
       "C:\\start\\trail\\\\", 0, ""},
      {L"/set 写真 C:\\p\\한.jpg C:\\p\\한2.jpg C:\\p\\ok.jpg", 1, kRequestOk, "", "写真", "000",
       "C:\\p\\9A7B~1.JPG|C:\\p\\ok.jpg", 1, ""},
      {L"/set", 1, kRequestNoSetName, "", "", "000", "", 0, ""},
      {L"/set \"\"", 1, kRequestNoSetName, "", "", "000", "", 0, ""},
      {L"/set x /quiet", 1, kRequestUnknownSwitch, "", "x", "000", "", 0, "/quiet"},
      {L"a.tvx b.tvx /set x", 1, kRequestSeveralParameterFiles, "a.tvx", "", "000", "", 0, "b.tvx"},
      {L"/set x /exit", 1, kRequestExitWithoutRun, "", "x", "010", "", 0, ""},
      // /exit is known before the error that follows it: no message box then.
      {L"/exit /set x /bad", 1, kRequestUnknownSwitch, "", "x", "010", "", 0, "/bad"},
      {L"/set " + std::wstring(64, L's'), 1, kRequestSetNameTooLong, "", "", "000", "", 0, ""},
      {L"/set x " + longName, 1, kRequestNameTooLong, "", "x", "000", "", 0, ""},
      {L"/set x " + std::wstring(1100, L'a'), 1, kRequestNameTooLong, "", "x", "000", "", 0, ""},
  };
  for (const Case& c : cases) {
    SetRequest request{};
    SCOPED_TRACE(std::string(c.tail.begin(), c.tail.end()).substr(0, 60));
    EXPECT_EQ(c.named, ReadSetRequest(c.tail.c_str(), kFake, &request));
    EXPECT_EQ(c.error, request.error);
    EXPECT_STREQ(c.parameterFile, request.parameterFile);
    EXPECT_STREQ(c.setName, request.setName);
    const std::string flags = {char('0' + request.run), char('0' + request.exit), char('0' + request.yes)};
    EXPECT_EQ(c.flags, flags);
    EXPECT_EQ(c.files, Files(request));
    EXPECT_EQ(c.leftOut, request.leftOut);
    if (c.leftOut > 0) {
      EXPECT_STREQ("C:\\p\\?2.jpg", request.firstLeftOut);
    }
    if (c.error != kRequestOk && c.errorPiece[0] != '\0') {
      EXPECT_STREQ(c.errorPiece, request.errorPiece);
    }
    char text[512];
    SetRequestErrorText(request, text, sizeof text);
    EXPECT_EQ(c.error == kRequestOk, text[0] == '\0');
    FreeSetRequest(&request);
  }
}

TEST(SetRequest, TakesTheTailAfterTheProgramName) {
  EXPECT_STREQ(L"/set x", WideCommandLineTail(L"\"C:\\My Tools\\tavix.exe\"  /set x"));
  EXPECT_STREQ(L"/set x", WideCommandLineTail(L"C:\\tools\\tavix.exe\t/set x"));
  EXPECT_STREQ(L"", WideCommandLineTail(L"\"C:\\tavix.exe"));
}

TEST(SetRequest, TravelsToTheRunningCopyAsBytes) {
  SetRequest sent{};
  // (Outside the assertion: its text of the call could not hold 한.)
  const int named = ReadSetRequest(L"/set 写真 /run a.jpg C:\\p\\한2.jpg D:\\b.png", kFake, &sent);
  ASSERT_EQ(1, named);
  ByteBuffer bytes;
  ASSERT_EQ(1, PackSetRequest(sent, "C:\\tools\\\\tavix.tvx", &bytes));
  SetRequest received{};
  ASSERT_EQ(1, UnpackSetRequest(bytes.data, bytes.size, &received));
  EXPECT_STREQ("C:\\tools\\\\tavix.tvx", received.parameterFile);
  EXPECT_STREQ("写真", received.setName);
  EXPECT_EQ(1, received.run);
  EXPECT_EQ(0, received.exit);
  EXPECT_EQ("C:\\start\\a.jpg|D:\\b.png", Files(received));
  EXPECT_EQ(1, received.leftOut);
  EXPECT_STREQ("C:\\p\\?2.jpg", received.firstLeftOut);
  // Cut, lengthened or foreign bytes are refused.
  for (std::size_t size : {std::size_t{0}, std::size_t{5}, bytes.size - 1}) {
    EXPECT_EQ(0, UnpackSetRequest(bytes.data, size, &received)) << size;
  }
  AppendBytes(&bytes, "x", 2);
  EXPECT_EQ(0, UnpackSetRequest(bytes.data, bytes.size, &received));
  bytes.data[0] = 'X';
  EXPECT_EQ(0, UnpackSetRequest(bytes.data, bytes.size - 2, &received));
  FreeByteBuffer(&bytes);
  FreeSetRequest(&sent);
  FreeSetRequest(&received);
}

TEST(SetRequest, ComparesParameterPathsAndNamesTheLog) {
  struct Case {
    const char* a;
    const char* b;
    int same;
  };
  const Case cases[] = {
      {"C:\\tools\\\\tavix.tvx", "c:\\TOOLS\\tavix.TVX", 1},
      {"C:\\tools\\tavix.tvx", "C:\\other\\tavix.tvx", 0},
      {"\\\\srv\\share\\a.tvx", "\\\\SRV\\share\\\\a.tvx", 1},
      {"\\\\srv\\a.tvx", "\\srv\\a.tvx", 0},
      {"C:\\表\\a.tvx", "C:\\表\\a.tvx", 1},
      {"C:\\ｱ\\a.tvx", "C:\\ｧ\\a.tvx", 0},
      // ア and ヂ differ only in the case of their second byte.
      {"C:\\ア\\a.tvx", "C:\\ヂ\\a.tvx", 0},
      {"C:\\a.tvx", "C:\\a.tvx2", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(c.same, SameParameterPath(c.a, c.b)) << c.a << " " << c.b;

  char log[64];
  ASSERT_EQ(1, ComposeRunLogPath("C:\\tools\\\\写真.tvx", log, sizeof log));
  EXPECT_STREQ("C:\\tools\\\\写真.log", log);
  ASSERT_EQ(1, ComposeRunLogPath("D:\\a.b\\work", log, sizeof log));
  EXPECT_STREQ("D:\\a.b\\work.log", log);
  EXPECT_EQ(0, ComposeRunLogPath("D:\\x\\", log, sizeof log));
  EXPECT_EQ(0, ComposeRunLogPath(("D:\\" + std::string(70, 'n') + ".tvx").c_str(), log, sizeof log));
}

}  // namespace
