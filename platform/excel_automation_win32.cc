// The workbook written by the spreadsheet program through IDispatch. Every
// failed call makes the operation return false (the writer abandons that
// sheet); nothing here throws.
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "platform/dispatch_win32.h"
#include "platform/excel_automation.h"
#include "platform/file_names.h"
#include "platform/text_encoding.h"
#include "platform/workbook_range.h"

namespace platform {
namespace {

// Dispatch identifiers the program publishes for the application and
// workbook members; the others are asked for by name.
constexpr DISPID kVisible = 558, kScreenUpdating = 382, kCalculation = 316, kDisplayAlerts = 343,
                 kEnableEvents = 1212, kInteractive = 1210, kQuit = 302, kCount = 118,
                 kSaveAs = 284, kClose = 277, kColor = 99;
// Constants of the program's object model.
constexpr int kWorksheetTemplate = -4167, kCalculationManual = -4135, kCalculationAutomatic = -4105,
              kContinuous = 1, kDouble = -4119, kEdgeBottom = 9, kFormatExcel8 = 56,
              kFormatExcel9795 = 43, kLandscape = 2;
constexpr int kFramedBorders[] = {7, 8, 9, 10, 11, 12};  // the four edges, inside lines
// 0xFFFFCC in the program's blue-green-red order.
constexpr int kHeaderColourBgr = 0xFFFFCC;
constexpr int kNewestFormat43Version = 11;

std::wstring wide(std::string_view cp932) {
  std::u16string units = utf16FromCp932Name(cp932);
  return std::wstring(units.begin(), units.end());
}

bool sameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

// The block as a two-dimensional array of VARIANTs, rows first. Every text
// goes with the apostrophe that keeps it text, so that "010", "-x" or
// "=y" show as written and never as a number or a formula.
SAFEARRAY* arrayOf(const CellBlock& block) {
  SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(block.rows()), 0},
                              {static_cast<ULONG>(block.columns()), 0}};
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
  if (!array) return nullptr;
  for (LONG r = 0; r < block.rows(); ++r) {
    for (LONG c = 0; c < block.columns(); ++c) {
      const WorkbookCell& cell = block.at(r, c);
      Variant value;
      if (cell.isNumber) {
        Variant::integer(value.v, cell.number);
      } else {
        std::string_view text = cell.text;
        Variant::text(value.v, L"'" + wide(text.substr(0, cellTextLength(text))));
      }
      LONG at[2] = {r, c};
      if (FAILED(SafeArrayPutElement(array, at, &value.v))) {
        SafeArrayDestroy(array);
        return nullptr;
      }
    }
  }
  return array;
}

class ExcelWorkbook : public Workbook {
 public:
  ExcelWorkbook(std::string path, int version) : path_(std::move(path)), version_(version) {}
  ~ExcelWorkbook() override {
    if (application_) endExcel(true);
  }

