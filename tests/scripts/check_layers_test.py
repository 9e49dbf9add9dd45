#!/usr/bin/env python3
"""The layer check on copies of the tree: it passes on the tree as it is and
fails on each wrong-way include or stray file put into a copy.

    tests/scripts/check_layers_test.py PROJECT_ROOT
"""
import os
import shutil
import subprocess
import sys
import tempfile

root = os.path.abspath(sys.argv[1])
checker = os.path.join(root, "scripts", "check-layers.py")
layer_folders = [line.split()[1] for line in open(os.path.join(root, "cmake", "layers.txt"), encoding="utf-8")
                 if line.split() and not line.startswith("#")]


def copy_tree(to):
    os.makedirs(os.path.join(to, "cmake"))
    shutil.copy(os.path.join(root, "cmake", "layers.txt"), os.path.join(to, "cmake"))
    for folder in layer_folders:
        shutil.copytree(os.path.join(root, folder), os.path.join(to, folder))


def check(tree):
    run = subprocess.run([sys.executable, checker, tree], capture_output=True, text=True)
    return run.returncode, run.stdout


def append(tree, path, text):
    with open(os.path.join(tree, path), "a", encoding="utf-8") as f:
        f.write(text)


# (what is done to the copy, the line the checker must print)
cases = [
    (lambda t: append(t, "tables/variable_table.cc", '#include "parsers/c_parser.h"\n'),
     "tables/variable_table.cc:"),
    (lambda t: append(t, "tables/type_table.h", '#include "driver/run_driver.h"\n'),
     "tables includes driver/run_driver.h of the later layer driver"),
    (lambda t: append(t, "report/report.h", '#include "context/options.h"\n'),
     "report includes context/options.h"),
    (lambda t: append(t, "tables/call_tree.cc", '#include "calvex/calvex.h"\n'),
     "calvex/calvex.h may be used only by"),
    (lambda t: (os.makedirs(os.path.join(t, "misc")), append(t, "misc/stray.cc", "int stray;\n")),
     "misc/stray.cc: in no layer's folder"),
]

failures = 0
with tempfile.TemporaryDirectory() as tmp:
    clean = os.path.join(tmp, "clean")
    copy_tree(clean)
    status, out = check(clean)
    if status != 0:
        print("the unchanged copy fails:\n" + out)
        failures += 1
    for number, (change, expected) in enumerate(cases):
        tree = os.path.join(tmp, f"case{number}")
        copy_tree(tree)
        change(tree)
        status, out = check(tree)
        if status == 0 or expected not in out:
            print(f"case {number}: expected a failure naming '{expected}', got {status}:\n{out}")
            failures += 1
print(f"check_layers_test: {len(cases) + 1} cases, {failures} failed")
sys.exit(1 if failures else 0)
