// The Send To shortcut of a stored set: its file name and the arguments that
// start the set. No system calls.
#pragma once

#include <cstddef>

// The shortcut's file name for the set `setName`: the name with ".lnk",
// every character a file name cannot hold (\ / : * ? " < > | and control
// characters) written as '_', trailing dots and blanks dropped, and a
// device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, also before a dot)
// followed by '_' (CON.txt gives CON_.txt.lnk). 0 when it does not fit `size`.
int MakeShortcutFileName(const char* setName, char* out, std::size_t size);

// The shortcut's arguments: `/set "<name>"`, preceded by the parameter file
// in quotes when `parameterFile` is not null, each quoted so that the C
// runtime reads it back as it is. 0 when they do not fit `size`.
int MakeShortcutArguments(const char* parameterFile, const char* setName, char* out, std::size_t size);

// Texts of the Send To command.
inline constexpr char kSendToTitle[] = "タビクス：「送る」に登録";
inline constexpr char kSendToNoSetText[] =
    "「送る」に登録するには、先に名前ボックスで登録済みの設定を選んでください。\n"
    "(画面を変更した後は、設定を登録し直してから選びます。)";
inline constexpr char kSendToReplaceFormat[] =
    "「送る」には既に\n%s\nがあります。置き換えますか?";
inline constexpr char kSendToDoneFormat[] =
    "「送る」に\n%s\nを作りました。\nエクスプローラーでファイルやフォルダーを選び、右クリックの「送る」からこの設定で実行できます。";
inline constexpr char kSendToFailedFormat[] = "ショートカットを作れませんでした (%s)。";
