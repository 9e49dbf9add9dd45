// The C++ namespaces of the file being parsed: the stack of open namespace
// blocks and the `using namespace` directives in force, so that the parsers
// can qualify names; and every namespace name met, for the namespace list
// "Mz名前空間一覧". An open entry holds the full name ("a::b") and the brace
// depth at which it was opened; the known set is sorted by the run's name
// comparison. The run object owns the table; texts returned by
// reference stay valid until the next change.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report/report.h"
#include "scan/define_table.h"  // ListScope
#include "scan/name_set.h"

struct Options;
class SourceContext;

class NamespaceTable {
 public:
  // `context` says whether an ATL header was missing (see usingName).
  NamespaceTable(const Options& options, const SourceContext& context)
      : options_(options), context_(context) {}

  void openNamespace(std::string_view name, int depth);
  void addUsing(std::string_view name, int depth);
  // The brace levels the open namespaces hold (`namespace a::b {` opens
  // two namespaces and one level).
  int openCount() const;
  // Full name of the innermost open namespace, or the empty text.
  const std::string& currentPath() const;
  // The i-th using directive; one past the last, "ATL" when an ATL header
  // was missing; otherwise the empty text.
  const std::string& usingName(size_t i) const;
  bool isNamespace(std::string_view name) const { return known_.contains(name); }
  // The longest prefix of `name`, cut at "::", that is a known namespace.
  std::string knownPrefix(std::string_view name) const;
  // After a '}' or ';' at brace depth `depth`: closes the namespaces
  // opened at that depth or deeper.
  void statementEnd(int depth);
  // Before the '}' that leaves depth `depth`: drops the using directives of
  // that depth and deeper.
  void closeScope(int depth);
  void clear();

  const NameSet& known() const { return known_; }

  // "Mz名前空間一覧": a section listing the known set (only when it is not
  // empty), headed by `fileName` for a per-file section; kFinish ends the
  // page of a list of per-file sections.
  void writeNamespaceList(ReportSession& session, ListScope scope, const std::string& fileName);

 private:
  struct Open {
    std::string fullName;
    int depth;
  };
  struct Using {
    std::string name;
    int depth;
  };

  const Options& options_;
  const SourceContext& context_;
  std::vector<Open> open_;
  std::vector<Using> using_;
  NameSet known_;
  ListSections sections_;  // of the namespace list in this run
};
