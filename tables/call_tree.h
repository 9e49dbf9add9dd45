// The call tree "MizentaLog.txt" / "MizentaLog.html": for every defined
// function that nothing calls, the functions it calls level by level, drawn
// with the function table's line pieces and marked for recursion, function
// pointers and interrupt functions, each line naming the function's file.
#pragma once

#include <memory>
#include <string>

#include "platform/side_thread.h"
#include "report/report_session.h"

struct FunctionRecord;
struct Options;
class FileNamePool;
class FunctionTable;

// What the function reports are written from: the run's function table,
// the file names its records refer to, and the options.
struct FunctionReportTables {
  FunctionTable& functions;
  const FileNamePool& fileNames;
  const Options& options;
};

// The first pass over the function table, which the function list and
// details rely on too: keys lose their "@" suffix, visibleCalleeCount is
// counted and the file-name column is measured. Changes the table for good.
void prepareFunctionReports(const FunctionReportTables& tables);

// Lines of a tree written with every repeated subtree drawn again. The
// number of call paths can grow exponentially with the depth, so past this
// many lines repeated subtrees are only referred to, as with "既述関数非表示",
// and the error log says so once.
constexpr long long kFullTreeLines = 1000000;

// Runs the first pass, writes the tree (HTML for the HTML format, text for
// every other one) and the call graph when its option is on, then the
// function list and the function details when their options are on. Once per run, after the
// referenced variables.
void writeCallTree(ReportSession& session, const FunctionReportTables& tables,
                   long long fullTreeLines = kFullTreeLines);
// The tree and the function list written on a second thread, in a session
// of their own, while the caller writes the function details and the
// reports after them, none of which changes the function table. Their
// messages keep their place in the run's order: the tree's and the list's
// wait until finish(), and so do the caller's session's from the start, to
// follow them.
class CallTreeBeside {
 public:
  CallTreeBeside(ReportSession& session, const FunctionReportTables& tables,
                 long long fullTreeLines);
  // finish()
  ~CallTreeBeside();
  CallTreeBeside(const CallTreeBeside&) = delete;
  CallTreeBeside& operator=(const CallTreeBeside&) = delete;

  // Waits for the tree and the list, then passes on their messages and
  // the caller's.
  void finish();

 private:
  ReportSession& session_;
  MessageHold tree_;
  MessageHold caller_;
  std::unique_ptr<ReportSession> side_;
  std::unique_ptr<platform::SideThread> thread_;
};

// As writeCallTree, but the tree and the list are written on a second
// thread while the details are written here, where they can: the details
// are on and neither the tree nor the list goes to the run's workbook
// (its sheets are made one by one). The caller finishes them after the
// reports that follow (null: all written).
std::unique_ptr<CallTreeBeside> writeCallTreeBeside(ReportSession& session,
                                                    const FunctionReportTables& tables,
                                                    long long fullTreeLines = kFullTreeLines);

// The name of the file that holds the record's definition; empty text when
// the record has no file.
const std::string& recordFileName(const FunctionReportTables& tables, const FunctionRecord& record);
