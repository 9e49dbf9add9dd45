#include "ui/registration_worker_win32.h"

#include <atomic>

#include "context/source_file_list.h"
#include "driver/command_line.h"
#include "ui/file_tree_win32.h"
#include "ui/main_window_win32.h"
#include "ui/resource_ids.h"
#include "ui/status_bar_win32.h"

namespace {

constexpr size_t kNamedRefused = 10;
// The worker tells its progress every so many files met, and no sooner
// than a while after it last told, so that the window has the time
// between to paint.
constexpr int kProgressStep = 25;
constexpr DWORD kProgressPause = 20;  // milliseconds

// Read by the window's thread only after the worker has ended, except the
// atomics.
struct Registration {
  HWND window = nullptr;
  WPARAM number = 0;
  std::vector<std::string> paths;
  std::atomic<bool> cancelled{false};
  int met = 0;  // source files met: registered, listed already or refused
  std::vector<std::string> firstRefused;
  int refused = 0;
};

Registration current;
HANDLE worker = nullptr;
bool active = false;

bool watch(const std::string& path, AddResult result) {
  if (result == AddResult::NoLanguage) return !current.cancelled;
  ++current.met;
  if (result == AddResult::Refused) {
    if (current.firstRefused.size() < kNamedRefused) current.firstRefused.push_back(path);
    ++current.refused;
  }
  static DWORD told = 0;
  DWORD now = GetTickCount();
  if (current.met % kProgressStep == 0 && now - told >= kProgressPause) {
    told = now;
    PostMessageA(current.window, kRegistrationProgressMessage, current.number, current.met);
  }
  return !current.cancelled;
}

DWORD WINAPI workerMain(void*) {
  for (const std::string& path : current.paths) {
    if (current.cancelled) break;
    registerPath(path, watch);
  }
  PostMessageA(current.window, kRegistrationEndedMessage, current.number, 0);
  return 0;
}

std::string progressText(int met) { return "ﾌｧｲﾙ登録中 " + std::to_string(met) + " (Escで中止)"; }

}  // namespace

bool registrationActive() { return active; }

void startRegistration(HWND window, std::vector<std::string> paths) {
  if (active || paths.empty()) return;
  current.window = window;
  ++current.number;
  current.paths = std::move(paths);
  current.cancelled = false;
  current.met = 0;
  current.firstRefused.clear();
  current.refused = 0;
  sourceFiles().clearConflict();
  worker = CreateThread(nullptr, 0, workerMain, nullptr, 0, nullptr);
  if (!worker) return;
  active = true;
  showBusyMenu(IDM_CANCEL_REGISTRATION, "登録中止\tEsc");
  showState(progressText(0));
}

void cancelRegistration() {
  if (active) current.cancelled = true;
}

void showRegistrationProgress(WPARAM number, LPARAM filesMet) {
  if (active && number == current.number) showState(progressText(static_cast<int>(filesMet)));
}

void finishRegistration(HWND window, WPARAM number) {
  if (!active || number != current.number) return;
  WaitForSingleObject(worker, INFINITE);
  CloseHandle(worker);
  worker = nullptr;
  active = false;
  showNewFiles();
  showRegisteredCount(static_cast<int>(sourceFiles().entries().size()));
  showState(current.cancelled ? "登録を中止しました" : kStateIdle);
  showIdleMenu();
  sourceFiles().clearConflict();
  if (current.refused > 0)
    MessageBoxA(window, conflictText(current.firstRefused, current.refused).c_str(),
                "ファイル登録エラー", MB_OK);
}

void endRegistrationForClosing() {
  if (!active) return;
  current.cancelled = true;
  WaitForSingleObject(worker, INFINITE);
  CloseHandle(worker);
  worker = nullptr;
  active = false;
}

std::string conflictText(const std::vector<std::string>& firstRefused, int refused) {
  std::string text = "C,C++,Java系とVB,Delphi系は\n同時に処理できません\n";
  for (const std::string& path : firstRefused) text += "\n" + path;
  int more = refused - static_cast<int>(firstRefused.size());
  if (more > 0) text += "\nほか " + std::to_string(more) + " ﾌｧｲﾙ";
  return text;
}
