#!/usr/bin/env python3
"""Times builds of the program on inputs made to be hard, doubling each time.

    hard_inputs.py BUILD_FOLDER [BUILD_FOLDER ...] [--runs N] [--steps N]

Each build (a folder with mizenta, libcalvex.so and Mizenta設定.dat) is
copied into a folder of its own, so that its single-instance lock is its
own, and run on:

  include  one source whose #include names a missing header of many
           parts ("x/y/x/y/.../z.h"), from 150 KB on;
  ini      "Mizenta.ini" with many include folders (all existing), from
           1,000 on;
  classes  a settings data file with many classes and one object each,
           read for one C++ source, from 10,000 on.

Prints one Markdown table per input: the size, and per build the CPU
seconds (user + system, the median of --runs) and the factor to the row
before. A linear cost doubles from row to row; a quadratic one quadruples.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

SETTINGS = "Mizenta設定.dat"


def cpu_seconds(command, cwd):
    """User + system seconds of one run of `command`."""
    process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    _, _, usage = os.wait4(process.pid, 0)
    return usage.ru_utime + usage.ru_stime


def install(build, folder):
    os.makedirs(folder)
    for name in ("mizenta", "libcalvex.so", SETTINGS):
        if os.path.exists(os.path.join(build, name)):
            shutil.copy(os.path.join(build, name), folder)


def write_cp932(path, lines):
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))


def prepare_include(work, kilobytes):
    n = kilobytes * 1024
    name = ("x/y/" * (n // 4 + 1))[:n] + "z.h"
    source = os.path.join(work, "a.c")
    with open(source, "w") as f:
        f.write('#include "%s"\nint main(void) { return 0; }\n' % name)
    return [source], None, None


def prepare_ini(work, folders):
    root = os.path.join(work, "inc")
    for i in range(folders):
        os.makedirs(os.path.join(root, "d%d" % i), exist_ok=True)
    lines = ["[ﾃﾞｨﾚｸﾄﾘ設定]", "標準ｲﾝｸﾙｰﾄﾞ設定数=%d" % folders]
    lines += ["標準ｲﾝｸﾙｰﾄﾞ%d=%s/d%d" % (i, root, i) for i in range(folders)]
    source = os.path.join(work, "a.c")
    with open(source, "w") as f:
        f.write("int main(void) { return 0; }\n")
    return [source], lines, None


def prepare_classes(work, classes):
    lines = ["#MZ設定Mode class定義"] + ["C%d(obj%d)" % (i, i) for i in range(classes)]
    source = os.path.join(work, "a.cpp")
    with open(source, "w") as f:
        f.write("int main() { return 0; }\n")
    return [source], None, lines


INPUTS = [
    ("include", "KB of the name", prepare_include, 150),
    ("ini", "include folders", prepare_ini, 1000),
    ("classes", "classes", prepare_classes, 10000),
]


def time_build(program_folder, work, prepared, runs):
    sources, ini, settings = prepared
    ini_path = os.path.join(program_folder, "Mizenta.ini")
    if ini is None:
        if os.path.exists(ini_path):
            os.remove(ini_path)
    else:
        write_cp932(ini_path, ini)
    settings_path = os.path.join(program_folder, SETTINGS)
    saved = settings_path + ".shipped"
    if settings is not None:
        shutil.copy(settings_path, saved)
        write_cp932(settings_path, settings)
    out = os.path.join(work, "out")
    command = [os.path.join(program_folder, "mizenta"), "-o", out] + sources
    try:
        return statistics.median(cpu_seconds(command, work) for _ in range(runs))
    finally:
        if settings is not None:
            shutil.move(saved, settings_path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("builds", nargs="+")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--steps", type=int, default=4)
    parser.add_argument("--only", default="")
    args = parser.parse_args()
    root = tempfile.mkdtemp(prefix="mz-hard-")
    programs = []
    for i, build in enumerate(args.builds):
        folder = os.path.join(root, "build%d" % i)
        install(os.path.abspath(build), folder)
        programs.append(folder)
    try:
        for name, unit, prepare, start in INPUTS:
            if args.only and name not in args.only.split(","):
                continue
            print("\n### %s\n" % name)
            print("| %s | %s |" % (unit, " | ".join(args.builds)))
            print("|---:|" + "---:|" * len(args.builds))
            last = [None] * len(programs)
            size = start
            for _ in range(args.steps):
                work = os.path.join(root, "%s-%d" % (name, size))
                os.makedirs(work)
                prepared = prepare(work, size)
                cells = []
                for k, program in enumerate(programs):
                    seconds = time_build(program, work, prepared, args.runs)
                    factor = " (×%.1f)" % (seconds / last[k]) if last[k] else ""
                    cells.append("%.2f s%s" % (seconds, factor))
                    last[k] = max(seconds, 0.005)
                print("| %d | %s |" % (size, " | ".join(cells)))
                sys.stdout.flush()
                shutil.rmtree(work)
                size *= 2
    finally:
        shutil.rmtree(root)


if __name__ == "__main__":
    main()
