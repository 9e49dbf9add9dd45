#include "ui/report_menu_win32.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "context/options.h"
#include "context/text_util.h"
#include "driver/run_driver.h"
#include "driver/run_outcome.h"
#include "platform/wide_names_win32.h"
#include "ui/main_window_win32.h"
#include "ui/resource_ids.h"
#include "ui/shell_open_win32.h"
#include "ui/status_bar_win32.h"
#include "ui/viewer_win32.h"

namespace {

// Every report file's name starts so (the log's and the call tree's too).
const char* const kReportPrefixes[] = {"Mz", "MizentaLog", "MizentaErrLog"};
// Opened in their program rather than shown.
const char* const kWorkbookExtensions[] = {"xls", "xlsx"};

struct Stamp {
  FILETIME written{};
  ULONGLONG size = 0;
  bool operator==(const Stamp& o) const {
    return CompareFileTime(&written, &o.written) == 0 && size == o.size;
  }
};

std::string folderBefore;
std::map<std::string, Stamp> before;  // by name
std::vector<std::string> reports;
std::string reportFolder;

bool isReportName(const std::string& name) {
  for (const char* prefix : kReportPrefixes) {
    size_t length = std::strlen(prefix);
    if (name.size() >= length && equalsIgnoreCase(std::string_view(name).substr(0, length), prefix))
      return true;
  }
  return false;
}

std::map<std::string, Stamp> reportFilesIn(const std::string& folder) {
  std::map<std::string, Stamp> found;
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW(platform::wideName(folder + "*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::string name = platform::nameFromWide(data.cFileName);
    if (!isReportName(name)) continue;
    Stamp stamp{data.ftLastWriteTime,
                (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow};
    found[name] = stamp;
  } while (FindNextFileW(search, &data));
  FindClose(search);
  return found;
}

bool isWorkbook(const std::string& path) {
  std::string_view extension = extensionOf(path);
  return std::any_of(std::begin(kWorkbookExtensions), std::end(kWorkbookExtensions),
                     [&](const char* e) { return equalsIgnoreCase(extension, e); });
}

HMENU reportMenu() { return GetSubMenu(mainWindow().menu, kReportMenuPosition); }

// The items after the folder's command and the separator.
void fillReportMenu() {
  HMENU menu = reportMenu();
  while (GetMenuItemCount(menu) > 2) DeleteMenu(menu, 2, MF_BYPOSITION);
  if (reports.empty()) AppendMenuA(menu, MF_STRING | MF_GRAYED, IDM_NO_REPORTS, "(ﾚﾎﾟｰﾄなし)");
  for (size_t i = 0; i < reports.size(); ++i)
    AppendMenuA(menu, MF_STRING, IDM_FIRST_REPORT + i, fileNamePart(reports[i]).c_str());
}

void showReport(HWND window, const std::string& path) {
  if (isWorkbook(path)) {
    openWithShell(window, path);
    return;
  }
  showReportInViewer(path);
  showState("表示中 " + fileNamePart(path));
}

}  // namespace

void noteReportsBeforeRun() {
  folderBefore = liveOptions().outputFolder;
  before = reportFilesIn(folderBefore);
}

// New files and those whose time or size changed. Should the run have
// taken another folder than the options named (the program's own folder
// taking no files), every report file there is listed.
void listReportsOfRun(bool finished) {
  reports.clear();
  reportFolder = runOutcome().outputFolder;
  if (finished) {
    bool sameFolder = equalsIgnoreCase(reportFolder, folderBefore);
    std::vector<std::string> names;
    for (const auto& [name, stamp] : reportFilesIn(reportFolder)) {
      auto old = before.find(name);
      if (sameFolder && old != before.end() && old->second == stamp) continue;
      names.push_back(name);
    }
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
      return (a == kErrorLogName) > (b == kErrorLogName);
    });
    for (const std::string& name : names) reports.push_back(reportFolder + name);
    if (reports.size() > IDM_REPORT_LIMIT) reports.resize(IDM_REPORT_LIMIT);
  }
  fillReportMenu();
}

void appendReportsTo(HMENU popup) {
  if (reports.empty()) return;
  HMENU sub = CreatePopupMenu();
  for (size_t i = 0; i < reports.size(); ++i)
    AppendMenuA(sub, MF_STRING, IDM_FIRST_REPORT + i, fileNamePart(reports[i]).c_str());
  AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "ﾚﾎﾟｰﾄ");
}

std::string outputFolderShown() {
  return runOutcome().ran ? runOutcome().outputFolder : liveOptions().outputFolder;
}

bool runReportCommand(HWND window, UINT command) {
  if (command == IDM_OPEN_OUTPUT_FOLDER) {
    openWithShell(window, outputFolderShown());
    return true;
  }
  if (command < IDM_FIRST_REPORT || command >= IDM_FIRST_REPORT + reports.size()) return false;
  showReport(window, reports[command - IDM_FIRST_REPORT]);
  return true;
}
