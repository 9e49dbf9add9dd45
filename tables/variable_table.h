// The variable table: the global, extern and static variables (and, for the
// reports, the data members) of the analysed sources, the stack of locals in
// scope while a function is read, and the stack use of each function.
// Main records are keyed on the variable name under the run's name
// comparison, several records of one name (different owners) side by side;
// scope records and stack accounting are kept per file nesting depth.
// Owned by the run object; record references stay valid only until the
// next registration or reset. Writes "Mz一覧Obj" and "Mz変数詳細情報".
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "report/report_session.h"
#include "scan/condition_evaluator.h"
#include "scan/name_index.h"
#include "scan/sorted_search.h"
#include "tables/decl_info.h"
#include "tables/question_memo.h"
#include "tables/text_pool.h"

class JsonWriter;

class ReportWriter;
struct Options;
class ClassTable;
class DefineTable;
class FileNamePool;
class FunctionTable;
class SourceContext;
class TypeTable;

struct VariableRecord {
  std::string type;  // a leading "static " kept
  std::string name;  // without pointer marks and bounds
  // "Class::function" or "function" (VariableTable::referencingFunctions)
  std::vector<TextPool::Id> referencingFunctions;
  // The functions' record numbers in the function table, same order; -1
  // for one that was not there yet (its key waits in the table's list).
  std::vector<int> referencingRecords;
  std::vector<int> referrerOrder;  // positions in referencingFunctions, by name
  // The name as written, the owning class and function (VariableTable::
  // writtenNameOf, classOf, functionOf).
  TextPool::Id writtenName = TextPool::kEmpty;
  TextPool::Id className = TextPool::kEmpty;
  TextPool::Id function = TextPool::kEmpty;
  int size = 0;
  int file = 0;  // FileNamePool id; 0 = none
  int line = 0;
  // Small fields narrow: a run holds a record per global and static, and
  // at this size three records share one block of the table's store.
  std::uint16_t flags = 0;     // VariableRecord::k...
  std::uint16_t typeKind = 0;  // TypeTable::kStructure | kClass
  std::uint16_t language = 0;  // a LanguageMode bit

  static constexpr int kNotParameter = 1;
  static constexpr int kOwned = 2;
  static constexpr int kClassSet = 4;
  static constexpr int kFunctionSet = 8;
  static constexpr int kInexact = 16;
};

class VariableTable {
 public:
  // registerVariable flags.
  static constexpr int kDeclaration = 1;  // not a parameter
  static constexpr int kExtern = 2;
  // field() kinds.
  enum class Field { kType = 0, kName = 1, kReferencingFunction = 2 };

  // Variables belong to the file on top of `context`; sizes come from
  // `types` and `classes`, array bounds may use the macros of `defines`;
  // a member is added to its class in `classes`, and references are handed
  // to `functions`.
  VariableTable(const Options& options, SourceContext& context, const FileNamePool& fileNames,
                TypeTable& types, const DefineTable& defines, ClassTable& classes,
                FunctionTable& functions);
  VariableTable(const VariableTable&) = delete;
  VariableTable& operator=(const VariableTable&) = delete;

  void registerVariable(std::string_view type, std::string_view name, int level, int flags,
                        std::string_view className, std::string_view function);
  // The type of `name` as seen inside `className::function`, recording the
  // reference; null when no declaration is known. The text stays valid
  // until the next registration or scope change.
  const std::string* referenceVariable(std::string_view name, std::string_view className,
                                       std::string_view function);
  // The scopes entered since scopeCount() was `mark` (a Delphi routine
  // nested in another: its own locals go, the outer routine's stay).
  size_t scopeCount() const { return scopes_.size(); }
  void closeScopesFrom(size_t mark);
  // The same type, recording nothing; `object` tells whether the name is
  // an object of the type itself (`T a`, `T& a`; not `T *a` or `T a[4]`).
  const std::string* typeOf(std::string_view name, std::string_view className,
                            std::string_view function, bool& object) const;
  // That type when the name is an object of it; else null.
  const std::string* objectTypeOf(std::string_view name, std::string_view className,
                                  std::string_view function) const {
    bool object;
    const std::string* type = typeOf(name, className, function, object);
    return object ? type : nullptr;
  }
  void closeScope(int level);
  void endFunctionScope();
  StackUse stackUse() const;

  // A new file is pushed onto the source context (main file or header).
  void beginFile();
  // End of a main file with per-file tables: every record and scope goes.
  void resetFileState();

  // Gives every (variable, referencing function) pair to the function table.
  // Once, after the last file: the index that keeps references unique goes
  // with it.
  void handOverReferences();

  // Report rows: main-table records in table order that the lists show.
  int rowCount() const;
  std::string field(Field kind, int row, int column) const;
  void writeVariableList(ReportSession& session);
  // The variables the list and the details show, as JSON elements of the
  // open array: type, name, size (null for a class object), exactness,
  // remark, file, line and, with the details on, the referencing functions.
  void writeVariablesJson(JsonWriter& out) const;
  void writeVariableDetails(ReportSession& session);

  int recordCount() const { return static_cast<int>(records_.size()); }
  // The i-th record in table (name) order.
  const VariableRecord& record(int i) const {
    settleNameOrder();
    return records_[sorted_[i]];
  }
  // The functions that refer to the record, in the order of their first
  // reference.
  std::vector<std::string> referencingFunctions(const VariableRecord& r) const {
    return texts_.texts(r.referencingFunctions);
  }
  std::string_view writtenNameOf(const VariableRecord& r) const {
    return texts_.text(r.writtenName);
  }
  std::string_view classOf(const VariableRecord& r) const { return texts_.text(r.className); }
  std::string_view functionOf(const VariableRecord& r) const { return texts_.text(r.function); }
  // One line per record, "type name size file:line flags kind {functions}",
  // then one per scope record, "  scope nesting/level type name size".
  std::string dump() const;

