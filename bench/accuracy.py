#!/usr/bin/env python3
"""Measures the functions and direct calls the program finds in real C trees
against the call graph the compiler itself reports, and does the same for
GNU cflow with its preprocessor.

    accuracy.py PROGRAM_FOLDER WORK_FOLDER TREE [TREE ...]

The truth: every .c file of a tree compiled on its own
(gcc -c -O0 -fno-inline -fcallgraph-info=su,da, the tree as include folder);
a function is defined when some translation unit defines it, and an edge is
a caller and a callee name, both defined in the tree, the caller not the
callee. The program runs on the same .c files with every function report on,
in CSV, once with "ﾏｸﾛを関数として認めない" and once without; its edges are
read from the function details, its definitions from the function list.
cflow runs with --cpp over the same files and the same include folder.
Prints one Markdown table per tree and the missed and extra edges.
"""
import os
import re
import shutil
import subprocess
import sys
from collections import Counter

# Amalgamations that include the other .c files: compiling them again adds
# nothing but duplicates.
SKIPPED = {"onelua.c"}


def c_files(tree):
    out = []
    for dirpath, _, names in os.walk(tree):
        for n in sorted(names):
            if n.endswith(".c") and n not in SKIPPED:
                out.append(os.path.join(dirpath, n))
    return sorted(out)


# ------------------------------------------------------------------ compiler

NODE = re.compile(r'node: \{ title: "([^"]*)" label: "([^"\\]*)')
EDGE = re.compile(r'edge: \{ sourcename: "([^"]*)" targetname: "([^"]*)"')


def compiler_graph(tree, files, work):
    folder = os.path.join(work, "gcc")
    os.makedirs(folder, exist_ok=True)
    defined, edges, failed = set(), set(), []
    for i, path in enumerate(files):
        stem = "u%03d" % i
        result = subprocess.run(
            ["gcc", "-c", "-O0", "-fno-inline", "-fcallgraph-info=su,da", "-w",
             "-I" + tree, "-I" + os.path.dirname(path), path, "-o", stem + ".o"],
            cwd=folder, capture_output=True, text=True)
        ci = os.path.join(folder, stem + ".ci")
        if result.returncode != 0 or not os.path.exists(ci):
            failed.append(os.path.relpath(path, tree))
            continue
        names = {}
        unit_edges = []
        with open(ci, encoding="utf-8", errors="replace") as f:
            for line in f:
                m = NODE.search(line)
                if m:
                    names[m.group(1)] = m.group(2)
                    if "shape : ellipse" not in line:
                        defined.add(m.group(2))
                    continue
                m = EDGE.search(line)
                if m:
                    unit_edges.append((m.group(1), m.group(2)))
        for a, b in unit_edges:
            edges.add((names.get(a, a), names.get(b, b)))
    edges = {(a, b) for a, b in edges if a in defined and b in defined and a != b}
    return defined, edges, failed


# ------------------------------------------------------------------ the program

INI = """[ﾃﾞｨﾚｸﾄﾘ設定]
標準ｲﾝｸﾙｰﾄﾞ設定数=1
標準ｲﾝｸﾙｰﾄﾞ0={tree}
[ﾃｷｽﾄ出力設定]
ﾏｸﾛを関数として認めない={macros}
[ﾌｧｲﾙ出力設定]
関数一覧の表示=ON
関数詳細情報の表示=ON
ﾌｧｲﾙ出力形式=csv
[その他設定]
拡張子および言語=c:0
"""


def read_cp932(path):
    with open(path, "rb") as f:
        return f.read().decode("cp932", errors="replace").replace("\r\n", "\n")


def program_graph(program, tree, files, work, macros_off):
    folder = os.path.join(work, "mizenta-" + ("macros-off" if macros_off else "macros-on"))
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name in os.listdir(program):
        if name in ("mizenta", "libcalvex.so") or name.endswith(".dat"):
            shutil.copy2(os.path.join(program, name), folder)
    with open(os.path.join(folder, "Mizenta.ini"), "wb") as f:
        text = INI.format(tree=tree + "/", macros="ON" if macros_off else "OFF")
        f.write(text.replace("\n", "\r\n").encode("cp932"))
    subprocess.run([os.path.join(folder, "mizenta")] + files, cwd=tree,
                   capture_output=True)
    return program_functions(folder), program_edges(folder)


