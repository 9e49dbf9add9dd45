#include "platform/ini_text.h"

#include <set>
#include <vector>

#include "platform/text_encoding.h"

namespace platform {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && (isBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

unsigned char foldAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

// The spelling under which sameName() names are equal: ASCII letters in
// upper case, double-byte characters as they are.
std::string folded(std::string_view name) {
  std::string out(name);
  for (size_t i = 0; i < out.size(); ++i) {
    unsigned char c = out[i];
    if (isShiftJisLead(c) && i + 1 < out.size())
      ++i;
    else
      out[i] = static_cast<char>(foldAscii(c));
  }
  return out;
}

// ASCII letters match in either case; a double-byte character must match
// exactly, so that its second byte is never folded.
bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = a[i], y = b[i];
    if (isShiftJisLead(x) && i + 1 < a.size()) {
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (foldAscii(x) != foldAscii(y)) {
      return false;
    }
  }
  return true;
}

struct Line {
  size_t begin, end;  // [begin, end) without the line end
  size_t next;        // start of the following line
};

std::vector<Line> splitLines(std::string_view text) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    size_t end = nl == std::string_view::npos ? text.size() : nl;
    size_t next = nl == std::string_view::npos ? text.size() : nl + 1;
    if (end > pos && text[end - 1] == '\r') --end;
    lines.push_back({pos, end, next});
    pos = next;
  }
  return lines;
}

// "[name]" -> name; empty view (and false) for other lines.
bool sectionName(std::string_view line, std::string_view& name) {
  line = trim(line);
  if (line.size() < 2 || line.front() != '[') return false;
  size_t close = line.find(']');
  if (close == std::string_view::npos) close = line.size();
  name = trim(line.substr(1, close - 1));
  return true;
}

bool keyOf(std::string_view line, std::string_view& key, std::string_view& value) {
  line = trim(line);
  if (line.empty() || line.front() == ';') return false;
  size_t eq = line.find('=');
  key = trim(line.substr(0, eq));
  value = eq == std::string_view::npos ? std::string_view() : trim(line.substr(eq + 1));
  return true;
}

std::string_view unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

std::string cut(std::string_view v, size_t bufferSize) {
  if (bufferSize == 0) return std::string();
  if (v.size() > bufferSize - 1) v = v.substr(0, bufferSize - 1);
  return std::string(v);
}

struct Found {
  bool section = false;
  size_t sectionLine = 0;    // line index of "[section]"
  size_t lastEntryLine = 0;  // last non-blank line of the section
  bool key = false;
  size_t keyLine = 0;
};

Found locate(std::string_view text, const std::vector<Line>& lines, std::string_view section,
             std::string_view key) {
  Found f;
  bool inside = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = text.substr(lines[i].begin, lines[i].end - lines[i].begin);
    std::string_view name;
    if (sectionName(line, name)) {
      if (f.section) break;  // only the first matching section counts
      inside = sameName(name, section);
      if (inside) f.section = true, f.sectionLine = f.lastEntryLine = i;
      continue;
    }
    if (!inside) continue;
    if (!trim(line).empty()) f.lastEntryLine = i;
    std::string_view k, v;
    if (keyOf(line, k, v) && sameName(k, key)) {
      f.key = true;
      f.keyLine = i;
      return f;
    }
  }
  return f;
}

}  // namespace

IniIndex::IniIndex(std::string_view text) {
  std::set<std::string> sections;
  std::string section;
  bool inside = false;  // in the first section of its name
  for (const Line& l : splitLines(text)) {
    std::string_view line = text.substr(l.begin, l.end - l.begin);
    std::string_view name, key, value;
    if (sectionName(line, name)) {
      section = folded(name);
      inside = sections.insert(section).second;
      entries_.push_back({std::string(name), std::string()});
    } else if (keyOf(line, key, value)) {
      if (!entries_.empty()) entries_.push_back({entries_.back().section, std::string(key)});
      if (inside) values_.emplace(std::make_pair(section, folded(key)), std::string(value));
    }
  }
}

std::string IniIndex::lookup(std::string_view section, std::string_view key,
                             std::string_view fallback, size_t bufferSize) const {
  auto found = values_.find(std::make_pair(folded(trim(section)), folded(trim(key))));
  if (found == values_.end()) return cut(trim(fallback), bufferSize);
  return cut(unquote(found->second), bufferSize);
}

std::string iniLookup(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view fallback, size_t bufferSize) {
  return IniIndex(text).lookup(section, key, fallback, bufferSize);
}

std::string iniAssign(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value) {
  std::vector<Line> lines = splitLines(text);
  Found f = locate(text, lines, trim(section), trim(key));
  std::string entry = std::string(trim(key)) + "=" + std::string(value) + "\r\n";
  std::string out;
  if (f.key) {
    const Line& l = lines[f.keyLine];
    out.append(text.substr(0, l.begin)).append(entry).append(text.substr(l.next));
  } else if (f.section) {
    size_t at = lines[f.lastEntryLine].next;
    out.append(text.substr(0, at));
    if (at == text.size() && !out.empty() && out.back() != '\n') out += "\r\n";
    out.append(entry).append(text.substr(at));
  } else {
    out.append(text);
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    out.append("[").append(trim(section)).append("]\r\n").append(entry);
  }
  return out;
}

}  // namespace platform
