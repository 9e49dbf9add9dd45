// The tables of one analysis run. The run driver creates them in a fixed
// order at the start of a run and destroys them, in the same order, at its
// end; every part of the analyser reaches its sibling tables through this
// record while the run lasts. A table that needs others keeps a reference
// to the RunTables and looks them up when it needs them.
#pragma once

#include <memory>

struct Options;
class ReservedWordTable;
class DefineTable;
class FunctionTable;
class FileNamePool;
class NamespaceTable;
class ClassTable;
class VariableTable;
class TypeTable;
class SourceContext;
class IncludeRegistry;
class FileTree;

class RunTables {
 public:
  explicit RunTables(Options& options);
  ~RunTables();
  RunTables(const RunTables&) = delete;
  RunTables& operator=(const RunTables&) = delete;

  // In creation order. Each is null before create() and after destroy().
  // The run's tables, in the order of creation (and destruction):
  //   reservedWords, defines, functions, fileNames, namespaces, classes,
  //   variables, workingTypes (analysis types), baseTypes (settings types),
  //   context, includes, fileTree.
  // Each joins here, in that order, when it is built.
  std::unique_ptr<ReservedWordTable> reservedWords;
  std::unique_ptr<DefineTable> defines;
  std::unique_ptr<FunctionTable> functions;
  std::unique_ptr<FileNamePool> fileNames;
  std::unique_ptr<NamespaceTable> namespaces;
  std::unique_ptr<ClassTable> classes;
  std::unique_ptr<VariableTable> variables;
  std::unique_ptr<TypeTable> workingTypes;
  std::unique_ptr<TypeTable> baseTypes;
  std::unique_ptr<SourceContext> context;
  std::unique_ptr<IncludeRegistry> includes;
  std::unique_ptr<FileTree> fileTree;

  Options& options() const { return options_; }

  void create();
  void destroy();

 private:
  Options& options_;
};
