#include "driver/command_line.h"

#include <cstring>
#include <set>
#include <utility>

#include "context/options.h"
#include "driver/run_driver.h"
#include "driver/run_outcome.h"
#include "context/source_file_list.h"
#include "context/text_util.h"
#include "parsers/languages.h"
#include "platform/file_system.h"
#include "platform/program.h"

const char kVersionText[] = "Version 1.19a   2009/04/28";

namespace {

enum class SwitchEffect { Applied, Unknown, Exit };

// "/file" lowers the header mode to read-once, but never lifts "/No_h".
void readHeadersOnce(Options& o) {
  if (o.headerReadMode != HeaderReadMode::NoRead) o.headerReadMode = HeaderReadMode::ReadOnce;
}

struct Switch {
  const char* token;
  void (*apply)(Options&);
};

const Switch kSwitches[] = {
    {"/98", [](Options& o) { o.pc98Lines = 1; }},
    {"/t", [](Options& o) { o.showElapsedTime = 1; }},
    {"/rsv", [](Options& o) { o.reservedWordDump = 1; }},
    {"/file", readHeadersOnce},
    {"/No_h", [](Options& o) { o.headerReadMode = HeaderReadMode::NoRead; }},
    {"/def", [](Options& o) { o.defineList = 1; }},
    {"/func", [](Options& o) { o.hideRepeatedSubtrees = 1; }},
    {"--crlf", [](Options& o) { o.utf8CrLf = 1; }},
};

// POSIX switches that take a value, "--name VALUE" or "--name=VALUE".
struct ValueSwitch {
  const char* name;
  const char* values;  // for the message on a value it does not know
  bool (*apply)(Options&, const std::string& value);
};

const ValueSwitch kValueSwitches[] = {
    {"--encoding", "sjis, utf-8",
     [](Options& o, const std::string& v) {
       if (!outputEncodingFromText(v, o.outputEncoding)) return false;
       platform::setStandardStreamsUtf8(o.outputEncoding == OutputEncoding::Utf8);
       return true;
     }},
    {"--source-encoding", "auto, sjis, utf-8, euc-jp",
     [](Options& o, const std::string& v) { return sourceEncodingFromText(v, o.sourceEncoding); }},
};

const ValueSwitch* valueSwitchOf(const std::string& token) {
  for (const ValueSwitch& s : kValueSwitches) {
    size_t length = std::strlen(s.name);
    if (token.compare(0, length, s.name) == 0 && (token.size() == length || token[length] == '='))
      return &s;
  }
  return nullptr;
}

// Applies the switch at arguments[i] with its value (the next argument
// unless it came after '='). False, with the message on standard error,
// for a missing or unknown value.
bool takeValue(const ValueSwitch& s, const std::vector<std::string>& arguments, size_t& i) {
  const std::string& token = arguments[i];
  size_t equals = token.find('=');
  std::string value;
  if (equals != std::string::npos)
    value = token.substr(equals + 1);
  else if (i + 1 < arguments.size())
    value = arguments[++i];
  if (s.apply(liveOptions(), value)) return true;
  platform::writeStandardError(std::string(s.name) + " の値は " + s.values +
                               " のいずれかです: " + value + "\n");
  return false;
}

bool isKnownSwitch(const std::string& token) {
  if (token == "/?" || token == "/v") return true;
  for (const Switch& s : kSwitches)
    if (token == s.token) return true;
  return false;
}

SwitchEffect applySwitch(const std::string& token) {
  if (token == "/?") {
    showUsage();
    return SwitchEffect::Exit;
  }
  if (token == "/v") {
    platform::writeStandardOutput(std::string(kVersionText) + "\n");
    return SwitchEffect::Exit;
  }
  for (const Switch& s : kSwitches) {
    if (token != s.token) continue;
    s.apply(liveOptions());
    return SwitchEffect::Applied;
  }
  platform::writeStandardError("コマンド[" + token + "]は存在しません\n");
  runOutcome().badCommandLine = true;
  return SwitchEffect::Unknown;
}

std::string withoutTrailingSpaces(std::string token) {
  while (!token.empty() && token.back() == ' ') token.pop_back();
  return token;
}

CommandLineResult runIfRegistered() {
  SourceFileList& list = sourceFiles();
  if (list.empty()) return CommandLineResult::NoFiles;
  runAnalysis();
  list.clear();
  return CommandLineResult::Ran;
}

bool startsWithPattern(const std::string& filePart) {
  return filePart.size() >= 2 && filePart[0] == '*' && filePart[1] == '.';
}

// Directory part of a search pattern: up to the last separator, else up
// to a drive colon, else the current folder.
std::string patternDirectory(const std::string& pattern) {
  std::string dir = directoryPart(pattern);
  if (!dir.empty()) return dir;
  size_t colon = pattern.rfind(':');
  return colon == std::string::npos ? std::string() : pattern.substr(0, colon + 1);
}

// The paths of one command line (or of one drop on the window), each
// folder searched once however many links lead to it, and what they left
// out noted in `outcome`.
class PathRegistration {
 public:
  explicit PathRegistration(RunOutcome& outcome, RegistrationWatch watch = nullptr)
      : outcome_(outcome), watch_(std::move(watch)) {}
  void add(const std::string& path);

