#include <cstdlib>

#include "platform/excel_automation.h"
#include "platform/registry.h"

namespace platform {

const char kExcelWorkbookName[] = "Mz解析結果.xls";

namespace {
const char kExcelClsid[] = "{00024500-0000-0000-C000-000000000046}";
constexpr int kOldestDrivenVersion = 8;
}  // namespace

int excelVersionOf(const std::string& clsid, const std::string& currentVersion) {
  std::size_t dot = currentVersion.rfind('.');
  if (clsid != kExcelClsid || dot == std::string::npos) return 0;
  int version = std::atoi(currentVersion.c_str() + dot + 1);
  return version >= kOldestDrivenVersion ? version : 0;
}

int probeExcelVersion() {
  std::string clsid, currentVersion;
  if (!readRegistryString(RegistryRoot::ClassesRoot, "Excel.Application\\CLSID", "", clsid) ||
      !readRegistryString(RegistryRoot::ClassesRoot, "Excel.Application\\CurVer", "",
                          currentVersion)) {
    return 0;
  }
  return excelVersionOf(clsid, currentVersion);
}

}  // namespace platform
