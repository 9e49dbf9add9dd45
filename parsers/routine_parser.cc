#include "parsers/routine_parser.h"

#include "context/text_util.h"
#include "scan/source_reader.h"

void RoutineParser::attachFile(SourceReader& reader) {
  reader_ = &reader;
  tables_ = &reader.tables();
  tests_.attach(tables_);
  history_.attach(&reader);
  routine_.attach(tables_, reader_, &history_, &tests_);
  routine_.state() = RoutineState{};
}

