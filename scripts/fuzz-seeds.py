#!/usr/bin/env python3
"""Adds source files of real trees to the working corpus of a parser's fuzz
target: fuzz-seeds.py TARGET CORPUS MAX_LEN TREE... Each file of the
target's language that fits MAX_LEN becomes an input as language_fuzz.cc
reads it (two switch bytes, then the file), at most 400 per target; names
are content hashes, so a second call adds nothing new. Other targets take
nothing."""
import hashlib
import pathlib
import sys

# The file kinds of each parser's target, in the order byte 0 picks them.
KINDS = {"c_fuzz": ["c"], "cpp_fuzz": ["cpp", "cc", "cxx"], "java_fuzz": ["java"],
         "vb_fuzz": ["bas", "frm", "vb"], "delphi_fuzz": ["pas", "pp", "dpr"]}
LIMIT = 400


def main():
    target, corpus, max_len, trees = sys.argv[1], pathlib.Path(sys.argv[2]), int(sys.argv[3]), sys.argv[4:]
    kinds = KINDS.get(target)
    if not kinds:
        return
    files = sorted(p for tree in trees for p in pathlib.Path(tree).rglob("*")
                   if p.suffix[1:].lower() in kinds and p.is_file())
    added = 0
    for n, path in enumerate(files):
        body = path.read_bytes()
        if len(body) + 2 > max_len:
            continue
        kind = min(kinds.index(path.suffix[1:].lower()), 2)
        data = bytes([kind | ((n % 4) << 3) | ((n % 2) << 5), (n % 3) | ((n % 5 == 0) << 2)]) + body
        name = corpus / hashlib.sha1(data).hexdigest()[:16]
        if not name.exists():
            name.write_bytes(data)
        added += 1
        if added >= LIMIT:
            break
    print(f"   {added} seeds from {' '.join(trees)}")


if __name__ == "__main__":
    main()