  // Attach or start, add the workbook, and make the program quiet.
  bool start() {
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"Excel.Application", &clsid))) return false;
    IUnknown* running = nullptr;
    if (SUCCEEDED(GetActiveObject(clsid, nullptr, &running)) && running) {
      IDispatch* d = nullptr;
      running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d));
      running->Release();
      application_ = Object(d);
    }
    if (!application_) {
      IDispatch* d = nullptr;
      if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(&d)))) {
        return false;
      }
      application_ = Object(d);
      startedHere_ = true;
    }
    VARIANT kind;
    Variant::integer(kind, kWorksheetTemplate);
    Object workbooks = objectOf(application_.get(), L"Workbooks");
    workbook_ =
        workbooks ? objectOf(workbooks.get(), idOf(workbooks.get(), L"Add"), {kind}) : Object();
    if (!workbook_) {
      endExcel(true);
      return false;
    }
    putBool(application_.get(), kVisible, false);
    putBool(application_.get(), kScreenUpdating, false);
    putInt(application_.get(), kCalculation, kCalculationManual);
    putBool(application_.get(), kEnableEvents, false);
    freshSheet_ = true;
    return true;
  }

  bool selectSheet(std::string_view name) override {
    if (!workbook_) return false;
    Object sheets = objectOf(workbook_.get(), L"Worksheets");
    if (!sheets) return false;
    if (!name.empty()) {
      Object found = sheetNamed(sheets.get(), wide(name));
      if (found) {
        sheet_ = std::move(found);
        return true;
      }
    }
    Object added = addSheet(sheets.get());
    if (!added) return false;
    sheet_ = std::move(added);
    return name.empty() || nameSheet(name);
  }

  bool nameSheet(std::string_view name) override {
    VARIANT v;
    Variant::text(v, wide(name));
    return sheet_ && put(sheet_.get(), idOf(sheet_.get(), L"Name"), v);
  }

  bool setColumnWidth(std::string_view column, int width) override {
    if (!parseColumn(column)) return false;
    std::wstring letters = wide(column);
    Object range = rangeOf(letters + L":" + letters);
    return range && putInt(range.get(), idOf(range.get(), L"ColumnWidth"), width);
  }

  bool putBlock(std::string_view range, const CellBlock& block) override {
    std::optional<CellRange> r = parseRange(range);
    if (!r || r->rows() != block.rows() || r->columns() != block.columns()) return false;
    Object target = rangeOf(wide(range));
    if (!target) return false;
    SAFEARRAY* array = arrayOf(block);
    if (!array) return false;
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | VT_VARIANT;
    v.parray = array;
    return put(target.get(), idOf(target.get(), L"Value"), v) && formatMarkedNumbers(*r, block);
  }

  bool frameTable(std::string_view range, std::string_view headerRange) override {
    if (!frameBlock(range)) return false;
    Object header = rangeOf(wide(headerRange));
    std::optional<CellRange> h = parseRange(headerRange);
    if (!h || !header || !setBorder(header.get(), kEdgeBottom, kDouble) || !colour(header.get())) {
      return false;
    }
    bool first = false;
    return setPrintTitles(*h, first) && (!first || freezeRowsAbove(h->lastRow + 1));
  }

  // The sheet's first filter stays: asked again, the program would take
  // it away.
  bool filterTable(std::string_view range) override {
    if (!sheet_) return false;
    Object target = rangeOf(wide(range));
    DISPID mode = idOf(sheet_.get(), L"AutoFilterMode");
    int filtered = 0;
    if (!target || !integerOf(sheet_.get(), mode, filtered)) return false;
    return filtered != 0 ||
           invoke(target.get(), idOf(target.get(), L"AutoFilter"), DISPATCH_METHOD, {});
  }

  // Activated just before the save: adding a sheet activates it.
  bool activateSheet() override {
    if (!sheet_) return false;
    sheet_.get()->AddRef();
    opening_ = Object(sheet_.get());
    return true;
  }

  bool frameBlock(std::string_view range) override {
    Object target = rangeOf(wide(range));
    if (!target) return false;
    for (int border : kFramedBorders) {
      if (!setBorder(target.get(), border, kContinuous)) return false;
    }
    return true;
  }

  bool shade(std::string_view range) override {
    Object target = rangeOf(wide(range));
    return target && colour(target.get());
  }

  bool endExcel(bool cancelled) override {
    if (!application_) return false;
    IDispatch* app = application_.get();
    putInt(app, kCalculation, kCalculationAutomatic);
    bool saved = cancelled ? discard() : saveWorkbook();
    putBool(app, kScreenUpdating, true);
    putBool(app, kEnableEvents, true);
    putBool(app, kInteractive, true);
    if (startedHere_) {
      putBool(app, kDisplayAlerts, false);
      invoke(app, kQuit, DISPATCH_METHOD, {});
    } else {
      putBool(app, kVisible, true);
    }
    opening_.reset();
    sheet_.reset();
    workbook_.reset();
    application_.reset();
    return saved;
  }

  const std::string& path() const override { return path_; }

 private:
  Object rangeOf(const std::wstring& a1) {
    if (!sheet_) return Object();
    VARIANT v;
    Variant::text(v, a1);
    return objectOf(sheet_.get(), L"Range", {v});
  }

  Object sheetNamed(IDispatch* sheets, const std::wstring& name) {
    int count = 0;
    if (!integerOf(sheets, kCount, count)) return Object();
    DISPID item = idOf(sheets, L"Item");
    for (int i = 1; i <= count; ++i) {
      VARIANT index;
      Variant::integer(index, i);
      Object sheet = objectOf(sheets, item, {index});
      std::wstring sheetName;
      if (sheet && textOf(sheet.get(), idOf(sheet.get(), L"Name"), sheetName) &&
          sameIgnoringCase(sheetName, name)) {
        return sheet;
      }
    }
    return Object();
  }

  // The workbook's own first sheet serves the first request; later sheets
  // go after the last one, so that they keep the order of the reports.
  Object addSheet(IDispatch* sheets) {
    int count = 0;
    if (!integerOf(sheets, kCount, count)) return Object();
    VARIANT index;
    Variant::integer(index, count);
    Object last = objectOf(sheets, idOf(sheets, L"Item"), {index});
    Object added;
    if (freshSheet_ && last) {
      added = std::move(last);
    } else if (last) {
      VARIANT before, after;
      Variant::missing(before);
      Variant::object(after, last.get());
      added = objectOf(sheets, idOf(sheets, L"Add"), {before, after});
    }
    freshSheet_ = false;
    if (added) setPageLayout(added.get());
    return added;
  }

  // Landscape, one page wide and as tall as it takes. The program asks the
  // printer for these; without one they may fail, and the sheet is
  // written all the same.
  void setPageLayout(IDispatch* sheet) {
    Object setup = objectOf(sheet, L"PageSetup");
    if (!setup) return;
    IDispatch* s = setup.get();
    putInt(s, idOf(s, L"Orientation"), kLandscape);
    putBool(s, idOf(s, L"Zoom"), false);
    putInt(s, idOf(s, L"FitToPagesWide"), 1);
    putBool(s, idOf(s, L"FitToPagesTall"), false);
  }

  // The rows above `rows` (counted from 1) stay in view: through the
  // sheet's window, which needs the sheet active.
  bool freezeRowsAbove(int rows) {
    if (!invoke(sheet_.get(), idOf(sheet_.get(), L"Activate"), DISPATCH_METHOD, {})) return false;
    Object window = objectOf(application_.get(), L"ActiveWindow");
    if (!window) return false;
    IDispatch* w = window.get();
    return putInt(w, idOf(w, L"SplitColumn"), 0) && putInt(w, idOf(w, L"SplitRow"), rows) &&
           putBool(w, idOf(w, L"FreezePanes"), true);
  }

  // Each run of marked numbers down a column, with the same mark, in one call.
  bool formatMarkedNumbers(const CellRange& range, const CellBlock& block) {
    for (int c = 0; c < block.columns(); ++c) {
      for (int r = 0; r < block.rows();) {
        const std::string& mark = block.at(r, c).mark;
        int end = r + 1;
        while (end < block.rows() && block.at(end, c).isNumber == block.at(r, c).isNumber &&
               block.at(end, c).mark == mark) {
          ++end;
        }
        if (block.at(r, c).isNumber && !mark.empty()) {
          CellRange run{range.firstRow + r, range.firstColumn + c, range.firstRow + end - 1,
                        range.firstColumn + c};
          Object target = rangeOf(wide(rangeText(run)));
          VARIANT format;
          Variant::text(format, wide(markedNumberFormat(mark)));
          if (!target || !put(target.get(), idOf(target.get(), L"NumberFormat"), format))
            return false;
        }
        r = end;
      }
    }
    return true;
  }

  bool setBorder(IDispatch* range, int which, int style) {
    Object borders = objectOf(range, L"Borders");
    if (!borders) return false;
    VARIANT index;
    Variant::integer(index, which);
    Object border = objectOf(borders.get(), idOf(borders.get(), L"Item"), {index});
    return border && putInt(border.get(), idOf(border.get(), L"LineStyle"), style);
  }

  bool colour(IDispatch* range) {
    Object interior = objectOf(range, L"Interior");
    return interior && putInt(interior.get(), kColor, kHeaderColourBgr);
  }

  // The first table of a sheet sets its print titles (`first` says so);
  // later ones keep them.
  bool setPrintTitles(const CellRange& h, bool& first) {
    Object setup = objectOf(sheet_.get(), L"PageSetup");
    if (!setup) return false;
    DISPID titles = idOf(setup.get(), L"PrintTitleRows");
    std::wstring current;
    if (textOf(setup.get(), titles, current) && !current.empty()) return true;
    first = true;
    std::wstring rows =
        L"$" + std::to_wstring(h.firstRow + 1) + L":$" + std::to_wstring(h.lastRow + 1);
    VARIANT v;
    Variant::text(v, rows);
    return put(setup.get(), titles, v);
  }

  // Any open workbook of the same file is closed without a question, then
  // the run's workbook is saved over an existing file and closed.
  bool saveWorkbook() {
    IDispatch* app = application_.get();
    std::wstring path = fullPath();
    Object workbooks = objectOf(app, L"Workbooks");
    if (!workbooks) return false;
    int count = 0;
    integerOf(workbooks.get(), kCount, count);
    DISPID item = idOf(workbooks.get(), L"Item");
    for (int i = count; i >= 1; --i) {
      VARIANT index;
      Variant::integer(index, i);
      Object open = objectOf(workbooks.get(), item, {index});
      std::wstring name;
      if (!open || open.get() == workbook_.get() ||
          !textOf(open.get(), idOf(open.get(), L"FullName"), name) ||
          !sameIgnoringCase(name, path)) {
        continue;
      }
      putBool(app, kDisplayAlerts, false);
      VARIANT keep;
      Variant::boolean(keep, false);
      invoke(open.get(), kClose, DISPATCH_METHOD, {keep});
      putBool(app, kDisplayAlerts, true);
    }
    if (opening_) invoke(opening_.get(), idOf(opening_.get(), L"Activate"), DISPATCH_METHOD, {});
    putBool(app, kDisplayAlerts, false);
    VARIANT file, format;
    Variant::text(file, path);
    Variant::integer(format, version_ > kNewestFormat43Version ? kFormatExcel8 : kFormatExcel9795);
    bool saved = invoke(workbook_.get(), kSaveAs, DISPATCH_METHOD, {file, format});
    putBool(app, kDisplayAlerts, true);
    invoke(workbook_.get(), kClose, DISPATCH_METHOD, {});
    return saved;
  }

  // A cancelled run leaves no unsaved workbook behind in the program.
  bool discard() {
    VARIANT keep;
    Variant::boolean(keep, false);
    invoke(workbook_.get(), kClose, DISPATCH_METHOD, {keep});
    return true;
  }

  std::wstring fullPath() const {
    std::wstring name = wide(path_);
    wchar_t buffer[MAX_PATH * 4];
    DWORD n = GetFullPathNameW(name.c_str(), MAX_PATH * 4, buffer, nullptr);
    return n > 0 && n < MAX_PATH * 4 ? std::wstring(buffer, n) : name;
  }

  std::string path_;
  int version_;
  Object application_;
  Object workbook_;
  Object sheet_;
  Object opening_;  // the sheet the workbook opens on
  bool startedHere_ = false;
  bool freshSheet_ = false;
};

}  // namespace

std::unique_ptr<Workbook> startExcel(const std::string& outputFolder, int version) {
  // The multithreaded apartment lets the window's thread end a workbook
  // that the analysis thread started; a thread already in the other
  // apartment keeps it.
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  auto book = std::make_unique<ExcelWorkbook>(outputFolder + kExcelWorkbookName, version);
  if (!book->start()) return nullptr;
  return book;
}

}  // namespace platform
