// The keywords of a run, each tagged with the languages for which it is
// reserved, so that the parsers never take a keyword for a name.
// One entry holds a word and a LanguageMode mask (255 for a word given
// outside any language section); entries are unique, kept in name order
// under the run's name comparison (compareNames) for the dump as a list of
// positions, and found through a hash index of the words. The
// run object owns the table; it is filled once per run when the
// settings are loaded and read for the rest of the run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scan/name_filter.h"
#include "scan/name_index.h"

class ReportSession;
class SourceContext;

struct ReservedWord {
  std::string word;
  std::int32_t languages = 0;
};

class ReservedWordTable {
 public:
  // The run's source context gives the current file's mode for
  // isReserved(word, 0); without `tables` (or before the context exists)
  // mode 0 matches nothing.
  explicit ReservedWordTable(const SourceContext& context) : context_(context) {}

  // Inserts the word, or adds `mask` to the languages of the present one.
  void add(std::string_view word, std::int32_t mask);
  // The languages of `word` that `mode` shares (0 = the current file's
  // mode); 0 when the word is absent.
  std::int32_t isReserved(std::string_view word, std::int32_t mode = 0) const;
  bool contains(std::string_view word) const;
  // The built-in C, C++, VB and Delphi lists (settings data file missing).
  void loadBuiltIn();
  void clear() {
    store_.clear();
    order_.clear();
    positions_.clear();
    filter_.clear();
  }

  size_t size() const { return order_.size(); }
  // The i-th entry in name order.
  const ReservedWord& at(size_t i) const { return store_[order_[i]]; }

  // Writes "Mz予約語確認.txt" in the output folder.
  void dump(ReportSession& session) const;

 private:
  // Position of `word`, or where it would be inserted.
  size_t search(std::string_view word, bool& found) const;
  // The languages of `word`; nothing when it is absent.
  std::optional<std::int32_t> languagesOf(std::string_view word) const;
  const SourceContext& context_;
  std::vector<ReservedWord> store_;   // in order of adding
  std::vector<std::uint32_t> order_;  // positions in store_, in name order
  NameIndex positions_;               // word -> position in store_
  // Most names are no keyword: the filter tells them before any hashing.
  NameFilter filter_;
};
