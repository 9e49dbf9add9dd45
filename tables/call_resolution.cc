#include "tables/call_resolution.h"

#include <algorithm>
#include <unordered_set>

#include "context/language_mode.h"
#include "context/options.h"
#include "context/source_context.h"
#include "report/error_log.h"
#include "tables/class_table.h"
#include "tables/function_table.h"

namespace {

// Inheritance deeper than this is taken for a cycle.
constexpr int kMaxBaseWalk = 64;

const char kUnknownClassMark[] = "(不明)";

}  // namespace

CallResolution::CallResolution(const Options& options, SourceContext& context,
                               const ClassTable& classes, FunctionTable& functions)
    : options_(options), context_(context), classes_(classes), functions_(functions) {}

std::string CallResolution::folded(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// ---------------------------------------------------------------------------
// What the files tell

void CallResolution::note(int language, const NotedCall& call) {
  Call c{texts_.add(call.caller),
         texts_.add(call.name),
         texts_.add(call.objectClass),
         texts_.add(call.qualifier),
         texts_.add(call.ownClass),
         texts_.add(call.scope),
         texts_.add(call.where),
         texts_.add(call.path),
         call.kind,
         static_cast<std::uint8_t>(language),
         call.weak};
  // The same call again adds nothing unless every call site is shown.
  if (!options_.showDuplicateChildren && !calls_.empty()) {
    const Call& last = calls_.back();
    if (last.caller == c.caller && last.name == c.name && last.objectClass == c.objectClass &&
        last.qualifier == c.qualifier && last.ownClass == c.ownClass && last.scope == c.scope &&
        last.kind == c.kind && last.weak == c.weak && last.language == c.language)
      return;
  }
  calls_.push_back(c);
}

void CallResolution::addModule(std::string_view name, std::string_view privateSuffix) {
  modules_[folded(name)] = std::string(privateSuffix);
}

bool CallResolution::claimClassFile(std::string_view name, std::string_view path) {
  auto [owner, added] = classFiles_.emplace(folded(name), std::string(path));
  return added || owner->second == path;
}

bool CallResolution::claimModuleRoutine(std::string_view name, std::string_view path) {
  auto routines = moduleRoutines_.find(folded(name));
  return routines == moduleRoutines_.end() || routines->second.front().path == path;
}

void CallResolution::addModuleRoutine(std::string_view name, std::string_view key,
                                      std::string_view path) {
  std::vector<ModuleRoutine>& routines = moduleRoutines_[folded(name)];
  for (const ModuleRoutine& r : routines)
    if (r.path == path) return;
  routines.push_back({std::string(key), std::string(path)});
}

// Of the modules that have a public routine `name`, the one whose folder
// shares the most with the caller's file's (the first on a tie).
std::string CallResolution::nearestModuleRoutine(std::string_view name,
                                                 std::string_view path) const {
  auto routines = moduleRoutines_.find(folded(name));
  if (routines == moduleRoutines_.end() || routines->second.size() < 2) return std::string(name);
  const ModuleRoutine* best = nullptr;
  size_t bestShared = 0;
  for (const ModuleRoutine& r : routines->second) {
    size_t shared = 0, common = 0;
    while (common < r.path.size() && common < path.size() && r.path[common] == path[common]) {
      if (r.path[common] == '/' || r.path[common] == '\\') shared = common + 1;
      ++common;
    }
    if (!best || shared > bestShared) {
      best = &r;
      bestShared = shared;
    }
  }
  return best->key;
}

void CallResolution::addImplementation(std::string_view interfaceName, std::string_view className) {
  std::vector<std::string>& classes = implementers_[folded(interfaceName)];
  for (const std::string& c : classes)
    if (equalsIgnoreCase(c, className)) return;
  classes.emplace_back(className);
}

void CallResolution::addInterface(std::string_view name) { interfaces_.insert(folded(name)); }

void CallResolution::addPropertyType(std::string_view className, std::string_view name,
                                     std::string_view type) {
  if (className.empty()) return;
  std::string key = folded(className);
  key += '\0';
  key += folded(name);
  propertyTypes_.emplace(std::move(key), std::string(type));
}

std::string CallResolution::propertyType(std::string_view className, std::string_view name) const {
  if (propertyTypes_.empty() || className.empty()) return std::string();
  // The class, then its bases (a few levels: a cycle of bases ends here).
  std::vector<std::string> classes{std::string(className)};
  for (size_t i = 0; i < classes.size() && i < 32; ++i) {
    std::string key = folded(classes[i]);
    key += '\0';
    key += folded(name);
    auto found = propertyTypes_.find(key);
    if (found != propertyTypes_.end()) return found->second;
    for (int b = 0, n = classes_.baseCount(classes[i]); b < n; ++b)
      classes.push_back(classes_.baseName(classes[i], b));
  }
  return std::string();
}

namespace {

std::string memberQuestion(std::string_view className, std::string_view name) {
  std::string key(className);
  key += '\0';
  key += name;
  return key;
}

}  // namespace

void CallResolution::addResultType(std::string_view className, std::string_view name,
                                   std::string_view type) {
  resultTypes_.emplace(memberQuestion(className, name), std::string(type));
}

std::string CallResolution::resultType(std::string_view className, std::string_view name) const {
  if (resultTypes_.empty()) return std::string();
  auto found = resultTypes_.find(memberQuestion(className, name));
  return found == resultTypes_.end() ? std::string() : found->second;
}

void CallResolution::addHelper(std::string_view helper, std::string_view helped) {
  std::vector<std::string>& helpers = helpers_[folded(helped)];
  for (const std::string& h : helpers)
    if (equalsIgnoreCase(h, helper)) return;
  helpers.emplace_back(helper);
}

void CallResolution::addDelphiBase(std::string_view base, std::string_view className) {
  delphiBases_.emplace_back(base, className);
}

// The bases that turned out to be interfaces (declared in any file).
void CallResolution::addDelphiImplementations() {
  for (const auto& [base, className] : delphiBases_)
    if (interfaces_.count(folded(base))) addImplementation(base, className);
  delphiBases_.clear();
}

void CallResolution::addNetModule(std::string_view name) { netModules_[folded(name)] = true; }

void CallResolution::addNetModuleRoutine(std::string_view module, std::string_view name) {
  std::string key(module);
  key += "::";
  key += name;
  std::vector<std::string>& keys = netModuleRoutines_[folded(name)];
  for (const std::string& k : keys)
    if (equalsIgnoreCase(k, key)) return;
  keys.push_back(std::move(key));
}

void CallResolution::addUses(std::string_view unit, std::string_view used) {
  std::string name = folded(unit);
  Unit& u = units_[name];
  std::string usedName = folded(used);
  if (std::find(u.uses.begin(), u.uses.end(), usedName) == u.uses.end())
    u.uses.push_back(std::move(usedName));
}

void CallResolution::addUnit(std::string_view unit) { units_[folded(unit)]; }

// A unit that another file of the run declared first is known by its name
// and its file's key suffix ("Unit@path"): its routines are "Unit.Name@path".
std::string CallResolution::unitRoutineKey(std::string_view unit, std::string_view name) {
  const size_t at = unit.find('@');
  std::string key(unit.substr(0, at));
  key += '.';
  key += name;
  if (at != std::string_view::npos) key += unit.substr(at);
  return key;
}

bool CallResolution::claimUnit(std::string_view unit, std::string_view path) {
  auto [owner, added] = unitFiles_.emplace(folded(unit), std::string(path));
  return added || owner->second == path;
}

void CallResolution::addUnitClass(std::string_view className, std::string_view unit,
                                  std::string_view methodSuffix) {
  std::vector<UnitClass>& units = unitClasses_[folded(className)];
  std::string unitName = folded(unit);
  for (const UnitClass& u : units)
    if (u.unit == unitName) return;
  units.push_back({std::move(unitName), units.empty() ? std::string() : std::string(methodSuffix)});
}

bool CallResolution::classTakenElsewhere(std::string_view className, std::string_view unit) const {
  auto units = unitClasses_.find(folded(className));
  if (units == unitClasses_.end() || units->second.size() < 2) return false;
  const std::string unitName = folded(unit);
  if (units->second.front().unit == unitName) return false;
  for (const UnitClass& u : units->second)
    if (u.unit == unitName) return true;
  return false;
}

// The caller's own unit's class, else that of the unit its uses clauses
// show last (of several copies of that unit, the one nearest the caller's
// file), else the first unit's.
std::string CallResolution::visibleMemberKey(std::string key, std::string_view unit,
                                             std::string_view path) const {
  if (unitClasses_.empty()) return key;
  size_t colons = key.find("::");
  if (colons == std::string::npos) return key;
  auto units = unitClasses_.find(folded(std::string_view(key).substr(0, colons)));
  if (units == unitClasses_.end() || units->second.size() < 2) return key;
  auto declaredBy = [&](const std::string& unitName) -> const UnitClass* {
    std::string_view wanted = unitBase(unitName);
    return nearestCopy(units->second, path,
                       [&](const UnitClass& u) { return unitBase(u.unit) == wanted; });
  };
  const UnitClass* seen = declaredBy(folded(unit));
  if (!seen) {
    if (const Unit* u = unitNamed(unit)) {
      for (auto used = u->uses.rbegin(); used != u->uses.rend() && !seen; ++used)
        seen = declaredBy(*used);
    }
  }
  if (seen) key += seen->suffix;
  return key;
}

void CallResolution::addUnitRoutine(std::string_view unit, std::string_view name, bool visible) {
  std::string unitName = folded(unit);
  units_[unitName];
  size_t dot = unitName.rfind('.', unitName.find('@'));
  if (dot != std::string::npos) unitShortNames_.emplace(unitName.substr(dot + 1), unitName);
  std::vector<UnitRoutine>& routines = unitRoutines_[folded(name)];
  for (UnitRoutine& r : routines) {
    if (r.unit != unitName) continue;
    r.visible = r.visible || visible;
    return;
  }
  routines.push_back({unitName, unitRoutineKey(unit, name), std::string(name), visible});
}

void CallResolution::addLibraryRoutine(std::string_view name) { library_[folded(name)] = true; }

bool CallResolution::isLibraryRoutine(std::string_view name) const {
  return !library_.empty() && library_.count(folded(name)) != 0;
}

// ---------------------------------------------------------------------------
// After the last file

void CallResolution::linkAll() {
  const int mask = context_.languageMask();
  addDelphiImplementations();
  // Every callee first: a unit routine keeps its plain name only where no
  // call leaves that name to the library.
  std::vector<std::string> callees;
  callees.reserve(calls_.size());
  std::unordered_set<std::string> libraryCalls;  // folded
  for (const Call& call : calls_) {
    const bool vb = call.language == kModeVb;
    context_.setLanguageMask(vb ? kModeVb : kModeDelphi);
    callees.push_back(vb ? vbCallee(call) : delphiCallee(call));
    const std::string& callee = callees.back();
    if (!vb && callee.find_first_of(".:") == std::string::npos) libraryCalls.insert(folded(callee));
  }
  const std::unordered_map<std::string, std::string> plain = settleUnitRoutineKeys(libraryCalls);
  auto settled = [&plain](std::string_view key) {
    auto found = plain.find(std::string(key));
    return found == plain.end() ? std::string(key) : found->second;
  };
  for (size_t i = 0; i < calls_.size(); ++i) {
    const Call& call = calls_[i];
    context_.setLanguageMask(call.language == kModeVb ? kModeVb : kModeDelphi);
    const std::string callee = settled(callees[i]);
    if (callee.empty() || (call.weak && !functions_.isDefined(callee))) continue;
    functions_.linkKeys(settled(text(call.caller)), callee, call.kind);
  }
  context_.setLanguageMask(mask);
  std::vector<Call>().swap(calls_);
  definingAnswers_.clear();
}

// A routine only one unit defines, named like no library routine and like
// no call the library answers, is shown by its name; the others keep the
// unit before it. The order of the units does not matter. Returns the
// keys changed, old to new.
std::unordered_map<std::string, std::string> CallResolution::settleUnitRoutineKeys(
    const std::unordered_set<std::string>& libraryCalls) {
  std::vector<FunctionTable::Rekey> renames;
  std::vector<UnitRoutine*> renamed;
  for (auto& [name, routines] : unitRoutines_) {
    if (routines.size() != 1 || library_.count(name) || libraryCalls.count(name)) continue;
    UnitRoutine& r = routines.front();
    int record = functions_.recordOf(r.key);
    if (record < 0) continue;
    renames.push_back({record, r.name});
    renamed.push_back(&r);
  }
  functions_.rekey(renames);
  std::unordered_map<std::string, std::string> changed;
  for (size_t i = 0; i < renames.size(); ++i) {
    if (!renames[i].done) continue;
    changed.emplace(renamed[i]->key, renames[i].key);
    renamed[i]->key = renames[i].key;
  }
  return changed;
}

// `obj.Name`: the class of obj or the base that defines Name.
std::string CallResolution::memberKey(std::string_view className, std::string_view name) const {
  std::string owner = definingClass(className, name);
  if (owner.empty()) {
    auto implementers = implementers_.find(folded(className));
    if (implementers != implementers_.end() && implementers->second.size() == 1)
      owner = definingClass(implementers->second.front(), name);
  }
  if (owner.empty() && !helpers_.empty()) {
    // Delphi: a class or record helper's method, called on the helped type.
    auto helpers = helpers_.find(folded(className));
    if (helpers != helpers_.end()) {
      for (const std::string& helper : helpers->second) {
        owner = definingClass(helper, name);
        if (!owner.empty()) break;
      }
    }
  }
  std::string key = owner.empty() ? std::string(className) : owner;
  key += "::";
  key += name;
  return key;
}

// The class and its bases, each before its own bases, until one defines
// the routine. The tables do not change while the calls are linked, so an
// answer holds for every later call of the name in the class.
std::string CallResolution::definingClass(std::string_view className, std::string_view name) const {
  std::string question = folded(className);
  question += '\0';
  question += folded(name);
  auto known = definingAnswers_.find(question);
  if (known != definingAnswers_.end()) return known->second;
  std::string answer = walkForDefiningClass(className, name);
  definingAnswers_.emplace(std::move(question), answer);
  return answer;
}

std::string CallResolution::walkForDefiningClass(std::string_view className,
                                                 std::string_view name) const {
  std::vector<std::string> pending{std::string(className)};
  std::vector<std::string> seen;
  while (!pending.empty() && static_cast<int>(seen.size()) < kMaxBaseWalk) {
    std::string c = std::move(pending.back());
    pending.pop_back();
    if (c.empty() || std::any_of(seen.begin(), seen.end(),
                                 [&](const std::string& s) { return equalsIgnoreCase(s, c); }))
      continue;
    if (functions_.isDefined(c + "::" + std::string(name))) return c;
    int bases = classes_.baseCount(c);
    for (int i = bases - 1; i >= 0; --i) pending.push_back(classes_.baseName(c, i));
    seen.push_back(std::move(c));
  }
  return std::string();
}

// ---------------------------------------------------------------------------
// VB: the own class, the module's Private routines, then the public ones

std::string CallResolution::vbCallee(const Call& call) {
  std::string_view name = text(call.name);
  std::string_view scope = text(call.scope);
  // A routine of the caller's own file first (Me.Name, Name).
  std::string_view ownClass = text(call.ownClass);
  if (!scope.empty() && !ownClass.empty() &&
      (call.objectClass == TextPool::kEmpty ? call.qualifier == TextPool::kEmpty
                                            : equalsIgnoreCase(text(call.objectClass), ownClass))) {
    std::string own = std::string(ownClass) + "::" + std::string(name) + std::string(scope);
    if (functions_.isDefined(own)) return own;
  }
  if (call.objectClass != TextPool::kEmpty) {
    std::string key = memberKey(text(call.objectClass), name);
    if (functions_.isDefined(key)) return key;
    // VB.NET: a module's extension method called on the object.
    auto keys = netModuleRoutines_.find(folded(name));
    if (keys != netModuleRoutines_.end() && keys->second.size() == 1) return keys->second.front();
    return key;
  }
  if (call.qualifier != TextPool::kEmpty) {
    std::string_view qualifier = text(call.qualifier);
    auto module = modules_.find(folded(qualifier));
    if (module != modules_.end()) {
      // `Module1.Helper`: Module1's own (Private inside it, or a public one
      // whose name another module had first).
      std::string own = std::string(name) + module->second;
      if (functions_.isDefined(own)) return own;
      return std::string(name);
    }
    if (classes_.isClass(qualifier) || netModules_.count(folded(qualifier)))
      return memberKey(qualifier, name);
    if (call.weak) return std::string();
    errorLog() << text(call.where) << ": ｸﾗｽ名が不明です。不明なｵﾌﾞｼﾞｪｸﾄ名[" << qualifier << "]\n";
    std::string key = kUnknownClassMark;
    key += qualifier;
    key += "::";
    key += name;
    return key;
  }
  if (call.ownClass != TextPool::kEmpty) {
    std::string owner = definingClass(text(call.ownClass), name);
    if (!owner.empty()) return owner + "::" + std::string(name);
  }
  if (!scope.empty()) {
    std::string own = std::string(name) + std::string(scope);
    if (functions_.isDefined(own)) return own;
  }
  if (call.path != TextPool::kEmpty && moduleRoutines_.count(folded(name)))
    return nearestModuleRoutine(name, text(call.path));
  // A VB.NET module's routine, where one module alone has the name.
  if (!functions_.isDefined(name)) {
    auto keys = netModuleRoutines_.find(folded(name));
    if (keys != netModuleRoutines_.end() && keys->second.size() == 1) return keys->second.front();
  }
  return std::string(name);
}

// ---------------------------------------------------------------------------
// Delphi: the own class, the own unit, the used units (the last one used
// first), the library

const CallResolution::Unit* CallResolution::unitNamed(std::string_view name) const {
  std::string key = folded(name);
  auto u = units_.find(key);
  if (u != units_.end()) return &u->second;
  auto shortName = unitShortNames_.find(key);
  if (shortName == unitShortNames_.end()) return nullptr;
  u = units_.find(shortName->second);
  return u == units_.end() ? nullptr : &u->second;
}

// The routine `name` of the unit a uses clause names `unit` (its full
// dotted name or the last part of it).
const CallResolution::UnitRoutine* CallResolution::unitRoutine(std::string_view unit,
                                                               std::string_view name,
                                                               bool visibleOnly,
                                                               std::string_view path) const {
  auto routines = unitRoutines_.find(folded(name));
  if (routines == unitRoutines_.end()) return nullptr;
  return unitRoutineIn(routines->second, folded(unit), visibleOnly, path);
}

// Of the routines of the unit `foldedUnit` (several when files of several
// folders declare it), the one of the copy nearest the caller's file.
const CallResolution::UnitRoutine* CallResolution::unitRoutineIn(
    const std::vector<UnitRoutine>& routines, const std::string& foldedUnit, bool visibleOnly,
    std::string_view path) const {
  std::string_view unit = unitBase(foldedUnit);
  auto shortName = unitShortNames_.find(std::string(unit));
  return nearestCopy(routines, path, [&](const UnitRoutine& r) {
    std::string_view base = unitBase(r.unit);
    bool same = base == unit || (shortName != unitShortNames_.end() && base == shortName->second);
    return same && (r.visible || !visibleOnly);
  });
}

std::string_view CallResolution::unitBase(std::string_view identity) {
  return identity.substr(0, identity.find('@'));
}

// The file of a unit's copy: after the '@' of its name, or the first
// file that declared the unit.
std::string_view CallResolution::copyPath(const std::string& identity) const {
  size_t at = identity.find('@');
  if (at != std::string::npos) return std::string_view(identity).substr(at + 1);
  auto file = unitFiles_.find(identity);
  return file == unitFiles_.end() ? std::string_view() : std::string_view(file->second);
}

// How many bytes of folders two paths share (letters folded).
size_t CallResolution::sharedFolders(std::string_view a, std::string_view b) {
  size_t shared = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) break;
    if (x == '/' || x == '\\') shared = i + 1;
  }
  return shared;
}

