// The function details "Mz関数詳細情報": one block per function that has a
// source file, in key order: its comment, name, type, arguments, position,
// step count, stack use, remark, callers, defined callees and referenced
// variables. Written by the call tree after its first pass, whose
// visible-callee counts it relies on.
#pragma once

#include <memory>

#include "platform/side_thread.h"
#include "report/message_hold.h"

class RunTables;

void writeFunctionDetails(const RunTables& tables);

// Whether the details can be written beside other reports: they are on and
// go to a file of their own (the sheets of a workbook are made one by one).
bool functionDetailsGoBeside(const RunTables& tables);

// The function details written on a second thread while the caller goes on
// with the other reports (which must not change the function table). Their
// messages keep their place in the run's order: the details' own wait
// until finish(), and so do the caller's from holdCallerMessages() on.
class FunctionDetailsBeside {
 public:
  explicit FunctionDetailsBeside(const RunTables& tables);
  // finish()
  ~FunctionDetailsBeside();
  FunctionDetailsBeside(const FunctionDetailsBeside&) = delete;
  FunctionDetailsBeside& operator=(const FunctionDetailsBeside&) = delete;

  // The caller's messages from here on come after the details'.
  void holdCallerMessages();
  // Waits for the details, then passes on their messages and the caller's.
  void finish();

 private:
  MessageHold details_;
  MessageHold caller_;
  std::unique_ptr<platform::SideThread> thread_;
};
