#include "driver/settings_data.h"

#include <memory>

#include "context/language_mode.h"
#include "context/options.h"
#include "scan/scan_context.h"
#include "context/source_context.h"
#include "context/source_file_list.h"
#include "parsers/languages.h"
#include "platform/settings_text.h"
#include "tables/type_table.h"
#include "report/error_log.h"
#include "scan/lexical_rules.h"
#include "scan/reserved_word_table.h"
#include "scan/source_reader.h"
#include "scan/token_parser.h"

const char kSettingsDataName[] = "Mizenta設定.dat";

std::int32_t withOldCpp(std::int32_t mask) { return mask & kModeCpp ? mask | kModeCppOld : mask; }

std::int32_t runLanguageMask(const SourceFileList& files) {
  std::int32_t mask = 0;
  for (const SourceFileEntry& entry : files.entries()) mask |= entry.languageMask;
  return withOldCpp(mask);
}

namespace {

void useBuiltInSettings(ReservedWordTable& reservedWords, TypeTable& baseTypes,
                        const std::string& path) {
  // Flushed at once: they explain every later finding of the run.
  errorLog() << "  Mizentaの設定ﾌｧｲﾙが読み込めません。[" << path << "]" << std::endl;
  errorLog() << "  内部確保してある予約語、型情報を使用します。" << std::endl;
  reservedWords.loadBuiltIn();
  baseTypes.loadBuiltIn();
}

// The file through the read loop; what its directives collected is taken
// out at the end, the macros as the starting state of every file.
void readSettingsFile(const ScanContext& scan, ReservedWordTable& reservedWords,
                      TypeTable& baseTypes, SettingsData& data, const std::string& path,
                      platform::ByteSource& source, ReadSettings settings) {
  SourceReader reader(scan, SourceReader::Kind::Include);
  reader.setFile(path, settingsDataLanguage());
  // After the file's own lexical rules: names compare as the run's sources
  // will, so that every table is sorted as it will be searched.
  setCaseInsensitiveNames((data.languageMask & kModeVbOrDelphi) != 0);
  reader.replaceParser(
      makeSettingsParser(data.languageMask, data.classes, reservedWords, baseTypes));
  reader.setRunLanguages(data.languageMask);
  settings.includes = nullptr;
  readSource(reader, source, settings);
  reader.finishFile();
  scan.context.pop();
  data.definitions = scan.defines.definitions();
  data.interruptKeywords = reader.directives().declaredInterruptKeywords();
}

}  // namespace

// The comparison is set both ways: a run of C files after a VB run must not
// sort its tables with the folded comparison that the last run left. The
// file is read whole first: a file that is no text (or a folder, a pipe)
// must give the built-in tables, not an empty reading.
platform::FileProblem loadSettingsData(const ScanContext& scan, ReservedWordTable& reservedWords,
                                       TypeTable& baseTypes, SettingsData& data,
                                       const SourceFileList& files, platform::FileSet& fileSet,
                                       ReadSettings settings) {
  std::string path = programFolder() + kSettingsDataName;
  data = SettingsData{};
  data.languageMask = runLanguageMask(files);
  setCaseInsensitiveNames((data.languageMask & kModeVbOrDelphi) != 0);
  baseTypes.setRegistrationMode(true);
  platform::SettingsText text = platform::readSettingsText(fileSet, path);
  if (text.problem == platform::FileProblem::kNone) {
    platform::MemoryByteSource source(text.bytes);
    readSettingsFile(scan, reservedWords, baseTypes, data, path, source, settings);
  } else {
    useBuiltInSettings(reservedWords, baseTypes, path);
  }
  baseTypes.setRegistrationMode(false);
  return text.problem;
}
