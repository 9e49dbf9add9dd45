#include "driver/include_reading.h"

#include <string_view>
#include <vector>

#include "context/include_registry.h"
#include "driver/analysis_run.h"
#include "driver/header_replay.h"
#include "context/source_context.h"
#include "context/text_util.h"
#include "driver/run_outcome.h"
#include "parsers/languages.h"
#include "platform/file_system.h"
#include "report/error_log.h"
#include "scan/source_reader.h"

// One pass, building the result in place: an inner ".." takes back the
// part kept before it (each kept part but the last ends in its separator).
std::string collapseDotParts(const std::string& path) {
  std::string out;
  out.reserve(path.size());
  std::vector<size_t> kept;  // where each kept part starts in `out`
  for (size_t i = 0;; ++i) {
    const size_t start = i;
    while (i < path.size()) {
      if (isShiftJisLead(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
        i += 2;
        continue;
      }
      if (platform::isPathSeparator(path[i])) break;
      ++i;
    }
    const std::string_view part(path.data() + start, i - start);
    const bool inner = i < path.size();
    if (inner && part == ".") continue;
    if (inner && part == ".." && !kept.empty()) {
      std::string_view last(out.data() + kept.back(), out.size() - kept.back() - 1);
      if (!last.empty() && last != ".." && last.back() != ':') {
        out.resize(kept.back());
        kept.pop_back();
        continue;
      }
    }
    kept.push_back(out.size());
    out += part;
    if (!inner) return out;
    out += path[i];
  }
}

IncludeReader::IncludeReader(AnalysisRun& run, platform::FileSet& files,
                             const ReadSettings& settings)
    : run_(run), files_(files), settings_(settings) {
  settings_.includes = this;
}

// A missing header: reported once, remembered so that later includes of it
// are skipped, and marked in the context (old stream and ATL headers). A
// pipe or a device met under its name is told as such: it is there, but
// is not read.
void IncludeReader::reportMissing(const std::string& path, const std::string& name,
                                  bool notRegularFile) {
  run_.includes().registerMissing(path, name);
  if (notRegularFile)
    errorLog() << "  " << notRegularFileLine(name) << '\n';
  else
    errorLog() << "  Can't open [" << name << "]" << '\n';
  run_.context().markMissing(name);
}

// The header beside the including file, else in the include folders in
// their configured order, with the path it opened at. No source when no
// file opens (already reported).
IncludeReader::OpenedHeader IncludeReader::openHeader(const std::string& path,
                                                      const std::string& name) {
  platform::FileProblem problem;
  if (auto source = files_.open(path, &problem)) return {std::move(source), path};
  bool notRegularFile = problem == platform::FileProblem::kNotRegularFile;
  const std::vector<std::string>& folders = run_.options().includeDirectories;
  bool searchFolders =
      !isAbsolutePath(name) && name.find('\\') == std::string::npos && !folders.empty();
  if (!searchFolders) {
    reportMissing(path, name, notRegularFile);
    return {};
  }
  for (const std::string& folder : folders) {
    std::string candidate = collapseDotParts(folder + name);
    if (auto source = files_.open(candidate, &problem)) return {std::move(source), candidate};
    notRegularFile = notRegularFile || problem == platform::FileProblem::kNotRegularFile;
    run_.includes().registerMissing(candidate, name);
  }
  reportMissing(path, name, notRegularFile);
  return {};
}

// A header opened at `opened` (which may differ from the `asked` path
// already registered) that was read before under another spelling: by its
// file's identity, or by the opened path where the file set cannot tell.
bool IncludeReader::readBefore(const std::string& asked, const std::string& opened,
                               const std::string& name) {
  platform::FileIdentity file;
  if (files_.identify(opened, file)) return run_.includes().checkAndRegisterFile(file, opened) == 1;
  return opened != asked && run_.includes().checkAndRegister(opened, name) == 1;
}

// Headers of real trees nest a few dozen deep; past the limit the chain is
// a cycle the registry cannot see (or a hostile input), and following it
// would only exhaust the stack.
bool IncludeReader::tooDeep(const std::string& name) {
  const int depth = run_.context().depth();
  if (depth <= 1) deepChainLogged_ = false;
  if (depth <= kIncludeDepthLimit) return false;
  if (!deepChainLogged_) {
    errorLog() << "  ｲﾝｸﾙｰﾄﾞの入れ子が" << kIncludeDepthLimit << "段を超えるため読みません ["
               << name << "]" << '\n';
    deepChainLogged_ = true;
  }
  return true;
}

void IncludeReader::include(SourceReader& reader) {
  const std::string name = reader.includeName();
  HeaderReplay* replay = run_.headerReplay();
  if (replay) replay->included(name);
  if (run_.headerMode() == HeaderReadMode::NoRead) {
    run_.includes().checkAndRegister(name, name);
    return;
  }
  std::string path = name;
  std::string folder = run_.context().topDirectory();
  if (!folder.empty() && !isAbsolutePath(name)) path = collapseDotParts(folder + name);
  if (run_.includes().checkAndRegister(path, name) == 1) return;
  if (tooDeep(name)) return;
  OpenedHeader opened = openHeader(path, name);
  if (!opened.source || readBefore(path, opened.path, name)) return;
  SourceReader header(run_.scan(), SourceReader::Kind::Include);
  errorLog() << "  " << name << "を処理中" << '\n';
  const Language& language = language_ ? *language_ : languageOf(SourceLanguage::kC);
  run_.startFile(header, opened.path, language);
  if (reader.parserContinuesIntoHeaders()) header.continueParserOf(reader);
  if (replay && language.family == LanguageFamily::CFamily)
    readOrReplay(header, *opened.source, opened.path, language, *replay);
  else
    readSource(header, *opened.source, settings_);
  opened.source.reset();
  header.finishFile();
  run_.context().pop();
}

namespace {

// Tells the replay of a header read as converted text (its note is not
// played back), then passes the note on.
class ConvertedTextNote final : public FileTextWatch {
 public:
  ConvertedTextNote(HeaderReplay& replay, FileTextWatch* next) : replay_(replay), next_(next) {}
  void readAs(FileText text) override {
    replay_.readAsConverted();
    if (next_) next_->readAs(text);
  }

 private:
  HeaderReplay& replay_;
  FileTextWatch* next_;
};

}  // namespace

void IncludeReader::readOrReplay(SourceReader& header, platform::ByteSource& source,
                                 const std::string& path, const Language& language,
                                 HeaderReplay& replay) {
  if (const HeaderRecording* recording = replay.recordingFor(path, language)) {
    replay.beginReplay(*recording);
    header.replay(*recording, settings_);
    replay.endReplay();
    return;
  }
  header.recordInto(replay.beginReading(path, language));
  ConvertedTextNote note(replay, settings_.watch);
  ReadSettings settings = settings_;
  settings.watch = &note;
  const ReadResult result = readSource(header, source, settings);
  header.recordInto(nullptr);
  replay.endReading(result == ReadResult::kEndOfFile);
}
