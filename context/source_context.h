// The stack of files being read in a run (the main source file at the
// bottom, nested headers above it) with the current line of each, the
// language of the main file, and whether certain standard headers were
// missing. The reader sets the main file's language before pushing it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Options;

class SourceContext {
 public:
  explicit SourceContext(const Options& options) : options_(options) {}

  void push(const std::string& path);
  void pop();
  int depth() const { return static_cast<int>(stack_.size()); }
  // Short name k levels below the top (0 = top), or the empty text.
  const std::string& item(int k) const;
  const std::string& topPath() const;
  // Directory of the top file including its last separator, or empty.
  std::string topDirectory() const;

  int currentLine() const { return stack_.empty() ? 0 : stack_.back().line; }
  void countLine() {
    if (!stack_.empty()) ++stack_.back().line;
  }
  // A replayed reading puts the line back as it was.
  void setLine(int line) {
    if (!stack_.empty()) stack_.back().line = line;
  }
  // The main file's short name; empty on an empty stack, or when
  // `evenInHeader` is false and a header is being read.
  const std::string& mainFileName(bool evenInHeader) const;
  // The main file's full path (the bottom of the stack), or empty.
  const std::string& mainFilePath() const;

  // The main file's LanguageMode bits.
  int languageMask() const { return languageMask_; }
  // Takes effect only while the stack is empty.
  void setLanguageMask(int mask);
  // The mask, or 9 for a C++ file whose old stream header was missing.
  int languageFlavour() const;

  void markMissing(const std::string& name);
  bool oldStyleHeaderMissing() const { return oldStyleHeaderMissing_; }
  bool atlHeaderMissing() const { return atlHeaderMissing_; }

  void reset();
  // Counts every change of the stack, the language and the missing
  // headers: what is derived from them holds while the count stays.
  std::uint64_t changes() const { return changes_; }

 private:
  struct Entry {
    int line;
    std::string shortName;
    std::string fullPath;
  };

  const Options& options_;
  int languageMask_ = 0;
  bool oldStyleHeaderMissing_ = false;
  bool atlHeaderMissing_ = false;
  std::vector<Entry> stack_;
  std::uint64_t changes_ = 0;
};
