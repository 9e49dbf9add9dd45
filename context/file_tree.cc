#include "context/file_tree.h"

#include <algorithm>

#include "context/file_name_pool.h"
#include "context/options.h"
#include "context/text_util.h"

// A file is known by its short name (its path when tag-jump output keeps
// paths), whether it comes as an including file, an included path or an
// include name as written.
int FileTree::nodeOf(const std::string& text) {
  std::string name = options_.tagJumpTree ? text : fileNamePart(text);
  int id = names_.add(name);
  if (id == 0) return 0;
  if (id >= static_cast<int>(nodeOfFileId_.size())) nodeOfFileId_.resize(id + 1, 0);
  if (nodeOfFileId_[id] != 0) return nodeOfFileId_[id];
  Node node;
  node.fileId = id;
  if (languageOfFileName(options_, name) >= 0) node.flags |= kSourceFile;
  nodes_.push_back(node);
  nodeOfFileId_[id] = static_cast<int>(nodes_.size());
  return nodeOfFileId_[id];
}

void FileTree::addEdge(const std::string& parent, const std::string& child) {
  int p = nodeOf(parent);
  int c = nodeOf(child);
  if (p == 0 || c == 0) return;
  if (p == c) {
    nodes_[p - 1].flags |= kRecursion;
    return;
  }
  std::vector<int>& children = nodes_[p - 1].children;
  if (std::find(children.begin(), children.end(), c) == children.end()) children.push_back(c);
}