 private:
  struct ScopeRecord {
    std::string type;
    std::string name;
    int nesting = 0;
    int level = 0;
    int size = 0;
    bool object = false;  // objectTypeOf
  };
  struct StackEntry {
    int peak = 0;
    int current = 0;
    bool inexact = false;
  };
  struct Declarator {
    std::string name;
    bool pointer = false;
    long long elements = 1;
    bool inexact = false;
    bool stringBound = false;  // Delphi string[n]: n + 1 bytes
  };

  int nesting() const;
  int mode() const;
  StackEntry& stackEntry();
  Declarator scanDeclarator(std::string_view written, std::string_view type) const;
  void sizeOfType(std::string_view type, int& size, bool& inexact) const;
  void countOnStack(std::string_view type, const Declarator& d, int size, bool inexact, int level);
  void registerInMainTable(std::string_view type, const Declarator& d, std::string_view written,
                           int size, bool inexact, int flags, std::string_view className,
                           std::string_view function);
  int typeKindOf(std::string_view type) const;
  int findOwnedRecord(std::string_view name, std::string_view className, std::string_view function,
                      size_t& position) const;
  size_t firstUnowned(std::string_view name) const;
  int compareOwner(const VariableRecord& r, std::string_view name, std::string_view className,
                   std::string_view function) const;
  int compareOwner(const VariableRecord& r, std::string_view name, std::string_view className,
                   std::string_view function, bool folded) const;
  bool hashesAnswer() const;
  static std::uint32_t ownerHash(std::string_view name, std::string_view className,
                                 std::string_view function);
  int ownedRecordOf(std::string_view name, std::string_view className,
                    std::string_view function) const;
  // The waiting records sorted in: into the name order the reports read,
  // and into every index.
  void settleNameOrder() const;
  void settleOrder() const;
  auto nameOfRecord() const {
    return [this](std::uint32_t n) -> std::string_view { return records_[n].name; };
  }
  int findOwned(std::string_view name, std::string_view className, std::string_view function) const;
  void addReference(int record, std::string_view className, std::string_view function);
  std::string functionKey(std::string_view className, std::string_view function) const;
  bool listed(const VariableRecord& r) const;
  // Record numbers of the report rows, in table order.
  std::vector<int> rows() const;
  std::string typeWithPrefix(const VariableRecord& r, int* prefixLength = nullptr) const;
  std::string sizeText(const VariableRecord& r) const;
  std::string remark(const VariableRecord& r) const;
  std::string fileName(const VariableRecord& r) const;
  void writeListRow(ReportWriter& out, const VariableRecord& r) const;
  void writeDetailsBlock(ReportWriter& out, const VariableRecord& r) const;

  const Options& options_;
  SourceContext& context_;
  const FileNamePool& fileNames_;
  TypeTable& types_;
  const DefineTable& defines_;
  ClassTable& classes_;
  FunctionTable& functions_;
  std::deque<VariableRecord> records_;  // registration order; never moved
  mutable std::vector<int> sorted_;     // record numbers in name order
  TextPool texts_;                      // written names, owners, the names in referencingFunctions
  // Two indexes over the same records, so that neither registering nor
  // resolving walks every variable of a name (a static local of the same
  // name in every function would make that quadratic): the owned records
  // by (name, class, function), unique; the unowned ones by name, each
  // name's records in the order of sorted_.
  mutable std::vector<int> owned_;
  mutable std::vector<int> unowned_;
  // A sorted insert per record moved the whole index (quadratic on large
  // runs). While the run's comparison stays the one of the first record,
  // hashes answer the lookups and new records wait here in registration
  // order, to be sorted in when the order is read; once it changes they
  // are sorted in and the sorted indexes serve as before.
  mutable std::vector<int> sortedWaiting_;
  mutable std::vector<int> ownedWaiting_;
  mutable std::vector<int> unownedWaiting_;
  NameIndex ownedRecords_;  // (name, class, function) -> owned record
  // Per record: the next unowned record of its name, -1 at the end.
  std::vector<int> nextUnowned_;
  WaitingOrderRule order_;  // records may wait while it holds
  // Each name once, with its first owned and its first unowned record (in
  // registration order, which is the indexes' order among equal names):
  // most names a function body asks about are no variable, or a global.
  NameIndex ownedNames_;
  NameIndex unownedNames_;
  // References from functions not yet in the function table when they
  // were made: the variable's record number and the function's key.
  std::vector<std::pair<int, std::string>> unknownReferrers_;
  std::vector<ScopeRecord> scopes_;  // innermost last
  std::vector<StackEntry> stacks_;   // index: file nesting depth
  // Counts the changes that change every answer of referenceVariable.
  std::uint64_t changes_ = 0;
  // The answers of referenceVariable: the type found, or null.
  QuestionMemo<const std::string*> references_;
  bool keepsReferences() const;
  QuestionMemo<const std::string*>::Stamp referenceStamp() const;
  template <class Gone>
  void eraseScopes(Gone gone) {
    auto end = std::remove_if(scopes_.begin(), scopes_.end(), gone);
    if (end == scopes_.end()) return;
    scopes_.erase(end, scopes_.end());
    ++changes_;
  }
  const std::string* lookUpReference(std::string_view name, std::string_view className,
                                     std::string_view function, bool& logged);
};

// The value of one array bound: a decimal number, or an expression of
// macros, sizeof and arithmetic evaluated like a condition (failures write
// the stack-size message). False when it has no value.
bool arrayBoundValue(std::string_view text, const ExpressionTables& tables, long long& value);
