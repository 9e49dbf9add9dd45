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
// line per failed check.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/gui/probe_protocol.h"

namespace {

// ---------------------------------------------------------------------------
// Checks and files

std::string work, programDir;
std::vector<std::string> failures;
// The log and the call tree of the first run, which a later run over the
// same files must repeat.
std::string firstLog, firstCallTree;

std::string utf8(const std::string& cp932) {
  std::wstring wide(cp932.size() + 1, L'\0');
  wide.resize(MultiByteToWideChar(932, 0, cp932.c_str(), -1, wide.data(), wide.size()));
  std::string out(wide.size() * 3 + 1, '\0');
  out.resize(WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, out.data(), out.size(), 0, 0));
  return out.c_str();
}

void check(bool ok, const std::string& what, const std::string& seen = "") {
  if (ok) return;
  failures.push_back(what + (seen.empty() ? "" : " [seen: " + seen + "]"));
  std::printf("FAILED: %s\n", utf8(failures.back()).c_str());
  std::fflush(stdout);
}

template <class T>
void checkEqual(const T& seen, const T& expected, const std::string& what) {
  std::ostringstream s, e;
  s << seen;
  e << expected;
  check(seen == expected, what + " (expected: " + e.str() + ")", s.str());
}

bool waitUntil(const std::function<bool()>& condition, int milliseconds = 30000) {
  for (int waited = 0; waited < milliseconds; waited += 50, Sleep(50))
    if (condition()) return true;
  return condition();
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

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
// Screenshots: the whole screen (the test's own virtual desktop) as PNG.

std::uint32_t crc32(const std::string& bytes) {
  std::uint32_t c = 0xFFFFFFFF;
  for (unsigned char b : bytes) {
    c ^= b;
    for (int i = 0; i < 8; ++i) c = (c >> 1) ^ (0xEDB88320 & (0 - (c & 1)));
  }
  return ~c;
}

std::string bigEndian(std::uint32_t v) {
  return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::string pngChunk(const std::string& type, const std::string& data) {
  return bigEndian(data.size()) + type + data + bigEndian(crc32(type + data));
}

// Rows of RGB bytes, each led by filter 0, in stored (uncompressed) blocks.
std::string png(int width, int height, const std::string& rows) {
  std::string z = "\x78\x01";
  std::uint32_t a = 1, b = 0;
  for (unsigned char c : rows) a = (a + c) % 65521, b = (b + a) % 65521;
  for (size_t at = 0; at < rows.size(); at += 65535) {
    size_t n = std::min<size_t>(65535, rows.size() - at);
    z += char(at + n == rows.size());
    z += {char(n), char(n >> 8), char(~n), char(~n >> 8)};
    z += rows.substr(at, n);
  }
  z += bigEndian(b << 16 | a);
  std::string header = bigEndian(width) + bigEndian(height) + std::string("\x08\x02\0\0\0", 5);
  return "\x89PNG\r\n\x1a\n" + pngChunk("IHDR", header) + pngChunk("IDAT", z) +
         pngChunk("IEND", "");
}

void screenshot(const std::string& name);

// After a dialog's controls changed: a moment for them to be drawn.
void settledScreenshot(const std::string& name) {
  Sleep(500);
  screenshot(name);
}

void screenshot(const std::string& name) {
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows top down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  std::string rows;
  auto* pixel = static_cast<const unsigned char*>(bits);
  for (int y = 0; y < height; ++y) {
    rows += '\0';
    for (int x = 0; x < width; ++x, pixel += 4)
      rows += {char(pixel[2]), char(pixel[1]), char(pixel[0])};
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  writeFile(work + name, png(width, height, rows));
}

// ---------------------------------------------------------------------------
// The program under test

struct Box {
  HWND handle = nullptr;
  std::string caption, text;
  HWND owner = nullptr;
};

class Program {
 public:
  explicit Program(const std::string& probeLibrary) : probeLibrary_(probeLibrary) {}
  ~Program() {
    if (process_.hProcess && !ended(0)) TerminateProcess(process_.hProcess, 1);
  }

  // Starts the program (again, after close) and hooks the probe into it.
  bool start() {
    window_ = nullptr;
    if (process_.hProcess) CloseHandle(process_.hProcess), CloseHandle(process_.hThread);
    std::string exe = programDir + "mizenta.exe", commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        work.c_str(), &startup, &process_))
      return false;
    waitUntil([&] { return (window_ = findWindow()) != nullptr; });
    if (!window_) return false;
    HMODULE library = LoadLibraryA(probeLibrary_.c_str());
    void* procedure = reinterpret_cast<void*>(GetProcAddress(library, probe::kHookProcedure));
    auto hook = reinterpret_cast<HOOKPROC>(procedure);
    DWORD thread = GetWindowThreadProcessId(window_, nullptr);
    return hook && SetWindowsHookExA(WH_GETMESSAGE, hook, library, thread);
  }

  const probe::WindowState& state() {
    request(probe::kSnapshot);
    return shared_->state;
  }

  // Each path relative to the work folder.
  void drop(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& p : paths) list += work + p + '\0';
    std::copy(list.begin(), list.end(), shared_->paths);
    shared_->paths[list.size()] = '\0';
    request(probe::kDrop);
  }

  void command(UINT id) { PostMessageA(window_, WM_COMMAND, id, 0); }

  Box box() {
    Box found;
    for (HWND w = GetTopWindow(nullptr); w && !found.handle; w = GetWindow(w, GW_HWNDNEXT)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      char type[32] = {};
      GetClassNameA(w, type, sizeof type);
      if (pid != process_.dwProcessId || std::string(type) != "#32770" || !IsWindowVisible(w))
        continue;
      found.handle = w;
      found.owner = GetWindow(w, GW_OWNER);
      found.caption = windowText(w);
      for (HWND c = FindWindowExA(w, nullptr, "Static", nullptr); c;
           c = FindWindowExA(w, c, "Static", nullptr))
        if (windowText(c).size() > found.text.size()) found.text = windowText(c);
    }
    return found;
  }

  Box waitForBox() {
    Box b;
    waitUntil([&] { return (b = box()).handle != nullptr; });
    return b;
  }

  // The box captioned `caption` over an open dialog (itself a box too).
  Box waitForBox(const std::string& caption) {
    Box b;
    waitUntil([&] { return (b = box()).caption == caption; }, 10000);
    if (b.caption != caption) b = Box();
    return b;
  }

  // The visible top-level windows of the program captioned `caption`.
  std::vector<HWND> topWindows(const std::string& caption) {
    std::vector<HWND> found;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == process_.dwProcessId && IsWindowVisible(w) && windowText(w) == caption)
        found.push_back(w);
    }
    return found;
  }

  HWND findTop(const std::string& caption) {
    std::vector<HWND> found = topWindows(caption);
    return found.empty() ? nullptr : found.front();
  }

  HWND waitForTop(const std::string& caption) {
    HWND w = nullptr;
    waitUntil([&] { return (w = findTop(caption)) != nullptr; }, 10000);
    check(w != nullptr, "the window \"" + caption + "\" opened");
    return w;
  }

  // The visible controls of that window, as the probe reads them.
  std::string dialog(const std::string& caption) {
    std::snprintf(shared_->caption, sizeof shared_->caption, "%s", caption.c_str());
    request(probe::kDialog);
    return shared_->dialog;
  }

  void selectRow(const std::string& caption, int control, int row) {
    std::snprintf(shared_->caption, sizeof shared_->caption, "%s", caption.c_str());
    shared_->control = control;
    shared_->row = row;
    request(probe::kSelectRow);
  }

  void answer(const Box& b, int button) {
    PostMessageA(b.handle, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(b.handle, button)));
    check(waitUntil([&] { return !IsWindow(b.handle); }), "the box \"" + b.text + "\" went away");
  }

  // Closes the window; true when the program then ended with exit code 0.
  bool close(int milliseconds) {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    DWORD code = 1;
    return ended(milliseconds) && GetExitCodeProcess(process_.hProcess, &code) && code == 0;
  }

  HWND window() const { return window_; }

 private:
  bool ended(int milliseconds) {
    return WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0;
  }

  static std::string windowText(HWND w) {
    char text[1024] = {};
    SendMessageTimeoutA(w, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_BLOCK,
                        5000, nullptr);
    return text;
  }

  HWND findWindow() {
    for (HWND w = FindWindowA("MIZENTA", nullptr); w;
         w = FindWindowExA(nullptr, w, "MIZENTA", nullptr)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == process_.dwProcessId) return w;
    }
    return nullptr;
  }

  void request(probe::Command command) {
    shared_->command = command;
    ResetEvent(done_);
    PostMessageA(window_, RegisterWindowMessageA(probe::kMessage), 0, 0);
    check(WaitForSingleObject(done_, 10000) == WAIT_OBJECT_0, "the probe answered");
  }

  std::string probeLibrary_;
  PROCESS_INFORMATION process_ = {};
  HWND window_ = nullptr;
  HANDLE mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       sizeof(probe::SharedBlock), probe::kSharedBlock);
  probe::SharedBlock* shared_ =
      static_cast<probe::SharedBlock*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  HANDLE done_ = CreateEventA(nullptr, TRUE, FALSE, probe::kDoneEvent);
};

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

