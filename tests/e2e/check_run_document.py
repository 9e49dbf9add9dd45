#!/usr/bin/python3
"""Runs the program on golden cases written in the JSON form and checks
the document against what a user can hold it to:

  - it is valid UTF-8 JSON and valid against docs/mizenta-run.schema.json;
  - it agrees with the CSV function list and function details of a second
    run over the same sources with the same settings (format csv, the list
    and the details on): the same functions in the same order, with the
    same files, lines, steps, stacks, remarks, types and arguments, and the
    same callers and callees as the calls give them;
  - the call graph "Mz関数呼出図.dot" beside it is drawn by Graphviz
    (dot -Tsvg), with one node per defined function and one edge per call
    (and a loop per function that calls itself).

Usage: check_run_document.py PROGRAM_FOLDER SOURCE_DIR CASE ..."""
import csv
import io
import json
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

try:
    import jsonschema
except ImportError:
    sys.exit("python3-jsonschema is missing: scripts/setup.sh installs it")

DOCUMENT = "Mz解析結果.json"
GRAPH = "Mz関数呼出図.dot"
problems = []


def fail(case, text):
    problems.append(f"{case}: {text}")


def install(program, case_dir, work, ini_text):
    """The program, its library and settings, and the sources in CP932."""
    prog = work / "prog"
    prog.mkdir()
    for name in ("mizenta", "libcalvex.so", "Mizenta設定.dat"):
        if (program / name).exists() and not (name.endswith(".dat") and
                                              (case_dir / "no-settings-data").exists()):
            shutil.copy(program / name, prog / name)
    (prog / "Mizenta.ini").write_bytes(ini_text.replace("\n", "\r\n").encode("cp932"))
    inputs = case_dir / "input"
    if (case_dir / "input-from").exists():
        inputs = case_dir.parent / (case_dir / "input-from").read_text().strip() / "input"
    src = work / "input"
    for f in inputs.rglob("*"):
        if f.is_file():
            target = src / f.relative_to(inputs)
            target.parent.mkdir(parents=True, exist_ok=True)
            target.write_bytes(f.read_text(encoding="utf-8").encode("cp932"))
    args = [str(src / line) for line in (case_dir / "args").read_text().split("\n") if line]
    subprocess.run([str(prog / "mizenta")] + args, cwd=src, capture_output=True, timeout=120)
    return prog


def csv_settings(ini_text):
    """The same settings in the CSV form with the function list and details on."""
    text = re.sub(r"(?m)^ﾌｧｲﾙ出力形式=.*$", "ﾌｧｲﾙ出力形式=csv", ini_text)
    return text.replace("[ﾌｧｲﾙ出力設定]\n", "[ﾌｧｲﾙ出力設定]\n関数一覧の表示=ON\n関数詳細情報の表示=ON\n", 1)


def read_csv(path):
    return list(csv.reader(io.StringIO(path.read_bytes().decode("cp932"), newline="")))


def detail_blocks(rows):
    """The blocks of the details: label -> fields, in order."""
    blocks, block = [], {}
    for row in rows:
        if not row or row == [""]:
            if block:
                blocks.append(block)
                block = {}
            continue
        block[row[0]] = row[1:]
    if block:
        blocks.append(block)
    return blocks


def names(fields):
    return [f for f in fields if f]


