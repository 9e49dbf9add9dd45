#!/usr/bin/env python3
"""Measures what the program finds in real C++ and Java trees.

    accuracy_classes.py PROGRAM_FOLDER WORK_FOLDER [--cpp TREE] [--java TREE]
                        [--java-base FOLDER] [--classpath JARS]

Definitions: the method (member function) definitions that universal-ctags
lists, keyed by class and name ("irr::scene::CFoo::render" for C++, the
innermost class's simple name and the method's for Java: "Inner::run"),
against the functions the program's function list shows with a file.
Overloads count once. A key is found too when the program shows it inside
namespaces ctags cannot see (opened by a macro). C++ is scored on every
definition, and on the live code: the definitions whose line g++'s
preprocessor keeps in some translation unit of the tree (the tree's
"accuracy-defines.h" and "accuracy-includes" as for the call edges; the
program gets the same macros).

Java call edges (the Java tree only; it must compile with javac alone):
the tree is compiled with javac and every invoke* instruction that javap -c
shows for its classes is an edge from the calling method to the method the
instruction names, bound to the class that declares it (its superclasses
and interfaces walked); calls inside a lambda belong to the method that
holds the lambda; constructors, static initializers, anonymous classes and
methods of no class of the tree (library calls) are left out, and so are
self-calls; an enum constant's body counts as its enumeration (the program
reads it so). What javac writes of its own is no method of the source
and left out: bridge methods (javap -v flags them ACC_BRIDGE; a call on
the class then reaches the method bridged to) and an enumeration's
values() and valueOf(String). Calls the source does not write but javac
does are kept and so count as misses: close() of try-with-resources and
iterator() of an enhanced for over an Iterable of the tree. The program's edges are read from its function details,
between methods of that truth, constructors left out. Precision and recall
are by class and method name.

Java runs (the Java tree): the same edges with the constructor calls of
methods added (`new Box(…)` an edge to Box::Box where the source declares
that constructor, as ctags lists it), measured for the program's three
header modes and for the files given in order and in reverse order; the
edges of the two orders must be the same. JARS (javac's -classpath) serve
javac alone: annotations the tree imports, for example.

Prints one Markdown table per measurement with the misses that explain it.
"""
import os
import re
import shutil
import subprocess
import sys
import zipfile
from collections import Counter, defaultdict

from accuracy import add_tree_defines, include_folders, program_edges, program_functions, read_cp932, tree_file

JAVA_BASE_ZIP = "/usr/lib/jvm/openjdk-17/lib/src.zip"

INI = """[ﾃﾞｨﾚｸﾄﾘ設定]
標準ｲﾝｸﾙｰﾄﾞ設定数={include_count}
{includes}[ﾌｧｲﾙ出力設定]
関数一覧の表示=ON
関数詳細情報の表示=ON
ﾌｧｲﾙ出力形式=csv
[その他設定]
拡張子および言語={extensions}
"""


def run_program(program, folder, args, cwd, extensions, includes=(), tree=None):
    """Runs the program over `args` (files or folders); its functions with
    a file, its call edges and the count of each kind of log line. With a
    `tree`, its build's macros are defined as the compiler has them."""
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name in os.listdir(program):
        if name in ("mizenta", "libcalvex.so") or name.endswith(".dat"):
            shutil.copy2(os.path.join(program, name), folder)
    if tree:
        add_tree_defines(folder, tree)
    lines = "".join("標準ｲﾝｸﾙｰﾄﾞ%d=%s/\n" % (i, d) for i, d in enumerate(includes))
    text = INI.format(include_count=len(includes), includes=lines, extensions=extensions)
    with open(os.path.join(folder, "Mizenta.ini"), "wb") as f:
        f.write(text.replace("\n", "\r\n").encode("cp932"))
    result = subprocess.run([os.path.join(folder, "mizenta")] + args, cwd=cwd,
                            capture_output=True)
    # An operator's key has blanks in the list ("operator =" forms).
    defined = {name.replace(" ", "") for name, _ in program_functions(folder)}
    edges = program_edges(folder)
    log = Counter()
    log_path = os.path.join(folder, "MizentaErrLog.txt")
    if os.path.exists(log_path):
        for line in read_cp932(log_path).split("\n"):
            if "を処理中" in line or not line.strip():
                continue
            # The kind of a line: its message without names and numbers.
            kind = re.sub(r"\[[^\]]*\]", "[]", line.split(": ", 1)[-1])
            log[re.sub(r"\d+", "N", kind.strip())] += 1
    return defined, edges, log, result.returncode


