#include "driver/file_text_notes.h"

#include "report/error_log.h"

namespace {

const char* encodingName(FileText text) {
  switch (text) {
    case FileText::kShiftJis:
      return "Shift-JIS";
    case FileText::kUtf16:
      return "UTF-16";
    case FileText::kUtf8:
      return "UTF-8";
    case FileText::kEucJp:
      return "EUC-JP";
  }
  return "";
}

}  // namespace

std::string fileTextLogLine(FileText text, const std::string& path) {
  return std::string("  文字ｺｰﾄﾞ ") + encodingName(text) + " として読みました: " + path;
}

void FileTextNotes::readAs(FileText text) {
  const std::string& path = context_.topPath();
  if (noted_.insert(path).second) errorLog() << fileTextLogLine(text, path) << '\n';
}
