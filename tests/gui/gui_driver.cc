// The GUI test's driver: starts mizenta.exe (installed as it ships, with
// its settings data file and help page), drives its main window through
// messages, commands, drops (dragged from this process as a file manager
// drags, made in the program, and broken ones) and answers to its boxes,
// and checks what the window really shows and what the program writes on
// disk. The window's state is read inside the program by the probe library
// (gui_probe.cc).
//
//   gui_driver.exe WORK_FOLDER PROBE_LIBRARY
//   gui_driver.exe --opened RECORD PATH   (the shell's handler of pages)
//
// WORK_FOLDER holds program\ with mizenta.exe and what ships beside it, the
// sample sources in inventory\ and two trees of many small files (many\,
// huge\); the driver writes its other sources there, a screenshot of each
// state (broken-drop, idle, finished, report, large-report, conflict,
// registering, names, running, output-folder, settings-page1,
// settings-page2, distribution, splitter; .png) and result.txt: "passed",
// or one line per failed check. The main window's checks are here, those
// of the settings sheet and the distribution dialog in gui_dialogs.cc.
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/gui/gui_dialogs.h"
#include "tests/gui/gui_support.h"

namespace {

// ---------------------------------------------------------------------------
// Files

// The log and the call tree of the first run, which a later run over the
// same files must repeat.
std::string firstLog, firstCallTree;

std::string withoutCarriageReturns(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

int countOf(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

const char kUnreadableDrop[] = " ﾄﾞﾛｯﾌﾟされたﾌｧｲﾙの一覧を読めません";

std::string withoutLinesOf(const std::string& text, const std::string& line) {
  std::string out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);)
    if (l.compare(0, line.size(), line) != 0) out += l + "\n";
  return out;
}

// The reports every run writes, and the log.
const char* const kReports[] = {"MizentaLog.txt", "MzStepLog.txt", "MzFileTree.txt"};
std::string report(const char* name) { return programDir + name; }
std::string log() { return readFile(report("MizentaErrLog.txt")); }
bool anyReport() {
  return std::any_of(std::begin(kReports), std::end(kReports),
                     [](const char* r) { return exists(report(r)); });
}
void removeReports() {
  for (const char* r : kReports) DeleteFileA(report(r).c_str());
}

// ---------------------------------------------------------------------------
// Sources

constexpr int kLongFiles = 400;
constexpr int kRefusedFiles = 12;
// The trees of many files that run-gui-test.sh makes: many\d0\f0.c …
constexpr int kManyFolders = 20, kManyPerFolder = 100;
constexpr int kHugePerFolder = 5000;  // huge\d0\f0.c …, in as many folders

void makeSources() {
  CreateDirectoryA((work + "src").c_str(), nullptr);
  writeFile(work + "src\\main.c",
            "#include \"util.h\"\r\nint main(void) {\r\n  foo();\r\n  return 0;\r\n}\r\n");
  writeFile(work + "src\\util.c", "#include \"util.h\"\r\nvoid foo(void) {\r\n}\r\n");
  writeFile(work + "src\\util.h", "void foo(void);\r\n");
  CreateDirectoryA((work + "vb").c_str(), nullptr);
  for (int i = 0; i < kRefusedFiles; ++i)
    writeFile(work + "vb\\m" + std::to_string(i) + ".bas",
              "Attribute VB_Name = \"m\"\r\nSub Hello()\r\nEnd Sub\r\n");
  // Names that draw below the line, and one name in two folders.
  for (const char* folder : {"names", "names\\a", "names\\b"})
    CreateDirectoryA((work + folder).c_str(), nullptr);
  for (const char* file : {"names\\a_b.c", "names\\ab.c", "names\\a\\util.c", "names\\b\\util.c"})
    writeFile(work + file, "int x;\r\n");
  // Enough work that a run is still reading when it is stopped.
  CreateDirectoryA((work + "long").c_str(), nullptr);
  for (int f = 0; f < kLongFiles; ++f) {
    std::string text;
    for (int k = 0; k < 1500; ++k) {
      std::string n = std::to_string(f) + "_" + std::to_string(k);
      text += "int f_" + n + "(int a) {\r\n  int b = a * 2;\r\n  if (b > 10) {\r\n    b = g_" + n +
              "(b);\r\n  }\r\n  return b + 1;\r\n}\r\n";
    }
    char name[32];
    std::snprintf(name, sizeof name, "long\\f%03d.c", f);
    writeFile(work + name, text);
  }
}

// ---------------------------------------------------------------------------
// Compact forms of the window's state

// "101e 104g 106-": each command enabled, grayed or absent; the speed
// commands checked or unchecked.
std::string menuForm(const probe::WindowState& s) {
  std::string form;
  for (int i = 0; i < probe::kMenuCount; ++i) {
    UINT id = probe::kMenuIds[i], state = s.menuStates[i];
    bool speed = id == 203 || id == 204;
    char mark = state == probe::kAbsent ? '-'
                : speed                 ? (state & MF_CHECKED ? 'c' : 'u')
                                        : (state & MF_GRAYED ? 'g' : 'e');
    form += (form.empty() ? "" : " ") + std::to_string(id) + mark;
  }
  return form;
}

const char kIdleMenu[] = "101e 104e 105e 106- 107- 108e 201e 502e 203c 204u 301e 302e 601e";
const char kRunningMenu[] = "101g 104g 105- 106e 107- 108e 201g 502g 203c 204u 301e 302e 601e";
const char kIdleSlowMenu[] = "101e 104e 105e 106- 107- 108e 201e 502e 203u 204c 301e 302e 601e";

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

std::string items(const probe::WindowState& s) {
  std::vector<std::string> names = lines(s.items);
  std::sort(names.begin(), names.end());
  std::string joined;
  for (const std::string& n : names) joined += (joined.empty() ? "" : ",") + n;
  return joined;
}

// The items of one menu of the bar ("[title]" and its lines, unindented).
std::string menuItems(const probe::WindowState& s, const std::string& title) {
  std::string all = s.menus, head = "[" + title + "]\n";
  size_t start = all.find(head);
  if (start == std::string::npos) return "<no menu " + title + ">";
  std::string out;
  for (const std::string& l : lines(all.substr(start + head.size()))) {
    if (l.compare(0, 2, "  ") != 0) break;
    out += l.substr(2) + "\n";
  }
  return out;
}

std::string statusForm(const probe::WindowState& s) {
  return std::string(s.status[0]) + "|" + s.status[1] + "|" + s.status[2];
}

void checkFileCount(Program& mizenta, int count) {
  mizenta.command(403);
  Box b = mizenta.waitForBox();
  checkBox(b, "ファイル数確認", "解析対象ファイル数[" + std::to_string(count) + "]",
           mizenta.window());
  mizenta.answer(b, IDOK);
}

// Starts a run over the long sources and waits until it reads its second file.
std::string startLongRun(Program& mizenta) {
  mizenta.command(105);
  mizenta.dropAndWait({"long"});
  removeReports();
  mizenta.command(104);
  std::string progress;
  waitUntil([&] {
    progress = mizenta.state().viewer;
    int position = 0, count = 0;
    return std::sscanf(progress.c_str(), "(%4d/%4d)", &position, &count) == 2 && position >= 2;
  });
  return progress;
}

void dropAndWait(Program& mizenta, const std::vector<std::string>& paths) {
  mizenta.dropAndWait(paths);
}

// ---------------------------------------------------------------------------
// The checks

void opensEmpty(Program& mizenta) {
  const probe::WindowState& s = mizenta.state();
  checkEqual(std::string(s.title), std::string("ＭＩＺＥＮＴＡ"), "title");
  checkEqual(std::string(s.label), std::string("解析対象"), "label");
  check(s.hasTree && s.hasViewer && s.hasToolbar && s.hasStatusBar,
        "tree, viewer, toolbar and status bar exist");
  RECT client;
  GetClientRect(mizenta.window(), &client);
  int foot = s.statusRect.top;
  checkEqual(static_cast<int>(s.statusRect.bottom), static_cast<int>(client.bottom),
             "status bar at the foot");
  checkEqual(rectForm(s.labelRect), std::string("0,45 200x20"), "label's place below the toolbar");
  checkEqual(rectForm(s.treeRect), "0,65 200x" + std::to_string(foot - 65), "tree's place");
  checkEqual(rectForm(s.viewerRect),
             "204,45 " + std::to_string(client.right - 204) + "x" + std::to_string(foot - 45),
             "viewer's place, past the splitter");
  checkEqual(s.itemCount, 0, "tree items at start");
  checkEqual(std::string(s.viewer), std::string(), "viewer text at start");
  checkEqual(menuForm(s), std::string(kIdleMenu), "menu at start");
  checkEqual(statusForm(s), "ﾌｧｲﾙ数 0|待機中|出力先 " + programDir, "status bar at start");
  // The keys of the commands after their captions; the web command is gone.
  checkEqual(menuItems(s, "ﾌｧｲﾙ(&F)"),
             std::string("101 ソースの選択\tCtrl+O\n104 解析実行\tF5\n105 読取情報ｸﾘｱ\n"
                         "108 終了(&X)\tAlt+F4\n"),
             "the file menu");
  checkEqual(menuItems(s, "ﾍﾙﾌﾟ(&H)"), std::string("301 ﾍﾙﾌﾟ\tF1\n302 ﾊﾞｰｼﾞｮﾝ情報\n"),
             "the help menu");
  checkEqual(menuItems(s, "ﾚﾎﾟｰﾄ(&R)"), std::string("601 出力先ﾌｫﾙﾀﾞを開く\n602 (ﾚﾎﾟｰﾄなし)\n"),
             "the report menu before a run");
}

// Drops whose list cannot be read: a number that is no handle, a block of
// this process, and blocks of the program with a bad offset, no end, no
// room for the header. The window lives on, says so, and the next run's
// log has a line for each.
void brokenDropsAreSurvived(Program& mizenta) {
  check(mizenta.foreignDrop(reinterpret_cast<HGLOBAL>(0x0BAD0000)), "a number dropped");
  HGLOBAL ours = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4096);
  check(mizenta.foreignDrop(ours), "a block of another process dropped");
  for (probe::BadDrop fault : {probe::kOffsetPastEnd, probe::kUnendedList, probe::kEmptyBlock})
    mizenta.badDrop(fault);
  const probe::WindowState& s = mizenta.state();
  check(mizenta.alive(), "the window lives after broken drops");
  checkEqual(std::string(s.status[1]), std::string("ﾄﾞﾛｯﾌﾟされたﾌｧｲﾙの一覧を読めません"),
             "the status bar after broken drops");
  checkEqual(s.itemCount, 0, "tree items after broken drops");
  screenshot("broken-drop.png");
  GlobalFree(ours);
}

