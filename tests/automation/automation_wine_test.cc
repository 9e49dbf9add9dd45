// Windows check of the workbook written through automation, against the
// stand-in server (excel_stand_in.dll) registered as "Excel.Application"
// for the time of the run: the registry probe, attaching versus starting,
// the calls and arrays of a sheet (its page setup, marked numbers, frozen
// header rows, filter, and the sheet the workbook opens on), the save
// format by version, an open workbook of the same name, cancelling, and a
// failing call; then the program itself (mizenta.exe of the build folder
// named by the argument) run in the "xls" format against the stand-in,
// which records into a file.
// Prints "N passed, M failed" and exits non-zero on any failure.
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/excel_automation.h"

namespace {

int passed = 0, failed = 0;

void check(bool ok, const char* what, const std::string& detail = "") {
  if (ok) {
    ++passed;
    return;
  }
  ++failed;
  std::printf("FAILED: %s\n%s\n", what, detail.c_str());
}

using CallsFunction = const char* (*)();
using ResetFunction = void (*)(const wchar_t*);
using OpenFunction = void (*)(const wchar_t*);
CallsFunction standInCalls;
ResetFunction standInReset;
OpenFunction standInOpenWorkbook;

template <typename Function>
Function lookup(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

std::wstring besideProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1) + name;
}

void setDefault(const wchar_t* key, const std::wstring& value, const wchar_t* name = nullptr) {
  HKEY k;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(k);
}

const wchar_t kClsidText[] = L"{00024500-0000-0000-C000-000000000046}";
const wchar_t kServerKey[] = L"CLSID\\{00024500-0000-0000-C000-000000000046}";

void registerStandIn(const wchar_t* currentVersion, const wchar_t* clsid = kClsidText) {
  setDefault(L"Excel.Application\\CLSID", clsid);
  setDefault(L"Excel.Application\\CurVer", currentVersion);
  std::wstring server = std::wstring(kServerKey) + L"\\InprocServer32";
  setDefault(server.c_str(), besideProgram(L"excel_stand_in.dll"));
  setDefault(server.c_str(), L"Both", L"ThreadingModel");
}

void unregisterStandIn() {
  RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Excel.Application");
  RegDeleteTreeW(HKEY_CLASSES_ROOT, kServerKey);
}

// Each expected line occurs in the record, in this order.
void expectInOrder(const char* what, const std::string& record,
                   const std::vector<std::string>& lines) {
  size_t at = 0;
  for (const std::string& line : lines) {
    size_t found = record.find(line + "\n", at);
    if (found == std::string::npos || (found > 0 && record[found - 1] != '\n')) {
      check(false, what, "missing (in order): " + line + "\n--- record:\n" + record);
      return;
    }
    at = found + line.size() + 1;
  }
  check(true, what);
}

void expectAbsent(const char* what, const std::string& record, const std::string& piece) {
  check(record.find(piece) == std::string::npos, what, "present: " + piece + "\n" + record);
}

// UTF-8 bytes of the Shift-JIS texts the program hands over.
const char kListSheet[] = "\xe9\x96\xa2\xe6\x95\xb0\xe4\xb8\x80\xe8\xa6\xa7";  // 関数一覧
const char kBookPath[] =
    "C:\\out\\Mz\xe8\xa7\xa3\xe6\x9e\x90\xe7\xb5\x90\xe6\x9e\x9c.xls";  // Mz解析結果.xls

platform::CellBlock listBlock() {
  platform::CellBlock block(2, 2);
  block.at(0, 0) = platform::WorkbookCell::of("関数名");
  block.at(0, 1) = platform::WorkbookCell::of("STEP数");
  block.at(1, 0) = platform::WorkbookCell::of("010");
  block.at(1, 1) = platform::WorkbookCell::integer(12);
  return block;
}

// The list with a stack column: a marked number and a plain one.
platform::CellBlock stackBlock() {
  platform::CellBlock block(3, 3);
  block.at(0, 0) = platform::WorkbookCell::of("関数名");
  block.at(0, 1) = platform::WorkbookCell::of("STEP数");
  block.at(0, 2) = platform::WorkbookCell::of("ｽﾀｯｸ");
  block.at(1, 0) = platform::WorkbookCell::of("010");
  block.at(1, 1) = platform::WorkbookCell::integer(12);
  block.at(1, 2) = platform::WorkbookCell::integer(20, "×");
  block.at(2, 0) = platform::WorkbookCell::of("f");
  block.at(2, 1) = platform::WorkbookCell::integer(3);
  block.at(2, 2) = platform::WorkbookCell::integer(8);
  return block;
}

int occurrences(const std::string& record, const std::string& piece) {
  int n = 0;
  for (size_t at = record.find(piece); at != std::string::npos; at = record.find(piece, at + 1))
    ++n;
  return n;
}

