#include "ui/splitter_win32.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "context/options.h"
#include "context/text_util.h"
#include "platform/profile.h"
#include "ui/main_window_win32.h"

namespace {

constexpr int kDefaultWidth = 200;
constexpr int kLeastPane = 60;

int width = kDefaultWidth;
bool dragging = false;
int grabOffset = 0;  // from the bar's left edge to where it was taken

// Over the bar: between the tree's right edge and the viewer.
bool overBar(HWND window, int x, int y) {
  RECT client;
  GetClientRect(window, &client);
  int left = treeWidth(client.right);
  RECT viewer;
  GetWindowRect(mainWindow().viewer, &viewer);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&viewer), 2);
  return x >= left && x < left + kSplitterWidth && y >= viewer.top && y < viewer.bottom;
}

void save() {
  platform::writeProfileString(kSectionOther, kKeyTreeWidth, std::to_string(width), iniPath());
}

}  // namespace

void loadTreeWidth() {
  std::string text = platform::ProfileReader(iniPath()).read(kSectionOther, kKeyTreeWidth, "");
  int saved = 0;
  for (char c : text) {
    if (c < '0' || c > '9' || saved > 100000) {
      saved = 0;
      break;
    }
    saved = saved * 10 + (c - '0');
  }
  width = saved > 0 ? saved : kDefaultWidth;
}

int treeWidth(int clientWidth) {
  int most = clientWidth - kLeastPane - kSplitterWidth;
  return std::max(std::min(width, most), std::min(kLeastPane, std::max(most, 0)));
}

bool splitterMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
  switch (message) {
    case WM_SETCURSOR: {
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(window, &p);
      if (reinterpret_cast<HWND>(wParam) != window || !overBar(window, p.x, p.y)) return false;
      SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
      return true;
    }
    case WM_LBUTTONDOWN:
      if (!overBar(window, x, y)) return false;
      RECT client;
      GetClientRect(window, &client);
      grabOffset = x - treeWidth(client.right);
      dragging = true;
      SetCapture(window);
      return true;
    case WM_MOUSEMOVE:
      if (!dragging) return false;
      width = std::max(kLeastPane, x - grabOffset);
      layout();
      return true;
    case WM_CAPTURECHANGED:
      if (!dragging) return false;
      dragging = false;
      save();
      return true;
    case WM_LBUTTONUP:
      if (!dragging) return false;
      dragging = false;
      ReleaseCapture();
      RECT area;
      GetClientRect(window, &area);
      width = treeWidth(area.right);
      layout();
      save();
      return true;
  }
  return false;
}
