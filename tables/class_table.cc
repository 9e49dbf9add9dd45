#include "tables/class_table.h"

#include <algorithm>

#include "context/file_name_pool.h"
#include "context/file_name_pool.h"
#include "context/source_context.h"
#include "tables/type_table.h"
#include "report/error_log.h"
#include "context/language_mode.h"
#include "scan/lexical_rules.h"

namespace {

std::string_view templateName(std::string_view name) { return name.substr(0, name.find('<')); }

bool containsName(const std::vector<std::string>& list, std::string_view name) {
  for (const std::string& entry : list)
    if (sameName(entry, name)) return true;
  return false;
}

std::string_view nameOf(const std::string& method) { return method; }
std::string_view nameOf(const MemberVariable& member) { return member.name; }

// From this length on, a method or member list is searched by its index: a
// class of a big hierarchy is asked for its members at every name a method
// body mentions.
constexpr size_t kIndexedFrom = 12;

// The position of `name` in a record's method or member list, or -1.
template <class Entry>
int positionIn(const std::vector<Entry>& list, const NameIndex& index, std::string_view name) {
  auto walk = [&] {
    for (size_t k = 0; k < list.size(); ++k)
      if (sameName(nameOf(list[k]), name)) return static_cast<int>(k);
    return -1;
  };
  if (index.size() != list.size()) return walk();  // a short list has no index
  return index.positionOf(
      name, [&list](std::uint32_t k) { return nameOf(list[k]); }, walk);
}

// After an entry was appended: a list that has become long gets its index.
template <class Entry>
void indexAppended(const std::vector<Entry>& list, NameIndex& index) {
  if (list.size() < kIndexedFrom) return;
  size_t from = list.size() - 1;
  if (list.size() == kIndexedFrom) {
    index.clear();
    from = 0;
  }
  for (size_t k = from; k < list.size(); ++k)
    index.add(nameOf(list[k]), static_cast<std::uint32_t>(k));
}

}  // namespace

ClassTable::ClassTable(const Options& options, const SourceContext& context,
                       const FileNamePool& fileNames, TypeTable& types)
    : options_(options), context_(context), fileNames_(fileNames), types_(types) {}

int ClassTable::currentMode() const { return context_.languageFlavour(); }

// ---------------------------------------------------------------------------
// Search

// Records of one name but different languages lie side by side; the one of
// the current language may be any of them, so the neighbours of an equal
// name are looked at too.
bool ClassTable::findClass(std::string_view name, int& position) const {
  position = 0;
  name = templateName(name);
  if (name.empty()) return false;
  int lo = 0;
  int hi = recordCount() - 1;
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    if (record(mid).name.empty()) {
      errorLog() << "class検索において異常が発生しました(内部ｴﾗｰ)\n";
      position = mid;
      return false;
    }
    int order = compareNames(name, record(mid).name);
    if (order == 0) {
      int match = sameNameInLanguage(mid, name);
      position = match < 0 ? mid : match;
      return match >= 0;
    }
    if (order < 0)
      hi = mid - 1;
    else
      lo = mid + 1;
  }
  position = lo;
  return false;
}

// Among the records of `name` around position `at`, the one of the current
// language, or -1.
int ClassTable::sameNameInLanguage(int at, std::string_view name) const {
  int mode = currentMode();
  for (int i = at; i >= 0 && sameName(record(i).name, name); --i)
    if (record(i).languageMode & mode) return i;
  for (int i = at + 1; i < recordCount() && sameName(record(i).name, name); ++i)
    if (record(i).languageMode & mode) return i;
  return -1;
}

// The record of the current language among those of the name, when exactly
// one has it; the sorted search decides between several as it always did.
int ClassTable::lookUpIndexed(std::string_view name) const {
  if (!byName_.usable()) return kAskTheList;
  const std::uint32_t* head =
      byName_.find(name, [this](std::uint32_t at) -> std::string_view { return store_[at].name; });
  if (!head) return -1;
  int mode = currentMode();
  int match = -1;
  for (std::int32_t at = static_cast<std::int32_t>(*head); at >= 0; at = nextOfName_[at]) {
    if (!(store_[at].languageMode & mode)) continue;
    if (match >= 0) return kAskTheList;
    match = at;
  }
  return match;
}

int ClassTable::lookUp(std::string_view name) const {
  name = templateName(name);
  if (name.empty()) return -1;
  int at = lookUpIndexed(name);
  if (at != kAskTheList) return at;
  int position;
  return findClass(name, position) ? static_cast<int>(order_[position]) : -1;
}