 private:
  bool expand(const std::string& path);
  bool firstVisit(const std::string& folder);
  void offer(const std::string& name, const std::string& directory);
  void tell(const std::string& path, AddResult result) {
    if (watch_ && !watch_(path, result)) stopped_ = true;
  }

  RunOutcome& outcome_;
  RegistrationWatch watch_;
  std::set<platform::FileIdentity> searched_;
  int found_ = 0;         // source files met (registered, listed already or refused)
  bool stopped_ = false;  // the watch said so
};

void PathRegistration::add(const std::string& path) {
  std::string filePart = fileNamePart(path);
  if (platform::fileStatus(path).isDirectory || startsWithPattern(filePart)) {
    int before = found_;
    if (expand(path) && found_ == before) noteUnmatched(outcome_, path);
    return;
  }
  AddResult result =
      registerSourceFile(liveOptions(), filePart, directoryPart(path), sourceFiles());
  if (result == AddResult::NoLanguage) noteNotSource(outcome_, path);
  if (result == AddResult::Refused) noteRefused(outcome_, path);
  tell(path, result);
}

// False when the folder was searched already and is not searched again.
bool PathRegistration::expand(const std::string& path) {
  std::string pattern, dir;
  if (path.find('*') != std::string::npos) {
    pattern = path;
    dir = patternDirectory(path);
  } else {
    dir = path;
    if (lastSeparator(dir) != dir.size() - 1) dir += platform::kPathSeparator;
    pattern = dir + "*";
  }
  if (!firstVisit(dir)) {
    noteFolderSearched(outcome_, path);
    return false;
  }
  for (const platform::DirectoryEntry& e : platform::findFiles(pattern)) {
    if (stopped_) break;
    if (e.name.empty() || e.name[0] == '.') continue;
    if (e.isDirectory)
      expand(dir + e.name);
    else
      offer(e.name, dir);
  }
  return true;
}

// A folder that tells no identity is searched: the search finds what it can.
bool PathRegistration::firstVisit(const std::string& folder) {
  std::string path = folder.empty() ? std::string(".") : folder;
  bool root = path.size() == 1 || path[path.size() - 2] == ':';
  if (!root && lastSeparator(path) == path.size() - 1) path.pop_back();
  platform::FileIdentity identity;
  return !platform::fileIdentity(path, identity) || searched_.insert(identity).second;
}

void PathRegistration::offer(const std::string& name, const std::string& directory) {
  AddResult result = registerSourceFile(liveOptions(), name, directory, sourceFiles());
  if (result != AddResult::NoLanguage) ++found_;
  if (result == AddResult::Refused) noteRefused(outcome_, directory + name);
  tell(directory + name, result);
}

// POSIX: an argument that starts like a switch ('/' or '-') is a path when
// it is no switch and names an existing file, or looks like a path: a
// second '/' (an absolute path), a '.' (a file name) or a '*' (a pattern).
bool isPathArgument(const std::string& token) {
  if (token[0] != '/' && token[0] != '-') return true;
  if (isKnownSwitch(token)) return false;
  if (platform::fileStatus(token).exists) return true;
  return token.find_first_of("/.*", 1) != std::string::npos;
}

bool isOutputSwitch(const std::string& token) {
  return token == "--output" || token == "-o" || token.rfind("--output=", 0) == 0;
}

void makeMissingFolder(const std::string& path) {
  if (!platform::fileStatus(path).exists) platform::makeDirectory(path);
}

// Every missing folder of `path`, outermost first.
void makeFolders(const std::string& path) {
  for (size_t i = 0; i < path.size(); ++i) {
    if (isShiftJisLead(static_cast<unsigned char>(path[i]))) {
      ++i;
    } else if (i > 0 && platform::isPathSeparator(path[i])) {
      makeMissingFolder(path.substr(0, i));
    }
  }
  makeMissingFolder(path);
}

// "--output DIR", "-o DIR", "--output=DIR": the output folder of this run,
// made when it is missing. False when it cannot be made.
bool takeOutputFolder(const std::vector<std::string>& arguments, size_t& i) {
  const std::string& token = arguments[i];
  std::string folder;
  if (token.find('=') != std::string::npos)
    folder = token.substr(token.find('=') + 1);
  else if (i + 1 < arguments.size())
    folder = arguments[++i];
  if (folder.empty()) {
    platform::writeStandardError("出力先ﾌｫﾙﾀﾞの指定がありません: " + token + "\n");
    runOutcome().badCommandLine = true;
    return true;
  }
  makeFolders(folder);
  if (!folderExists(folder)) {
    platform::writeStandardError("出力先ﾌｫﾙﾀﾞを作れません: " + folder + "\n");
    return false;
  }
  setOutputFolder(liveOptions(), folder);
  return true;
}

std::string posixSpelling(const std::string& token) {
  if (token == "--help") return "/?";
  if (token == "--version") return "/v";
  return token;
}

}  // namespace

