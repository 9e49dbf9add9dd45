#!/usr/bin/env bash
# Compares the functions of the program's function list (Mz一覧Func.txt,
# text form) with the function definitions universal-ctags finds (kind f)
# in the same C files, and prints the result as a Markdown section.
#
#   compare-definitions.sh CORPUS_DIR FILE_LIST FUNCTION_LIST OUT_DIR
#
# FILE_LIST holds the paths relative to CORPUS_DIR; the full name lists are
# left in OUT_DIR (compare-*.txt).
set -eu
corpus=$(realpath "$1")
list=$(realpath "$2")
report=$3
out=$4
export LC_ALL=C

# Rows of the list: name padded to its column, then │ and four more fields;
# the last one is the file name. Two heading lines come first.
iconv -c -f CP932 -t UTF-8 "$report" | tr -d '\r' | tail -n +3 |
  awk -F'│' 'NF >= 5 { name = $1; sub(/ +$/, "", name); print name "\t" $NF "\t" ($2 + 0) }' \
  > "$out/compare-mizenta-steps.txt"
cut -f1,2 "$out/compare-mizenta-steps.txt" > "$out/compare-mizenta-rows.txt"
# Entries without a single step are declarations or macros rather than bodies.
awk -F'\t' '$3 == 0 { print $1 }' "$out/compare-mizenta-steps.txt" | sort -u > "$out/compare-mizenta-no-steps.txt"

# ctags sees .h files as C++ by default; here they are C, as for the program.
# Line numbers instead of search patterns keep tabs of the source out of the
# tag lines, and keep two definitions with the same text apart.
(cd "$corpus" && ctags --languages=C --langmap=C:+.h --kinds-C=fdp --fields=+KS --excmd=number \
  -f - -L "$list") \
  > "$out/compare-ctags-tags.txt" 2>/dev/null
awk -F'\t' '$4 == "function" { n = split($2, p, "/"); print $1 "\t" p[n] }' \
  "$out/compare-ctags-tags.txt" > "$out/compare-ctags-rows.txt"
awk -F'\t' '$4 == "macro" && /\tsignature:/ { print $1 }' "$out/compare-ctags-tags.txt" |
  sort -u > "$out/compare-ctags-macros.txt"
awk -F'\t' '$4 == "prototype" { print $1 }' "$out/compare-ctags-tags.txt" |
  sort -u > "$out/compare-ctags-prototypes.txt"

cut -f1 "$out/compare-mizenta-rows.txt" | sort -u > "$out/compare-mizenta-names.txt"
cut -f1 "$out/compare-ctags-rows.txt" | sort -u > "$out/compare-ctags-names.txt"
comm -12 "$out/compare-mizenta-names.txt" "$out/compare-ctags-names.txt" > "$out/compare-both.txt"
comm -23 "$out/compare-mizenta-names.txt" "$out/compare-ctags-names.txt" > "$out/compare-only-mizenta.txt"
comm -13 "$out/compare-mizenta-names.txt" "$out/compare-ctags-names.txt" > "$out/compare-only-ctags.txt"
sort -u "$out/compare-mizenta-rows.txt" > "$out/compare-mizenta-pairs.txt"
sort -u "$out/compare-ctags-rows.txt" > "$out/compare-ctags-pairs.txt"

count() { wc -l < "$1" | tr -d ' '; }
percent() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.1f %%", 100 * a / b; else print "-" }'; }
examples() { head -"$2" "$1" | sed 's/.*/`&`/' | paste -sd, - | sed 's/,/, /g'; }

m_rows=$(count "$out/compare-mizenta-rows.txt")
c_rows=$(count "$out/compare-ctags-rows.txt")
m_names=$(count "$out/compare-mizenta-names.txt")
c_names=$(count "$out/compare-ctags-names.txt")
m_pairs=$(count "$out/compare-mizenta-pairs.txt")
c_pairs=$(count "$out/compare-ctags-pairs.txt")
both=$(count "$out/compare-both.txt")
both_pairs=$(comm -12 "$out/compare-mizenta-pairs.txt" "$out/compare-ctags-pairs.txt" | wc -l | tr -d ' ')
only_m=$(count "$out/compare-only-mizenta.txt")
only_c=$(count "$out/compare-only-ctags.txt")
only_m_macro=$(comm -12 "$out/compare-only-mizenta.txt" "$out/compare-ctags-macros.txt" | wc -l | tr -d ' ')
comm -23 "$out/compare-only-mizenta.txt" "$out/compare-ctags-macros.txt" > "$out/compare-only-mizenta-not-macro.txt"
only_m_proto=$(comm -12 "$out/compare-only-mizenta-not-macro.txt" "$out/compare-ctags-prototypes.txt" | wc -l | tr -d ' ')
comm -23 "$out/compare-only-mizenta-not-macro.txt" "$out/compare-ctags-prototypes.txt" \
  > "$out/compare-only-mizenta-unknown.txt"
only_m_other=$(count "$out/compare-only-mizenta-unknown.txt")
no_steps=$(awk -F'\t' '$3 == 0' "$out/compare-mizenta-steps.txt" | wc -l | tr -d ' ')
no_steps_only=$(comm -12 "$out/compare-mizenta-no-steps.txt" "$out/compare-only-mizenta.txt" | wc -l | tr -d ' ')

cat <<EOF
| | Mizenta (関数一覧) | ctags (kind f) |
|---|---:|---:|
| entries | $m_rows | $c_rows |
| distinct names | $m_names | $c_names |
| distinct (name, file name) | $m_pairs | $c_pairs |

- names in both: **$both** ($(percent "$both" "$c_names") of the ctags names, $(percent "$both" "$m_names") of Mizenta's); (name, file name) in both: $both_pairs
- only in Mizenta: $only_m names; ctags has $only_m_macro of them as function-like macros, $only_m_proto only as prototypes, $only_m_other not at all (e.g. $(examples "$out/compare-only-mizenta-unknown.txt" 8))
- entries of Mizenta with STEP数 0: $no_steps; $no_steps_only of their names are only in Mizenta
- only in ctags: $only_c names; e.g. $(examples "$out/compare-only-ctags.txt" 8)
- full lists: \`$out/compare-*.txt\`
EOF
