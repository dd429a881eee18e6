// The shell calls of the program, with shell32 and shlwapi loaded at their
// first use rather than at start (support/late_entry_win32.h). Use these
// instead of calling the functions of those DLLs directly; each behaves as
// the function it names, and fails as it would when its DLL cannot be had.
#pragma once

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

// ShellExecuteA; a result of SE_ERR_DLLNOTFOUND when shell32 cannot be had.
HINSTANCE ShellExecuteLate(HWND owner, const char* verb, const char* file, const char* parameters,
                           const char* directory, int show);

// DragQueryFileA (0 without shell32) and DragFinish.
UINT DragQueryFileLate(HDROP drop, UINT index, char* file, UINT size);
void DragFinishLate(HDROP drop);

// Lets `window` receive dropped files (WM_DROPFILES), as DragAcceptFiles
// does: by its extended style, without loading shell32.
void AcceptDroppedFiles(HWND window);

// SHBrowseForFolderA (null without shell32), SHGetPathFromIDListA (FALSE)
// and SHGetMalloc (E_FAIL).
LPITEMIDLIST BrowseForFolderLate(BROWSEINFOA* browse);
BOOL PathFromItemListLate(LPCITEMIDLIST item, char* path);
HRESULT GetShellMallocLate(IMalloc** allocator);

// AssocQueryStringA of shlwapi (E_FAIL without it).
HRESULT AssocQueryStringLate(ASSOCF flags, ASSOCSTR what, const char* association,
                             const char* extra, char* out, DWORD* size);

// SHGetFolderPathA of shell32 (E_FAIL without it).
HRESULT GetFolderPathLate(int folder, char* path);

// CoInitialize, CoCreateInstance and CoUninitialize of ole32 (E_FAIL, or
// nothing, without it).
HRESULT ComInitializeLate();
HRESULT ComCreateInstanceLate(REFCLSID type, REFIID interfaceId, void** object);
void ComUninitializeLate();
