// What the GUI test's checks share: the work folders and the failures
// found, files, screenshots, and the program under test, driven through
// messages, drops (from this process, as a file manager drops, and made
// inside the program) and read through its probe.
#pragma once

#include <windows.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/gui/probe_protocol.h"

// The work folder and the program's folder in it, each ending with "\\".
extern std::string work, programDir;
// One line per failed check.
extern std::vector<std::string> failures;

std::string utf8(const std::string& cp932);

void check(bool ok, const std::string& what, const std::string& seen = "");

template <class T>
void checkEqual(const T& seen, const T& expected, const std::string& what) {
  std::ostringstream s, e;
  s << seen;
  e << expected;
  check(seen == expected, what + " (expected: " + e.str() + ")", s.str());
}

bool waitUntil(const std::function<bool()>& condition, int milliseconds = 30000);

std::string readFile(const std::string& path);
bool exists(const std::string& path);
void writeFile(const std::string& path, const std::string& text);

// The whole screen (the test's own virtual desktop) as a PNG file in the
// work folder; settled: after a moment for changed controls to be drawn.
void screenshot(const std::string& name);
void settledScreenshot(const std::string& name);

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
    void* sent = reinterpret_cast<void*>(GetProcAddress(library, probe::kSentHookProcedure));
    DWORD thread = GetWindowThreadProcessId(window_, nullptr);
    return hook && sent && SetWindowsHookExA(WH_GETMESSAGE, hook, library, thread) &&
           SetWindowsHookExA(WH_CALLWNDPROC, reinterpret_cast<HOOKPROC>(sent), library, thread);
  }

  const probe::WindowState& state() {
    request(probe::kSnapshot);
    return shared_->state;
  }

  // Each path relative to the work folder: dropped by a block that the
  // program makes itself (drop), or dragged from this process with OLE
  // drag and drop and let go over the window's tree, as a file manager
  // does (drag; true when the window took the drop).
  void drop(const std::vector<std::string>& paths) {
    setPaths(paths);
    request(probe::kDrop);
  }
  bool drag(const std::vector<std::string>& paths);
  // Drops and waits until the window has registered the files (the
  // registration's stop command has left the menu).
  void dropAndWait(const std::vector<std::string>& paths) {
    drop(paths);
    waitUntil([&] { return state().menuStates[4] == probe::kAbsent; });
  }
  // A drop, and at once the command `id`, before the window takes another
  // message.
  void dropAndCommand(const std::vector<std::string>& paths, UINT id) {
    setPaths(paths);
    shared_->control = static_cast<int>(id);
    request(probe::kDropAndStop);
  }
  // A broken drop made in the program (probe::BadDrop), and a drop whose
  // handle means nothing in the program's process: a number, or a block of
  // this process (false when it could not be posted).
  void badDrop(probe::BadDrop fault) {
    shared_->row = fault;
    request(probe::kBadDrop);
  }
  bool foreignDrop(HGLOBAL handle) {
    return PostMessageA(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0);
  }

  // The messages the window takes from now on, recorded by the probe, and
  // what it recorded.
  void record() {
    shared_->events[0] = '\0';
    shared_->recording = 1;
  }
  std::string recorded() {
    shared_->recording = 0;
    return shared_->events;
  }

  // Per tree item "label lowest-ink-row item-height".
  std::string treeInk() {
    request(probe::kTreeInk);
    return shared_->dialog;
  }
  // The items of the popup menu open in the program (it is closed then).
  std::string popupMenu() {
    request(probe::kPopupMenu);
    return shared_->dialog;
  }

  void command(UINT id) { PostMessageA(window_, WM_COMMAND, id, 0); }
  void post(UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageA(window_, message, wParam, lParam);
  }

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

  // Closes the window (or has it close itself with `command`); true when
  // the program then ended with exit code 0.
  bool close(int milliseconds, UINT command = 0) {
    if (command)
      PostMessageA(window_, WM_COMMAND, command, 0);
    else
      PostMessageA(window_, WM_CLOSE, 0, 0);
    DWORD code = 1;
    return ended(milliseconds) && GetExitCodeProcess(process_.hProcess, &code) && code == 0;
  }
  bool alive() { return !ended(0) && IsWindow(window_); }

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

  void setPaths(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& p : paths) list += work + p + '\0';
    std::copy(list.begin(), list.end(), shared_->paths);
    shared_->paths[list.size()] = '\0';
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

std::string rectForm(const RECT& r);

// The lines of `text` that start with `prefix`.
std::vector<std::string> linesStartingWith(const std::string& text, const std::string& prefix);

// Records the paths the shell opens as HTML pages while it lives: the
// class of ".html" points at this program's "--opened" mode, which appends
// each path to `record`; what was there before comes back at the end.
class OpenedPages {
 public:
  OpenedPages(const std::string& driver, const std::string& record);
  ~OpenedPages();
  std::string opened() const { return readFile(record_); }

 private:
  std::string record_;
  std::string previousClass_;
  bool hadClass_ = false;
};

// The "--opened RECORD PATH" mode of the driver.
int recordOpened(const std::string& record, const std::string& path);

void checkBox(const Box& b, const std::string& caption, const std::string& text, HWND owner);

// Runs the registered files to their end: the "処理終了" box, answered.
void runToEnd(Program& mizenta, const char* screenshotName = nullptr);
