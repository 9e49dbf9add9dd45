// The call graph "Mz関数呼出図.dot" for Graphviz (`dot -Tsvg`), written
// beside the call tree when the option "関数呼出図の出力" is on, whatever the
// format: one node per defined function (labelled with its name, its file
// and line as tooltip), one edge per call the call tree draws, roots and
// recursive functions marked as the legend at its head says. UTF-8, as
// DOT reads it by default, and declared so.
#pragma once

class ReportSession;
struct FunctionReportTables;

// After the call tree's first pass (prepareFunctionReports); reads the
// table only.
void writeCallGraph(ReportSession& session, const FunctionReportTables& tables);