# ------------------------------------------------------------------ ctags

def ctags_methods(tree, language, lines=None, functions=None):
    """(key, file) of every method ctags finds; the key as the program
    writes it (see the module's text). `lines`, when given, gets the line
    of each key's first definition, and `functions` the qualified name of
    every C++ function, member or not, as ctags writes it."""
    args = ["ctags", "-R", "--languages=" + language, "-x",
            "--_xformat=%K|%N|%s|%p|%F|%n", "."]
    if language == "C++":
        args.insert(2, "--langmap=C++:+.h")
    out = subprocess.run(args, cwd=tree, capture_output=True, text=True,
                         errors="replace").stdout
    found = {}
    for line in out.split("\n"):
        parts = line.split("|")
        if len(parts) < 6:
            continue
        kind, name, scope, scope_kind, path = parts[0], parts[1], parts[2], parts[3], parts[4]
        if language == "C++":
            if kind == "function" and functions is not None:
                functions.add(scope + "::" + name if scope else name)
            if kind != "function" or scope_kind not in ("class", "struct", "union"):
                continue
            # The program's list shows an operator's key: its symbol (or
            # the type of a conversion) after the last "::".
            if name.startswith("operator "):
                name = name[len("operator "):].replace(" ", "").split("::")[-1]
            # An anonymous namespace is no part of the program's keys.
            scope = "::".join(p for p in scope.split("::") if not p.startswith("__anon"))
            key = scope + "::" + name
        else:
            if kind != "method" or not scope:
                continue
            key = scope.split(".")[-1] + "::" + name
        if key not in found and lines is not None:
            lines[key] = int(parts[5]) if parts[5].isdigit() else 0
        found.setdefault(key, path)
    return found


LINE_MARKER = re.compile(r'^# (\d+) "((?:[^"\\]|\\.)*)"')


def live_lines(tree, includes):
    """The lines of each file of the tree that g++'s preprocessor keeps in
    some translation unit ({relative path: set of line numbers}): ctags
    reads every branch of every #if, g++ (and the program) only the live
    ones. Files no translation unit reads are not in the map."""
    live = {}
    flags = ["-I" + d for d in include_folders(tree) + list(includes)]
    defines = tree_file(tree, "accuracy-defines.h")
    if defines:
        flags += ["-include", defines]
    for folder, dirs, names in os.walk(tree):
        dirs.sort()
        for name in sorted(names):
            if not name.endswith((".cpp", ".cc", ".cxx")):
                continue
            path = os.path.join(folder, name)
            result = subprocess.run(["g++", "-std=c++17", "-E", "-w", "-I" + folder] + flags +
                                    [path], capture_output=True, text=True, errors="replace")
            current, line = None, 0
            for text in result.stdout.split("\n"):
                m = LINE_MARKER.match(text)
                if m:
                    line = int(m.group(1))
                    source = os.path.normpath(os.path.join(folder, m.group(2)))
                    rel = os.path.relpath(source, tree)
                    current = None if rel.startswith("..") else live.setdefault(rel, set())
                    continue
                if current is not None and text.strip():
                    current.add(line)
                line += 1
    return live


def defined_in_program(key, defined, suffixes):
    """A key of ctags is found when the program lists it, or lists it
    inside namespaces that ctags cannot see (opened by a macro, as in
    `NS_BEGIN class C {…} NS_END`)."""
    return key in defined or key in suffixes


