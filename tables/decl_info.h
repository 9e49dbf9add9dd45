// The declaration record that the parsers hand to the function and class
// tables: where a function or method lives (namespace, class), its name and
// texts, and the place of the declaration. A plain value; the tables copy
// what they keep.
#pragma once

#include <cstdint>
#include <string>

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
