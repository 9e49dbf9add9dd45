#include "tests/gui/gui_support.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
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
