// The include tree of a run: every file switch and every #include adds an
// edge from the including file to the included one. Nodes are identified
// by their file-name id in the run's FileNamePool and numbered from 1 in
// creation order; the tree is written as "MzFileTree" at the end of a run.
#pragma once

#include <string>
#include <vector>

struct Options;
class FileNamePool;
class Report;
class ReportSession;

class FileTree {
 public:
  enum Flags : int { kSourceFile = 1, kRecursion = 2, kExpanded = 4 };

  struct Node {
    int fileId = 0;
    std::vector<int> children;  // 1-based node numbers, first-added order
    int flags = 0;
  };

  FileTree(const Options& options, FileNamePool& names) : options_(options), names_(names) {}

  // Looks up (creating if needed) both nodes; links child under parent.
  void addEdge(const std::string& parent, const std::string& child);

  const std::vector<Node>& nodes() const { return nodes_; }
  // Writes "MzFileTree.txt" or ".html" in the output folder.
  void write(ReportSession& session);

 private:
  // 1-based node number of a file, created when new; 0 for an empty name.
  int nodeOf(const std::string& text);

  // file_tree_report.cc: one level of the drawing under `node`; `path`
  // holds {node, is the last child} from the root down.
  struct PathStep {
    int node;
    bool isLast;
  };
  void printChildren(Report& report, int node, std::vector<PathStep>& path);

  const Options& options_;
  FileNamePool& names_;
  std::vector<Node> nodes_;
  std::vector<int> nodeOfFileId_;  // index: file id; value: node number or 0
};
