// The byte level of every report: line feeds reach the file as CR LF however
// the text is cut into writes and wherever the write buffer fills, list
// sections that continue a file or start a numbered one, and the blank
// padding of the fixed-width columns.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

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
std::string writtenBytes(const std::string& text, size_t piece) {
  TempDir dir;
  std::string path = dir.path() + "/r.txt";
  {
    ReportFile file;
    EXPECT_TRUE(file.openPath(path, false));
    for (size_t at = 0; at < text.size(); at += piece) file << text.substr(at, piece);
    EXPECT_EQ(file.size(), static_cast<long long>(crLf(text).size()));
    file.close();
  }
  return readFileBytes(path);
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
  ReportFile file;
  ASSERT_TRUE(file.openPath(path, true));
  file << "c\n";
  EXPECT_EQ(file.size(), 7);
  file.close();
  EXPECT_EQ(readFileBytes(path), "ab\r\nc\r\n");
}

// An appended report stays open between its sections with what it has not
// written yet; the size counts on across the sections, everything is on
// disk once the kept reports are closed, and an open that is not one of its
// sections writes it out first (a plain append goes after it, a truncating
// open starts afresh).
TEST(ReportOutput, AppendedReportsStayOpenBetweenSections) {
  TempDir dir;
  std::string path = dir.path() + "/list.txt";
  auto section = [&path](const std::string& text, bool keep = true) {
    ReportFile file;
    EXPECT_TRUE(file.openPath(path, true, keep));
    long long before = file.size();
    file << text;
    return before;
  };
  for (int round = 0; round < 2; ++round) {
    {
      ReportFile first;
      first.openPath(path, false);
      first << "head\n";
    }
    std::string expected = "head\r\n";
    for (int i = 0; i < 50; ++i) {
      EXPECT_EQ(section("section " + std::to_string(i) + "\n"),
                static_cast<long long>(expected.size()));
      expected += "section " + std::to_string(i) + "\r\n";
    }
    if (round == 0) {
      closeKeptReports();
      EXPECT_EQ(readFileBytes(path), expected);
    }
  }
  section("plain\n", false);
  EXPECT_EQ(section("last\n"), static_cast<long long>(readFileBytes(path).size()));
  closeKeptReports();
  std::string all = readFileBytes(path);
  EXPECT_EQ(all.substr(all.size() - 13), "plain\r\nlast\r\n");
  EXPECT_EQ(all.substr(0, 17), "head\r\nsection 0\r\n");
}

// Limit 15: a section opens the next numbered file when the current one
// holds more. HTML pages are ended before a file is left and at the end.
TEST(ReportOutput, ListSectionsPastTheSizeLimitStartNumberedFiles) {
  TempDir dir;
  setReportFolder(dir.path() + "/");
  auto file = [&dir](ReportFormat format, int number) {
    return readFileBytes(dir.file(toUtf8(reportFileName(ReportId::kDefineList, format, number))));
  };
  for (ReportFormat format : {ReportFormat::kText, ReportFormat::kHtml}) {
    ListSections sections(15);
    for (const char* text : {"section one", "two", "section three"}) {
      Report report;
      ASSERT_TRUE(sections.open(report, ReportId::kDefineList, {format}, "t"));
      report->literal(text, kAllForms);
    }
    sections.finish(ReportId::kDefineList, {format});
    closeKeptReports();
  }
  EXPECT_EQ(file(ReportFormat::kText, 0), "section one\r\ntwo\r\n");
  EXPECT_EQ(file(ReportFormat::kText, 1), "section three\r\n");
  const char* sections[] = {"section one", "two", "section three"};
  for (int n = 0; n < 3; ++n) {
    std::string html = file(ReportFormat::kHtml, n);
    EXPECT_EQ(html.substr(html.find("</p>\r\n\r\n") + 8),
              std::string(sections[n]) + "\r\n</body>\r\n</html>\r\n");
  }
  setReportFolder("");
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
      {600, wide, [&] {
         std::string s;
         for (int i = 0; i < 300; ++i) s += wide;
         return s;
       }(), false},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    EXPECT_EQ(padWithBlanks(out, c.count, c.blank), c.odd) << c.count;
    EXPECT_EQ(out.str(), c.text) << c.count;
  }
}

}  // namespace
