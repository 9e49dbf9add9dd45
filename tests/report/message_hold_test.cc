#include "report/message_hold.h"

#include <gtest/gtest.h>

#include <future>
#include <sstream>
#include <string>

#include "platform/side_thread.h"
#include "report/error_log.h"
#include "report/report_file.h"

namespace {

std::string& failures() {
  static std::string paths;
  return paths;
}

// A thread's log text and unwritten reports wait in its hold while the
// other thread's go straight on, and follow them, in their order, when the
// hold is released.
TEST(MessageHold, KeepsAThreadsMessagesForTheirPlace) {
  std::stringbuf log;
  attachErrorLog(&log);
  failures().clear();
  setReportFailureHandler([](const std::string& path) { failures() += path + "\n"; });
  MessageHold hold;
  std::promise<void> holding, written;
  std::future<void> writtenHere = written.get_future();
  platform::SideThread beside([&] {
    hold.begin();
    errorLog() << "beside 1\n";
    reportUnwritten("b1");
    holding.set_value();
    writtenHere.wait();  // the other thread writes while this one holds
    errorLog() << "beside 2\n";
    reportUnwritten("b2");
    hold.end();
  });
  holding.get_future().wait();
  errorLog() << "here\n";
  reportUnwritten("h");
  written.set_value();
  beside.join();
  EXPECT_EQ(log.str(), "here\n");
  EXPECT_EQ(failures(), "h\n");
  hold.release();
  errorLog() << "after\n";
  EXPECT_EQ(log.str(), "here\nbeside 1\nbeside 2\nafter\n");
  EXPECT_EQ(failures(), "h\nb1\nb2\n");
  hold.release();  // nothing is passed on twice
  EXPECT_EQ(failures(), "h\nb1\nb2\n");
  setReportFailureHandler(nullptr);
  attachErrorLog(nullptr);
}

}  // namespace
