#include "app/file_name_pool.h"

#include "report/error_log.h"

namespace {
const std::string kNoName;
}

size_t FileNamePool::search(const std::string& name, bool& found) const {
  found = false;
  if (sorted_.empty()) return 0;
  int low = 0, high = static_cast<int>(sorted_.size()) - 1;
  while (low <= high) {
    int probe = (low + high) / 2;
    const std::string& entry = sorted_[probe];
    if (entry.empty()) {
      errorLog() << "ﾌｧｲﾙｾｯﾄ検索において異常が発生しました(内部ｴﾗｰ)" << '\n';
      return probe;
    }
    int c = name.compare(entry);
    if (c == 0) {
      found = true;
      return probe;
    }
    if (c < 0)
      high = probe - 1;
    else
      low = probe + 1;
  }
  return low;
}

int FileNamePool::add(const std::string& name) {
  if (name.empty() || name[0] == ' ') return 0;
  bool found = false;
  size_t at = search(name, found);
  if (found) return idAtPosition_[at];
  sorted_.insert(sorted_.begin() + at, name);
  for (int& position : positionOfId_)
    if (position >= static_cast<int>(at)) ++position;
  positionOfId_.push_back(static_cast<int>(at));
  int id = static_cast<int>(positionOfId_.size());
  idAtPosition_.insert(idAtPosition_.begin() + at, id);
  return id;
}

int FileNamePool::find(const std::string& name) const {
  if (name.empty() || name[0] == ' ') return 0;
  if (lastFound_ > 0 && this->name(lastFound_) == name) return lastFound_;
  bool found = false;
  size_t at = search(name, found);
  if (found) lastFound_ = idAtPosition_[at];
  return found ? idAtPosition_[at] : 0;
}

const std::string& FileNamePool::name(int id) const {
  if (id <= 0 || id > static_cast<int>(positionOfId_.size())) return kNoName;
  return sorted_[positionOfId_[id - 1]];
}
