// Told what the reading of a header asks of the run's state and what it
// changes there, while readings are being recorded for replay. The macro
// table and the include registry tell it; the run's header replay answers.
// A reading of a header is replayed only where everything it asked is as
// it was, so what is asked is told before it is changed.
//
// Only the reading's own work is told: while the parser runs ("quiet"),
// nothing is, because the parser runs again when the reading is replayed.
#pragma once

#include <string_view>

class ReadWatch {
 public:
  enum class Table : unsigned char { kMacro, kIncludePath, kIncludeFile };

  virtual ~ReadWatch() = default;

  bool watching() const { return recordings_ > 0 && quiet_ == 0; }
  bool recordingAny() const { return recordings_ > 0; }
  // A reading is being recorded, and the reader is not in its parser.
  void beginRecording() { ++recordings_; }
  void endRecording() { --recordings_; }
  void beginQuiet() { ++quiet_; }
  void endQuiet() { --quiet_; }

  // `key` of `table` stood in `state` (a text equal states share; empty
  // for an absent key) when it was asked for.
  virtual void asked(Table table, std::string_view key, std::string_view state) = 0;
  virtual void changed(Table table, std::string_view key) = 0;
  // A call that changes the macro table (its kind and its text), to be
  // made again where the reading is replayed.
  virtual void called(int kind, std::string_view text) = 0;
  // Such a call wrote a line to the log (it writes it again when made again).
  virtual void calledAndLogged() = 0;
  // A word that reached the parser, or may reach it where the reading is
  // played back (the body of a macro the parser had kept as written): an
  // enumerator of that name would be a macro to later conditions. Told
  // also while quiet.
  virtual void mayDeliver(std::string_view word) = 0;
  // The reading did what a replay cannot do again (wrote to the log,
  // asked the type table, named an interrupt function).
  virtual void unrepeatable() = 0;

 private:
  int recordings_ = 0;
  int quiet_ = 0;
};

// The parser's work inside a recorded reading, for the length of a scope.
class QuietRead {
 public:
  explicit QuietRead(ReadWatch* watch) : watch_(watch) {
    if (watch_) watch_->beginQuiet();
  }
  ~QuietRead() {
    if (watch_) watch_->endQuiet();
  }
  QuietRead(const QuietRead&) = delete;
  QuietRead& operator=(const QuietRead&) = delete;

 private:
  ReadWatch* watch_;
};