// Dragged from this process and let go over the window, as from a file
// manager.
void draggedFolderFillsTheTree(Program& mizenta) {
  check(mizenta.drag({"src"}), "the window took the dragged folder");
  waitUntil([&] { return mizenta.state().itemCount == 2; });
  const probe::WindowState& s = mizenta.state();
  checkEqual(items(s), std::string("main.c,util.c"), "tree after dragging src");
  checkEqual(statusForm(s), "ﾌｧｲﾙ数 2|待機中|出力先 " + programDir, "status bar after the drag");
  screenshot("idle.png");
}

void runWritesReportsAndShowsTheLog(Program& mizenta) {
  removeReports();
  runToEnd(mizenta, "finished.png");
  const probe::WindowState& s = mizenta.state();
  firstLog = log();
  firstCallTree = readFile(report("MizentaLog.txt"));
  check(firstLog.find("main.cを処理中") != std::string::npos &&
            firstLog.find("util.cを処理中") != std::string::npos,
        "log names both files", firstLog);
  checkEqual(countOf(firstLog, kUnreadableDrop), 5, "log lines of the broken drops");
  check(firstLog.find("設定ﾌｧｲﾙが読み込めません") == std::string::npos,
        "the settings data file was read", firstLog);
  checkEqual(withoutCarriageReturns(s.viewer), withoutCarriageReturns(firstLog),
             "viewer shows the log");
  check(firstCallTree.find("foo") != std::string::npos, "call tree written");
  check(exists(report("MzStepLog.txt")) && exists(report("MzFileTree.txt")),
        "step counts and file tree written");
  checkEqual(menuForm(s), std::string(kIdleMenu), "menu after the run");
  checkEqual(statusForm(s), "ﾌｧｲﾙ数 2|処理終了|出力先 " + programDir, "status bar after the run");
}

