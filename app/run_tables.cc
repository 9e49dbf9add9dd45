#include "app/run_tables.h"

#include "app/file_name_pool.h"
#include "app/file_tree.h"
#include "app/include_registry.h"
#include "app/options.h"
#include "app/source_context.h"
#include "parse/namespace_table.h"
#include "parse/type_table.h"
#include "parse/variable_table.h"
#include "scan/define_table.h"
#include "scan/reserved_word_table.h"
#include "tables/class_table.h"
#include "tables/function_table.h"

RunTables::RunTables(Options& options) : options_(options) {}

RunTables::~RunTables() { destroy(); }

// Tables join this list as they are built; the order of the members is the
// order of creation and of destruction.
void RunTables::create() {
  reservedWords = std::make_unique<ReservedWordTable>(this);
  defines = std::make_unique<DefineTable>(*this);
  functions = std::make_unique<FunctionTable>(*this);
  fileNames = std::make_unique<FileNamePool>();
  namespaces = std::make_unique<NamespaceTable>(this);
  classes = std::make_unique<ClassTable>(*this);
  variables = std::make_unique<VariableTable>(*this);
  workingTypes = std::make_unique<TypeTable>(*this, true);
  baseTypes = std::make_unique<TypeTable>(*this, false);
  context = std::make_unique<SourceContext>(options_);
  includes = std::make_unique<IncludeRegistry>(*this);
  fileTree = std::make_unique<FileTree>(options_, *fileNames);
}

void RunTables::destroy() {
  reservedWords.reset();
  defines.reset();
  functions.reset();
  fileNames.reset();
  namespaces.reset();
  classes.reset();
  variables.reset();
  workingTypes.reset();
  baseTypes.reset();
  context.reset();
  includes.reset();
  fileTree.reset();
}