def definitions_table(label, truth, defined, suffixes=frozenset()):
    found = [k for k in truth if defined_in_program(k, defined, suffixes)]
    missed = sorted(k for k in truth if not defined_in_program(k, defined, suffixes))
    print("| %s | %d | %d | %.3f |" % (label, len(truth), len(found), len(found) / max(1, len(truth))))
    return missed


def print_misses(title, missed, truth, limit=30):
    print("\n%s: %d" % (title, len(missed)))
    by_file = Counter(truth[k] for k in missed)
    for k in missed[:limit]:
        print("  %s  (%s)" % (k, truth[k]))
    if len(missed) > limit:
        print("  … by file: %s" % ", ".join("%s %d" % c for c in by_file.most_common(10)))


def print_log(log, limit=12):
    print("\nLog lines by kind (file-processing lines left out): %d" % sum(log.values()))
    for kind, n in log.most_common(limit):
        print("  %6d  %s" % (n, kind))


# ------------------------------------------------------------------ javap

CLASS_HEAD = re.compile(r"^(?:[\w ]*?)(?:class|interface|enum|record) ([\w.$]+)"
                        r"(?:<.*?>)?(?: extends ([\w.$<>, ?]+?))?(?: implements ([\w.$<>, ?]+?))?(?: \{)?$")
# A constructor is named by its class's full name ("a.b.Box(int);").
METHOD_HEAD = re.compile(r"^  (?:[\w<>\[\], .$?]*? )?(?:[\w$]+\.)*([\w$]+)\((.*)\)(?: throws [\w.$, ]+)?;$")
INVOKE = re.compile(r"// (?:Interface)?Method (?:([\w/$]+)\.)?\"?([\w$<>]+)\"?:")
CLASSPATH = []  # javac's -classpath, from --classpath


def strip_generics(text):
    out, depth = "", 0
    for c in text:
        if c == "<":
            depth += 1
        elif c == ">":
            depth -= 1
        elif depth == 0:
            out += c
    return out


def simple_class(binary):
    """The program's name of a class, or None for an anonymous (or local)
    one: "a.b.Outer$Inner" -> "Inner"."""
    last = binary.split(".")[-1]
    parts = last.split("$")
    if any(p == "" or p[0].isdigit() for p in parts):
        return None
    return parts[-1]


def javap_graph(tree, work):
    out_dir = os.path.join(work, "classes")
    shutil.rmtree(out_dir, ignore_errors=True)
    os.makedirs(out_dir)
    sources = []
    for dirpath, _, names in os.walk(tree):
        sources += [os.path.join(dirpath, n) for n in names if n.endswith(".java")]
    argfile = os.path.join(work, "sources.txt")
    with open(argfile, "w") as f:
        f.write("\n".join(sources))
    classpath = ["-classpath", ":".join(CLASSPATH)] if CLASSPATH else []
    result = subprocess.run(["javac", "-nowarn", "-encoding", "UTF-8", "-proc:none", "-d", out_dir]
                            + classpath + ["@" + argfile], capture_output=True, text=True)
    if result.returncode != 0:
        print("javac failed:\n" + result.stderr[-2000:])
        return None
    class_files = []
    for dirpath, _, names in os.walk(out_dir):
        class_files += [os.path.join(dirpath, n) for n in names if n.endswith(".class")]
    listing = ""
    for i in range(0, len(class_files), 200):
        listing += subprocess.run(["javap", "-c", "-p", "-v"] + class_files[i:i + 200],
                                  capture_output=True, text=True).stdout
    supers, methods, calls = {}, defaultdict(set), []
    current, method = None, None
    for line in listing.split("\n"):
        m = CLASS_HEAD.match(strip_generics(line)) if not line.startswith(" ") else None
        if m:
            current = m.group(1)
            names = []
            for group in (m.group(2), m.group(3)):
                if group:
                    names += [n.strip() for n in group.split(",") if n.strip()]
            supers[current] = names
            method = None
            continue
        if current is None:
            continue
        m = METHOD_HEAD.match(line)
        if m:
            method = m.group(1)
            if method == current or method == current.split(".")[-1]:
                method = "<init>"
            elif line.strip() == "static {};":
                method = "<clinit>"
            first_of_name = method not in methods[current]
            methods[current].add(method)
            continue
        if line.startswith("    flags:") and method and "ACC_BRIDGE" in line:
            # A bridge javac adds (a visibility or a generic one) is no
            # method of the source: its call is no edge, and a call on the
            # class reaches the method it bridges to.
            if first_of_name:
                methods[current].discard(method)
            method = None
            continue
        if line.strip() == "static {};":
            method = "<clinit>"
            continue
        m = INVOKE.search(line)
        if m and method and "invoke" in line and "invokedynamic" not in line:
            owner = m.group(1).replace("/", ".") if m.group(1) else current
            calls.append((current, method, owner, m.group(2)))
    # An enumeration's values() and valueOf(String) are the compiler's.
    for cls, names in supers.items():
        if "java.lang.Enum" in names:
            methods[cls] -= {"values", "valueOf"}
    return supers, methods, calls


