// The byte level of every report: line feeds reach the file as CR LF however
// the text is cut into writes and wherever the write buffer fills, list
// sections that continue a file or start a numbered one, reports that take
// the earlier file's place only when whole, and the blank padding of the
// fixed-width columns.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "report/report.h"
#include "report/report_file.h"
#include "report/text_layout.h"
#include "tests/support/test_files.h"

namespace {

std::string crLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// Writes `text` through a report file in pieces of `piece` bytes.
std::string writtenBytes(const std::string& text, size_t piece, FileEncoding encoding = {}) {
  TempDir dir;
  std::string path = dir.path() + "/r.txt";
  ReportStyle style;
  style.encoding = encoding;
  ReportSession session("", style);
  {
    ReportFile file(session);
    EXPECT_TRUE(file.openPath(path, FileMode::kWhole));
    for (size_t at = 0; at < text.size(); at += piece) file << text.substr(at, piece);
    if (!encoding.utf8) {
      EXPECT_EQ(file.size(), static_cast<long long>(crLf(text).size()));
    }
    file.close();
  }
  return readFileBytes(path);
}

// In UTF-8 every character arrives whole, also where a double-byte
// character or a stand-in is cut by the write buffer's end; a stand-in is
// its character, but a control character's stays as it is written.
TEST(ReportOutput, Utf8KeepsCharactersWholeAcrossBufferBoundaries) {
  std::string text, utf8;
  for (int i = 0; i < 5000; ++i) {
    std::string pad(i % 3, ' ');
    text += pad + "日本[U+D55C]ｱ[U+000A]\n";
    utf8 += pad + "\xE6\x97\xA5\xE6\x9C\xAC\xED\x95\x9C\xEF\xBD\xB1[U+000A]\n";
  }
  for (size_t piece : {size_t{1}, size_t{7}, size_t{8191}, text.size()}) {
    EXPECT_EQ(writtenBytes(text, piece, {true, false}), utf8) << "pieces of " << piece;
    EXPECT_EQ(writtenBytes(text, piece, {true, true}), crLf(utf8)) << "pieces of " << piece;
  }
}

TEST(ReportOutput, LineFeedsBecomeCrLfAcrossBufferBoundaries) {
  // Lines of varied length, so that line feeds fall on and around every
  // position of the 8 KiB write buffer; one long line with no line feed.
  std::string text;
  for (int i = 0; i < 3000; ++i) text += std::string(i % 13, 'a' + i % 26) + "\n";
  text += std::string(20000, 'x') + "\n\n";
  text += "\x88\xea\x97\x97\n";  // Shift-JIS bytes pass unchanged
  for (size_t piece : {size_t{1}, size_t{7}, size_t{8191}, size_t{8192}, text.size()})
    EXPECT_EQ(writtenBytes(text, piece), crLf(text)) << "pieces of " << piece;
}

TEST(ReportOutput, AppendCountsTheBytesAlreadyThere) {
  TempDir dir;
  std::string path = dir.path() + "/r.txt";
  writeFileBytes(path, "ab\r\n");
  ReportSession session("", ReportStyle{});
  ReportFile file(session);
  ASSERT_TRUE(file.openPath(path, FileMode::kNextSection));
  file << "c\n";
  EXPECT_EQ(file.size(), 7);
  file.close();
  session.closeKeptReports();
  EXPECT_EQ(readFileBytes(path), "ab\r\nc\r\n");
}

// A report in sections stays open between them with what it has not
// written yet, and readers see the earlier file until the kept reports are
// closed; the size counts on across the sections. An open of the path
// that is not one of its sections puts it in place first.
TEST(ReportOutput, ReportsInSectionsStayOpenUntilTheRunEnds) {
  TempDir dir;
  std::string path = dir.path() + "/list.txt";
  writeFileBytes(path, "earlier\r\n");
  ReportSession session("", ReportStyle{});
  auto section = [&path, &session](const std::string& text) {
    ReportFile file(session);
    EXPECT_TRUE(file.openPath(path, FileMode::kNextSection));
    long long before = file.size();
    file << text;
    return before;
  };
  for (int round = 0; round < 2; ++round) {
    {
      ReportFile first(session);
      first.openPath(path, FileMode::kFirstSection);
      first << "head\n";
    }
    std::string expected = "head\r\n";
    for (int i = 0; i < 5000; ++i) {
      EXPECT_EQ(section("section " + std::to_string(i) + "\n"),
                static_cast<long long>(expected.size()));
      expected += "section " + std::to_string(i) + "\r\n";
    }
    EXPECT_EQ(readFileBytes(path), round == 0 ? "earlier\r\n" : expected);
    if (round == 0) {
      session.closeKeptReports();
      EXPECT_EQ(readFileBytes(path), expected);
    }
  }
  {
    ReportFile whole(session);
    whole.openPath(path, FileMode::kWhole);
    EXPECT_EQ(readFileBytes(path).substr(0, 17), "head\r\nsection 0\r\n");
    whole << "whole\n";
  }
  EXPECT_EQ(readFileBytes(path), "whole\r\n");
  session.closeKeptReports();
  EXPECT_EQ(readFileBytes(path), "whole\r\n");
}

// The failure handler hears of every report that does not take its place,
// and the folder holds nothing but the reports afterwards.
class FailedReports : public ::testing::Test {
 protected:
  const std::vector<std::string>& failed() const { return failed_; }
  std::vector<std::string> failed_;
  ReportSession session{"", ReportStyle{},
                        [this](const std::string& path) { failed_.push_back(path); }};
};

// A report that cannot be written whole leaves the earlier one as it was,
// also one written in sections; a report that fits replaces its file.
TEST_F(FailedReports, AReportCutShortLeavesTheEarlierOne) {
  TempDir dir;
  const std::string big = dir.file("big.txt"), list = dir.file("list.txt"),
                    small = dir.file("small.txt");
  for (const std::string& path : {big, list, small}) writeFileBytes(path, "earlier\r\n");
  {
    FileSizeLimit limit(100000);
    ReportFile file(session);
    file.openPath(big, FileMode::kWhole);
    for (int i = 0; i < 20000; ++i) file << "line " << i << '\n';
    file.close();
    for (int i = 0; i < 3000; ++i) {
      ReportFile section(session);
      section.openPath(list, i ? FileMode::kNextSection : FileMode::kFirstSection);
      section << "section " << i << std::string(50, '.') << '\n';
    }
    session.closeKeptReports();
    file.openPath(small, FileMode::kWhole);
    file << "new\n";
  }
  EXPECT_EQ(failed(), (std::vector<std::string>{big, list}));
  EXPECT_EQ(readFileBytes(big), "earlier\r\n");
  EXPECT_EQ(readFileBytes(list), "earlier\r\n");
  EXPECT_EQ(readFileBytes(small), "new\r\n");
  EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"big.txt", "list.txt", "small.txt"}));
}