// The run's reports in the menu, the log first; one chosen shows in the
// viewer; the tree's popup lists them too.
void reportsOfTheRunAreAtHand(Program& mizenta) {
  const std::string expected =
      "601 出力先ﾌｫﾙﾀﾞを開く\n610 MizentaErrLog.txt\n611 MizentaLog.txt\n612 MzFileTree.txt\n"
      "613 MzStepLog.txt\n";
  checkEqual(menuItems(mizenta.state(), "ﾚﾎﾟｰﾄ(&R)"), expected, "the report menu after the run");
  mizenta.command(613);
  const probe::WindowState& s = mizenta.state();
  checkEqual(withoutCarriageReturns(s.viewer),
             withoutCarriageReturns(readFile(report("MzStepLog.txt"))),
             "the step counts in the viewer");
  checkEqual(std::string(s.status[1]), std::string("表示中 MzStepLog.txt"),
             "status of a report shown");
  settledScreenshot("report.png");
  // The popup over the first item.
  RECT tree = s.treeRect;
  POINT at = {tree.left + 20, tree.top + 8};
  ClientToScreen(mizenta.window(), &at);
  HWND treeWindow = FindWindowExA(mizenta.window(), nullptr, "SysTreeView32", nullptr);
  mizenta.post(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(treeWindow), MAKELPARAM(at.x, at.y));
  std::string popup;
  waitUntil([&] { return !(popup = mizenta.popupMenu()).empty(); }, 10000);
  checkEqual(popup,
             std::string("401 削除\n402 ソート\n403 ファイル数\n[ﾚﾎﾟｰﾄ]\n  610 MizentaErrLog.txt\n"
                         "  611 MizentaLog.txt\n  612 MzFileTree.txt\n  613 MzStepLog.txt\n"),
             "the tree's popup after the run");
  mizenta.command(610);
  checkEqual(withoutCarriageReturns(mizenta.state().viewer), withoutCarriageReturns(firstLog),
             "the log shown again");
}

