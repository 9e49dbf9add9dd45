#include "tables/call_graph.h"

#include <algorithm>
#include <string>
#include <vector>

#include "report/dot_text.h"
#include "report/report.h"
#include "tables/call_tree.h"
#include "tables/function_table.h"

namespace {

const char kHead[] =
    "// The calls of the analysed sources: one node per defined function,\n"
    "// labelled with its name (tooltip: file and line), one edge per call.\n"
    "// Legend: a root (a function no other calls) is filled light blue and\n"
    "// drawn bold; a recursive function (one that calls itself, or one in a\n"
    "// cycle of calls) has a red double outline.\n"
    "// Draw it with: dot -Tsvg <this file> > calls.svg\n"
    "digraph calls {\n"
    "  charset=\"UTF-8\";\n"
    "  node [shape=box];\n";

const char kRootStyle[] = " style=\"filled,bold\" fillcolor=\"lightblue\"";
const char kRecursiveStyle[] = " color=\"red\" peripheries=2";

bool isKnown(const FunctionTable& table, int n) {
  return (table.record(n).flags & FunctionFlag::kKnown) != 0;
}

// The defined functions that lie on a cycle of calls between defined
// functions (Tarjan's strongly connected components, without recursion:
// call chains can be deep). `node` numbers the records that are nodes.
std::vector<bool> onCycles(const FunctionTable& table, const std::vector<int>& node) {
  const int count = table.recordCount();
  std::vector<int> index(count, -1), low(count, 0);
  std::vector<bool> onStack(count, false), cyclic(count, false);
  std::vector<int> stack;
  struct Frame {
    int record;
    size_t next;
  };
  std::vector<Frame> frames;
  int counter = 0;
  for (int start = 0; start < count; ++start) {
    if (node[start] < 0 || index[start] >= 0) continue;
    frames.push_back({start, 0});
    index[start] = low[start] = counter++;
    stack.push_back(start);
    onStack[start] = true;
    while (!frames.empty()) {
      Frame& f = frames.back();
      const std::vector<int>& callees = table.record(f.record).callees;
      if (f.next < callees.size()) {
        int c = callees[f.next++];
        if (node[c] < 0) continue;
        if (index[c] < 0) {
          index[c] = low[c] = counter++;
          stack.push_back(c);
          onStack[c] = true;
          frames.push_back({c, 0});
        } else if (onStack[c]) {
          low[f.record] = std::min(low[f.record], index[c]);
        }
        continue;
      }
      int done = f.record;
      frames.pop_back();
      if (!frames.empty())
        low[frames.back().record] = std::min(low[frames.back().record], low[done]);
      if (low[done] != index[done]) continue;
      // The component's root: a component of more than one function is a cycle.
      bool several = stack.back() != done;
      for (int member = -1; member != done;) {
        member = stack.back();
        stack.pop_back();
        onStack[member] = false;
        cyclic[member] = several;
      }
    }
  }
  return cyclic;
}

class CallGraphWriter {
 public:
  CallGraphWriter(const FunctionReportTables& tables, std::ostream& out)
      : tables_(tables), table_(tables.functions), out_(out) {}
  void write();

 private:
  void writeNode(int n, bool cyclic);
  void writeEdges(int n);

  const FunctionReportTables& tables_;
  const FunctionTable& table_;
  std::ostream& out_;
  DotText dot_;
  std::vector<int> node_;  // node number of each record; -1 for none
  std::string scratch_;
};

void CallGraphWriter::write() {
  node_.assign(static_cast<size_t>(table_.recordCount()), -1);
  int nodes = 0;
  for (int n : table_.sortedIndex())
    if (!table_.record(n).key.empty() && isKnown(table_, n)) node_[n] = nodes++;
  const std::vector<bool> cyclic = onCycles(table_, node_);
  out_ << kHead;
  for (int n : table_.sortedIndex())
    if (node_[n] >= 0) writeNode(n, cyclic[n]);
  for (int n : table_.sortedIndex())
    if (node_[n] >= 0) writeEdges(n);
  out_ << "}\n";
}

void CallGraphWriter::writeNode(int n, bool cyclic) {
  const FunctionRecord& r = table_.record(n);
  out_ << "  f" << node_[n] << " [label=" << dot_.quoted(table_.displayName(r, scratch_));
  const std::string& file = recordFileName(tables_, r);
  if (!file.empty()) out_ << " tooltip=" << dot_.quoted(file + ":" + std::to_string(r.line));
  if (r.callers.empty()) out_ << kRootStyle;
  if (cyclic || (r.flags & FunctionFlag::kRecursive)) out_ << kRecursiveStyle;
  out_ << "];\n";
}

// The calls in the call tree's order; a function that calls itself has no
// link of its own in the table, only its mark, and gets its loop here.
void CallGraphWriter::writeEdges(int n) {
  if (table_.record(n).flags & FunctionFlag::kRecursive)
    out_ << "  f" << node_[n] << " -> f" << node_[n] << ";\n";
  for (int c : table_.record(n).callees)
    if (node_[c] >= 0) out_ << "  f" << node_[n] << " -> f" << node_[c] << ";\n";
}

}  // namespace

void writeCallGraph(ReportSession& session, const FunctionReportTables& tables) {
  Report report(session);
  if (!report.create(ReportId::kCallGraph)) return;
  CallGraphWriter(tables, report.stream()).write();
  report.close();
}
