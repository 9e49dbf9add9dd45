#!/usr/bin/env python3
"""Turns the timings of scripts/bench.sh into bench/RESULTS.md.

  write_results.py RESULTS_DIR OUTPUT_FILE

RESULTS_DIR holds results.tsv (corpus, tool, run, seconds, peak RSS in KiB,
status, CPU seconds), corpora.tsv (corpus, files, bytes) and, when present,
temporary.tsv (corpus, tool, run, most bytes of temporary files at once),
compare-glibc.md and problems.txt. The run is described by the BENCH_*
variables bench.sh sets.
"""

import datetime
import os
import platform
import statistics
import subprocess
import sys

MB = 1000 * 1000
TOOL_ORDER = ["mizenta", "baseline", "headers-once", "headers-unread", "cflow", "cflow-plain",
              "cflow-cpp", "cloc", "ctags", "floor", "wc"]
TOOL_NAMES = {
    "mizenta": "Mizenta (every report)",
    "baseline": "Mizenta, baseline build (every report)",
    "headers-once": "Mizenta, headers read once for the run (every report)",
    "headers-unread": "Mizenta, headers not read (every report)",
    "cflow": "GNU cflow -b",
    "cflow-plain": "GNU cflow -b, default allocator",
    "cflow-cpp": "GNU cflow --cpp -b",
    "floor": "floor (bench/floor.c: bytes and tokens)",
    "cloc": "cloc",
    "ctags": "universal-ctags",
    "wc": "wc -l",
}


# The memory each tool runs with: the program marks its own heap for large
# pages; the peers get the same through the C library's allocator setting.
LARGE_PAGES = "large pages"
TOOL_MEMORY = {"mizenta": "large pages (its own)", "baseline": "large pages (its own)",
               "headers-once": "large pages (its own)", "headers-unread": "large pages (its own)",
               "cflow-plain": "4 KB pages (default)"}


def read_tsv(path):
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        return [line.rstrip("\n").split("\t") for line in f if line.strip()]


class Timing:
    """The runs of one tool on one corpus."""

    def __init__(self):
        self.seconds, self.rss, self.cpu, self.failures = [], [], [], []

    def add(self, seconds, rss, status, cpu):
        if status == "ok":
            self.seconds.append(float(seconds))
            self.rss.append(int(rss))
            self.cpu.append(float(cpu))
        else:
            self.failures.append(status)

    def ok(self):
        return bool(self.seconds)

    def median_seconds(self):
        return statistics.median(self.seconds)

    def median_cpu(self):
        return statistics.median(self.cpu)

    def median_rss_mib(self):
        return statistics.median(self.rss) / 1024


def machine():
    model, cores, mem_kib = "?", os.cpu_count(), 0
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    model = line.split(":", 1)[1].strip()
                    break
        with open("/proc/meminfo") as f:
            for line in f:
                if line.startswith("MemTotal"):
                    mem_kib = int(line.split()[1])
    except OSError:
        pass
    return "%s, %s cores, %.1f GiB RAM, Linux %s" % (model, cores, mem_kib / 1024 / 1024,
                                                    platform.release())


