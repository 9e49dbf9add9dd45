#include "tests/gui/gui_dialogs.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

const char kSheet[] = "MIZENTAの動作設定";
const char kDistribution[] = "関数の行数分布";
const char kDefaultExtensionRows[] =
    "c/C言語,cpp/C++言語,java/JAVA言語,frm/VB言語,bas/VB言語,cls/VB言語,ctl/VB言語,vb/VB言語,"
    "pas/Delphi言語,dpr/Delphi言語";

std::string iniPath() { return programDir + "Mizenta.ini"; }

// The tooltips of a dialog read by the probe: how many, and the text of
// the one over `id`.
std::string tips(const std::string& dump, int id) {
  std::istringstream in(dump);
  int count = 0;
  std::string over = "<none>", prefix = "tip " + std::to_string(id) + " ";
  for (std::string line; std::getline(in, line);) {
    if (line.compare(0, 4, "tip ") != 0) continue;
    ++count;
    if (line.compare(0, prefix.size(), prefix) == 0) over = line.substr(prefix.size());
  }
  return std::to_string(count) + " " + over;
}

// A control's line of a dialog read by the probe, without id and class:
// its flags ("-" disabled, "x" checked), its text and contents.
std::string control(const std::string& dump, int id) {
  std::istringstream in(dump);
  std::string prefix = std::to_string(id) + " ";
  for (std::string line; std::getline(in, line);) {
    if (line.compare(0, prefix.size(), prefix) != 0) continue;
    size_t flags = line.find(' ', prefix.size());
    return flags == std::string::npos ? line : line.substr(flags + 1);
  }
  return "<none>";
}

std::string controls(const std::string& dump, std::initializer_list<int> ids) {
  std::string form;
  for (int id : ids) form += (form.empty() ? "" : "|") + control(dump, id);
  return form;
}

// Each column of the extension list as wide as its widest text (its title
// or an entry) and the margins a list view draws around it.
void checkColumnsFit(const std::string& dump, const std::string& what) {
  constexpr int kMargins = 12;
  std::vector<std::string> found = linesStartingWith(dump, "cols 1010 ");
  int width[2] = {}, need[2] = {};
  bool read = found.size() == 1 && std::sscanf(found[0].c_str(), "cols 1010 %d,%d need %d,%d",
                                               &width[0], &width[1], &need[0], &need[1]) == 4;
  check(read && width[0] >= need[0] + kMargins && width[1] >= need[1] + kMargins && need[1] > 0,
        what, found.empty() ? "" : found[0]);
}

HWND currentPage(HWND sheet) {
  return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

HWND showPage(HWND sheet, int index) {
  SendMessageA(sheet, PSM_SETCURSEL, index, 0);
  return currentPage(sheet);
}

// Posted, as a click may open a box that waits for an answer; the probe's
// answer after it says that it was handled (texts set later are sent, and a
// sent message would overtake it).
void click(Program& mizenta, HWND dialog, int id) {
  PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
  mizenta.state();
}

void setText(HWND dialog, int id, const std::string& text) {
  SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                      SMTO_BLOCK, 5000, nullptr);
}

void select(HWND dialog, int id, int index) {
  SendMessageA(GetDlgItem(dialog, id), CB_SETCURSEL, index, 0);
}

void closeSheet(HWND sheet, int button, const std::string& how) {
  PostMessageA(sheet, PSM_PRESSBUTTON, button, 0);
  check(waitUntil([&] { return !IsWindow(sheet); }), how + " closed the sheet");
}

void answerBox(Program& mizenta, const std::string& caption, const std::string& text, HWND owner) {
  Box b = mizenta.waitForBox(caption);
  checkBox(b, caption, text, owner);
  if (b.handle) mizenta.answer(b, IDOK);
}

}  // namespace

