#include "ui/drop_list_win32.h"

#include <shlobj.h>

#include <cstring>

#include "platform/wide_names_win32.h"

const char kUnreadableDropLine[] = " ﾄﾞﾛｯﾌﾟされたﾌｧｲﾙの一覧を読めません";

namespace {

// The strings from `offset` on, each ended by a zero, the list by an empty
// one; nothing when the end is not inside the block.
template <typename Char>
std::optional<std::vector<std::basic_string<Char>>> strings(const unsigned char* block, size_t size,
                                                            size_t offset) {
  std::vector<std::basic_string<Char>> out;
  size_t count = (size - offset) / sizeof(Char);
  const unsigned char* start = block + offset;
  std::basic_string<Char> current;
  for (size_t i = 0; i < count; ++i) {
    Char c;
    std::memcpy(&c, start + i * sizeof(Char), sizeof(Char));
    if (c != 0) {
      current += c;
      continue;
    }
    if (current.empty()) return out;
    out.push_back(std::move(current));
    current.clear();
  }
  return std::nullopt;
}

std::string fromCodePage(const std::string& ansi) {
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return platform::nameFromWide(wide);
}

std::optional<std::vector<std::string>> readBlock(const unsigned char* block, size_t size) {
  DROPFILES header;
  std::memcpy(&header, block, sizeof header);
  if (header.pFiles < sizeof header || header.pFiles >= size) return std::nullopt;
  std::vector<std::string> paths;
  if (header.fWide) {
    auto wide = strings<wchar_t>(block, size, header.pFiles);
    if (!wide) return std::nullopt;
    for (const std::wstring& w : *wide) paths.push_back(platform::nameFromWide(w));
  } else {
    auto ansi = strings<char>(block, size, header.pFiles);
    if (!ansi) return std::nullopt;
    for (const std::string& a : *ansi) paths.push_back(fromCodePage(a));
  }
  return paths;
}

}  // namespace

// GlobalSize and GlobalLock look the handle up in this process's heap and
// say so when it is none of its blocks, where DragQueryFile would read
// wherever the handle points.
std::optional<std::vector<std::string>> readDropList(HGLOBAL drop) {
  if (!drop) return std::nullopt;
  SIZE_T size = GlobalSize(drop);
  if (size < sizeof(DROPFILES) || size == static_cast<SIZE_T>(-1)) return std::nullopt;
  const void* block = GlobalLock(drop);
  if (!block) return std::nullopt;
  auto paths = readBlock(static_cast<const unsigned char*>(block), size);
  GlobalUnlock(drop);
  return paths;
}
