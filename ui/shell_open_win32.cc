#include "ui/shell_open_win32.h"

#include <shellapi.h>

#include "context/options.h"
#include "platform/wide_names_win32.h"

const char kHelpPageName[] = "Mizhlp.html";

// Wide, so that a folder whose name CP932 cannot spell still opens.
bool openWithShell(HWND owner, const std::string& path) {
  std::wstring wide = platform::wideName(path);
  auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(owner, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return true;
  MessageBoxA(owner, ("開けません\n" + path).c_str(), "エラー", MB_OK);
  return false;
}

void openHelp(HWND owner) { openWithShell(owner, programFolder() + kHelpPageName); }