void settingsCancelKeepsEverything(Program& mizenta) {
  std::string before = readFile(iniPath());
  mizenta.command(201);
  HWND sheet = mizenta.waitForTop(kSheet);
  if (!sheet) return;
  mizenta.command(201);
  mizenta.state();
  checkEqual(mizenta.topWindows(kSheet).size(), size_t(1), "settings sheets open");
  click(mizenta, currentPage(sheet), 114);
  HWND second = showPage(sheet, 1);
  setText(second, 103, "inc");
  click(mizenta, second, 105);
  check(control(mizenta.dialog(kSheet), 1010).find("inc/C言語") != std::string::npos,
        "an added extension is listed");
  // The folder browsers, each with its title, left without a choice.
  for (auto [button, title] : {std::pair{116, "出力先フォルダ"}, {117, "参照先フォルダ"}}) {
    click(mizenta, second, button);
    Box browser;
    waitUntil([&] { return (browser = mizenta.box()).text == title; }, 10000);
    checkEqual(browser.text, std::string(title), "the folder browser's title");
    if (browser.handle) mizenta.answer(browser, IDCANCEL);
  }
  checkEqual(controls(mizenta.dialog(kSheet), {1002, 122}), std::string("..|.."),
             "folders after the browsers were left");
  closeSheet(sheet, PSBTN_CANCEL, "Cancel");
  checkEqual(readFile(iniPath()), before, "Mizenta.ini after Cancel");
  mizenta.command(201);
  sheet = mizenta.waitForTop(kSheet);
  if (!sheet) return;
  checkEqual(control(mizenta.dialog(kSheet), 114), std::string(".. 関数一覧"),
             "関数一覧 after Cancel");
  showPage(sheet, 1);
  checkEqual(control(mizenta.dialog(kSheet), 1010),
             ".. [" + std::string(kDefaultExtensionRows) + "]", "extensions after Cancel");
  closeSheet(sheet, PSBTN_CANCEL, "Cancel");
}

namespace {

// Page 1: three switches on, 関数ｿｰﾄしない on and off again around the box
// of 重複した子関数を表示, the spin beyond its range, the CSV format.
void editFirstPage(Program& mizenta, HWND sheet) {
  HWND first = currentPage(sheet);
  std::string opened = mizenta.dialog(kSheet);
  // Without the spreadsheet program, "xls" is offered where the build has
  // the workbook library.
  const std::string formats = "(" + std::to_string(MZ_FORMATS_OFFERED) + ")";
  checkEqual(controls(opened, {114, 112, 1007, 1006, 1009}),
             ".. 関数一覧|-. 重複した子関数を表示|r. 10|.. @10|.. =txt形式 " + formats,
             "page 1 as it opens");
  // Every switch but two, and the spin, have a tooltip.
  checkEqual(tips(opened, 1006), std::string("16 この数値により行数分布が作られます"),
             "tooltips of page 1");
  for (int id : {114, 1008, 560, 110}) click(mizenta, first, id);
  click(mizenta, first, 112);
  answerBox(mizenta, "確認", "関数ツリーに重複した子関数が\n表示されるようになります", sheet);
  click(mizenta, first, 110);
  SendMessageA(GetDlgItem(first, 1006), UDM_SETPOS32, 0, 40);
  select(first, 1009, 2);
  checkEqual(controls(mizenta.dialog(kSheet), {114, 1008, 560, 110, 112, 1007, 1009}),
             ".x 関数一覧|.x 関数の行数分布|.x ツールバーを非表示|.. 関数ｿｰﾄしない|"
             "-x 重複した子関数を表示|r. 30|.. =csv形式 " +
                 formats,
             "page 1 after the edits");
  settledScreenshot("settings-page1.png");
}

// Page 2: an extension added ("c,inc" gives inc), one known and a header
// refused, a default one kept; a missing and a real include folder; the
// header mode.
void editSecondPage(Program& mizenta, HWND sheet) {
  HWND second = showPage(sheet, 1);
  std::string opened = mizenta.dialog(kSheet);
  checkEqual(tips(opened, 510), std::string("8 解析結果はソースごとに出力されます"),
             "tooltips of page 2");
  checkEqual(controls(opened, {1010, 510, 1002, 122, 1009}),
             ".. [" + std::string(kDefaultExtensionRows) + "]|.x ｿｰｽﾌｧｲﾙ毎|..|..|.. =C言語 (5)",
             "page 2 as it opens");
  checkColumnsFit(opened, "the extension list's columns as it opens");
  for (auto [text, language] : {std::pair{"c,inc", 1}, {".CPP", 2}, {"h", 0}}) {
    setText(second, 103, text);
    select(second, 1009, language);
    click(mizenta, second, 105);
  }
  answerBox(mizenta, "エラー", "ヘッダーは解析対象となりません", sheet);
  mizenta.selectRow(kSheet, 1010, 4);
  click(mizenta, second, 102);
  answerBox(mizenta, "エラー", "拡張子c,cpp,java,frm,bas,vb,pasは削除できません", sheet);
  setText(second, 121, work + "nowhere");
  click(mizenta, second, 118);
  answerBox(mizenta, "確認", "指定されたフォルダが存在しません", sheet);
  setText(second, 121, work + "src");
  click(mizenta, second, 118);
  click(mizenta, second, 508);
  std::string edited = mizenta.dialog(kSheet);
  checkEqual(controls(edited, {1010, 122, 508, 510}),
             ".. [" + std::string(kDefaultExtensionRows) + ",inc/C++言語]|.. [" + work +
                 "src\\]|.x 読み込まない|.. ｿｰｽﾌｧｲﾙ毎",
             "page 2 after the edits");
  checkColumnsFit(edited, "the extension list's columns after the edits");
  settledScreenshot("settings-page2.png");
}

}  // namespace

