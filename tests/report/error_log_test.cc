#include "report/error_log.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "report/report_session.h"
#include "tests/support/process_state.h"
#include "tests/support/test_files.h"

namespace {

// Each case is a list of steps from a fresh program state, with the log
// file already holding "old\n": "<file>" attaches the log file, "<nofile>" a
// file in a folder that does not exist, "<buffer>" the test's buffer,
// "<null>" a null buffer, "<detach>" detaches; any other step is text
// written to the log.
TEST(ErrorLog, FollowsItsAttachments) {
  struct Case {
    std::vector<std::string> steps;
    std::string file;    // the log file afterwards
    std::string buffer;  // the test's buffer afterwards
    bool good;           // the stream's state afterwards
  } cases[] = {
      {{"lost\n"}, "old\n", "", false},  // detached from the start
      {{"<file>", "a\nb\n", "<detach>"}, "a\r\nb\r\n", "", false},
      {{"<file>", "no line end", "<detach>", "lost"}, "no line end", "", false},
      {{"<buffer>", "a\nb\n"}, "old\n", "a\nb\n", true},
      {{"<buffer>", "a\n", "<null>", "lost\n"}, "old\n", "a\n", false},
      {{"<buffer>", "a\n", "<detach>", "lost\n"}, "old\n", "a\n", false},
      {{"<nofile>", "lost\n"}, "old\n", "", false},
      {{"<nofile>", "lost\n", "<buffer>", "b\n"}, "old\n", "b\n", true},
      {{"<file>", "a\n", "<buffer>", "b\n", "<file>", "c\n", "<detach>"}, "c\r\n", "b\n", false},
  };
  for (const Case& c : cases) {
    TempDir temp;
    std::string path = temp.file("MizentaErrLog.txt");
    writeFileBytes(path, "old\n");
    std::stringbuf buffer;
    std::string trace;
    ReportSession session("", ReportStyle{});
    for (const std::string& step : c.steps) {
      trace += "[" + step + "]";
      if (step == "<file>")
        attachErrorLogFile(path, session);
      else if (step == "<nofile>")
        attachErrorLogFile(temp.file("missing/MizentaErrLog.txt"), session);
      else if (step == "<buffer>")
        attachErrorLog(&buffer);
      else if (step == "<null>")
        attachErrorLog(nullptr);
      else if (step == "<detach>")
        detachErrorLog();
      else
        errorLog() << step;
    }
    SCOPED_TRACE(trace);
    EXPECT_EQ(readFileBytes(path), c.file);
    EXPECT_EQ(buffer.str(), c.buffer);
    EXPECT_EQ(errorLog().good(), c.good);
    resetProcessState();
  }
}

}  // namespace
