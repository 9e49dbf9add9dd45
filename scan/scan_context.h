// What the scanner of one run works with besides the bytes of a file: the
// options, the stack of files being read, the include tree, the #define
// table, the reserved words, the type questions, the parsers' record of
// the run's tables (handed to each language's parser factory, opaque
// here), and where a function that an interrupt pragma names goes. The run
// builds one; every reader and directive processor of the run refers to
// it, and everything it refers to outlives them.
#pragma once

#include <functional>
#include <string_view>

#include "scan/condition_evaluator.h"

struct Options;
struct ParserContext;
class DefineTable;
class FileTree;
class ReadWatch;
class ReservedWordTable;
class SourceContext;
class TypeQuestions;

struct ScanContext {
  const Options& options;
  SourceContext& context;
  FileTree& fileTree;
  DefineTable& defines;
  const ReservedWordTable& reservedWords;
  TypeQuestions& types;
  ParserContext& parsers;
  // "#pragma <interrupt keyword> name": the name, and the comment captured
  // before it.
  std::function<void(std::string_view name, std::string_view comment)> interruptFunctionFound;
  // The run's header replay, told what readings ask and change; null when
  // headers are not replayed.
  ReadWatch* watch = nullptr;

  ExpressionTables expressions() const { return {context, defines, types}; }
};