def check_against_csv(case, doc, csv_dir):
    functions = doc["functions"]
    by_id = {f["id"]: f for f in functions}
    if [f["id"] for f in functions] != list(range(len(functions))):
        fail(case, "ids are not the positions of the functions")
    callers = {f["id"]: [] for f in functions}
    callees = {f["id"]: [] for f in functions}
    for caller, callee in doc["calls"]:
        callees[caller].append(by_id[callee]["name"])
        callers[callee].append(by_id[caller]["name"])
    listed = [f for f in functions if f["defined"]]
    rows = read_csv(csv_dir / "Mz一覧Func.csv")[1:]
    got = [[f["name"], str(f["steps"]), ("×" if not f["stackExact"] else "") + str(f["stack"]),
            f["file"] or ""] for f in listed]
    want = [[r[0], r[1], r[2], r[4]] for r in rows]
    if got != want:
        fail(case, f"functions differ from the function list:\n  json {got}\n  csv  {want}")
    with_file = [f for f in functions if f["file"] is not None]
    blocks = detail_blocks(read_csv(csv_dir / "Mz関数詳細情報.csv"))
    if len(blocks) != len(with_file):
        fail(case, f"{len(with_file)} functions with a file, {len(blocks)} detail blocks")
    for f, b in zip(with_file, blocks):
        stack = ("×" if not f["stackExact"] else "") + str(f["stack"])
        expected = {
            "関数名": [f["name"]], "関数の型": [f["type"]],
            "ソース": [f["file"], str(f["line"])], "ステップ数": [str(f["steps"])],
            "使用スタック": [stack], "備考": [f["remark"]],
        }
        if "arguments" in f:  # kept by a reading with the details on
            expected["関数の引数"] = [f["arguments"]]
        for label, value in expected.items():
            if b.get(label) != value:
                fail(case, f"{f['name']}: {label} {value} in json, {b.get(label)} in the details")
        for label, linked in (("親関数", callers), ("子関数", callees)):
            if names(b.get(label, [])) != linked[f["id"]]:
                fail(case, f"{f['name']}: {label} {linked[f['id']]} from the calls, "
                           f"{names(b.get(label, []))} in the details")


def check_graph(case, doc, graph):
    if shutil.which("dot") is None:
        print(f"{case}: SKIPPED the drawing: Graphviz (dot) is not installed")
        return
    drawn = subprocess.run(["dot", "-Tsvg", str(graph)], capture_output=True, timeout=60)
    if drawn.returncode != 0 or drawn.stderr:
        fail(case, f"dot -Tsvg: status {drawn.returncode}, {drawn.stderr.decode(errors='replace')}")
        return
    svg = drawn.stdout.decode("utf-8")
    defined = [f for f in doc["functions"] if f["defined"]]
    loops = sum(1 for f in defined if f["recursive"])
    titles = re.findall(r'<g id="node\d+" class="node">\s*<title>([^<]*)</title>', svg)
    edges = re.findall(r'<g id="edge\d+" class="edge">', svg)
    labels = re.findall(r'<text[^>]*>([^<]*)</text>', svg)
    if len(titles) != len(defined):
        fail(case, f"{len(titles)} nodes drawn for {len(defined)} defined functions")
    for f in defined:
        if f["name"].replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;") not in labels:
            fail(case, f"no node labelled {f['name']}")
    if len(edges) != len(doc["calls"]) + loops:
        fail(case, f"{len(edges)} edges drawn for {len(doc['calls'])} calls and {loops} loops")


def check_case(program, source_dir, schema, case):
    case_dir = source_dir / "tests" / "golden" / case
    ini_text = (case_dir / "Mizenta.ini").read_text(encoding="utf-8")
    with tempfile.TemporaryDirectory() as temp:
        work = pathlib.Path(temp)
        (work / "json").mkdir()
        (work / "csv").mkdir()
        prog = install(program, case_dir, work / "json", ini_text)
        raw = (prog / DOCUMENT).read_bytes()
        try:
            doc = json.loads(raw.decode("utf-8"))
        except (UnicodeDecodeError, ValueError) as e:
            fail(case, f"not UTF-8 JSON: {e}")
            return
        errors = sorted(jsonschema.Draft202012Validator(schema).iter_errors(doc), key=str)
        for e in errors[:5]:
            fail(case, f"schema: {e.message} at {list(e.absolute_path)}")
        if (prog / GRAPH).exists():
            check_graph(case, doc, prog / GRAPH)
        else:
            fail(case, f"{GRAPH} not written")
        csv_prog = install(program, case_dir, work / "csv", csv_settings(ini_text))
        check_against_csv(case, doc, csv_prog)


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    program, source_dir = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    schema = json.loads((source_dir / "docs" / "mizenta-run.schema.json").read_text())
    jsonschema.Draft202012Validator.check_schema(schema)
    for case in sys.argv[3:]:
        check_case(program, source_dir, schema, case)
    for p in problems:
        print(p)
    print(f"{len(sys.argv) - 3} cases, {len(problems)} problems")
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
