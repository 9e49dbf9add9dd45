// The declarations of a Java run, read before its files are analysed: the
// classes, interfaces, enumerations and records of every file with their
// bases and method names. Java has no headers: a class of one file is used
// in another whatever their order, so the run enters these in its class
// table (and its types) before the first file is read. The parser below
// reads one file's tokens for them and registers nothing itself.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "scan/token_parser.h"

struct ParserContext;

struct JavaDeclarations {
  struct Class {
    std::string name;                  // a class is known by its own name
    std::string file;                  // the path of the file that declares it
    std::vector<std::string> bases;    // after extends and implements, last parts
    std::vector<std::string> methods;  // with the constructors, in order
    // Fields (an enumeration's constants among them, of its own type).
    struct Field {
      std::string type;  // the class of a field: its type's name, generics left out
      std::string name;
    };
    std::vector<Field> fields;
    // The result types of its methods (type and method name), where the
    // type names a class: `f().g()` calls g of f's result type.
    std::vector<Field> results;
  };
  std::vector<Class> classes;
};

// The parser of the declarations pass for one Java file at `path`; what
// it finds is appended to `found`, which must outlive it.
std::unique_ptr<TokenParser> makeJavaDeclarationParser(ParserContext& tables,
                                                       JavaDeclarations& found,
                                                       const std::string& path);