// Started here: every call of one table sheet, saved in the newer format,
// the workbook opening on the sheet activated.
void startedSheetAndSave() {
  standInReset(nullptr);
  auto book = platform::startExcel("C:\\out\\", 12);
  check(book != nullptr, "start: a workbook");
  if (!book) return;
  check(book->selectSheet("") && book->nameSheet("関数一覧") && book->activateSheet() &&
            book->putBlock("A1:C3", stackBlock()) && book->setColumnWidth("A", 35) &&
            book->frameTable("A1:C3", "A1:C1") && book->filterTable("A1:C3") &&
            book->filterTable("A1:C3") && book->selectSheet("next"),
        "start: the sheet's operations succeed");
  check(book->endExcel(false), "start: saved");
  std::string r = standInCalls();
  expectInOrder("start: the calls", r,
                {"created",
                 "app call Workbooks(2001)",
                 "workbooks call Add(2002) -4167",
                 "app put Visible(558) false",
                 "app put ScreenUpdating(382) false",
                 "app put Calculation(316) -4135",
                 "app put EnableEvents(1212) false",
                 "book1 call Worksheets(2004)",
                 "book1.1.setup put Orientation(2023) 2",
                 "book1.1.setup put Zoom(2024) false",
                 "book1.1.setup put FitToPagesWide(2025) 1",
                 "book1.1.setup put FitToPagesTall(2026) false",
                 "book1.1 put Name(2005) '" + std::string(kListSheet) + "'",
                 "book1.1 call Range(2006) 'A1:C3'",
                 "book1.1!A1:C3 put Value(2007) [3x3 from 0: ''\xe9\x96\xa2\xe6\x95\xb0"
                 "\xe5\x90\x8d' ''STEP\xe6\x95\xb0' ''\xef\xbd\xbd\xef\xbe\x80\xef\xbd\xaf"
                 "\xef\xbd\xb8' / ''010' 12 20 / ''f' 3 8]",
                 "book1.1!C2 put NumberFormat(2015) '\"\xc3\x97 \"0'",
                 "book1.1!A:A put ColumnWidth(2008) 35",
                 "book1.1!A1:C3.borders.7 put LineStyle(2010) 1",
                 "book1.1!A1:C3.borders.12 put LineStyle(2010) 1",
                 "book1.1!A1:C1.borders.9 put LineStyle(2010) -4119",
                 "book1.1!A1:C1.interior put Color(99) 16777164",
                 "book1.1.setup get PrintTitleRows(2013)",
                 "book1.1.setup put PrintTitleRows(2013) '$1:$1'",
                 "book1.1 call Activate(2018)",
                 "app call ActiveWindow(2019)",
                 "window put SplitColumn(2021) 0",
                 "window put SplitRow(2020) 1",
                 "window put FreezePanes(2022) true",
                 "book1.1 get AutoFilterMode(2017)",
                 "book1.1!A1:C3 call AutoFilter(2016)",
                 "book1.1 get AutoFilterMode(2017)",
                 "book1.sheets call Add(2002) missing book1.1",
                 "book1.2.setup put Orientation(2023) 2",
                 "app put Calculation(316) -4105",
                 "book1.1 call Activate(2018)",
                 "app put DisplayAlerts(343) false",
                 "book1 call SaveAs(284) '" + std::string(kBookPath) + "' 56",
                 "app put DisplayAlerts(343) true",
                 "book1 call Close(277)",
                 "app put ScreenUpdating(382) true",
                 "app put EnableEvents(1212) true",
                 "app put Interactive(1210) true",
                 "app put DisplayAlerts(343) false",
                 "app call Quit(302)"});
  check(occurrences(r, "call Add(2002) missing") == 1,
        "start: the first sheet is the workbook's own", r);
  check(occurrences(r, "call AutoFilter") == 1, "start: the sheet's filter is set once", r);
  check(occurrences(r, "NumberFormat") == 1, "start: only the marked number is formatted", r);
  expectAbsent("start: the program stays hidden", r, "Visible(558) true");
}

// Attached to a running program that has the file open: that workbook is
// closed without a question, the older format is used, and the program
// stays, visible.
void attachedWithOpenWorkbook() {
  CLSID clsid;
  CLSIDFromProgID(L"Excel.Application", &clsid);
  IUnknown* running = nullptr;
  DWORD cookie = 0;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                              reinterpret_cast<void**>(&running))) ||
      FAILED(RegisterActiveObject(running, clsid, ACTIVEOBJECT_STRONG, &cookie))) {
    check(false, "attach: a running program to attach to");
    return;
  }
  standInReset(nullptr);
  standInOpenWorkbook(L"c:\\OUT\\mz\u89e3\u6790\u7d50\u679c.XLS");
  auto book = platform::startExcel("C:\\out\\", 11);
  check(book && book->selectSheet("s") && book->endExcel(false), "attach: sheet and save");
  std::string r = standInCalls();
  expectAbsent("attach: nothing started", r, "created");
  expectInOrder(
      "attach: open workbook closed, older format, left visible", r,
      {"workbooks call Add(2002) -4167", "book1.1 put Name(2005) 's'",
       "app put DisplayAlerts(343) false", "open call Close(277) false",
       "app put DisplayAlerts(343) true", "app put DisplayAlerts(343) false",
       "book1 call SaveAs(284) '" + std::string(kBookPath) + "' 43", "app put Visible(558) true"});
  expectAbsent("attach: the program goes on", r, "Quit");
  RevokeActiveObject(cookie, nullptr);
  running->Release();
}