def program_functions(folder):
    """The functions of the CSV function list that have a file."""
    defined = set()
    listing = os.path.join(folder, "Mz一覧Func.csv")
    if os.path.exists(listing):
        for line in read_cp932(listing).split("\n")[1:]:
            fields = line.split(",")
            # The file is the last field: an operator "," puts one more in.
            if len(fields) >= 5 and fields[0] and fields[-1]:
                defined.add(fields[0])
    return defined


def program_edges(folder):
    """(caller, callee) of the CSV function details' callee lines."""
    edges = set()
    details = os.path.join(folder, "Mz関数詳細情報.csv")
    caller = None
    if os.path.exists(details):
        for line in read_cp932(details).split("\n"):
            fields = line.split(",")
            if fields[0] == "関数名" and len(fields) > 1:
                caller = fields[1]
            elif fields[0] == "子関数" and caller:
                for callee in fields[1:]:
                    if callee:
                        edges.add((caller, callee))
    return edges
    return defined, edges


# ------------------------------------------------------------------ cflow

CFLOW_LINE = re.compile(r"^\{\s*(\d+)\}\s*(\S+)\(\)(?: <(.*)>)?")


def cflow_graph(tree, files):
    if not shutil.which("cflow"):
        return None
    result = subprocess.run(
        ["cflow", "--cpp", "-I" + tree, "-A", "-A", "-d", "2", "--omit-arguments",
         "--print-level"] + files, cwd=tree, capture_output=True, text=True, errors="replace")
    defined, edges = set(), set()
    root = None
    for line in result.stdout.split("\n"):
        m = CFLOW_LINE.match(line)
        if not m:
            continue
        level, name, where = int(m.group(1)), m.group(2), m.group(3)
        if where and " at " in where:
            defined.add(name)
        if level == 0:
            root = name
        elif level == 1 and root:
            edges.add((root, name))
    return defined, edges


# ------------------------------------------------------------------ figures

def scores(truth_defs, truth_edges, defs, edges):
    # Edges between functions the compiler saw defined, self-calls left out.
    edges = {(a, b) for a, b in edges if a in truth_defs and b in truth_defs and a != b}
    found = len(truth_edges & edges)
    return {
        "defs": "%d of %d (%.3f)" % (len(truth_defs & defs), len(truth_defs),
                                     len(truth_defs & defs) / max(1, len(truth_defs))),
        "precision": found / max(1, len(edges)),
        "recall": found / max(1, len(truth_edges)),
        "edges": len(edges),
        "missed": sorted(truth_edges - edges),
        "extra": sorted(edges - truth_edges),
    }


def main():
    if len(sys.argv) < 4:
        print(__doc__)
        return 2
    program, work, trees = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), sys.argv[3:]
    status = 0
    for tree in trees:
        tree = os.path.abspath(tree)
        name = os.path.basename(tree.rstrip("/"))
        tree_work = os.path.join(work, name)
        shutil.rmtree(tree_work, ignore_errors=True)
        os.makedirs(tree_work)
        files = c_files(tree)
        truth_defs, truth_edges, failed = compiler_graph(tree, files, tree_work)
        rows = [("Mizenta, macros not functions",
                 scores(truth_defs, truth_edges, *program_graph(program, tree, files, tree_work, True))),
                ("Mizenta, macros as functions",
                 scores(truth_defs, truth_edges, *program_graph(program, tree, files, tree_work, False)))]
        cflow = cflow_graph(tree, files)
        if cflow:
            rows.append(("cflow --cpp", scores(truth_defs, truth_edges, *cflow)))
        print("## %s: %d .c files, %d functions and %d call edges by the compiler" % (
            name, len(files), len(truth_defs), len(truth_edges)))
        if failed:
            print("\n(not compiled on their own: %s)" % ", ".join(failed))
        print("\n| tool | definitions found | edges | edge precision | edge recall |")
        print("|---|---:|---:|---:|---:|")
        for label, s in rows:
            print("| %s | %s | %d | %.3f | %.3f |" % (label, s["defs"], s["edges"], s["precision"],
                                                    s["recall"]))
        first = rows[0][1]
        for kind in ("missed", "extra"):
            print("\n%s edges of Mizenta (macros not functions): %d" % (kind.capitalize(), len(first[kind])))
            callers = Counter(a for a, _ in first[kind])
            for a, b in first[kind][:40]:
                print("  %s -> %s" % (a, b))
            if len(first[kind]) > 40:
                print("  … (%d more; by caller: %s)" % (
                    len(first[kind]) - 40, ", ".join("%s %d" % c for c in callers.most_common(8))))
        print()
    return status


if __name__ == "__main__":
    sys.exit(main())
