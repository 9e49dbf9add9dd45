// Records a table copied from a kept set (the settings' types, the
// settings classes), while every one of them stays as it was copied but
// for one mark the files set: a later copy of the same set, unchanged
// since, only drops the records stored after them and puts the marks
// back, instead of copying every record again. The table says before it
// changes one of them or stores a record where one was.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>

// A number no set of records has had before: a kept set takes a new one
// at each change, so that an equal number means the same records.
inline std::uint64_t newRecordsVersion() {
  static std::atomic<std::uint64_t> last{0};
  return ++last;
}

class CopiedRecords {
 public:
  // Before the record at `position` changes, or one is stored there.
  void changing(std::size_t position) {
    if (position < count_) *this = {};
  }
  // `records` become a copy of `kept`, whose version is `version`;
  // putMark(record, keptRecord) puts a copied record's mark back.
  template <class Record, class PutMark>
  void copy(std::deque<Record>& records, const std::deque<Record>& kept, std::uint64_t version,
            PutMark putMark) {
    const std::size_t count = kept.size();
    if (version_ == version && count_ == count && records.size() >= count) {
      records.erase(records.begin() + static_cast<std::ptrdiff_t>(count), records.end());
      for (std::size_t position = 0; position < count; ++position)
        putMark(records[position], kept[position]);
    } else {
      records = kept;
    }
    version_ = version;
    count_ = count;
  }

 private:
  std::uint64_t version_ = 0;  // none
  std::size_t count_ = 0;
};
