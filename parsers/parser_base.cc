#include "parsers/parser_base.h"

#include "context/source_context.h"
#include "parsers/parser_context.h"
#include "report/error_log.h"

const std::string& ParserBase::fileName() const { return tables_.context.item(0); }

void ParserBase::logOpenStatements(int parenDepth, int statementState) const {
  if (parenDepth != 0)
    errorLog() << "[ " << fileName() << " ]で丸括弧の数が合いません。\n丸括弧数 = " << parenDepth
               << '\n';
  if (statementState != 0)
    errorLog() << "[ " << fileName() << " ]でｽﾃｰﾀｽｴﾗｰを起こしました。[" << statementState << "]\n";
}
