#include "app/about.h"

#include "support/format_text.h"

namespace {

// Every label is padded with blanks to 12 bytes, so the values line up.
constexpr char kAboutTemplate[] =
    "タイトル    ： %s\r\n"
    "バージョン  ： %s\r\n"
    "コンパイル日： %s\r\n"
    "\r\n"
    "作った人    ： %s\r\n"
    "WebPage     ： %s\r\n"
    "EMAIL       ： %s";

}  // namespace

int FormatAboutText(char* out, std::size_t size, const AboutTexts& texts) {
  return FormatText(out, size, kAboutTemplate, texts.title, texts.version, texts.buildDate,
                    texts.author, texts.webPage, texts.mail);
}

int FormatMailto(char* out, std::size_t size, const char* mail) {
  return FormatText(out, size, "mailto:%s", mail);
}

int MakeUsageFilePath(char* out, std::size_t size, const char* executableDirectory) {
  // Joined like the program's other files beside it: the directory ends with
  // a backslash and the format adds one (C:\tools\\tavix.txt), which Windows
  // reads as one.
  if (FormatText(out, size, "%s\\%s", executableDirectory, kUsageFileName) >= 0) return 1;
  out[0] = '\0';
  return 0;
}
