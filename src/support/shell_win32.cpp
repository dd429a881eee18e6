#include "support/shell_win32.h"

#include "support/late_entry_win32.h"

HINSTANCE ShellExecuteLate(HWND owner, const char* verb, const char* file, const char* parameters,
                           const char* directory, int show) {
  static const auto entry = LateEntry<decltype(&ShellExecuteA)>("shell32.dll", "ShellExecuteA");
  if (entry == nullptr) return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_DLLNOTFOUND));
  return entry(owner, verb, file, parameters, directory, show);
}

UINT DragQueryFileLate(HDROP drop, UINT index, char* file, UINT size) {
  static const auto entry = LateEntry<decltype(&DragQueryFileA)>("shell32.dll", "DragQueryFileA");
  return entry != nullptr ? entry(drop, index, file, size) : 0;
}

void DragFinishLate(HDROP drop) {
  static const auto entry = LateEntry<decltype(&DragFinish)>("shell32.dll", "DragFinish");
  if (entry != nullptr) entry(drop);
}

void AcceptDroppedFiles(HWND window) {
  const LONG_PTR style = GetWindowLongPtrA(window, GWL_EXSTYLE);
  SetWindowLongPtrA(window, GWL_EXSTYLE, style | WS_EX_ACCEPTFILES);
}

LPITEMIDLIST BrowseForFolderLate(BROWSEINFOA* browse) {
  static const auto entry =
      LateEntry<decltype(&SHBrowseForFolderA)>("shell32.dll", "SHBrowseForFolderA");
  return entry != nullptr ? entry(browse) : nullptr;
}

BOOL PathFromItemListLate(LPCITEMIDLIST item, char* path) {
  static const auto entry =
      LateEntry<decltype(&SHGetPathFromIDListA)>("shell32.dll", "SHGetPathFromIDListA");
  return entry != nullptr ? entry(item, path) : FALSE;
}

HRESULT GetShellMallocLate(IMalloc** allocator) {
  static const auto entry = LateEntry<decltype(&SHGetMalloc)>("shell32.dll", "SHGetMalloc");
  return entry != nullptr ? entry(allocator) : E_FAIL;
}

HRESULT AssocQueryStringLate(ASSOCF flags, ASSOCSTR what, const char* association,
                             const char* extra, char* out, DWORD* size) {
  static const auto entry =
      LateEntry<decltype(&AssocQueryStringA)>("shlwapi.dll", "AssocQueryStringA");
  return entry != nullptr ? entry(flags, what, association, extra, out, size) : E_FAIL;
}

HRESULT GetFolderPathLate(int folder, char* path) {
  static const auto entry = LateEntry<decltype(&SHGetFolderPathA)>("shell32.dll", "SHGetFolderPathA");
  return entry != nullptr ? entry(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path) : E_FAIL;
}

HRESULT ComInitializeLate() {
  static const auto entry = LateEntry<decltype(&CoInitialize)>("ole32.dll", "CoInitialize");
  return entry != nullptr ? entry(nullptr) : E_FAIL;
}

HRESULT ComCreateInstanceLate(REFCLSID type, REFIID interfaceId, void** object) {
  static const auto entry = LateEntry<decltype(&CoCreateInstance)>("ole32.dll", "CoCreateInstance");
  return entry != nullptr ? entry(type, nullptr, CLSCTX_INPROC_SERVER, interfaceId, object) : E_FAIL;
}

void ComUninitializeLate() {
  static const auto entry = LateEntry<decltype(&CoUninitialize)>("ole32.dll", "CoUninitialize");
  if (entry != nullptr) entry();
}