// OK saves every key of the sheet after the speed key already there, and
// the toolbar goes at once.
void settingsOkSavesTheEdits(Program& mizenta) {
  mizenta.command(201);
  HWND sheet = mizenta.waitForTop(kSheet);
  if (!sheet) return;
  editFirstPage(mizenta, sheet);
  editSecondPage(mizenta, sheet);
  closeSheet(sheet, PSBTN_OK, "OK");
  const std::string expected =
      "[その他設定]\r\n処理ｽﾋﾟｰﾄﾞ=OFF\r\n処理時間表示=OFF\r\nﾂｰﾙﾊﾞｰ非表示=ON\r\n"
      "ﾍｯﾀﾞｰﾌｧｲﾙ読取設定=読取禁止\r\n"
      "拡張子および言語=c:0,cpp:1,java:2,frm:3,bas:3,cls:3,ctl:3,vb:3,pas:4,dpr:4,inc:1\r\n"
      "[ﾃﾞｨﾚｸﾄﾘ設定]\r\n標準ｲﾝｸﾙｰﾄﾞ設定数=1\r\n標準ｲﾝｸﾙｰﾄﾞ0=" +
      work +
      "src\\\r\n"
      "出力先ﾌｫﾙﾀﾞ=\r\n"
      "[ﾃｷｽﾄ出力設定]\r\n関数ｿｰﾄしない=OFF\r\n重複した子関数を全て表示=ON\r\n"
      "ﾏｸﾛを関数として認めない=OFF\r\n既述関数非表示=OFF\r\nPC-98x1=OFF\r\n"
      "ｽﾃｯﾌﾟ数の表示を個別=OFF\r\nﾂﾘｰ出力をﾀｸﾞ形式=OFF\r\nメンバ変数を出力=OFF\r\n"
      "[ﾌｧｲﾙ出力設定]\r\n使用ｸﾗｽ確認=OFF\r\n#define文確認=OFF\r\n予約語表示=OFF\r\n"
      "ｸﾞﾛｰﾊﾞﾙ変数一覧=OFF\r\n変数詳細情報の表示=OFF\r\n型情報の表示=OFF\r\n"
      "名前空間一覧の表示=OFF\r\n関数一覧の表示=ON\r\n関数詳細情報の表示=OFF\r\n"
      "関数の行数分布を出力=ON\r\n行数分布の行数=30\r\nﾌｧｲﾙ出力形式=csv\r\n";
  checkEqual(readFile(iniPath()), expected, "Mizenta.ini after OK");
  const probe::WindowState& s = mizenta.state();
  check(!s.hasToolbar, "the toolbar went with OK");
  checkEqual(rectForm(s.labelRect), std::string("0,0 200x20"), "label's place after OK");
}

