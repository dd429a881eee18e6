// The about box (dialog 106) and the two files the main dialog hands to the
// shell: the help file named in edit 1040 and the usage file tavix.txt.
#pragma once

#include <windows.h>

// Shows the about box modally over `owner`, centred on it, with the six
// texts in its fixed-pitch text field.
void ShowAboutBox(HWND owner, const char* title, const char* version, const char* buildDate,
                  const char* author, const char* webPage, const char* mail);

// Procedure of the about box. Its WebPage and メール buttons hand the web
// page and a mailto: address to the shell (failures are not reported);
// 閉じる and Escape end it.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Opens `path`, the help file of the parameter set (its helpText), through
// the shell; a failure is reported under "タビクス：ヘルプ表示", owned by
// `dialog`.
void OpenHelpFile(HWND dialog, const char* path);

// Opens tavix.txt beside the program through the shell; a failure is
// reported under "タビクス：使い方ファイル表示".
void ShowUsageFile(HWND dialog);
