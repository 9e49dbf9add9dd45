#include "tables/call_tree.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <vector>

#include "context/file_name_pool.h"
#include "context/options.h"
#include "report/report.h"
#include "report/report_catalogue.h"
#include "report/text_layout.h"
#include "tables/call_graph.h"
#include "tables/function_details.h"
#include "tables/function_list.h"
#include "tables/function_table.h"

namespace {

const char kInterruptMark[] = "(割り込み)";
const char kPointerMark[] = "(関数ポインタ)";
const char kRecursionMark[] = "(再回帰)";
const char kSubtreeShownMark[] = "→";
// The "[" of the file column stands in column 64 on every line whose name
// fits: a root name starts in column 1, a callee name after 2*level + 4.
constexpr int kRootColumn = 62;
constexpr int kCalleeColumn = 58;

constexpr int markWidth(const char* mark) {
  return static_cast<int>(std::char_traits<char>::length(mark));
}

class CallTreeWriter {
 public:
  CallTreeWriter(const FunctionReportTables& tables, Report& report, long long fullTreeLines);
  void writeRoots();

 private:
  void writeRoot(int root);
  void drawCallees(int f, int depth);
  bool writeCallee(int f, int c, int depth, bool ancestor, int written);
  void writeIndent(int depth, bool last);
  bool writeMarks(int n, bool ancestor, int& width);
  void writeTagPrefix(const FunctionRecord& r);
  void writeFileColumn(int remaining, const FunctionRecord& r);
  void endLine();
  bool isAncestor(int c, int depth) const;
  bool hidesRepeats();

