// The run's note of every source file or header whose text is not
// Shift-JIS: one log line per file, the first time it is read, naming the
// encoding it was read as and its path.
#pragma once

#include <string>
#include <unordered_set>

#include "context/source_context.h"
#include "scan/read_loop.h"

class FileTextNotes final : public FileTextWatch {
 public:
  // The file being read is the context's innermost; the context must
  // outlive the notes.
  explicit FileTextNotes(const SourceContext& context) : context_(context) {}
  void readAs(FileText text) override;

 private:
  const SourceContext& context_;
  std::unordered_set<std::string> noted_;
};

// "  文字ｺｰﾄﾞ UTF-8 として読みました: <path>"
std::string fileTextLogLine(FileText text, const std::string& path);
