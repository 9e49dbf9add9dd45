#include "parsers/routine_parser.h"

#include "context/text_util.h"
#include "scan/source_reader.h"

void RoutineParser::attachFile(SourceReader& reader) {
  ParserBase::attachFile(reader);
  routine_.attach(reader_, &history_, &tests_);
  routine_.state() = RoutineState{};
}
