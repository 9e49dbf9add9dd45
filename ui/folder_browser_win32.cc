#include "ui/folder_browser_win32.h"

#include <shlobj.h>

#include "platform/wide_names_win32.h"

// Wide, so that a folder whose name CP932 cannot spell comes back whole.
bool browseFolder(HWND owner, const char* title, std::string& path) {
  std::wstring wideTitle = platform::wideName(title);
  BROWSEINFOW info = {};
  info.hwndOwner = owner;
  info.lpszTitle = wideTitle.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (!chosen) return false;
  wchar_t folder[MAX_PATH] = {};
  bool found = SHGetPathFromIDListW(chosen, folder) != FALSE;
  CoTaskMemFree(chosen);
  if (found) path = platform::nameFromWide(folder);
  return found;
}