// A report larger than the viewer takes: its first whole lines and where
// the whole file is.
// A report larger than the viewer takes (64 KiB): its first whole lines
// and where the whole file is.
void aLargeReportShowsItsStart(Program& mizenta) {
  constexpr size_t kViewed = 64 * 1024;
  mizenta.command(105);
  dropAndWait(mizenta, {"long\\f000.c"});
  runToEnd(mizenta);
  std::string whole = withoutCarriageReturns(readFile(report("MizentaLog.txt")));
  check(whole.size() > kViewed, "the call tree is larger than the viewer takes",
        std::to_string(whole.size()));
  mizenta.command(611);
  std::string shown = withoutCarriageReturns(mizenta.state().viewer);
  std::string tail = "全体: " + report("MizentaLog.txt") + ")\n";
  check(shown.size() > tail.size() &&
            shown.compare(shown.size() - tail.size(), tail.size(), tail) == 0,
        "the viewer ends naming the whole file",
        shown.substr(shown.size() - std::min<size_t>(200, shown.size())));
  size_t note = shown.rfind("\n(ﾌｧｲﾙが大きいため先頭の ");
  size_t same = 0;
  while (note != std::string::npos && same <= note && same < whole.size() &&
         shown[same] == whole[same])
    ++same;
  check(note != std::string::npos && note > kViewed / 2 && note <= kViewed && same >= note &&
            shown[note - 1] == '\n',
        "the viewer shows the file's first whole lines",
        std::to_string(note) + " / " + std::to_string(same));
  settledScreenshot("large-report.png");
}

