#include "app/run_tables.h"

#include "app/file_name_pool.h"
#include "app/file_tree.h"
#include "app/include_registry.h"
#include "app/options.h"
#include "app/source_context.h"

RunTables::RunTables(Options& options) : options_(options) {}

RunTables::~RunTables() { destroy(); }

// Tables join this list as they are built; the order of the members is the
// order of creation and of destruction.
void RunTables::create() {
  fileNames = std::make_unique<FileNamePool>();
  context = std::make_unique<SourceContext>(options_);
  includes = std::make_unique<IncludeRegistry>(*this);
  fileTree = std::make_unique<FileTree>(options_, *fileNames);
}

void RunTables::destroy() {
  fileNames.reset();
  context.reset();
  includes.reset();
  fileTree.reset();
}
