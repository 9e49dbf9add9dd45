#!/usr/bin/env python3
"""Builds the window's help page from the user sections of the README: the
sections named below, each with its subsections, turned from the README's
Markdown (headings, paragraphs, lists, tables, code) into one HTML page in
UTF-8 with a table of contents. The program's Help command opens it.

    help_page.py README.md OUTPUT.html
"""
import html
import re
import sys

# The README's "##" sections that a user of the program reads, in order.
USER_SECTIONS = [
    "Running it",
    "The window (Windows)",
    "Settings: Mizenta.ini",
    "Language knowledge: Mizenta設定.dat",
    "Visual Basic",
    "Report files",
]

STYLE = """body { font-family: sans-serif; max-width: 60em; margin: 1em auto; padding: 0 1em; }
table { border-collapse: collapse; } td, th { border: 1px solid #999; padding: 2px 6px; }
th { background: #ccffff; } code, pre { background: #f4f4f4; } pre { padding: 6px; }"""


def inline(text):
    """Escapes the text; `code` spans and **strong** words keep their look."""
    out = []
    for i, piece in enumerate(re.split(r"(`[^`]*`)", text)):
        if i % 2:
            out.append("<code>%s</code>" % html.escape(piece[1:-1]))
        else:
            escaped = html.escape(piece)
            out.append(re.sub(r"\*\*(.+?)\*\*", r"<strong>\1</strong>", escaped))
    return "".join(out)


def sections(readme):
    """The README's "##" sections by title: their lines, "###" ones included."""
    found, title = {}, None
    for line in readme.splitlines():
        if line.startswith("## "):
            title = line[3:].strip()
            found[title] = []
        elif line.startswith("# "):
            title = None
        elif title is not None:
            found[title].append(line)
    return found


def anchor(title):
    return "part%d" % (USER_SECTIONS.index(title) + 1)


class Page:
    def __init__(self):
        self.out = []

    def block(self, lines):
        """One block of lines between blank lines."""
        first = lines[0]
        if first.startswith("### "):
            self.out.append("<h3>%s</h3>" % inline(first[4:]))
            if lines[1:]:
                self.block(lines[1:])
        elif first.startswith("|"):
            self.table(lines)
        elif first.startswith("- "):
            self.bullets(lines)
        elif all(l.startswith("    ") for l in lines):
            self.out.append("<pre>%s</pre>" % html.escape("\n".join(l[4:] for l in lines)))
        else:
            self.out.append("<p>%s</p>" % inline(" ".join(l.strip() for l in lines)))

    def table(self, lines):
        rows = [[c.strip() for c in l.strip().strip("|").split("|")] for l in lines]
        self.out.append("<table>")
        for n, cells in enumerate(rows):
            if n == 1 and all(re.fullmatch(r":?-+:?", c) for c in cells):
                continue
            tag = "th" if n == 0 else "td"
            self.out.append("<tr>%s</tr>" % "".join(
                "<%s>%s</%s>" % (tag, inline(c), tag) for c in cells))
        self.out.append("</table>")

    def bullets(self, lines):
        items = []
        for l in lines:
            if l.startswith("- "):
                items.append(l[2:].strip())
            else:
                items[-1] += " " + l.strip()
        self.out.append("<ul>%s</ul>" % "".join("<li>%s</li>" % inline(i) for i in items))

    def section(self, title, lines):
        self.out.append('<h2 id="%s">%s</h2>' % (anchor(title), inline(title)))
        block, fenced = [], None
        for line in lines + [""]:
            if fenced is not None:
                if line.startswith("```"):
                    self.out.append("<pre>%s</pre>" % html.escape("\n".join(fenced)))
                    fenced = None
                else:
                    fenced.append(line)
            elif line.startswith("```"):
                fenced = []
            elif line.strip():
                block.append(line)
            elif block:
                self.block(block)
                block = []


def main(readme_path, output_path):
    with open(readme_path, encoding="utf-8") as f:
        readme = f.read()
    found = sections(readme)
    missing = [t for t in USER_SECTIONS if t not in found]
    if missing:
        sys.exit("help_page.py: the README has no section %s" % ", ".join(missing))
    intro = readme.split("\n\n")[1].replace("\n", " ")
    page = Page()
    for title in USER_SECTIONS:
        page.section(title, found[title])
    contents = "".join('<li><a href="#%s">%s</a></li>' % (anchor(t), inline(t))
                       for t in USER_SECTIONS)
    with open(output_path, "w", encoding="utf-8", newline="\r\n") as f:
        f.write('<!DOCTYPE html>\n<html lang="ja">\n<head>\n<meta charset="utf-8">\n'
                "<title>Mizenta</title>\n<style>\n%s\n</style>\n</head>\n<body>\n"
                "<h1>Mizenta</h1>\n<p>%s</p>\n<ul>%s</ul>\n%s\n</body>\n</html>\n"
                % (STYLE, inline(intro), contents, "\n".join(page.out)))


main(sys.argv[1], sys.argv[2])
