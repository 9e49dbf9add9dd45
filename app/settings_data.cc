#include "app/settings_data.h"

#include "app/options.h"
#include "app/run_tables.h"
#include "app/source_file_list.h"
#include "parse/type_table.h"
#include "report/error_log.h"
#include "app/language_mode.h"
#include "scan/lexical_rules.h"
#include "scan/reserved_word_table.h"

const char kSettingsDataName[] = "Mizenta設定.dat";

std::int32_t runLanguageMask(const SourceFileList& files) {
  std::int32_t mask = 0;
  for (const SourceFileEntry& entry : files.entries()) mask |= entry.languageMask;
  if (mask & kModeCpp) mask |= kModeCppOld;
  return mask;
}

namespace {

// The file's reader is not there yet: the run takes the built-in lists, as
// it does when the file cannot be opened.
void useBuiltInSettings(RunTables& tables, const std::string& path) {
  // Flushed at once: they explain every later finding of the run.
  errorLog() << "  Mizentaの設定ﾌｧｲﾙが読み込めません。[" << path << "]" << std::endl;
  errorLog() << "  内部確保してある予約語、型情報を使用します。" << std::endl;
  tables.reservedWords->loadBuiltIn();
  tables.baseTypes->setRegistrationMode(true);
  tables.baseTypes->loadBuiltIn();
  tables.baseTypes->setRegistrationMode(false);
}

}  // namespace

// The comparison is set both ways: a run of C files after a VB run must not
// sort its tables with the folded comparison that the last run left.
void loadSettingsData(RunTables& tables, SettingsData& data, const SourceFileList& files) {
  std::string path = programFolder() + kSettingsDataName;
  data.languageMask = runLanguageMask(files);
  setCaseInsensitiveNames((data.languageMask & kModeVbOrDelphi) != 0);
  useBuiltInSettings(tables, path);
}

