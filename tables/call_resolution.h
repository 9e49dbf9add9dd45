// The calls of the VB and Delphi sources, linked after the last file: the
// routine a name leads to may be defined in a file read later (a VB form,
// class or module, a Delphi unit), so each call is noted with what its
// file knew (the caller's key, the object's class or the word written
// before the '.', the caller's class and scope) and bound in the function
// table at the end of the run, in the order the calls were met. Beside the
// calls it keeps the scopes that decide where a name leads: the VB modules,
// the Delphi units with their uses lists and routines, and the library
// routines the settings data names. Owned by the run object; filled by the
// VB and Delphi parsers; the texts it is given are copied.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "tables/text_pool.h"

struct Options;
class ClassTable;
class FunctionTable;
class SourceContext;

// One call as its file saw it. Views that must outlive note() only.
struct NotedCall {
  std::string_view caller;       // the caller's function key
  std::string_view name;         // the callee's name as written
  std::string_view objectClass;  // the class of the object before '.', when known
  std::string_view qualifier;    // else the word(s) before '.': a module, unit, class or object
  std::string_view ownClass;     // the class whose members the caller sees
  // VB: the key suffix of the routines that belong to the caller's file
  // ("@path": a module's Private ones, or every routine of a class file
  // whose class name another file took first); Delphi: the caller's unit.
  std::string_view scope;
  std::string_view where;  // the position prefix of a log line about the call
  std::string_view path;   // the caller's file
  std::uint32_t kind = 0;  // registration flags of the call
  bool weak = false;       // a name that only a routine of the sources makes a call
};

class CallResolution {
 public:
  // Calls are bound through `classes` (bases) and linked in `functions`;
  // the context's language mask is set to each call's language meanwhile.
  CallResolution(const Options& options, SourceContext& context, const ClassTable& classes,
                 FunctionTable& functions);
  CallResolution(const CallResolution&) = delete;
  CallResolution& operator=(const CallResolution&) = delete;

  // `language` is kModeVb or kModeDelphi.
  void note(int language, const NotedCall& call);

  // VB: a standard module (or VB.NET Module) and the key suffix of its
  // Private routines; its name written before '.' leads to its routines.
  void addModule(std::string_view name, std::string_view privateSuffix);
  // VB6: the form, class or user control file `path` is the class `name`;
  // false when another file of the run took the name first (separate
  // projects read together), whose routines keep the plain class keys.
  bool claimClassFile(std::string_view name, std::string_view path);
  // VB.NET: a Module, whose routines are keyed "Module::Name", and one of
  // its routines that is not Private. A call on an object whose class has
  // no routine of the name reaches the one module routine so named (an
  // extension method).
  void addNetModule(std::string_view name);
  void addNetModuleRoutine(std::string_view module, std::string_view name);
  // VB: `className` implements `interfaceName`. A call on an object of an
  // interface that has no routine of the name (a VB.NET interface's
  // members have no body) goes to the one class implementing it, if one.
  void addImplementation(std::string_view interfaceName, std::string_view className);
  // Delphi: an interface type, and a base of a class (a class or an
  // interface it implements). A call on an interface reaches the one class
  // of the sources that implements it.
  void addInterface(std::string_view name);
  void addDelphiBase(std::string_view base, std::string_view className);
  // Delphi: `helper = class helper for helped` (or a record helper): a call
  // on a `helped` object reaches the helper's method.
  void addHelper(std::string_view helper, std::string_view helped);
  // Delphi: a class's `property Name: Type`, and the type of the property
  // of a class (or of a base of it) named `name`; empty when none.
  void addPropertyType(std::string_view className, std::string_view name, std::string_view type);
  std::string propertyType(std::string_view className, std::string_view name) const;
  // Java: the class a method's result is, as the declarations of the run
  // give it before any file is analysed (the first of overloads); empty
  // when none.
  void addResultType(std::string_view className, std::string_view name, std::string_view type);
  std::string resultType(std::string_view className, std::string_view name) const;
  // VB6: a public routine of the module file `path`, keyed `key`; false
  // when another module took the name first (separate projects read
  // together, or two modules of one name's routine), and the routine is
  // then keyed as its file's. A call that neither its own class nor its
  // module answers goes to the one of the module nearest its file.
  bool claimModuleRoutine(std::string_view name, std::string_view path);
  void addModuleRoutine(std::string_view name, std::string_view key, std::string_view path);

  // Delphi: a unit (or program) and, in their order, the units it uses.
  void addUses(std::string_view unit, std::string_view used);
  // A unit (or program) of the run, whether or not it uses others.
  void addUnit(std::string_view unit);
  // False when another file of the run declared the unit (or program)
  // first: two copies of a unit in two folders, or two programs of one name.
  bool claimUnit(std::string_view unit, std::string_view path);
  // A routine of a unit outside every class, registered under
  // unitRoutineKey(unit, name) until the last file; `visible` when its
  // interface section declares it.
  void addUnitRoutine(std::string_view unit, std::string_view name, bool visible);
  static std::string unitRoutineKey(std::string_view unit, std::string_view name);
  // A class that the type section of `unit` declares. Two units may each
  // declare a class of one name (separate programs read together): the
  // first keeps the plain method keys, the others' methods carry
  // `methodSuffix` (their file's key suffix), and a call reaches the class
  // its unit sees.
  void addUnitClass(std::string_view className, std::string_view unit,
                    std::string_view methodSuffix);
  // Whether `unit` declares the class after another unit did.
  bool classTakenElsewhere(std::string_view className, std::string_view unit) const;
  // A routine of the language's library (the settings data's list).
  void addLibraryRoutine(std::string_view name);
  bool isLibraryRoutine(std::string_view name) const;

