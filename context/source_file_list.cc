#include "context/source_file_list.h"

#include <cstring>

#include "context/text_util.h"
#include "report/error_log.h"
#include "context/language_mode.h"
#include "platform/file_system.h"

namespace {

int compareBytes(const std::string& a, const std::string& b) {
  // std::string compares as unsigned bytes (char_traits<char>::compare).
  return a.compare(b);
}

bool isCFamily(std::int32_t mask) { return (mask & kModeCFamily) != 0; }

bool identityOf(const SourceFileEntry& e, platform::FileIdentity& identity) {
  if (!e.identityAsked) {
    e.identityKnown = platform::fileIdentity(e.directory + e.name, e.identity);
    e.identityAsked = true;
  }
  identity = e.identity;
  return e.identityKnown;
}

}  // namespace

SourceFileList& sourceFiles() {
  static SourceFileList list;
  return list;
}

// Whether a same-name entry around sorted place `at` (where the search met
// one) is the file `directory` + `name`. Same names stand side by side, so
// the run of them around `at` holds them all: a file is listed once,
// whichever same-named neighbour the search meets and whichever spelling
// of its folder names it ("src/", "./src/", an absolute path).
bool SourceFileList::listedAround(size_t at, const std::string& name,
                                  const std::string& directory) const {
  size_t first = at, end = at;
  while (first > 0 && sortedEntry(first - 1).name == name) --first;
  while (end < order_.size() && sortedEntry(end).name == name) ++end;
  for (size_t i = first; i < end; ++i)
    if (sortedEntry(i).directory == directory) return true;
  platform::FileIdentity file, other;
  if (!platform::fileIdentity(directory + name, file)) return false;
  for (size_t i = first; i < end; ++i) {
    if (identityOf(sortedEntry(i), other) && !(file < other) && !(other < file)) return true;
  }
  return false;
}

// Binary search by name in byte order. A same-name file from another
// directory is inserted where the search meets its name.
size_t SourceFileList::insertPosition(const std::string& name, const std::string& directory,
                                      bool& duplicate) {
  duplicate = false;
  if (order_.empty()) return 0;
  int low = 0, high = static_cast<int>(order_.size()) - 1;
  int probe = high / 2;
  for (;;) {
    const SourceFileEntry& e = sortedEntry(probe);
    if (e.name.empty()) {
      errorLog() << "ファイル登録のための検索において異常が発生しました(内部ｴﾗｰ)" << '\n';
      return probe;
    }
    int c = compareBytes(name, e.name);
    if (c == 0) {
      duplicate = listedAround(probe, name, directory);
      return probe;
    }
    if (c < 0) {
      if (probe == low) return probe;
      high = probe - 1;
    } else {
      low = probe + 1;
    }
    if (low >= high) {
      // Settle against the entry at low, the last one left to look at.
      if (low >= static_cast<int>(order_.size())) return order_.size();
      probe = low;
      const SourceFileEntry& last = sortedEntry(probe);
      int d = compareBytes(name, last.name);
      if (d == 0) {
        duplicate = listedAround(probe, name, directory);
        return probe;
      }
      return d > 0 ? probe + 1 : probe;
    }
    probe = (low + high) / 2;
  }
}

AddResult SourceFileList::add(const std::string& name, const std::string& directory,
                              std::int32_t mask) {
  if (mask == 0) return AddResult::NoLanguage;
  if (mask_ != 0 && isCFamily(mask_) != isCFamily(mask)) {
    conflict_ = true;
    return AddResult::Refused;
  }
  if (!entries_.empty()) {
    // Offered again after a reading: the entries go back to be offered to.
    offered_ = std::move(entries_);
    entries_.clear();
    order_.resize(offered_.size());
    for (size_t i = 0; i < order_.size(); ++i) order_[i] = static_cast<std::uint32_t>(i);
  }
  bool duplicate = false;
  size_t at = insertPosition(name, directory, duplicate);
  if (duplicate) return AddResult::Duplicate;
  SourceFileEntry entry;
  entry.name = name;
  entry.directory = directory;
  entry.languageMask = mask;
  if (treeItemFactory_) entry.treeItem = treeItemFactory_(name);
  if (at > order_.size()) at = order_.size();
  order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(at),
                static_cast<std::uint32_t>(offered_.size()));
  offered_.push_back(std::move(entry));
  mask_ |= mask;
  return AddResult::Added;
}

void SourceFileList::settle() const {
  if (offered_.empty()) return;
  entries_.reserve(offered_.size());
  for (std::uint32_t i : order_) entries_.push_back(std::move(offered_[i]));
  offered_.clear();
  order_.clear();
}

void SourceFileList::clear() {
  entries_.clear();
  offered_.clear();
  order_.clear();
  mask_ = 0;
}

void SourceFileList::remove(std::uintptr_t treeItem) {
  settle();
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].treeItem != treeItem) continue;
    entries_.erase(entries_.begin() + i);
    break;
  }
  mask_ = 0;
  for (const SourceFileEntry& e : entries_) mask_ |= e.languageMask;
}

std::vector<int> SourceFileList::processingOrder() {
  settle();
  std::vector<int> order;
  order.reserve(entries_.size());
  for (size_t i = 0; i < entries_.size(); ++i) {
    std::string_view name = entries_[i].name;
    size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && equalsIgnoreCase(name.substr(dot), ".bas")) {
      entries_[i].basFirst = 1;
      order.push_back(static_cast<int>(i));
    }
  }
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].basFirst == 0) order.push_back(static_cast<int>(i));
  return order;
}
