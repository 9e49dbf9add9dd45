#include "driver/settings_data.h"

#include <algorithm>
#include <memory>
#include <sstream>

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

const std::vector<DefineEntry>& SettingsData::macrosFor(std::int32_t languages) const {
  for (const LanguageMacros& other : otherLanguagesMacros)
    if (other.languages == languages) return other.definitions;
  return definitions;
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

// The file through the read loop for a run of `languages`, `parser` taking
// its entries; its macros are left in the run's define table. After the
// file's own lexical rules names compare as the run's sources will
// (`foldedNames`), so that every table is sorted as it will be searched.
void readSettingsFile(const ScanContext& scan, SourceReader& reader, const std::string& path,
                      std::int32_t languages, bool foldedNames, std::unique_ptr<TokenParser> parser,
                      platform::ByteSource& source, ReadSettings settings) {
  reader.setFile(path, settingsDataLanguage());
  setCaseInsensitiveNames(foldedNames);
  reader.replaceParser(std::move(parser));
  reader.setRunLanguages(languages);
  settings.includes = nullptr;
  readSource(reader, source, settings);
  reader.finishFile();
  scan.context.pop();
}

// The macros of each language set of the run's files other than the run's
// own: the file read again by its directives alone, as a run of those
// languages reads it (its entries are in the tables already, and its log
// lines were written by the first reading). Leaves the run's macros in the
// define table.
void collectOtherLanguagesMacros(const ScanContext& scan, SettingsData& data,
                                 const SourceFileList& files, const std::string& path,
                                 const std::string& bytes, bool foldedNames,
                                 ReadSettings settings) {
  std::ostringstream discarded;
  holdErrorLog(&discarded);
  for (const SourceFileEntry& entry : files.entries()) {
    std::int32_t languages = withOldCpp(entry.languageMask);
    bool read = languages == data.languageMask;
    for (const LanguageMacros& other : data.otherLanguagesMacros)
      read = read || other.languages == languages;
    if (read) continue;
    scan.defines.clear();
    SourceReader reader(scan, SourceReader::Kind::Include);
    platform::MemoryByteSource source(bytes);
    readSettingsFile(scan, reader, path, languages, foldedNames, std::make_unique<IdleParser>(),
                     source, settings);
    data.otherLanguagesMacros.push_back({languages, scan.defines.definitions()});
  }
  holdErrorLog(nullptr);
  scan.defines.setStartingState(data.definitions);
}

// The run's macros that each other language set has too, with the same
// parameters and body.
std::vector<DefineEntry> macrosSharedByAll(const SettingsData& data) {
  std::vector<DefineEntry> shared = data.definitions;
  for (const LanguageMacros& other : data.otherLanguagesMacros) {
    std::erase_if(shared, [&](const DefineEntry& entry) {
      return std::none_of(
          other.definitions.begin(), other.definitions.end(), [&](const DefineEntry& o) {
            return o.name == entry.name && o.params == entry.params && o.body == entry.body;
          });
    });
  }
  return shared;
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
  const bool foldedNames = (data.languageMask & kModeVbOrDelphi) != 0;
  setCaseInsensitiveNames(foldedNames);
  baseTypes.setRegistrationMode(true);
  platform::SettingsText text = platform::readSettingsText(fileSet, path);
  if (text.problem == platform::FileProblem::kNone) {
    platform::MemoryByteSource source(text.bytes);
    SourceReader reader(scan, SourceReader::Kind::Include);
    readSettingsFile(scan, reader, path, data.languageMask, foldedNames,
                     makeSettingsParser(data.languageMask, data.classes, reservedWords, baseTypes),
                     source, settings);
    data.definitions = scan.defines.definitions();
    data.interruptKeywords = reader.directives().declaredInterruptKeywords();
    collectOtherLanguagesMacros(scan, data, files, path, text.bytes, foldedNames, settings);
    data.sharedDefinitions = macrosSharedByAll(data);
  } else {
    useBuiltInSettings(reservedWords, baseTypes, path);
  }
  baseTypes.setRegistrationMode(false);
  return text.problem;
}
