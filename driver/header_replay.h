// In the default header mode every source file reads its headers again.
// Most of those readings go exactly as an earlier one went: the same
// macros decide the same conditions, the same headers are included or
// found read already. A header's second reading is recorded, and a later
// one that would go alike is played back from the recording
// (scan/header_recording.h): the parser, the macro calls and the includes
// run again, the bytes are not cut into tokens again.
//
// A recording keeps what its reading asked of the run's state (every
// macro, include path and file the header and the headers it included
// asked for before changing it, with the state it found) and is played
// back only where all of that stands as it stood, at the same include
// depth and for the same language. A reading that did what a replay
// cannot do again (wrote to the log itself, asked the type table, was not
// Shift-JIS) is not kept. Nor is one whose directives found a macro
// undefined after a word of that name reached the parser (or might reach
// it, in a macro's body): the parser, which runs again, may have made it an
// enumerator, and enumerators are macros to conditions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "context/read_watch.h"
#include "scan/header_recording.h"

class DefineTable;
class IncludeRegistry;
class SourceContext;
struct Language;

class HeaderReplay final : public ReadWatch {
 public:
  HeaderReplay(DefineTable& defines, IncludeRegistry& includes, const SourceContext& context);
  ~HeaderReplay() override;

  // For the header on top of the context (just pushed), about to be read
  // in `language`: the recording to play back instead, or null.
  const HeaderRecording* recordingFor(const std::string& path, const Language& language);
  // Around the playing back of what recordingFor gave.
  void beginReplay(const HeaderRecording& recording);
  void endReplay();
  // Around a reading of the header on top of the context; the reader
  // records into what beginReading gives (null: not recorded). A reading
  // that was not completed is not kept.
  HeaderRecording* beginReading(const std::string& path, const Language& language);
  void endReading(bool completed);
  // The header being read (or played back) includes `name` now.
  void included(std::string_view name);
  // The header being read is not Shift-JIS text: its note is not replayed.
  void readAsConverted();

  void asked(Table table, std::string_view key, std::string_view state) override;
  void changed(Table table, std::string_view key) override;
  void called(int kind, std::string_view text) override;
  void calledAndLogged() override;
  void mayDeliver(std::string_view word) override;
  void unrepeatable() override;

  // What was played back and recorded in this run (for the time log).
  std::size_t replays() const { return replays_; }

  // Past this many bytes of recordings (with what they depend on) no more
  // are kept.
  static constexpr std::size_t kMaxBytes = std::size_t{16} << 20;
  static constexpr std::size_t kMaxVariants = 8;
  // A header whose readings could not be kept this often is not recorded
  // again.
  static constexpr int kMaxRefusals = 2;

 private:
  struct Dependency {
    Table table;
    std::string key;
    std::string state;
  };
  struct Variant;
  struct Frame;

  bool stillHolds(const Variant& variant, const Language& language) const;
  void noteAbsent(std::string_view name);
  std::string stateOf(Table table, std::string_view key) const;
  Frame* top();

  DefineTable& defines_;
  IncludeRegistry& includes_;
  const SourceContext& context_;
  struct Seen {
    int readings = 0;  // read, not played back
    std::size_t variants = 0;
    int refusals = 0;
  };
  std::unordered_map<std::string, std::vector<std::unique_ptr<Variant>>> variants_;
  std::unordered_map<std::string, Seen> seen_;
  std::vector<std::unique_ptr<Frame>> frames_;  // one per header being read or played back
  const Variant* found_ = nullptr;              // what recordingFor gave last
  std::size_t bytes_ = 0;
  std::size_t replays_ = 0;
};
