// The first page of the settings sheet, "設定１": the report and tree
// switches, the class width of the distribution, the output format.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <iterator>

#include "ui/main_window_win32.h"
#include "ui/resource_ids.h"
#include "ui/settings_pages_win32.h"

namespace {

struct SwitchBox {
  int control;
  std::int32_t Options::*field;
};

const SwitchBox kSwitches[] = {
    {IDC_GLOBAL_VARIABLES, &Options::globalVariableList},
    {IDC_VARIABLE_DETAILS, &Options::variableDetails},
    {IDC_CLASS_LIST, &Options::classList},
    {IDC_DEFINE_LIST, &Options::defineList},
    {IDC_FUNCTION_LIST, &Options::functionList},
    {IDC_FUNCTION_DETAILS, &Options::functionDetails},
    {IDC_TYPE_LIST, &Options::typeList},
    {IDC_NAMESPACE_LIST, &Options::namespaceList},
    {IDC_LINE_DISTRIBUTION, &Options::lineDistribution},
    {IDC_HIDE_REPEATED, &Options::hideRepeatedSubtrees},
    {IDC_NO_FUNCTION_SORT, &Options::noFunctionSort},
    {IDC_DUPLICATE_CHILDREN, &Options::showDuplicateChildren},
    {IDC_MACROS_NOT_FUNCTIONS, &Options::macrosAreNotFunctions},
    {IDC_TAG_JUMP_TREE, &Options::tagJumpTree},
    {IDC_PC98_LINES, &Options::pc98Lines},
    {IDC_MEMBER_VARIABLES, &Options::outputMemberVariables},
    {IDC_HIDE_TOOLBAR, &Options::hideToolbar},
};

const ControlTip kTips[] = {
    {IDC_GLOBAL_VARIABLES, "グローバル変数一覧を出力したい場合ON"},
    {IDC_VARIABLE_DETAILS, "変数の参照情報などを出力したい場合ON"},
    {IDC_CLASS_LIST, "C++,Java,Delphiで使用したクラスを出力したい場合ON"},
    {IDC_DEFINE_LIST, "VB,Delphiの場合Const定数"},
    {IDC_FUNCTION_LIST, "関数一覧を出力した場合ON"},
    {IDC_FUNCTION_DETAILS, "関数ヘッダ部のコメント抽出や型、引数などの情報が取得できます"},
    {IDC_TYPE_LIST, "使用した型を出力したい場合ON"},
    {IDC_NAMESPACE_LIST, "C++用：名前空間の一覧を出力したい場合ON"},
    {IDC_LINE_DISTRIBUTION, "関数のステップ数の分布ファイルを出力したい場合ON"},
    {IDC_DISTRIBUTION_SPIN, "この数値により行数分布が作られます"},
    {IDC_HIDE_REPEATED, "ツリーで一度表示した分岐図を省略する場合ON"},
    {IDC_NO_FUNCTION_SORT, "使用された順番に関数をツリーに組み込む場合ON"},
    {IDC_DUPLICATE_CHILDREN, "関数内で呼ばれた回数だけ子関数を表示したい場合ON"},
    {IDC_MACROS_NOT_FUNCTIONS, "C/C++用：マクロ関数を表示したくない場合にON"},
    {IDC_TAG_JUMP_TREE, "タグジャンプできる形式でツリー出力する場合ON"},
    {IDC_PC98_LINES, "使っているパソコンがPC-98x1の場合ON"},
};

// In the order of OutputFormat; the workbook only where one can be written.
const char* const kFormatNames[] = {"txt形式", "html形式", "csv形式", "xlsl形式"};

constexpr int kStepMin = 5;
constexpr int kStepMax = 30;

bool ready = false;  // set-up done: a command from now on is the user's

bool checked(HWND page, int control) { return IsDlgButtonChecked(page, control) == BST_CHECKED; }

void fillFormats(HWND page, const Options& o) {
  HWND list = GetDlgItem(page, IDC_OUTPUT_FORMAT);
  size_t count = workbookOffered(o) ? std::size(kFormatNames) : std::size(kFormatNames) - 1;
  for (size_t i = 0; i < count; ++i)
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kFormatNames[i]));
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(o.outputFormat), 0);
}

void open(HWND page) {
  ready = false;
  const Options& o = editedOptions();
  for (const SwitchBox& s : kSwitches)
    CheckDlgButton(page, s.control, o.*s.field ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemInt(page, IDC_DISTRIBUTION_STEP, o.distributionStep, TRUE);
  HWND spin = GetDlgItem(page, IDC_DISTRIBUTION_SPIN);
  SendMessageA(spin, UDM_SETBUDDY,
               reinterpret_cast<WPARAM>(GetDlgItem(page, IDC_DISTRIBUTION_STEP)), 0);
  SendMessageA(spin, UDM_SETRANGE32, kStepMin, kStepMax);
  SendMessageA(spin, UDM_SETPOS32, 0, o.distributionStep);
  fillFormats(page, o);
  EnableWindow(GetDlgItem(page, IDC_DUPLICATE_CHILDREN), checked(page, IDC_NO_FUNCTION_SORT));
  ready = true;
}

bool readBack(HWND page) {
  Options& o = editedOptions();
  for (const SwitchBox& s : kSwitches) o.*s.field = checked(page, s.control) ? 1 : 0;
  o.distributionStep = static_cast<std::int32_t>(
      SendDlgItemMessageA(page, IDC_DISTRIBUTION_SPIN, UDM_GETPOS32, 0, 0));
  // No entry is selected for a workbook that cannot be written: it stays.
  LRESULT format = SendDlgItemMessageA(page, IDC_OUTPUT_FORMAT, CB_GETCURSEL, 0, 0);
  if (format != CB_ERR) o.outputFormat = static_cast<OutputFormat>(format);
  return true;
}

// Every command after the set-up marks the sheet as changed.
bool command(HWND page, WPARAM wParam) {
  if (!ready) return false;
  int control = LOWORD(wParam);
  if (control == IDC_NO_FUNCTION_SORT)
    EnableWindow(GetDlgItem(page, IDC_DUPLICATE_CHILDREN), checked(page, IDC_NO_FUNCTION_SORT));
  if (control == IDC_DUPLICATE_CHILDREN && checked(page, IDC_DUPLICATE_CHILDREN))
    MessageBoxA(page, "関数ツリーに重複した子関数が\n表示されるようになります", "確認", MB_OK);
  return true;
}

// The second page saves nothing: this one saves for both.
void apply() {
  saveOptions(editedOptions());
  applyToolbarSwitch(liveOptions().hideToolbar != 0);
}

void close() {
  Options& o = editedOptions();
  o.outputFolder.clear();
  o.includeDirectories.clear();
  o.extensionLanguages.clear();
}

SettingsPage firstPage = {kTips, std::size(kTips), open, command, readBack, apply, close, nullptr};

}  // namespace

INT_PTR CALLBACK firstPageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return pageProcedure(firstPage, page, message, wParam, lParam);
}
