// Table tests start with the built-in types in the analysis type table.
#pragma once

#include "context/file_name_pool.h"
#include "context/source_context.h"
#include "context/text_util.h"
#include "tables/type_table.h"
#include "tables/variable_table.h"
#include "scan/define_table.h"
#include "scan/lexical_rules.h"
#include "tables/call_tree.h"
#include "tables/class_table.h"
#include "tables/function_table.h"
#include "tests/support/analysis_test.h"

class TableTest : public AnalysisTest {
 protected:
  FunctionReportTables reportTables() { return {functions(), fileNames(), options()}; }
  void SetUp() override { types().loadBuiltIn(); }

  // New tables, for options that a table reads when it is built.
  void rebuildTables() {
    renewRun();
    types().loadBuiltIn();
  }
  // A main file, with its name in the file pool as the reader leaves it.
  void readFile(const std::string& path) {
    startFile(path);
    fileNames().add(context().item(0));
  }
};
