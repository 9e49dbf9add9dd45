#include "tests/gui/gui_support.h"

#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>

std::string work, programDir;
std::vector<std::string> failures;

// ---------------------------------------------------------------------------
// Checks and files

std::string utf8(const std::string& cp932) {
  std::wstring wide(cp932.size() + 1, L'\0');
  wide.resize(MultiByteToWideChar(932, 0, cp932.c_str(), -1, wide.data(), wide.size()));
  std::string out(wide.size() * 3 + 1, '\0');
  out.resize(WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, out.data(), out.size(), 0, 0));
  return out.c_str();
}

void check(bool ok, const std::string& what, const std::string& seen) {
  if (ok) return;
  failures.push_back(what + (seen.empty() ? "" : " [seen: " + seen + "]"));
  std::printf("FAILED: %s\n", utf8(failures.back()).c_str());
  std::fflush(stdout);
}

bool waitUntil(const std::function<bool()>& condition, int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += 50, Sleep(50))
    if (condition()) return true;
  return condition();
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// ---------------------------------------------------------------------------
// Screenshots

std::uint32_t crc32(const std::string& bytes) {
  std::uint32_t c = 0xFFFFFFFF;
  for (unsigned char b : bytes) {
    c ^= b;
    for (int i = 0; i < 8; ++i) c = (c >> 1) ^ (0xEDB88320 & (0 - (c & 1)));
  }
  return ~c;
}

std::string bigEndian(std::uint32_t v) {
  return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::string pngChunk(const std::string& type, const std::string& data) {
  return bigEndian(data.size()) + type + data + bigEndian(crc32(type + data));
}

// Rows of RGB bytes, each led by filter 0, in stored (uncompressed) blocks.
std::string png(int width, int height, const std::string& rows) {
  std::string z = "\x78\x01";
  std::uint32_t a = 1, b = 0;
  for (unsigned char c : rows) a = (a + c) % 65521, b = (b + a) % 65521;
  for (size_t at = 0; at < rows.size(); at += 65535) {
    size_t n = std::min<size_t>(65535, rows.size() - at);
    z += char(at + n == rows.size());
    z += {char(n), char(n >> 8), char(~n), char(~n >> 8)};
    z += rows.substr(at, n);
  }
  z += bigEndian(b << 16 | a);
  std::string header = bigEndian(width) + bigEndian(height) + std::string("\x08\x02\0\0\0", 5);
  return "\x89PNG\r\n\x1a\n" + pngChunk("IHDR", header) + pngChunk("IDAT", z) +
         pngChunk("IEND", "");
}

void screenshot(const std::string& name) {
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows top down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  std::string rows;
  auto* pixel = static_cast<const unsigned char*>(bits);
  for (int y = 0; y < height; ++y) {
    rows += '\0';
    for (int x = 0; x < width; ++x, pixel += 4)
      rows += {char(pixel[2]), char(pixel[1]), char(pixel[0])};
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  writeFile(work + name, png(width, height, rows));
}

void settledScreenshot(const std::string& name) {
  Sleep(500);
  screenshot(name);
}

// ---------------------------------------------------------------------------
// Forms and answers

std::string rectForm(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

void checkBox(const Box& b, const std::string& caption, const std::string& text, HWND owner) {
  check(b.handle != nullptr, "a box \"" + text + "\" appeared");
  checkEqual(b.caption, caption, "caption of the box \"" + text + "\"");
  checkEqual(b.text, text, "text of the box");
  check(b.owner == owner, "owner of the box \"" + text + "\"");
}

void runToEnd(Program& mizenta, const char* screenshotName) {
  mizenta.command(104);
  Box done = mizenta.waitForBox();
  checkBox(done, "確認", "処理終了", mizenta.window());
  if (screenshotName) screenshot(screenshotName);
  mizenta.answer(done, IDOK);
}

std::vector<std::string> linesStartingWith(const std::string& text, const std::string& prefix) {
  std::vector<std::string> found;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (line.compare(0, prefix.size(), prefix) == 0) found.push_back(line);
  return found;
}

// ---------------------------------------------------------------------------
// Dragging files from this process, as a file manager does

namespace {

std::wstring wide(const std::string& cp932) {
  std::wstring out(cp932.size() + 1, L'\0');
  out.resize(MultiByteToWideChar(932, 0, cp932.c_str(), -1, out.data(), out.size()) - 1);
  return out;
}

// The dragged data: one file list, CF_HDROP in global memory.
class FileList final : public IDataObject {
 public:
  explicit FileList(HGLOBAL block) : block_(block) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    *out = riid == IID_IUnknown || riid == IID_IDataObject ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  // On the stack for the drag's time.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    SIZE_T size = GlobalSize(block_);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(copy), GlobalLock(block_), size);
    GlobalUnlock(copy);
    GlobalUnlock(block_);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    return format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (direction != DATADIR_GET) return E_NOTIMPL;
    return SHCreateStdEnumFmtEtc(1, &format, out);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

 private:
  HGLOBAL block_;
};

// Lets go after a few looks at the target under the pointer.
class LetGo final : public IDropSource {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    *out = riid == IID_IUnknown || riid == IID_IDropSource ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override {
    return ++looks_ >= 10 ? DRAGDROP_S_DROP : S_OK;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  int looks_ = 0;
};

}  // namespace

bool Program::drag(const std::vector<std::string>& paths) {
  std::wstring list;
  for (const std::string& p : paths) list += wide(work + p) + L'\0';
  list += L'\0';
  HGLOBAL block =
      GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
  auto* files = static_cast<DROPFILES*>(GlobalLock(block));
  files->pFiles = sizeof(DROPFILES);
  files->fWide = TRUE;
  std::memcpy(files + 1, list.data(), list.size() * sizeof(wchar_t));
  GlobalUnlock(block);
  RECT tree;
  GetWindowRect(FindWindowExA(window_, nullptr, "SysTreeView32", nullptr), &tree);
  SetCursorPos((tree.left + tree.right) / 2, (tree.top + tree.bottom) / 2);
  FileList data(block);
  LetGo source;
  DWORD effect = DROPEFFECT_NONE;
  HRESULT result = DoDragDrop(&data, &source, DROPEFFECT_COPY, &effect);
  GlobalFree(block);
  state();  // the drop has been taken when the probe answers after it
  return result == DRAGDROP_S_DROP && effect == DROPEFFECT_COPY;
}

// ---------------------------------------------------------------------------
// Pages the shell opens

namespace {

const char kPageClass[] = "MizentaGuiTest.page";

bool readDefault(const char* key, std::string& value) {
  char text[1024] = {};
  LONG size = sizeof text;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, key, text, &size) != ERROR_SUCCESS) return false;
  value = text;
  return true;
}

void writeDefault(const std::string& key, const std::string& value) {
  RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(), value.size());
}

}  // namespace

OpenedPages::OpenedPages(const std::string& driver, const std::string& record) : record_(record) {
  DeleteFileA(record.c_str());
  hadClass_ = readDefault(".html", previousClass_);
  writeDefault(".html", kPageClass);
  writeDefault(std::string(kPageClass) + "\\shell\\open\\command",
               "\"" + driver + "\" --opened \"" + record + "\" \"%1\"");
}

OpenedPages::~OpenedPages() {
  RegDeleteTreeA(HKEY_CLASSES_ROOT, kPageClass);
  if (hadClass_)
    writeDefault(".html", previousClass_);
  else
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".html");
}

int recordOpened(const std::string& record, const std::string& path) {
  std::ofstream(record, std::ios::binary | std::ios::app) << path << "\n";
  return 0;
}
