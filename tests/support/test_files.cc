#include "tests/support/test_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/text_encoding.h"

namespace fs = std::filesystem;

std::string toCp932(std::string_view utf8) {
  bool ok = true;
  std::string out = platform::utf8ToCp932(utf8, &ok);
  EXPECT_TRUE(ok) << "text does not convert to CP932";
  return out;
}

std::string toUtf8(std::string_view cp932) { return platform::cp932ToUtf8(cp932); }

std::string withCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string utf16(std::u16string_view text) {
  std::string out = "\xFF\xFE";
  for (char16_t u : text) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  }
  return out;
}

std::string readFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFileBytes(const std::string& path, std::string_view bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), bytes.size());
}

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "mz-test-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  path_ = made ? made : pattern;
}

TempDir::~TempDir() {
  if (std::getenv("MZ_KEEP_TEMP")) return;
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

FileSizeLimit::FileSizeLimit(unsigned long long bytes) {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  saved_ = limit.rlim_cur;
  previous_ = std::signal(SIGXFSZ, SIG_IGN);
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = static_cast<rlim_t>(saved_);
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, previous_);
}

std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string programFolder(ProgramKind kind) {
  return kind == ProgramKind::Linux ? std::string(MZ_BINARY_DIR) : std::string(MZ_WINDOWS_BIN);
}

void installProgram(ProgramKind kind, const std::string& folder) {
  fs::create_directories(folder);
  std::string from = programFolder(kind);
  // The settings data file's name is Shift-JIS here and UTF-8 on disk.
  const std::string settings = toUtf8("Mizenta設定.dat");
  const char* files[2][3] = {{"mizenta", "libcalvex.so", settings.c_str()},
                             {"mizenta.exe", "calvex.dll", settings.c_str()}};
  for (const char* name : files[kind == ProgramKind::Linux ? 0 : 1]) {
    fs::path source = fs::path(from) / name;
    if (fs::exists(source))
      fs::copy_file(source, fs::path(folder) / name, fs::copy_options::overwrite_existing);
  }
}

namespace {

std::string shellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

}  // namespace

ProgramResult runInstalledProgram(ProgramKind kind, const std::string& folder,
                                  const std::string& cwd, const std::vector<std::string>& args) {
  TempDir capture;
  std::string command = "cd " + shellQuote(cwd) + " && ";
  if (kind == ProgramKind::Linux) {
    // Its terminal text is UTF-8 whatever the caller's locale is.
    command += "LC_ALL=C.UTF-8 " + shellQuote(folder + "/mizenta");
  } else {
    command += shellQuote(std::string(MZ_SOURCE_DIR) + "/tests/wine/run-wine.sh") + " " +
               shellQuote(folder + "/mizenta.exe");
  }
  for (const std::string& a : args) command += " " + shellQuote(a);
  command += " >" + shellQuote(capture.file("out")) + " 2>" + shellQuote(capture.file("err")) +
             " </dev/null";
  int status = std::system(command.c_str());
  ProgramResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.standardOutput = readFileBytes(capture.file("out"));
  result.standardError = readFileBytes(capture.file("err"));
  return result;
}

std::string nativePathFor(ProgramKind kind, const std::string& linuxPath) {
  if (kind == ProgramKind::Linux) return linuxPath;
  std::string out = "Z:";
  for (char c : linuxPath) out += c == '/' ? '\\' : c;
  return out;
}

std::string readWorkbookBack(const std::string& path) {
  std::string command =
      "/usr/bin/python3 " MZ_SOURCE_DIR "/tests/report/read_workbook.py '" + path + "' 2>&1";
  std::string out;
  if (std::FILE* p = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
    pclose(p);
  }
  return out;
}
