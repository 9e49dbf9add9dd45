#include "parsers/file_end_checks.h"

#include "report/error_log.h"

void logOpenStatements(const std::string& fileName, int parenDepth, int statementState) {
  if (parenDepth != 0)
    errorLog() << "[ " << fileName << " ]で丸括弧の数が合いません。\n丸括弧数 = " << parenDepth << '\n';
  if (statementState != 0)
    errorLog() << "[ " << fileName << " ]でｽﾃｰﾀｽｴﾗｰを起こしました。[" << statementState << "]\n";
}
