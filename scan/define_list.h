// Pieces that the list reports with per-file sections share: the definition
// list of the #define table and, beside it, the type and namespace lists.
#pragma once

#include <ostream>

#include "app/options.h"

// The file extension of a list in `format`; the workbook form is not
// written by these lists yet, so it gets the text form.
const char* listFileExtension(OutputFormat format);
bool isHtmlList(OutputFormat format);
bool isCsvList(OutputFormat format);

// The rule line of 48 '-' that frames each section title, with its line end.
void writeDashLine(std::ostream& out);
