#include "app/send_to_win32.h"

#include <shlobj.h>

#include "app/send_to.h"
#include "app/set_request.h"
#include "params/name_list_win32.h"
#include "resource.h"
#include "support/file_io_win32.h"
#include "support/format_text.h"
#include "support/message_box_win32.h"
#include "support/path_text.h"
#include "support/program_paths.h"
#include "support/shell_win32.h"

namespace {

// The shell's shortcut object and the interfaces used, named here so that
// no GUID library is needed.
constexpr CLSID kShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kShellLinkInterface = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID kPersistFileInterface = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

constexpr int kArgumentsSize = 1024;  // the longest arguments a shortcut keeps

// What the shortcut holds.
struct Shortcut {
  char target[MAX_PATH];
  char arguments[kArgumentsSize];
  char folder[MAX_PATH];
  char description[128];
};

// The set chosen in the name box into `name`: 0 when none is.
int ChosenSetName(HWND dialog, char* name) {
  const LRESULT item = SendDlgItemMessageA(dialog, IDC_NAME_LIST, CB_GETCURSEL, 0, 0);
  if (item == CB_ERR || SendDlgItemMessageA(dialog, IDC_NAME_LIST, CB_GETLBTEXTLEN, item, 0) >= kSetNameSize) {
    return 0;
  }
  SendDlgItemMessageA(dialog, IDC_NAME_LIST, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(name));
  return name[0] != '\0';
}

// The parameter file the shortcut names: null for the default one.
const char* ShortcutParameterFile() {
  char defaultPath[kParameterFilePathSize];
  FormatText(defaultPath, sizeof defaultPath, "%s\\%s%s", g_executableDirectory, kDefaultParameterBaseName,
             kParameterFileExtension);
  return SameParameterPath(defaultPath, g_parameterFilePath) ? nullptr : g_parameterFilePath;
}

int DescribeShortcut(const char* setName, Shortcut* link) {
  if (GetModuleFileNameA(nullptr, link->target, MAX_PATH) == 0) return 0;
  FormatText(link->folder, sizeof link->folder, "%s", link->target);
  CutToDirectory(link->folder);
  FormatText(link->description, sizeof link->description, "タビクス: %s", setName);
  return MakeShortcutArguments(ShortcutParameterFile(), setName, link->arguments, sizeof link->arguments);
}

HRESULT SaveShortcut(const Shortcut& link, const char* path) {
  IShellLinkA* shellLink = nullptr;
  HRESULT result = ComCreateInstanceLate(kShellLinkClass, kShellLinkInterface, reinterpret_cast<void**>(&shellLink));
  if (FAILED(result)) return result;
  shellLink->SetPath(link.target);
  shellLink->SetArguments(link.arguments);
  shellLink->SetWorkingDirectory(link.folder);
  shellLink->SetIconLocation(link.target, 0);
  shellLink->SetDescription(link.description);
  IPersistFile* file = nullptr;
  result = shellLink->QueryInterface(kPersistFileInterface, reinterpret_cast<void**>(&file));
  if (SUCCEEDED(result)) {
    wchar_t widePath[MAX_PATH];
    result = MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH) != 0 ? file->Save(widePath, TRUE)
                                                                               : E_INVALIDARG;
    file->Release();
  }
  shellLink->Release();
  return result;
}

void ReportFailure(HWND dialog, const char* what) {
  char text[256];
  FormatText(text, sizeof text, kSendToFailedFormat, what);
  ShowInformationText(dialog, kSendToTitle, text);
}

}  // namespace

int AddSendToShortcut(HWND dialog) {
  char setName[kSetNameSize] = {};
  if (!ChosenSetName(dialog, setName)) {
    ShowInformationText(dialog, kSendToTitle, kSendToNoSetText);
    return 0;
  }
  char folder[MAX_PATH] = {};
  char fileName[MAX_PATH] = {};
  char path[MAX_PATH] = {};
  Shortcut link{};
  if (FAILED(GetFolderPathLate(CSIDL_SENDTO, folder)) || !MakeShortcutFileName(setName, fileName, sizeof fileName) ||
      !JoinPath(path, sizeof path, folder, fileName) || !DescribeShortcut(setName, &link)) {
    ReportFailure(dialog, "パスが長すぎます");
    return 0;
  }
  char text[2 * MAX_PATH];
  if (FileExists(path)) {
    FormatText(text, sizeof text, kSendToReplaceFormat, path);
    if (!AskYesNo(dialog, kSendToTitle, text)) return 0;
  }
  const HRESULT initialized = ComInitializeLate();
  const HRESULT saved = SaveShortcut(link, path);
  if (SUCCEEDED(initialized)) ComUninitializeLate();
  if (FAILED(saved)) {
    char code[32];
    FormatText(code, sizeof code, "0x%08lX", static_cast<unsigned long>(saved));
    ReportFailure(dialog, code);
    return 0;
  }
  FormatText(text, sizeof text, kSendToDoneFormat, path);
  ShowInformationText(dialog, kSendToTitle, text);
  return 1;
}
