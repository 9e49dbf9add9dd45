#include "tests/support/process_state.h"

#include <gtest/gtest.h>

#include "context/options.h"
#include "driver/run_driver.h"
#include "context/source_file_list.h"
#include "parsers/languages.h"
#include "report/error_log.h"
#include "scan/lexical_rules.h"

// Not reset, as nothing outside them can reach it: the time of the last
// timed run (only shown after a command-line run) and the folder listings
// of path resolution, which are checked against the folder's change time.
void resetProcessState() {
  liveOptions() = Options();
  setProgramFolder(std::string());
  sourceFiles() = SourceFileList();
  applyLexicalRules(languageOf(SourceLanguage::kC).lexical);
  holdErrorLog(nullptr);
  attachErrorLog(nullptr);  // first: a test's buffer may be gone already
  detachErrorLog();
  setProgressDisplay(nullptr);
}

namespace {

class ResetProcessState : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { resetProcessState(); }
  void OnTestEnd(const testing::TestInfo&) override { resetProcessState(); }
};

// Registered before main: the support library is linked as objects, so
// this runs in every test binary.
const bool kRegistered = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new ResetProcessState);
  return true;
}();

}  // namespace
