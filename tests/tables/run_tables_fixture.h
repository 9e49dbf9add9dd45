// A run's tables for table tests: created afresh per test with default
// options (reports into a temporary folder), the error log captured, and
// helpers that put a file on the source context as the reader does.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "app/file_name_pool.h"
#include "app/options.h"
#include "app/run_tables.h"
#include "app/source_context.h"
#include "app/text_util.h"
#include "parse/type_table.h"
#include "parse/variable_table.h"
#include "report/error_log.h"
#include "scan/lexical_rules.h"
#include "tables/class_table.h"
#include "tables/function_table.h"
#include "tests/support/test_files.h"

class RunTablesTest : public testing::Test {
 protected:
  void SetUp() override {
    selectDialect(Dialect::C);
    Options& o = liveOptions();
    o = Options();
    o.extensionLanguages = parseExtensionList(kDefaultExtensionList);
    o.outputFolder = dir_.path() + "/";
    attachErrorLog(&log_);
    tables_.create();
    tables_.workingTypes->loadBuiltIn();
  }
  void TearDown() override {
    attachErrorLog(nullptr);
    tables_.destroy();
    liveOptions() = Options();
    selectDialect(Dialect::C);
  }

  Options& options() { return liveOptions(); }
  FunctionTable& functions() { return *tables_.functions; }
  ClassTable& classes() { return *tables_.classes; }
  VariableTable& variables() { return *tables_.variables; }
  TypeTable& types() { return *tables_.workingTypes; }

  // A run with VB or Delphi files compares names ignoring case from its
  // start, and loads its types so.
  void startCaseInsensitiveRun() {
    setCaseInsensitiveNames(true);
    types().clear();
    types().loadBuiltIn();
  }
  // A new main file (the stack emptied first), known to the file pool.
  void startFile(const std::string& path) {
    while (tables_.context->depth() > 0) tables_.context->pop();
    openFile(path);
  }
  // A header read from the current file.
  void openFile(const std::string& path) {
    tables_.fileNames->add(fileNamePart(path));
    tables_.context->push(path);
    tables_.variables->beginFile();
  }
  void closeFile() { tables_.context->pop(); }
  void toLine(int line) {
    while (tables_.context->currentLine() < line) tables_.context->countLine();
  }

  static DeclInfo decl(const std::string& name, const std::string& className = "",
                       int line = 0) {
    DeclInfo d;
    d.className = className;
    d.name = name;
    d.line = line;
    return d;
  }

  std::string takeLog() {
    std::string text = log_.str();
    log_.str("");
    return text;
  }
  // A report file's bytes (report names are Shift-JIS; the disk has UTF-8).
  std::string report(const std::string& name) {
    std::string path = dir_.file(toUtf8(name));
    return std::filesystem::exists(path) ? readFileBytes(path) : "<missing>";
  }
  bool reportExists(const std::string& name) {
    return std::filesystem::exists(dir_.file(toUtf8(name)));
  }

  TempDir dir_;
  std::stringbuf log_;
  RunTables tables_{liveOptions()};
};
