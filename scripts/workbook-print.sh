#!/usr/bin/env bash
# Prints the function list of a tree through the workbook and checks its
# pages: the Linux program writes "Mz解析結果.xlsx" (xls format, the function
# list on), LibreOffice turns it into a PDF without a display, and the pages
# of the sheet "関数一覧" are held against its rows: each page landscape,
# all five columns under the repeated header row (one page wide), and no
# more pages than the rows need. Installs LibreOffice Calc and
# poppler-utils when they are missing.
# Usage: workbook-print.sh BUILD_FOLDER [TREE]   (TREE: ../shared/corpora/vb/vbcorlib)
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
tree=$(cd "${2:-$here/../shared/corpora/vb/vbcorlib}" && pwd)

if ! command -v soffice >/dev/null || ! command -v pdftotext >/dev/null; then
  echo "workbook-print: installing libreoffice-calc-nogui poppler-utils"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends \
    libreoffice-calc-nogui poppler-utils >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program" "$work/profile"
cp "$build/mizenta" "$build/libcalvex.so" "$build/Mizenta設定.dat" "$work/program/"
# VB6 class modules (.cls) are read too: the sample tree is mostly classes.
printf '[ﾌｧｲﾙ出力設定]\r\n関数一覧の表示=ON\r\nﾌｧｲﾙ出力形式=xls\r\n[その他設定]\r\n%s\r\n' \
  '拡張子および言語=c:0,cpp:1,java:2,frm:3,bas:3,vb:3,pas:4,cls:3' | iconv -f UTF-8 -t CP932 \
  >"$work/program/Mizenta.ini"
"$work/program/mizenta" "$tree" >/dev/null 2>&1 || true
book=$work/program/Mz解析結果.xlsx
[ -f "$book" ] || { echo "workbook-print: no workbook was written"; exit 1; }
# A profile of its own: a LibreOffice the user runs is left alone.
soffice -env:UserInstallation="file://$work/profile" --headless --convert-to pdf \
  --outdir "$work" "$book" >/dev/null 2>&1
pdf=$work/Mz解析結果.pdf
[ -f "$pdf" ] || { echo "workbook-print: LibreOffice wrote no PDF"; exit 1; }

/usr/bin/python3 - "$book" "$pdf" "$tree" <<'EOF'
import math, re, subprocess, sys
import openpyxl

book, pdf, tree = sys.argv[1:4]
HEADER = ["関数名", "STEP数", "ｽﾀｯｸ", "その他", "ファイル名"]

sheet = openpyxl.load_workbook(book, read_only=True)["関数一覧"]
rows = sum(1 for _ in sheet.iter_rows(min_row=2, values_only=True))

text = subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True,
                      text=True, check=True).stdout
info = subprocess.run(["pdfinfo", "-f", "1", "-l", "100000", pdf], capture_output=True,
                      text=True, check=True).stdout
sizes = {int(n): (float(w), float(h)) for n, w, h in
         re.findall(r"Page +(\d+) size: +([\d.]+) x ([\d.]+)", info)}

failures = []
pages = []  # (page number, rows on it)
for number, page in enumerate(text.split("\f"), 1):
    lines = page.splitlines()
    head = next((i for i, l in enumerate(lines) if "関数名" in l and "STEP数" in l), None)
    if head is None:
        continue
    missing = [h for h in HEADER if h not in lines[head]]
    if missing:
        failures.append("page %d: the header row lacks %s" % (number, ", ".join(missing)))
    width, height = sizes.get(number, (0, 0))
    if width <= height:
        failures.append("page %d is not landscape (%gx%g pt)" % (number, width, height))
    pages.append((number, sum(1 for l in lines[head + 1:] if l.strip())))

if not pages:
    sys.exit("workbook-print: no page of the function list in the PDF")
printed = sum(n for _, n in pages)
per_page = pages[0][1]
needed = math.ceil(rows / per_page) if per_page else 0
if printed != rows:
    failures.append("%d rows printed of %d" % (printed, rows))
if len(pages) != needed:
    failures.append("%d pages where %d rows at %d a page need %d" %
                    (len(pages), rows, per_page, needed))
print("function list of %s: %d rows, %d pages with its header row, %d rows a page"
      % (tree, rows, len(pages), per_page))
for f in failures:
    print("FAILED: " + f)
if not failures:
    print("every page landscape, one page wide; %d pages for %d rows" % (len(pages), rows))
sys.exit(1 if failures else 0)
EOF
