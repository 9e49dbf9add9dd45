// A JSON document written as it goes, into a stream it does not own: no
// value is held after it has been written, so a document of any size takes
// the memory of one value. Text comes in the program's CP932 and is
// written as UTF-8 (utf8_text.h) with the escapes JSON needs: quotes,
// backslashes and control characters. Members and elements of the two
// outer levels start a line each, so that a tool or a person can read the
// document line by line; deeper values stay on their element's line.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "report/utf8_text.h"

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}
  JsonWriter(const JsonWriter&) = delete;
  JsonWriter& operator=(const JsonWriter&) = delete;

  void beginObject();
  void endObject();
  void beginArray();
  void endArray();
  // The name of the next member (ASCII, written as it is).
  void key(std::string_view name);

  void string(std::string_view cp932);
  void number(long long value);
  void boolean(bool value);
  void null();

  // A member: key and value.
  void member(std::string_view name, std::string_view cp932) {
    key(name);
    string(cp932);
  }
  void member(std::string_view name, long long value) {
    key(name);
    number(value);
  }
  void memberBool(std::string_view name, bool value) {
    key(name);
    boolean(value);
  }

  // The JSON string of `cp932`, quotes included (for tests and writers of
  // their own).
  std::string quoted(std::string_view cp932);

 private:
  // The separator and line break before a value or a key.
  void beforeValue();
  void put(std::string_view text) {
    out_.rdbuf()->sputn(text.data(), static_cast<std::streamsize>(text.size()));
  }

  std::ostream& out_;
  // Per open object or array: whether it holds a value yet.
  std::vector<bool> filled_;
  bool afterKey_ = false;
  std::string buffer_;
  Utf8Text utf8_;
};
