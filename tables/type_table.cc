#include "tables/type_table.h"

#include "context/source_context.h"
#include "report/error_log.h"
#include "context/language_mode.h"
#include "scan/lexical_rules.h"
#include "scan/sorted_search.h"

namespace {

struct BuiltInType {
  const char* name;
  int size;
};

const BuiltInType kCTypes[] = {{"char", 1},   {"int", 4},   {"long", 4},
                               {"double", 8}, {"float", 4}, {"short", 2}};

const BuiltInType kVbTypes[] = {{"Byte", 1},     {"Boolean", 2}, {"Currency", 8}, {"Date", 8},
                                {"Decimal", 14}, {"double", 8},  {"float", 4},    {"Integer", 2},
                                {"long", 4},     {"Object", 4},  {"String", 10},  {"Single", 2},
                                {"Variant", 44}};

const BuiltInType kDelphiTypes[] = {
    {"Integer", 4},     {"Cardinal", 4},     {"Shortint", 1},    {"Smallint", 2},
    {"Longint", 4},     {"Int64", 8},        {"Byte", 1},        {"Word", 2},
    {"Longword", 4},    {"AnsiChar", 1},     {"WideChar", 2},    {"Char", 1},
    {"Boolean", 1},     {"ByteBool", 1},     {"WordBool", 2},    {"LongBool", 4},
    {"Real48", 6},      {"Single", 4},       {"Double", 8},      {"Extended", 10},
    {"Comp", 8},        {"Currency", 8},     {"ShortString", 2}, {"AnsiString", 4},
    {"WideString", 4},  {"Variant", 16},     {"OleVariant", 16}, {"TDateTime", 8},
    {"PAnsiString", 4}, {"PString", 4},      {"PByteArray", 4},  {"PCurrency", 4},
    {"PDouble", 4},     {"PExtended", 4},    {"PSingle", 4},     {"PInteger", 4},
    {"POleVariant", 4}, {"PShortString", 4}, {"PTextBuf", 4},    {"PVarRec", 4},
    {"PVariant", 4},    {"PWideString", 4},  {"PWordArray", 4}};

template <size_t N>
void registerAll(TypeTable& table, const BuiltInType (&types)[N], int languages) {
  for (const BuiltInType& t : types)
    table.registerType(t.name, TypeTable::kTypedef, t.size, false, languages);
}

// The name that is looked up: no "typedef " in front, no template arguments.
std::string_view searchKey(std::string_view name) {
  constexpr std::string_view kTypedef = "typedef ";
  if (name.starts_with(kTypedef)) name.remove_prefix(kTypedef.size());
  for (size_t i = 0; i < name.size(); ++i)  // names are short: no call to memchr
    if (name[i] == '<') return name.substr(0, i);
  return name;
}

// Slots that a registration for `languages` fills: each language bit
// 0..5 is one slot.
bool hasSlot(int languages, int slot) { return (languages >> slot) & 1; }

}  // namespace

TypeTable::TypeTable(const Options& options, const SourceContext& context, bool analysis)
    : options_(options), context_(context), analysis_(analysis) {}

int TypeTable::currentMode() const { return context_.languageFlavour(); }

TypeTable::Lookup TypeTable::search(std::string_view name) const {
  bool found = false;
  int index = searchSorted(
      static_cast<int>(order_.size()), name,
      [this](int i) -> std::string_view { return at(i).name; }, found,
      "型情報検索において異常が発生しました(内部ｴﾗｰ)");
  return {found, static_cast<size_t>(index)};
}

int TypeTable::positionNamed(std::string_view name) const {
  if (!filter_.mayHold(name)) return -1;
  return index_.positionOf(
      name, [this](std::uint32_t p) -> std::string_view { return records_[p].name; },
      [&] {
        Lookup at = search(name);
        return at.found ? static_cast<int>(order_[at.index]) : -1;
      });
}

const TypeRecord* TypeTable::recordNamed(std::string_view name) const {
  int position = positionNamed(name);
  return position >= 0 ? &records_[position] : nullptr;
}

void TypeTable::setUsed(std::uint32_t position) {
  TypeRecord& record = records_[position];
  if (record.flags & kUsed) return;
  record.flags |= kUsed;
  usedRecords_.push_back(position);
}

const TypeRecord* TypeTable::findType(std::string_view name, FindMode mode) {
  std::string_view key = searchKey(name);
  if (key.empty()) return nullptr;
  int position = positionNamed(key);
  if (position < 0) return nullptr;
  TypeRecord* record = &records_[position];
  bool current = (record->languages & currentMode()) != 0;
  if (current && analysis_ && !registrationMode_) setUsed(static_cast<std::uint32_t>(position));
  switch (mode) {
    case FindMode::kCurrentLanguage:
      return current ? record : nullptr;
    case FindMode::kAnyLanguage:
      return record;
    case FindMode::kFunctionPointer:
      return current && (record->kinds & kFunctionPointer) ? record : nullptr;
  }
  return nullptr;
}