  // After the last file: every noted call is resolved, a unit routine
  // whose name no other unit, no library routine and no call left to the
  // library has takes its plain name, and the calls are linked.
  void linkAll();

  size_t callCount() const { return calls_.size(); }

 private:
  struct Call {
    TextPool::Id caller, name, objectClass, qualifier, ownClass, scope, where, path;
    std::uint32_t kind;
    std::uint8_t language;
    bool weak;
  };
  struct UnitRoutine {
    std::string unit;  // folded
    std::string key;
    std::string name;  // as written
    bool visible = false;
  };
  struct Unit {
    std::vector<std::string> uses;  // folded, in order
  };

  static std::string folded(std::string_view name);
  std::unordered_map<std::string, std::string> settleUnitRoutineKeys(
      const std::unordered_set<std::string>& libraryCalls);
  std::string vbCallee(const Call& call);
  std::string delphiCallee(const Call& call);
  // The class among `className` and its bases whose routine `name` the
  // sources define; empty when none does.
  std::string definingClass(std::string_view className, std::string_view name) const;
  std::string walkForDefiningClass(std::string_view className, std::string_view name) const;
  std::string memberKey(std::string_view className, std::string_view name) const;
  const UnitRoutine* unitRoutine(std::string_view unit, std::string_view name, bool visibleOnly,
                                 std::string_view path) const;
  const UnitRoutine* unitRoutineIn(const std::vector<UnitRoutine>& routines,
                                   const std::string& foldedUnit, bool visibleOnly,
                                   std::string_view path) const;
  // A unit's name without the file suffix of a second copy ("Unit@path").
  static std::string_view unitBase(std::string_view identity);
  std::string_view copyPath(const std::string& identity) const;
  static size_t sharedFolders(std::string_view a, std::string_view b);
  // Of the entries (each of a copy of a unit: its `unit` member) that
  // `accept` takes, the one whose file shares the most folders with `path`
  // (the first on a tie).
  template <class Entry, class Accept>
  const Entry* nearestCopy(const std::vector<Entry>& entries, std::string_view path,
                           Accept accept) const {
    const Entry* best = nullptr;
    size_t bestShared = 0;
    for (const Entry& e : entries) {
      if (!accept(e)) continue;
      size_t shared = sharedFolders(copyPath(e.unit), path);
      if (!best || shared > bestShared) {
        best = &e;
        bestShared = shared;
      }
    }
    return best;
  }
  const Unit* unitNamed(std::string_view name) const;
  std::string visibleRoutineKey(std::string_view unit, std::string_view name,
                                std::string_view path) const;
  // `key` ("Class::Name") of the class declared by the unit `unit` sees,
  // when several units declare one.
  // `path` is the caller's file: of several copies of a unit, the nearest.
  std::string visibleMemberKey(std::string key, std::string_view unit, std::string_view path) const;
  std::string routineResultClass(std::string_view unit, std::string_view name,
                                 std::string_view path) const;
  std::string_view text(TextPool::Id id) const { return texts_.text(id); }

  const Options& options_;
  SourceContext& context_;
  const ClassTable& classes_;
  FunctionTable& functions_;
  TextPool texts_;
  std::vector<Call> calls_;
  // "class\0name" (folded) -> definingClass's answer, while calls are linked
  mutable std::unordered_map<std::string, std::string> definingAnswers_;
  std::unordered_map<std::string, std::string> modules_;     // folded name -> private suffix
  std::unordered_map<std::string, std::string> classFiles_;  // folded name -> path
  std::unordered_map<std::string, bool> netModules_;         // folded names
  // folded interface name -> the classes implementing it
  std::unordered_map<std::string, std::vector<std::string>> implementers_;
  struct ModuleRoutine {
    std::string key;
    std::string path;
  };
  // folded name -> the VB6 module routines so named, the first one's key plain
  std::unordered_map<std::string, std::vector<ModuleRoutine>> moduleRoutines_;
  std::string nearestModuleRoutine(std::string_view name, std::string_view path) const;
  // folded routine name -> the keys of the VB.NET module routines so named
  std::unordered_map<std::string, std::vector<std::string>> netModuleRoutines_;
  std::unordered_map<std::string, Unit> units_;                  // folded name
  std::unordered_map<std::string, std::string> unitFiles_;       // folded name -> path
  std::unordered_map<std::string, std::string> unitShortNames_;  // "sysutils" -> "system.sysutils"
  std::unordered_map<std::string, std::vector<UnitRoutine>> unitRoutines_;  // folded name
  std::unordered_map<std::string, bool> library_;                           // folded names
  struct UnitClass {
    std::string unit;    // folded
    std::string suffix;  // of its methods' keys; empty for the first unit
  };
  // folded class name -> the units declaring it, in the order met
  std::unordered_map<std::string, std::vector<UnitClass>> unitClasses_;
  std::unordered_set<std::string> interfaces_;                         // folded names
  std::unordered_map<std::string, std::vector<std::string>> helpers_;  // folded helped type
  std::unordered_map<std::string, std::string> propertyTypes_;         // "class\0name" folded
  std::unordered_map<std::string, std::string> resultTypes_;           // "class\0name"
  std::vector<std::pair<std::string, std::string>> delphiBases_;       // base, class
  void addDelphiImplementations();
};