namespace {

// "boundary:count" per class ("+" on the open last one), then "/width".
std::string classes(const std::string& dump) {
  std::string form;
  for (int k = 0; k < 11; ++k)
    form += control(dump, 101 + k).substr(3) + (k == 10 ? "+:" : ":") +
            control(dump, 112 + k).substr(3) + " ";
  return form + "/" + control(dump, 123).substr(3);
}

}  // namespace

// The sample sources have eleven functions: 4, 8, 7, 6, 6 and 10 lines
// (main.c, util.c), 4, 14, 10, 6 and 6 (inventory.c). The run writes them
// in classes of 30, as the sheet set.
void distributionOfTheSamples(Program& mizenta) {
  mizenta.command(105);
  mizenta.dropAndWait({"inventory"});
  std::string csv = programDir + "Mz関数分布.csv";
  DeleteFileA(csv.c_str());
  runToEnd(mizenta);
  std::string ofRun = readFile(csv);
  checkEqual(ofRun,
             std::string("30行未満,11\r\n60行未満,0\r\n90行未満,0\r\n120行未満,0\r\n"
                         "150行未満,0\r\n180行未満,0\r\n210行未満,0\r\n240行未満,0\r\n"
                         "270行未満,0\r\n300行未満,0\r\n300行以上,0\r\n"),
             "Mz関数分布.csv of the run");
  mizenta.command(502);
  HWND dialog = mizenta.waitForTop(kDistribution);
  if (!dialog) return;
  std::string shown = mizenta.dialog(kDistribution);
  // The numbers in read-only fields, enabled: drawn as any text.
  for (int id = 101; id <= 123; ++id)
    checkEqual(control(shown, id).substr(0, 2), std::string("r."),
               "distribution field " + std::to_string(id));
  checkEqual(classes(shown),
             std::string("10:8 20:3 30:0 40:0 50:0 60:0 70:0 80:0 90:0 100:0 100+:0 /10"),
             "the distribution as it opens");
  checkEqual(control(shown, 1000), std::string(".. @10"), "the slider as it opens");
  settledScreenshot("distribution.png");
  HWND slider = FindWindowExA(dialog, nullptr, TRACKBAR_CLASSA, nullptr);
  PostMessageA(slider, WM_KEYDOWN, VK_HOME, 0);
  checkEqual(classes(mizenta.dialog(kDistribution)),
             std::string("5:2 10:6 15:3 20:0 25:0 30:0 35:0 40:0 45:0 50:0 50+:0 /5"),
             "the distribution at the slider's start");
  PostMessageA(slider, WM_KEYDOWN, VK_END, 0);
  checkEqual(classes(mizenta.dialog(kDistribution)),
             std::string("30:11 60:0 90:0 120:0 150:0 180:0 210:0 240:0 270:0 300:0 300+:0 /30"),
             "the distribution at the slider's end");
  mizenta.command(502);
  mizenta.state();
  checkEqual(mizenta.topWindows(kDistribution).size(), size_t(1), "distribution dialogs open");
  DeleteFileA(csv.c_str());
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(503, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, 503)));
  answerBox(mizenta, "CSV出力", "関数の行数分布を出力しました\n" + csv, dialog);
  checkEqual(readFile(csv), ofRun, "Mz関数分布.csv of the dialog");
  // Held open by another program, the file is not written, and the box
  // says why.
  HANDLE held = CreateFileA(csv.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(503, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, 503)));
  answerBox(
      mizenta, "エラー",
      "レポートを書けません: " + csv + "\nﾌｧｲﾙが他のﾌﾟﾛｸﾞﾗﾑで使用中か、書き込みが許されていません",
      dialog);
  CloseHandle(held);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  check(waitUntil([&] { return !IsWindow(dialog); }), "閉じる closed the dialog");
}
