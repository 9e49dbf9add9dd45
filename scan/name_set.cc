#include "scan/name_set.h"

#include "report/error_log.h"
#include "scan/lexical_rules.h"

NameSet::Lookup NameSet::find(std::string_view name) const {
  Lookup result;
  if (name.empty()) return result;
  size_t low = 0, high = names_.size();
  while (low < high) {
    size_t mid = low + (high - low) / 2;
    if (names_[mid].empty()) {
      errorLog() << "登録専用クラス検索において異常が発生しました(内部ｴﾗｰ)\n";
      result.index = mid;
      return result;
    }
    int c = compareNames(name, names_[mid]);
    if (c == 0) return {true, mid};
    if (c < 0)
      high = mid;
    else
      low = mid + 1;
  }
  result.index = low;
  return result;
}

void NameSet::insert(std::string_view name) {
  Lookup where = find(name);
  if (name.empty() || where.found) return;
  names_.insert(names_.begin() + where.index, std::string(name));
}
