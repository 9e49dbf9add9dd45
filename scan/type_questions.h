// The questions the scanner asks of the run's type table: whether a name
// is a type (sizeof in #if conditions, interrupt-function names), a type's
// size and a pointer's, and a C #define that names a type. The type table answers them.
#pragma once

#include <string_view>

class TypeQuestions {
 public:
  virtual ~TypeQuestions() = default;
  // Whether `name` is a type of the current file's language; marks it used.
  virtual bool isType(std::string_view name) = 0;
  // The same question, marking nothing.
  virtual bool isTypeQuietly(std::string_view name) const = 0;
  // Bytes of the type in the current language; 0 for a non-type.
  virtual int sizeInBytes(std::string_view name) = 0;
  // Bytes of a pointer.
  virtual int pointerSize() const = 0;
  // `#define NAME body` in a C or C++ file; true when NAME became a type.
  virtual bool registerMacroType(std::string_view name, std::string_view body) = 0;
};
