#!/usr/bin/env python3
"""Fails when an #include runs back up the layer table of cmake/layers.txt.

Reads every #include "..." line of the engine's sources and names each file
and line that includes a header of a later layer, of a file outside every
layer, or of a library outside the chain it may not use.

    scripts/check-layers.py [project root]
"""
import fnmatch
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def read_layers(root):
    layers = []  # (name, patterns, users or None)
    with open(os.path.join(root, "cmake", "layers.txt"), encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].split()
            if not line:
                continue
            name, rest = line[0], line[1:]
            users = None
            if "used-by" in rest:
                at = rest.index("used-by")
                rest, users = rest[:at], rest[at + 1:]
            layers.append((name, rest, users))
    return layers


def layer_of(path, layers):
    for rank, (name, patterns, users) in enumerate(layers):
        if any(fnmatch.fnmatch(path, p) for p in patterns):
            return rank
    return None


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    layers = read_layers(root)
    problems = []
    files = 0
    for rank, (name, patterns, users) in enumerate(layers):
        folder = patterns[0].split("/")[0]
        base = os.path.join(root, folder)
        if not os.path.isdir(base):
            continue
        for dirpath, _, names in os.walk(base):
            for n in sorted(names):
                if not n.endswith((".h", ".cc")):
                    continue
                path = os.path.relpath(os.path.join(dirpath, n), root)
                own = layer_of(path, layers)
                if own != rank:
                    continue
                files += 1
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
                        _, _, target_users = layers[other]
                        if target_users is not None:
                            if own == other or any(fnmatch.fnmatch(path, u) for u in target_users):
                                continue
                            problems.append(f"{path}:{number}: {target} may be used only by "
                                            + " ".join(target_users))
                        elif other > own:
                            problems.append(f"{path}:{number}: {layers[own][0]} includes "
                                            f"{target} of the later layer {layers[other][0]}")
    for p in problems:
        print(p)
    print(f"check-layers: {files} files, {len(problems)} includes against the layer order")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