// Cancelled: nothing saved, the run's workbook closed unsaved.
void cancelled() {
  standInReset(nullptr);
  auto book = platform::startExcel("C:\\out\\", 12);
  check(book && book->selectSheet("s") && book->endExcel(true), "cancel: ended");
  std::string r = standInCalls();
  expectAbsent("cancel: nothing saved", r, "SaveAs");
  expectInOrder("cancel: closed unsaved, program ended", r,
                {"book1 call Close(277) false", "app call Quit(302)"});
}

// A failing call fails its operation only: the next sheet and the save go on.
void failingCall() {
  standInReset(L"Value");
  auto book = platform::startExcel("C:\\out\\", 12);
  check(book && book->selectSheet("a"), "failing: first sheet");
  if (!book) return;
  check(!book->putBlock("A1:B2", listBlock()), "failing: the block is refused");
  check(book->selectSheet("b") && book->setColumnWidth("B", 30), "failing: the next sheet");
  check(book->endExcel(false), "failing: saved");
  expectInOrder("failing: the run went on", standInCalls(),
                {"book1.2 put Name(2005) 'b'", "book1.2!B:B put ColumnWidth(2008) 30",
                 "book1 call SaveAs(284) '" + std::string(kBookPath) + "' 56"});
}

// ---- the program's own runs

std::wstring windowsPath(const std::string& path) {
  std::wstring out = path[0] == '/' ? L"Z:" : L"";
  for (char c : path) out += c == '/' ? L'\\' : static_cast<wchar_t>(c);
  if (out.back() != L'\\') out += L'\\';
  return out;
}

std::string readAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeAll(const std::wstring& path, const std::string& bytes) {
  std::ofstream(path.c_str(), std::ios::binary) << bytes;
}

struct ProgramRun {
  DWORD exitCode = 99;
  std::string record;  // the stand-in's calls
  std::string log;     // MizentaErrLog.txt, Shift-JIS
};

// mizenta.exe (with its library and settings file) copied into a folder of
// its own with an INI asking for the workbook and the function list, run
// over one C file; the stand-in fails `failing` ("Member@label"), if any.
ProgramRun runProgram(const std::wstring& bin, const std::wstring& folder, const wchar_t* failing) {
  CreateDirectoryW(folder.c_str(), nullptr);
  for (const wchar_t* name : {L"mizenta.exe", L"calvex.dll", L"Mizenta\x8a2d\x5b9a.dat"})
    CopyFileW((bin + name).c_str(), (folder + name).c_str(), FALSE);
  writeAll(folder + L"Mizenta.ini", "[ﾌｧｲﾙ出力設定]\r\n関数一覧の表示=ON\r\nﾌｧｲﾙ出力形式=xls\r\n");
  writeAll(folder + L"main.c",
           "int twice(int n)\r\n{\r\n    return n * 2;\r\n}\r\n"
           "int main(void)\r\n{\r\n    return twice(4);\r\n}\r\n");
  const std::wstring record = folder + L"record.txt";
  DeleteFileW(record.c_str());
  SetEnvironmentVariableW(L"MZ_STAND_IN_RECORD", record.c_str());
  SetEnvironmentVariableW(L"MZ_STAND_IN_FAIL", failing);
  std::wstring command = L"\"" + folder + L"mizenta.exe\" \"" + folder + L"main.c\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  ProgramRun run;
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                     &startup, &process)) {
    WaitForSingleObject(process.hProcess, 120000);
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
  }
  SetEnvironmentVariableW(L"MZ_STAND_IN_RECORD", nullptr);
  SetEnvironmentVariableW(L"MZ_STAND_IN_FAIL", nullptr);
  run.record = readAll(record);
  run.log = readAll(folder + L"MizentaErrLog.txt");
  return run;
}

std::string narrow(const std::wstring& ascii) {
  std::string out;
  for (wchar_t c : ascii) out += static_cast<char>(c);
  return out;
}