void clearEmptiesListTreeAndViewer(Program& mizenta) {
  mizenta.command(105);
  const probe::WindowState& s = mizenta.state();
  checkEqual(s.itemCount, 0, "tree items after clearing");
  checkEqual(std::string(s.viewer), std::string(), "viewer after clearing");
  checkEqual(std::string(s.status[0]), std::string("ﾌｧｲﾙ数 0"), "file count after clearing");
  check(mizenta.box().handle == nullptr, "clearing while idle asks nothing");
  checkFileCount(mizenta, 0);
}

// The conflict box names the first ten refused files and counts the rest.
void vbFilesOnCFilesAreRefusedByName(Program& mizenta) {
  dropAndWait(mizenta, {"src"});
  mizenta.drop({"vb"});
  Box conflict = mizenta.waitForBox();
  const std::string head = "C,C++,Java系とVB,Delphi系は\n同時に処理できません\n\n";
  check(conflict.text.compare(0, head.size(), head) == 0, "the conflict box's first lines",
        conflict.text);
  std::vector<std::string> named =
      lines(conflict.text.substr(std::min(head.size(), conflict.text.size())));
  checkEqual(named.size(), size_t(11), "lines naming refused files");
  for (size_t i = 0; i + 1 < named.size(); ++i)
    check(named[i].compare(0, (work + "vb\\m").size(), work + "vb\\m") == 0 &&
              named[i].size() > 4 && named[i].compare(named[i].size() - 4, 4, ".bas") == 0,
          "a refused file named", named[i]);
  if (!named.empty()) checkEqual(named.back(), std::string("ほか 2 ﾌｧｲﾙ"), "the rest counted");
  checkEqual(conflict.caption, std::string("ファイル登録エラー"), "caption of the conflict box");
  settledScreenshot("conflict.png");
  mizenta.answer(conflict, IDOK);
  checkEqual(items(mizenta.state()), std::string("main.c,util.c"), "tree after the refused drop");
  checkFileCount(mizenta, 2);
}

