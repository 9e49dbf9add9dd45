// The catalogue of report files: for every report its base name, its sheet
// in the workbook and, for each output format the run may choose, the form
// it is written in (a report without that form falls back to another, or
// is not written).
#pragma once

#include <optional>
#include <string>

#include "report/report_model.h"

// ORDER: the rows of the catalogue in report_catalogue.cc follow this order.
enum class ReportId : unsigned char {
  kCallTree,
  kFunctionList,
  kFunctionDetails,
  kClassList,
  kDefineList,
  kConstList,
  kTypeList,
  kNamespaceList,
  kVariableList,
  kVariableDetails,
  kStepLog,
  kFileTree,
  kReservedWords,
  kLineDistribution,
  kRunDocument,  // the JSON form's one document of the run
  kCallGraph,    // the call graph for Graphviz, when asked for
};

// The form report `id` is written in when `chosen` is the output format;
// none when that format does not write it.
std::optional<ReportFormat> writtenForm(ReportId id, ReportFormat chosen);

// A report's sheet in the workbook: its name, the widths (in characters)
// of the columns that differ from the standard width, and whether the
// workbook opens on it.
struct SheetColumnWidth {
  const char* column = nullptr;
  int width = 0;
};
struct SheetLayout {
  const char* name = nullptr;
  SheetColumnWidth widths[4] = {};
  bool opensFirst = false;  // the workbook opens on this sheet
};
const SheetLayout& sheetLayout(ReportId id);

// The file name of report `id` in form `written`; number n > 0 adds "_n"
// to the base name (the parts of a list too long for one file).
std::string reportFileName(ReportId id, ReportFormat written, int number = 0);
