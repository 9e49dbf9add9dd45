#!/usr/bin/env python3
"""Measures the C++ call edges the program finds in a real C++ tree against
the call graph g++ reports.

    accuracy_cpp_edges.py PROGRAM_FOLDER WORK_FOLDER TREE [TREE ...]

The truth: every .cc/.cpp file of a tree (tests, benchmarks and other
platforms' files left out by "accuracy-skip", one path a line) compiled on
its own (g++ -std=c++17 -c -O0 -fno-inline -fcallgraph-info=su,da, the tree
and "accuracy-includes" as include folders, "accuracy-defines.h" given with
-include). A function is its qualified name as g++ prints it without
parameters, template arguments and anonymous namespaces ("leveldb::Slice::
Slice", "leveldb::operator=="); a function is defined in the tree when its
definition is in a file of the tree. An edge is a caller and a callee both
defined in the tree, not the same; calls inside a lambda belong to the
function that holds it, and so do those of a local class's member functions.
The program runs on the same files (C++, the same include folders, the
defines added to its settings data file) with the function list and details
in CSV, once with macros as functions (as shipped) and once with
"ﾏｸﾛを関数として認めない"; its edges are read from the details, kept when both ends
are functions of the truth, operator names written as g++ writes them.
Overloads count once. A call of a virtual function is an indirect call in
g++'s graph: a program edge to a virtual function that is not in the graph,
from a caller that makes indirect calls, is left out of the count (and the
number left out printed). Prints one Markdown table per tree and the missed
and extra edges.
"""
import os
import re
import subprocess
import sys
from collections import Counter

from accuracy import include_folders, program_folder, read_cp932, tree_file

NODE = re.compile(r'node: \{ title: "([^"]*)" label: "((?:[^"\\]|\\.)*)"(.*)\}')
EDGE = re.compile(r'edge: \{ sourcename: "([^"]*)" targetname: "([^"]*)"')

INI = """[ﾃﾞｨﾚｸﾄﾘ設定]
{includes}[ﾃｷｽﾄ出力設定]
ﾏｸﾛを関数として認めない={macros}
[ﾌｧｲﾙ出力設定]
関数一覧の表示=ON
関数詳細情報の表示=ON
ﾌｧｲﾙ出力形式=csv
[その他設定]
拡張子および言語=c:1,h:1,cc:1,cpp:1,hpp:1
"""


def sources(tree):
    skipped = set()
    listed = tree_file(tree, "accuracy-skip")
    if listed:
        with open(listed) as f:
            skipped = {line.strip() for line in f if line.strip()}
    found = []
    for folder, dirs, names in os.walk(tree):
        dirs.sort()
        for name in sorted(names):
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, tree)
            if name.endswith((".cc", ".cpp")) and not any(
                    relative == s or relative.startswith(s.rstrip("/") + "/") for s in skipped):
                found.append(path)
    return found


def strip_groups(text, open_char, close_char):
    out, depth = [], 0
    for c in text:
        if c == open_char:
            depth += 1
        elif c == close_char and depth:
            depth -= 1
        elif depth == 0:
            out.append(c)
    return "".join(out)


def function_name(label):
    """The qualified name of a g++ label's signature, or None."""
    signature = label.split("\\n")[0]
    signature = re.sub(r" \[with .*\]$", "", signature)
    # An anonymous namespace as some labels spell it, before the ")::"
    # below takes its parenthesis for a function's.
    signature = signature.replace("(anonymous namespace)::", "")
    # The lambda's own call operator belongs to the function that holds it
    # (whose parameters may be written already).
    lambda_at = signature.find("::<lambda")
    if lambda_at >= 0:
        signature = signature[:lambda_at]
        if not signature.endswith(")"):
            signature += "()"
    # So does a member function of a local class ("main(int, char**)::
    # Local::f()"), which the program reads as part of that function.
    local_at = signature.find(")::")
    if local_at >= 0:
        signature = signature[:local_at + 1]
    signature = signature.replace("{anonymous}::", "")
    # The parameter list: the last '(' whose group runs to the end (but
    # for qualifiers such as " const" or " &").
    depth, end = 0, None
    for i in range(len(signature) - 1, -1, -1):
        c = signature[i]
        if c == ")":
            depth += 1
        elif c == "(":
            depth -= 1
            if depth == 0:
                end = i
                break
    if end is None:
        return None
    head = signature[:end]
    # The qualifier and name are the last word outside <…>; an operator's
    # symbol may hold '<' and '>' and a conversion operator a blank.
    at = head.rfind("operator")
    if at < 0 or (at > 0 and head[at - 1] not in " :"):
        at = len(head)
    before = strip_groups(head[:at], "<", ">")
    return before.split(" ")[-1] + head[at:]