// 2,000 files registered while the window takes its progress and paints;
// 100,000 files whose progress the status bar shows while the menu offers
// "登録中止", stopped by Esc; a registration stopped by Esc at once.
void registeringIsWatchedAndStopped(Program& mizenta) {
  mizenta.command(105);
  mizenta.record();
  mizenta.drop({"many"});
  waitUntil([&] { return mizenta.state().itemCount == kManyFolders * kManyPerFolder; });
  std::string events = mizenta.recorded();
  std::vector<int> progress;
  size_t firstProgress = events.find('P'), end = events.find('E');
  for (size_t at = events.find('P'); at != std::string::npos && at < end;
       at = events.find('P', at + 1))
    progress.push_back(std::atoi(events.c_str() + at + 1));
  // A fast machine registers the 2,000 files within one progress pause.
  check(!progress.empty() && std::is_sorted(progress.begin(), progress.end()) &&
            progress.back() <= kManyFolders * kManyPerFolder,
        "the window took the registration's progress in order", events.substr(0, 400));
  check(firstProgress != std::string::npos && end != std::string::npos &&
            events.find('W', firstProgress) < end,
        "the window painted while registering", events.substr(0, 400));
  const probe::WindowState& s = mizenta.state();
  checkEqual(statusForm(s), "ﾌｧｲﾙ数 2000|待機中|出力先 " + programDir, "status after registering");
  checkEqual(menuForm(s), std::string(kIdleMenu), "menu after registering");

  mizenta.command(105);
  mizenta.drop({"huge"});
  const std::string registering = "ﾌｧｲﾙ登録中 ";
  std::string status, menu;
  bool seen = waitUntil([&] {
    const probe::WindowState& now = mizenta.state();
    status = now.status[1];
    menu = menuForm(now);
    return status.compare(0, registering.size(), registering) == 0 &&
           std::atoi(status.c_str() + registering.size()) > 0;
  });
  check(seen, "the status bar counts the files while they are registered", status);
  checkEqual(menu, std::string("101g 104g 105- 106- 107e 108e 201g 502g 203c 204u 301e 302e 601e"),
             "menu while registering");
  screenshot("registering.png");
  mizenta.command(106);
  waitUntil([&] { return std::string(mizenta.state().status[1]) == "登録を中止しました"; });
  check(mizenta.state().itemCount < kManyFolders * kHugePerFolder, "Esc stopped the registration",
        std::to_string(mizenta.state().itemCount));
  mizenta.command(105);
  mizenta.dropAndCommand({"many"}, 106);
  waitUntil([&] { return std::string(mizenta.state().status[1]) == "登録を中止しました"; });
  const probe::WindowState& stopped = mizenta.state();
  checkEqual(std::string(stopped.status[1]), std::string("登録を中止しました"), "status after Esc");
  check(stopped.itemCount < kManyFolders * kManyPerFolder, "Esc at once stopped the registration",
        std::to_string(stopped.itemCount));
  checkEqual(menuForm(stopped), std::string(kIdleMenu), "menu after the stopped registration");
  mizenta.command(105);
}

// Underscores and descenders are drawn; a name in two folders shows the
// folder, every item its full path as tooltip.
void namesAreDrawnWhole(Program& mizenta) {
  dropAndWait(mizenta, {"names"});
  const probe::WindowState& s = mizenta.state();
  checkEqual(items(s), std::string("a\\util.c,a_b.c,ab.c,b\\util.c"), "labels of the names");
  std::vector<std::string> tips = lines(s.tips);
  std::sort(tips.begin(), tips.end());
  std::string tipForm;
  for (const std::string& t : tips) tipForm += t + "\n";
  checkEqual(tipForm,
             "a\\util.c\t" + work + "names\\a\\util.c\n" + "a_b.c\t" + work + "names\\a_b.c\n" +
                 "ab.c\t" + work + "names\\ab.c\n" + "b\\util.c\t" + work + "names\\b\\util.c\n",
             "tooltips of the names");
  check(s.treeItemHeight >= s.treeTextHeight + 2, "items taller than their text",
        std::to_string(s.treeItemHeight) + " / " + std::to_string(s.treeTextHeight));
  int underscored = -1, plain = -1, height = 0;
  for (const std::string& l : lines(mizenta.treeInk())) {
    char label[64] = {};
    int lowest = -1, h = 0;
    if (std::sscanf(l.c_str(), "%63s %d %d", label, &lowest, &h) != 3) continue;
    if (std::string(label) == "a_b.c") underscored = lowest, height = h;
    if (std::string(label) == "ab.c") plain = lowest;
  }
  check(
      plain > 0 && underscored > plain && underscored < height,
      "the underscore of a_b.c is drawn below the letters, inside its item",
      std::to_string(underscored) + " / " + std::to_string(plain) + " / " + std::to_string(height));
  settledScreenshot("names.png");
  mizenta.command(105);
}