def declaring_class(cls, name, supers, methods, seen=None):
    """The class among cls and its supertypes (of the tree) that declares
    the method, or None."""
    seen = seen or set()
    if cls in seen or cls not in methods:
        return None
    seen.add(cls)
    if name in methods[cls]:
        return cls
    for s in supers.get(cls, []):
        found = declaring_class(s, name, supers, methods, seen)
        if found:
            return found
    return None


def constant_body_class(binary, supers):
    """An enum constant's body (`Op$1 extends Op`) is its enumeration, as
    the program reads it; other anonymous classes are None."""
    outer = binary.rsplit("$", 1)[0]
    if outer != binary and outer in supers.get(binary, []):
        return simple_class(outer)
    return None


def java_truth(supers, methods, calls, constructors=None, inherited=None):
    """Method definitions and method-to-method edges; with `constructors`
    (the keys of the constructors the source declares), the constructor
    calls of methods as edges too. `inherited`, a set, receives the edges
    to a method that a superclass of the called object's class declares."""
    defs = set()
    for cls, names in methods.items():
        simple = simple_class(cls) or constant_body_class(cls, supers)
        if simple is None:
            continue
        for n in names:
            if not n.startswith("<") and "$" not in n:
                defs.add(simple + "::" + n)
    edges = set()
    for cls, method, owner, name in calls:
        caller_class = simple_class(cls) or constant_body_class(cls, supers)
        if caller_class is None or method.startswith("<"):
            continue
        if name == "<init>" and constructors is not None and "$" not in method:
            created = simple_class(owner)
            if created and created + "::" + created in constructors:
                edges.add((caller_class + "::" + method, created + "::" + created))
            continue
        if name.startswith("<"):
            continue
        if method.startswith("lambda$"):
            method = method.split("$")[1]
            if method in ("static", "new"):
                continue
        if "$" in method or "$" in name:
            continue
        declaring = declaring_class(owner, name, supers, methods)
        if declaring is None or simple_class(declaring) is None:
            continue
        a, b = caller_class + "::" + method, simple_class(declaring) + "::" + name
        if a != b:
            edges.add((a, b))
            if declaring != owner and inherited is not None:
                inherited.add((a, b))
    return defs, edges


def is_constructor(key):
    parts = key.split("::")
    return len(parts) >= 2 and parts[-1] == parts[-2]


def edge_table(truth_defs, truth_edges, edges):
    edges = {(a, b) for a, b in edges
             if a in truth_defs and b in truth_defs and a != b and not is_constructor(b)}
    found = len(truth_edges & edges)
    precision, recall = found / max(1, len(edges)), found / max(1, len(truth_edges))
    print("| %d | %d | %d | %.3f | %.3f |" % (len(truth_edges), len(edges), found, precision, recall))
    return sorted(truth_edges - edges), sorted(edges - truth_edges)