def compiler_graph(tree, files, work):
    folder = os.path.join(work, "gxx")
    os.makedirs(folder, exist_ok=True)
    defines = tree_file(tree, "accuracy-defines.h")
    tree_abs = os.path.abspath(tree)
    defined, calls, failed = set(), [], []
    virtual, indirect, files_names = set(), set(), {}
    for i, path in enumerate(files):
        stem = "u%03d" % i
        command = ["g++", "-std=c++17", "-c", "-O0", "-fno-inline", "-fcallgraph-info=su,da",
                   "-w", "-I" + os.path.dirname(path)] + ["-I" + d for d in include_folders(tree)]
        if defines:
            command += ["-include", defines]
        result = subprocess.run(command + [path, "-o", stem + ".o"], cwd=folder,
                                capture_output=True, text=True)
        ci = os.path.join(folder, stem + ".ci")
        if result.returncode != 0 or not os.path.exists(ci):
            failed.append(os.path.relpath(path, tree))
            continue
        names, local = {}, set()
        with open(ci, encoding="utf-8", errors="replace") as f:
            for line in f:
                m = NODE.search(line)
                if m:
                    name = function_name(m.group(2))
                    if not name:
                        continue
                    names[m.group(1)] = name
                    where = m.group(2).split("\\n")
                    in_tree = len(where) > 1 and os.path.abspath(
                        where[1].rsplit(":", 2)[0]).startswith(tree_abs + os.sep)
                    if "shape : ellipse" not in m.group(3) and in_tree:
                        local.add(name)
                        defined.add(name)
                        if m.group(2).startswith("virtual "):
                            virtual.add(name)
                    continue
                m = EDGE.search(line)
                if m:
                    calls.append((m.group(1), m.group(2), names))
                    if m.group(2) == "__indirect_call":
                        indirect.add((m.group(1), id(names)))
                        files_names[id(names)] = names
    # A complete-object constructor or destructor that is an alias of the
    # base-object one has no node: its name comes from its symbol.
    unnamed = sorted({b for _, b, names in calls if b not in names})
    symbols = [b.rsplit(":", 1)[-1] for b in unnamed]
    demangled = subprocess.run(["c++filt"], input="\n".join(symbols), capture_output=True,
                               text=True).stdout.split("\n")
    aliases = {b: function_name(d) for b, d in zip(unnamed, demangled)}
    edges = set()
    for a, b, names in calls:
        caller, callee = names.get(a), names.get(b) or aliases.get(b)
        if caller and callee and caller in defined and callee in defined and caller != callee:
            edges.add((caller, callee))
    # A virtual function called through an object is an indirect call in
    # the compiler's graph: the callers that make one may call any virtual.
    virtual_callers = {files_names[n].get(a) for a, n in indirect} - {None}
    return defined, edges, failed, virtual, virtual_callers


def program_graph(program, tree, files, work, macros_off):
    folder = program_folder(program, tree,
                            os.path.join(work, "mizenta-" + ("macros-off" if macros_off else "macros-on")),
                            INI.replace("{macros}", "ON" if macros_off else "OFF"))
    subprocess.run([os.path.join(folder, "mizenta")] + files, cwd=tree, capture_output=True)
    edges, caller = set(), None
    details = os.path.join(folder, "Mz関数詳細情報.csv")
    if os.path.exists(details):
        for line in read_cp932(details).split("\n"):
            fields = line.split(",")
            if fields[0] == "関数名" and len(fields) > 1:
                caller = written_like_gxx(fields[1])
            elif fields[0] == "子関数" and caller:
                edges.update((caller, written_like_gxx(c)) for c in fields[1:] if c)
    return edges


def is_structor(name):
    parts = name.split("::")
    return len(parts) >= 2 and parts[-1].lstrip("~") == parts[-2]


def written_like_gxx(name):
    """The program shows "A::operator +"; g++ writes "A::operator+" (and
    keeps the blank of a conversion, "A::operator bool")."""
    return re.sub(r"operator (?=[^A-Za-z_])", "operator", name.split("@")[0])


def main():
    if len(sys.argv) < 4:
        print(__doc__)
        return 2
    program, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    for tree in sys.argv[3:]:
        tree = os.path.abspath(tree)
        files = sources(tree)
        tree_work = os.path.join(work, os.path.basename(tree))
        truth_defs, truth, failed, virtual, virtual_callers = compiler_graph(tree, files,
                                                                             tree_work)
        print("## %s\n" % os.path.basename(tree))
        print("| program | edges | files | g++ failed | functions | g++ edges | program edges "
              "| precision | recall |")
        print("|---|---|---|---|---|---|---|---|---|")
        notes = []
        for label, macros_off in (("macros as functions (as shipped)", False),
                                  ("macros not functions", True)):
            found = {e for e in program_graph(program, tree, files, tree_work, macros_off)
                     if e[0] in truth_defs and e[1] in truth_defs and e[0] != e[1]}
            # Calls of virtual functions the compiler's graph leaves indirect
            # are neither right nor wrong by it: left out, and counted.
            unseen = {e for e in found - truth if e[1] in virtual and e[0] in virtual_callers}
            found -= unseen
            # Most constructor and destructor calls g++ sees are implicit
            # (temporaries, conversions, members and bases): the calls
            # written as such are measured apart.
            for kind, keep in (("all", lambda e: True),
                               ("without constructors and destructors",
                                lambda e: not is_structor(e[1]))):
                t = {e for e in truth if keep(e)}
                p = {e for e in found if keep(e)}
                hits = p & t
                print("| %s | %s | %d | %d | %d | %d | %d | %.3f | %.3f |" % (
                    label, kind, len(files), len(failed), len(truth_defs), len(t), len(p),
                    len(hits) / len(p) if p else 0.0, len(hits) / len(t) if t else 0.0))
            notes.append("%s: program edges to virtual functions from callers with indirect "
                         "calls, left out: %d" % (label, len(unseen)))
            if not macros_off:
                shipped = found
        print("\n" + "\n".join(notes) + "\n")
        found = shipped
        missed = Counter(b for _, b in truth - found)
        extra = Counter(b for _, b in found - truth)
        print("Missed callees, as shipped (most often): " + ", ".join(
            "%s %d" % kv for kv in missed.most_common(25)) + "\n")
        print("Extra callees, as shipped (most often): " + ", ".join(
            "%s %d" % kv for kv in extra.most_common(25)) + "\n")
        with open(os.path.join(tree_work, "edges.txt"), "w") as f:
            for a, b in sorted(truth - found):
                f.write("missed %s -> %s\n" % (a, b))
            for a, b in sorted(found - truth):
                f.write("extra %s -> %s\n" % (a, b))
    return 0


if __name__ == "__main__":
    sys.exit(main())