void stoppedRunWritesNothingMore(Program& mizenta) {
  std::string progress = startLongRun(mizenta);
  check(progress.find("/ 400) f") != std::string::npos &&
            progress.find("を処理中") != std::string::npos,
        "progress line in the viewer", progress);
  const probe::WindowState& running = mizenta.state();
  checkEqual(menuForm(running), std::string(kRunningMenu), "menu during a run");
  const std::string runningState = "解析中 (";
  check(std::string(running.status[1]).compare(0, runningState.size(), runningState) == 0,
        "status during a run", running.status[1]);
  screenshot("running.png");
  mizenta.command(106);
  Box question = mizenta.waitForBox();
  checkBox(question, "確認", "解析を中断しますか？", nullptr);
  mizenta.answer(question, IDYES);
  const probe::WindowState& s = mizenta.state();
  checkEqual(menuForm(s), std::string(kIdleMenu), "menu after the stop");
  checkEqual(s.itemCount, 0, "tree items after the stop");
  checkEqual(std::string(s.viewer), std::string(), "viewer after the stop");
  checkEqual(std::string(s.status[1]), std::string("解析を中止しました"), "status after the stop");
  checkEqual(menuItems(s, "ﾚﾎﾟｰﾄ(&R)"), std::string("601 出力先ﾌｫﾙﾀﾞを開く\n602 (ﾚﾎﾟｰﾄなし)\n"),
             "no reports after the stop");
  std::string stopped = log();
  Sleep(1500);
  checkEqual(log().size(), stopped.size(), "log size a while after the stop");
  check(!anyReport(), "no report after the stop");
  int read = countOf(stopped, "を処理中");
  check(read >= 2 && read < kLongFiles, "the stopped run read some files, not all",
        std::to_string(read));
  checkFileCount(mizenta, 0);
  check(mizenta.box().handle == nullptr, "no box after the stop");
}

void nextRunStartsClean(Program& mizenta) {
  dropAndWait(mizenta, {"src"});
  runToEnd(mizenta);
  checkEqual(log(), withoutLinesOf(firstLog, kUnreadableDrop), "log of the run after the stop");
  checkEqual(readFile(report("MizentaLog.txt")), firstCallTree,
             "call tree of the run after the stop");
}

void slowSpeedIsSaved(Program& mizenta) {
  mizenta.command(204);
  checkEqual(menuForm(mizenta.state()), std::string(kIdleSlowMenu), "menu after 低速");
  char value[16] = {};
  GetPrivateProfileStringA("その他設定", "処理ｽﾋﾟｰﾄﾞ", "", value, sizeof value,
                           (programDir + "Mizenta.ini").c_str());
  checkEqual(std::string(value), std::string("OFF"), "処理ｽﾋﾟｰﾄﾞ in Mizenta.ini");
}

// Help opens the page beside the program; the output folder opens in the
// file manager.
void helpAndFolderOpen(Program& mizenta, const OpenedPages& pages) {
  mizenta.command(301);
  std::string page = programDir + "Mizhlp.html";
  check(waitUntil([&] { return pages.opened().find(page) != std::string::npos; }, 15000),
        "Help opened the page beside the program", pages.opened());
  std::string html = readFile(page);
  // The page is UTF-8.
  for (const char* part : {"<h2 id=\"part1\">Running it</h2>", "The window (Windows)",
                           "Settings: Mizenta.ini", "ﾂﾘｰ表示幅", "Report files"})
    check(html.find(utf8(part)) != std::string::npos, std::string("the help page holds ") + part);
  mizenta.command(601);
  HWND folder = nullptr;
  std::string name = programDir.substr(0, programDir.size() - 1);
  name = name.substr(name.rfind('\\') + 1);
  waitUntil(
      [&] {
        for (HWND w = GetTopWindow(nullptr); w && !folder; w = GetWindow(w, GW_HWNDNEXT)) {
          char title[512] = {};
          GetWindowTextA(w, title, sizeof title);
          if (IsWindowVisible(w) && std::string(title).find(name) != std::string::npos) folder = w;
        }
        return folder != nullptr;
      },
      15000);
  check(folder != nullptr, "the output folder opened in the file manager");
  settledScreenshot("output-folder.png");
  if (folder) PostMessageA(folder, WM_CLOSE, 0, 0);
  check(mizenta.box().handle == nullptr, "no box after opening the folder");
}

