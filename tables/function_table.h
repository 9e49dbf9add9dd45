// The function table: one FunctionRecord per function key that the parsers
// saw defined, declared or called, and the caller/callee links between them.
// Keyed on the function key ("ns::Class::name", plus "@" and the main file's
// path for a C "main" or static and a VB module's Private routine), compared with the run's
// name comparison, found through a hash index of the keys; the sorted
// index gives the key order. Owned by the run object; records are never removed
// or moved, so a record number (index into the record vector) stays valid
// for the whole run, while a sorted position is valid only until the next
// record is created.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "context/file_name_pool.h"
#include "scan/name_index.h"
#include "scan/sorted_search.h"
#include "tables/comment_store.h"
#include "tables/decl_info.h"
#include "tables/question_memo.h"
#include "tables/text_pool.h"

struct Options;
class ClassTable;
class FileNamePool;
class SourceContext;

// Record flags; the reports test these bit values.
struct FunctionFlag {
  static constexpr std::uint32_t kRecursive = 0x002;
  static constexpr std::uint32_t kBodyAnalysed = 0x008;
  static constexpr std::uint32_t kFunctionPointer = 0x010;
  static constexpr std::uint32_t kStackIncomplete = 0x020;
  static constexpr std::uint32_t kCallSiteOnly = 0x040;
  static constexpr std::uint32_t kKnown = 0x080;
  static constexpr std::uint32_t kInterrupt = 0x100;
  static constexpr std::uint32_t kOperator = 0x200;
};

// Registration flags: the `flags` argument of Func_SetSub, SetChainAto and
// registerDefinition, as the parsers pass them.
struct Registration {
  static constexpr std::uint32_t kFunctionPointer = 0x01;
  static constexpr std::uint32_t kDefined = 0x08;
  static constexpr std::uint32_t kKeepPosition = 0x10;  // registerDefinition only
  static constexpr std::uint32_t kCallSite = 0x20;      // only when creating
  static constexpr std::uint32_t kInterrupt = 0x40;
  static constexpr std::uint32_t kOperator = 0x80;
};

struct FunctionRecord {
  std::string key;
  // Next to the key, so that the four-byte fields below pack without gaps.
  CommentStore::Ref comment;                   // the comment header; FunctionTable::commentOf
  TextPool::Id returnType = TextPool::kEmpty;  // FunctionTable::returnTypeOf
  TextPool::Id arguments = TextPool::kEmpty;   // FunctionTable::argumentsOf
  std::int32_t fileNo = 0;                     // FileNamePool id of the defining file, 0 = none
  std::int32_t line = 0;
  std::int32_t steps = 0;
  std::int32_t stackBytes = 0;
  std::uint32_t flags = 0;
  std::int32_t visibleCalleeCount = 0;
  // Record numbers in key order (the callers once the table's order is
  // settled: FunctionTable::settleOrder).
  std::vector<int> callers;
  std::vector<int> callees;
  // "type name" texts (FunctionTable::referencedVariablesOf), sorted, unique
  std::vector<TextPool::Id> referencedVariables;
};

// The call tree's state while it draws: the file column and, per level,
// whether that level's branch has closed.
struct TreeDrawing {
  static constexpr int kDepth = 30;
  int fileColumnWidth = 0;
  bool branchClosed[kDepth] = {};
};

class FunctionTable {
 public:
  // Keys depend on the file on top of `context`; definitions name their
  // file in `fileNames`; member calls are bound through `classes`.
  FunctionTable(const Options& options, const SourceContext& context, FileNamePool& fileNames,
                const ClassTable& classes);
  FunctionTable(const FunctionTable&) = delete;
  FunctionTable& operator=(const FunctionTable&) = delete;

  // The function key of a declaration for the file being parsed. A C
  // static function is keyed with its file ("name@path", like main), and
  // a plain name of the translation unit that declared such a static means
  // that static.
  std::string qualifiedKey(const DeclInfo& decl) const;
  // The same of the parts that make a key.
  std::string qualifiedKey(const KeyParts& parts) const;
  // A new main file: the statics of the last one are no longer in sight.
  void beginTranslationUnit() {
    fileLocal_.clear();
    ++changes_;
  }
  // Counts the changes after which a key made again, or a call linked
  // again, could come out otherwise: cut keys, the statics in sight, flags
  // taken back. New records are not counted (recordCount tells them).
  std::uint64_t changes() const { return changes_; }

  // Sorted position of `key` (found) or where it would go (not found);
  // -1 and a log line for an empty key.
  bool Func_Search(std::string_view key, int& position) const;
  bool exists(std::string_view key) const;
  // Finds or creates the record of `key`; its sorted position, or -1 for a
  // rejected key (empty or starting with a space).
  int Func_SetSub(std::string_view key, std::uint32_t registration);
  // The same giving the record number: the sorted position costs the
  // sorting in of every record that waits (see unsorted_).
  int setSubRecord(std::string_view key, std::uint32_t registration);

