// One reading of a header as it reached the rest of the run: the tokens its
// reader handed to the parser (each with its line), the calls that changed
// the macro table, the headers it included, and the marks of "extern "C""
// its strings left for the parser. Played back in order, with the parser
// and the includes running again, it does what reading the header again
// would do, wherever what the reading depended on is as it was (the run's
// header replay keeps that list beside it).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct HeaderRecording {
  enum class Event : unsigned char { kToken, kExternC, kMacroCall, kInclude };
  struct Step {
    Event event;
    unsigned char call;  // kMacroCall: DefineTable::Call
    std::int32_t line;
    std::uint32_t offset;  // the text, in `texts`
    std::uint32_t size;
  };

  void add(Event event, std::int32_t line, std::string_view text, int call = 0) {
    steps.push_back({event, static_cast<unsigned char>(call), line,
                     static_cast<std::uint32_t>(texts.size()),
                     static_cast<std::uint32_t>(text.size())});
    texts.append(text);
  }
  std::string_view textOf(const Step& step) const {
    return {texts.data() + step.offset, step.size};
  }
  std::size_t bytes() const { return steps.size() * sizeof(Step) + texts.size(); }

  std::vector<Step> steps;
  std::string texts;
  std::int32_t finalLine = 0;
  bool blankRuns = false;  // the blank test's setting while the header was read
  // Log lines the reading wrote itself (not its parser, not a macro call
  // or an include, which write theirs again when played back).
  std::uint64_t readerLogUses = 0;
  // Log lines of what runs again when played back (the parser, the macro
  // calls), counted while recording so as to tell the reading's own apart.
  std::uint64_t liveLogUses = 0;
};
