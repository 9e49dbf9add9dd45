#!/usr/bin/env python3
"""Draws call edges and call sites of a VB or Delphi tree for checking by
reading.

    edge_sample.py BUILD_FOLDER WORK_FOLDER TREE [COUNT [SEED]]

The program runs on the tree (.bas .cls .frm .ctl .vb, or .pas .dpr .lpr
when the tree holds any: then pascal_reading.py reads it) with its function
details in CSV. Two samples follow, each of COUNT (50) with the seed SEED
(43), so that another build draws the same call sites:

- reported edges: caller and callee both routines of the tree, the callee
  not the caller; each listed with the caller's lines that name the
  callee. "named" when a line of the caller's body names the callee as
  code (outside comments and strings), else "NOT NAMED" (look closer).
- call sites: the words of routine bodies (found by a plain reading of the
  sources: Sub/Function/Property … End) that name a routine of the tree
  other than the enclosing one and none of its parameters and locals; a word after '.' only where the word
  before the '.' is Me, a module, class or form of the tree, or a name
  some line of the tree declares with a class of the tree (`As [New] C`,
  `Set x = New C`, a designer's `Begin Lib.C name`). "found" when the
  report has an edge from the enclosing routine to a routine of that
  name. A word may still be no call (a variable or field of the same
  name): the reader decides.

Prints both lists and the shares the automatic verdicts give; the
figures to report are those after reading.
"""
import csv
import io
import os
import random
import re
import shutil
import subprocess
import sys

import pascal_reading

EXTENSIONS = (".bas", ".cls", ".frm", ".ctl", ".vb")
INI = ("[ﾌｧｲﾙ出力設定]\r\n関数一覧の表示=ON\r\n関数詳細情報の表示=ON\r\nﾌｧｲﾙ出力形式=csv\r\n"
       "[その他設定]\r\n拡張子および言語=c:0,cpp:1,java:2,frm:3,bas:3,cls:3,ctl:3,vb:3,"
       "pas:4,dpr:4\r\n")
SCOPE = (r"(?:(?:Public|Private|Friend|Static|Protected|Shared|Overrides|Overridable|Overloads|"
         r"NotOverridable|Shadows|Partial|Default|ReadOnly|WriteOnly|Async|Iterator|Widening|"
         r"Narrowing)\s+)*")
HEADER = re.compile(r"^\s*" + SCOPE + r"(Sub|Function|Property)\s+(?:(?:Get|Let|Set)\s+)?"
                    r"\[?(\w+)\]?", re.IGNORECASE)
END = re.compile(r"^\s*End\s+(Sub|Function|Property)\b", re.IGNORECASE)
WORD = re.compile(r"[A-Za-z_\x80-\uffff][\w\x80-\uffff]*")
# Words after which a name is a type, a label or a declaration, not a call.
NOT_CALL_BEFORE = {"as", "goto", "gosub", "new", "declare", "sub", "function", "property",
                   "dim", "const", "event", "raiseevent", "resume"}


def bare(name):
    name = name.split("@")[0]
    return re.split(r"::|\.", name)[-1].lower()


def code_part(line):
    """The line without its strings and its comment."""
    out, quoted = [], False
    for ch in line:
        if ch == '"':
            quoted = not quoted
            out.append(" ")
        elif quoted:
            out.append(" ")
        elif ch == "'":
            break
        else:
            out.append(ch)
    text = "".join(out)
    return "" if re.match(r"^\s*Rem\b", text, re.I) else text


def read_lines(path):
    with open(path, "rb") as f:
        data = f.read()
    for encoding in ("utf-8-sig", "cp932"):
        try:
            return data.decode(encoding).splitlines()
        except UnicodeDecodeError:
            pass
    return data.decode("latin-1").splitlines()


def field_like_property(match, text, lines, number):
    """A VB.NET property without a parameter list and without Get or Set
    blocks after it: no routine."""
    if match.group(1).lower() != "property" or "(" in text[match.end():match.end() + 2]:
        return False
    for line in lines[number:]:
        following = code_part(line).strip()
        if following:
            return not re.match(r"(?:(?:Private|Protected|Friend|Public)\s+)*(Get|Set)\b",
                                following, re.I)
    return True


