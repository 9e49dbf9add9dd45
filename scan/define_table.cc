#include "scan/define_table.h"

#include <algorithm>

#include "context/file_name_pool.h"
#include "context/language_mode.h"
#include "context/options.h"
#include "context/read_watch.h"
#include "context/source_context.h"
#include "report/error_log.h"
#include "scan/lexical_rules.h"
#include "scan/sorted_search.h"
#include "scan/type_questions.h"

namespace {

const std::string kNoBody;

void trimTrailingBlanks(std::string& text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
}

}  // namespace

DefineTable::DefineTable(const Options& options, const SourceContext& context,
                         FileNamePool& fileNames, TypeQuestions& types)
    : options_(options), context_(context), fileNames_(fileNames), types_(types) {}

DefineTable::Lookup DefineTable::findDefine(std::string_view name) const {
  bool found = false;
  int index = searchSorted(
      static_cast<int>(order_.size()), name,
      [this](int i) -> std::string_view { return at(i).name; }, found,
      "define定義検索において異常が発生しました(内部ｴﾗｰ)");
  return {found, static_cast<size_t>(index)};
}

int DefineTable::positionNamed(std::string_view name) const {
  if (watching()) tellAsked(name);
  return positionOf(name);
}

int DefineTable::positionOf(std::string_view name) const {
  return positions_.positionOf(name, storedName(), [&] {
    Lookup found = findDefine(name);
    return found.found ? static_cast<int>(order_[found.index]) : -1;
  });
}

const DefineEntry* DefineTable::entryNamed(std::string_view name) const {
  int position = positionNamed(name);
  return position >= 0 ? &store_[position] : nullptr;
}

const std::string& DefineTable::bodyOf(std::string_view name) const {
  const DefineEntry* entry = entryNamed(name);
  return entry ? entry->body : kNoBody;
}

std::vector<std::string_view> macroParameterNames(std::string_view params) {
  std::vector<std::string_view> names;
  macroParameterNames(params, names);
  return names;
}

