// The second page of the settings sheet, "設定２": the extension table, the
// header read mode, the output folder and the include folders.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <iterator>

#include "context/text_util.h"
#include "ui/folder_browser_win32.h"
#include "ui/resource_ids.h"
#include "ui/settings_pages_win32.h"

namespace {

const ControlTip kTips[] = {
    {IDC_EXTENSION_TEXT, "追加したい拡張子を入力してください"},
    {IDC_EXTENSION_RESET, "拡張子の設定を初期化します"},
    {IDC_HEADERS_NOT_READ, "解析結果はまとめて出力されます"},
    {IDC_HEADERS_READ_ONCE, "解析結果はまとめて出力されます"},
    {IDC_HEADERS_PER_SOURCE, "解析結果はソースごとに出力されます"},
    {IDC_INCLUDE_ADD, "C,C++用：インクルードディレクトリを追加"},
    {IDC_INCLUDE_LIST, "C,C++用：標準インクルードディレクトリ"},
    {IDC_INCLUDE_RESET, "登録されたパスを全て消去します"},
};

// Indexed by the language code of the extension table.
const char* const kLanguageNames[] = {"C言語", "C++言語", "JAVA言語", "VB言語", "Delphi言語"};

// The extensions of the default table cannot be deleted.
const char* const kFixedExtensions[] = {"c", "cpp", "java", "frm", "bas", "vb", "pas"};

struct HeaderModeButton {
  int control;
  HeaderReadMode mode;
};
const HeaderModeButton kHeaderModes[] = {
    {IDC_HEADERS_NOT_READ, HeaderReadMode::NoRead},
    {IDC_HEADERS_READ_ONCE, HeaderReadMode::ReadOnce},
    {IDC_HEADERS_PER_SOURCE, HeaderReadMode::PerSourceFile},
};

constexpr int kExtensionLimit = 256;
constexpr int kFolderLimit = 260;
const char kNoFolderText[] = "指定されたフォルダが存在しません";

void box(HWND page, const char* text, const char* caption) {
  MessageBoxA(page, text, caption, MB_OK);
}

// ---------------------------------------------------------------------------
// The extension table

HWND extensionView(HWND page) { return GetDlgItem(page, IDC_EXTENSION_LIST); }

void addColumn(HWND view, int index, const char* title) {
  LVCOLUMNA column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = 60;
  column.pszText = const_cast<char*>(title);
  SendMessageA(view, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

void addRow(HWND view, const ExtensionLanguage& e) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(SendMessageA(view, LVM_GETITEMCOUNT, 0, 0));
  item.pszText = const_cast<char*>(e.extension.c_str());
  int row =
      static_cast<int>(SendMessageA(view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  bool known = e.language >= 1 && e.language < static_cast<int>(std::size(kLanguageNames));
  item.iSubItem = 1;
  item.pszText = const_cast<char*>(kLanguageNames[known ? e.language : 0]);
  SendMessageA(view, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

// Each column as wide as its longest entry or its title, with the room
// the header and the rows leave around a text.
constexpr int kColumnMargin = 16;
const char* const kColumnTitles[] = {"拡張子", "言語"};

int textWidth(HWND view, const char* text) {
  return static_cast<int>(
      SendMessageA(view, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text)));
}

void fitColumns(HWND view) {
  int rows = static_cast<int>(SendMessageA(view, LVM_GETITEMCOUNT, 0, 0));
  for (int column = 0; column < 2; ++column) {
    int widest = textWidth(view, kColumnTitles[column]);
    for (int row = 0; row < rows; ++row) {
      char text[kExtensionLimit] = {};
      LVITEMA item = {};
      item.iSubItem = column;
      item.pszText = text;
      item.cchTextMax = sizeof text;
      SendMessageA(view, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
      widest = std::max(widest, textWidth(view, text));
    }
    SendMessageA(view, LVM_SETCOLUMNWIDTH, column, widest + kColumnMargin);
  }
}

void showExtensions(HWND page) {
  HWND view = extensionView(page);
  SendMessageA(view, LVM_DELETEALLITEMS, 0, 0);
  for (const ExtensionLanguage& e : editedOptions().extensionLanguages) addRow(view, e);
  fitColumns(view);
}

const ExtensionLanguage* findExtension(const std::string& extension) {
  for (const ExtensionLanguage& e : editedOptions().extensionLanguages)
    if (equalsIgnoreCase(e.extension, extension)) return &e;
  return nullptr;
}

// The text after the last line end, '.', ',' and ':' (a colon would split
// the entry when the table is saved).
std::string typedExtension(std::string text) {
  for (char cut : {'\n', '.', ',', ':'}) {
    size_t at = text.rfind(cut);
    if (at != std::string::npos) text.erase(0, at + 1);
  }
  return text;
}

bool addExtension(HWND page) {
  std::string extension = typedExtension(controlText(page, IDC_EXTENSION_TEXT, kExtensionLimit));
  SetDlgItemTextA(page, IDC_EXTENSION_TEXT, "");
  if (extension.empty()) return false;
  if (equalsIgnoreCase(extension, "h") || equalsIgnoreCase(extension, "hpp")) {
    box(page, "ヘッダーは解析対象となりません", "エラー");
    return false;
  }
  if (findExtension(extension)) return false;
  int language =
      static_cast<int>(SendDlgItemMessageA(page, IDC_EXTENSION_LANGUAGE, CB_GETCURSEL, 0, 0));
  ExtensionLanguage added{extension, std::max(language, 0)};
  editedOptions().extensionLanguages.push_back(added);
  addRow(extensionView(page), added);
  fitColumns(extensionView(page));
  return true;
}

bool deleteExtension(HWND page) {
  HWND view = extensionView(page);
  int row = static_cast<int>(SendMessageA(view, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
  if (row < 0) return false;
  char text[kExtensionLimit] = {};
  LVITEMA item = {};
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(view, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  for (const char* fixed : kFixedExtensions) {
    if (!equalsIgnoreCase(text, fixed)) continue;
    box(page, "拡張子c,cpp,java,frm,bas,vb,pasは削除できません", "エラー");
    return false;
  }
  std::vector<ExtensionLanguage>& table = editedOptions().extensionLanguages;
  auto found = std::find_if(table.begin(), table.end(), [&](const ExtensionLanguage& e) {
    return equalsIgnoreCase(e.extension, text);
  });
  if (found != table.end()) table.erase(found);
  SendMessageA(view, LVM_DELETEITEM, row, 0);
  return true;
}

void resetExtensions(HWND page) {
  editedOptions().extensionLanguages = parseExtensionList(kDefaultExtensionList);
  showExtensions(page);
}

// ---------------------------------------------------------------------------
// Include folders

// The list scrolls sideways as far as its longest folder reaches.
void listFolder(HWND page, const std::string& folder) {
  HWND list = GetDlgItem(page, IDC_INCLUDE_LIST);
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folder.c_str()));
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
  SIZE extent = {};
  GetTextExtentPoint32A(dc, folder.c_str(), static_cast<int>(folder.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  int widest = static_cast<int>(SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0));
  if (extent.cx + 8 > widest) SendMessageA(list, LB_SETHORIZONTALEXTENT, extent.cx + 8, 0);
}

// The folder as the options keep it (with its separator) joins the list.
bool addIncludeFolder(HWND page, const std::string& folder) {
  if (folder.empty() || !addIncludeDirectory(editedOptions(), folder)) return false;
  listFolder(page, editedOptions().includeDirectories.back());
  return true;
}

bool addTypedIncludeFolder(HWND page) {
  std::string folder = controlText(page, IDC_INCLUDE_TEXT, kFolderLimit);
  SetDlgItemTextA(page, IDC_INCLUDE_TEXT, "");
  if (addIncludeFolder(page, folder)) return true;
  box(page, kNoFolderText, "確認");
  return false;
}

bool browseIncludeFolder(HWND page) {
  std::string folder;
  return browseFolder(page, "参照先フォルダ", folder) && addIncludeFolder(page, folder);
}

bool deleteIncludeFolder(HWND page) {
  HWND list = GetDlgItem(page, IDC_INCLUDE_LIST);
  int line = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  if (line < 0) return false;
  std::string text(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, line, 0)) + 1, '\0');
  text.resize(SendMessageA(list, LB_GETTEXT, line, reinterpret_cast<LPARAM>(text.data())));
  std::vector<std::string>& folders = editedOptions().includeDirectories;
  auto found = std::find_if(folders.begin(), folders.end(),
                            [&](const std::string& f) { return equalsIgnoreCase(f, text); });
  if (found != folders.end()) folders.erase(found);
  SendMessageA(list, LB_DELETESTRING, line, 0);
  return true;
}

bool clearIncludeFolders(HWND page) {
  SendDlgItemMessageA(page, IDC_INCLUDE_LIST, LB_RESETCONTENT, 0, 0);
  editedOptions().includeDirectories.clear();
  return true;
}

bool browseOutputFolder(HWND page) {
  std::string folder;
  if (!browseFolder(page, "出力先フォルダ", folder)) return false;
  SetDlgItemTextA(page, IDC_OUTPUT_FOLDER, folder.c_str());
  return true;
}

// ---------------------------------------------------------------------------
// The page

HeaderReadMode checkedHeaderMode(HWND page) {
  for (const HeaderModeButton& b : kHeaderModes)
    if (IsDlgButtonChecked(page, b.control) == BST_CHECKED) return b.mode;
  return HeaderReadMode::PerSourceFile;
}

void open(HWND page) {
  const Options& o = editedOptions();
  HWND view = extensionView(page);
  SendMessageA(view, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  addColumn(view, 0, kColumnTitles[0]);
  addColumn(view, 1, kColumnTitles[1]);
  showExtensions(page);
  for (const char* name : kLanguageNames)
    SendDlgItemMessageA(page, IDC_EXTENSION_LANGUAGE, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(name));
  SendDlgItemMessageA(page, IDC_EXTENSION_LANGUAGE, CB_SETCURSEL, 0, 0);
  int modeButton = IDC_HEADERS_PER_SOURCE;
  for (const HeaderModeButton& b : kHeaderModes)
    if (b.mode == o.headerReadMode) modeButton = b.control;
  CheckRadioButton(page, IDC_HEADERS_NOT_READ, IDC_HEADERS_PER_SOURCE, modeButton);
  SetDlgItemTextA(page, IDC_OUTPUT_FOLDER, o.outputFolderExists ? o.outputFolder.c_str() : "");
  for (const std::string& folder : o.includeDirectories) listFolder(page, folder);
  SetDlgItemTextA(page, IDC_EXTENSION_TEXT, "");
  SetDlgItemTextA(page, IDC_INCLUDE_TEXT, "");
}

// A successful add, delete, browse or clearing marks the sheet as changed;
// a refused one and the reset do not.
bool command(HWND page, WPARAM wParam) {
  if (HIWORD(wParam) != BN_CLICKED) return false;
  switch (LOWORD(wParam)) {
    case IDC_EXTENSION_ADD:
      return addExtension(page);
    case IDC_EXTENSION_DELETE:
      return deleteExtension(page);
    case IDC_EXTENSION_RESET:
      resetExtensions(page);
      return false;
    case IDC_OUTPUT_FOLDER_BROWSE:
      return browseOutputFolder(page);
    case IDC_INCLUDE_BROWSE:
      return browseIncludeFolder(page);
    case IDC_INCLUDE_ADD:
      return addTypedIncludeFolder(page);
    case IDC_INCLUDE_DELETE:
      return deleteIncludeFolder(page);
    case IDC_INCLUDE_RESET:
      return clearIncludeFolders(page);
    case IDC_HEADERS_NOT_READ:
    case IDC_HEADERS_READ_ONCE:
    case IDC_HEADERS_PER_SOURCE:
      return checkedHeaderMode(page) != editedOptions().headerReadMode;
  }
  return false;
}

// A folder typed that does not exist keeps the page open, rather than
// turning silently into the program folder.
bool readBack(HWND page) {
  std::string folder = controlText(page, IDC_OUTPUT_FOLDER, kFolderLimit);
  if (!folder.empty() && !folderExists(folder)) {
    box(page, kNoFolderText, "確認");
    return false;
  }
  Options& o = editedOptions();
  o.headerReadMode = checkedHeaderMode(page);
  setOutputFolder(o, folder);
  return true;
}

SettingsPage secondPage = {kTips,    std::size(kTips), open,    command,
                           readBack, nullptr,          nullptr, nullptr};

}  // namespace

INT_PTR CALLBACK secondPageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return pageProcedure(secondPage, page, message, wParam, lParam);
}