def source_routines(tree):
    """(path, name, first line, last line) of each routine with a body."""
    routines = []
    for folder, _, files in sorted(os.walk(tree)):
        for name in sorted(files):
            if not name.lower().endswith(EXTENSIONS):
                continue
            path = os.path.join(folder, name)
            lines = read_lines(path)
            current = None
            for number, line in enumerate(lines, 1):
                text = code_part(line)
                if current is None:
                    m = HEADER.match(text)
                    if m and not re.search(r"\bDeclare\b|\bMustOverride\b", text, re.I):
                        if not field_like_property(m, text, lines, number):
                            current = (m.group(2), number)
                elif END.match(text):
                    routines.append((path, current[0], current[1], number))
                    current = None
    return routines


def tree_objects(tree):
    """The module, class and form names of the tree, and the names declared
    with one of those classes (lower case)."""
    classes, declared = set(), []
    for folder, _, files in os.walk(tree):
        for name in files:
            if not name.lower().endswith(EXTENSIONS):
                continue
            if not name.lower().endswith(".vb"):
                classes.add(os.path.splitext(name)[0].lower())
            for line in read_lines(os.path.join(folder, name)):
                m = re.match(r'\s*Attribute\s+VB_Name\s*=\s*"(\w+)"', line)
                if m:
                    classes.add(m.group(1).lower())
                m = re.match(r"\s*(?:\w+\s+)*(?:Class|Module|Structure)\s+(\w+)", code_part(line), re.I)
                if m and name.lower().endswith(".vb"):
                    classes.add(m.group(1).lower())
                text = code_part(line)
                for m in re.finditer(r"(\w+)(?:\(\s*\))?\s+As\s+(?:New\s+)?(\w+)", text, re.I):
                    declared.append((m.group(1).lower(), m.group(2).lower()))
                for m in re.finditer(r"(\w+)\s*=\s*New\s+(\w+)", text, re.I):
                    declared.append((m.group(1).lower(), m.group(2).lower()))
                m = re.match(r"\s*Begin\s+\w+\.(\w+)\s+(\w+)", line)
                if m:
                    declared.append((m.group(2).lower(), m.group(1).lower()))
    objects = {v for v, t in declared if t in classes}
    return classes | objects | {"me", "myclass", "mybase"}


def run_program(build, work, tree):
    folder = os.path.join(work, "program")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name in ("mizenta", "libcalvex.so", "Mizenta設定.dat"):
        shutil.copy(os.path.join(build, name), folder)
    with open(os.path.join(folder, "Mizenta.ini"), "wb") as f:
        f.write(INI.encode("cp932"))
    subprocess.run([os.path.join(folder, "mizenta"), os.path.abspath(tree)], cwd=folder,
                   capture_output=True)
    return folder


def program_details(folder):
    """name -> list of (file name, line, callee names) of the details."""
    with open(os.path.join(folder, "Mz関数詳細情報.csv"), "rb") as f:
        text = f.read().decode("cp932", errors="replace")
    records, current = [], None
    for row in csv.reader(io.StringIO(text)):
        if not row:
            continue
        if row[0] == "関数名":
            current = {"name": row[1] if len(row) > 1 else "", "file": "", "line": 0,
                       "callees": []}
            records.append(current)
        elif current is None:
            continue
        elif row[0] == "ソース" and len(row) > 2 and row[2].strip().isdigit():
            current["file"], current["line"] = row[1], int(row[2])
        elif row[0] == "子関数":
            current["callees"] += [c for c in row[1:] if c]
    return records


