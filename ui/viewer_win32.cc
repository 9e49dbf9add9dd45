#include "ui/viewer_win32.h"

#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <new>

#include "context/options.h"
#include "driver/run_driver.h"
#include "driver/run_outcome.h"
#include "platform/file_system.h"
#include "platform/wide_names_win32.h"
#include "ui/main_window_win32.h"

namespace {

// The largest file whose size plus the buffer's spare bytes still fits a
// signed 32-bit count.
constexpr long long kLargestViewedFile = 2147483547LL;

long long fileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(platform::wideName(path).c_str(), GetFileExInfoStandard, &data))
    return 0;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

HWND createViewer(HWND parent, HINSTANCE instance, HMODULE* library) {
  *library = LoadLibraryA("RICHED32.dll");
  if (!*library) return nullptr;
  HWND viewer =
      CreateWindowExA(0, "RichEdit", "",
                      WS_CHILD | WS_VISIBLE | WS_BORDER | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE |
                          ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_WANTRETURN,
                      0, 0, 0, 0, parent, nullptr, instance, nullptr);
  // The control keeps 32K characters unless told otherwise; a long run's
  // log is larger than that and must be shown whole.
  if (viewer) SendMessageA(viewer, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  return viewer;
}

void loadFileIntoViewer(const std::string& path, HWND viewer) {
  long long size = fileSize(path);
  if (size > kLargestViewedFile) {
    SetWindowTextA(viewer, "(内部ｴﾗｰ)ﾌｧｲﾙｻｲｽﾞｴﾗｰの為、表示しません");
    return;
  }
  size_t bytes = static_cast<size_t>(size);
  std::unique_ptr<char[]> text(new (std::nothrow) char[bytes + 100]());
  if (!text) {
    SetWindowTextA(viewer, "ﾌｧｲﾙｻｲｽﾞが大きすぎるので表示を行いません。");
    return;
  }
  // Text mode: the log's CR LF arrive as LF, which the viewer takes as line ends.
  if (std::FILE* file = platform::openFile(path, "r")) {
    std::fread(text.get(), 1, bytes + 98, file);
    std::fclose(file);
  }
  SetWindowTextA(viewer, text.get());
}

// A log that could not be written leaves the outcome to show instead: the
// output folder and the reports that did not reach it.
void showLog() {
  const RunOutcome& outcome = runOutcome();
  std::string log = liveOptions().outputFolder + kErrorLogName;
  if (std::find(outcome.unwritten.begin(), outcome.unwritten.end(), log) != outcome.unwritten.end())
    SetWindowTextA(mainWindow().viewer, outcome.message().c_str());
  else
    loadFileIntoViewer(log, mainWindow().viewer);
  relayout();
}

void showProgressInViewer(const std::string& text) {
  SetWindowTextA(mainWindow().viewer, text.c_str());
}
