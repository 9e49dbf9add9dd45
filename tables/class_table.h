// The class table: every class of the sources being analysed, and the
// registration-only classes of the settings data file, with base classes,
// member functions and member variables, and the class list "Mz一覧class".
// One ClassRecord per (name, language): keyed on the name under the run's
// name comparison and found only from a file whose language mode shares a
// bit with the record's. The records stay where they were registered; a
// list of their positions in name order is what a registration moves.
// Owned by the run object; a position in name order stays valid only
// until the next registration, rename or reset, a record reference until
// the next reset.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "report/report.h"
#include "scan/define_table.h"  // ListScope
#include "scan/name_index.h"
#include "scan/name_set.h"
#include "tables/copied_records.h"
#include "tables/decl_info.h"
#include "tables/question_memo.h"

struct Options;
class JsonWriter;
class FileNamePool;
class SourceContext;
class TypeTable;

struct MemberVariable {
  std::string type;
  std::string name;
  std::int32_t value = 0;  // the size the variable table gave with it
  bool object = false;     // an object of the type itself, not a pointer or an array
};

struct ClassRecord {
  std::int32_t kind = 0;  // 0 a class; 1 class-like, not a class
  // A C++ structure whose body was read: listed as a structure, but its
  // objects are built and destroyed as a class's.
  bool structureClass = false;
  std::string name;
  std::vector<std::string> methods;  // registration order, unique
  std::vector<std::string> bases;    // declaration order, unique
  std::vector<MemberVariable> members;
  // The names of long method and member lists by hash (empty while short).
  NameIndex methodIndex;
  NameIndex memberIndex;
  std::int32_t fileNo = 0;
  std::int32_t languageMode = 0;
  std::int32_t sizeBytes = 0;
  std::int32_t sizeFlags = 0;
  std::int32_t used = 0;
};

class ClassTable {
 public:
  enum Kind : int { kClass = 0, kClassLike = 1 };

  // The file being read and its language come from `context`; a class is
  // a type of `types` too.
  ClassTable(const Options& options, const SourceContext& context, const FileNamePool& fileNames,
             TypeTable& types);
  ClassTable(const ClassTable&) = delete;
  ClassTable& operator=(const ClassTable&) = delete;

  // The name is cut before its first '<'. Found only in the current file's
  // language; on a miss `position` is where the name would be inserted.
  bool findClass(std::string_view name, int& position) const;
  bool exists(std::string_view name) const;
  bool isClass(std::string_view name) const;
  // A class, or a C++ structure marked by markStructureClass: an object of
  // it runs a constructor and a destructor.
  bool buildsObjects(std::string_view name) const;
  bool markUsed(std::string_view name);

  void registerClass(std::string_view name, int used, int kind);
  // A class of the settings data file: registered unused, and remembered
  // as registration-only.
  void registerSettingsClass(std::string_view name);
  // The structure's body was read as a C++ class's.
  void markStructureClass(std::string_view name);
  bool isRegistrationOnly(std::string_view name) const { return settingsClasses_.contains(name); }

  void addBase(std::string_view className, std::string_view base);
  void addMethod(const DeclInfo& decl);
  void addMember(std::string_view className, std::string_view type, std::string_view member,
                 int size, int flags, bool object = false);
  void renameClass(std::string_view oldName, std::string_view newName);
  // C++ type aliases of classes (`typedef A B;`, `using B = A;`): the class
  // each alias, qualified like a class, names; `pointer` for an alias of a
  // pointer or reference to it (`typedef A* P;`). Not listed; they go with
  // the file's classes.
  void addAlias(const std::string& alias, const std::string& target, bool pointer = false) {
    aliases_[alias] = target;
    if (pointer)
      pointerAliases_.insert(alias);
    else
      pointerAliases_.erase(alias);
  }
  bool isPointerAlias(const std::string& alias) const { return pointerAliases_.count(alias) != 0; }
  // The class the alias names, or null.
  const std::string* aliasTarget(const std::string& alias) const {
    auto found = aliases_.find(alias);
    return found == aliases_.end() ? nullptr : &found->second;
  }
  bool hasAliases() const { return !aliases_.empty(); }

  // The i-th base, or the empty text; the number of bases (0 when unknown).
  std::string baseName(std::string_view className, int i) const;
  int baseCount(std::string_view className) const;
  // Summed member sizes and, through `flags`, their OR-ed inexact marks.
  int sizeOf(std::string_view className, int& flags) const;

  // The class among `className` and its bases that declares the method.
  std::string resolveMember(std::string_view className, std::string_view function) const;
  // A member variable of the class or a base and, through `owner`, the
  // class that declares it; null when none. Valid until the next change.
  const MemberVariable* findMemberVariable(std::string_view className, std::string_view variable,
                                           const ClassRecord*& owner) const;
  // Counts the changes of names, bases and members: an answer holds while
  // the count stays.
  std::uint64_t generation() const { return generation_; }
  // Whether the last search wrote to the log (an inheritance cycle); such a
  // search must be made again to write it again.
  bool lastSearchLogged() const { return walkLogged_; }
  // The text a function's referenced-variable list gets for that member.
  static std::string memberReference(const ClassRecord& owner, const MemberVariable& member,
                                     std::string_view variable);

