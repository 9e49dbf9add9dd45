// Helpers for the tables' diagnostic lines: the position of the parser in
// the file being read, as every position line of the error log starts.
#pragma once

#include <string>

class SourceContext;

// Four spaces, the short name of the file being read, one space and the
// current line number ("    a.c 12"); the message that follows begins
// with ": ". Without a context the name is empty and the line 0.
std::string positionPrefix(const SourceContext* context);
