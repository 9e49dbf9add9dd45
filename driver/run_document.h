// The run document "Mz解析結果.json" of the JSON form: one JSON object per
// run, written as the run goes, so that a run of any size takes the
// memory of one entry for it. Its members, in this order:
//   "format" "mizenta-run", "version" 1;
//   "sections": the lists the options switch on ("defines", "classes",
//       "types"), one section after each main file in the per-file header
//       mode ("file" names it) or one for the run ("file" null);
//   "functions", "calls" (tables/function_json.h);
//   "variables" when the variable list or details are on;
//   "files": the step counts of every registered file.
// docs/mizenta-run.schema.json describes it. A run that stops leaves the
// earlier document where it was.
#pragma once

#include <memory>
#include <string>

#include "report/json_writer.h"
#include "report/report.h"

struct Options;
struct FunctionReportTables;
class ClassTable;
class DefineTable;
class SourceFileList;
class TypeTable;
class VariableTable;

// The tables the sections are written from.
struct ListTables {
  const DefineTable& defines;
  const ClassTable& classes;
  const TypeTable& types;
};

class RunDocument {
 public:
  // Opens the document and writes its head; `session`, `options` and the
  // tables must outlive it.
  RunDocument(ReportSession& session, const Options& options, const ListTables& lists);
  // Abandons a document that was not finished.
  ~RunDocument();
  RunDocument(const RunDocument&) = delete;
  RunDocument& operator=(const RunDocument&) = delete;

  // Whether the run's format is JSON, for which the run writes a document.
  static bool wanted(const ReportSession& session);

  // A section of the lists that are on: of `file` just read, or of the
  // whole run (null).
  void writeSection(const std::string* file);
  // The rest of the document, after the call tree's first pass; then it
  // takes the earlier one's place.
  void finish(const FunctionReportTables& functions, const VariableTable& variables,
              const SourceFileList& files);

 private:
  bool hasLists() const;

  const Options& options_;
  ListTables lists_;
  Report report_;
  std::unique_ptr<JsonWriter> json_;
  bool finished_ = false;
};