void ClassTable::indexRecord(std::uint32_t at) {
  if (nextOfName_.size() <= at) nextOfName_.resize(at + 1, -1);
  nextOfName_[at] = -1;
  if (!byName_.usable()) {
    byName_.abandon();  // it would miss this record once usable again
    return;
  }
  auto nameOf = [this](std::uint32_t n) -> std::string_view { return store_[n].name; };
  if (const std::uint32_t* head = byName_.find(store_[at].name, nameOf)) {
    nextOfName_[at] = nextOfName_[*head];
    nextOfName_[*head] = static_cast<std::int32_t>(at);
  } else {
    byName_.add(store_[at].name, at);
  }
}

// Before the record's name changes or the record leaves the name order.
void ClassTable::unindexRecord(std::uint32_t at) {
  if (!byName_.usable()) {
    byName_.abandon();
    return;
  }
  auto nameOf = [this](std::uint32_t n) -> std::string_view { return store_[n].name; };
  const std::uint32_t* head = byName_.find(store_[at].name, nameOf);
  if (!head) return;
  if (*head == at) {
    byName_.remove(store_[at].name, nameOf);
    if (nextOfName_[at] >= 0)
      byName_.add(store_[at].name, static_cast<std::uint32_t>(nextOfName_[at]));
    return;
  }
  for (std::int32_t p = static_cast<std::int32_t>(*head); p >= 0; p = nextOfName_[p]) {
    if (nextOfName_[p] != static_cast<std::int32_t>(at)) continue;
    nextOfName_[p] = nextOfName_[at];
    return;
  }
}

const ClassRecord* ClassTable::find(std::string_view name) const {
  int at = lookUp(name);
  return at >= 0 ? &store_[at] : nullptr;
}

bool ClassTable::exists(std::string_view name) const { return find(name) != nullptr; }

bool ClassTable::isClass(std::string_view name) const {
  const ClassRecord* r = find(name);
  return r && r->kind == kClass;
}

bool ClassTable::buildsObjects(std::string_view name) const {
  const ClassRecord* r = find(name);
  return r && (r->kind == kClass || r->structureClass);
}

bool ClassTable::markUsed(std::string_view name) {
  int at = lookUp(name);
  if (at >= 0) setUsed(static_cast<std::uint32_t>(at));
  return at >= 0;
}

void ClassTable::setUsed(std::uint32_t at) {
  if (store_[at].used) return;
  store_[at].used = 1;
  usedRecords_.push_back(at);
}

// ---------------------------------------------------------------------------
// Registration

void ClassTable::registerClass(std::string_view name, int used, int kind) {
  // Records are kept under the template name, the form every lookup uses.
  name = templateName(name);
  if (name.empty()) return;
  int position;
  if (findClass(name, position)) {
    if (kind != kClass) return;
    errorLog() << "  " << name << "は既に登録済みです[class]\n";
    return;
  }
  int mode = currentMode();
  if (name[0] != '@')
    types_.registerType(name, kind == kClassLike ? TypeTable::kStructure : TypeTable::kClass, 0,
                        false, mode);
  ClassRecord record;
  record.kind = kind;
  record.name.assign(name);
  record.fileNo = fileNames_.find(context_.item(0));
  record.languageMode = mode;
  auto at = static_cast<std::uint32_t>(store_.size());
  restored_.changing(at);
  order_.insert(order_.begin() + position, at);
  store_.push_back(std::move(record));
  indexRecord(at);
  recordsChanged();
  if (used) setUsed(at);
}

void ClassTable::registerSettingsClass(std::string_view name) {
  registerClass(name, 0, kClass);
  settingsClasses_.insert(templateName(name));
}

void ClassTable::markStructureClass(std::string_view name) {
  int at = lookUp(name);
  if (at < 0 || store_[at].structureClass) return;
  restored_.changing(at);
  store_[at].structureClass = true;
}

void ClassTable::addBase(std::string_view className, std::string_view base) {
  if (className.empty()) return;
  int at = lookUp(className);
  if (at < 0) {
    errorLog() << "ｸﾗｽ[" << className << "]において継承を行おうとしましたが、"
               << "基本ｸﾗｽ[" << base << "]が登録されていません(内部ｴﾗｰ)\n";
    return;
  }
  ClassRecord* r = &store_[at];
  if (containsName(r->bases, base)) return;
  restored_.changing(at);
  r->bases.emplace_back(base);
  recordsChanged();
}

