// The file tree report "MzFileTree": every analysed source file followed by
// its include hierarchy, drawn with the line style's pieces, with marks for
// include cycles and for subtrees already shown.
#include "context/file_name_pool.h"
#include "context/file_tree.h"
#include "context/options.h"
#include "report/report.h"

namespace {

// Levels below this depth are not drawn.
constexpr size_t kMaxDepth = 20;

}  // namespace

void FileTree::write(ReportSession& session) {
  Report report(session);
  if (!report.create(ReportId::kFileTree)) return;
  report->beginPage("ファイルツリー図");
  report->beginLines();
  for (size_t r = 1; r <= nodes_.size(); ++r) {
    if (!(nodes_[r - 1].flags & kSourceFile)) continue;
    report->text() << names_.name(nodes_[r - 1].fileId);
    report->endLine();
    std::vector<PathStep> path{{static_cast<int>(r), false}};
    printChildren(report, static_cast<int>(r), path);
    report->endLine();
  }
  report->endLines();
  report->endPage();
}

// One line per child: indent, the verticals of the open levels above, the
// connector, the name, and a mark: "(再回帰)" for a file that includes
// itself or one of its includers, "↑" for a subtree shown before.
void FileTree::printChildren(Report& report, int node, std::vector<PathStep>& path) {
  if (path.size() > kMaxDepth) return;
  const LinePieces pieces = report.pieces();
  std::ostream& out = report->text();
  const std::vector<int> children = nodes_[node - 1].children;
  for (size_t i = 0; i < children.size(); ++i) {
    int c = children[i];
    if (c < 1 || c > static_cast<int>(nodes_.size())) break;
    bool isLast = i + 1 == children.size();
    out << pieces.blank;
    for (size_t j = 1; j < path.size(); ++j)
      out << (path[j].isLast ? pieces.blank : pieces.vertical);
    out << (isLast ? pieces.lastBranch : pieces.branch) << names_.name(nodes_[c - 1].fileId);
    Node& child = nodes_[c - 1];
    bool onPath = false;
    for (const PathStep& step : path) onPath = onPath || step.node == c;
    bool descend = false;
    if (child.flags & kRecursion) {
      out << "(再回帰)";
    } else if (onPath) {
      child.flags |= kRecursion;
      out << "(再回帰)";
    } else if (!options_.hideRepeatedSubtrees || !(child.flags & kExpanded)) {
      child.flags |= kExpanded;
      descend = true;
    } else if (!child.children.empty()) {
      out << "↑";
    }
    report->endLine();
    if (!descend) continue;
    path.push_back({c, isLast});
    printChildren(report, c, path);
    path.pop_back();
  }
}
