// The texts the parameter-set commands show the user, in one place.
#pragma once

// Caption of the option button: head, one digit per option flag, tail.
inline constexpr char kOptionCaptionHead[] = "設定(&P)[";
inline constexpr char kOptionCaptionTail[] = "]";

// The open-file dialog of the parameter-file switch: its filters (pairs of
// description and pattern, ended by an empty pair) and its title.
inline constexpr char kSwitchFilter[] =
    "TAVIXパラメータファイル (*.tvx)\0*.tvx\0"
    "すべてのファイル (*.*)\0*.*\0";
inline constexpr char kSwitchTitle[] = "TAVIXパラメータファイル参照";

// Told when the parameter file cannot be loaded again after a rewrite.
inline constexpr char kParameterFileTitle[] = "タビクス：パラメータファイル";
inline constexpr char kParameterFileNotReloadedText[] =
    "パラメータファイルを読み直せませんでした\n"
    "ほかのプログラムが使用中の可能性があります\n"
    "読み直せるまで、パラメータは保存されません";
