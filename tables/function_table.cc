#include "tables/function_table.h"

#include <algorithm>

#include "context/file_name_pool.h"
#include "context/options.h"
#include "context/source_context.h"
#include "context/text_util.h"
#include "report/error_log.h"
#include "context/language_mode.h"
#include "scan/lexical_rules.h"
#include "tables/class_table.h"
#include "scan/sorted_search.h"
#include "tables/table_log.h"

// A large run holds one record per function: its fields lie without gaps.
static_assert(sizeof(FunctionRecord) == sizeof(std::string) + sizeof(CommentStore::Ref) +
                                            8 * sizeof(std::int32_t) +
                                            3 * sizeof(std::vector<int>));

namespace {

const char kGlobalScopeMark[] = "グローバル関数";

std::uint32_t recordFlagsOf(std::uint32_t registration, bool creating) {
  std::uint32_t flags = 0;
  if (registration & Registration::kDefined) flags |= FunctionFlag::kKnown;
  if (registration & Registration::kFunctionPointer) flags |= FunctionFlag::kFunctionPointer;
  if (registration & Registration::kInterrupt) flags |= FunctionFlag::kInterrupt;
  if (registration & Registration::kOperator) flags |= FunctionFlag::kOperator;
  if (creating && (registration & Registration::kCallSite)) flags |= FunctionFlag::kCallSiteOnly;
  return flags;
}

// "A::B" -> "B"; a name without ':' is returned whole.
std::string_view afterLastColon(std::string_view name) {
  size_t colon = name.rfind(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string constructorKey(std::string_view className, bool isDestructor) {
  std::string key(className);
  key += "::";
  if (isDestructor) key += '~';
  key += afterLastColon(className);
  return key;
}

}  // namespace

FunctionTable::FunctionTable(const Options& options, const SourceContext& context,
                             FileNamePool& fileNames, const ClassTable& classes)
    : options_(options), context_(context), fileNames_(fileNames), classes_(classes) {}

// ---------------------------------------------------------------------------
// Keys

// "@" and the main file's path: "main" and VB form procedures carry it so
// that each program keeps its own. The context shows the main file's path
// only while no header is open, so it is remembered for the headers.
std::string FunctionTable::mainFileSuffix() const {
  const std::string& name = context_.mainFileName(true);
  if (context_.depth() == 1) {
    mainName_ = name;
    mainPath_ = context_.topPath();
  }
  return "@" + (name == mainName_ ? mainPath_ : name);
}

std::string FunctionTable::qualifiedKey(const DeclInfo& decl) const {
  return qualifiedKey(keyPartsOf(decl));
}

std::string FunctionTable::qualifiedKey(const KeyParts& decl) const {
  // One allocation for the usual key, however many parts it has.
  std::string key;
  key.reserve(decl.nameSpace.size() + decl.className.size() + decl.name.size() + 4);
  for (std::string_view scope : {decl.nameSpace, decl.className}) {
    if (scope.empty()) continue;
    key += scope;
    key += "::";
  }
  key += decl.name;
  int mode = context_.languageMask();
  if (mode & kModeVbOrDelphi) {
    // Their parsers name a routine's class or unit; a VB module's Private
    // routine belongs to its file.
    if (decl.fileLocal) key += mainFileSuffix();
  } else if (decl.name == "main") {
    key += mainFileSuffix();
  } else if ((mode & kModeCOrCpp) && key.size() == decl.name.size()) {
    if (decl.fileLocal) return key + "@" + context_.topPath();
    if (!fileLocal_.empty()) {
      auto local = fileLocal_.find(key);  // the key is the name alone
      if (local != fileLocal_.end()) return records_[local->second].key;
    }
  }
  return key;
}

std::string_view FunctionTable::displayName(const FunctionRecord& record,
                                            std::string& scratch) const {
  if (!(record.flags & FunctionFlag::kOperator)) return record.key;
  size_t colon = record.key.rfind(':');
  if (colon == std::string::npos) return record.key;
  std::string_view key = record.key;
  scratch.assign(key.substr(0, colon + 1)).append("operator ").append(key.substr(colon + 1));
  return scratch;
}

// ---------------------------------------------------------------------------
// Search and registration

bool FunctionTable::Func_Search(std::string_view key, int& position) const {
  settleSorted();
  if (key.empty()) {
    errorLog() << "NULL関数を検索しようとしています。[Func_Search](内部ｴﾗｰ)\n";
    position = -1;
    return false;
  }
  bool found = false;
  position = searchSorted(
      static_cast<int>(sorted_.size()), key,
      [this](int i) -> std::string_view { return records_[sorted_[i]].key; }, found);
  return found;
}

bool FunctionTable::exists(std::string_view key) const { return searchRecord(key) >= 0; }

int FunctionTable::recordOf(std::string_view key) const {
  if (key.empty()) return -1;
  return keys_.positionOf(
      key, [this](std::uint32_t n) -> std::string_view { return records_[n].key; },
      [&] {
        int position;
        return Func_Search(key, position) ? sorted_[position] : -1;
      });
}

void FunctionTable::cutKey(int n, size_t length) {
  std::string& key = records_[n].key;
  if (length >= key.size()) return;
  settleOrder();
  order_.uniform = false;
  keys_.abandon();
  key.resize(length);
  ++changes_;
}

int FunctionTable::searchRecord(std::string_view key) const {
  int position;
  if (key.empty()) return Func_Search(key, position) ? sorted_[position] : -1;
  return recordOf(key);
}

int FunctionTable::Func_SetSub(std::string_view key, std::uint32_t registration) {
  int number = setSubRecord(key, registration);
  if (number < 0) return -1;
  int position;
  Func_Search(key, position);
  return position;
}

int FunctionTable::setSubRecord(std::string_view key, std::uint32_t registration) {
  if (key.empty() || key[0] == ' ') {
    errorLog() << positionPrefix(&context_)
               << ": NULL関数を登録しようとしています。[Func_SetSub](内部ｴﾗｰ)\n";
    return -1;
  }
  int number = recordOf(key);
  if (number >= 0) {
    records_[number].flags |= recordFlagsOf(registration, false);
    return number;
  }
  return createRecord(key, registration);
}

int FunctionTable::createRecord(std::string_view key, std::uint32_t registration) {
  if (records_.empty()) order_.begin();
  int position = -1;
  if (!orderMayWait()) {
    order_.uniform = false;
    Func_Search(key, position);
  }
  FunctionRecord record;
  record.key.assign(key);
  record.flags = recordFlagsOf(registration, true);
  int number = recordCount();
  records_.push_back(std::move(record));
  if (position < 0)
    unsorted_.push_back(number);
  else
    sorted_.insert(sorted_.begin() + position, number);
  keys_.add(key, static_cast<std::uint32_t>(number));
  return number;
}

bool FunctionTable::orderMayWait() const { return order_.holds() && keys_.usable(); }

void FunctionTable::settleSorted() const {
  if (unsorted_.empty()) return;
  sortByName(unsorted_, order_.folded, keyOfRecord());
  mergeWaiting(sorted_, unsorted_, [this](int a, int b) {
    return compareNamesAs(order_.folded, records_[a].key, records_[b].key) < 0;
  });
}

void FunctionTable::settleCallers() {
  if (!callersUnsorted_) return;
  for (FunctionRecord& r : records_)
    if (r.callers.size() > 1) sortByName(r.callers, order_.folded, keyOfRecord());
  callersUnsorted_ = false;
}

void FunctionTable::settleOrder() {
  settleSorted();
  settleCallers();
}

// The pool holds the names as the source context shows them (the short
// name, or the path with the tag-jump option); a path is tried both ways.
int FunctionTable::fileNoOf(std::string_view path) const {
  int id = fileNames_.find(std::string(path));
  return id ? id : fileNames_.find(fileNamePart(path));
}

void FunctionTable::registerDefinition(const DeclInfo& decl, std::uint32_t registration,
                                       std::string_view comment) {
  std::string key = qualifiedKey(decl);
  int number = setSubRecord(key, registration);
  if (number < 0) return;
  if (decl.fileLocal) noteFileLocal(decl.name, number);
  FunctionRecord& r = records_[number];
  // A function declared or defined wins over a function-pointer variable
  // of its name: its position, file and remark are the function's.
  constexpr std::uint32_t kPointer = Registration::kFunctionPointer;
  if ((r.flags & FunctionFlag::kFunctionPointer) && !(registration & kPointer) &&
      (registration & Registration::kDefined)) {
    r.flags &= ~(FunctionFlag::kFunctionPointer | FunctionFlag::kBodyAnalysed);
    ++changes_;
    r.steps = 0;
  }
  bool analysed = (r.flags & FunctionFlag::kBodyAnalysed) != 0;
  if (!(registration & Registration::kKeepPosition) && !analysed && decl.line != 0) {
    r.line = decl.line;
    r.fileNo = fileNoOf(context_.item(0));
    setDefinitionPath(number, context_.topPath());
    knownCountsStale_ = true;
  }
  // The comment of the definition wins over that of an earlier prototype.
  // It ends with a line break, so that a comment on the header's own line
  // stands on a line of its own in the details.
  if (!comment.empty() && (r.comment.empty() || !analysed)) {
    if (comment.back() == '\n') {
      r.comment = comments_.add(comment, r.comment);
    } else {
      commentLine_.assign(comment).push_back('\n');
      r.comment = comments_.add(commentLine_, r.comment);
    }
  }
  if (r.returnType == TextPool::kEmpty) r.returnType = texts_.add(decl.returnType);
  if (!analysed || r.arguments == TextPool::kEmpty) r.arguments = texts_.add(decl.arguments);
}

void FunctionTable::withdrawHeader(const DeclInfo& decl) {
  int number = searchRecord(qualifiedKey(decl));
  if (number < 0) return;
  FunctionRecord& r = records_[number];
  if ((r.flags & FunctionFlag::kBodyAnalysed) || !r.callers.empty() || !r.callees.empty()) return;
  r.flags &= ~FunctionFlag::kKnown;
  ++changes_;
  r.line = 0;
  r.fileNo = 0;
  setDefinitionPath(number, std::string());
  r.returnType = r.arguments = TextPool::kEmpty;
  r.comment = CommentStore::Ref();
  knownCountsStale_ = true;
}

void FunctionTable::setBodyInfo(const DeclInfo& decl, std::int32_t steps, StackUse use) {
  if (decl.name.empty()) return;
  int number = searchRecord(qualifiedKey(decl));
  if (number < 0) return;
  FunctionRecord& r = records_[number];
  r.steps = steps;
  r.stackBytes = use.bytes;
  r.flags |= FunctionFlag::kBodyAnalysed;
  if (use.inexact) r.flags |= FunctionFlag::kStackIncomplete;
  if (r.fileNo == 0 && !decl.filePath.empty()) {
    r.fileNo = fileNoOf(decl.filePath);
    setDefinitionPath(number, decl.filePath);
  }
  knownCountsStale_ = true;
}

// ---------------------------------------------------------------------------
// Links

int FunctionTable::linkPosition(const std::vector<int>& list, int other, bool callSite) const {
  const Options& options = options_;
  if (!options.noFunctionSort) {
    bool found = false;
    int at = searchSorted(
        static_cast<int>(list.size()), records_[other].key,
        [&](int i) -> std::string_view { return records_[list[i]].key; }, found);
    return found ? -1 : at;
  }
  bool keepDuplicates = options.showDuplicateChildren && callSite;
  if (!keepDuplicates && std::find(list.begin(), list.end(), other) != list.end()) return -1;
  return static_cast<int>(list.size());
}

FunctionTable::Link FunctionTable::addLink(int caller, int callee, bool callSite) {
  std::vector<int>& callees = records_[caller].callees;
  int at = linkPosition(callees, callee, callSite);
  if (at < 0) return Link::kAlreadyLinked;
  callees.insert(callees.begin() + at, callee);
  std::vector<int>& callers = records_[callee].callers;
  // Under the order's comparison the caller is not among them yet (its
  // callees did not hold the callee): it waits at the end.
  if (!options_.noFunctionSort) {
    if (orderMayWait()) {
      callers.push_back(caller);
      callersUnsorted_ = true;
      return Link::kAdded;
    }
    order_.uniform = false;
    settleCallers();
  }
  at = linkPosition(callers, caller, callSite);
  if (at >= 0) callers.insert(callers.begin() + at, caller);
  return Link::kAdded;
}

std::string FunctionTable::boundClass(std::string_view className, std::string_view name,
                                      bool& logged) const {
  std::string owner = classes_.resolveMember(className, name);
  logged = logged || classes_.lastSearchLogged();
  return owner;
}

void FunctionTable::bindCaller(const KeyParts& caller, bool& logged) {
  caller_.boundClass.assign(caller.className);
  if (!caller.className.empty()) {
    std::string owner = boundClass(caller.className, caller.name, logged);
    if (!owner.empty()) caller_.boundClass = std::move(owner);
  }
  KeyParts from = caller;
  from.className = caller_.boundClass;
  caller_.key = qualifiedKey(from);
}

std::string FunctionTable::calleeKey(KeyParts to, bool& logged) const {
  std::string owner;  // the bound class, which the parts may view
  // A plain call may be a member of the caller's class; a call its
  // namespace names (`impl::f()`) is not, whatever the class declares.
  if (to.className.empty() && to.nameSpace.empty()) {
    owner = boundClass(caller_.boundClass, to.name, logged);
    to.className = owner;
  } else if (to.className == kGlobalScopeMark) {
    to.className = {};
  } else {
    owner = boundClass(to.className, to.name, logged);
    if (!owner.empty()) to.className = owner;
  }
  return qualifiedKey(to);
}

void FunctionTable::SetChainAto(const KeyParts& caller, const KeyParts& callee,
                                std::uint32_t registration) {
  if (caller.name.empty() || callee.name.empty()) {
    errorLog() << "内部ｴﾗｰが発生しまた。内部関数名 [SetChainAto]\n"
               << "    親関数名  [" << caller.name << "]\n"
               << "    子関数名  [" << callee.name << "]\n";
    return;
  }
  if (linkedBefore(caller, callee, registration)) return;
  bool logged = false;
  if (!caller_.bound) {
    bindCaller(caller, logged);
    caller_.bound = !logged;  // a search that logged is made again, to log again
  }
  std::string calleeKey = this->calleeKey(callee, logged);
  bool keep = !logged && !options_.showDuplicateChildren;
  if (linkKeys(caller_.key, calleeKey, registration) && keep) linkedCalls_.keep(true);
}

bool FunctionTable::linkKeys(std::string_view callerKey, std::string_view calleeKey,
                             std::uint32_t registration) {
  if (sameName(callerKey, calleeKey)) {
    int number = setSubRecord(callerKey, Registration::kDefined);
    if (number < 0) return false;
    records_[number].flags |= FunctionFlag::kRecursive;
    return true;
  }
  // A call does not make its callee known: only a definition or declaration
  // read in the sources does, so a library function that is only called
  // stays out of the reports and does not count as a visible callee.
  std::uint32_t calleeRegistration =
      (registration & ~Registration::kDefined) | Registration::kCallSite;
  int calleeRecord = setSubRecord(calleeKey, calleeRegistration);
  if (calleeRecord < 0) return false;
  int callerRecord = setSubRecord(callerKey, Registration::kDefined);
  if (callerRecord < 0) return false;
  addLink(callerRecord, calleeRecord, true);
  return true;
}

bool FunctionTable::isDefined(std::string_view key) const {
  int number = recordOf(key);
  return number >= 0 && (records_[number].flags & FunctionFlag::kKnown);
}

bool FunctionTable::isStructorWritten(std::string_view className, bool isDestructor) const {
  int number = recordOf(constructorKey(className, isDestructor));
  return number >= 0 && records_[number].fileNo != 0;
}

// The record leaves its place in the key order and the key index and takes
// the new key's.
// Checked first, then applied, so that every check sees the keys as they
// were; the renamed records take their places in the key order at once.
void FunctionTable::rekey(std::vector<Rekey>& renames) {
  settleSorted();
  for (Rekey& k : renames) {
    const FunctionRecord& r = records_[k.record];
    k.done = r.callers.empty() && r.callees.empty() && recordOf(k.key) < 0;
  }
  std::vector<char> moved(records_.size(), 0);
  for (const Rekey& k : renames) {
    if (!k.done) continue;
    FunctionRecord& r = records_[k.record];
    keys_.remove(r.key, keyOfRecord());
    r.key.assign(k.key);
    keys_.add(k.key, static_cast<std::uint32_t>(k.record));
    moved[k.record] = 1;
    unsorted_.push_back(k.record);
  }
  if (unsorted_.empty()) return;
  std::erase_if(sorted_, [&moved](int n) { return moved[n] != 0; });
  if (!orderMayWait()) settleSorted();
  ++changes_;
}

// Whether the call was linked under the same keys and flags since the
// last change; if not, the link is kept as the answer when it is made. A
// call that wrote to the log is never kept, so that it is told every time. With repeated
// callees shown, every call is a link of its own.
bool FunctionTable::linkedBefore(const KeyParts& caller, const KeyParts& callee,
                                 std::uint32_t registration) {
  QuestionMemo<bool>::Stamp stamp;
  stamp.counts[0] = changes_;
  stamp.counts[1] = classes_.generation();
  stamp.counts[2] = context_.changes();
  stamp.counts[3] = caller.fileLocal;  // the rest of the asker
  stamp.folded = caseInsensitiveNames();
  if (linkedCalls_.startQuestions(stamp, {caller.nameSpace, caller.className, caller.name}))
    caller_.bound = false;
  const std::uint64_t flags = std::uint64_t{callee.fileLocal} << 32 | registration;
  return linkedCalls_.ask(
             std::array<std::string_view, 3>{callee.nameSpace, callee.className, callee.name},
             flags) != nullptr;
}

void FunctionTable::linkBaseConstructors(const std::string& className, int record,
                                         bool isDestructor, int depth) {
  if (depth > kMaxBaseDepth) return;
  int count = classes_.baseCount(className);
  for (int i = 0; i < count; ++i) {
    std::string base = classes_.baseName(className, i);
    int baseRecord = recordOf(constructorKey(base, isDestructor));
    if (base.empty() || baseRecord < 0) continue;
    if (addLink(record, baseRecord, false) == Link::kAlreadyLinked) return;
    linkBaseConstructors(base, baseRecord, isDestructor, depth + 1);
  }
}

void FunctionTable::linkBaseStructors(std::string_view className, bool isDestructor) {
  int record = recordOf(constructorKey(className, isDestructor));
  if (record < 0) return;
  std::string derived(className);
  int count = classes_.baseCount(derived);
  for (int i = 0; i < count; ++i) {
    std::string base = classes_.baseName(derived, i);
    if (base.empty() || !classes_.buildsObjects(base)) continue;
    // A base that declares its destructor is built by its constructor,
    // declared or implicit; otherwise only a declared one is shown.
    std::string key = constructorKey(base, isDestructor);
    bool implicitShown = !isDestructor && isStructorWritten(base, true);
    int baseRecord = implicitShown ? setSubRecord(key, Registration::kDefined) : recordOf(key);
    if (baseRecord < 0 || addLink(record, baseRecord, false) == Link::kAlreadyLinked) continue;
    linkBaseConstructors(base, baseRecord, isDestructor, 1);
  }
}

void FunctionTable::linkConstructorCall(std::string_view outerClass, std::string_view functionName,
                                        std::string_view className, bool isDestructor) {
  if (className.empty()) return;  // "::" is no constructor
  int constructor = setSubRecord(constructorKey(className, isDestructor), Registration::kDefined);
  if (constructor < 0) return;
  linkBaseConstructors(std::string(className), constructor, isDestructor, 0);
  std::string container;
  if (!functionName.empty()) {
    if (!outerClass.empty()) container.append(outerClass).append("::");
    container.append(functionName);
    if (sameName(functionName, "main")) container += mainFileSuffix();
  } else {
    // A member object is built by the constructor of the class holding it.
    if (outerClass.empty()) return;
    container = constructorKey(outerClass, isDestructor);
  }
  int holder = setSubRecord(container, Registration::kDefined);
  if (holder < 0) return;
  addLink(holder, constructor, false);
}

// ---------------------------------------------------------------------------
// Referenced variables, step counts, per-file counts

void FunctionTable::addReferencedVariable(const DeclInfo& decl, std::string_view variable) {
  if (decl.name.empty()) return;
  addReferencedVariableToKey(qualifiedKey(decl), variable);
}

void FunctionTable::addReferencedVariableToKey(std::string_view key, std::string_view variable) {
  int n = recordOf(key);
  if (n >= 0) addReferencedVariableToRecord(n, variable);
}

void FunctionTable::addReferencedVariableToRecord(int n, std::string_view variable) {
  if (n < 0 || n >= recordCount()) return;
  std::vector<TextPool::Id>& list = records_[n].referencedVariables;
  bool found = false;
  int at = searchSorted(
      static_cast<int>(list.size()), variable, [&](int i) { return texts_.text(list[i]); }, found);
  if (!found) list.insert(list.begin() + at, texts_.add(variable));
}

void FunctionTable::collectStepCounts() {
  stepCounts_.clear();
  for (const FunctionRecord& r : records_)
    if (r.steps != 0) stepCounts_.push_back(r.steps);
}

std::string FunctionTable::typeOfSorted(int i) const {
  settleSorted();
  if (i < 0 || i >= static_cast<int>(sorted_.size())) return std::string();
  return std::string(returnTypeOf(records_[sorted_[i]]));
}

void FunctionTable::rebuildKnownCounts() const {
  const FileNamePool* pool = &fileNames_;
  knownPerFile_.assign(pool->size() + 1, 0);
  for (const FunctionRecord& r : records_) {
    if (!(r.flags & FunctionFlag::kBodyAnalysed)) continue;
    if (r.fileNo > 0 && r.fileNo < static_cast<int>(knownPerFile_.size()))
      ++knownPerFile_[r.fileNo];
  }
  knownPerName_.clear();
  for (int id = 1; id < static_cast<int>(knownPerFile_.size()); ++id)
    if (knownPerFile_[id]) knownPerName_.emplace_back(pool->name(id), knownPerFile_[id]);
  std::stable_sort(knownPerName_.begin(), knownPerName_.end(),
                   [](const auto& a, const auto& b) { return compareNames(a.first, b.first) < 0; });
  // Names that the comparison takes as one share one sum.
  size_t kept = 0;
  for (size_t i = 0; i < knownPerName_.size(); ++i) {
    if (kept > 0 && sameName(knownPerName_[kept - 1].first, knownPerName_[i].first))
      knownPerName_[kept - 1].second += knownPerName_[i].second;
    else if (kept++ != i)
      knownPerName_[kept - 1] = std::move(knownPerName_[i]);
  }
  knownPerName_.resize(kept);
  knownCountsStale_ = false;
}

// Counts once per file id, so that asking for every registered file does
// not walk the whole table each time; names are matched through the pool,
// because under a case-insensitive comparison several ids may match.
int FunctionTable::countKnownInFile(std::string_view fileName) const {
  const FileNamePool* pool = &fileNames_;
  if (fileName.empty()) return 0;
  if (knownCountsStale_ || static_cast<int>(knownPerFile_.size()) != pool->size() + 1)
    rebuildKnownCounts();
  auto at = std::lower_bound(knownPerName_.begin(), knownPerName_.end(), fileName,
                             [](const std::pair<std::string, int>& e, std::string_view n) {
                               return compareNames(e.first, n) < 0;
                             });
  return at != knownPerName_.end() && sameName(at->first, fileName) ? at->second : 0;
}

void FunctionTable::setDefinitionPath(int record, const std::string& path) {
  int id = definitionPaths_.add(path);
  if (id == 0 && record >= static_cast<int>(definitionPathNo_.size())) return;
  if (record >= static_cast<int>(definitionPathNo_.size())) definitionPathNo_.resize(record + 1, 0);
  definitionPathNo_[record] = id;
}

std::vector<std::pair<std::string, int>> FunctionTable::knownPerPath() const {
  std::vector<int> counts(definitionPaths_.size() + 1, 0);
  for (size_t n = 0; n < definitionPathNo_.size(); ++n) {
    const FunctionRecord& r = records_[n];
    if ((r.flags & FunctionFlag::kBodyAnalysed) && r.fileNo > 0 && definitionPathNo_[n] > 0)
      ++counts[definitionPathNo_[n]];
  }
  std::vector<std::pair<std::string, int>> perPath;
  for (int id = 1; id < static_cast<int>(counts.size()); ++id)
    if (counts[id]) perPath.emplace_back(definitionPaths_.name(id), counts[id]);
  return perPath;
}

// ---------------------------------------------------------------------------
// Debug forms

std::string FunctionTable::dump() const {
  static const char kLetters[] = " R BFSCKIO";  // a blank: no flag
  std::string text;
  for (int n : sortedIndex()) {
    const FunctionRecord& r = records_[n];
    text += r.key + " [";
    for (int bit = 0; bit < 10; ++bit)
      if (kLetters[bit] != ' ' && (r.flags & (1u << bit))) text += kLetters[bit];
    text += "]";
    if (!r.callees.empty()) text += " >";
    for (int c : r.callees) text += " " + records_[c].key;
    text += "\n";
  }
  return text;
}

std::string FunctionTable::checkLinks() const {
  std::string problems;
  auto count = [](const std::vector<int>& list, int n) {
    return std::count(list.begin(), list.end(), n);
  };
  settleSorted();
  for (int a = 0; a < recordCount(); ++a) {
    for (int b : records_[a].callees)
      if (count(records_[a].callees, b) != count(records_[b].callers, a))
        problems += records_[a].key + " > " + records_[b].key + " unmatched\n";
    for (int b : records_[a].callers)
      if (count(records_[b].callees, a) == 0)
        problems += records_[a].key + " < " + records_[b].key + " unmatched\n";
  }
  for (size_t i = 1; i < sorted_.size(); ++i)
    if (compareNames(records_[sorted_[i - 1]].key, records_[sorted_[i]].key) >= 0)
      problems += "index out of order at " + records_[sorted_[i]].key + "\n";
  if (sorted_.size() != records_.size()) problems += "index size differs\n";
  return problems;
}
