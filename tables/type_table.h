// Which names are types in each source language, and their sizes. Two
// tables exist in a run: `baseTypes`, filled from the settings data file or
// the built-in lists, and `workingTypes`, a copy of it made at the start of
// each file that then receives the types the sources declare and marks the
// types they use (for the type list "Mz一覧type").
// One record per name, keyed on the name under the run's name comparison
// (compareNames) and found through a hash index of names; a sorted list of
// record positions gives the name order (a registration moves 4-byte
// positions, not records). The
// run object owns both tables; a record reference or index stays valid
// only until the next registration, copy or end of file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <deque>
#include <vector>

#include "report/report.h"
#include "scan/define_table.h"  // ListScope
#include "scan/name_filter.h"
#include "scan/name_index.h"
#include "scan/type_questions.h"
#include "tables/copied_records.h"

class JsonWriter;

struct Options;
class SourceContext;

struct TypeRecord {
  static constexpr int kSlots = 6;  // 0 C, 1 C++, 2 Java, 3 old C++, 4 VB, 5 Delphi
  std::string name;                 // as written, no "typedef ", no template arguments
  int sizes[kSlots] = {};           // bytes per language slot; 0 = no size
  int flags = 0;                    // TypeTable::kInexact | kUsed
  int kinds = 0;                    // TypeTable::kTypedef ...
  int languages = 0;                // LanguageMode bits in which the name is a type
};

class TypeTable final : public TypeQuestions {
 public:
  enum Flag : int { kInexact = 1, kUsed = 2 };
  // kTag: a C structure, union or enumeration tag, a name of their own
  // name space (a function may bear it).
  enum Kind : int { kTypedef = 1, kStructure = 2, kClass = 4, kFunctionPointer = 8, kTag = 16 };
  // What findType asks.
  enum class FindMode : int {
    kCurrentLanguage = 0,  // a type in the current file's language
    kAnyLanguage = 1,      // present at all
    kFunctionPointer = 2,  // a function-pointer type in the current language
  };
  struct Lookup {
    bool found = false;
    size_t index = 0;  // the record, or the insertion position
  };
  struct Size {
    int bytes = 0;
    bool inexact = false;
  };
  static constexpr int kDefaultPointerSize = 4;

  // `analysis`: this is workingTypes, whose lookups mark types as used.
  // The current file's language comes from `context`.
  TypeTable(const Options& options, const SourceContext& context, bool analysis);

  // The record when `name` is a type as `mode` asks, else null. A leading
  // "typedef " is dropped and the name is cut at its first '<' before the
  // search. Marks the record used (analysis table, outside registration
  // mode) when it applies to the current language.
  const TypeRecord* findType(std::string_view name, FindMode mode = FindMode::kCurrentLanguage);
  bool isType(std::string_view name) override { return findType(name) != nullptr; }
  // The same question without marking anything used.
  bool isTypeQuietly(std::string_view name) const override;
  // Size in the current language's slot; 0 and exact for a non-type.
  Size sizeOf(std::string_view name);
  // The same of a record findType gave.
  Size sizeOf(const TypeRecord& record) const;
  int sizeInBytes(std::string_view name) override { return sizeOf(name).bytes; }
  int kindOf(std::string_view name);

  // Adds a record, or merges kinds, languages, sizes of empty slots and the
  // inexact mark into an existing one; a different size for a slot that
  // already has one is refused with an internal-error line.
  void registerType(std::string_view name, int kind, int size, bool inexact, int languages);
  // The built-in types of C, VB and Delphi (settings data file missing).
  void loadBuiltIn();
  // `#define NAME body` in a C or C++ file: registers NAME as a type when the
  // body holds a known type and otherwise only modifier words, "*" and
  // blanks (a pointer type when "*" occurs). True when it registered.
  bool registerMacroType(std::string_view name, std::string_view body) override;

  // Start of a file: this table becomes a copy of `settings` (records and
  // pointer size; the section count stays).
  void copyFrom(const TypeTable& settings);
  // End of a source file read with per-file tables: VB and Delphi keep their
  // types with the used marks cleared; other languages empty the table.
  void endFile(int mode);
  // Every type is unused again; the types stay (the next file of a run
  // that keeps its types across files).
  void forgetUses();
  void clear() {
    version_ = newRecordsVersion();
    records_.clear();
    order_.clear();
    index_.clear();
    filter_.clear();
    usedRecords_.clear();
  }

  // While on (settings data file, per-file set-up), lookups mark nothing.
  void setRegistrationMode(bool on) { registrationMode_ = on; }
  bool registrationMode() const { return registrationMode_; }

  // Bytes of a pointer: 4 until the settings data file gives it.
  int pointerSize() const override { return pointerSize_; }
  void setPointerSize(int bytes) { pointerSize_ = bytes; }

  // The i-th record in name order.
  size_t size() const { return order_.size(); }
  const TypeRecord& at(size_t i) const { return records_[order_[i]]; }
  void markUsed(size_t i) { setUsed(order_[i]); }

  // The type list section (per file: headed by `fileName`), or the closing
  // of the run's list; see ListScope.
  void writeTypeList(ReportSession& session, ListScope scope, const std::string& fileName);
  // The types the list's section would show, as JSON elements of the open
  // array: name, size (null for a class) and whether the size is exact.
  void writeTypesJson(JsonWriter& out) const;
  int sectionsWritten() const { return sections_.count(); }

 private:
  // The positions of the types the lists show for the language `mode`.
  std::vector<std::uint32_t> listedInNameOrder(int mode) const;
  Lookup search(std::string_view name) const;
  // The record named `name` (no "typedef ", no template arguments), or null.
  const TypeRecord* recordNamed(std::string_view name) const;
  // The position in records_ of the record named `name`, or -1.
  int positionNamed(std::string_view name) const;
  void setUsed(std::uint32_t position);
  int currentMode() const;
  void mergeInto(TypeRecord& record, int kind, int size, bool inexact, int languages);
  // Before a record changes (but for its flags) or one is stored at `position`.
  void changingRecord(size_t position) {
    copied_.changing(position);
    version_ = newRecordsVersion();
  }

  const Options& options_;
  const SourceContext& context_;
  bool analysis_;

  std::deque<TypeRecord> records_;  // in order of registration
  // The last file's records, set aside when the table was emptied: the
  // next copy takes them back instead of copying every record again.
  std::deque<TypeRecord> setAside_;
  // The records last copied from another table (their mark: the flags),
  // in the records or, after an end of file, in the set-aside ones.
  CopiedRecords copied_;
  // This table's records as they stand, but for their flags, for tables
  // that copy them.
  std::uint64_t version_ = newRecordsVersion();
  std::vector<std::uint32_t> order_;  // positions in records_, in name order
  NameIndex index_;                   // name -> position in records_
  NameFilter filter_;                 // of every name in records_
  // Where kUsed was set since the table was emptied or its marks cleared:
  // VB and Delphi keep their types from file to file, and a file's section
  // lists the few it used.
  std::vector<std::uint32_t> usedRecords_;
  bool registrationMode_ = false;
  int pointerSize_ = kDefaultPointerSize;
  ListSections sections_;  // of the type list in this run
};
