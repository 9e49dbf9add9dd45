// The spreadsheet program ("Excel.Application") driven through automation,
// where it is installed (Windows): its availability in the registry, and a
// workbook that it writes, saved as "Mz解析結果.xls" in the output folder.
// Other systems have none.
#pragma once

#include <memory>
#include <string>

#include "platform/workbook.h"

namespace platform {

extern const char kExcelWorkbookName[];

// The program's major version when it is registered as the automation
// server and newer than 7; 0 otherwise.
int probeExcelVersion();
// The same from the two registry values: "Excel.Application\CLSID" and the
// default value of "Excel.Application\CurVer" ("Excel.Application.12").
int excelVersionOf(const std::string& clsid, const std::string& currentVersion);

// Attaches to a running program or starts one, and adds the run's
// workbook; null when neither works. `version` (from the probe) chooses
// the saved file format.
std::unique_ptr<Workbook> startExcel(const std::string& outputFolder, int version);

}  // namespace platform
