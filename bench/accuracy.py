#!/usr/bin/env python3
"""Measures the functions and direct calls the program finds in real C trees
against the call graph the compiler itself reports, and does the same for
GNU cflow with its preprocessor.

    accuracy.py PROGRAM_FOLDER WORK_FOLDER TREE [TREE ...]

The truth: every .c file of a tree compiled on its own
(gcc -c -O0 -fno-inline -fcallgraph-info=su,da, the tree as include folder);
a function is its name and the file that defines it, named without its
folder as the reports name it (so that statics of one name in two files
stay apart), and an edge is a caller and a callee,
both defined in the tree, the caller not the callee. A callee's file is
the caller's when a function of that name is defined there, else the one
file that defines the name. Two things the compiler and a source reader
see differently are set aside: a function whose address its caller only
takes (`p = f;`, read from -fdump-ipa-cgraph) is reported by the program
as a callee by design and is counted neither right nor wrong; and a header
without include guard that one file includes twice defines its functions
a second time (under other names, through macros), which the compiler
counts and a reader that reads a header once per file cannot see, so the
functions of a header place seen before in the same file are left out. The program runs on the same .c files with
every function report on, in CSV, once with "ﾏｸﾛを関数として認めない" and
once without; its edges are read from the function details, its
definitions from the function list. cflow runs with --cpp over the same
files and the same include folder. Prints one Markdown table per tree and
the missed and extra edges.

A tree may hold two files for its build: "accuracy-defines.h", the macros
its build defines on the command line (given to gcc with -include and to
cflow's preprocessor, and added to the program's settings data file, whose
macros every source file starts with), and "accuracy-skip", the .c files
(one a line) that other files include instead of being compiled alone, and
"accuracy-includes", its include folders besides the tree itself (one a
line, relative to the tree; for gcc, cflow and the program alike).
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


def tree_file(tree, name):
    path = os.path.join(tree, name)
    return path if os.path.exists(path) else None


def include_folders(tree):
    """The tree and the include folders its build adds."""
    folders = [tree]
    listed = tree_file(tree, "accuracy-includes")
    if listed:
        with open(listed) as f:
            folders += [os.path.join(tree, line.strip()) for line in f if line.strip()]
    return folders


def c_files(tree):
    skipped = set(SKIPPED)
    listed = tree_file(tree, "accuracy-skip")
    if listed:
        with open(listed) as f:
            skipped |= {line.strip() for line in f if line.strip()}
    out = []
    for dirpath, _, names in os.walk(tree):
        for n in sorted(names):
            rel = os.path.relpath(os.path.join(dirpath, n), tree)
            if n.endswith(".c") and n not in skipped and rel not in skipped:
                out.append(os.path.join(dirpath, n))
    return sorted(out)


def resolve(name, caller_file, files_of):
    """The defining file of a callee named `name` called from `caller_file`,
    or None when the tree defines no such function (or several, none of
    them in the caller's file)."""
    files = files_of.get(name)
    if not files:
        return None
    if caller_file in files:
        return caller_file
    return next(iter(files)) if len(files) == 1 else None


# ------------------------------------------------------------------ compiler

NODE = re.compile(r'node: \{ title: "([^"]*)" label: "([^"\\]*)(?:\\n([^"\\]*?):(\d+:\d+))?')
# A function of the compiler's own graph dump and the functions whose
# address it takes ("References: name/order (addr)").
DUMP_NODE = re.compile(r"^(\S+)/\d+ \((.*)\)")
DUMP_ADDRESS = re.compile(r"(\S+)/\d+ \(addr\)")
EDGE = re.compile(r'edge: \{ sourcename: "([^"]*)" targetname: "([^"]*)"')


def compiler_graph(tree, files, work):
    folder = os.path.join(work, "gcc")
    os.makedirs(folder, exist_ok=True)
    defines = tree_file(tree, "accuracy-defines.h")
    files_of, unit_calls, unit_references, failed = {}, [], [], []
    tree_names = {n for _, _, names in os.walk(tree) for n in names}
    for i, path in enumerate(files):
        stem = "u%03d" % i
        command = ["gcc", "-c", "-O0", "-fno-inline", "-fcallgraph-info=su,da",
                   "-fdump-ipa-cgraph", "-w",
                   "-I" + os.path.dirname(path)] + ["-I" + d for d in include_folders(tree)]
        if defines:
            command += ["-include", defines]
        result = subprocess.run(command + [path, "-o", stem + ".o"],
                                cwd=folder, capture_output=True, text=True)
        ci = os.path.join(folder, stem + ".ci")
        if result.returncode != 0 or not os.path.exists(ci):
            failed.append(os.path.relpath(path, tree))
            continue
        # A function's file is the one its definition is written in (a
        # header's static function, one a macro of a header defines), named
        # without its folder as the program's reports name it.
        unit = os.path.basename(path)
        names, where, places = {}, {}, set()
        unit_edges = []
        with open(ci, encoding="utf-8", errors="replace") as f:
            for line in f:
                m = NODE.search(line)
                if m:
                    names[m.group(1)] = m.group(2)
                    if "shape : ellipse" not in line:
                        # A header without include guard included twice
                        # defines its functions again (under other names,
                        # by macros); a reader reads a header once per
                        # file, so the second reading is left out.
                        place = (m.group(3), m.group(4))
                        if m.group(4) and place in places:
                            continue
                        places.add(place)
                        # A #line of a generated file names its grammar,
                        # no file of the tree: the unit is the file then.
                        written = m.group(3) and os.path.basename(m.group(3))
                        where[m.group(1)] = written if written in tree_names else unit
                        files_of.setdefault(m.group(2), set()).add(where[m.group(1)])
                    continue
                m = EDGE.search(line)
                if m:
                    unit_edges.append((m.group(1), m.group(2)))
        # A static function's node may come after the edges that call it.
        for a, b in unit_edges:
            if a in where:
                unit_calls.append(((names.get(a, a), where[a]), names.get(b, b), where.get(b)))
        files_by_name = {names[t]: f for t, f in where.items()}
        for caller, b in address_references(folder, stem):
            if caller in files_by_name:
                unit_references.append(((caller, files_by_name[caller]), b, None))
    defined = {(n, f) for n, fs in files_of.items() for f in fs}
    return defined, resolved(unit_calls, files_of), resolved(unit_references, files_of), failed


def resolved(unit_edges, files_of):
    """(caller, callee) of (caller, callee name, callee file or None)."""
    edges = set()
    for caller, b, b_file in unit_edges:
        callee = (b, b_file or resolve(b, caller[1], files_of))
        if callee[1] and caller != callee:
            edges.add((caller, callee))
    return edges


def address_references(folder, stem):
    """(function, function whose address it takes) of a unit's graph dump."""
    out = set()
    for name in os.listdir(folder):
        if not (name.startswith(stem) and name.endswith("cgraph")):
            continue
        function = None
        with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
            for line in f:
                m = DUMP_NODE.match(line)
                if m:
                    function = m.group(2)
                elif function and line.startswith("  References:"):
                    out |= {(function, b) for b in DUMP_ADDRESS.findall(line)}
    return out


# ------------------------------------------------------------------ the program

INI = """[ﾃﾞｨﾚｸﾄﾘ設定]
{includes}[ﾃｷｽﾄ出力設定]
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


def add_tree_defines(folder, tree):
    """The build's command-line macros ("accuracy-defines.h" of the tree)
    added to the settings data in `folder`, as every source file starts
    with them."""
    defines = tree_file(tree, "accuracy-defines.h")
    if not defines:
        return
    with open(defines, "rb") as f:
        lines = f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    for name in os.listdir(folder):
        if name.endswith(".dat"):
            with open(os.path.join(folder, name), "ab") as f:
                f.write(b"\r\n" + lines)


def program_folder(program, tree, folder, ini):
    """A copy of the program in `folder` (made afresh) whose settings data
    ends with the tree's command-line macros ("accuracy-defines.h") and whose
    Mizenta.ini is `ini` with {includes} filled by the tree's include
    folders."""
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name in os.listdir(program):
        if name in ("mizenta", "libcalvex.so") or name.endswith(".dat"):
            shutil.copy2(os.path.join(program, name), folder)
    add_tree_defines(folder, tree)
    with open(os.path.join(folder, "Mizenta.ini"), "wb") as f:
        folders = include_folders(tree)
        includes = "標準ｲﾝｸﾙｰﾄﾞ設定数=%d\n" % len(folders) + "".join(
            "標準ｲﾝｸﾙｰﾄﾞ%d=%s/\n" % (i, d) for i, d in enumerate(folders))
        f.write(ini.replace("{includes}", includes).replace("\n", "\r\n").encode("cp932"))
    return folder


def program_graph(program, tree, files, work, macros_off):
    folder = program_folder(program, tree,
                            os.path.join(work, "mizenta-" + ("macros-off" if macros_off else "macros-on")),
                            INI.replace("{macros}", "ON" if macros_off else "OFF"))
    subprocess.run([os.path.join(folder, "mizenta")] + files, cwd=tree,
                   capture_output=True)
    return program_functions(folder, tree), program_edges(folder, tree)


def program_functions(folder, tree=None):
    """(name, file) of the CSV function list's functions that have a file."""
    defined = set()
    listing = os.path.join(folder, "Mz一覧Func.csv")
    if os.path.exists(listing):
        for line in read_cp932(listing).split("\n")[1:]:
            fields = line.split(",")
            # The file is the last field: an operator "," puts one more in.
            if len(fields) >= 5 and fields[0] and fields[-1]:
                defined.add((fields[0], fields[-1]))
    return defined


def program_edges(folder, tree=None):
    """(caller, callee) of the CSV function details' callee lines: names, or
    (name, file) pairs when `tree` is given (files relative to it; a callee's
    file as for the compiler's graph)."""
    calls = []
    details = os.path.join(folder, "Mz関数詳細情報.csv")
    caller, caller_file = None, None
    files_of = {}
    if os.path.exists(details):
        for line in read_cp932(details).split("\n"):
            fields = line.split(",")
            if fields[0] == "関数名" and len(fields) > 1:
                caller, caller_file = fields[1], None
            elif fields[0] == "ソース" and len(fields) > 1 and caller:
                caller_file = fields[1]
                files_of.setdefault(caller, set()).add(caller_file)
            elif fields[0] == "子関数" and caller:
                for callee in fields[1:]:
                    if callee:
                        calls.append((caller, caller_file, callee))
    if tree is None:
        return {(a, b) for a, _, b in calls}
    edges = set()
    for a, a_file, b in calls:
        b_file = resolve(b, a_file, files_of)
        if a_file and b_file:
            edges.add(((a, relative(tree, a_file)), (b, relative(tree, b_file))))
    return edges


def relative(tree, path):
    """A file as the reports name it: without its folder."""
    return os.path.basename(path)


# ------------------------------------------------------------------ cflow

CFLOW_LINE = re.compile(r"^\{\s*(\d+)\}\s*(\S+)\(\)(?: <(.*)>)?")


def cflow_graph(tree, files):
    if not shutil.which("cflow"):
        return None
    command = ["cflow", "--cpp"] + ["-I" + d for d in include_folders(tree)] + [
        "-A", "-A", "-d", "2", "--omit-arguments", "--print-level"]
    defines = tree_file(tree, "accuracy-defines.h")
    if defines:
        command[1] = "--cpp=cpp -include " + defines
    result = subprocess.run(command + files, cwd=tree, capture_output=True, text=True,
                            errors="replace")
    files_of, calls = {}, []
    root = None
    for line in result.stdout.split("\n"):
        m = CFLOW_LINE.match(line)
        if not m:
            continue
        level, name, where = int(m.group(1)), m.group(2), m.group(3)
        file = None
        if where and " at " in where:
            file = relative(tree, where.split(" at ")[1].rsplit(":", 1)[0])
            files_of.setdefault(name, set()).add(file)
        if level == 0:
            root = (name, file)
        elif level == 1 and root and root[1]:
            calls.append((root, name, file))
    defined = {(n, f) for n, fs in files_of.items() for f in fs}
    edges = {(a, (b, f)) for a, b, f in calls if f}
    return defined, edges


# ------------------------------------------------------------------ figures

def scores(truth_defs, truth_edges, truth_references, defs, edges):
    # Edges between functions the compiler saw defined, self-calls left out,
    # and no function whose address the caller only takes.
    edges = {(a, b) for a, b in edges if a in truth_defs and b in truth_defs and a != b and
             ((a, b) in truth_edges or (a, b) not in truth_references)}
    found = len(truth_edges & edges)
    return {
        "defs": "%d of %d (%.3f)" % (len(truth_defs & defs), len(truth_defs),
                                     len(truth_defs & defs) / max(1, len(truth_defs))),
        "missed_defs": sorted(truth_defs - defs),
        "precision": found / max(1, len(edges)),
        "recall": found / max(1, len(truth_edges)),
        "edges": len(edges),
        "missed": sorted(truth_edges - edges),
        "extra": sorted(edges - truth_edges),
    }


def shown(function):
    name, file = function
    return "%s (%s)" % (name, file)


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
        truth = compiler_graph(tree, files, tree_work)
        truth_defs, truth_edges, failed = truth[0], truth[1], truth[3]
        rows = [("Mizenta, macros not functions",
                 scores(*truth[:3], *program_graph(program, tree, files, tree_work, True))),
                ("Mizenta, macros as functions",
                 scores(*truth[:3], *program_graph(program, tree, files, tree_work, False)))]
        cflow = cflow_graph(tree, files)
        if cflow:
            rows.append(("cflow --cpp", scores(*truth[:3], *cflow)))
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
        if first["missed_defs"]:
            print("\nMissed definitions of Mizenta (macros not functions): %d" % len(first["missed_defs"]))
            for f in first["missed_defs"][:20]:
                print("  " + shown(f))
        for kind in ("missed", "extra"):
            print("\n%s edges of Mizenta (macros not functions): %d" % (kind.capitalize(), len(first[kind])))
            callers = Counter(a[0] for a, _ in first[kind])
            for a, b in first[kind][:40]:
                print("  %s -> %s" % (shown(a), shown(b)))
            if len(first[kind]) > 40:
                print("  … (%d more; by caller: %s)" % (
                    len(first[kind]) - 40, ", ".join("%s %d" % c for c in callers.most_common(8))))
        print()
    return status


if __name__ == "__main__":
    sys.exit(main())
