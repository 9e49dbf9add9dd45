#include "platform/workbook_range.h"

#include <algorithm>

#include "platform/text_encoding.h"

namespace platform {
namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "$A$1" -> column 0, row 0; false when the text is not one cell.
bool parseCell(std::string_view text, int& row, int& column) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == '$') ++i;
  std::size_t letters = i;
  while (i < text.size() && isLetter(text[i])) ++i;
  std::optional<int> c = parseColumn(text.substr(letters, i - letters));
  if (!c) return false;
  if (i < text.size() && text[i] == '$') ++i;
  if (i >= text.size() || text[i] == '0') return false;
  long long r = 0;
  for (; i < text.size(); ++i) {
    if (!isDigit(text[i])) return false;
    r = r * 10 + (text[i] - '0');
    if (r > kSheetRows) return false;
  }
  row = static_cast<int>(r) - 1;
  column = *c;
  return true;
}

}  // namespace

std::optional<int> parseColumn(std::string_view letters) {
  if (letters.empty() || letters.size() > 3) return std::nullopt;
  int column = 0;
  for (char c : letters) {
    if (!isLetter(c)) return std::nullopt;
    column = column * 26 + ((c | 0x20) - 'a' + 1);
  }
  if (column > kSheetColumns) return std::nullopt;
  return column - 1;
}

std::optional<CellRange> parseRange(std::string_view text) {
  std::size_t colon = text.find(':');
  std::string_view first = text.substr(0, colon);
  std::string_view second = colon == std::string_view::npos ? first : text.substr(colon + 1);
  int r1, c1, r2, c2;
  if (!parseCell(first, r1, c1) || !parseCell(second, r2, c2)) return std::nullopt;
  return CellRange{std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
}

namespace {

void appendCell(std::string& out, int row, int column) {
  char letters[4];
  int n = 0;
  for (int c = column + 1; c > 0; c = (c - 1) / 26)
    letters[n++] = static_cast<char>('A' + (c - 1) % 26);
  while (n > 0) out += letters[--n];
  out += std::to_string(row + 1);
}

}  // namespace

std::string rangeText(const CellRange& range) {
  std::string out;
  appendCell(out, range.firstRow, range.firstColumn);
  if (range.rows() == 1 && range.columns() == 1) return out;
  out += ':';
  appendCell(out, range.lastRow, range.lastColumn);
  return out;
}

std::size_t cellTextLength(std::string_view text) {
  std::size_t at = 0;
  for (int characters = 0; at < text.size() && characters < kCellTextLimit; ++characters) {
    bool pair = isShiftJisLead(static_cast<unsigned char>(text[at])) && at + 1 < text.size();
    at += pair ? 2 : 1;
  }
  return at;
}

std::string markedNumberFormat(std::string_view mark) { return "\"" + std::string(mark) + " \"0"; }

}  // namespace platform
