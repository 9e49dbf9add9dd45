// The writer of the workbook form: a report becomes a sheet of the run's
// workbook. Rows are collected and put into the sheet a block at a time
// (a table, a section, a run of blocks), each followed by its frames and
// colours: a table with a header row framed with that row as its header,
// each label/value block framed with its note row and labels coloured.
// When an operation on the sheet fails, the log says so and the rest of
// that report is left out; the run goes on with the next.
#pragma once

#include <memory>
#include <ostream>

#include "platform/workbook.h"
#include "report/report_catalogue.h"
#include "report/report_session.h"
#include "report/report_writer.h"

// A writer onto the sheet of `layout` in the session's workbook: the sheet
// is made (named, its columns set) the first time the run writes it, and
// written further below its last rows after that. `unused` takes drawn
// lines, which a sheet does not have.
std::unique_ptr<ReportWriter> makeSheetWriter(ReportSession& session, const SheetLayout& layout,
                                              std::ostream& unused);
