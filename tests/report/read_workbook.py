#!/usr/bin/python3
# Prints a workbook as the spreadsheet reader sees it, one line a fact, in
# CP932: the sheet it opens on; each sheet's name, print titles, frozen
# rows, filter, page setup and column widths, then each cell that holds a
# value, a line, a colour or a number format:
#   opens 関数一覧
#   sheet 関数一覧
#   titles 1:1
#   frozen A2                  (the first cell that scrolls)
#   filter A1:E12
#   page landscape fit 1x0     (pages wide x tall; 0: as many as it takes)
#   B2 'text' tdtt #CCFFFF     (value; left/top/right/bottom lines: - none,
#   C5 =42 tttt "x "0           t thin, d double; the fill colour; the
#                               number format when it is not the standard)
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
    if cell.number_format and cell.number_format != "General":
        fill += " " + cell.number_format
    if shown == "." and lines == "----" and not fill:
        return None
    return "%s %s %s%s" % (cell.coordinate, shown, lines, fill)


def page_line(ws):
    setup = ws.page_setup
    fit = ws.sheet_properties.pageSetUpPr
    if setup.orientation is None and not (fit and fit.fitToPage):
        return None
    line = "page %s" % (setup.orientation or "portrait")
    if fit and fit.fitToPage:
        wide = 1 if setup.fitToWidth is None else int(setup.fitToWidth)
        tall = 1 if setup.fitToHeight is None else int(setup.fitToHeight)
        line += " fit %dx%d" % (wide, tall)
    return line


def main(path):
    book = openpyxl.load_workbook(path)
    out = ["opens %s" % book.active.title]
    for ws in book.worksheets:
        out.append("sheet %s" % ws.title)
        if ws.print_title_rows:
            out.append("titles %s" % ws.print_title_rows.replace("$", ""))
        if ws.freeze_panes:
            out.append("frozen %s" % ws.freeze_panes)
        if ws.auto_filter.ref:
            out.append("filter %s" % ws.auto_filter.ref)
        page = page_line(ws)
        if page:
            out.append(page)
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
