#include "ui/distribution_dialog_win32.h"

#include <commctrl.h>

#include "context/options.h"
#include "context/text_util.h"
#include "driver/run_driver.h"
#include "driver/run_outcome.h"
#include "platform/file_system.h"
#include "report/report_catalogue.h"
#include "tables/line_distribution.h"
#include "ui/main_window_win32.h"
#include "ui/resource_ids.h"

namespace {

constexpr int kSliderId = 1000;
constexpr int kFirstWidth = 10;
constexpr int kMinWidth = 5;
constexpr int kMaxWidth = 30;

bool dialogOpen = false;

void setNumber(HWND dialog, int control, long long n) {
  SetDlgItemTextA(dialog, control, decimalText(n).c_str());
}

void showDistribution(HWND dialog, int width) {
  LineDistribution d = computeDistribution(lastFunctionLengths(), width);
  for (int k = 0; k < LineDistribution::kClasses; ++k) {
    setNumber(dialog, IDC_CLASS_BOUNDARY + k, d.boundary(k));
    setNumber(dialog, IDC_CLASS_COUNT + k, d.counts[k]);
  }
  setNumber(dialog, IDC_CLASS_WIDTH, width);
}

int sliderWidth(HWND dialog) {
  return static_cast<int>(SendDlgItemMessageA(dialog, kSliderId, TBM_GETPOS, 0, 0));
}

void open(HWND dialog) {
  HWND slider =
      CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 276, 146, 120, 22,
                      dialog, reinterpret_cast<HMENU>(kSliderId), mainWindow().instance, nullptr);
  SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(kMinWidth, kMaxWidth));
  SendMessageA(slider, TBM_SETPOS, TRUE, kFirstWidth);
  showDistribution(dialog, kFirstWidth);
}

// Says where the table went, or why it did not.
void writeCsv(HWND dialog) {
  std::string unwritten = writeLastDistribution(sliderWidth(dialog));
  std::string folder = liveOptions().outputFolder;
  std::string name = reportFileName(ReportId::kLineDistribution, ReportFormat::kCsv);
  if (unwritten.empty()) {
    MessageBoxA(dialog, ("関数の行数分布を出力しました\n" + folder + name).c_str(), "CSV出力",
                MB_OK);
    return;
  }
  const char* why = !folderExists(folder) ? "出力先ﾌｫﾙﾀﾞがありません"
                    : platform::fileStatus(folder + name).exists
                        ? "ﾌｧｲﾙが他のﾌﾟﾛｸﾞﾗﾑで使用中か、書き込みが許されていません"
                        : "出力先ﾌｫﾙﾀﾞに書き込めません";
  MessageBoxA(dialog, (unwrittenReportText(unwritten) + "\n" + why).c_str(), "エラー", MB_OK);
}

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      open(dialog);
      return TRUE;
    case WM_HSCROLL:
      showDistribution(dialog, sliderWidth(dialog));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_WRITE_CSV) writeCsv(dialog);
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void showDistributionDialog(HWND owner) {
  if (dialogOpen) return;
  dialogOpen = true;
  DialogBoxParamA(mainWindow().instance, "IDD_DIALOG_GYOSUU", owner, dialogProcedure, 0);
  dialogOpen = false;
}
