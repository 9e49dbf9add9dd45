#include "driver/header_replay.h"

#include <unordered_set>

#include "context/include_registry.h"
#include "context/source_context.h"
#include "scan/define_table.h"

struct HeaderReplay::Variant {
  HeaderRecording recording;
  const Language* language = nullptr;
  int flavour = 0;
  int depth = 0;
  std::vector<Dependency> dependencies;   // each key's state when first asked
  std::vector<std::string> absentMacros;  // names a directive found undefined
};

// A header being read or played back. Only a reading being recorded has a
// variant; the others stand between their parents and what they do.
struct HeaderReplay::Frame {
  std::string path;
  std::unique_ptr<Variant> variant;
  bool unrepeatable = false;
  std::unordered_set<std::string> askedKeys;    // table byte + key
  std::unordered_set<std::string> changedKeys;  // table byte + key
  std::unordered_set<std::string> absent;       // macros asked for and undefined
  std::unordered_set<std::string> delivered;    // words that reached the parser
};

namespace {

std::string frameKey(ReadWatch::Table table, std::string_view key) {
  std::string out(1, static_cast<char>(table));
  out += key;
  return out;
}

}  // namespace

HeaderReplay::HeaderReplay(DefineTable& defines, IncludeRegistry& includes,
                           const SourceContext& context)
    : defines_(defines), includes_(includes), context_(context) {}

HeaderReplay::~HeaderReplay() = default;

HeaderReplay::Frame* HeaderReplay::top() {
  return frames_.empty() ? nullptr : frames_.back().get();
}

std::string HeaderReplay::stateOf(Table table, std::string_view key) const {
  switch (table) {
    case Table::kMacro:
      return defines_.stateOf(key);
    case Table::kIncludePath:
      return includes_.pathState(key);
    case Table::kIncludeFile:
      return includes_.fileState(key);
  }
  return {};
}

bool HeaderReplay::stillHolds(const Variant& variant, const Language& language) const {
  if (variant.language != &language || variant.flavour != context_.languageFlavour() ||
      variant.depth != context_.depth())
    return false;
  for (const Dependency& dependency : variant.dependencies)
    if (stateOf(dependency.table, dependency.key) != dependency.state) return false;
  return true;
}

const HeaderRecording* HeaderReplay::recordingFor(const std::string& path,
                                                  const Language& language) {
  auto found = variants_.find(path);
  if (found == variants_.end()) return nullptr;
  for (const std::unique_ptr<Variant>& variant : found->second) {
    if (stillHolds(*variant, language)) {
      found_ = variant.get();
      return &variant->recording;
    }
  }
  return nullptr;
}

// The readings that include this one depend on what it depended on, as a
// reading of it would have told them.
void HeaderReplay::beginReplay(const HeaderRecording& recording) {
  const Variant* played = found_ && &found_->recording == &recording ? found_ : nullptr;
  if (played && watching()) {
    for (const Dependency& dependency : played->dependencies)
      asked(dependency.table, dependency.key, dependency.state);
    for (const std::string& name : played->absentMacros) noteAbsent(name);
  }
  frames_.push_back(std::make_unique<Frame>());
  ++replays_;
}

void HeaderReplay::endReplay() { frames_.pop_back(); }

HeaderRecording* HeaderReplay::beginReading(const std::string& path, const Language& language) {
  auto frame = std::make_unique<Frame>();
  frame->path = path;
  // A header is recorded from its second reading on: most of those read
  // once in a run are read once only.
  Seen& seen = seen_[path];
  if (seen.readings++ > 0 && seen.variants < kMaxVariants && bytes_ < kMaxBytes &&
      seen.refusals < kMaxRefusals) {
    frame->variant = std::make_unique<Variant>();
    frame->variant->language = &language;
    frame->variant->flavour = context_.languageFlavour();
    frame->variant->depth = context_.depth();
    beginRecording();
  }
  HeaderRecording* recording = frame->variant ? &frame->variant->recording : nullptr;
  frames_.push_back(std::move(frame));
  return recording;
}

void HeaderReplay::endReading(bool completed) {
  std::unique_ptr<Frame> frame = std::move(frames_.back());
  frames_.pop_back();
  if (!frame->variant) return;
  endRecording();
  Variant& variant = *frame->variant;
  if (!completed) return;
  Seen& seen = seen_[frame->path];
  if (frame->unrepeatable || variant.recording.readerLogUses != 0) {
    ++seen.refusals;
    return;
  }
  variant.absentMacros.assign(frame->absent.begin(), frame->absent.end());
  variant.recording.steps.shrink_to_fit();
  variant.recording.texts.shrink_to_fit();
  std::size_t bytes = variant.recording.bytes();
  for (const Dependency& dependency : variant.dependencies)
    bytes += sizeof dependency + dependency.key.size() + dependency.state.size();
  for (const std::string& name : variant.absentMacros) bytes += sizeof name + name.size();
  if (bytes_ + bytes > kMaxBytes) return;
  bytes_ += bytes;
  ++seen.variants;
  variants_[frame->path].push_back(std::move(frame->variant));
}

void HeaderReplay::included(std::string_view name) {
  Frame* frame = top();
  if (frame && frame->variant)
    frame->variant->recording.add(HeaderRecording::Event::kInclude, context_.currentLine(), name);
}

void HeaderReplay::readAsConverted() {
  if (Frame* frame = top()) frame->unrepeatable = true;
}

void HeaderReplay::noteAbsent(std::string_view name) {
  const std::string key(name);
  for (const std::unique_ptr<Frame>& frame : frames_) {
    if (!frame->variant) continue;
    frame->absent.insert(key);
    if (frame->delivered.contains(key)) frame->unrepeatable = true;
  }
}

void HeaderReplay::mayDeliver(std::string_view word) {
  for (const std::unique_ptr<Frame>& frame : frames_)
    if (frame->variant) frame->delivered.emplace(word);
}

void HeaderReplay::asked(Table table, std::string_view key, std::string_view state) {
  if (table == Table::kMacro && state.empty()) noteAbsent(key);
  std::string k;
  for (const std::unique_ptr<Frame>& frame : frames_) {
    if (!frame->variant) continue;
    if (k.empty()) k = frameKey(table, key);
    if (frame->changedKeys.contains(k) || !frame->askedKeys.insert(k).second) continue;
    frame->variant->dependencies.push_back({table, std::string(key), std::string(state)});
  }
}

void HeaderReplay::changed(Table table, std::string_view key) {
  const std::string k = frameKey(table, key);
  for (const std::unique_ptr<Frame>& frame : frames_)
    if (frame->variant) frame->changedKeys.insert(k);
}

void HeaderReplay::called(int kind, std::string_view text) {
  Frame* frame = top();
  if (frame && frame->variant)
    frame->variant->recording.add(HeaderRecording::Event::kMacroCall, context_.currentLine(), text,
                                  kind);
}

void HeaderReplay::calledAndLogged() {
  Frame* frame = top();
  if (frame && frame->variant) ++frame->variant->recording.liveLogUses;
}

// What one header asked of the type table decides what the headers that
// include it read after it, too.
void HeaderReplay::unrepeatable() {
  for (const std::unique_ptr<Frame>& frame : frames_) frame->unrepeatable = true;
}
