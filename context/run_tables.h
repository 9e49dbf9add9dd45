// The tables of one analysis run, as its parts reach one another: a parser
// feeds the function, type and variable tables, the tables name files
// through the run's file pool, the scanner asks the type table its few
// questions. The run object creates the tables in a fixed order, fills
// this record, and destroys them (in the same order) at the run's end; the
// record owns nothing. Besides the tables it holds the run's settings (the
// options, read once at the start and constant) and its working values.
#pragma once

#include <functional>
#include <string_view>

#include "context/options.h"

class ReservedWordTable;
class DefineTable;
class FunctionTable;
class FileNamePool;
class NamespaceTable;
class ClassTable;
class VariableTable;
class TypeTable;
class TypeQuestions;
class SourceContext;
class IncludeRegistry;
class FileTree;

class RunTables {
 public:
  explicit RunTables(const Options& options) : options_(options) {}
  RunTables(const RunTables&) = delete;
  RunTables& operator=(const RunTables&) = delete;

  const Options& options() const { return options_; }

  // In creation order; each is null before the run creates it and after
  // the run ends:
  ReservedWordTable* reservedWords = nullptr;
  DefineTable* defines = nullptr;
  FunctionTable* functions = nullptr;
  FileNamePool* fileNames = nullptr;
  NamespaceTable* namespaces = nullptr;
  ClassTable* classes = nullptr;
  VariableTable* variables = nullptr;
  TypeTable* workingTypes = nullptr;  // the analysis types
  TypeTable* baseTypes = nullptr;     // the settings types
  SourceContext* context = nullptr;
  IncludeRegistry* includes = nullptr;
  FileTree* fileTree = nullptr;

  // workingTypes, as the scanner asks it.
  TypeQuestions* typeQuestions = nullptr;
  // Where the scanner hands a function that "#pragma <interrupt keyword>"
  // names, with the comment captured before it.
  std::function<void(std::string_view name, std::string_view comment)> interruptFunctionFound;

  // The header read mode in force: the options' mode, except that a run
  // with C++ or Java files reads headers it was told never to read once.
  HeaderReadMode headerMode = HeaderReadMode::PerSourceFile;

 private:
  const Options& options_;
};
