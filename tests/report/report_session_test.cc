#include "report/report_session.h"

#include <gtest/gtest.h>

#include <future>
#include <sstream>
#include <string>

#include "platform/side_thread.h"
#include "report/error_log.h"

namespace {

// Reports written beside the run's, on another thread, in a session of
// their own: their log text and unwritten reports wait in its hold, while
// the run's session, holding too, keeps what its thread writes (through
// the session or straight to the log) to follow them. Released in that
// order, everything reaches the log and the sink in the run's order.
TEST(ReportSession, MessagesBesideTheRunKeepTheirPlace) {
  std::stringbuf log;
  attachErrorLog(&log);
  std::string failures;
  ReportSession run("", ReportStyle{},
                    [&failures](const std::string& path) { failures += path + "\n"; });
  errorLog() << "before\n";
  MessageHold tree, caller;
  std::unique_ptr<ReportSession> side = run.beside(tree);
  run.hold(&caller);
  std::promise<void> holding, written;
  std::future<void> writtenHere = written.get_future();
  platform::SideThread beside([&] {
    side->log() << "beside 1\n";
    side->unwritten("b1");
    holding.set_value();
    writtenHere.wait();  // the run's thread writes meanwhile
    side->log() << "beside 2\n";
    side->unwritten("b2");
  });
  holding.get_future().wait();
  errorLog() << "here 1\n";
  run.log() << "here 2\n";
  run.unwritten("h");
  written.set_value();
  beside.join();
  EXPECT_EQ(log.str(), "before\n");
  EXPECT_EQ(failures, "");
  run.hold(nullptr);
  run.release(tree);
  run.release(caller);
  errorLog() << "after\n";
  EXPECT_EQ(log.str(), "before\nbeside 1\nbeside 2\nhere 1\nhere 2\nafter\n");
  EXPECT_EQ(failures, "b1\nb2\nh\n");
  run.release(tree);  // nothing is passed on twice
  EXPECT_EQ(failures, "b1\nb2\nh\n");
  attachErrorLog(nullptr);
}

}  // namespace
