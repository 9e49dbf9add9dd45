#include "driver/command_line.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <utility>

#include "context/options.h"
#include "driver/run_driver.h"
#include "driver/run_outcome.h"
#include "driver/switch_table.h"
#include "context/source_file_list.h"
#include "context/text_util.h"
#include "parsers/languages.h"
#include "platform/file_system.h"
#include "platform/program.h"
#include "platform/text_encoding.h"

const char kVersionText[] = "Version 1.19a   2009/04/28";

namespace {

// The Windows command line: "/?" shows the usage box and "/v" the version,
// any other switch of the table changes the options; an unknown one is
// told and the command line goes on.
enum class SwitchEffect { Applied, Unknown, Exit };

SwitchEffect applyWindowsSwitch(const std::string& token) {
  SwitchMatch match = findSwitch(token, true);
  if (!match.row) {
    platform::writeStandardError("コマンド[" + token + "]は存在しません\n");
    runOutcome().badCommandLine = true;
    return SwitchEffect::Unknown;
  }
  switch (match.row->action) {
    case SwitchAction::kHelp:
      showUsage();
      return SwitchEffect::Exit;
    case SwitchAction::kShortVersion:
      platform::writeStandardOutput(std::string(kVersionText) + "\n");
      return SwitchEffect::Exit;
    default:
      match.row->apply(liveOptions(), std::string());
      return SwitchEffect::Applied;
  }
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
  // In name order on every platform: the listing order of a folder is the
  // file system's, and same-named files of two folders would otherwise be
  // registered (and reported) in another order on Linux than on Windows.
  std::vector<platform::DirectoryEntry> entries = platform::findFiles(pattern);
  std::sort(entries.begin(), entries.end(),
            [](const platform::DirectoryEntry& a, const platform::DirectoryEntry& b) {
              return a.name < b.name;  // byte order
            });
  for (const platform::DirectoryEntry& e : entries) {
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
  if (findSwitch(token, false).row) return false;
  if (platform::fileStatus(token).exists) return true;
  return token.find_first_of("/.*", 1) != std::string::npos;
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

// "--output DIR": the output folder of this run, made when it is missing.
// False when it cannot be made.
bool takeOutputFolder(const std::string& folder) {
  makeFolders(folder);
  if (!folderExists(folder)) {
    platform::writeStandardError("出力先ﾌｫﾙﾀﾞを作れません: " + folder + "\n");
    return false;
  }
  setOutputFolder(liveOptions(), folder);
  return true;
}

std::string& buildIdentity() {
  static std::string identity = "(不明)";
  return identity;
}

// What the POSIX arguments ask for, read whole before anything is done,
// so that a wrong command line does nothing at all.
struct ArgumentRequest {
  std::vector<std::string> paths;
  std::vector<std::string> errors;           // one line each
  SwitchAction ending = SwitchAction::kSet;  // kSet: no switch that ends the program
  std::string iniFile;
  bool outputNamed = false;
  std::string outputFolder;
};

// The switch `match` (spelt `token`), its value taken from the next argument
// when it needs one and the token held none.
void takeSwitch(const SwitchMatch& match, const std::string& token,
                const std::vector<std::string>& arguments, size_t& i, ArgumentRequest& request) {
  const SwitchRow& row = *match.row;
  std::string value = match.value;
  if (row.argument && !match.valueGiven) {
    if (i + 1 >= arguments.size()) {
      request.errors.push_back("コマンド[" + token + "]に値がありません");
      return;
    }
    value = arguments[++i];
  }
  if (row.argument && value.empty()) {
    request.errors.push_back("コマンド[" + token + "]に値がありません");
    return;
  }
  switch (row.action) {
    case SwitchAction::kSet: {
      std::string wrong = row.apply(liveOptions(), value);
      if (!wrong.empty()) request.errors.push_back("コマンド[" + token + "]: " + wrong);
      return;
    }
    case SwitchAction::kOutput:
      request.outputNamed = true;
      request.outputFolder = value;
      return;
    case SwitchAction::kWriteIni:
      request.iniFile = value;
      [[fallthrough]];
    case SwitchAction::kHelp:
    case SwitchAction::kVersion:
    case SwitchAction::kShortVersion:
      // The help wins over the others; otherwise the first one asked.
      if (request.ending == SwitchAction::kSet || row.action == SwitchAction::kHelp)
        request.ending = row.action;
      return;
  }
}

ArgumentRequest readArguments(const std::vector<std::string>& arguments) {
  ArgumentRequest request;
  bool pathsOnly = false;  // after "--"
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& token = arguments[i];
    if (token.empty()) continue;
    if (!pathsOnly && token == "--") {
      pathsOnly = true;
    } else if (pathsOnly || isPathArgument(token)) {
      request.paths.push_back(token);
    } else if (SwitchMatch match = findSwitch(token, false); match.row) {
      takeSwitch(match, token, arguments, i, request);
    } else {
      request.errors.push_back("コマンド[" + token + "]は存在しません");
    }
  }
  return request;
}

std::string withoutCarriageReturns(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  return out;
}

// "--write-ini FILE": every key at its default, in the encoding asked for.
// An existing file is the user's and stays as it is.
bool writeIniTemplate(const std::string& path) {
  if (platform::fileStatus(path).exists) {
    platform::writeStandardError("ﾌｧｲﾙが既にあるため書きません: " + path + "\n");
    return false;
  }
  const Options& o = liveOptions();
  std::string text = defaultIniText();
  if (o.outputEncoding == OutputEncoding::Utf8) {
    text = platform::cp932ToUtf8(text);
    if (!o.utf8CrLf) text = withoutCarriageReturns(text);
  }
  std::FILE* f = platform::openFile(path, "wb");
  bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
  if (f && std::fclose(f) != 0) ok = false;
  if (!ok) platform::writeStandardError("INIﾌｧｲﾙを書けません: " + path + "\n");
  return ok;
}

// The switch that ends the program at once.
CommandLineResult endWith(const ArgumentRequest& request) {
  switch (request.ending) {
    case SwitchAction::kHelp:
      platform::writeStandardOutput(switchHelpText());
      return CommandLineResult::Exit;
    case SwitchAction::kVersion:
      platform::writeStandardOutput(std::string(kVersionText) + "\nﾋﾞﾙﾄﾞ " + buildIdentity() +
                                    "\n");
      return CommandLineResult::Exit;
    case SwitchAction::kShortVersion:
      platform::writeStandardOutput(std::string(kVersionText) + "\n");
      return CommandLineResult::Exit;
    case SwitchAction::kWriteIni:
      return writeIniTemplate(request.iniFile) ? CommandLineResult::Exit
                                               : CommandLineResult::Failed;
    case SwitchAction::kSet:
    case SwitchAction::kOutput:
      break;
  }
  return CommandLineResult::NoFiles;
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
    } else if (applyWindowsSwitch(token) == SwitchEffect::Exit) {
      return CommandLineResult::Exit;
    }
  }
  return runIfRegistered();
}

CommandLineResult runCommandLineArguments(const std::vector<std::string>& arguments) {
  ArgumentRequest request = readArguments(arguments);
  // Messages from here on are in the encoding the switches asked for.
  platform::setStandardStreamsUtf8(liveOptions().outputEncoding == OutputEncoding::Utf8);
  if (!request.errors.empty()) {
    std::string text;
    for (const std::string& error : request.errors) text += error + "\n";
    platform::writeStandardError(text + "mizenta --help で使い方を表示します\n");
    return CommandLineResult::UsageError;
  }
  if (request.ending != SwitchAction::kSet) return endWith(request);
  if (request.outputNamed && !takeOutputFolder(request.outputFolder))
    return CommandLineResult::Failed;
  PathRegistration paths(runOutcome());
  for (const std::string& path : request.paths) paths.add(path);
  return runIfRegistered();
}

void setBuildIdentity(const std::string& identity) { buildIdentity() = identity; }

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
