// The file tree report "MzFileTree": every analysed source file followed by
// its include hierarchy, drawn with box characters, with marks for include
// cycles and for subtrees already shown.
#include "app/file_name_pool.h"
#include "app/file_tree.h"
#include "app/options.h"
#include "report/html.h"
#include "report/report_file.h"

namespace {

// Levels below this depth are not drawn.
constexpr size_t kMaxDepth = 20;

}  // namespace

void FileTree::write() {
  bool html = options_.outputFormat == OutputFormat::Html;
  ReportFile out;
  if (html) {
    openReport("MzFileTree.html", out);
    writeHtmlHead(out, "ファイルツリー図");
    out << "<p><font face=\"ＭＳ ゴシック\">";
  } else {
    openReport("MzFileTree.txt", out);
  }
  const char* lineEnd = html ? "<br>\n" : "\n";
  for (size_t r = 1; r <= nodes_.size(); ++r) {
    if (!(nodes_[r - 1].flags & kSourceFile)) continue;
    out << names_.name(nodes_[r - 1].fileId) << lineEnd;
    std::vector<PathStep> path{{static_cast<int>(r), false}};
    printChildren(out, static_cast<int>(r), path, html);
    out << lineEnd;
  }
  if (html) out << "</font></p>\n</body>\n</html>\n";
  out.close();
}

// One line per child: indent, the verticals of the open levels above, the
// connector, the name, and a mark: "(再回帰)" for a file that includes
// itself or one of its includers, "↑" for a subtree shown before.
void FileTree::printChildren(std::ostream& out, int node, std::vector<PathStep>& path, bool html) {
  if (path.size() > kMaxDepth) return;
  const char* indent = html ? "　" : "  ";
  bool pc98 = options_.pc98Lines != 0;
  const char* vertical = pc98 ? "・" : "│";
  const char* middle = pc98 ? "・" : "├";
  const char* lastMark = pc98 ? "・" : "└";
  const std::vector<int> children = nodes_[node - 1].children;
  for (size_t i = 0; i < children.size(); ++i) {
    int c = children[i];
    if (c < 1 || c > static_cast<int>(nodes_.size())) break;
    bool isLast = i + 1 == children.size();
    out << indent;
    for (size_t j = 1; j < path.size(); ++j) out << (path[j].isLast ? indent : vertical);
    out << (isLast ? lastMark : middle) << names_.name(nodes_[c - 1].fileId);
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
    out << (html ? "<br>\n" : "\n");
    if (!descend) continue;
    path.push_back({c, isLast});
    printChildren(out, c, path, html);
    path.pop_back();
  }
}