std::string rectForm(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

void checkBox(const Box& b, const std::string& caption, const std::string& text, HWND owner) {
  check(b.handle != nullptr, "a box \"" + text + "\" appeared");
  checkEqual(b.caption, caption, "caption of the box \"" + text + "\"");
  checkEqual(b.text, text, "text of the box");
  check(b.owner == owner, "owner of the box \"" + text + "\"");
}

void checkFileCount(Program& mizenta, int count) {
  mizenta.command(403);
  Box b = mizenta.waitForBox();
  checkBox(b, "ファイル数確認", "解析対象ファイル数[" + std::to_string(count) + "]",
           mizenta.window());
  mizenta.answer(b, IDOK);
}

// Runs the registered files to their end: the "処理終了" box, answered.
void runToEnd(Program& mizenta, const char* screenshotName = nullptr) {
  mizenta.command(104);
  Box done = mizenta.waitForBox();
  checkBox(done, "確認", "処理終了", mizenta.window());
  if (screenshotName) screenshot(screenshotName);
  mizenta.answer(done, IDOK);
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

// ---------------------------------------------------------------------------
// The settings sheet and the distribution dialog

const char kSheet[] = "MIZENTAの動作設定";
const char kDistribution[] = "関数の行数分布";
const char kDefaultExtensionRows[] =
    "c/C言語,cpp/C++言語,java/JAVA言語,frm/VB言語,bas/VB言語,vb/VB言語,pas/Delphi言語";

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
  checkEqual(control(mizenta.dialog(kSheet), 114), std::string(".. 関数一覧"), "関数一覧 after Cancel");
  showPage(sheet, 1);
  checkEqual(control(mizenta.dialog(kSheet), 1010), ".. [" + std::string(kDefaultExtensionRows) + "]",
             "extensions after Cancel");
  closeSheet(sheet, PSBTN_CANCEL, "Cancel");
}

// Page 1: three switches on, 関数ｿｰﾄしない on and off again around the box
// of 重複した子関数を表示, the spin beyond its range, the CSV format.
void editFirstPage(Program& mizenta, HWND sheet) {
  HWND first = currentPage(sheet);
  std::string opened = mizenta.dialog(kSheet);
  checkEqual(controls(opened, {114, 112, 1007, 1006, 1009}),
             std::string(".. 関数一覧|-. 重複した子関数を表示|.. 10|.. @10|.. =txt形式 (3)"),
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
             std::string(".x 関数一覧|.x 関数の行数分布|.x ツールバーを非表示|.. 関数ｿｰﾄしない|"
                         "-x 重複した子関数を表示|.. 30|.. =csv形式 (3)"),
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
  checkEqual(controls(mizenta.dialog(kSheet), {1010, 122, 508, 510}),
             ".. [" + std::string(kDefaultExtensionRows) + ",inc/C++言語]|.. [" + work +
                 "src\\]|.x 読み込まない|.. ｿｰｽﾌｧｲﾙ毎",
             "page 2 after the edits");
  settledScreenshot("settings-page2.png");
}

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
      "拡張子および言語=c:0,cpp:1,java:2,frm:3,bas:3,vb:3,pas:4,inc:1\r\n"
      "[ﾃﾞｨﾚｸﾄﾘ設定]\r\n標準ｲﾝｸﾙｰﾄﾞ設定数=1\r\n標準ｲﾝｸﾙｰﾄﾞ0=" + work + "src\\\r\n"
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

// "boundary:count" per class ("+" on the open last one), then "/width".
std::string classes(const std::string& dump) {
  std::string form;
  for (int k = 0; k < 11; ++k)
    form += control(dump, 101 + k).substr(3) + (k == 10 ? "+:" : ":") +
            control(dump, 112 + k).substr(3) + " ";
  return form + "/" + control(dump, 123).substr(3);
}

// The sample sources have eleven functions: 4, 8, 7, 6, 6 and 10 lines
// (main.c, util.c), 4, 14, 10, 6 and 6 (inventory.c). The run writes them
// in classes of 30, as the sheet set.
void distributionOfTheSamples(Program& mizenta) {
  mizenta.command(105);
  mizenta.drop({"inventory"});
  std::string csv = programDir + "Mz関数分布.csv";
  DeleteFileA(csv.c_str());
  runToEnd(mizenta);
  std::string ofRun = readFile(csv);
  checkEqual(ofRun, std::string("30行未満,11\r\n60行未満,0\r\n90行未満,0\r\n120行未満,0\r\n"
                                "150行未満,0\r\n180行未満,0\r\n210行未満,0\r\n240行未満,0\r\n"
                                "270行未満,0\r\n300行未満,0\r\n300行以上,0\r\n"),
             "Mz関数分布.csv of the run");
  mizenta.command(502);
  HWND dialog = mizenta.waitForTop(kDistribution);
  if (!dialog) return;
  std::string shown = mizenta.dialog(kDistribution);
  checkEqual(classes(shown), std::string("10:8 20:3 30:0 40:0 50:0 60:0 70:0 80:0 90:0 100:0 100+:0 /10"),
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
  waitUntil([&] { return readFile(csv).size() == ofRun.size(); }, 10000);
  checkEqual(readFile(csv), ofRun, "Mz関数分布.csv of the dialog");
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  check(waitUntil([&] { return !IsWindow(dialog); }), "閉じる closed the dialog");
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