def definitions_found(routines, records, tree):
    """Delphi: the routines read plainly outside {$IF…} groups that the
    report lists for their file under their name (overloads are one
    routine of the report), and those it does not."""
    def key(name):
        return name.replace("::", ".").lower()
    listed = {(r["file"].lower(), key(r["name"])) for r in records}
    # A unit's routine may be listed under its unit's name ("Unit.Name",
    # the unit's name dotted itself).
    listed |= {(r["file"].lower(), r["name"].rsplit(".", 1)[1].lower()) for r in records
               if "." in r["name"] and "::" not in r["name"]}
    conditional = {}
    wanted = {}
    for path, name, header, _, _ in routines:
        if path not in conditional:
            conditional[path] = pascal_reading.conditional_lines(path)
        if header not in conditional[path]:
            wanted[(os.path.basename(path).lower(), key(name))] = os.path.relpath(path, tree)
    # A nested class's method (Outer.Inner.Name) is listed as Inner::Name.
    missed = sorted(f"{where}: {k[1]}" for k, where in wanted.items()
                    if k not in listed and (k[0], ".".join(k[1].split(".")[-2:])) not in listed)
    text = (f"definitions outside {{$IF…}} groups listed for their file: "
            f"{len(wanted) - len(missed)}/{len(wanted)} = "
            f"{(len(wanted) - len(missed)) / max(1, len(wanted)):.4f}")
    return "\n".join([text] + [f"  not listed: {m}" for m in missed[:30]])


class VbReading:
    """The plain reading of VB sources."""
    not_call_before = NOT_CALL_BEFORE

    def __init__(self, tree):
        self.tree = tree
        self.cache = {}

    def lines(self, path):
        if path not in self.cache:
            self.cache[path] = [code_part(line) for line in read_lines(path)]
        return self.cache[path]

    def routines(self):
        """(path, name, header line, first and last body line)."""
        return [(p, name, first, first + 1, last - 1)
                for p, name, first, last in source_routines(self.tree)]

    def qualifiers(self):
        return tree_objects(self.tree)

    def declared(self, path, header, last):
        local = set()
        for n in range(header, last + 1):
            text = self.lines(path)[n - 1]
            local |= {m.group(1).lower() for m in re.finditer(r"(\w+)(?:\(\s*\))?\s+As\b", text, re.I)}
            local |= {m.group(1).lower() for m in re.finditer(
                r"\b(?:Dim|For\s+Each|For)\s+(\w+)", text, re.I)}
        return local

    def no_call(self, text, start, end):
        """Whether the word at text[start:end] is plainly not a call."""
        return False

    @staticmethod
    def routine_key(name):
        """Property Get/Let/Set of one name are one routine of the report."""
        return bare(name)


class PascalReading:
    """The plain reading of Delphi sources (pascal_reading.py)."""
    not_call_before = pascal_reading.NOT_CALL_BEFORE

    def __init__(self, tree):
        self.tree = tree
        self.cache = {}
        self.found = []
        for path in pascal_reading.source_files(tree):
            found, lines = pascal_reading.routines_of_file(path)
            self.cache[path] = lines
            self.found += [(path, name, header, first, last) for name, header, first, last in found]

    def lines(self, path):
        return self.cache[path]

    def routines(self):
        return self.found

    def qualifiers(self):
        units = {os.path.splitext(os.path.basename(p))[0].lower() for p in self.cache}
        return pascal_reading.tree_qualifiers(self.tree, units)

    def declared(self, path, header, last):
        return pascal_reading.declared_names(self.lines(path), header, last, header)

    @staticmethod
    def routine_key(name):
        """Class and name: overloads are one routine of the report."""
        return name.replace("::", ".").lower()

    def no_call(self, text, start, end):
        """An address taken, or a name assigned to (a property or field of
        the routine's name)."""
        return text[:start].rstrip().endswith("@") or text[end:].lstrip().startswith(":=")


