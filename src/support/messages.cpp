#include "support/messages.h"

#include <array>
#include <cstring>

#include "support/dbcs.h"

namespace {

// Texts of the program error codes 0-6, in code order.
constexpr std::array<const char*, 7> kProgramErrorTexts = {{
    "1行の長さが長すぎます",
    "メモリが足りません",
    "用意していたメモリが足りなくなりました",
    "直接モードでディレクトリ展開は使用できません\nBATCHモードを使用してください",
    "バッチファイルが起動中です\n終了までお待ちください",
    "実行を中断します",
    "実行リスト表示中です\n終了までお待ちください",
}};

struct ShellErrorRow {
  long long value;
  const char* text;
};

// Failure values of ShellExecuteA that have a text of their own.
constexpr std::array<ShellErrorRow, 13> kShellErrorTexts = {{
    {0, "メモリまたはリソースが足りません"},
    {2, "ファイルがありません"},                    // SE_ERR_FNF
    {3, "パスがありません"},                        // SE_ERR_PNF
    {5, "アクセスできません"},                      // SE_ERR_ACCESSDENIED
    {8, "メモリまたはリソースが足りません"},        // SE_ERR_OOM
    {11, "Windowsアプリケーションではありません"},  // ERROR_BAD_FORMAT
    {26, "アクセス違反が発生しました"},             // SE_ERR_SHARE
    {27, "ファイルの関連付けがありません"},         // SE_ERR_ASSOCINCOMPLETE
    {28, "DDEタイムアウト"},                        // SE_ERR_DDETIMEOUT
    {29, "DDE失敗"},                                // SE_ERR_DDEFAIL
    {30, "DDE使用中"},                              // SE_ERR_DDEBUSY
    {31, "ファイルの関連付けがありません"},         // SE_ERR_NOASSOC
    {32, "DLLがありません"},                        // SE_ERR_DLLNOTFOUND
}};

}  // namespace

const char* ProgramErrorText(int code) {
  if (code < 0 || code >= static_cast<int>(kProgramErrorTexts.size())) return nullptr;
  return kProgramErrorTexts[static_cast<std::size_t>(code)];
}

const char* ShellErrorText(long long value) {
  for (const ShellErrorRow& row : kShellErrorTexts) {
    if (row.value == value) return row.text;
  }
  return nullptr;
}

int FormatLogLine(char* out, std::size_t size, const char* stamp, const char* title, const char* text) {
  if (size < 3) return -1;
  const std::size_t room = size - 2;  // CR LF and the terminator stay possible
  std::size_t length = 0;
  int cut = 0;
  const auto put = [&](const char* bytes, std::size_t n) {
    if (length + n >= room) {
      cut = 1;
      return;
    }
    std::memcpy(out + length, bytes, n);
    length += n;
  };
  const auto putText = [&](const char* p) {
    while (*p != '\0' && !cut) {
      const std::size_t n = CharLength(p);
      if (n == 1 && (*p == '\r' || *p == '\n' || *p == '\t')) {
        if (*p == '\r' && p[1] == '\n') ++p;
        put(" / ", 3);
        ++p;
      } else {
        put(p, n);
        p += n;
      }
    }
  };
  putText(stamp);
  put("\t", 1);
  putText(title);
  put("\t", 1);
  putText(text);
  out[length++] = '\r';
  out[length++] = '\n';
  out[length] = '\0';
  return cut ? -1 : static_cast<int>(length);
}