  void registerDefinition(const DeclInfo& decl, std::uint32_t registration,
                          std::string_view comment);
  // The body just read: its step count and the stack its locals take.
  void setBodyInfo(const DeclInfo& decl, std::int32_t steps, StackUse stack = {});
  // A header that the tokens after it showed to be none (a type before a
  // parenthesised name, a macro call at file level): the record it made
  // known is unknown again. A record with a body or links stays as it is.
  void withdrawHeader(const DeclInfo& decl);
  // A call from `caller` to `callee`, given by the parts of their keys.
  void SetChainAto(const KeyParts& caller, const KeyParts& callee, std::uint32_t registration);
  void SetChainAto(const DeclInfo& caller, const DeclInfo& callee, std::uint32_t registration) {
    SetChainAto(keyPartsOf(caller), keyPartsOf(callee), registration);
  }
  // A call between two keys as they stand (the calls bound after the last
  // file); false when a key was rejected.
  bool linkKeys(std::string_view callerKey, std::string_view calleeKey, std::uint32_t registration);
  // Whether `key` was defined or declared in the sources.
  bool isDefined(std::string_view key) const;
  // Whether a file of the sources declares or defines the constructor (or
  // destructor) of `className` (an implicit one that objects call has no
  // file).
  bool isStructorWritten(std::string_view className, bool isDestructor) const;
  // Each record takes its new key in place of its own (routines whose names
  // turned out to be unique after the last file), all in one pass; `done`
  // tells which did: not one with links, nor one whose key another record
  // holds.
  struct Rekey {
    int record;
    std::string key;
    bool done = false;
  };
  void rekey(std::vector<Rekey>& renames);
  void linkConstructorCall(std::string_view outerClass, std::string_view functionName,
                           std::string_view className, bool isDestructor);
  // A constructor (destructor) of `className` whose definition was read
  // builds (destroys) its bases: the constructors (destructors) the
  // sources declare, and the implicit constructor of a base that declares
  // its destructor; theirs in turn where the sources declare them.
  void linkBaseStructors(std::string_view className, bool isDestructor);
  void addReferencedVariable(const DeclInfo& decl, std::string_view variable);
  // The same for a function named by its key.
  void addReferencedVariableToKey(std::string_view key, std::string_view variable);
  void addReferencedVariableToRecord(int record, std::string_view variable);
  void collectStepCounts();
  const std::vector<std::int32_t>& stepCounts() const { return stepCounts_; }

  std::string typeOfSorted(int i) const;
  int countKnownInFile(std::string_view fileName) const;
  // The functions whose definition was read, counted per path of the file
  // they were read from (as the reader opened it): what tells apart files
  // of one name in different folders.
  std::vector<std::pair<std::string, int>> knownPerPath() const;
  // The name the reports show: the key, but "A::operator +" for the
  // operator A::+, built in `scratch`.
  std::string_view displayName(const FunctionRecord& record, std::string& scratch) const;
  // The comment header written before the function; valid until the next.
  std::string_view commentOf(const FunctionRecord& record) const {
    return comments_.text(record.comment);
  }
  std::string_view returnTypeOf(const FunctionRecord& record) const {
    return texts_.text(record.returnType);
  }
  std::string_view argumentsOf(const FunctionRecord& record) const {
    return texts_.text(record.arguments);
  }
  std::vector<std::string> referencedVariablesOf(const FunctionRecord& record) const {
    return texts_.texts(record.referencedVariables);
  }
  std::string_view referencedVariableOf(const FunctionRecord& record, size_t k) const {
    return texts_.text(record.referencedVariables[k]);
  }

  int recordCount() const { return static_cast<int>(records_.size()); }
  FunctionRecord& record(int n) { return records_[n]; }
  const FunctionRecord& record(int n) const { return records_[n]; }
  const std::vector<int>& sortedIndex() const {
    settleSorted();
    return sorted_;
  }
  // Puts the records and every callers list in key order; the reports
  // call it before they read them (and before keys are cut).
  void settleOrder();
  // Record number of a key, or -1.
  int recordOf(std::string_view key) const;
  // Cuts the key of record n to its first `length` bytes (the reports show
  // keys without "@" and the main file). Lookups by key then go back to the
  // binary search over the sorted index, which such a cut may disorder.
  void cutKey(int n, size_t length);
  TreeDrawing& tree() { return tree_; }

  // One line per record in key order: "key [flags] > callee callee";
  // flags are letters P R B F S C K I O in bit order.
  std::string dump() const;
  // Empty when every link is in both lists the same number of times and
  // the sorted index is in order; otherwise what is wrong.
  std::string checkLinks() const;

