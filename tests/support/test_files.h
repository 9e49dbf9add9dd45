// Files for tests: temporary folders, Shift-JIS conversion of the UTF-8 text
// kept in the test sources, and running the real program (natively or under
// Wine) on a prepared folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// UTF-8 text -> CP932 bytes, and back; tests fail loudly on bad text.
std::string toCp932(std::string_view utf8);
std::string toUtf8(std::string_view cp932);

// "\n" -> "\r\n" (text as the program writes it on disk).
std::string withCrLf(std::string_view text);

// UTF-16 little-endian text with its byte-order mark.
std::string utf16(std::u16string_view text);

std::string readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, std::string_view bytes);

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes away (kept when MZ_KEEP_TEMP is set).
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// No file that this process writes may grow past `bytes` while it lives,
// as on a disk that fills up: the writes past it fail (they do not stop the
// process).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(unsigned long long bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  unsigned long long saved_ = 0;
  void (*previous_)(int) = nullptr;
};

// The names in `folder`, sorted.
std::vector<std::string> namesIn(const std::string& folder);

enum class ProgramKind { Linux, Wine };

// Where the program under test lives; empty when it was not built.
std::string programFolder(ProgramKind kind);

// Copies the program, its library and its settings data file into `folder`
// (a relocated install).
void installProgram(ProgramKind kind, const std::string& folder);

struct ProgramResult {
  int exitCode = -1;
  std::string standardOutput;
  std::string standardError;
};

// Runs the installed program in `folder` with the working folder `cwd`.
ProgramResult runInstalledProgram(ProgramKind kind, const std::string& folder,
                                  const std::string& cwd, const std::vector<std::string>& args);

// The absolute path of a Linux path as the program of `kind` spells it
// (Wine: "Z:\tmp\..."), and the native separator of that kind.
std::string nativePathFor(ProgramKind kind, const std::string& linuxPath);

// A workbook file as the spreadsheet reader (tests/report/read_workbook.py)
// prints it, in CP932 like the texts of the tests: sheets, titles, widths and every cell with a
// value, a line or a colour.
std::string readWorkbookBack(const std::string& path);
