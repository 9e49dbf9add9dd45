#!/usr/bin/env python3
"""Writes the seed corpora under corpus/ from the golden inputs and the
sources in seed_sources/. Run again after adding golden cases; the names are
content hashes, so an unchanged input keeps its file."""
import hashlib
import pathlib
import re

here = pathlib.Path(__file__).resolve().parent
root = here.parent.parent
# Each parser's target and its file kinds, in the order byte 0 picks them
# (language_fuzz.cc).
languages = {"c": ["c"], "cpp": ["cpp"], "java": ["java"], "vb": ["bas", "frm", "vb"],
             "delphi": ["pas"]}
mark = b"\n%%%%\n"
include = re.compile(rb'^\s*#\s*include\s*["<]([^">]+)[">]|\{\$(?:I|INCLUDE)\s+([^}\s]+)', re.M | re.I)


def write(target, data):
    folder = here / "corpus" / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / hashlib.sha1(data).hexdigest()[:16]).write_bytes(data)


def as_read(path):
    """Golden text is UTF-8 in the tree and Shift-JIS for the program; a
    ".raw" file is already as the program reads it."""
    data = path.read_bytes()
    if path.suffix == ".raw" or "golden" not in path.parts:
        return data
    return data.decode("utf-8").encode("cp932")


def first_header(path):
    text = path.read_bytes()
    for m in include.finditer(text):
        name = (m.group(1) or m.group(2)).decode("latin-1").replace("\\", "/")
        candidate = path.parent / name
        if candidate.is_file():
            return as_read(candidate)
    return None


sources = sorted(p for p in (root / "tests" / "golden").glob("*/input/**/*") if p.is_file())
sources += sorted((here / "seed_sources").iterdir())
n = 0
for path in sources:
    ext = path.suffix[1:].lower()
    if ext == "raw":  # the UTF-16 case is a C file
        ext = "c"
    found = [(name, kinds.index(ext)) for name, kinds in languages.items() if ext in kinds]
    if not found:
        continue
    language, kind = found[0]
    body = as_read(path)
    header = first_header(path)
    # Switches vary from seed to seed: block size and details in byte 0,
    # header mode, reports and format in byte 1.
    first = kind | ((n % 4) << 3) | ((n % 2) << 5)
    second = (n % 3) | ((n % 5 == 0) << 2) | ((n % 7 % 4) << 6)
    data = bytes([first, second]) + body
    if header is not None:
        data += mark + header
    write(language + "_fuzz", data)
    n += 1

# The writers: lines of the golden sources as cells (names, bodies and
# comments as reports get them), four columns, every kind of cell.
n = 0
for path in sources[::3]:
    lines = as_read(path).split(b"\n")[:24]
    if len(lines) < 6:
        continue
    cells = [bytes([k % 16]) + line.rstrip(b"\r").replace(b"\t", b"\xfe")
             for k, line in enumerate(lines[2:])]
    pieces = [lines[0], b"\n".join(lines[:2]) + b"\n"] + cells
    write("writer_fuzz", bytes([(n % 5) | ((n * 7 % 32) << 3)]) + b"\xff".join(pieces))
    n += 1

# The INI files both ways: Shift-JIS with CR LF as the program has them (gcc
# builds), and UTF-8 as the clang build's keys are spelt.
for path in sorted((root / "tests" / "golden").glob("*/Mizenta.ini")):
    text = path.read_bytes()
    write("ini_fuzz", text)
    write("ini_fuzz", text.decode("utf-8").replace("\n", "\r\n").encode("cp932"))



# The settings data file: the shipped one and those of the golden cases,
# as the program reads them (Shift-JIS, CR LF), after a switch byte that
# varies the run's files, block size, header mode, dump and details.
settings = [root / "data" / "Mizenta設定.dat"]
settings += sorted((root / "tests" / "golden").glob("*/Mizenta設定.dat"))
# The clang build spells the file's own words in UTF-8: each file is a seed
# that way too.
for n, path in enumerate(settings):
    text = path.read_bytes().decode("utf-8")
    bodies = [text.replace("\n", "\r\n").encode("cp932"), text.encode("utf-8")]
    for k in range(8 if n == 0 else 2):
        m = n * 8 + k
        switch = (m % 8) | ((m // 8 % 4) << 3) | ((m % 2) << 5) | ((m % 3 == 0) << 6)
        write("settings_fuzz", bytes([switch]) + bodies[k % 2])
