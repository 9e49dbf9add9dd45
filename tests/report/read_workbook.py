#!/usr/bin/python3
# Prints a workbook as the spreadsheet reader sees it, one line a fact, in
# CP932: each sheet's name, print titles and column widths, then each cell
# that holds a value, a line or a colour:
#   B2 'text' tdtt #CCFFFF     (value; left/top/right/bottom lines: - none,
#   C5 =42 tttt                 t thin, d double; the fill colour)
import sys

import openpyxl

LINES = {None: "-", "thin": "t", "double": "d"}


def cell_line(cell):
    value = cell.value
    if value is None:
        shown = "."
    elif isinstance(value, str):
        shown = repr(value)
    else:
        shown = "=%r" % value
    b = cell.border
    lines = "".join(LINES.get(side.style, "?") for side in (b.left, b.top, b.right, b.bottom))
    fill = ""
    if cell.fill is not None and cell.fill.fill_type == "solid":
        fill = " #" + str(cell.fill.fgColor.rgb)[-6:]
    if shown == "." and lines == "----" and not fill:
        return None
    return "%s %s %s%s" % (cell.coordinate, shown, lines, fill)


def main(path):
    book = openpyxl.load_workbook(path)
    out = []
    for ws in book.worksheets:
        out.append("sheet %s" % ws.title)
        if ws.print_title_rows:
            out.append("titles %s" % ws.print_title_rows.replace("$", ""))
        for letter, dim in sorted(ws.column_dimensions.items()):
            if dim.width and dim.customWidth:
                out.append("width %s %d" % (letter, int(dim.width)))
        # The cells the file holds, not the whole rectangle up to the last.
        for _, cell in sorted(ws._cells.items()):
            line = cell_line(cell)
            if line:
                out.append(line)
    sys.stdout.buffer.write(("\n".join(out) + "\n").encode("cp932", "replace"))


main(sys.argv[1])
