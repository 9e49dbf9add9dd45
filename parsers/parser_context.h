// The run's tables as the parsers reach them: a parser registers the
// functions, calls, classes, variables, namespaces and types it recognises
// (or notes the calls to be linked after the last file),
// asks the #define table and the reserved words about tokens, and reads
// the file being parsed off the source context. The run builds one; every
// parser of the run refers to it, and the tables outlive the parsers.
#pragma once

struct Options;
class CallResolution;
class ClassTable;
class DefineTable;
class FunctionTable;
class NamespaceTable;
class ReservedWordTable;
class SourceContext;
class TypeTable;
class VariableTable;

struct ParserContext {
  const Options& options;
  SourceContext& context;
  DefineTable& defines;  // enumerators are defined as macros
  const ReservedWordTable& reservedWords;
  TypeTable& types;  // the analysis types
  ClassTable& classes;
  FunctionTable& functions;
  VariableTable& variables;
  NamespaceTable& namespaces;
  CallResolution& calls;  // VB and Delphi calls, linked after the last file
};
