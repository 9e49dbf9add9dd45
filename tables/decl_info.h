// The declaration record that the parsers hand to the function and class
// tables: where a function or method lives (namespace, class), its name and
// texts, and the place of the declaration. A plain value; the tables copy
// what they keep.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct DeclInfo {
  std::string nameSpace;
  std::string className;
  std::string name;
  std::string returnType;
  std::string arguments;
  std::string filePath;
  std::int32_t line = 0;
  // A C function declared `static`: it belongs to the file that declares it.
  bool fileLocal = false;
};

// The parts of a declaration that make its function key, as views (of a
// DeclInfo or of a parser's state) that must outlive the call they go to.
struct KeyParts {
  std::string_view nameSpace;
  std::string_view className;
  std::string_view name;
  bool fileLocal = false;
};

inline KeyParts keyPartsOf(const DeclInfo& decl) {
  return KeyParts{decl.nameSpace, decl.className, decl.name, decl.fileLocal};
}

// Stack use of a function's locals: the bytes, and whether a size was
// unknown or guessed.
struct StackUse {
  int bytes = 0;
  bool inexact = false;
};