// A space ends a token only before a switch ('/'), a drive ("x:") or a
// quoted argument, or after one; quotes keep everything between them in
// the token and are dropped, as shells and shortcuts quote paths with
// spaces.
std::vector<std::string> splitCommandLine(const std::string& text) {
  std::vector<std::string> tokens;
  tokens.reserve(20);
  std::string token;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      quoted = !quoted;
      continue;
    }
    bool afterQuote = i > 0 && text[i - 1] == '"' && !quoted;
    bool ends = c == ' ' && !quoted && i + 1 < text.size() &&
                (afterQuote || text[i + 1] == '/' || text[i + 1] == '"' ||
                 (i + 2 < text.size() && text[i + 2] == ':'));
    if (!ends) {
      token += c;
      continue;
    }
    tokens.push_back(token);
    token.clear();
  }
  tokens.push_back(token);
  return tokens;
}

CommandLineResult runCommandLine(const std::string& text) {
  PathRegistration paths(runOutcome());
  for (const std::string& raw : splitCommandLine(text)) {
    std::string token = withoutTrailingSpaces(raw);
    if (token.empty()) continue;
    if (token[0] != '/') {
      paths.add(token);
    } else if (applySwitch(token) == SwitchEffect::Exit) {
      return CommandLineResult::Exit;
    }
  }
  return runIfRegistered();
}

CommandLineResult runCommandLineArguments(const std::vector<std::string>& arguments) {
  PathRegistration paths(runOutcome());
  for (size_t i = 0; i < arguments.size(); ++i) {
    std::string token = posixSpelling(arguments[i]);
    if (token.empty()) continue;
    if (isOutputSwitch(token)) {
      if (!takeOutputFolder(arguments, i)) return CommandLineResult::Failed;
    } else if (const ValueSwitch* s = valueSwitchOf(token)) {
      if (!takeValue(*s, arguments, i)) return CommandLineResult::BadValue;
    } else if (isPathArgument(token)) {
      paths.add(token);
    } else if (applySwitch(token) == SwitchEffect::Exit) {
      return CommandLineResult::Exit;
    }
  }
  return runIfRegistered();
}

void registerPath(const std::string& path, const RegistrationWatch& watch) {
  PathRegistration(runOutcome(), watch).add(path);
}

AddResult registerSourceFile(const Options& options, const std::string& name,
                             const std::string& directory, SourceFileList& list) {
  const Language* language = languageOfFile(options, name);
  return list.add(name, directory, language ? language->mode : 0);
}

std::string usageText() {
  return "  使用例\n"
         "    mizenta test1.c\n"
         "    mizenta test1.c test2.c\n"
         "    mizenta c:\\src1\\aaa.c c:\\src2\\bbb.c\n"
         "    mizenta *.c";
}

void showUsage() { platform::showMessageBox(usageText(), "確認"); }
