// The "..." buttons of the main dialog: which picker each opens for which
// field, the filter lists of the file-open dialog, and the rules that choose
// the proposed name, the start place and the text written back. The system's
// dialogs come in through a FilePickerPlatform record.
#pragma once

#include <cstddef>

// The file picker's name buffer: at most 259 characters are proposed, the
// dialog may give back 260 (which the field, read back as 259, cannot hold).
inline constexpr std::size_t kPickNameSize = 261;

// Caption of the message that refuses a chosen path too long for the field.
inline constexpr char kPickerMessageTitle[] = "タビクス：ファイル選択";

// Control id meaning "no start-place field".
inline constexpr int kNoStartField = 0;

// Extended error of the file-open dialog for a proposed name it refused
// (FNERR_INVALIDFILENAME).
inline constexpr unsigned long kRefusedFileNameError = 0x3002;

// Title of the file picker behind the browse buttons of the argument rows,
// and of the folder browser.
inline constexpr char kArgumentFilePickerTitle[] = "引数ファイル";
inline constexpr char kFolderPickerTitle[] = "カレントディレクトリ";

// Filter lists of the file-open dialog (pairs of a description and a pattern,
// the list ended by an empty text); the first pair is selected on opening.
inline constexpr char kExecutablesFirstFilter[] =
    "実行ファイル (*.exe;*.com;*.bat)\0*.exe;*.com;*.bat\0"
    "すべてのファイル (*.*)\0*.*\0";
inline constexpr char kAllFilesFirstFilter[] =
    "すべてのファイル (*.*)\0*.*\0"
    "実行ファイル (*.exe;*.com;*.bat)\0*.exe;*.com;*.bat\0";

enum PickerKind { kFilePicker, kFolderPicker };

// One "..." button beside a path field.
struct PickerButton {
  int button;            // the button's control id
  int field;             // the edit written
  PickerKind kind;
  const char* title;
  int executablesFirst;  // file picker: 1 offers executables first
  int startField;        // edit whose directory is the start place, or kNoStartField
};

// The button beside the executable, the help file or the current directory
// with `id`, or null (the argument rows' buttons are not in this table).
const PickerButton* FindPickerButton(int id);

// What the file picker needs of the system.
struct FilePickerPlatform {
  // Shows the file-open dialog with `name` (kPickNameSize bytes) as the
  // proposed name. 1 when a file was chosen: `name` then holds its full path.
  int (*showOpenDialog)(char* name);
  // The extended error of the dialog's last failed showing (0: cancelled).
  unsigned long (*lastDialogError)();
  // Makes `directory` the program's working directory (it may fail).
  void (*setWorkingDirectory)(const char* directory);
  // Tells the user that the chosen path is too long for the field.
  void (*refuseLongPath)();
};

// The file picker's decisions. `name` (kPickNameSize bytes) holds the field's
// text: one enclosing pair of double quotes is removed and the rest proposed.
// An empty proposal with a non-empty `startText` (null for none) that names a
// directory makes that directory the working directory first. A refused
// proposed name is dropped and the dialog shown once more. A chosen path
// longer than 259 characters is refused (refuseLongPath), never cut. Returns
// 1 when a file was chosen: `name` then holds its path, in double quotes when
// it holds a blank; 0 when nothing was chosen.
int RunFilePicker(char* name, const char* startText, const FilePickerPlatform& platform);

// The folder the folder browser opens with (`out`, 260 bytes): the field's
// text, or when that is empty the directory part of `startText` (null for
// none), or nothing when that has no backslash.
void FolderPickerStart(const char* fieldText, const char* startText, char* out);