bool TypeTable::isTypeQuietly(std::string_view name) const {
  std::string_view key = searchKey(name);
  if (key.empty()) return false;
  const TypeRecord* record = recordNamed(key);
  return record && (record->languages & currentMode()) != 0;
}

TypeTable::Size TypeTable::sizeOf(std::string_view name) {
  const TypeRecord* record = findType(name);
  return record ? sizeOf(*record) : Size{};
}

TypeTable::Size TypeTable::sizeOf(const TypeRecord& record) const {
  int slot = slotOfMode(currentMode());
  if (slot < 0) return {};
  return {record.sizes[slot], (record.flags & kInexact) != 0};
}

int TypeTable::kindOf(std::string_view name) {
  const TypeRecord* record = findType(name, FindMode::kAnyLanguage);
  return record ? record->kinds : 0;
}

void TypeTable::mergeInto(TypeRecord& record, int kind, int size, bool inexact, int languages) {
  record.kinds |= kind;
  record.languages |= languages;
  if (inexact) record.flags |= kInexact;
  if (size == 0) return;
  for (int slot = 0; slot < TypeRecord::kSlots; ++slot) {
    if (!hasSlot(languages, slot)) continue;
    int& kept = record.sizes[slot];
    if (kept == 0) {
      kept = size;
    } else if (kept != size) {
      errorLog() << "(内部ｴﾗｰ)型のｻｲｽﾞは既に決定済みです。型名[" << record.name << "] 現在のｻｲｽﾞ["
                 << kept << "] 新規ｻｲｽﾞ[" << size << "]\n";
    }
  }
}

void TypeTable::registerType(std::string_view name, int kind, int size, bool inexact,
                             int languages) {
  if (name.empty()) return;
  if (int known = positionNamed(name); known >= 0) {
    changingRecord(static_cast<size_t>(known));
    mergeInto(records_[known], kind, size, inexact, languages);
    return;
  }
  Lookup at = search(name);
  TypeRecord record;
  record.name = std::string(name);
  for (int slot = 0; slot < TypeRecord::kSlots; ++slot)
    if (hasSlot(languages, slot)) record.sizes[slot] = size;
  record.kinds = kind;
  record.languages = languages;
  record.flags = inexact ? kInexact : 0;
  auto position = static_cast<std::uint32_t>(records_.size());
  changingRecord(position);
  order_.insert(order_.begin() + at.index, position);
  index_.add(name, position);
  filter_.add(name);
  records_.push_back(std::move(record));
}

void TypeTable::loadBuiltIn() {
  registerAll(*this, kCTypes, kModeC);
  registerAll(*this, kVbTypes, kModeVb);
  registerAll(*this, kDelphiTypes, kModeDelphi);
}

// Body words: '*' makes a pointer, blanks are skipped, a modifier word is
// allowed, a known type gives the size; anything else means no type. An
// empty body (an include guard, a switch) names no type.
bool TypeTable::registerMacroType(std::string_view name, std::string_view body) {
  int slot = slotOfMode(currentMode());
  if (name.empty() || slot < 0) return false;
  bool pointer = false, anyWord = false;
  Size size{0, true};  // modifiers only: no size known
  size_t i = 0;
  while (i < body.size()) {
    char c = body[i];
    if (c == ' ' || c == '\t' || c == '*') {
      pointer |= c == '*';
      anyWord |= c == '*';
      ++i;
      continue;
    }
    if (isDelimiterByte(static_cast<unsigned char>(c))) return false;
    size_t start = i;
    while (i < body.size() && !isDelimiterByte(static_cast<unsigned char>(body[i]))) ++i;
    std::string_view word = body.substr(start, i - start);
    anyWord = true;
    if (isModifierWord(word)) continue;
    const TypeRecord* known = recordNamed(word);
    if (!known || !(known->languages & currentMode())) return false;
    size = {known->sizes[slot], (known->flags & kInexact) != 0};
  }
  if (!anyWord) return false;
  if (pointer) size = {pointerSize_, false};
  registerType(name, kTypedef, size.bytes, size.inexact, currentMode());
  return true;
}

void TypeTable::copyFrom(const TypeTable& settings) {
  version_ = newRecordsVersion();
  if (records_.empty()) records_.swap(setAside_);
  copied_.copy(records_, settings.records_, settings.version_,
               [](TypeRecord& r, const TypeRecord& kept) { r.flags = kept.flags; });
  order_ = settings.order_;
  index_ = settings.index_;
  filter_ = settings.filter_;
  usedRecords_ = settings.usedRecords_;
  pointerSize_ = settings.pointerSize_;
}

void TypeTable::endFile(int mode) {
  if (!(mode & kModeVbOrDelphi)) {
    setAside_.swap(records_);
    clear();
    return;
  }
  forgetUses();
}

void TypeTable::forgetUses() {
  for (std::uint32_t position : usedRecords_) records_[position].flags &= ~kUsed;
  usedRecords_.clear();
}
