#include "ui/status_bar_win32.h"

#include <commctrl.h>

#include "ui/main_window_win32.h"

const char kStateIdle[] = "待機中";
const char kStateFinished[] = "処理終了";
const char kStateStopped[] = "解析を中止しました";

namespace {

enum Part { kFiles = 0, kState = 1, kFolder = 2 };
// Right edges of the first two parts; the folder takes the rest.
constexpr int kPartEdges[] = {110, 400, -1};

void setPart(Part part, const std::string& text) {
  HWND bar = mainWindow().statusBar;
  if (bar) SendMessageA(bar, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace

HWND createStatusBar(HWND parent, HINSTANCE instance) {
  HWND bar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                             0, 0, parent, nullptr, instance, nullptr);
  if (bar) SendMessageA(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(kPartEdges));
  return bar;
}

int placeStatusBar() {
  HWND bar = mainWindow().statusBar;
  if (!bar) return 0;
  SendMessageA(bar, WM_SIZE, 0, 0);
  RECT r;
  GetWindowRect(bar, &r);
  return r.bottom - r.top;
}

void showRegisteredCount(int files) { setPart(kFiles, "ﾌｧｲﾙ数 " + std::to_string(files)); }

void showState(const std::string& text) { setPart(kState, text); }

void showOutputFolder(const std::string& folder) { setPart(kFolder, "出力先 " + folder); }
