// How the run follows an #include: the header's path is resolved against
// the including file's folder and then the include folders (an absolute
// name is opened as it is), read once per scope (the include registry
// knows every path already read or missing, and every file read whatever
// its spelling), and fed through the read loop with a reader of its own,
// in the main file's language, under the path it was opened at. Headers
// nest at most kIncludeDepthLimit deep. In the "never read" header mode
// only the name is noted.
#pragma once

#include <memory>
#include <string>

#include "scan/read_loop.h"

class AnalysisRun;
class HeaderReplay;
struct Language;

// "dir\sub\..\x.h" -> "dir\x.h": "." and "name\.." parts are taken out, so
// that a header reached again through a relative path has one spelling.
// Separators stay as written; the second byte of a double-byte character
// is never taken for one.
std::string collapseDotParts(const std::string& path);

class IncludeReader final : public IncludeHandler {
 public:
  // `settings` (block size, stop request) applies to every header; its
  // include handler is this object.
  IncludeReader(AnalysisRun& run, platform::FileSet& files, const ReadSettings& settings);

  // The language of the main file whose headers follow.
  void setLanguage(const Language& language) { language_ = &language; }
  void include(SourceReader& reader) override;

  static constexpr int kIncludeDepthLimit = 200;

 private:
  struct OpenedHeader {
    std::unique_ptr<platform::ByteSource> source;
    std::string path;
  };
  OpenedHeader openHeader(const std::string& path, const std::string& name);
  bool readBefore(const std::string& asked, const std::string& opened, const std::string& name);
  bool tooDeep(const std::string& name);
  void readOrReplay(SourceReader& header, platform::ByteSource& source, const std::string& path,
                    const Language& language, HeaderReplay& replay);
  void reportMissing(const std::string& path, const std::string& name, bool notRegularFile);

  AnalysisRun& run_;
  platform::FileSet& files_;
  ReadSettings settings_;
  const Language* language_ = nullptr;
  bool deepChainLogged_ = false;  // for the main file being read
};
