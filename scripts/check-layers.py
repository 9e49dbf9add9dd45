#!/usr/bin/env python3
"""Fails when an engine file sits outside every layer or an #include runs
back up the layer table of cmake/layers.txt.

Every .h and .cc file of the project outside the folders that are not the
engine's (tests, samples, bench, build, ...) belongs to the layer whose
folder holds it; a file in no layer's folder is named. Every #include "..."
of a layer's file is checked: it may name a header of its own layer or of
an earlier one, or of a library outside the chain that lists the file among
its users.

    scripts/check-layers.py [project root]
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
# Folders that hold no engine code: their sources are tests, samples to
# analyse, measurements and build products.
NOT_ENGINE = {"tests", "samples", "bench", "build", "scripts", "data", "cmake", ".git", ".ci"}


def read_layers(root):
    layers = []  # (name, folder, users or None)
    with open(os.path.join(root, "cmake", "layers.txt"), encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].split()
            if not line:
                continue
            users = None
            if "used-by" in line:
                at = line.index("used-by")
                line, users = line[:at], line[at + 1:]
            layers.append((line[0], line[1], users))
    return layers


def layer_of(path, layers):
    top = path.split("/", 1)[0]
    for rank, (_, folder, _) in enumerate(layers):
        if top == folder:
            return rank
    return None


def engine_files(root):
    for dirpath, dirnames, names in os.walk(root):
        rel = os.path.relpath(dirpath, root)
        if rel == ".":
            dirnames[:] = sorted(d for d in dirnames if d not in NOT_ENGINE and not d.startswith("."))
        for n in sorted(names):
            if n.endswith((".h", ".cc")):
                yield os.path.normpath(os.path.join(rel, n)).replace(os.sep, "/")


def check_includes(root, path, own, layers, problems):
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
        for number, text in enumerate(f, 1):
            m = INCLUDE.match(text)
            if not m or "/" not in m.group(1):
                continue
            target = m.group(1)
            if not os.path.exists(os.path.join(root, target)):
                continue  # a generated or relative header
            other = layer_of(target, layers)
            if other is None:
                problems.append(f"{path}:{number}: {target} belongs to no layer")
                continue
            target_users = layers[other][2]
            if target_users is not None:
                if own == other or path in target_users:
                    continue
                problems.append(f"{path}:{number}: {target} may be used only by " + " ".join(target_users))
            elif other > own:
                problems.append(f"{path}:{number}: {layers[own][0]} includes {target} "
                                f"of the later layer {layers[other][0]}")


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    layers = read_layers(root)
    problems = []
    files = 0
    for path in engine_files(root):
        own = layer_of(path, layers)
        if own is None:
            problems.append(f"{path}: in no layer's folder")
            continue
        files += 1
        check_includes(root, path, own, layers, problems)
    for p in problems:
        print(p)
    print(f"check-layers: {files} files, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