std::string CallResolution::visibleRoutineKey(std::string_view unit, std::string_view name,
                                              std::string_view path) const {
  auto routines = unitRoutines_.find(folded(name));
  if (routines == unitRoutines_.end()) return std::string(name);  // no unit's: the library's
  const std::string ownUnit = folded(unit);
  if (const UnitRoutine* own = unitRoutineIn(routines->second, ownUnit, false, path))
    return own->key;
  const Unit* u = unitNamed(unit);
  if (u) {
    for (auto used = u->uses.rbegin(); used != u->uses.rend(); ++used)
      if (const UnitRoutine* r = unitRoutineIn(routines->second, *used, true, path)) return r->key;
  }
  if (isLibraryRoutine(name)) return std::string(name);
  // A unit of the run sees no routine its uses clauses do not show: the
  // name is the library's (`Inc`, `Max`, `FreeAndNil`), not a same-named
  // routine of another unit. A caller of no known unit takes the one
  // unit that offers the name, if only one does.
  if (u) return std::string(name);
  if (routines->second.size() == 1) return routines->second.front().key;
  return std::string(name);
}

// The class a routine visible from `unit` returns, when `name` is one
// and its result type is a class of the sources.
std::string CallResolution::routineResultClass(std::string_view unit, std::string_view name,
                                               std::string_view path) const {
  if (name.find('.') != std::string_view::npos) return std::string();
  int n = functions_.recordOf(visibleRoutineKey(unit, name, path));
  if (n < 0) return std::string();
  std::string_view type = functions_.returnTypeOf(functions_.record(n));
  return !type.empty() && classes_.isClass(type) ? std::string(type) : std::string();
}

