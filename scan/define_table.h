// The macros of a run (#define in C-family sources) and the constants of
// VB and Delphi sources (Const), with the definition list report.
// One entry holds a name, the parameter text of a function-like macro, the
// body, and the id of the defining file. The
// entries are kept in name order under the run's name comparison
// (compareNames), found by name through a hash index and by position in
// name order by binary search; a header full of macros only moves 4-byte
// positions on each insertion, never the entries. The run object owns the
// one table; references to entries stay valid only until the next
// insertion, removal or clear.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <deque>
#include <vector>

#include "report/report.h"
#include "scan/name_index.h"

struct Options;
class JsonWriter;
class FileNamePool;
class ReadWatch;
class SourceContext;
class TypeQuestions;

// What a list report with per-file sections writes in one call: the section
// of the file just read (0), one section for the whole run (1), or only the
// closing of a file that per-file sections filled (2).
enum class ListScope : int { kPerFile = 0, kWholeRun = 1, kFinish = 2 };

// The parameter names of a function-like macro's "(a, b)"; "..." is named
// __VA_ARGS__, as the body calls it. The second form fills `names`, whose
// buffer a caller may keep.
std::vector<std::string_view> macroParameterNames(std::string_view params);
void macroParameterNames(std::string_view params, std::vector<std::string_view>& names);

struct DefineEntry {
  std::string name;
  std::string params;  // "(a, b)" as its tokens came; empty when object-like
  std::string body;
  std::int32_t fileId = 0;  // FileNamePool id of the defining file
  bool complete = false;    // later tokens are ignored
};

class DefineTable {
 public:
  // Result of defineParamToken.
  enum class ParamState {
    kMore,       // the parameter list goes on
    kClosed,     // the list is complete; the body follows
    kAbandoned,  // the definition ended without a body (line break, or done)
  };

  // Search result: `index` is the entry's position, or where the name would
  // be inserted when it is not found.
  struct Lookup {
    bool found = false;
    size_t index = 0;
  };

  // A macro is of the file on top of `context`, named in `fileNames`; a C
  // or C++ macro that stands for a type is told to `types`.
  DefineTable(const Options& options, const SourceContext& context, FileNamePool& fileNames,
              TypeQuestions& types);

  Lookup findDefine(std::string_view name) const;
  // The entry named `name`, or null.
  const DefineEntry* entryNamed(std::string_view name) const;
  // The same as a position that stays the entry's until the table changes,
  // or -1; the entry at such a position; one past the last position.
  int positionNamed(std::string_view name) const;
  const DefineEntry& entryAtPosition(size_t position) const { return store_[position]; }
  size_t positionCount() const { return store_.size(); }
  bool isDefined(std::string_view name) const { return entryNamed(name) != nullptr; }
  // The body, or the empty text for an unknown name.
  const std::string& bodyOf(std::string_view name) const;

  // Starts the entry `name` in the current file and makes it the entry being
  // defined. False (with the already-registered log line) when the name
  // exists; the first definition is kept.
  bool beginDefine(const std::string& name);
  // One token of the parameter list of the entry being defined, "(" first.
  ParamState defineParamToken(std::string_view token);
  // One token of the body; "\n" completes the definition, "\r" is ignored.
  // Line continuations are removed by the caller before the tokens come.
  void defineBodyToken(std::string_view token);
  // Removes `name`; logs a line when it is not defined.
  void undefine(std::string_view name);
  void clear();
  // Told of every name the table is asked for and every change, while it
  // watches (the run's header replay); null for none.
  void setWatch(ReadWatch* watch) { watch_ = watch; }
  // A name's state as the watch is told it: empty when it is not defined.
  std::string stateOf(std::string_view name) const;
  // The changing calls, as the watch is told them, made again.
  enum Call : int { kBeginCall, kParamCall, kBodyCall, kUndefineCall };
  void callAgain(int call, std::string_view text);
  // Something read now asks what the watch does not follow (the type
  // table): the reading cannot be replayed.
  void tellUnrepeatable() const;

  // A copy of every entry / replace every entry by a copy of `starting`
  // (the settings data file's macros, given back before each file).
  std::vector<DefineEntry> definitions() const;
  void setStartingState(const std::vector<DefineEntry>& starting);

  // The i-th entry in name order.
  size_t size() const { return order_.size(); }
  const DefineEntry& at(size_t i) const { return store_[order_[i]]; }

  // Writes "Mz一覧define" or "Mz一覧const" in the format of the options.
  void writeList(ReportSession& session, ListScope scope);
  // The entries the list's section would show, as JSON elements of the
  // open array: kind ("#define" or "Const"), name, parameters, body, file.
  void writeDefinesJson(JsonWriter& out) const;
  // Size past which the next output starts a new numbered file (tests lower it).
  void setListSizeLimit(long long bytes) { listSections_.setSizeLimit(bytes); }
  static constexpr long long kListSizeLimit = 10000000;

 private:
  void completeEntry(DefineEntry& entry);
  DefineEntry* entryBeingDefined();
  bool watching() const;
  void tellAsked(std::string_view name) const;
  int positionOf(std::string_view name) const;  // positionNamed, told to no watch

  const Options& options_;
  const SourceContext& context_;
  FileNamePool& fileNames_;
  TypeQuestions& types_;
  DefineEntry& entryAt(size_t i) { return store_[order_[i]]; }
  void compactStore();
  void indexNames();
  // The name of the entry at a store_ position, for the index.
  auto storedName() const {
    return [this](std::uint32_t p) -> std::string_view { return store_[p].name; };
  }

  std::deque<DefineEntry> store_;     // in order of definition; removed ones linger
  std::vector<std::uint32_t> order_;  // positions in store_, in name order
  NameIndex positions_;               // name -> position in store_, for the entries in order_
  size_t removed_ = 0;                // entries of store_ no longer in order_
  size_t defining_ = 0;               // store_ position of the entry being defined
  bool definingValid_ = false;
  int paramDepth_ = 0;
  bool lastWasDelimiter_ = false;              // the last body token was a delimiter
  bool blankPending_ = false;                  // a blank came after the body's last token
  ListSections listSections_{kListSizeLimit};  // of the definition list in this run
  ReadWatch* watch_ = nullptr;
};
