#include "scan/reserved_word_table.h"

#include "context/source_context.h"
#include "context/source_context.h"
#include "report/error_log.h"
#include "context/language_mode.h"
#include "scan/lexical_rules.h"

namespace {

// Registered in this order by loadBuiltIn. Java's keywords are among them
// so that a Java file read without the settings data file does not take
// `if (` for a call or `return x;` for a declaration.
struct BuiltInList {
  std::int32_t mask;
  const char* words;  // blank-separated
};

const BuiltInList kBuiltInLists[] = {
    {kModeC,
     "auto break case char const continue default do double else enum extern far float for "
     "fortran goto huge if int long near pascal register return short sizeof static struct "
     "switch typedef union unsigned void while"},
    {kModeCpp,
     "catch class __declspec delete dllexport dllimport friend inline naked new operator "
     "private protected public signed template thread this throw try virtual volatile xalloc"},
    {kModeJava,
     "abstract assert boolean break byte case catch char class const continue default do "
     "double else enum extends final finally float for goto if implements import instanceof "
     "int interface long native new package private protected public return short static "
     "strictfp super switch synchronized this throw throws transient try void volatile while"},
    {kModeVb,
     "Alias And Any Append As BeginTrans Binary ByVal Call Case Dim Do DoEvents Else ElseIf End "
     "EndIf Exit For Function Global GoSub GoTo If Integer Is Next Not Nothing Now Null ReDim "
     "Rem Set Sub Then to true Until Val Wend While"},
    {kModeDelphi,
     "and array as asm begin case class const constructor destructor dispinterface div do "
     "downto else end except exports file finalization finally for function goto if "
     "implementation in inherited initialization inline interface is label library mod nil "
     "not object of or out packed procedure program property raise record repeat "
     "resourcestring set shl shr string then threadvar to try type unit until uses var while "
     "with xor"},
};

}  // namespace

size_t ReservedWordTable::search(std::string_view word, bool& found) const {
  found = false;
  size_t low = 0, high = order_.size();
  while (low < high) {
    size_t mid = low + (high - low) / 2;
    const std::string& probe = at(mid).word;
    if (probe.empty()) {
      errorLog() << "予約語検索において異常が発生しました(内部ｴﾗｰ)\n";
      return mid;
    }
    int c = compareNames(word, probe);
    if (c == 0) {
      found = true;
      return mid;
    }
    if (c < 0)
      high = mid;
    else
      low = mid + 1;
  }
  return low;
}

std::optional<std::int32_t> ReservedWordTable::languagesOf(std::string_view word) const {
  if (word.empty() || !filter_.mayHold(word)) return std::nullopt;
  int position = positions_.positionOf(
      word, [this](std::uint32_t p) -> std::string_view { return store_[p].word; },
      [&] {
        bool found;
        size_t i = search(word, found);
        return found ? static_cast<int>(order_[i]) : -1;
      });
  if (position < 0) return std::nullopt;
  return store_[position].languages;
}

void ReservedWordTable::add(std::string_view word, std::int32_t mask) {
  if (word.empty()) return;
  bool found;
  size_t i = search(word, found);
  if (found) {
    store_[order_[i]].languages |= mask;
    return;
  }
  auto position = static_cast<std::uint32_t>(store_.size());
  filter_.add(word);
  store_.push_back(ReservedWord{std::string(word), mask});
  order_.insert(order_.begin() + i, position);
  positions_.add(word, position);
}

std::int32_t ReservedWordTable::isReserved(std::string_view word, std::int32_t mode) const {
  if (word.empty()) return 0;
  std::optional<std::int32_t> languages = languagesOf(word);
  if (!languages) return 0;
  if (mode == 0) mode = context_.languageFlavour();
  return mode & *languages;
}

bool ReservedWordTable::contains(std::string_view word) const {
  return !word.empty() && languagesOf(word).has_value();
}

void ReservedWordTable::loadBuiltIn() {
  for (const BuiltInList& list : kBuiltInLists) {
    std::string_view words = list.words;
    while (!words.empty()) {
      size_t end = words.find(' ');
      add(words.substr(0, end), list.mask);
      words = end == std::string_view::npos ? std::string_view() : words.substr(end + 1);
    }
  }
}