// UTF-8 of the step sheet's name and of the function list's block.
const char kStepSheet[] = "\xe3\x82\xb9\xe3\x83\x86\xe3\x83\x83\xe3\x83\x97\xe6\x95\xb0";
const char kListBlock[] =
    "[3x5 from 0: ''\xe9\x96\xa2\xe6\x95\xb0\xe5\x90\x8d' ''STEP\xe6\x95\xb0' "
    "''\xef\xbd\xbd\xef\xbe\x80\xef\xbd\xaf\xef\xbd\xb8' ''\xe3\x81\x9d\xe3\x81\xae\xe4\xbb\x96' "
    "''\xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab\xe5\x90\x8d' / ''main' 4 0 ''' "
    "''main.c' / ''twice' 4 4 ''' ''main.c']";
const char kSavedName[] = "Mz\xe8\xa7\xa3\xe6\x9e\x90\xe7\xb5\x90\xe6\x9e\x9c.xls";

// The program's run: started (nothing runs to attach to), a sheet per
// report, the function list as one array, framed, filtered, saved in the
// newer format opening on it, the program ended.
void programRunSaves(const std::wstring& bin, const std::wstring& temp) {
  registerStandIn(L"Excel.Application.12");
  const std::wstring folder = temp + L"mz_xls_run\\";
  ProgramRun run = runProgram(bin, folder, nullptr);
  check(run.exitCode == 0, "program: exit status 0", std::to_string(run.exitCode));
  expectInOrder(
      "program: the sheets and the save", run.record,
      {"created", "book1.1 put Name(2005) '" + std::string(kListSheet) + "'",
       "book1.1!A:A put ColumnWidth(2008) 35", "book1.1!E:E put ColumnWidth(2008) 35",
       "book1.1!A1:E3 put Value(2007) " + std::string(kListBlock),
       "book1.1!A1:E3.borders.7 put LineStyle(2010) 1",
       "book1.1!A1:E1.interior put Color(99) 16777164", "window put FreezePanes(2022) true",
       "book1.1!A1:E3 call AutoFilter(2016)", "book1.sheets call Add(2002) missing book1.1",
       "book1.2 put Name(2005) '" + std::string(kStepSheet) + "'", "book1.1 call Activate(2018)",
       "book1 call SaveAs(284) '" + narrow(folder) + kSavedName + "' 56", "app call Quit(302)"});
}

// An older version saves in the older format; the one sheet whose block is
// refused is named in the log (exit status 1) and the rest goes on.
void programRunWithAFailingSheet(const std::wstring& bin, const std::wstring& temp) {
  registerStandIn(L"Excel.Application.11");
  const std::wstring folder = temp + L"mz_xls_fail\\";
  ProgramRun run = runProgram(bin, folder, L"Value@book1.1");
  check(run.exitCode == 1, "failing sheet: exit status 1", std::to_string(run.exitCode));
  expectInOrder("failing sheet: the next sheet and the save", run.record,
                {"book1.1!A1:E3 put Value(2007) " + std::string(kListBlock),
                 "book1.2 put Name(2005) '" + std::string(kStepSheet) + "'",
                 "book1 call SaveAs(284) '" + narrow(folder) + kSavedName + "' 43"});
  check(run.record.find("book1.2!A1:I3 put Value(2007)") != std::string::npos,
        "failing sheet: the step counts are put", run.record);
  check(run.log.find("関数一覧)]") != std::string::npos, "failing sheet: named in the log",
        run.log);
}

void probe() {
  registerStandIn(L"Excel.Application.12");
  check(platform::probeExcelVersion() == 12, "probe: version 12");
  registerStandIn(L"Excel.Application.7");
  check(platform::probeExcelVersion() == 0, "probe: version 7 is too old");
  registerStandIn(L"Excel.Application.12", L"{00024500-0000-0000-C000-000000000047}");
  check(platform::probeExcelVersion() == 0, "probe: another class");
  unregisterStandIn();
  check(platform::probeExcelVersion() == 0, "probe: nothing registered");
}

}  // namespace

int main(int argc, char** argv) {
  HMODULE standIn = LoadLibraryW(besideProgram(L"excel_stand_in.dll").c_str());
  standInCalls = lookup<CallsFunction>(standIn, "standInCalls");
  standInReset = lookup<ResetFunction>(standIn, "standInReset");
  standInOpenWorkbook = lookup<OpenFunction>(standIn, "standInOpenWorkbook");
  if (!standInCalls || !standInReset || !standInOpenWorkbook) {
    std::printf("cannot load excel_stand_in.dll\n0 passed, 1 failed\n");
    return 1;
  }
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  probe();
  registerStandIn(L"Excel.Application.12");
  startedSheetAndSave();
  attachedWithOpenWorkbook();
  cancelled();
  failingCall();
  if (argc > 1) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    programRunSaves(windowsPath(argv[1]), temp);
    programRunWithAFailingSheet(windowsPath(argv[1]), temp);
  }
  unregisterStandIn();
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
