#!/usr/bin/env python3
"""Runs the Linux program and the Windows program (under Wine) over the same
trees with every report on and compares the files they write, byte for byte.

    same_on_windows.py LINUX_BUILD WINDOWS_BUILD WORK_FOLDER TREE [TREE ...]

LINUX_BUILD holds mizenta, libcalvex.so and Mizenta設定.dat; WINDOWS_BUILD
mizenta.exe and calvex.dll (the settings data is the Linux build's, the same
bytes). The Windows program is given the tree as Z:\\… and the reports name
each source by its name, so they must match whole; a line that names a
path under the tree is compared with its two spellings made one.
Prints one line per tree and report; exit status 1 when any differs.
"""
import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
RUN_WINE = os.path.join(HERE, "..", "tests", "wine", "run-wine.sh")
INI = ("[ﾌｧｲﾙ出力設定]\r\n使用ｸﾗｽ確認=ON\r\n#define文確認=ON\r\nｸﾞﾛｰﾊﾞﾙ変数一覧=ON\r\n"
       "変数詳細情報の表示=ON\r\n型情報の表示=ON\r\n関数一覧の表示=ON\r\n関数詳細情報の表示=ON\r\n"
       "名前空間一覧の表示=ON\r\n関数の行数分布を出力=ON\r\n関数呼出図の出力=ON\r\n"
       "[その他設定]\r\n拡張子および言語=c:0,cpp:1,java:2,frm:3,bas:3,cls:3,ctl:3,vb:3,"
       "pas:4,dpr:4\r\n")


def program_folder(work, name, files):
    folder = os.path.join(work, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for path in files:
        shutil.copy(path, folder)
    with open(os.path.join(folder, "Mizenta.ini"), "wb") as f:
        f.write(INI.encode("cp932"))
    return folder


def written(folder, before):
    # Not the single-instance lock file the Linux program leaves.
    return {n for n in os.listdir(folder) if n not in before and not n.startswith(".")}


def main():
    linux, windows, work = sys.argv[1:4]
    trees = sys.argv[4:]
    os.makedirs(work, exist_ok=True)
    settings = os.path.join(linux, "Mizenta設定.dat")
    differing = 0
    for tree in trees:
        tree = os.path.abspath(tree)
        name = os.path.basename(tree.rstrip("/"))
        lin = program_folder(work, name + "-linux",
                             [os.path.join(linux, n) for n in ("mizenta", "libcalvex.so")] + [settings])
        win = program_folder(work, name + "-windows",
                             [os.path.join(windows, n) for n in ("mizenta.exe", "calvex.dll")] + [settings])
        before = set(os.listdir(lin)) | set(os.listdir(win))
        subprocess.run([os.path.join(lin, "mizenta"), tree], cwd=lin, capture_output=True)
        subprocess.run([RUN_WINE, os.path.join(win, "mizenta.exe"), "Z:" + tree.replace("/", "\\")],
                       cwd=win, capture_output=True)
        reports = sorted(written(lin, before) | written(win, before))
        same = 0
        for report in reports:
            a_path, b_path = os.path.join(lin, report), os.path.join(win, report)
            if not (os.path.exists(a_path) and os.path.exists(b_path)):
                print(f"{name}: {report} written by one program only")
                differing += 1
                continue
            a = open(a_path, "rb").read().replace(tree.encode(), b"{TREE}")
            b = open(b_path, "rb").read().replace(("Z:" + tree.replace("/", "\\")).encode(),
                                                  b"{TREE}")
            # A path under the tree: its separators in the Linux spelling.
            b = b"\n".join(line.replace(b"\\", b"/") if b"{TREE}" in line else line
                           for line in b.split(b"\n"))
            if a == b:
                same += 1
            else:
                differing += 1
                print(f"{name}: {report} DIFFERS")
        print(f"{name}: {same} of {len(reports)} reports identical")
    return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main())