 private:
  void noteFileLocal(const std::string& name, int record) {
    fileLocal_[name] = record;
    ++changes_;
  }
  enum class Link { kAdded, kAlreadyLinked };
  // Inheritance deeper than this is taken for a cycle in the base walk.
  static constexpr int kMaxBaseDepth = 1000;

  // A new record of `key`, not yet in the table; its number.
  int createRecord(std::string_view key, std::uint32_t registration);
  // Whether a new record or caller may wait unsorted (see unsorted_).
  bool orderMayWait() const;
  void settleSorted() const;
  void settleCallers();
  auto keyOfRecord() const {
    return [this](int n) -> std::string_view { return records_[n].key; };
  }
  // The record of `key`, or -1; an empty key is logged as Func_Search logs it.
  int searchRecord(std::string_view key) const;
  Link addLink(int caller, int callee, bool callSite);
  // Place for `other` in `list` (of `owner`), or -1 when it must not be added.
  int linkPosition(const std::vector<int>& list, int other, bool callSite) const;
  void linkBaseConstructors(const std::string& className, int record, bool isDestructor, int depth);
  // Calls bind the classes of both ends: a call inside a method to a name
  // without class goes to a member of the caller's class or of one of its
  // bases, a call written with the global-scope operator to a global
  // function. The class that declares `name` among `className` and its
  // bases, or empty; `logged` is set when the search wrote to the log.
  std::string boundClass(std::string_view className, std::string_view name, bool& logged) const;
  // The caller's bound class and key into caller_.
  void bindCaller(const KeyParts& caller, bool& logged);
  // The callee's key, bound from the caller's class in caller_.
  std::string calleeKey(KeyParts to, bool& logged) const;
  // Whether the call was linked since the last change (see linkedCalls_).
  bool linkedBefore(const KeyParts& caller, const KeyParts& callee, std::uint32_t registration);
  int fileNoOf(std::string_view path) const;
  std::string mainFileSuffix() const;
  void rebuildKnownCounts() const;

  const Options& options_;
  const SourceContext& context_;
  FileNamePool& fileNames_;
  const ClassTable& classes_;
  // A deque: records are only appended, and a growing vector would hold
  // its old and new copies at once, the peak memory of a large run.
  std::deque<FunctionRecord> records_;
  CommentStore comments_;
  TextPool texts_;           // return types, argument lists, referenced variables
  std::string commentLine_;  // scratch: a comment given its line break
  // The records in key order. A sorted insert per record moved the whole
  // index, and one per caller the callee's whole list: quadratic on large
  // runs. So while the run's comparison stays the one the order began
  // under and the key index answers every lookup, new records wait in
  // unsorted_ and new callers at the end of their lists, and are sorted in
  // when the order is first read; their keys are distinct under that
  // comparison, so this is the order the inserts made. Once the comparison
  // changes or a key is cut, every insert is sorted at once as before.
  mutable std::vector<int> sorted_;
  mutable std::vector<int> unsorted_;
  WaitingOrderRule order_;  // records and links may wait while it holds
  bool callersUnsorted_ = false;
  NameIndex keys_;  // key -> record number
  std::vector<std::int32_t> stepCounts_;
  TreeDrawing tree_;
  // Bodies per file id for countKnownInFile, rebuilt after changes.
  mutable std::vector<int> knownPerFile_;
  // The counts summed per file name under the run's comparison, in name
  // order, so that each question is one binary search.
  mutable std::vector<std::pair<std::string, int>> knownPerName_;
  mutable bool knownCountsStale_ = true;
  // Per record number: the id in definitionPaths_ of the path its
  // definition was read from, 0 = none (beside the records, which stay
  // packed; shorter than records_ where the last ones have none).
  std::vector<std::int32_t> definitionPathNo_;
  FileNamePool definitionPaths_;
  void setDefinitionPath(int record, const std::string& path);
  // The main file's short name and path, seen while no header was open.
  mutable std::string mainName_;
  mutable std::string mainPath_;
  // The statics of the current translation unit: name -> the number of the
  // record keyed "name@main file" (C and C++ names and keys compare
  // exactly, and keys are not cut before the reports, so the record's key
  // is the key that was registered).
  std::unordered_map<std::string, int> fileLocal_;
  std::uint64_t changes_ = 0;
  // The calls linked since the last change: a body calls the same
  // functions again and again, and linking such a call again changes
  // nothing. Asked by the caller's parts; a question is the callee's parts
  // with its file-local mark and the registration.
  QuestionMemo<bool> linkedCalls_;
  // The caller's bound class and key, the same for every call the memo's
  // asker makes while its stamp holds.
  struct BoundCaller {
    bool bound = false;
    std::string boundClass;
    std::string key;
  } caller_;
};
