// The call tree "MizentaLog.txt" / "MizentaLog.html": for every defined
// function that nothing calls, the functions it calls level by level, drawn
// with the function table's line pieces and marked for recursion, function
// pointers and interrupt functions, each line naming the function's file.
#pragma once

#include <memory>
#include <string>

#include "tables/function_details.h"

class RunTables;
struct FunctionRecord;

// The first pass over the function table, which the function list and
// details rely on too: keys lose their "@" suffix, visibleCalleeCount is
// counted and the file-name column is measured. Changes the table for good.
void prepareFunctionReports(RunTables& tables);

// Lines of a tree written with every repeated subtree drawn again. The
// number of call paths can grow exponentially with the depth, so past this
// many lines repeated subtrees are only referred to, as with "既述関数非表示",
// and the error log says so once.
constexpr long long kFullTreeLines = 1000000;

// Runs the first pass, writes the tree (HTML for the HTML format, text for
// every other one), then the function list and the function details when
// their options are on. Once per run, after the referenced variables.
void writeCallTree(RunTables& tables, long long fullTreeLines = kFullTreeLines);
// The same, but the function details, where they can, are written on a
// second thread while the tree and the list are; the caller finishes them
// after the reports that follow (null: they are written already).
std::unique_ptr<FunctionDetailsBeside> writeCallTreeBeside(
    RunTables& tables, long long fullTreeLines = kFullTreeLines);

// The name of the file that holds the record's definition; empty text when
// the record has no file.
const std::string& recordFileName(const RunTables& tables, const FunctionRecord& record);
