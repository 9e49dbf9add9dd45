// Runs the real program on every case folder under tests/golden/ and
// compares the report files it writes with the expected ones, natively and,
// when the build names a Windows build folder, as mizenta.exe under Wine (a
// missing mizenta.exe then fails those cases).
//
// A case folder holds:
//   args             one argument per line: "/x" switches as they are,
//                    "=text" passed verbatim, anything else a path relative
//                    to input/, passed as an absolute path of the platform;
//   input/           the sources (UTF-8 here, written as Shift-JIS; a file
//                    named *.raw is copied byte for byte without ".raw");
//   input-from       instead of input/: the name of the case whose input/
//                    this case reads (cases that show one set of sources
//                    in several ways share it);
//   Mizenta.ini      optional settings beside the program (UTF-8 here);
//   Mizenta設定.dat  optional settings data in place of the shipped file
//                    (UTF-8 here);
//   no-settings-data optional: the run has no settings data file and takes
//                    the built-in lists (the file says why);
//   expected/        report files as they must be (UTF-8 and LF here; on
//                    disk Shift-JIS and CR LF, but the JSON document and
//                    the call graph, ".json" and ".dot", UTF-8 and CR LF).
//                    {NUMBER} stands for any decimal number, {DIR} for the
//                    absolute input folder;
//   utf8-output      optional: the reports are UTF-8 on disk too, with the
//                    line ends the file names ("LF" or "CRLF");
//   expected.stdout, expected.exit   optional;
//   expected.stderr  optional: what the Linux program writes on standard
//                    error (its message boxes), {NUMBER} as above; without
//                    it, nothing. The Windows program shows boxes instead,
//                    so its standard error is not compared;
//   unchecked        optional: report files the case writes but does not
//                    compare, one name a line. Any other file the run
//                    writes beside the program fails the case;
//   linux-only       optional: the case does not run under Wine (the file
//                    says why).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <regex>
#include <sstream>

#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

struct GoldenCase {
  std::string name;
  ProgramKind kind;
};

// Failure messages name the case rather than dump its bytes.
void PrintTo(const GoldenCase& c, std::ostream* out) {
  *out << c.name << (c.kind == ProgramKind::Wine ? " (Wine)" : " (Linux)");
}

std::string goldenRoot() { return std::string(MZ_SOURCE_DIR) + "/tests/golden"; }

// Configured with a Windows build folder: the Wine variants are registered
// whether or not mizenta.exe is built yet, so that they cannot vanish.
bool windowsBuildConfigured() { return !std::string(MZ_WINDOWS_BIN).empty(); }

std::vector<GoldenCase> allCases() {
  std::vector<GoldenCase> cases;
  if (!fs::exists(goldenRoot())) return cases;
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(goldenRoot()))
    if (e.is_directory()) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  for (const std::string& n : names) {
    cases.push_back({n, ProgramKind::Linux});
    if (windowsBuildConfigured() && !fs::exists(fs::path(goldenRoot()) / n / "linux-only"))
      cases.push_back({n, ProgramKind::Wine});
  }
  return cases;
}

// The names of the files directly in `folder`, sorted.
std::vector<std::string> fileNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// The files the program writes in UTF-8 rather than Shift-JIS.
bool writtenInUtf8(const fs::path& report) {
  return report.extension() == ".json" || report.extension() == ".dot";
}

// The case's own input/, or that of the case its input-from names.
fs::path inputOf(const fs::path& caseDir) {
  fs::path from = caseDir / "input-from";
  if (!fs::exists(from)) return caseDir / "input";
  std::string name = readFileBytes(from.string());
  name.erase(name.find_last_not_of(" \r\n") + 1);
  return fs::path(goldenRoot()) / name / "input";
}

void copyInputs(const fs::path& from, const fs::path& to) {
  if (!fs::exists(from)) return;
  for (const auto& e : fs::recursive_directory_iterator(from)) {
    fs::path rel = fs::relative(e.path(), from);
    if (e.is_directory()) {
      fs::create_directories(to / rel);
      continue;
    }
    std::string bytes = readFileBytes(e.path().string());
    std::string name = rel.string();
    if (name.size() > 4 && name.substr(name.size() - 4) == ".raw")
      name.resize(name.size() - 4);
    else
      bytes = toCp932(bytes);
    writeFileBytes((to / name).string(), bytes);
  }
}