def main():
    build, work, tree = sys.argv[1:4]
    count = int(sys.argv[4]) if len(sys.argv) > 4 else 50
    seed = int(sys.argv[5]) if len(sys.argv) > 5 else 43
    os.makedirs(work, exist_ok=True)
    pascal = any(n.lower().endswith(pascal_reading.EXTENSIONS)
                 for _, _, files in os.walk(tree) for n in files)
    reading = PascalReading(tree) if pascal else VbReading(tree)
    routines = reading.routines()
    defined = {bare(r[1]) for r in routines}
    by_place = {(os.path.basename(p).lower(), header): (p, header, first, last)
                for p, _, header, first, last in routines}
    # Property Get/Let/Set of one name are one routine of the report, at
    # the first of them: the others go by their name.
    by_name = {}
    for p, name, header, first, last in routines:
        by_name.setdefault((os.path.basename(p).lower(), reading.routine_key(name)), []).append(
            (p, header, first, last))
    folder = run_program(build, work, tree)
    records = program_details(folder)
    # The reported routines with the body the plain reading gives them.
    callees_at = {}
    edges = []
    for r in records:
        place = by_place.get((r["file"].lower(), r["line"]))
        if not place:
            continue
        for other in by_name.get((r["file"].lower(), reading.routine_key(r["name"])), []):
            if other[0] == place[0]:
                callees_at[other] = {bare(c) for c in r["callees"]}
        callees_at[place] = {bare(c) for c in r["callees"]}
        for c in r["callees"]:
            if bare(c) in defined and bare(c) != bare(r["name"]):
                edges.append((r["name"], c, place))

    # Reported edges.
    rng = random.Random(seed)
    sample = rng.sample(sorted(set(edges)), min(count, len(set(edges))))
    named = 0
    print(f"## {os.path.basename(tree.rstrip('/'))}: {len(set(edges))} edges between routines "
          f"of the tree, {len(routines)} routines read plainly, {len(callees_at)} of them "
          f"reported at the same place\n")
    if pascal:
        print(definitions_found(routines, records, tree) + "\n")
    print("### reported edges\n")
    for caller, callee, (path, header, first, last) in sample:
        word = re.compile(r"\b" + re.escape(bare(callee)) + r"\b", re.I)
        hits = [(n, reading.lines(path)[n - 1].strip()) for n in range(first, last + 1)
                if word.search(reading.lines(path)[n - 1])]
        named += bool(hits)
        verdict = "named" if hits else "NOT NAMED"
        print(f"- {verdict}: {caller} -> {callee}  ({os.path.relpath(path, tree)}:{header})")
        for n, text in hits[:2]:
            print(f"    {n}: {text[:110]}")
    # Call sites.
    qualifiers = reading.qualifiers()
    sites = []
    for path, name, header, first, last in routines:
        # The routine's parameters and locals name no routine of its.
        local = reading.declared(path, header, last)
        for n in range(first, last + 1):
            text = reading.lines(path)[n - 1]
            for m in WORD.finditer(text):
                w = m.group(0).lower()
                before = WORD.findall(text[:m.start()])
                tail = text[m.end():].lstrip()
                if tail.startswith(".") or reading.no_call(text, m.start(), m.end()):
                    continue  # an object or module before its member
                if w == "new":
                    following = WORD.match(tail)
                    if not following or following.group(0).lower() not in qualifiers:
                        continue  # an object of a class the tree does not define
                head = text[:m.start()].rstrip()
                if head.endswith("."):
                    q = re.search(r"(\w*)\s*\.$", head).group(1).lower()
                    if q not in qualifiers:
                        continue
                if (w in defined and w != bare(name) and w not in local and
                        not (before and before[-1].lower() in reading.not_call_before)):
                    sites.append((path, name, header, first, last, n, m.group(0)))
    site_sample = random.Random(seed).sample(sites, min(count, len(sites)))
    found = 0
    print("\n### call sites\n")
    for path, name, header, first, last, n, word in site_sample:
        callees = callees_at.get((path, header, first, last))
        hit = callees is not None and word.lower() in callees
        found += hit
        verdict = "found" if hit else ("MISSED" if callees is not None else "MISSED (caller lost)")
        print(f"- {verdict}: {name} -> {word}  ({os.path.relpath(path, tree)}:{n}) "
              f"{read_lines(path)[n - 1].strip()[:100]}")
    print(f"\nautomatic: edges named {named}/{len(sample)}, call sites found "
          f"{found}/{len(site_sample)}")


if __name__ == "__main__":
    main()
