#include "app/about.h"

#include "run/command_line.h"
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
  return JoinPath(out, size, executableDirectory, kUsageFileName);
}