  const FunctionReportTables& tables_;
  FunctionTable& table_;
  TreeDrawing& tree_;
  ReportWriter& writer_;
  std::ostream& out_;
  std::ostream& log_;
  const LinePieces pieces_;
  bool tagFormat_;
  bool hideRepeated_;
  long long linesLeft_;  // before repeated subtrees are hidden regardless
  // The functions drawn with their callees, by record; kept here, not in
  // the records, which the function details read meanwhile.
  std::vector<bool> printed_;
  // Entry 0 the root, entry k + 1 the function printed at level k.
  int path_[TreeDrawing::kDepth + 1] = {};
};

CallTreeWriter::CallTreeWriter(const FunctionReportTables& tables, Report& report,
                               long long fullTreeLines)
    : tables_(tables),
      table_(tables.functions),
      tree_(tables.functions.tree()),
      writer_(report.writer()),
      out_(report->text()),
      log_(report.session().log()),
      pieces_(report.pieces()),
      tagFormat_(tables.options.tagJumpTree != 0),
      hideRepeated_(tables.options.hideRepeatedSubtrees != 0),
      linesLeft_(fullTreeLines),
      printed_(static_cast<size_t>(tables.functions.recordCount())) {}

// A root is a defined function without callers; cycles that nobody enters
// from outside have no root and are not drawn.
void CallTreeWriter::writeRoots() {
  for (int n : table_.sortedIndex()) {
    const FunctionRecord& r = table_.record(n);
    if (!r.key.empty() && (r.flags & FunctionFlag::kKnown) && r.callers.empty()) writeRoot(n);
  }
}

void CallTreeWriter::writeRoot(int root) {
  const FunctionRecord& r = table_.record(root);
  if (tagFormat_) writeTagPrefix(r);
  out_ << r.key;
  int width = static_cast<int>(r.key.size());
  if (r.flags & FunctionFlag::kInterrupt) {
    out_ << kInterruptMark;
    width += markWidth(kInterruptMark);
  }
  if (r.flags & FunctionFlag::kFunctionPointer) {
    out_ << kPointerMark;
    width += markWidth(kPointerMark);
  }
  if (!tagFormat_) writeFileColumn(kRootColumn - width, r);
  endLine();
  path_[0] = root;
  drawCallees(root, 0);
}

bool CallTreeWriter::isAncestor(int c, int depth) const {
  return std::find(path_, path_ + depth + 1, c) != path_ + depth + 1;
}

// Callees that are not defined in the sources get no line; `written`
// counts the lines, so that the last visible callee gets the last branch.
void CallTreeWriter::drawCallees(int f, int depth) {
  int written = 0;
  const std::vector<int>& callees = table_.record(f).callees;
  for (int c : callees) {
    bool ancestor = isAncestor(c, depth);
    if (!ancestor) path_[depth + 1] = c;
    if (!(table_.record(c).flags & FunctionFlag::kKnown)) continue;
    bool expand = writeCallee(f, c, depth, ancestor, written);
    if (expand && depth + 1 < TreeDrawing::kDepth) drawCallees(c, depth + 1);
    ++written;
  }
}

// One callee line; true when the callee's own callees follow.
bool CallTreeWriter::writeCallee(int f, int c, int depth, bool ancestor, int written) {
  const FunctionRecord& r = table_.record(c);
  if (tagFormat_) writeTagPrefix(r);
  writeIndent(depth, table_.record(f).visibleCalleeCount == written + 1);
  out_ << r.key;
  int width = static_cast<int>(r.key.size());
  bool expand = writeMarks(c, ancestor, width);
  if (!tagFormat_) writeFileColumn(kCalleeColumn - 2 * depth - width, r);
  endLine();
  return expand;
}

// A blank, one piece per level above (blank where that level's branch has
// closed), and the branch piece, which closes this level when it is the last.
void CallTreeWriter::writeIndent(int depth, bool last) {
  out_ << pieces_.blank;
  for (int level = 1; level <= depth; ++level)
    out_ << (tree_.branchClosed[level - 1] ? pieces_.blank : pieces_.vertical);
  out_ << (last ? pieces_.lastBranch : pieces_.branch);
  tree_.branchClosed[depth] = last;
}

// A function met again is either an ancestor (recursion, never expanded)
// or, with repeated subtrees hidden, shown once and then only referred to.
bool CallTreeWriter::writeMarks(int n, bool ancestor, int& width) {
  const FunctionRecord& c = table_.record(n);
  if (!ancestor && printed_[n] && hidesRepeats()) {
    if (c.visibleCalleeCount != 0) {
      out_ << kSubtreeShownMark;
      width += markWidth(kSubtreeShownMark);
    }
    return false;
  }
  printed_[n] = true;
  if (c.flags & FunctionFlag::kFunctionPointer) {
    out_ << kPointerMark;
    width += markWidth(kPointerMark);
  }
  if (ancestor || (c.flags & FunctionFlag::kRecursive)) {
    out_ << kRecursionMark;
    width += markWidth(kRecursionMark);
  }
  return !ancestor;
}

// "file<pad> line: " with the file in a column one wider than the longest
// file name and the line right-adjusted in five columns; the blank is two
// columns wide, so an odd pad borrows a column that the line pad gives back.
void CallTreeWriter::writeTagPrefix(const FunctionRecord& r) {
  const std::string& file = recordFileName(tables_, r);
  int line = file.empty() ? 0 : r.line;
  out_ << file;
  bool borrowed =
      padWithBlanks(out_, tree_.fileColumnWidth - static_cast<int>(file.size()), pieces_.blank);
  if (borrowed) out_ << pieces_.blank;
  if (padWithBlanks(out_, 5 - decimalWidth(line), pieces_.blank))
    out_ << (borrowed ? " " : pieces_.blank);
  else if (!borrowed)
    out_ << ' ';
  out_ << line << ": ";
}

void CallTreeWriter::writeFileColumn(int remaining, const FunctionRecord& r) {
  if (padWithBlanks(out_, remaining, pieces_.blank))
    out_ << pieces_.blank << '[';
  else
    out_ << " [";
  out_ << recordFileName(tables_, r) << ']';
}

void CallTreeWriter::endLine() {
  writer_.endLine();
  if (linesLeft_ > 0) --linesLeft_;
}

bool CallTreeWriter::hidesRepeats() {
  if (hideRepeated_) return true;
  if (linesLeft_ > 0) return false;
  log_ << "関数ツリー図の行数が多いため、以降は既述関数の展開を省略します。\n";
  hideRepeated_ = true;
  return true;
}

void writeTree(ReportSession& session, const FunctionReportTables& tables,
               long long fullTreeLines) {
  Report report(session);
  if (!report.create(ReportId::kCallTree)) return;
  report->beginPage("関数ツリー図");
  report->beginLines();
  CallTreeWriter(tables, report, fullTreeLines).writeRoots();
  report->endLines();
  report->endPage();
  report.close();
}

bool callTreeGoesBeside(const ReportSession& session, const FunctionReportTables& tables) {
  if (!tables.options.functionDetails) return false;
  ReportFormat chosen = session.style().format;
  for (ReportId id : {ReportId::kCallTree, ReportId::kFunctionList}) {
    std::optional<ReportFormat> form = writtenForm(id, chosen);
    if (form && *form == ReportFormat::kWorkbook) return false;
  }
  return true;
}

}  // namespace