class Golden : public testing::TestWithParam<GoldenCase> {
 protected:
  void SetUp() override {
    const GoldenCase& c = GetParam();
    if (c.kind == ProgramKind::Wine) {
      ASSERT_TRUE(fs::exists(fs::path(MZ_WINDOWS_BIN) / "mizenta.exe"))
          << MZ_WINDOWS_BIN "/mizenta.exe is missing: build it with `make windows`";
    }
    caseDir_ = fs::path(goldenRoot()) / c.name;
    programDir_ = temp_.path() + "/prog";
    inputDir_ = temp_.path() + "/input";
    installProgram(c.kind, programDir_);
    fs::create_directories(inputDir_);
    copyInputs(inputOf(caseDir_), inputDir_);
    for (const std::string& name : {std::string("Mizenta.ini"), toUtf8("Mizenta設定.dat")}) {
      fs::path own = caseDir_ / name;
      if (fs::exists(own))
        writeFileBytes(programDir_ + "/" + name,
                       withCrLf(toCp932(substitute(readFileBytes(own.string())))));
    }
    if (fs::exists(caseDir_ / "no-settings-data"))
      fs::remove(fs::path(programDir_) / toUtf8("Mizenta設定.dat"));
    installed_ = fileNames(programDir_);
    fs::path utf8 = caseDir_ / "utf8-output";
    utf8Output_ = fs::exists(utf8);
    utf8CrLf_ = utf8Output_ && readFileBytes(utf8.string()).rfind("CRLF", 0) == 0;
  }

  // An expected file (UTF-8, LF) as the run writes it.
  std::string onDisk(const std::string& expected) const {
    if (!utf8Output_) return withCrLf(toCp932(expected));
    return utf8CrLf_ ? withCrLf(expected) : expected;
  }
  std::string shown(const std::string& line) const { return utf8Output_ ? line : toUtf8(line); }

  std::string nativeSeparator() const { return GetParam().kind == ProgramKind::Wine ? "\\" : "/"; }

  std::string substitute(const std::string& text) const {
    std::string dir = nativePathFor(GetParam().kind, inputDir_) + nativeSeparator();
    std::string out = replaceAll(text, "{DIR}", dir);
    out =
        replaceAll(out, "{PROG}", nativePathFor(GetParam().kind, programDir_) + nativeSeparator());
    return out;
  }

  std::vector<std::string> arguments() const {
    std::vector<std::string> args;
    for (const std::string& line : lines(readFileBytes((caseDir_ / "args").string()))) {
      if (line.empty()) continue;
      if (line[0] == '/')
        args.push_back(line);
      else if (line[0] == '=')
        args.push_back(toCp932(line.substr(1)));
      else
        args.push_back(toCp932(nativePathFor(GetParam().kind, inputDir_ + "/" + line)));
    }
    return args;
  }

  // Compares line by line so that {NUMBER} can stand for a varying value.
  void expectSameReport(const std::string& name, const std::string& expected,
                        const std::string& actual) {
    std::vector<std::string> want = lines(expected), got = lines(actual);
    for (size_t i = 0; i < std::max(want.size(), got.size()); ++i) {
      std::string w = i < want.size() ? want[i] : "<end of file>";
      std::string g = i < got.size() ? got[i] : "<end of file>";
      bool same = w == g;
      if (!same && w.find("{NUMBER}") != std::string::npos) {
        std::string pattern;
        for (char ch : w)
          pattern += std::string(std::strchr("\\^$.|?*+()[]{}", ch) ? "\\" : "") + ch;
        pattern = replaceAll(pattern, "\\{NUMBER\\}", "-?[0-9][0-9.e+-]*");
        same = std::regex_match(g, std::regex(pattern));
      }
      if (!same) {
        ADD_FAILURE() << name << " line " << i + 1 << "\n  expected: " << shown(w)
                      << "\n  actual:   " << shown(g);
        return;
      }
    }
  }

