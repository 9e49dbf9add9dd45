#!/usr/bin/env python3
"""Counts the VB routines (Sub, Function, Property) with bodies that the
program finds in a tree of .bas/.cls/.frm/.vb files against a plain count
of their definition lines, and times the run.

    vb_routines.py BUILD_FOLDER WORK_FOLDER TREE

The plain count takes every line that starts, after scope words, with Sub,
Function or Property and a name, leaving out what has no body: Declare,
Event and Delegate lines, MustOverride members, the members of a VB.NET
Interface, and properties without a parameter list (VB.NET's field-like
properties). Names are compared as the program keys them: letters folded,
a class prefix ("Class::") dropped, each name once, since VB keys carry no
file. Prints a Markdown table and leaves the names only the plain count
has in WORK_FOLDER/vb-missed.txt.
"""
import csv
import os
import re
import subprocess
import sys
import time

from delphi_routines import program_folder

INI = ("[ﾌｧｲﾙ出力設定]\nﾌｧｲﾙ出力形式=csv\n関数一覧の表示=ON\n"
       "[その他設定]\n拡張子および言語=c:0,cpp:1,java:2,frm:3,bas:3,vb:3,pas:4,cls:3,ctl:3\n")
SCOPE = (r"(?:(?:Public|Private|Friend|Static|Protected|Shared|Overrides|Overridable|Overloads|"
         r"NotOverridable|Shadows|Partial|Default|ReadOnly|WriteOnly|Async|Iterator|Widening|"
         r"Narrowing)\s+)*")
DEFINITION = re.compile(SCOPE + r"(Sub|Function|Property)\s+(?:(?:Get|Let|Set)\s+)?(\w+)\s*(\()?",
                        re.IGNORECASE)
INTERFACE = re.compile(SCOPE + r"Interface\s+\w", re.IGNORECASE)
END_INTERFACE = re.compile(r"End\s+Interface\b", re.IGNORECASE)
EXTENSIONS = (".bas", ".cls", ".frm", ".ctl", ".vb")


def plain_definitions(tree):
    names, lines = set(), 0
    for folder, _, files in os.walk(tree):
        for name in files:
            if not name.lower().endswith(EXTENSIONS):
                continue
            in_interface = False
            with open(os.path.join(folder, name), encoding="latin-1") as f:
                for line in f:
                    text = line.strip()
                    if INTERFACE.match(text):
                        in_interface = True
                    elif END_INTERFACE.match(text):
                        in_interface = False
                    m = DEFINITION.match(text)
                    if not m or in_interface or re.search(r"\bMustOverride\b", text, re.I):
                        continue
                    if m.group(1).lower() == "property" and not m.group(3):
                        continue
                    lines += 1
                    names.add(m.group(2).lower())
    return names, lines


def program_definitions(build, work, tree):
    folder = program_folder(build, work, INI)
    start = time.monotonic()
    run = subprocess.run([os.path.join(folder, "mizenta"), tree], capture_output=True)
    seconds = time.monotonic() - start
    names = set()
    with open(os.path.join(folder, "Mz一覧Func.csv"), encoding="cp932", errors="replace",
              newline="") as f:
        for row in list(csv.reader(f))[1:]:
            if len(row) > 4 and row[4].strip():  # defined in a source file
                names.add(row[0].strip().split("::")[-1].lower())
    return names, seconds, run.returncode


def main():
    build, work, tree = sys.argv[1:4]
    plain, lines = plain_definitions(tree)
    found, seconds, status = program_definitions(build, work, tree)
    missed = sorted(plain - found)
    with open(os.path.join(work, "vb-missed.txt"), "w") as f:
        f.write("\n".join(missed) + "\n")
    share = len(plain & found) / len(plain) if plain else 1.0
    print("| tree | definition lines | names (plain) | found | share | time (s) | exit |")
    print("|---|---|---|---|---|---|---|")
    print(f"| {os.path.basename(tree.rstrip('/'))} | {lines} | {len(plain)} | "
          f"{len(plain & found)} | {share:.3f} | {seconds:.2f} | {status} |")


if __name__ == "__main__":
    main()
