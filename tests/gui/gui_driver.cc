// The GUI test's driver: starts mizenta.exe, drives its main window through
// messages (commands, drops, answers to its message boxes) and checks what
// the window really shows and what the program writes on disk. The window's
// state is read inside the program by the probe library (gui_probe.cc).
//
//   gui_driver.exe WORK_FOLDER PROBE_LIBRARY
//
// WORK_FOLDER holds program\ with mizenta.exe and calvex.dll and the sample
// sources in inventory\; the driver writes its own sources there, the
// screenshots (idle.png, running.png, finished.png, settings-page1.png,
// settings-page2.png, distribution.png) and result.txt: "passed", or one
// line per failed check. The main window's checks are here, those of the
// settings sheet and the distribution dialog in gui_dialogs.cc.
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

void makeSources() {
  CreateDirectoryA((work + "src").c_str(), nullptr);
  writeFile(work + "src\\main.c",
            "#include \"util.h\"\r\nint main(void) {\r\n  foo();\r\n  return 0;\r\n}\r\n");
  writeFile(work + "src\\util.c", "#include \"util.h\"\r\nvoid foo(void) {\r\n}\r\n");
  writeFile(work + "src\\util.h", "void foo(void);\r\n");
  CreateDirectoryA((work + "vb").c_str(), nullptr);
  writeFile(work + "vb\\x.bas", "Attribute VB_Name = \"x\"\r\nSub Hello()\r\nEnd Sub\r\n");
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

const char kIdleMenu[] = "101e 104e 105e 106- 201e 502e 203c 204u 301e 302e 303e";
const char kRunningMenu[] = "101g 104g 105- 106e 201g 502g 203c 204u 301e 302e 303e";
const char kIdleSlowMenu[] = "101e 104e 105e 106- 201e 502e 203u 204c 301e 302e 303e";

std::string items(const probe::WindowState& s) {
  std::vector<std::string> names;
  std::istringstream in(s.items);
  for (std::string n; std::getline(in, n);) names.push_back(n);
  std::sort(names.begin(), names.end());
  std::string joined;
  for (const std::string& n : names) joined += (joined.empty() ? "" : ",") + n;
  return joined;
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
  mizenta.drop({"long"});
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

// ---------------------------------------------------------------------------
// The checks

void opensEmpty(Program& mizenta) {
  const probe::WindowState& s = mizenta.state();
  checkEqual(std::string(s.title), std::string("ＭＩＺＥＮＴＡ"), "title");
  checkEqual(std::string(s.label), std::string("解析対象"), "label");
  check(s.hasTree && s.hasViewer && s.hasToolbar, "tree, viewer and toolbar exist");
  RECT client;
  GetClientRect(mizenta.window(), &client);
  checkEqual(rectForm(s.labelRect), std::string("0,45 200x20"), "label's place below the toolbar");
  checkEqual(rectForm(s.treeRect), "0,65 200x" + std::to_string(client.bottom - 65),
             "tree's place");
  checkEqual(
      rectForm(s.viewerRect),
      "200,45 " + std::to_string(client.right - 200) + "x" + std::to_string(client.bottom - 45),
      "viewer's place");
  checkEqual(s.itemCount, 0, "tree items at start");
  checkEqual(std::string(s.viewer), std::string(), "viewer text at start");
  checkEqual(menuForm(s), std::string(kIdleMenu), "menu at start");
}

void droppedFolderFillsTheTree(Program& mizenta) {
  mizenta.drop({"src"});
  checkEqual(items(mizenta.state()), std::string("main.c,util.c"), "tree after dropping src");
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
  checkEqual(withoutCarriageReturns(s.viewer), withoutCarriageReturns(firstLog),
             "viewer shows the log");
  check(firstCallTree.find("foo") != std::string::npos, "call tree written");
  check(exists(report("MzStepLog.txt")) && exists(report("MzFileTree.txt")),
        "step counts and file tree written");
  checkEqual(menuForm(s), std::string(kIdleMenu), "menu after the run");
}

void clearEmptiesListTreeAndViewer(Program& mizenta) {
  mizenta.command(105);
  const probe::WindowState& s = mizenta.state();
  checkEqual(s.itemCount, 0, "tree items after clearing");
  checkEqual(std::string(s.viewer), std::string(), "viewer after clearing");
  check(mizenta.box().handle == nullptr, "clearing while idle asks nothing");
  checkFileCount(mizenta, 0);
}

void basOnCFilesIsRefused(Program& mizenta) {
  mizenta.drop({"src"});
  mizenta.drop({"vb\\x.bas"});
  Box conflict = mizenta.waitForBox();
  checkBox(conflict, "ファイル登録エラー", "C,C++,Java系とVB,Delphi系は\n同時に処理できません",
           mizenta.window());
  mizenta.answer(conflict, IDOK);
  checkEqual(items(mizenta.state()), std::string("main.c,util.c"), "tree after the refused drop");
  checkFileCount(mizenta, 2);
}

void stoppedRunWritesNothingMore(Program& mizenta) {
  std::string progress = startLongRun(mizenta);
  check(progress.find("/ 400) f") != std::string::npos &&
            progress.find("を処理中") != std::string::npos,
        "progress line in the viewer", progress);
  checkEqual(menuForm(mizenta.state()), std::string(kRunningMenu), "menu during a run");
  screenshot("running.png");
  mizenta.command(106);
  Box question = mizenta.waitForBox();
  checkBox(question, "確認", "解析を中断しますか？", nullptr);
  mizenta.answer(question, IDYES);
  const probe::WindowState& s = mizenta.state();
  checkEqual(menuForm(s), std::string(kIdleMenu), "menu after the stop");
  checkEqual(s.itemCount, 0, "tree items after the stop");
  checkEqual(std::string(s.viewer), std::string(), "viewer after the stop");
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
  mizenta.drop({"src"});
  runToEnd(mizenta);
  checkEqual(log(), firstLog, "log of the run after the stop");
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

void closingDuringARunEndsIt(Program& mizenta) {
  startLongRun(mizenta);
  check(mizenta.close(30000), "the program ends with code 0 when closed during a run");
  check(!anyReport(), "no report after closing during a run");
}

void hiddenToolbarPutsTheLabelAtTheTop(Program& mizenta) {
  WritePrivateProfileStringA("その他設定", "ﾂｰﾙﾊﾞｰ非表示", "ON",
                             (programDir + "Mizenta.ini").c_str());
  if (!mizenta.start()) return check(false, "mizenta.exe restarts");
  const probe::WindowState& s = mizenta.state();
  check(!s.hasToolbar, "no toolbar with ﾂｰﾙﾊﾞｰ非表示=ON");
  checkEqual(rectForm(s.labelRect), std::string("0,0 200x20"), "label's place without the toolbar");
  checkEqual(s.treeRect.top, 20L, "tree's top without the toolbar");
  checkEqual(menuForm(s), std::string(kIdleSlowMenu), "menu with 処理ｽﾋﾟｰﾄﾞ=OFF");
  check(mizenta.close(15000), "the program ends with code 0");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  work = std::string(argv[1]) + "\\";
  programDir = work + "program\\";
  makeSources();
  Program mizenta(argv[2]);
  if (mizenta.start()) {
    opensEmpty(mizenta);
    droppedFolderFillsTheTree(mizenta);
    runWritesReportsAndShowsTheLog(mizenta);
    clearEmptiesListTreeAndViewer(mizenta);
    basOnCFilesIsRefused(mizenta);
    stoppedRunWritesNothingMore(mizenta);
    nextRunStartsClean(mizenta);
    slowSpeedIsSaved(mizenta);
    settingsCancelKeepsEverything(mizenta);
    settingsOkSavesTheEdits(mizenta);
    distributionOfTheSamples(mizenta);
    closingDuringARunEndsIt(mizenta);
    hiddenToolbarPutsTheLabelAtTheTop(mizenta);
  } else {
    check(false, "mizenta.exe starts and opens its window");
  }
  std::string result = failures.empty() ? "passed\n" : "";
  for (const std::string& f : failures) result += utf8(f) + "\n";
  writeFile(work + "result.txt", result);
  return failures.empty() ? 0 : 1;
}
