#include "report/json_writer.h"

#include <charconv>

namespace {

// Levels whose members or elements each start a line.
constexpr size_t kLinedLevels = 2;

void escapeJson(std::string& out, char c) {
  switch (c) {
    case '"':
      out += "\\\"";
      return;
    case '\\':
      out += "\\\\";
      return;
    case '\n':
      out += "\\n";
      return;
    case '\r':
      out += "\\r";
      return;
    case '\t':
      out += "\\t";
      return;
    default:
      break;
  }
  if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
    static const char kHex[] = "0123456789abcdef";
    out += "\\u00";
    out += kHex[(c >> 4) & 0xF];
    out += kHex[c & 0xF];
    return;
  }
  out += c;
}

}  // namespace

void JsonWriter::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (filled_.empty()) return;
  if (filled_.back()) put(",");
  filled_.back() = true;
  if (filled_.size() <= kLinedLevels) put("\n");
}

void JsonWriter::beginObject() {
  beforeValue();
  put("{");
  filled_.push_back(false);
}

void JsonWriter::beginArray() {
  beforeValue();
  put("[");
  filled_.push_back(false);
}

void JsonWriter::endObject() {
  bool lined = filled_.back() && filled_.size() <= kLinedLevels;
  filled_.pop_back();
  put(lined ? "\n}" : "}");
  if (filled_.empty()) put("\n");
}

void JsonWriter::endArray() {
  bool lined = filled_.back() && filled_.size() <= kLinedLevels;
  filled_.pop_back();
  put(lined ? "\n]" : "]");
}

void JsonWriter::key(std::string_view name) {
  beforeValue();
  put("\"");
  put(name);
  put("\":");
  afterKey_ = true;
}

std::string JsonWriter::quoted(std::string_view cp932) {
  std::string text = "\"";
  utf8_.append(text, cp932, escapeJson);
  text += '"';
  return text;
}

void JsonWriter::string(std::string_view cp932) {
  beforeValue();
  buffer_.assign("\"");
  utf8_.append(buffer_, cp932, escapeJson);
  buffer_ += '"';
  put(buffer_);
}

void JsonWriter::number(long long value) {
  beforeValue();
  char digits[24];
  auto result = std::to_chars(digits, digits + sizeof digits, value);
  put(std::string_view(digits, static_cast<size_t>(result.ptr - digits)));
}

void JsonWriter::boolean(bool value) {
  beforeValue();
  put(value ? "true" : "false");
}

void JsonWriter::null() {
  beforeValue();
  put("null");
}
