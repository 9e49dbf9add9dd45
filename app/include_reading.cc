#include "app/include_reading.h"

#include <vector>

#include "app/include_registry.h"
#include "app/run_tables.h"
#include "app/source_context.h"
#include "app/text_util.h"
#include "tables/function_table.h"
#include "parse/languages.h"
#include "parse/variable_table.h"
#include "platform/file_system.h"
#include "report/error_log.h"
#include "scan/source_reader.h"

std::string collapseDotParts(const std::string& path) {
  struct Part {
    std::string text;
    char separator;  // the separator after the part, 0 at the end
  };
  std::vector<Part> parts;
  std::string text;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (isShiftJisLead(c) && i + 1 < path.size()) {
      text += path[i];
      text += path[++i];
      continue;
    }
    if (!platform::isPathSeparator(path[i])) {
      text += path[i];
      continue;
    }
    parts.push_back({text, path[i]});
    text.clear();
  }
  parts.push_back({text, 0});
  std::vector<Part> kept;
  for (size_t k = 0; k < parts.size(); ++k) {
    const Part& part = parts[k];
    bool inner = k + 1 < parts.size();
    if (part.text == "." && inner) continue;
    if (part.text == ".." && inner && !kept.empty() && !kept.back().text.empty() &&
        kept.back().text != ".." && kept.back().text.back() != ':') {
      kept.pop_back();
      continue;
    }
    kept.push_back(part);
  }
  std::string out;
  for (const Part& part : kept) {
    out += part.text;
    if (part.separator) out += part.separator;
  }
  return out;
}

void startFile(RunTables& tables, SourceReader& reader, const std::string& path,
               const Language& language) {
  reader.setFile(path, language);
  tables.variables->beginFile();
  if (tables.context->depth() == 1) tables.functions->beginTranslationUnit();
}

IncludeReader::IncludeReader(RunTables& tables, platform::FileSet& files,
                             const ReadSettings& settings)
    : tables_(tables), files_(files), settings_(settings) {
  settings_.includes = this;
}

// A missing header: reported once, remembered so that later includes of it
// are skipped, and marked in the context (old stream and ATL headers).
void IncludeReader::reportMissing(const std::string& path, const std::string& name) {
  tables_.includes->registerMissing(path, name);
  errorLog() << "  Can't open [" << name << "]" << '\n';
  tables_.context->markMissing(name);
}

// The header beside the including file, else in the include folders in
// their configured order. Null when no file opens (already reported).
std::unique_ptr<platform::ByteSource> IncludeReader::openHeader(const std::string& path,
                                                                const std::string& name) {
  if (auto source = files_.open(path)) return source;
  const std::vector<std::string>& folders = tables_.options().includeDirectories;
  bool searchFolders = !isAbsolutePath(name) && name.find('\\') == std::string::npos &&
                       !folders.empty();
  if (!searchFolders) {
    reportMissing(path, name);
    return nullptr;
  }
  for (const std::string& folder : folders) {
    std::string candidate = folder + name;
    if (auto source = files_.open(candidate)) return source;
    tables_.includes->registerMissing(candidate, name);
  }
  reportMissing(path, name);
  return nullptr;
}

void IncludeReader::include(SourceReader& reader) {
  const std::string name = reader.includeName();
  if (tables_.headerMode == HeaderReadMode::NoRead) {
    tables_.includes->checkAndRegister(name, name);
    return;
  }
  std::string path = name;
  std::string folder = tables_.context->topDirectory();
  if (!folder.empty() && !isAbsolutePath(name)) path = collapseDotParts(folder + name);
  if (tables_.includes->checkAndRegister(path, name) == 1) return;
  std::unique_ptr<platform::ByteSource> source = openHeader(path, name);
  if (!source) return;
  SourceReader header(tables_, SourceReader::Kind::Include);
  errorLog() << "  " << name << "を処理中" << '\n';
  const Language& language =
      language_ ? *language_ : languageOfCode(0);
  startFile(tables_, header, path, language);
  readSource(header, *source, settings_);
  source.reset();
  header.finishFile();
  tables_.context->pop();
}