def print_edges(title, edges, limit=30):
    print("\n%s: %d" % (title, len(edges)))
    for a, b in edges[:limit]:
        print("  %s -> %s" % (a, b))
    if len(edges) > limit:
        callers = Counter(b.split("::")[0] for _, b in edges)
        print("  … by callee class: %s" % ", ".join("%s %d" % c for c in callers.most_common(10)))


# ------------------------------------------------------------------ main

def measure_cpp(program, tree, work):
    tree = os.path.abspath(tree)
    name = os.path.basename(tree.rstrip("/"))
    includes = [d for d in include_folders(tree)[1:] + [os.path.join(tree, "include")]
                if os.path.isdir(d)]
    defined, _, log, status = run_program(program, os.path.join(work, name), [tree], tree,
                                          "c:0,cpp:1,cc:1,cxx:1,h:1,hpp:1", includes, tree)
    lines, functions = {}, set()
    truth = ctags_methods(tree, "C++", lines, functions)
    # Every ending "B::f" of a qualified key "A::B::f" of the program.
    suffixes = set()
    for key in defined:
        parts = key.split("::")
        suffixes.update("::".join(parts[i:]) for i in range(1, len(parts) - 1))
    print("## C++ %s: member functions with bodies (program exit status %d)\n" % (name, status))
    print("| definitions | ctags | found | share |")
    print("|---|---:|---:|---:|")
    missed = definitions_table("all", truth, defined, suffixes)
    # Files of which the program found nothing are the platform files that
    # the preprocessor leaves out (Direct3D, Win32, SDL …): ctags reads every
    # branch of every #if.
    read = {truth[k] for k in truth if defined_in_program(k, defined, suffixes)}
    definitions_table("in files it read", {k: f for k, f in truth.items() if f in read}, defined,
                      suffixes)
    # The live code: definitions on lines that g++'s preprocessor keeps.
    live = live_lines(tree, includes)
    alive = {k: f for k, f in truth.items() if f not in live or lines.get(k, 0) in live[f]}
    missed_live = definitions_table("live (g++ -E keeps the line)", alive, defined, suffixes)
    # The program reads a class local to a function as part of the function.
    def local(key):
        scope = key.split("::")[:-2]
        return any("::".join(scope[:i]) in functions for i in range(1, len(scope) + 1))
    definitions_table("live, classes local to a function left out",
                      {k: f for k, f in alive.items() if not local(k)}, defined, suffixes)
    print_misses("Missed member functions", missed, truth)
    print_misses("Of them in live code", missed_live, truth)
    print_log(log)
    print()


def measure_java_definitions(program, tree, work, label):
    tree = os.path.abspath(tree)
    defined, edges, log, status = run_program(program, os.path.join(work, label), [tree], tree,
                                              "java:2")
    truth = ctags_methods(tree, "Java")
    print("## Java %s: methods (program exit status %d)\n" % (label, status))
    print("| tree | ctags | found | share |")
    print("|---|---:|---:|---:|")
    missed = definitions_table(label, truth, defined)
    print_misses("Missed methods", missed, truth)
    print_log(log)
    print()
    return edges


def measure_java_edges(tree, work, edges):
    graph = javap_graph(os.path.abspath(tree), work)
    if graph is None:
        return
    truth_defs, truth_edges = java_truth(*graph)
    print("## Java call edges against javap -c (%d methods)\n" % len(truth_defs))
    print("| javap edges | program edges | both | precision | recall |")
    print("|---:|---:|---:|---:|---:|")
    missed, extra = edge_table(truth_defs, truth_edges, edges)
    print_edges("Missed edges", missed)
    print_edges("Extra edges", extra)
    print()


HEADER_MODES = ("通常", "一回読み込み", "読取禁止")


def java_sources(tree):
    out = []
    for dirpath, _, names in os.walk(tree):
        out += [os.path.join(dirpath, n) for n in names if n.endswith(".java")]
    return sorted(out)


