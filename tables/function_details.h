// The function details "Mz関数詳細情報": one block per function that has a
// source file, in key order: its comment, name, type, arguments, position,
// step count, stack use, remark, callers, defined callees and referenced
// variables. Written by the call tree after its first pass, whose
// visible-callee counts it relies on.
#pragma once

class ReportSession;
struct FunctionReportTables;

void writeFunctionDetails(ReportSession& session, const FunctionReportTables& tables);
