// The HTML framing shared by every HTML report: the page head, and the three
// kinds of table cell. Text is Shift-JIS and written as it is; only the
// three markup characters of a plain text cell are escaped.
#pragma once

#include <ostream>
#include <string_view>

void writeHtmlHead(std::ostream& out, std::string_view title);

// A header cell: its text is written unescaped.
void headerCell(std::ostream& out, std::string_view width, std::string_view text);

// A text cell: empty text becomes a full-width blank; text holding both '<'
// and '>' is markup already and is written unchanged with "</td>" on the
// next line; otherwise '&', '<' and '>' are escaped.
void textCell(std::ostream& out, std::string_view width, std::string_view text);

void numberCell(std::ostream& out, std::string_view width, long long number);

// "</body>" and "</html>" on lines of their own.
void writeHtmlEnd(std::ostream& out);