const std::string& recordFileName(const FunctionReportTables& tables,
                                  const FunctionRecord& record) {
  return tables.fileNames.name(record.fileNo);
}

void prepareFunctionReports(const FunctionReportTables& tables) {
  FunctionTable& table = tables.functions;
  table.settleOrder();
  int& columnWidth = table.tree().fileColumnWidth;
  columnWidth = 0;
  for (int n = 0; n < table.recordCount(); ++n) {
    if (table.record(n).key.empty()) continue;
    table.cutKey(n, table.record(n).key.find('@'));
    FunctionRecord& r = table.record(n);
    const std::string& file = recordFileName(tables, r);
    if ((r.flags & FunctionFlag::kKnown) && !file.empty())
      columnWidth = std::max(columnWidth, static_cast<int>(file.size()));
    r.visibleCalleeCount =
        static_cast<int>(std::count_if(r.callees.begin(), r.callees.end(), [&table](int c) {
          return (table.record(c).flags & FunctionFlag::kKnown) != 0;
        }));
  }
}

void writeCallTree(ReportSession& session, const FunctionReportTables& tables,
                   long long fullTreeLines) {
  prepareFunctionReports(tables);
  writeTree(session, tables, fullTreeLines);
  const Options& options = tables.options;
  if (options.callGraphDot) writeCallGraph(session, tables);
  if (options.functionList) writeFunctionList(session, tables);
  if (options.functionDetails) writeFunctionDetails(session, tables);
}

CallTreeBeside::CallTreeBeside(ReportSession& session, const FunctionReportTables& tables,
                               long long fullTreeLines)
    : session_(session), side_(session.beside(tree_)) {
  session_.hold(&caller_);
  thread_ = std::make_unique<platform::SideThread>([this, tables, fullTreeLines] {
    writeTree(*side_, tables, fullTreeLines);
    if (tables.options.callGraphDot) writeCallGraph(*side_, tables);
    if (tables.options.functionList) writeFunctionList(*side_, tables);
    side_->closeKeptReports();
  });
}

CallTreeBeside::~CallTreeBeside() { finish(); }

void CallTreeBeside::finish() {
  if (!thread_) return;
  thread_->join();
  thread_.reset();
  side_.reset();
  session_.hold(nullptr);
  session_.release(tree_);
  session_.release(caller_);
}

std::unique_ptr<CallTreeBeside> writeCallTreeBeside(ReportSession& session,
                                                    const FunctionReportTables& tables,
                                                    long long fullTreeLines) {
  if (!callTreeGoesBeside(session, tables)) {
    writeCallTree(session, tables, fullTreeLines);
    return nullptr;
  }
  prepareFunctionReports(tables);
  auto tree = std::make_unique<CallTreeBeside>(session, tables, fullTreeLines);
  writeFunctionDetails(session, tables);
  return tree;
}