// Dragged to the right, the splitter widens the tree and keeps the width.
void splitterMovesAndIsKept(Program& mizenta) {
  const probe::WindowState& before = mizenta.state();
  int y = (before.viewerRect.top + before.viewerRect.bottom) / 2;
  int x = before.treeRect.right + 2;
  mizenta.post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  mizenta.post(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 60, y));
  mizenta.post(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 100, y));
  mizenta.post(WM_LBUTTONUP, 0, MAKELPARAM(x + 100, y));
  const probe::WindowState& s = mizenta.state();
  checkEqual(static_cast<int>(s.treeRect.right - s.treeRect.left), 300, "the tree's width dragged");
  checkEqual(static_cast<int>(s.viewerRect.left), 304, "the viewer's left edge dragged");
  char value[16] = {};
  GetPrivateProfileStringA("その他設定", "ﾂﾘｰ表示幅", "", value, sizeof value,
                           (programDir + "Mizenta.ini").c_str());
  checkEqual(std::string(value), std::string("300"), "ﾂﾘｰ表示幅 in Mizenta.ini");
  settledScreenshot("splitter.png");
}

void closingDuringARunEndsIt(Program& mizenta) {
  startLongRun(mizenta);
  check(mizenta.close(30000), "the program ends with code 0 when closed during a run");
  check(!anyReport(), "no report after closing during a run");
}

// Restarted: the toolbar as the INI says, the tree as wide as it was left;
// 終了 ends the program.
void restartKeepsLayout(Program& mizenta) {
  WritePrivateProfileStringA("その他設定", "ﾂｰﾙﾊﾞｰ非表示", "ON",
                             (programDir + "Mizenta.ini").c_str());
  if (!mizenta.start()) return check(false, "mizenta.exe restarts");
  const probe::WindowState& s = mizenta.state();
  check(!s.hasToolbar, "no toolbar with ﾂｰﾙﾊﾞｰ非表示=ON");
  checkEqual(rectForm(s.labelRect), std::string("0,0 300x20"), "label's place without the toolbar");
  checkEqual(s.treeRect.top, 20L, "tree's top without the toolbar");
  checkEqual(menuForm(s), std::string(kIdleSlowMenu), "menu with 処理ｽﾋﾟｰﾄﾞ=OFF");
  check(mizenta.close(15000, 108), "終了 ends the program with code 0");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--opened") return recordOpened(argv[2], argv[3]);
  if (argc < 3) return 2;
  OleInitialize(nullptr);
  work = std::string(argv[1]) + "\\";
  programDir = work + "program\\";
  makeSources();
  Program mizenta(argv[2]);
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  OpenedPages pages(self, work + "opened.txt");
  if (mizenta.start()) {
    opensEmpty(mizenta);
    brokenDropsAreSurvived(mizenta);
    draggedFolderFillsTheTree(mizenta);
    runWritesReportsAndShowsTheLog(mizenta);
    reportsOfTheRunAreAtHand(mizenta);
    aLargeReportShowsItsStart(mizenta);
    clearEmptiesListTreeAndViewer(mizenta);
    vbFilesOnCFilesAreRefusedByName(mizenta);
    registeringIsWatchedAndStopped(mizenta);
    namesAreDrawnWhole(mizenta);
    stoppedRunWritesNothingMore(mizenta);
    nextRunStartsClean(mizenta);
    slowSpeedIsSaved(mizenta);
    helpAndFolderOpen(mizenta, pages);
    settingsCancelKeepsEverything(mizenta);
    settingsOkSavesTheEdits(mizenta);
    distributionOfTheSamples(mizenta);
    splitterMovesAndIsKept(mizenta);
    closingDuringARunEndsIt(mizenta);
    restartKeepsLayout(mizenta);
  } else {
    check(false, "mizenta.exe starts and opens its window");
  }
  std::string result = failures.empty() ? "passed\n" : "";
  for (const std::string& f : failures) result += utf8(f) + "\n";
  writeFile(work + "result.txt", result);

  return failures.empty() ? 0 : 1;
}
