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
#include "platform/text_encoding.h"
#include "platform/wide_names_win32.h"
#include "ui/fonts_win32.h"
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

// A report or log as the viewer takes it: the files are UTF-8 when the
// options write them so, and the viewer shows CP932.
void showFileText(HWND viewer, const char* text) {
  if (liveOptions().outputEncoding != OutputEncoding::Utf8) {
    SetWindowTextA(viewer, text);
    return;
  }
  SetWindowTextA(viewer, platform::utf8ToCp932(text).c_str());
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
  if (!viewer) return nullptr;
  SendMessageA(viewer, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
  SendMessageA(viewer, WM_SETFONT, reinterpret_cast<WPARAM>(viewerFont()), FALSE);
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
  showFileText(viewer, text.get());
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

// Whole lines up to the limit: the cut falls after a line end, never in a
// character.
void showReportInViewer(const std::string& path) {
  long long size = fileSize(path);
  if (size <= kViewedReportLimit) {
    loadFileIntoViewer(path, mainWindow().viewer);
    return;
  }
  std::string text(static_cast<size_t>(kViewedReportLimit), '\0');
  size_t read = 0;
  if (std::FILE* file = platform::openFile(path, "r")) {
    read = std::fread(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  text.resize(read);
  size_t end = text.rfind('\n');
  text.resize(end == std::string::npos ? 0 : end + 1);
  long long lines = std::count(text.begin(), text.end(), '\n');
  if (liveOptions().outputEncoding == OutputEncoding::Utf8) text = platform::utf8ToCp932(text);
  text += "\n(ﾌｧｲﾙが大きいため先頭の " + std::to_string(lines) +
          " 行を表示しています。全体: " + path + ")\n";
  SetWindowTextA(mainWindow().viewer, text.c_str());
}

void showProgressInViewer(const std::string& text) {
  SetWindowTextA(mainWindow().viewer, text.c_str());
}
