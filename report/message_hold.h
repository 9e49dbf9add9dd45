// The messages of a report written beside the others, kept for their place
// in the run's order. While a hold is on a thread, what that thread writes
// to the error log and the report files it could not write wait in the
// hold; release() passes them on in their order, on the run's thread, once
// the messages that come before them have been written.
#pragma once

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

class MessageHold {
 public:
  MessageHold();
  ~MessageHold();
  MessageHold(const MessageHold&) = delete;
  MessageHold& operator=(const MessageHold&) = delete;

  // On the thread whose messages wait; end() on the same thread.
  void begin();
  void end();
  // After end(): the held log text to the log, the held paths to the
  // report failure handler. The hold is empty afterwards.
  void release();

 private:
  std::stringbuf text_;
  std::ostream stream_;
  std::vector<std::string> unwritten_;
  bool holding_ = false;
};
