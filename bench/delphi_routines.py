#!/usr/bin/env python3
"""Counts the Delphi routines with bodies that the program finds in a tree
of .pas files against the routine definitions universal-ctags lists in the
same files' implementation sections (a whole file when it has none, as a
program's), and times the run.

    delphi_routines.py BUILD_FOLDER WORK_FOLDER TREE

Routine names are compared as the program keys them: "Class.Name" and
"Class::Name" alike, letters folded, each name once (Delphi keys carry no
file, so two units' routines of one name are one routine for both sides).
Prints a Markdown table, and leaves the names only one side has in
WORK_FOLDER/delphi-missed.txt and delphi-extra.txt.
"""
import csv
import os
import re
import shutil
import subprocess
import sys
import time

INI = "[ﾌｧｲﾙ出力設定]\nﾌｧｲﾙ出力形式=csv\n関数一覧の表示=ON\n関数詳細情報の表示=ON\n"
IMPLEMENTATION = re.compile(rb"^\s*implementation\b", re.IGNORECASE | re.MULTILINE)
# What follows a header up to its body or its end without one.
CONDITIONAL = re.compile(rb"\{\$(ifdef|ifndef|ifopt|ifc|if|endif|ifend|endc)\b", re.IGNORECASE)
HEADER_END = re.compile(rb"\b(begin|asm|forward|external)\b", re.IGNORECASE)


def program_folder(build, work, ini=INI):
    """A copy of the program with an INI file (by default asking for CSV lists)."""
    folder = os.path.join(work, "program")
    os.makedirs(folder, exist_ok=True)
    for name in ("mizenta", "libcalvex.so", "Mizenta設定.dat"):
        shutil.copy(os.path.join(build, name), folder)
    with open(os.path.join(folder, "Mizenta.ini"), "wb") as f:
        f.write(ini.encode("cp932"))
    return folder


def run_program(folder, work, tree):
    out = os.path.join(work, "reports")
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    start = time.monotonic()
    subprocess.run([os.path.join(folder, "mizenta"), tree, "-o", out], check=False,
                   stdout=subprocess.DEVNULL)
    return out, time.monotonic() - start


def key(name):
    return name.replace("::", ".").lower()


def program_routines(out):
    """Names of the function list with at least one step (a body)."""
    names = set()
    with open(os.path.join(out, "Mz一覧Func.csv"), encoding="cp932", errors="replace") as f:
        rows = csv.reader(f)
        next(rows, None)
        for row in rows:
            if len(row) >= 2 and row[1].strip().isdigit() and int(row[1]) > 0:
                names.add(key(row[0]))
    return names


def program_edges(out):
    """Caller-callee pairs of the function details (callees of the corpus)."""
    edges = 0
    with open(os.path.join(out, "Mz関数詳細情報.csv"), encoding="cp932", errors="replace") as f:
        for row in csv.reader(f):
            if row and row[0] == "子関数":
                edges += sum(1 for cell in row[1:] if cell)
    return edges


def has_body(lines, number):
    """Whether the header at line `number` is followed by a body rather
    than `forward;` or `external …;` (the first such word within a few
    lines decides; none: a body after a long declaration part)."""
    m = HEADER_END.search(b" ".join(lines[number - 1:number + 8]), 1)
    return not m or m.group(1).lower() not in (b"forward", b"external")


def conditional_depths(lines):
    """The number of {$IF…} groups open at the start of each line."""
    depth, depths = 0, []
    for line in lines:
        depths.append(depth)
        for m in CONDITIONAL.finditer(line):
            depth += 1 if m.group(1).lower() in (b"ifdef", b"ifndef", b"ifopt", b"ifc", b"if") else -1
    return depths


def ctags_routines(tree):
    """Routine definitions after each file's `implementation` line, and
    those of them outside every {$IF…} group (which the program may have
    switched off, while ctags reads every branch)."""
    listing = subprocess.run(
        ["ctags", "-R", "--languages=Pascal", "--langmap=Pascal:.pas", "--excmd=number",
         "-f", "-", tree], capture_output=True, check=True).stdout
    starts = {}
    lines = {}
    depths = {}
    names = set()
    unconditional = set()
    count = 0
    tags = [f for f in (line.split(b"\t") for line in listing.splitlines()) if len(f) >= 3]
    # A method's name alone, in a file that implements Class.name, is its
    # declaration in the class body, not a routine of its own.
    methods = {(f[1], f[0].rsplit(b".", 1)[1].lower()) for f in tags if b"." in f[0]}
    for fields in tags:
        if b"." not in fields[0] and (fields[1], fields[0].lower()) in methods:
            continue
        path = fields[1].decode("utf-8", "replace")
        number = int(fields[2].split(b";")[0] or 0)
        if path not in starts:
            with open(path, "rb") as f:
                text = f.read()
            m = IMPLEMENTATION.search(text)
            starts[path] = text.count(b"\n", 0, m.start()) + 1 if m else 0
            lines[path] = text.split(b"\n")
            depths[path] = conditional_depths(lines[path])
        if number > starts[path] and has_body(lines[path], number):
            names.add(key(fields[0].decode("cp1252", "replace")))
            if depths[path][number - 1] <= 0:
                unconditional.add(key(fields[0].decode("cp1252", "replace")))
            count += 1
    return names, unconditional, count


def main():
    build, work, tree = sys.argv[1:4]
    os.makedirs(work, exist_ok=True)
    folder = program_folder(build, work)
    out, seconds = run_program(folder, work, tree)
    found = program_routines(out)
    truth, unconditional, definitions = ctags_routines(tree)
    hit = found & truth
    with open(os.path.join(work, "delphi-missed.txt"), "w") as f:
        f.write("\n".join(sorted(truth - found)) + "\n")
    with open(os.path.join(work, "delphi-extra.txt"), "w") as f:
        f.write("\n".join(sorted(found - truth)) + "\n")
    files = sum(1 for _, _, fs in os.walk(tree) for n in fs if n.lower().endswith(".pas"))
    outside = len(found & unconditional)
    print(f"| tree | .pas files | ctags definitions (names) | found with body | share | "
          f"outside {{$IF…}}: found / names | not in ctags | call edges to corpus routines | time |")
    print("|---|---|---|---|---|---|---|---|---|")
    print(f"| {tree} | {files} | {definitions} ({len(truth)}) | {len(hit)} | "
          f"{100.0 * len(hit) / max(1, len(truth)):.1f} % | {outside} / {len(unconditional)} "
          f"({100.0 * outside / max(1, len(unconditional)):.1f} %) | {len(found - truth)} | "
          f"{program_edges(out)} | {seconds:.1f} s |")


if __name__ == "__main__":
    main()
