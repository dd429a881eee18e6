// Token translation and rewriting of file texts, and the path splitting
// behind them: any text (and any current folder name) is translated and
// rewritten within its buffers, and the results keep to their limits.
#include <string>

#include "expand/file_expansion.h"
#include "fuzz_input.h"
#include "run/command_line.h"
#include "support/dbcs.h"
#include "support/path_split.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input{data, size};
  char text[kRowTextSize];
  input.TextInto(text, sizeof text);
  Expansion expansion{};
  input.TextInto(expansion.folderName.text, kRowTextSize);
  expansion.folderName.fromDisk = input.Flag();

  for (int placeholders = 0; placeholders <= 1; ++placeholders) {
    char translated[kRowTextSize];
    const int live = TranslateTokens(text, translated, sizeof translated, placeholders,
                                     expansion.folderName.text);
    const std::size_t length = std::strlen(translated);
    FUZZ_CHECK(length <= kRowTextSize - 1);
    if (live) FUZZ_CHECK(length <= kRowTextSize - 2);
  }
  // Without an open search, every form of the text is rewritten within 259
  // characters; a text without tokens and wildcards comes back unchanged.
  for (int form : {kCommandLineForm, kBatchLineForm}) {
    char rewritten[kRowTextSize];
    if (RewriteFileText(expansion, text, rewritten, form)) {
      FUZZ_CHECK(std::strlen(rewritten) <= kRowTextSize - 1);
      if (std::strpbrk(text, "*?") == nullptr && form == kCommandLineForm) {
        FUZZ_CHECK(std::strcmp(rewritten, text) == 0);
      }
    }
  }
  char drive[kMaxDrive];
  char dir[kMaxDir];
  char fname[kMaxFname];
  char ext[kMaxExt];
  SplitPath(text, drive, dir, fname, ext);
  FUZZ_CHECK(std::strlen(drive) + std::strlen(dir) + std::strlen(fname) + std::strlen(ext) <=
             std::strlen(text));
  char name[kRowTextSize];
  input.TextInto(name, sizeof name);
  char shortName[kShortNameSize];
  input.TextInto(shortName, sizeof shortName);
  if (UseFoundName(&expansion.leftOut, name, shortName)) FUZZ_CHECK(FindCharDbcs(name, '?') == nullptr);
  return 0;
}
