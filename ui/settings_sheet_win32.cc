#include "ui/settings_sheet_win32.h"

#include <commctrl.h>
#include <prsht.h>

#include <string>

#include "ui/main_window_win32.h"
#include "ui/settings_pages_win32.h"
#include "ui/shell_open_win32.h"

namespace {

bool sheetOpen = false;

PROPSHEETPAGEA pageOf(const char* templateName, DLGPROC procedure) {
  PROPSHEETPAGEA page = {};
  page.dwSize = sizeof page;
  page.dwFlags = PSP_HASHELP;
  page.hInstance = mainWindow().instance;
  page.pszTemplate = templateName;
  page.pfnDlgProc = procedure;
  return page;
}

}  // namespace

Options& editedOptions() {
  static Options edited;
  return edited;
}

void showSettingsSheet(HWND owner) {
  if (sheetOpen) return;
  sheetOpen = true;
  editedOptions() = liveOptions();
  PROPSHEETPAGEA pages[] = {pageOf("IDD_DIALOG_PAGE1", firstPageProcedure),
                            pageOf("IDD_DIALOG_PAGE2", secondPageProcedure)};
  PROPSHEETHEADERA header = {};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_HASHELP | PSH_NOCONTEXTHELP;
  header.hwndParent = owner;
  header.hInstance = mainWindow().instance;
  header.pszCaption = "MIZENTAの動作設定";
  header.nPages = 2;
  header.ppsp = pages;
  PropertySheetA(&header);
  sheetOpen = false;
}

std::string controlText(HWND page, int control, int limit) {
  std::string text(static_cast<size_t>(limit), '\0');
  text.resize(GetDlgItemTextA(page, control, text.data(), limit));
  return text;
}

// ---------------------------------------------------------------------------
// What every page does

namespace {

HWND createTooltips(HWND page, const ControlTip* tips, size_t count) {
  HWND tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, page,
                                 nullptr, mainWindow().instance, nullptr);
  if (!tooltip) return nullptr;
  SendMessageA(tooltip, TTM_SETMAXTIPWIDTH, 0, 400);
  for (size_t i = 0; i < count; ++i) {
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = page;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(page, tips[i].control));
    tool.lpszText = const_cast<char*>(tips[i].text);
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  return tooltip;
}

INT_PTR answerSheet(HWND page, LONG_PTR result) {
  SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
  return TRUE;
}

INT_PTR notify(SettingsPage& settings, HWND page, const NMHDR* header) {
  switch (header->code) {
    case PSN_KILLACTIVE:
      return answerSheet(page, settings.readBack(page) ? FALSE : TRUE);
    case PSN_APPLY:
      settings.readBack(page);
      if (settings.apply) settings.apply();
      return answerSheet(page, PSNRET_NOERROR);
    case PSN_HELP:
      openHelp(page);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

INT_PTR pageProcedure(SettingsPage& settings, HWND page, UINT message, WPARAM wParam,
                      LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      settings.tooltip = createTooltips(page, settings.tips, settings.tipCount);
      settings.open(page);
      return TRUE;
    case WM_COMMAND:
      if (settings.command(page, wParam)) PropSheet_Changed(GetParent(page), page);
      return TRUE;
    case WM_NOTIFY:
      return notify(settings, page, reinterpret_cast<NMHDR*>(lParam));
    case WM_DESTROY:
      if (settings.tooltip) DestroyWindow(settings.tooltip);
      settings.tooltip = nullptr;
      if (settings.close) settings.close();
      return TRUE;
  }
  return FALSE;
}
