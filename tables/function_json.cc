#include "tables/function_json.h"

#include <string>

#include "context/file_name_pool.h"
#include "context/options.h"
#include "report/json_writer.h"
#include "tables/call_tree.h"
#include "tables/function_list.h"
#include "tables/function_table.h"

namespace {

bool isKnown(const FunctionRecord& r) { return (r.flags & FunctionFlag::kKnown) != 0; }

void writeFunction(JsonWriter& out, const FunctionReportTables& tables, const FunctionRecord& r,
                   int id, std::string& scratch) {
  const FunctionTable& table = tables.functions;
  out.beginObject();
  out.member("id", id);
  out.member("name", table.displayName(r, scratch));
  out.memberBool("defined", isKnown(r));
  const std::string& file = recordFileName(tables, r);
  if (file.empty()) {
    out.key("file");
    out.null();
  } else {
    out.member("file", file);
    out.member("line", r.line);
  }
  out.member("steps", r.steps);
  out.member("stack", r.stackBytes);
  out.memberBool("stackExact", !(r.flags & FunctionFlag::kStackIncomplete));
  out.member("remark", remarkOf(r.flags).details);
  out.memberBool("recursive", (r.flags & FunctionFlag::kRecursive) != 0);
  out.memberBool("functionPointer", (r.flags & FunctionFlag::kFunctionPointer) != 0);
  out.memberBool("interrupt", (r.flags & FunctionFlag::kInterrupt) != 0);
  out.member("type", table.returnTypeOf(r));
  // The reading keeps these for the details alone.
  if (tables.options.functionDetails) {
    out.member("arguments", table.argumentsOf(r));
    out.member("comment", table.commentOf(r));
  }
  if (tables.options.variableDetails) {
    out.key("variables");
    out.beginArray();
    for (size_t k = 0; k < r.referencedVariables.size(); ++k)
      out.string(table.referencedVariableOf(r, k));
    out.endArray();
  }
  out.endObject();
}

}  // namespace

std::vector<int> documentedFunctions(const FunctionReportTables& tables) {
  const FunctionTable& table = tables.functions;
  std::vector<int> records;
  for (int n : table.sortedIndex()) {
    const FunctionRecord& r = table.record(n);
    if (!r.key.empty() && (isKnown(r) || !recordFileName(tables, r).empty())) records.push_back(n);
  }
  return records;
}

// A call is a link between two documented functions whose callee is
// defined: the tree draws no other callee, the details list no other.
void writeFunctionsJson(JsonWriter& out, const FunctionReportTables& tables) {
  const FunctionTable& table = tables.functions;
  const std::vector<int> records = documentedFunctions(tables);
  std::vector<int> idOf(static_cast<size_t>(table.recordCount()), -1);
  for (size_t id = 0; id < records.size(); ++id) idOf[records[id]] = static_cast<int>(id);
  std::string scratch;
  out.key("functions");
  out.beginArray();
  for (size_t id = 0; id < records.size(); ++id)
    writeFunction(out, tables, table.record(records[id]), static_cast<int>(id), scratch);
  out.endArray();
  out.key("calls");
  out.beginArray();
  for (size_t id = 0; id < records.size(); ++id) {
    for (int c : table.record(records[id]).callees) {
      if (idOf[c] < 0 || !isKnown(table.record(c))) continue;
      out.beginArray();
      out.number(static_cast<long long>(id));
      out.number(idOf[c]);
      out.endArray();
    }
  }
  out.endArray();
}
