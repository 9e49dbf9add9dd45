// The function list "Mz一覧Func": one line per defined function in key order
// with its step count, stack use, remark and file, as a text table, an HTML
// table or CSV. Written by the call tree after its first pass, whose cut
// keys it prints.
#pragma once

#include <cstdint>

#include "app/options.h"

class RunTables;

// The remark of a function in each form, chosen by its flags (the first
// row that matches wins); the last row is a function without remark.
struct FunctionRemark {
  const char* listText;  // six columns; null: the name overflow decides
  const char* listHtml;
  const char* listCsv;  // the field with its comma
  const char* details;
};
const FunctionRemark& remarkOf(std::uint32_t flags);

// Text, HTML or CSV by `format`; the workbook format gets the text file.
void writeFunctionList(const RunTables& tables, OutputFormat format);
