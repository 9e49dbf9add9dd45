#!/usr/bin/env python3
"""Reads every HTML and CSV report of a folder as a browser and a
spreadsheet would and prints, in UTF-8, what the tests compare:

  tags FILE: the elements of the page, sorted (an HTML parser's view)
  text FILE: a text of the page that holds < > & or " once its entities
             are read (a name, body or comment shown as text)
  rows FILE: the number of fields of every record, as a CSV reader reads
             them (blank records as 0)
  field FILE: a field that holds a comma, a double quote, < or a line break

Usage: read_reports.py FOLDER"""
import csv
import html.parser
import io
import pathlib
import sys


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tags = set()
        self.texts = []

    def handle_starttag(self, tag, attrs):
        self.tags.add(tag)

    def handle_endtag(self, tag):
        self.tags.add("/" + tag)

    def handle_data(self, data):
        if any(c in data for c in '<>&"'):
            self.texts.append(data.strip())


def main():
    folder = pathlib.Path(sys.argv[1])
    out = []
    for path in sorted(folder.iterdir()):
        if path.suffix == ".html":
            page = Page()
            page.feed(path.read_bytes().decode("cp932"))
            page.close()
            out.append(f"tags {path.name}: {' '.join(sorted(page.tags))}")
            out += [f"text {path.name}: {t}" for t in page.texts]
        elif path.suffix == ".csv":
            text = path.read_bytes().decode("cp932")
            records = list(csv.reader(io.StringIO(text, newline="")))
            out.append(f"rows {path.name}: {' '.join(str(len(r)) for r in records)}")
            out += [f"field {path.name}: {f!r}" for r in records for f in r
                    if any(c in f for c in ',"<\r\n')]
    sys.stdout.buffer.write(("\n".join(out) + "\n").encode("utf-8"))


if __name__ == "__main__":
    main()
