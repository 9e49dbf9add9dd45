#include "ui/file_tree_win32.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "context/source_file_list.h"
#include "context/text_util.h"
#include "platform/wide_names_win32.h"
#include "ui/fonts_win32.h"
#include "ui/main_window_win32.h"

namespace {

struct TreeFile {
  std::string name;
  std::string directory;
  std::string label;
};
std::map<HTREEITEM, TreeFile> items;

// Room above and below the text: descenders and underscores sit in it.
constexpr int kItemPadding = 4;

std::vector<std::string> components(std::string_view directory) {
  std::vector<std::string> parts;
  std::string part;
  for (size_t i = 0; i < directory.size(); ++i) {
    char c = directory[i];
    if (isShiftJisLead(static_cast<unsigned char>(c)) && i + 1 < directory.size()) {
      part += c;
      part += directory[++i];
    } else if (c == '\\' || c == '/') {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

std::string lowered(std::string_view name) {
  std::string out(name);
  for (size_t i = 0; i < out.size(); ++i) {
    if (isShiftJisLead(static_cast<unsigned char>(out[i]))) {
      ++i;
    } else if (out[i] >= 'A' && out[i] <= 'Z') {
      out[i] = static_cast<char>(out[i] - 'A' + 'a');
    }
  }
  return out;
}

HTREEITEM appendItem(const std::string& label) {
  TVINSERTSTRUCTA insert = {};
  insert.hParent = TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<char*>(label.c_str());
  return reinterpret_cast<HTREEITEM>(
      SendMessageA(mainWindow().tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

// Labels for files given as (name, directory): the name, or, for a name
// that several share (letter case aside), the folders below their common
// root followed by the name.
std::vector<std::string> treeLabels(const std::vector<std::pair<std::string, std::string>>& files) {
  // Per name shared: the leading folders that all its files' directories have.
  std::map<std::string, std::vector<std::string>> roots;
  std::map<std::string, int> uses;
  for (const auto& [name, directory] : files) {
    std::vector<std::string> parts = components(directory);
    std::string key = lowered(name);
    if (uses[key]++ == 0) {
      roots[key] = parts;
      continue;
    }
    std::vector<std::string>& root = roots[key];
    size_t same = 0;
    while (same < root.size() && same < parts.size() && equalsIgnoreCase(root[same], parts[same]))
      ++same;
    root.resize(same);
  }
  std::vector<std::string> labels;
  labels.reserve(files.size());
  for (const auto& [name, directory] : files) {
    std::string key = lowered(name);
    std::string label;
    if (uses[key] > 1) {
      std::vector<std::string> parts = components(directory);
      for (size_t i = roots[key].size(); i < parts.size(); ++i) label += parts[i] + "\\";
    }
    labels.push_back(label + name);
  }
  return labels;
}

void relabel() {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& [item, file] : items) files.emplace_back(file.name, file.directory);
  std::vector<std::string> labels = treeLabels(files);
  size_t i = 0;
  for (auto& [item, file] : items) {
    const std::string& label = labels[i++];
    if (label == file.label) continue;
    file.label = label;
    TVITEMA change = {};
    change.mask = TVIF_TEXT;
    change.hItem = item;
    change.pszText = const_cast<char*>(label.c_str());
    SendMessageA(mainWindow().tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change));
  }
}

}  // namespace

void setUpFileTree(HWND tree) {
  HFONT font = windowTextFont();
  SendMessageA(tree, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  HDC dc = GetDC(tree);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(tree, dc);
  int height = metrics.tmHeight + metrics.tmExternalLeading + kItemPadding;
  SendMessageA(tree, TVM_SETITEMHEIGHT, height, 0);
}

void showNewFiles() {
  HWND tree = mainWindow().tree;
  SendMessageA(tree, WM_SETREDRAW, FALSE, 0);
  for (SourceFileEntry& e : sourceFiles().entries()) {
    if (e.treeItem) continue;
    HTREEITEM item = appendItem(e.name);
    if (!item) continue;
    e.treeItem = reinterpret_cast<std::uintptr_t>(item);
    items[item] = {e.name, e.directory, e.name};
  }
  relabel();
  SendMessageA(tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree, nullptr, TRUE);
}

void forgetTreeItem(HTREEITEM item) {
  items.erase(item);
  relabel();
}

void forgetAllTreeItems() { items.clear(); }

void answerInfoTip(NMHDR* header) {
  if (header->code == TVN_GETINFOTIPA) {
    auto* tip = reinterpret_cast<NMTVGETINFOTIPA*>(header);
    auto found = items.find(tip->hItem);
    if (found == items.end() || tip->cchTextMax <= 0) return;
    std::string path = found->second.directory + found->second.name;
    lstrcpynA(tip->pszText, path.c_str(), tip->cchTextMax);
  } else if (header->code == TVN_GETINFOTIPW) {
    auto* tip = reinterpret_cast<NMTVGETINFOTIPW*>(header);
    auto found = items.find(tip->hItem);
    if (found == items.end() || tip->cchTextMax <= 0) return;
    std::wstring path = platform::wideName(found->second.directory + found->second.name);
    lstrcpynW(tip->pszText, path.c_str(), tip->cchTextMax);
  }
}
