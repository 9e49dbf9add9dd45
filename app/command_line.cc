#include "app/command_line.h"

#include "app/options.h"
#include "app/run_driver.h"
#include "app/source_file_list.h"
#include "app/text_util.h"
#include "parse/languages.h"
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
};

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

void expandPath(const std::string& path) {
  std::string pattern, dir;
  if (path.find('*') != std::string::npos) {
    pattern = path;
    dir = patternDirectory(path);
  } else {
    dir = path;
    if (lastSeparator(dir) != dir.size() - 1) dir += platform::kPathSeparator;
    pattern = dir + "*";
  }
  for (const platform::DirectoryEntry& e : platform::findFiles(pattern)) {
    if (e.name.empty() || e.name[0] == '.') continue;
    if (e.isDirectory)
      expandPath(dir + e.name);
    else
      registerSourceFile(liveOptions(), e.name, dir, sourceFiles());
  }
}

}  // namespace

std::vector<std::string> splitCommandLine(const std::string& text) {
  std::vector<std::string> tokens;
  tokens.reserve(20);
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != ' ') continue;
    bool beforeSwitch = i + 1 < text.size() && text[i + 1] == '/';
    bool beforeDrive = i + 2 < text.size() && text[i + 2] == ':';
    if (!beforeSwitch && !beforeDrive) continue;
    tokens.push_back(text.substr(start, i - start));
    start = i + 1;
  }
  tokens.push_back(text.substr(start));
  return tokens;
}

CommandLineResult runCommandLine(const std::string& text) {
  for (const std::string& raw : splitCommandLine(text)) {
    std::string token = withoutTrailingSpaces(raw);
    if (token.empty()) continue;
    if (token[0] != '/') {
      registerPath(token);
    } else if (applySwitch(token) == SwitchEffect::Exit) {
      return CommandLineResult::Exit;
    }
  }
  return runIfRegistered();
}

CommandLineResult runCommandLineArguments(const std::vector<std::string>& arguments) {
  for (const std::string& token : arguments) {
    if (token.empty()) continue;
    bool pathLike = token[0] != '/' ||
                    (!isKnownSwitch(token) && platform::fileStatus(token).exists);
    if (pathLike) {
      registerPath(token);
    } else if (applySwitch(token) == SwitchEffect::Exit) {
      return CommandLineResult::Exit;
    }
  }
  return runIfRegistered();
}

void registerPath(const std::string& path) {
  std::string filePart = fileNamePart(path);
  if (platform::fileStatus(path).isDirectory || startsWithPattern(filePart)) {
    expandPath(path);
    return;
  }
  registerSourceFile(liveOptions(), filePart, directoryPart(path), sourceFiles());
}

void registerSourceFile(const Options& options, const std::string& name,
                        const std::string& directory, SourceFileList& list) {
  const Language* language = languageOfFile(options, name);
  if (language) list.add(name, directory, language->mode);
}

std::string usageText() {
  return "  使用例\n"
         "    mizenta test1.c\n"
         "    mizenta test1.c test2.c\n"
         "    mizenta c:\\src1\\aaa.c c:\\src2\\bbb.c\n"
         "    mizenta *.c";
}

void showUsage() { platform::showMessageBox(usageText(), "確認"); }
