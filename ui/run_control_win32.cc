#include "ui/run_control_win32.h"

#include "context/options.h"
#include "context/source_file_list.h"
#include "driver/run_driver.h"
#include "ui/file_registration_win32.h"
#include "ui/main_window_win32.h"
#include "ui/report_menu_win32.h"
#include "ui/resource_ids.h"
#include "ui/status_bar_win32.h"
#include "ui/viewer_win32.h"

namespace {

// Touched on the window's thread only: the worker never reads them.
bool running = false;
HANDLE worker = nullptr;
WPARAM runNumber = 0;

DWORD WINAPI workerMain(void* number) {
  runAnalysis();
  PostMessageA(mainWindow().window, kRunEndedMessage, reinterpret_cast<WPARAM>(number), 0);
  return 0;
}

int priorityFor(bool fast) { return fast ? THREAD_PRIORITY_HIGHEST : THREAD_PRIORITY_NORMAL; }

// The run's end on the window: the menu, the reports, the status bar.
void showIdleState(bool finished) {
  showIdleMenu();
  listReportsOfRun(finished);
  showState(finished ? kStateFinished : kStateStopped);
  showOutputFolder(outputFolderShown());
}

// Waits for the worker to end, asking its run to stop first when `stop`.
// The worker may be setting the viewer's text, which needs this thread:
// messages sent to the window are handled while waiting. The stop is asked
// again while waiting, since a run clears stale requests as it starts.
void joinWorker(bool stop) {
  for (;;) {
    if (stop) stopAnalysis();
    DWORD woken = MsgWaitForMultipleObjects(1, &worker, FALSE, 100, QS_SENDMESSAGE);
    if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) break;
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  CloseHandle(worker);
  worker = nullptr;
}

}  // namespace

bool runActive() { return running; }

void startRun(HWND window) {
  if (sourceFiles().empty()) {
    MessageBoxA(window, "ｿｰｽﾌｧｲﾙが設定されていません。", "ﾌｧｲﾙｵｰﾌﾟﾝｴﾗｰ", MB_OK);
    return;
  }
  SetCursor(mainWindow().busyCursor);
  noteReportsBeforeRun();
  running = true;
  ++runNumber;
  worker = CreateThread(nullptr, 0, workerMain, reinterpret_cast<void*>(runNumber), 0, nullptr);
  if (!worker) {
    running = false;
    return;
  }
  SetThreadPriority(worker, priorityFor(liveOptions().fastSpeed != 0));
  showBusyMenu(IDM_STOP, "解析中止\tEsc");
  showState("解析中");
}

void stopOrClear(HWND window) {
  if (running) {
    if (MessageBoxA(nullptr, "解析を中断しますか？", "確認", MB_YESNO) != IDYES) return;
    // The run may have ended while the question was open.
    if (running) {
      joinWorker(true);
      running = false;
      showIdleState(false);
    }
  }
  clearFiles();
}

void finishRun(HWND window, WPARAM number) {
  if (!running || number != runNumber) return;
  joinWorker(false);
  running = false;
  showLog();
  showIdleState(true);
  MessageBoxA(window, "処理終了", "確認", MB_OK);
}

void endRunForClosing() {
  if (!running) return;
  joinWorker(true);
  running = false;
}

// The progress line without its line end.
void showRunProgress(const std::string& text) {
  showProgressInViewer(text);
  std::string line = text;
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  showState("解析中 " + line);
}

void setRunSpeed(bool fast) {
  Options& options = liveOptions();
  if (running && fast != (options.fastSpeed != 0)) SetThreadPriority(worker, priorityFor(fast));
  options.fastSpeed = fast ? 1 : 0;
  HMENU menu = mainWindow().menu;
  CheckMenuItem(menu, IDM_FAST, MF_BYCOMMAND | (fast ? MF_CHECKED : MF_UNCHECKED));
  CheckMenuItem(menu, IDM_SLOW, MF_BYCOMMAND | (fast ? MF_UNCHECKED : MF_CHECKED));
  writeFlag(kSectionOther, kKeyFastSpeed, options.fastSpeed);
}