def measure_java_runs(program, tree, work):
    """Constructor and method edges in every header mode and two file orders."""
    tree = os.path.abspath(tree)
    graph = javap_graph(tree, work)
    if graph is None:
        return
    constructors = {k for k in ctags_methods(tree, "Java") if is_constructor(k)}
    inherited = set()
    truth_defs, truth_edges = java_truth(*graph, constructors=constructors, inherited=inherited)
    truth_defs |= constructors
    made = {(a, b) for a, b in truth_edges if is_constructor(b)}
    print("## Java runs over %s: %d edges by javap -c, %d of them constructor calls, "
          "%d to inherited methods\n" % (os.path.basename(tree.rstrip("/")), len(truth_edges),
                                        len(made), len(inherited)))
    print("| header mode | order | edges | precision | recall | constructor recall "
          "| inherited recall | same as first order |")
    print("|---|---|---:|---:|---:|---:|---:|---|")
    files = java_sources(tree)
    misses = None
    for mode in HEADER_MODES:
        first = None
        for order, listed in (("as listed", files), ("reversed", files[::-1])):
            folder = os.path.join(work, "java-runs")
            extensions = "java:2\nﾍｯﾀﾞｰﾌｧｲﾙ読取設定=" + mode
            _, edges, _, _ = run_program(program, folder, listed, tree, extensions)
            # Calls made by constructors are left out on both sides: javac
            # moves field initialisers into every constructor.
            edges = {(a, b) for a, b in edges
                     if a in truth_defs and b in truth_defs and a != b and not is_constructor(a)}
            both = truth_edges & edges
            same = "" if first is None else ("yes" if edges == first else "no (%d differ)" % len(edges ^ first))
            first = edges if first is None else first
            print("| %s | %s | %d | %.3f | %.3f | %.3f | %.3f | %s |" % (
                mode, order, len(edges), len(both) / max(1, len(edges)),
                len(both) / max(1, len(truth_edges)), len(made & edges) / max(1, len(made)),
                len(inherited & edges) / max(1, len(inherited)), same))
            if misses is None:
                misses = (sorted(truth_edges - edges), sorted(edges - truth_edges),
                          sorted(inherited - edges))
    print_edges("Missed edges (first run)", misses[0])
    print_edges("Missed edges to inherited methods (first run)", misses[2])
    print_edges("Extra edges (first run)", misses[1])
    print()


def java_base_folder(requested, work):
    if requested == "none" or (requested and os.path.isdir(requested)):
        return requested
    # Not work/java.base: that is where the program runs over it.
    sources = os.path.join(work, "src")
    folder = os.path.join(sources, "java.base")
    if not os.path.isdir(folder):
        with zipfile.ZipFile(JAVA_BASE_ZIP) as z:
            for member in z.namelist():
                if member.startswith("java.base/") and member.endswith(".java"):
                    z.extract(member, sources)
    return folder


def main():
    args = sys.argv[1:]
    if len(args) < 2:
        print(__doc__)
        return 2
    program, work = os.path.abspath(args[0]), os.path.abspath(args[1])
    options = dict(zip(args[2::2], args[3::2]))
    cpp = options.get("--cpp", "../shared/corpora/cpp/irrlicht")
    java = options.get("--java", "../shared/corpora/java/commons-lang")
    base = java_base_folder(options.get("--java-base", "build/bench/corpora/java/java.base"), work)
    CLASSPATH.extend(p for p in options.get("--classpath", "").split(":") if p)
    os.makedirs(work, exist_ok=True)
    if os.path.isdir(cpp):
        measure_cpp(program, cpp, work)
    if os.path.isdir(java):
        edges = measure_java_definitions(program, java, work, os.path.basename(java.rstrip("/")))
        measure_java_edges(java, work, edges)
        measure_java_runs(program, java, work)
    if os.path.isdir(base):
        measure_java_definitions(program, base, work, "java.base")
    return 0


if __name__ == "__main__":
    sys.exit(main())
