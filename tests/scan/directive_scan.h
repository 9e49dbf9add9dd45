// Test helper for the directive tests: reads a source text through a real
// SourceReader (with an idle parser) as the run driver would, and gives
// back what reached the parser, the line counters and the log.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/options.h"
#include "app/run_tables.h"
#include "app/source_context.h"
#include "report/error_log.h"
#include "scan/lexical_rules.h"
#include "scan/source_reader.h"
#include "scan/token_parser.h"

namespace directive_test {

// Total, executable, blank, comment, disabled, disabled code, preprocessor.
using Counts = std::array<int, 7>;

struct Scan {
  std::string live;  // tokens handed to the parser, '|'-joined, "<lf>" for a line break
  Counts counts{};
  std::string log;
};

class DirectiveScanTest : public testing::Test {
 protected:
  void SetUp() override {
    liveOptions().extensionLanguages = parseExtensionList(kDefaultExtensionList);
    liveOptions().functionDetails = 0;
    liveOptions().headerReadMode = HeaderReadMode::PerSourceFile;
    attachErrorLog(&log_);
  }
  void TearDown() override {
    attachErrorLog(nullptr);
    liveOptions().headerReadMode = HeaderReadMode::PerSourceFile;
    selectDialect(Dialect::C);
  }

  // A fresh run's tables and reader for `name`; `prepare` may fill tables
  // before the text is read.
  void open(const std::string& name) {
    tables_ = std::make_unique<RunTables>(liveOptions());
    tables_->create();
    reader_ = std::make_unique<SourceReader>(*tables_, SourceReader::Kind::MainFile);
    reader_->setFile(name);
    reader_->replaceParser(std::make_unique<IdleParser>());
  }

  Scan read(const std::string& bytes) {
    log_.str("");
    Scan result;
    reader_->giveBlock(bytes.data(), bytes.size());
    for (;;) {
      int r = reader_->nextToken(true);
      if (r == 1) break;
      if (r == 2) continue;
      if (reader_->processToken()) {
        const std::string& t = reader_->token(1);
        result.live += (result.live.empty() ? "" : "|") + (t == "\n" ? std::string("<lf>") : t);
      }
      if (reader_->includeReady()) reader_->clearInclude();
      if (r == 3) break;
    }
    reader_->endOfFile();
    for (int k = 0; k < 7; ++k) result.counts[k] = reader_->stepCounts()[k];
    result.log = log_.str();
    return result;
  }

  Scan scan(const std::string& name, const std::string& bytes) {
    open(name);
    return read(bytes);
  }

  std::stringbuf log_;
  std::unique_ptr<RunTables> tables_;
  std::unique_ptr<SourceReader> reader_;
};

}  // namespace directive_test