void macroParameterNames(std::string_view params, std::vector<std::string_view>& names) {
  names.clear();
  if (params.size() < 2 || params.front() != '(') return;
  size_t close = params.find(')');
  std::string_view inner = params.substr(1, close == std::string_view::npos ? close : close - 1);
  size_t pos = 0;
  for (;;) {
    size_t comma = inner.find(',', pos);
    std::string_view name =
        inner.substr(pos, comma == std::string_view::npos ? comma : comma - pos);
    while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.remove_prefix(1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    names.push_back(name == "..." ? std::string_view("__VA_ARGS__") : name);
    if (comma == std::string_view::npos) break;
    pos = comma + 1;
  }
}

bool DefineTable::beginDefine(const std::string& name) {
  if (watching()) {
    tellAsked(name);
    watch_->changed(ReadWatch::Table::kMacro, name);
    watch_->called(kBeginCall, name);
  }
  Lookup found = findDefine(name);
  if (found.found) {
    errorLog() << "  " << name << "は既に登録済みです[define]\n";
    if (watching()) watch_->calledAndLogged();
    definingValid_ = false;
    return false;
  }
  DefineEntry entry;
  entry.name = name;
  entry.fileId = fileNames_.add(context_.item(0));
  defining_ = store_.size();
  store_.push_back(std::move(entry));
  order_.insert(order_.begin() + found.index, static_cast<std::uint32_t>(defining_));
  // An empty name makes the binary search report the table damaged, which
  // only the binary search does: the index steps aside.
  if (name.empty())
    positions_.abandon();
  else
    positions_.add(name, static_cast<std::uint32_t>(defining_));
  definingValid_ = true;
  paramDepth_ = 0;
  lastWasDelimiter_ = false;
  blankPending_ = false;
  return true;
}

DefineEntry* DefineTable::entryBeingDefined() {
  if (!definingValid_ || defining_ >= store_.size()) return nullptr;
  return &store_[defining_];
}

DefineTable::ParamState DefineTable::defineParamToken(std::string_view token) {
  if (watching()) watch_->called(kParamCall, token);
  DefineEntry* entry = entryBeingDefined();
  if (!entry || entry->complete) return ParamState::kAbandoned;
  if (token == "\r") return ParamState::kMore;
  if (token == "\n") {
    entry->complete = true;
    return ParamState::kAbandoned;
  }
  if (token == "(") ++paramDepth_;
  if (token == ")") --paramDepth_;
  entry->params += token;
  return paramDepth_ <= 0 ? ParamState::kClosed : ParamState::kMore;
}

// Words are joined by one blank; a delimiter sticks to its neighbours.
// Blanks that lead or end the body are not part of it.
void DefineTable::defineBodyToken(std::string_view token) {
  if (watching()) watch_->called(kBodyCall, token);
  if (token == "\r") return;
  DefineEntry* entry = entryBeingDefined();
  if (!entry) return;
  if (token == "\n") {
    if (!entry->complete) completeEntry(*entry);
    return;
  }
  if (entry->complete || token.empty()) return;
  // Blanks reach here only when the reader keeps them (for the function
  // details); the body is the same either way: a blank counts only between
  // a word and '(', where the reader always delivers it.
  if (isBlankToken(token)) {
    blankPending_ = !entry->body.empty() && !lastWasDelimiter_;
    return;
  }
  if (blankPending_ && token == "(") {
    entry->body += ' ';
    lastWasDelimiter_ = true;
  }
  blankPending_ = false;
  bool delimiter = isDelimiterToken(token);
  if (!entry->body.empty() && !lastWasDelimiter_ && !delimiter) entry->body += ' ';
  entry->body += token;
  lastWasDelimiter_ = delimiter;
}

void DefineTable::completeEntry(DefineEntry& entry) {
  entry.complete = true;
  trimTrailingBlanks(entry.body);
  if (context_.languageFlavour() & kModeCOrCpp) types_.registerMacroType(entry.name, entry.body);
}

void DefineTable::undefine(std::string_view name) {
  if (watching()) {
    tellAsked(name);
    watch_->changed(ReadWatch::Table::kMacro, name);
    watch_->called(kUndefineCall, name);
  }
  Lookup found = findDefine(name);
  if (!found.found) {
    errorLog() << "  " << name << "は定義されていません[undef]\n";
    if (watching()) watch_->calledAndLogged();
    return;
  }
  if (found.index >= order_.size()) {
    errorLog() << "関数Def_DelNameにて内部ｴﾗｰが発生しました\n";
    if (watching()) watch_->calledAndLogged();
    return;
  }
  order_.erase(order_.begin() + found.index);
  positions_.remove(name, storedName());
  definingValid_ = false;
  if (++removed_ > 1024 && removed_ > store_.size() / 2) compactStore();
}

bool DefineTable::watching() const { return watch_ && watch_->watching(); }

void DefineTable::tellUnrepeatable() const {
  if (watching()) watch_->unrepeatable();
}

// Asked before the table changes, so that the state told is the one the
// name had.
void DefineTable::tellAsked(std::string_view name) const {
  watch_->asked(ReadWatch::Table::kMacro, name, stateOf(name));
}

std::string DefineTable::stateOf(std::string_view name) const {
  const int position = positionOf(name);
  if (position < 0) return {};
  const DefineEntry* entry = &store_[position];
  std::string state = "=";
  state += entry->params;
  state += '\0';
  state += entry->body;
  state += '\0';
  state += std::to_string(entry->fileId);
  state += entry->complete ? '1' : '0';
  return state;
}

void DefineTable::callAgain(int call, std::string_view text) {
  switch (call) {
    case kBeginCall:
      beginDefine(std::string(text));
      break;
    case kParamCall:
      defineParamToken(text);
      break;
    case kBodyCall:
      defineBodyToken(text);
      break;
    case kUndefineCall:
      undefine(text);
      break;
    default:
      break;
  }
}

void DefineTable::clear() {
  store_.clear();
  order_.clear();
  positions_.clear();
  removed_ = 0;
  definingValid_ = false;
}

void DefineTable::setStartingState(const std::vector<DefineEntry>& starting) {
  clear();
  store_.assign(starting.begin(), starting.end());
  order_.resize(store_.size());
  for (size_t i = 0; i < order_.size(); ++i) order_[i] = static_cast<std::uint32_t>(i);
  // A copy taken by definitions() is in name order already; sorting keeps
  // the table searchable whatever the caller gives.
  std::stable_sort(order_.begin(), order_.end(), [this](std::uint32_t a, std::uint32_t b) {
    return compareNames(store_[a].name, store_[b].name) < 0;
  });
  indexNames();
}

std::vector<DefineEntry> DefineTable::definitions() const {
  std::vector<DefineEntry> copy;
  copy.reserve(order_.size());
  for (std::uint32_t position : order_) copy.push_back(store_[position]);
  return copy;
}

// Drops the entries that #undef removed, once they make up most of the store.
void DefineTable::compactStore() {
  std::deque<DefineEntry> kept;
  for (std::uint32_t& position : order_) {
    kept.push_back(std::move(store_[position]));
    position = static_cast<std::uint32_t>(kept.size() - 1);
  }
  store_ = std::move(kept);
  removed_ = 0;
  indexNames();
}

// The index made again for the entries in order_. Two entries of one name
// (a starting state given so) or an empty one leave it to the binary search.
void DefineTable::indexNames() {
  positions_.clear();
  for (std::uint32_t position : order_) {
    const std::string& name = store_[position].name;
    if (name.empty() || positions_.find(name, storedName())) {
      positions_.abandon();
      return;
    }
    positions_.add(name, position);
  }
}
