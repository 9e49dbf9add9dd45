// The files the user registered for analysis, kept sorted by name, with the
// language family check that keeps C-family files and VB/Delphi files out
// of one list. Lives for the whole program; a run reads it and stores each
// file's step counts in its entry.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

struct SourceFileEntry {
  std::string name;       // without directory
  std::string directory;  // ends with a separator (or is empty)
  std::int32_t languageMask = 0;
  std::int32_t basFirst = 0;
  // Total, executable, blank, comment, disabled (all), disabled with code,
  // preprocessor lines, defined functions.
  std::array<std::int32_t, 8> stepCounts{};
  std::uintptr_t treeItem = 0;  // the window's tree item; 0 on the command line
  // Same-named files of other folders are told apart by the identity of
  // the file, asked of the system once per entry.
  mutable bool identityAsked = false;
  mutable bool identityKnown = false;
  mutable platform::FileIdentity identity;
};

enum StepCounter : int {
  kTotalLines = 0,
  kExecutableLines,
  kBlankLines,
  kCommentLines,
  kDisabledLines,
  kDisabledCodeLines,
  kPreprocessorLines,
  kDefinedFunctions,
};

// What became of a file offered to the list.
enum class AddResult {
  Added,
  Duplicate,   // the same name from the same directory is listed already
  Refused,     // it would mix the C family with VB and Delphi
  NoLanguage,  // mode 0: no language reads it
};

class SourceFileList {
 public:
  // Inserts a file of the LanguageMode `mode` by name; see the .cc for the
  // search rules. A C-family file is refused in a list of VB and Delphi
  // files and the other way round (conflict() tells too).
  AddResult add(const std::string& name, const std::string& directory, std::int32_t mode);
  void clear();
  void remove(std::uintptr_t treeItem);
  // Entry indexes in reading order: ".bas" modules first, then list order.
  std::vector<int> processingOrder();

  std::vector<SourceFileEntry>& entries() {
    settle();
    return entries_;
  }
  const std::vector<SourceFileEntry>& entries() const {
    settle();
    return entries_;
  }
  bool empty() const { return entries_.empty() && offered_.empty(); }
  std::int32_t languageMask() const { return mask_; }
  bool conflict() const { return conflict_; }
  void clearConflict() { conflict_ = false; }

  // The window appends each registered name to its tree view through this.
  void setTreeItemFactory(std::uintptr_t (*factory)(const std::string& name)) {
    treeItemFactory_ = factory;
  }

 private:
  size_t insertPosition(const std::string& name, const std::string& directory, bool& duplicate);
  bool listedAround(size_t at, const std::string& name, const std::string& directory) const;
  const SourceFileEntry& sortedEntry(size_t i) const { return offered_[order_[i]]; }
  void settle() const;

  // The entries in name order. Each file offered goes to its sorted place,
  // and moving every later entry for each was quadratic on large trees:
  // while files are offered they stay in offered_ (in offering order) with
  // their places as numbers in order_, and are put in order when the list
  // is next read. At any time one of entries_ and offered_ is empty.
  mutable std::vector<SourceFileEntry> entries_;
  mutable std::vector<SourceFileEntry> offered_;
  mutable std::vector<std::uint32_t> order_;
  std::int32_t mask_ = 0;
  bool conflict_ = false;
  std::uintptr_t (*treeItemFactory_)(const std::string&) = nullptr;
};

// The program's one list.
SourceFileList& sourceFiles();