  // Files the run wrote beside the program that the case neither expects
  // nor lists as unchecked. Hidden files are the program's own (the POSIX
  // single-instance lock), not reports.
  std::vector<std::string> unexpectedFiles() const {
    std::vector<std::string> known = installed_;
    fs::path expectedDir = caseDir_ / "expected";
    if (fs::exists(expectedDir))
      for (const std::string& name : fileNames(expectedDir.string())) known.push_back(name);
    fs::path unchecked = caseDir_ / "unchecked";
    if (fs::exists(unchecked))
      for (const std::string& name : lines(readFileBytes(unchecked.string())))
        if (!name.empty()) known.push_back(name);
    std::vector<std::string> unexpected;
    for (const std::string& name : fileNames(programDir_))
      if (name[0] != '.' && std::find(known.begin(), known.end(), name) == known.end())
        unexpected.push_back(name);
    return unexpected;
  }

  void keepFailure(const std::string& name, const std::string& actual) {
    fs::path keep = fs::path(MZ_BINARY_DIR) / "golden-failures" / GetParam().name /
                    (GetParam().kind == ProgramKind::Wine ? "wine" : "linux");
    writeFileBytes((keep / name).string(), actual);
  }

  TempDir temp_;
  fs::path caseDir_;
  std::string programDir_, inputDir_;
  std::vector<std::string> installed_;  // the program, its library, its settings
  bool utf8Output_ = false;
  bool utf8CrLf_ = false;
};

TEST_P(Golden, ReportsMatch) {
  ProgramResult run = runInstalledProgram(GetParam().kind, programDir_, inputDir_, arguments());
  fs::path exitFile = caseDir_ / "expected.exit";
  int wantExit = fs::exists(exitFile) ? std::stoi(readFileBytes(exitFile.string())) : 0;
  EXPECT_EQ(run.exitCode, wantExit) << toUtf8(run.standardError);
  fs::path stdoutFile = caseDir_ / "expected.stdout";
  if (fs::exists(stdoutFile)) {
    std::string out = replaceAll(run.standardOutput, "\r\n", "\n");
    EXPECT_EQ(out, readFileBytes(stdoutFile.string()));
  }
  if (GetParam().kind == ProgramKind::Linux) {
    fs::path stderrFile = caseDir_ / "expected.stderr";
    std::string want = fs::exists(stderrFile) ? readFileBytes(stderrFile.string()) : "";
    std::string got = replaceAll(run.standardError, "\r\n", "\n");
    want = substitute(want);
    // Compared in the encoding its messages are shown in.
    if (!utf8Output_) {
      want = toCp932(want);
      got = toCp932(got);
    }
    expectSameReport("standard error", want, got);
  }
  for (const std::string& name : unexpectedFiles()) {
    ADD_FAILURE() << "file written but not expected: " << name;
    keepFailure(name, readFileBytes(programDir_ + "/" + name));
  }
  fs::path expectedDir = caseDir_ / "expected";
  if (!fs::exists(expectedDir)) return;
  for (const auto& e : fs::directory_iterator(expectedDir)) {
    // Both programs keep Japanese file names in UTF-8 on this file system.
    std::string expected = substitute(readFileBytes(e.path().string()));
    expected = writtenInUtf8(e.path()) ? withCrLf(expected) : onDisk(expected);
    std::string actualPath = programDir_ + "/" + e.path().filename().string();
    if (!fs::exists(actualPath)) {
      ADD_FAILURE() << "report not written: " << e.path().filename().string();
      continue;
    }
    std::string actual = readFileBytes(actualPath);
    if (actual == expected) continue;
    expectSameReport(e.path().filename().string(), expected, actual);
    if (testing::Test::HasFailure()) keepFailure(e.path().filename().string(), actual);
  }
}

std::string caseName(const testing::TestParamInfo<GoldenCase>& info) {
  std::string name = info.param.name + (info.param.kind == ProgramKind::Wine ? "_wine" : "_linux");
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, testing::ValuesIn(allCases()), caseName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Golden);

}  // namespace
