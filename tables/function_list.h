// The function list "Mz一覧Func": one row per defined function in key order
// with its step count, stack use, remark and file. Written by the call tree
// after its first pass, whose cut keys it prints.
#pragma once

#include <cstdint>

class ReportSession;
struct FunctionReportTables;

// The remark of a function as each form words it, chosen by its flags (the
// first row that matches wins); the last row is a function without remark.
struct FunctionRemark {
  const char* listText;  // six columns, or none
  const char* listHtml;
  const char* listCsv;
  const char* details;
};
const FunctionRemark& remarkOf(std::uint32_t flags);

void writeFunctionList(ReportSession& session, const FunctionReportTables& tables);
