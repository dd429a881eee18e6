// The about box's texts and the two files the program hands to the shell:
// the help file named in the window and the usage file tavix.txt beside the
// program. No system calls here.
#pragma once

#include <cstddef>

// What the about box shows: the program's line and its maker.
inline constexpr char kAboutTitleText[] = "DOSのプログラムをちょっとだけ楽に実行";
inline constexpr char kAuthorName[] = "TAVIX";
inline constexpr char kWebPageAddress[] = "https://tavix.example.org/";
inline constexpr char kMailAddress[] = "tavix@example.org";

// Captions of the boxes that report a file the shell could not open.
inline constexpr char kHelpFileTitle[] = "タビクス：ヘルプ表示";
inline constexpr char kUsageFileTitle[] = "タビクス：使い方ファイル表示";

// The usage file, in the executable directory.
inline constexpr char kUsageFileName[] = "tavix.txt";

inline constexpr std::size_t kAboutTextSize = 512;
inline constexpr std::size_t kMailtoSize = 256;
inline constexpr std::size_t kUsageFilePathSize = 260;

// The six values of the about text, in the order they are shown.
struct AboutTexts {
  const char* title;
  const char* version;
  const char* buildDate;
  const char* author;
  const char* webPage;
  const char* mail;
};

// The about text: six labelled lines (CR LF between them, an empty line
// after the build date), the values in one column in a fixed-pitch font.
// Returns the length, or -1 when it was cut to `size` bytes.
int FormatAboutText(char* out, std::size_t size, const AboutTexts& texts);

// "mailto:" and the address. Returns the length, or -1 when it was cut.
int FormatMailto(char* out, std::size_t size, const char* mail);

// The usage file's path: the executable directory (ending with a backslash),
// a backslash and tavix.txt. Returns 0 (with `out` empty) when it does not fit `size`.
int MakeUsageFilePath(char* out, std::size_t size, const char* executableDirectory);