std::string CallResolution::delphiCallee(const Call& call) {
  std::string_view name = text(call.name);
  std::string_view unit = text(call.scope);
  std::string_view path = text(call.path);
  // An object's declared type that no file made a class or gave the method
  // (a class of no source, a record or library class without it or a helper
  // of it) leaves the call to the words written.
  if (call.objectClass != TextPool::kEmpty) {
    std::string_view type = text(call.objectClass);
    std::string key = memberKey(type, name);
    if (call.qualifier == TextPool::kEmpty || classes_.isClass(type) || functions_.isDefined(key))
      return visibleMemberKey(std::move(key), unit, path);
  }
  if (call.qualifier != TextPool::kEmpty) {
    std::string_view qualifier = text(call.qualifier);
    if (const UnitRoutine* r = unitRoutine(qualifier, name, false, path)) return r->key;
    // A class, or a record whose method the sources define (`TFileIO.Save`).
    std::string member = memberKey(qualifier, name);
    if (classes_.isClass(qualifier) || functions_.isDefined(member))
      return visibleMemberKey(std::move(member), unit, path);
    // A function of the sources that returns an object: `Config.Load`.
    std::string resultClass = routineResultClass(unit, qualifier, path);
    if (!resultClass.empty()) return visibleMemberKey(memberKey(resultClass, name), unit, path);
    if (call.weak) return std::string();
    std::string key(qualifier);
    key += '.';
    key += name;
    return key;
  }
  if (call.ownClass != TextPool::kEmpty) {
    std::string owner = definingClass(text(call.ownClass), name);
    if (!owner.empty()) return visibleMemberKey(owner + "::" + std::string(name), unit, path);
  }
  return visibleRoutineKey(unit, name, path);
}