def git(*args):
    try:
        return subprocess.run(["git"] + list(args), capture_output=True, text=True,
                              check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return ""


def program_line(program, env):
    commit = env.get("BENCH_COMMIT") or git("rev-parse", "--short=12", "HEAD") or "?"
    subject = git("log", "-1", "--format=%s", commit)
    text = "`%s`, commit %s (%s)" % (program, commit, subject)
    if env.get("BENCH_DIRTY", "0") not in ("", "0"):
        text += ", with %s uncommitted changed files in the working tree" % env["BENCH_DIRTY"]
    try:
        mtime = float(env["BENCH_PROGRAM_MTIME"])
    except (KeyError, ValueError):
        mtime = os.path.getmtime(program) if os.path.exists(program) else None
    if mtime is not None:
        built = datetime.datetime.fromtimestamp(mtime, datetime.timezone.utc)
        text += "; binary built %s" % built.strftime("%Y-%m-%d %H:%M UTC")
    if env.get("BENCH_PROGRAM_CHANGED") == "1":
        text += " (rebuilt during the bench; the timings are of the copy made at the start)"
    return text


def fmt_seconds(s):
    return "%.2f" % s if s < 100 else "%.0f" % s


def corpus_title(name, corpora_dir):
    recipe = ""
    try:
        with open(os.path.join(corpora_dir, name + ".ready"), encoding="utf-8") as f:
            recipe = f.read().strip()
    except OSError:
        pass
    if name == "glibc":
        source = recipe.replace("c+h of ", "").replace(".tar.xz", "")
        return "C: %s, its .c and .h files" % (source or "glibc")
    if name == "glibc-c":
        return "C: the .c files of the same glibc, headers followed by the program"
    if name == "lua":
        return "C, small: the .c files of ../shared/corpora/c/lua, headers followed by the program"
    if name == "cpp":
        return ("C++: ../shared/corpora/cpp/irrlicht; the program reads the .cpp files and "
                "follows their headers, the peers read the .cpp and .h files")
    if name == "vb":
        return "VB: the .cls, .bas, .frm and .vb files of ../shared/corpora/vb"
    if name == "pascal":
        return "Pascal: the .pas files of /usr/share/fpcsrc (Free Pascal sources)"
    if name == "java":
        return "Java: the .java files of OpenJDK 17 src.zip, all modules"
    if name.startswith("gen-"):
        return "Generated C, %s (bench/generate_corpus.py)" % name[4:].replace("x", "×")
    if name == "single":
        return "Generated C, one file of 100 MB"
    if name == "glibc-single":
        return "Real C, one file of 100 MiB: the glibc corpus joined"
    return name


def corpus_table(out, name, timings, sizes):
    files, size = sizes[name]
    base = timings.get((name, "mizenta"))
    out.append("| tool | memory | files | MB | wall s (median) | MB/s | peak RSS (MiB) | "
               "wall / Mizenta's | CPU s (median) | CPU / Mizenta's |")
    out.append("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|")
    for tool in TOOL_ORDER:
        t = timings.get((name, tool))
        if t is None:
            continue
        memory = TOOL_MEMORY.get(tool, LARGE_PAGES)
        if not t.ok():
            out.append("| %s | %s | %d | %.1f | failed: %s | | | | | |" % (
                TOOL_NAMES[tool], memory, files, size / MB, ", ".join(sorted(set(t.failures)))))
            continue
        s = t.median_seconds()
        both = base and base.ok()
        ratio = "%.2f" % (s / base.median_seconds()) if both and base.median_seconds() > 0 else "-"
        cpu_ratio = "%.2f" % (t.median_cpu() / base.median_cpu()) \
            if both and base.median_cpu() > 0 else "-"
        note = " (%d of %d runs failed)" % (len(t.failures), len(t.failures) + len(t.seconds)) \
            if t.failures else ""
        speed = "%.1f" % (size / MB / s) if s > 0 else "-"  # too quick for the clock
        out.append("| %s | %s | %d | %.1f | %s%s | %s | %.1f | %s | %s | %s |" % (
            TOOL_NAMES[tool], memory, files, size / MB, fmt_seconds(s), note, speed,
            t.median_rss_mib(), ratio, fmt_seconds(t.median_cpu()), cpu_ratio))
    out.append("")


def seconds_of(timings, corpus, tool):
    t = timings.get((corpus, tool))
    return t.median_seconds() if t and t.ok() else None


def cpu_of(timings, corpus, tool):
    t = timings.get((corpus, tool))
    return t.median_cpu() if t and t.ok() else None


def compare(rows, what, own, other, factor, unit="wall"):
    """A target `own <= factor * other`, shown with the ratio."""
    if own is None or other is None:
        return
    rows.append((what, "%s %s s against %s s (ratio %.2f)" % (
        unit, fmt_seconds(own), fmt_seconds(other), own / other if other else float("inf")),
        own <= factor * other))


def scaling(out, timings, sizes):
    scales = sorted((int(name[4:-1]), name) for name in sizes if name.startswith("gen-"))
    if len(scales) < 2:
        return []
    out.append("## Scaling: generated C corpus")
    out.append("")
    out.append("| scale | files | MB | Mizenta s | MB/s | peak RSS (MiB) | time / previous scale | "
               "CPU s | CPU / previous | wc -l s | wc -l time / previous |")
    out.append("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    ratios = []
    prev = None
    for scale, name in scales:
        files, size = sizes[name]
        t = timings.get((name, "mizenta"))
        ok = t is not None and t.ok()
        mz = t.median_seconds() if ok else None
        cpu = t.median_cpu() if ok else None
        wc = seconds_of(timings, name, "wc")
        ratio = cpu_ratio = wc_ratio = "-"
        if prev:
            pscale, pmz, pcpu, pwc = prev
            if cpu and pcpu:
                cpu_ratio = "%.2f" % (cpu / pcpu)
            if mz and pmz:
                ratio = "%.2f (%d×→%d×)" % (mz / pmz, pscale, scale)
                if scale == 2 * pscale:
                    ratios.append((pscale, scale, mz / pmz, cpu_ratio))
            if wc and pwc:
                wc_ratio = "%.2f" % (wc / pwc)
        out.append("| %d× | %d | %.1f | %s | %s | %s | %s | %s | %s | %s | %s |" % (
            scale, files, size / MB, fmt_seconds(mz) if mz else "failed",
            "%.1f" % (size / MB / mz) if mz else "-",
            "%.1f" % t.median_rss_mib() if ok else "-", ratio,
            fmt_seconds(cpu) if cpu else "-", cpu_ratio,
            fmt_seconds(wc) if wc else "-", wc_ratio))
        prev = (scale, mz, cpu, wc)
    out.append("")
    return ratios


SINGLE_FILES = [("single", "generated C"), ("glibc-single", "real C (the glibc corpus joined)")]


def single(out, timings, temporary, sizes):
    """The 100 MB files; their Mizenta timings, peak temporary bytes and sizes."""
    shown = []
    for name, what in SINGLE_FILES:
        if name not in sizes:
            continue
        if not shown:
            out.append("## One file of 100 MB")
            out.append("")
        files, size = sizes[name]
        t = timings.get((name, "mizenta"))
        wc = seconds_of(timings, name, "wc")
        peak = max(temporary.get(name, [0]))
        if t and t.ok():
            s = t.median_seconds()
            out.append("- %s: Mizenta %s s (%.1f MB/s), peak RSS %.1f MiB, temporary files at most "
                       "%.1f MB, on %.1f MB in one file%s." % (
                           what, fmt_seconds(s), size / MB / s, t.median_rss_mib(), peak / MB,
                           size / MB, "; wc -l: %s s" % fmt_seconds(wc) if wc else ""))
        else:
            out.append("- %s: Mizenta failed: %s." % (
                what, ", ".join(t.failures if t else ["not run"])))
        shown.append((name, t, peak, size))
    if shown:
        out.append("")
    return shown


def targets(out, timings, ratios, singles):
    rows = []
    mz, cflow, cloc = (seconds_of(timings, "glibc", tool) for tool in ("mizenta", "cflow", "cloc"))
    if mz and cflow:
        rows.append(("faster than cflow on the C corpus",
                     "Mizenta %s s, cflow %s s" % (fmt_seconds(mz), fmt_seconds(cflow)), mz < cflow))
    if mz and cloc:
        rows.append(("≥ 20× faster than cloc on the C corpus",
                     "cloc / Mizenta = %.2f" % (cloc / mz), cloc / mz >= 20))
    wall = lambda corpus, tool: seconds_of(timings, corpus, tool)  # noqa: E731
    cpu = lambda corpus, tool: cpu_of(timings, corpus, tool)  # noqa: E731
    compare(rows, "glibc-c: wall time at most ctags'", wall("glibc-c", "mizenta"),
            wall("glibc-c", "ctags"), 1.0)
    compare(rows, "glibc-c: CPU at most 2 × ctags'", cpu("glibc-c", "mizenta"),
            cpu("glibc-c", "ctags"), 2.0, "CPU")
    compare(rows, "glibc-c: CPU at most 0.5 × cflow -b's", cpu("glibc-c", "mizenta"),
            cpu("glibc-c", "cflow"), 0.5, "CPU")
    compare(rows, "glibc-c: CPU within 15 × the floor", cpu("glibc-c", "mizenta"),
            cpu("glibc-c", "floor"), 15.0, "CPU")
    for corpus in ("pascal", "java"):
        own, cloc_s = wall(corpus, "mizenta"), wall(corpus, "cloc")
        if own and cloc_s:
            rows.append(("%s: ≥ 6× faster than cloc" % corpus,
                         "cloc / Mizenta = %.2f" % (cloc_s / own), cloc_s / own >= 6))
        compare(rows, "%s: wall at most 1.5 × ctags'" % corpus, own, wall(corpus, "ctags"), 1.5)
    own, cloc_s = wall("vb", "mizenta"), wall("vb", "cloc")
    if own and cloc_s:
        rows.append(("vb: ≥ 4× faster than cloc", "cloc / Mizenta = %.2f" % (cloc_s / own),
                     cloc_s / own >= 4))
    cflow_cpp = wall("lua", "cflow-cpp")
    compare(rows, "lua, default header mode: at most cflow --cpp's time / 10",
            wall("lua", "mizenta"), cflow_cpp / 10 if cflow_cpp else None, 1.0)
    compare(rows, "lua, headers not read: at most 0.5 × cflow -b's time",
            wall("lua", "headers-unread"), wall("lua", "cflow"), 0.5)
    for low, high, r, cpu_ratio in ratios:
        rows.append(("time ratio ≤ 2.1 when the corpus doubles (%d×→%d×)" % (low, high),
                     "%.2f (CPU time: %s)" % (r, cpu_ratio), r <= 2.1))
    for name, t, peak, size in singles:
        if t and t.ok():
            rss = t.median_rss_mib()
            rows.append(("peak RSS ≤ 64 MiB on the 100 MB file (%s)" % name, "%.1f MiB" % rss,
                         rss <= 64))
            rows.append(("temporary files ≤ 2 × the 100 MB file (%s)" % name,
                         "%.1f MB" % (peak / MB), peak <= 2 * size))
    if not rows:
        return
    out.append("## Targets")
    out.append("")
    out.append("| target | measured | |")
    out.append("|---|---|---|")
    for what, measured, met in rows:
        out.append("| %s | %s | %s |" % (what, measured, "met" if met else "**not met**"))
    out.append("")


def main():
    results_dir, output = sys.argv[1], sys.argv[2]
    env = os.environ
    runs = int(env.get("BENCH_RUNS", "3"))
    trial = env.get("BENCH_TRIAL", "0") == "1" or runs < 3
    corpora_dir = env.get("BENCH_CORPORA_DIR", "build/bench/corpora")

    timings = {}
    for corpus, tool, _run, seconds, rss, status, cpu in read_tsv(
            os.path.join(results_dir, "results.tsv")):
        timings.setdefault((corpus, tool), Timing()).add(seconds, rss, status, cpu)
    sizes = {c: (int(f), int(b)) for c, f, b in read_tsv(os.path.join(results_dir, "corpora.tsv"))}
    temporary = {}
    temporary_path = os.path.join(results_dir, "temporary.tsv")
    if os.path.exists(temporary_path):
        for corpus, tool, _run, peak in read_tsv(temporary_path):
            if tool == "mizenta" and peak.isdigit():
                temporary.setdefault(corpus, []).append(int(peak))

    out = ["# Benchmark results" + (" (trial)" if trial else ""), ""]
    if trial:
        out.append("> Trial run (%d run%s per tool%s): it shows that the scripts work end to end; "
                   "the numbers are not the program's speed on a quiet machine." % (
                       runs, "" if runs == 1 else "s",
                       ", other work running on the machine" if env.get("BENCH_TRIAL") == "1" else ""))
        out.append("")
    out.append("- machine: %s" % machine())
    out.append("- date: %s; load average at start %s, at end %s" % (
        env.get("BENCH_STARTED", "?"), env.get("BENCH_START_LOAD", "?"), env.get("BENCH_END_LOAD", "?")))
    out.append("- program: %s" % program_line(env.get("BENCH_PROGRAM", "build/linux/mizenta"), env))
    out.append("- %d run%s per tool, the median is shown; wall-clock time and peak RSS of the whole "
               "process from `/usr/bin/time -v`; MB = 10^6 bytes; the files are read once before "
               "the runs of a corpus, so they come from the page cache; CPU s is user + system "
               "time, less disturbed than the wall clock by other work on the machine." % (
                   runs, "" if runs == 1 else "s"))
    out.append("- Mizenta: a copy of the program in `build/bench/work/mizenta` with a Mizenta.ini "
               "(Shift-JIS) that turns every list report on, hides repeated subtrees of the call tree "
               "(既述関数非表示) and registers `.h` files as C sources, so it reads the same files "
               "as the other tools; for the corpora glibc-c, lua, cpp and vb a second copy "
               "registers only the sources (`.h` not in its extension table, `cls:3` added) and "
               "follows their `#include` lines in the default header mode; the corpus folder is "
               "its argument (the file, for the 100 MB files); its reports are deleted before "
               "each run. For lua two more copies of the second set the header mode "
               "(ﾍｯﾀﾞｰﾌｧｲﾙ読取設定) to 一回読み込み (each header read once for the whole run) "
               "and to 読取禁止 (no header read, as cflow reads the sources).")
    out.append("- peers on the same file list, run from the corpus folder: `cflow -b -o /dev/null FILES`, "
               "`cflow --cpp -b -o /dev/null FILES` (each file through the C preprocessor first), "
               "`cloc --quiet --list-file=LIST` (one process; it skips files with duplicate "
               "contents after reading them), `ctags -f TMP -L LIST`, `wc -l --files0-from=LIST`, "
               "and the floor `bench/floor.c` (built with `cc -O2`; reads every byte, splits "
               "tokens and follows each `#include` found beside the including file once per "
               "listed file).")
    out.append("- memory: the program marks its own heap for large pages (transparent huge pages "
               "in madvise mode); every peer runs with `GLIBC_TUNABLES=glibc.malloc.hugetlb=1`, "
               "the same treatment from the C library's allocator, except the row marked "
               "\"default allocator\", which shows what 4 KB pages cost the peer. Runs are "
               "interleaved: each round runs every tool once, in the order of the table.")
    out.append("")

    for name in sizes:
        if name.startswith("gen-") and name != min((n for n in sizes if n.startswith("gen-")),
                                                   key=lambda n: int(n[4:-1])):
            continue
        if name in dict(SINGLE_FILES):
            continue
        out.append("## " + corpus_title(name, corpora_dir))
        out.append("")
        corpus_table(out, name, timings, sizes)
        if name == "glibc":
            path = os.path.join(results_dir, "compare-glibc.md")
            if os.path.exists(path):
                out.append("Functions found by Mizenta (its function list, Mz一覧Func.txt) against the "
                           "function definitions ctags lists (kind f, `.h` read as C):")
                out.append("")
                with open(path, encoding="utf-8") as f:
                    out.append(f.read().rstrip("\n"))
                out.append("")

    ratios = scaling(out, timings, sizes)
    singles = single(out, timings, temporary, sizes)
    targets(out, timings, ratios, singles)

    problems = os.path.join(results_dir, "problems.txt")
    if os.path.exists(problems) and os.path.getsize(problems) > 0:
        out.append("## Problems seen")
        out.append("")
        with open(problems, encoding="utf-8") as f:
            out.extend("- " + line.rstrip("\n") for line in f if line.strip())
        out.append("")

    with open(output, "w", encoding="utf-8") as f:
        f.write("\n".join(out))


if __name__ == "__main__":
    main()