  void writeClassList(ReportSession& session, ListScope scope);
  // The classes the list's section would show, as JSON elements of the
  // open array: name, file, bases, methods and member variables.
  void writeClassesJson(JsonWriter& out) const;
  void resetAfterFile();
  // Every class is unused again; the classes stay (the next file of a run
  // that keeps its classes across files).
  void forgetUses();
  // No record at all, not even one renamed away.
  bool empty() const { return store_.empty(); }

  // The records as they stand, to be put back before a later file (the
  // settings classes each file of the C family starts with); the run's
  // report sections are not part of it.
  struct Records {
    std::deque<ClassRecord> store;
    std::vector<std::uint32_t> order;
    NameIndex byName;
    std::vector<std::int32_t> nextOfName;
    NameSet settingsClasses;
    std::uint64_t version = 0;  // tells these records from any others taken
  };
  Records records() const;
  void restore(const Records& records);
  int sectionsWritten() const { return sections_.count(); }

  int recordCount() const { return static_cast<int>(order_.size()); }
  // The i-th record in name order.
  const ClassRecord& record(int i) const { return store_[order_[i]]; }
  // One line per record: "name(kind,mode,used,size/flags) : bases {methods}".
  std::string dump() const;

 private:
  // Depth-first walks are cut off after this many visited classes, so that
  // no inheritance graph makes a lookup run away.
  static constexpr int kVisitBudget = 100000;

  int currentMode() const;
  // VB and Delphi keep their records from file to file; the C family starts
  // each file with an empty table.
  bool keptAcrossFiles() const;
  void setUsed(std::uint32_t at);
  int sameNameInLanguage(int at, std::string_view name) const;
  // The store position of the record of `name` in the current language, or
  // -1: by the name index where it tells, else by findClass.
  int lookUp(std::string_view name) const;
  static constexpr int kAskTheList = -2;
  int lookUpIndexed(std::string_view name) const;
  void indexRecord(std::uint32_t at);
  void unindexRecord(std::uint32_t at);
  const ClassRecord* find(std::string_view name) const;
  // The walks take store positions.
  const ClassRecord* resolveMemberAt(int at, std::string_view function, int& budget) const;
  bool enterPath(int at, int& budget) const;
  // Walk answers kept until the records change: the same member is looked
  // up from every body of a class's methods, through the same bases.
  struct WalkAnswer {
    int owner = -1;   // store position, -1 for none
    int member = -1;  // member index, for a member variable
  };
  const MemberVariable* findVariableAt(int at, std::string_view variable, WalkAnswer& found,
                                       int& budget) const;
  // The answer kept for the question, or null; keepAnswer keeps the
  // answer to it.
  const WalkAnswer* keptAnswer(char kind, std::string_view className, std::string_view name) const;
  void keepAnswer(WalkAnswer answer) const;
  void recordsChanged() { ++generation_; }
  void writeSection(ReportWriter& out, const Cell& heading) const;
  // The store positions of the listed classes, in the list's order.
  std::vector<std::uint32_t> listedPositions() const;
  bool listed(const ClassRecord& r) const;

  const Options& options_;
  const SourceContext& context_;
  const FileNamePool& fileNames_;
  TypeTable& types_;
  std::deque<ClassRecord> store_;  // in order of registration; renamed-away ones linger
  // The last file's records, set aside when the table was emptied: the
  // next restore copies over them, reusing their buffers instead of
  // allocating every name and list again.
  std::deque<ClassRecord> setAside_;
  // The kept records last restored (their mark: used), in the store or,
  // after a reset, in the set-aside records.
  CopiedRecords restored_;
  std::unordered_map<std::string, std::string> aliases_;
  std::unordered_set<std::string> pointerAliases_;
  std::vector<std::uint32_t> order_;  // positions in store_, in name order
  // The records in order_ by name: the index holds one record of each name,
  // the others of that name (other languages) are chained from it.
  NameIndex byName_;
  std::vector<std::int32_t> nextOfName_;  // per store position; -1 ends a chain
  // The records marked used since the last reset: VB and Delphi keep their
  // classes from file to file, and a file's section lists the few it used.
  std::vector<std::uint32_t> usedRecords_;
  NameSet settingsClasses_;
  mutable std::vector<int> path_;    // classes on the current lookup's path
  mutable bool walkLogged_ = false;  // a walk wrote to the log: its answer is not kept
  std::uint64_t generation_ = 0;     // changes of names, bases and members
  // Walk answers, kept from one change of the records to the next: VB and
  // Delphi keep their records from file to file and change them little once
  // the declarations are read; a method's body asks of its own class and
  // of the same few names again and again.
  mutable QuestionMemo<WalkAnswer, 4096> answers_;
  ListSections sections_;  // of the class list in this run
};