void ClassTable::addMethod(const DeclInfo& decl) {
  if (decl.className.empty()) return;
  if (!exists(decl.className)) {
    errorLog() << "未登録ｸﾗｽ[" << decl.className << "]に対してﾒｿｯﾄﾞ登録[" << decl.name
               << "]をしようとしています(内部ｴﾗｰ)\n";
    registerClass(decl.className, 1, kClass);
  }
  int at = lookUp(decl.className);
  if (at < 0) return;
  setUsed(static_cast<std::uint32_t>(at));
  ClassRecord* r = &store_[at];
  if (positionIn(r->methods, r->methodIndex, decl.name) >= 0) return;
  restored_.changing(at);
  r->methods.push_back(decl.name);
  indexAppended(r->methods, r->methodIndex);
  recordsChanged();
}

void ClassTable::addMember(std::string_view className, std::string_view type,
                           std::string_view member, int size, int flags, bool object) {
  if (!exists(className)) registerClass(className, 0, kClassLike);
  int at = lookUp(className);
  if (at < 0) return;
  ClassRecord* r = &store_[at];
  if (positionIn(r->members, r->memberIndex, member) >= 0) return;
  restored_.changing(at);
  r->members.push_back({std::string(type), std::string(member), size, object});
  indexAppended(r->members, r->memberIndex);
  recordsChanged();
  r->sizeBytes += size;
  r->sizeFlags |= flags;
}

void ClassTable::renameClass(std::string_view oldName, std::string_view newName) {
  // An empty new name would leave a record that no search can pass.
  if (templateName(newName).empty()) return;
  int position;
  if (!findClass(oldName, position)) return;
  std::uint32_t renamed = order_[position];
  restored_.changing(renamed);
  recordsChanged();
  unindexRecord(renamed);
  order_.erase(order_.begin() + position);
  std::string& name = store_[renamed].name;
  name.assign(templateName(newName));
  if (findClass(name, position)) {  // the new name is taken: the record goes
    std::erase(usedRecords_, renamed);
    return;
  }
  order_.insert(order_.begin() + position, renamed);
  indexRecord(renamed);
}

// ---------------------------------------------------------------------------
// Queries

std::string ClassTable::baseName(std::string_view className, int i) const {
  const ClassRecord* r = find(className);
  if (!r || i < 0 || i >= static_cast<int>(r->bases.size())) return std::string();
  return r->bases[i];
}

int ClassTable::baseCount(std::string_view className) const {
  const ClassRecord* r = find(className);
  return r ? static_cast<int>(r->bases.size()) : 0;
}

int ClassTable::sizeOf(std::string_view className, int& flags) const {
  const ClassRecord* r = find(className);
  flags = r ? r->sizeFlags : 0;
  return r ? r->sizeBytes : 0;
}

// Pushes a class onto the lookup's path; false (with the cycle message)
// when it is on the path already, or when the lookup has used its budget.
bool ClassTable::enterPath(int at, int& budget) const {
  if (std::find(path_.begin(), path_.end(), at) != path_.end()) {
    errorLog() << "基本ｸﾗｽ検索において無限ﾙｰﾌﾟに陥りました。\n";
    walkLogged_ = true;
    return false;
  }
  if (--budget < 0) return false;
  path_.push_back(at);
  return true;
}

// The question is its two names, then its kind and the language of the
// lookup; the records and the comparison are the stamp.
const ClassTable::WalkAnswer* ClassTable::keptAnswer(char kind, std::string_view className,
                                                     std::string_view name) const {
  QuestionMemo<WalkAnswer, 4096>::Stamp stamp;
  stamp.counts[0] = generation_;
  stamp.folded = caseInsensitiveNames();
  answers_.startQuestions(stamp, {});
  std::uint64_t tail = static_cast<std::uint64_t>(static_cast<std::uint32_t>(currentMode())) << 8 |
                       static_cast<unsigned char>(kind);
  return answers_.ask(std::array{className, name}, tail);
}

void ClassTable::keepAnswer(WalkAnswer answer) const {
  if (walkLogged_) return;  // the walk must be made again, to log again
  answers_.keep(answer);
}

std::string ClassTable::resolveMember(std::string_view className, std::string_view function) const {
  walkLogged_ = false;
  if (className.empty()) return std::string();
  if (const WalkAnswer* kept = keptAnswer('m', className, function))
    return kept->owner < 0 ? std::string() : store_[kept->owner].name;
  int at = lookUp(className);
  const ClassRecord* owner = nullptr;
  int ownerAt = -1;
  if (at >= 0) {
    path_.clear();
    int budget = kVisitBudget;
    owner = resolveMemberAt(at, function, budget);
    if (owner) ownerAt = path_.empty() ? at : path_.back();
  }
  keepAnswer({ownerAt, -1});
  return owner ? owner->name : std::string();
}

