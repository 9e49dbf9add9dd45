// Table tests start with the built-in types in the analysis type table.
#pragma once

#include "app/file_name_pool.h"
#include "app/source_context.h"
#include "app/text_util.h"
#include "parse/type_table.h"
#include "parse/variable_table.h"
#include "scan/define_table.h"
#include "scan/lexical_rules.h"
#include "tables/class_table.h"
#include "tables/function_table.h"
#include "tests/support/analysis_test.h"

class RunTablesTest : public AnalysisTest {
 protected:
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
