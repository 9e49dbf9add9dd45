#include "driver/defined_function_counts.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "context/source_file_list.h"
#include "context/text_util.h"
#include "platform/byte_source.h"
#include "scan/lexical_rules.h"
#include "tables/function_table.h"

namespace {

// Definitions read per path, in order of the path's file name under the
// run's comparison.
struct ReadFrom {
  std::string name;  // the file name part of path
  std::string path;
  int count = 0;
};

std::vector<ReadFrom> definitionsByName(const FunctionTable& functions) {
  std::vector<ReadFrom> byName;
  for (auto& [path, count] : functions.knownPerPath())
    byName.push_back({fileNamePart(path), std::move(path), count});
  std::stable_sort(byName.begin(), byName.end(), [](const ReadFrom& a, const ReadFrom& b) {
    return compareNames(a.name, b.name) < 0;
  });
  return byName;
}

// Whether another registered file has the name of entry `at` (the list is
// sorted by name, so such files stand beside it).
bool nameShared(const std::vector<SourceFileEntry>& entries, size_t at) {
  const std::string& name = entries[at].name;
  return (at > 0 && sameName(entries[at - 1].name, name)) ||
         (at + 1 < entries.size() && sameName(entries[at + 1].name, name));
}

bool sameFile(platform::FileSet& files, const std::string& a, const std::string& b) {
  if (a == b) return true;
  platform::FileIdentity first, second;
  return files.identify(a, first) && files.identify(b, second) && !(first < second) &&
         !(second < first);
}

// The definitions read from the file `path` (named `name`), whichever
// spelling of its path the reader opened it by.
int countReadFrom(const std::vector<ReadFrom>& byName, platform::FileSet& files,
                  const std::string& name, const std::string& path) {
  auto at = std::lower_bound(
      byName.begin(), byName.end(), name,
      [](const ReadFrom& e, const std::string& n) { return compareNames(e.name, n) < 0; });
  int count = 0;
  for (; at != byName.end() && sameName(at->name, name); ++at)
    if (sameFile(files, at->path, path)) count += at->count;
  return count;
}

}  // namespace

void countDefinedFunctions(SourceFileList& list, const FunctionTable& functions,
                           platform::FileSet& files, bool withPath) {
  std::vector<SourceFileEntry>& entries = list.entries();
  std::vector<ReadFrom> byName;
  bool byNameTaken = false;
  for (size_t i = 0; i < entries.size(); ++i) {
    SourceFileEntry& entry = entries[i];
    if (entry.name.empty()) break;
    int& count = entry.stepCounts[kDefinedFunctions];
    if (withPath || !nameShared(entries, i)) {
      count = functions.countKnownInFile(withPath ? entry.directory + entry.name : entry.name);
      continue;
    }
    if (!byNameTaken) byName = definitionsByName(functions);
    byNameTaken = true;
    count = countReadFrom(byName, files, entry.name, entry.directory + entry.name);
  }
}