// A file that cannot take the report's place (a folder of its name, a
// read-only file) is told of and left as it is; a device is written
// itself.
TEST_F(FailedReports, WhatCannotBeReplacedStaysAsItIs) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("folder.txt"));
  writeFileBytes(dir.file("kept.txt"), "mine\r\n");
  std::filesystem::permissions(dir.file("kept.txt"), std::filesystem::perms::owner_read);
  const bool superuser = geteuid() == 0;
  for (const char* name : {"folder.txt", "kept.txt"}) {
    ReportFile file(session);
    file.openPath(dir.file(name), FileMode::kWhole);
    file << "report\n";
  }
  std::filesystem::create_symlink("/dev/null", dir.file("null.txt"));
  {
    ReportFile file(session);
    EXPECT_TRUE(file.openPath(dir.file("null.txt"), FileMode::kWhole));
    file << "nothing\n";
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder.txt")));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("null.txt")));
  if (superuser) {
    // The superuser may write any file: only the folder fails.
    EXPECT_EQ(failed(), std::vector<std::string>{dir.file("folder.txt")});
    EXPECT_EQ(readFileBytes(dir.file("kept.txt")), "report\r\n");
  } else {
    EXPECT_EQ(failed(), (std::vector<std::string>{dir.file("folder.txt"), dir.file("kept.txt")}));
    EXPECT_EQ(readFileBytes(dir.file("kept.txt")), "mine\r\n");
  }
  EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"folder.txt", "kept.txt", "null.txt"}));
}

// A replaced file keeps its permissions, and a link to a report leads to
// the new one.
TEST_F(FailedReports, AReplacedFileKeepsItsModeAndItsLinks) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("real"));
  const std::string real = dir.file("real/r.txt");
  writeFileBytes(real, "old\r\n");
  std::filesystem::permissions(real, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_read);
  std::filesystem::create_symlink(real, dir.file("r.txt"));
  {
    ReportFile file(session);
    file.openPath(dir.file("r.txt"), FileMode::kWhole);
    file << "new\n";
  }
  EXPECT_TRUE(failed().empty());
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("r.txt")));
  EXPECT_EQ(readFileBytes(real), "new\r\n");
  EXPECT_EQ(std::filesystem::status(real).permissions(), std::filesystem::perms::owner_read |
                                                             std::filesystem::perms::owner_write |
                                                             std::filesystem::perms::group_read);
  EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"r.txt", "real"}));
}

// Limit 15: a section opens the next numbered file when the current one
// holds more. HTML pages are ended before a file is left and at the end.
TEST(ReportOutput, ListSectionsPastTheSizeLimitStartNumberedFiles) {
  TempDir dir;
  auto file = [&dir](ReportFormat format, int number) {
    return readFileBytes(dir.file(toUtf8(reportFileName(ReportId::kDefineList, format, number))));
  };
  for (ReportFormat format : {ReportFormat::kText, ReportFormat::kHtml}) {
    ReportSession session(dir.path() + "/", {format});
    ListSections sections(15);
    for (const char* text : {"section one", "two", "section three"}) {
      Report report(session);
      ASSERT_TRUE(sections.open(report, ReportId::kDefineList, "t"));
      report->literal(text, kAllForms);
    }
    sections.finish(session, ReportId::kDefineList);
    session.closeKeptReports();
  }
  EXPECT_EQ(file(ReportFormat::kText, 0), "section one\r\ntwo\r\n");
  EXPECT_EQ(file(ReportFormat::kText, 1), "section three\r\n");
  const char* sections[] = {"section one", "two", "section three"};
  for (int n = 0; n < 3; ++n) {
    std::string html = file(ReportFormat::kHtml, n);
    EXPECT_EQ(html.substr(html.find("</p>\r\n\r\n") + 8),
              std::string(sections[n]) + "\r\n</body>\r\n</html>\r\n");
  }
}

TEST(ReportOutput, PaddingWritesHalfTheColumnsAsBlanks) {
  const std::string wide = "\x81\x40";  // the full-width blank
  struct Case {
    int count;
    std::string blank;
    std::string text;
    bool odd;
  } cases[] = {
      {0, "  ", "", false},
      {-3, "  ", "", false},
      {1, "  ", "", true},
      {2, "  ", "  ", false},
      {7, wide, wide + wide + wide, true},
      {600, wide,
       [&] {
         std::string s;
         for (int i = 0; i < 300; ++i) s += wide;
         return s;
       }(),
       false},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    EXPECT_EQ(padWithBlanks(out, c.count, c.blank), c.odd) << c.count;
    EXPECT_EQ(out.str(), c.text) << c.count;
  }
}

}  // namespace
