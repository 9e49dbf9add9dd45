// The functions and calls of the run document (driver/run_document.h): the
// functions the function list and the function details show, in key order,
// each with its place, steps, stack and remark as they word them (and,
// where the reading kept them for the details, its arguments, comment and
// referenced variables), and the
// calls between them as the call tree and the details draw them. Written
// after the call tree's first pass (prepareFunctionReports), reading the
// table only, so it may run while the tree is written beside.
#pragma once

#include <vector>

class JsonWriter;
struct FunctionReportTables;

// The records the document lists, in key order: every defined function
// (the function list's rows) and every function with a file (the details'
// blocks). Their positions are the functions' ids in the document.
std::vector<int> documentedFunctions(const FunctionReportTables& tables);

// The members "functions" and "calls" of the open document object.
void writeFunctionsJson(JsonWriter& out, const FunctionReportTables& tables);