const ClassRecord* ClassTable::resolveMemberAt(int at, std::string_view function,
                                               int& budget) const {
  if (!enterPath(at, budget)) return nullptr;
  const ClassRecord& r = store_[at];
  if (positionIn(r.methods, r.methodIndex, function) >= 0) return &r;
  for (const std::string& base : r.bases) {
    int baseAt = lookUp(base);
    if (baseAt < 0) continue;
    if (const ClassRecord* owner = resolveMemberAt(baseAt, function, budget)) return owner;
  }
  path_.pop_back();
  return nullptr;
}

const MemberVariable* ClassTable::findMemberVariable(std::string_view className,
                                                     std::string_view variable,
                                                     const ClassRecord*& owner) const {
  owner = nullptr;
  walkLogged_ = false;
  if (const WalkAnswer* kept = keptAnswer('v', className, variable)) {
    if (kept->owner < 0) return nullptr;
    owner = &store_[kept->owner];
    return &owner->members[kept->member];
  }
  int at = lookUp(className);
  const MemberVariable* m = nullptr;
  WalkAnswer answer;
  if (at >= 0) {
    path_.clear();
    int budget = kVisitBudget;
    m = findVariableAt(at, variable, answer, budget);
    if (m) owner = &store_[answer.owner];
  }
  keepAnswer(answer);
  return m;
}

const MemberVariable* ClassTable::findVariableAt(int at, std::string_view variable,
                                                 WalkAnswer& found, int& budget) const {
  const ClassRecord& r = store_[at];
  if (int k = positionIn(r.members, r.memberIndex, variable); k >= 0) {
    found = {at, k};
    return &r.members[k];
  }
  if (!enterPath(at, budget)) return nullptr;
  for (const std::string& base : r.bases) {
    int baseAt = lookUp(base);
    if (baseAt < 0) continue;
    if (const MemberVariable* m = findVariableAt(baseAt, variable, found, budget)) return m;
  }
  path_.pop_back();
  return nullptr;
}

std::string ClassTable::memberReference(const ClassRecord& owner, const MemberVariable& member,
                                        std::string_view variable) {
  std::string text = owner.name.empty() ? std::string() : owner.name + "::";
  return text + member.type + " " + std::string(variable);
}

// ---------------------------------------------------------------------------
// Per-file reset and debug form

bool ClassTable::keptAcrossFiles() const {
  return (context_.languageMask() & kModeVbOrDelphi) != 0;
}

void ClassTable::forgetUses() {
  for (std::uint32_t at : usedRecords_) store_[at].used = 0;
  usedRecords_.clear();
}

void ClassTable::resetAfterFile() {
  if (keptAcrossFiles()) {
    forgetUses();
    return;
  }
  usedRecords_.clear();
  recordsChanged();
  setAside_.swap(store_);
  store_.clear();
  order_.clear();
  byName_.clear();
  nextOfName_.clear();
  settingsClasses_.clear();
  aliases_.clear();
  pointerAliases_.clear();
}

ClassTable::Records ClassTable::records() const {
  return Records{store_, order_, byName_, nextOfName_, settingsClasses_, newRecordsVersion()};
}

void ClassTable::restore(const Records& records) {
  recordsChanged();
  if (store_.empty()) store_.swap(setAside_);
  restored_.copy(store_, records.store, records.version,
                 [](ClassRecord& r, const ClassRecord& kept) { r.used = kept.used; });
  order_ = records.order;
  byName_ = records.byName;
  nextOfName_ = records.nextOfName;
  settingsClasses_ = records.settingsClasses;
  usedRecords_.clear();
  for (std::uint32_t at = 0; at < store_.size(); ++at)
    if (store_[at].used) usedRecords_.push_back(at);
}

std::string ClassTable::dump() const {
  std::string text;
  for (std::uint32_t position : order_) {
    const ClassRecord& r = store_[position];
    text += r.name + "(" + std::to_string(r.kind) + "," + std::to_string(r.languageMode) + "," +
            std::to_string(r.used) + "," + std::to_string(r.sizeBytes) + "/" +
            std::to_string(r.sizeFlags) + ")";
    if (!r.bases.empty()) text += " :";
    for (const std::string& b : r.bases) text += " " + b;
    if (!r.methods.empty()) text += " {";
    for (size_t i = 0; i < r.methods.size(); ++i) text += (i ? " " : "") + r.methods[i];
    if (!r.methods.empty()) text += "}";
    for (const MemberVariable& m : r.members)
      text += " [" + m.type + " " + m.name + " " + std::to_string(m.value) + "]";
    text += "\n";
  }
  return text;
}
