#include "driver/run_document.h"

#include "context/options.h"
#include "scan/define_table.h"
#include "scan/step_log.h"
#include "tables/call_tree.h"
#include "tables/class_table.h"
#include "tables/function_json.h"
#include "tables/type_table.h"
#include "tables/variable_table.h"

RunDocument::RunDocument(ReportSession& session, const Options& options, const ListTables& lists)
    : options_(options), lists_(lists), report_(session) {
  report_.create(ReportId::kRunDocument);
  json_ = std::make_unique<JsonWriter>(report_.stream());
  json_->beginObject();
  json_->member("format", "mizenta-run");
  json_->member("version", 1);
  json_->key("sections");
  json_->beginArray();
}

RunDocument::~RunDocument() {
  if (!finished_) report_.abandon();
}

bool RunDocument::wanted(const ReportSession& session) {
  std::optional<ReportFormat> form = writtenForm(ReportId::kRunDocument, session.style().format);
  return form.has_value();
}

bool RunDocument::hasLists() const {
  return options_.defineList || options_.classList || options_.typeList;
}

void RunDocument::writeSection(const std::string* file) {
  if (!hasLists()) return;
  JsonWriter& out = *json_;
  out.beginObject();
  out.key("file");
  if (file)
    out.string(*file);
  else
    out.null();
  auto list = [&out](const char* name, bool on, auto write) {
    if (!on) return;
    out.key(name);
    out.beginArray();
    write();
    out.endArray();
  };
  list("defines", options_.defineList, [&] { lists_.defines.writeDefinesJson(out); });
  list("classes", options_.classList, [&] { lists_.classes.writeClassesJson(out); });
  list("types", options_.typeList, [&] { lists_.types.writeTypesJson(out); });
  out.endObject();
}

void RunDocument::finish(const FunctionReportTables& functions, const VariableTable& variables,
                         const SourceFileList& files) {
  JsonWriter& out = *json_;
  out.endArray();
  writeFunctionsJson(out, functions);
  if (options_.globalVariableList || options_.variableDetails) {
    out.key("variables");
    out.beginArray();
    variables.writeVariablesJson(out);
    out.endArray();
  }
  out.key("files");
  out.beginArray();
  writeStepCountsJson(out, files);
  out.endArray();
  out.endObject();
  report_.close();
  finished_ = true;
}
