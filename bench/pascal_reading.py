"""A plain reading of Delphi sources for the edge sample (edge_sample.py):
routines with their body lines, the names a routine declares, and the
qualifiers after which a word may name a routine of the tree. Independent
of the program: comments and strings are blanked line by line, headers
and begin/end are counted on the words that remain.
"""
import os
import re

EXTENSIONS = (".pas", ".dpr", ".lpr")
WORD = re.compile(r"[A-Za-z_][\w]*")
ROUTINE_WORDS = {"procedure", "function", "constructor", "destructor", "operator"}
# Words that open a block closed by `end` inside a body.
OPENS_END = {"begin", "case", "try", "asm"}
# Words that open a type closed by `end` in a declaration part.
TYPE_OPENS_END = {"class", "record", "object", "interface", "dispinterface"}
DIRECTIVES = {"overload", "virtual", "override", "reintroduce", "static", "dynamic", "abstract",
              "cdecl", "stdcall", "register", "pascal", "safecall", "inline", "assembler",
              "message", "final", "platform", "deprecated", "experimental", "library",
              "varargs", "winapi", "export", "far", "near", "local"}
# Words after which a name is a type, a declaration or a label, not a call.
NOT_CALL_BEFORE = {"procedure", "function", "constructor", "destructor", "goto", "label",
                   "inherited", "class", "of", "is", "as", "type", "uses", "unit", "program"}


def read_text(path):
    with open(path, "rb") as f:
        data = f.read()
    for encoding in ("utf-8-sig", "cp932"):
        try:
            return data.decode(encoding)
        except UnicodeDecodeError:
            pass
    return data.decode("latin-1")


def code_lines(path):
    """The lines of a file with comments, directives and strings blanked
    (line numbers kept)."""
    text = read_text(path)
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if c == "{" or text.startswith("(*", i):
            close = "}" if c == "{" else "*)"
            j = text.find(close, i + 1)
            j = n if j < 0 else j + len(close)
            out.append("".join("\n" if ch == "\n" else " " for ch in text[i:j]))
            i = j
        elif text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif c == "'":
            j = i + 1
            while j < n and text[j] != "\n":
                if text[j] == "'":
                    if j + 1 < n and text[j + 1] == "'":
                        j += 2
                        continue
                    break
                j += 1
            out.append("''" + " " * max(0, j - i - 1))
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out).split("\n")


def tokens(lines):
    """(line number, lower-case word or character) of the code."""
    for number, line in enumerate(lines, 1):
        for m in re.finditer(r"[A-Za-z_]\w*|\S", line):
            yield number, m.group(0).lower(), m.group(0)


def routines_of_file(path):
    """(name, header line, first body line, last body line) of each routine
    with a body: methods as Class.Name, nested routines too."""
    lines = code_lines(path)
    toks = list(tokens(lines))
    found = []
    start = 0
    for k, (_, word, _) in enumerate(toks):
        if word == "implementation":
            start = k + 1
            break
    k = start

    def opens_type(k):
        """Whether the word at k opens a type that `end` closes (`= class`
        and not a forward `= class;` or a `class of`)."""
        return (toks[k][1] in TYPE_OPENS_END and toks[k - 1][1] in ("=", "packed", ":") and
                k + 1 < len(toks) and toks[k + 1][1] not in (";", "of"))

    def skip_type_block(k):
        depth = 1
        while k < len(toks) and depth:
            if toks[k][1] == "end":
                depth -= 1
            elif toks[k][1] == "record" or opens_type(k):
                depth += 1
            k += 1
        return k

    def parse_routine(k):
        """k at the routine word; returns the index after the routine."""
        header_line = toks[k][0]
        k += 1
        parts = []
        while k < len(toks) and WORD.fullmatch(toks[k][2] or ""):
            parts.append(toks[k][2])
            k += 1
            if k < len(toks) and toks[k][1] == "<":
                while k < len(toks) and toks[k][1] != ">":
                    k += 1
                k += 1
            if k < len(toks) and toks[k][1] == ".":
                k += 1
                continue
            break
        # Parameters, result type and directives up to the end of the header.
        depth = 0
        while k < len(toks):
            word = toks[k][1]
            if word == "(":
                depth += 1
            elif word == ")":
                depth -= 1
            elif word == ";" and depth == 0:
                following = toks[k + 1][1] if k + 1 < len(toks) else ""
                if following in DIRECTIVES:
                    k += 1
                    continue
                if following in ("forward", "external"):
                    while k < len(toks) and toks[k][1] != ";":
                        k += 1
                    k += 1
                    while k < len(toks) and toks[k][1] != ";":
                        k += 1
                    return k + 1
                k += 1
                break
            k += 1
        # Declaration part (nested routines read as routines of their own).
        while k < len(toks):
            word = toks[k][1]
            if word in ("begin", "asm"):
                break
            if word in ROUTINE_WORDS and toks[k - 1][1] not in ("=", ":", "of"):
                k = parse_routine(k)
                continue
            if opens_type(k):
                k = skip_type_block(k + 1)
                continue
            if word in ("implementation", "initialization", "finalization", "end"):
                return k
            k += 1
        if k >= len(toks):
            return k
        first = toks[k][0]
        depth = 0
        while k < len(toks):
            word = toks[k][1]
            if word in OPENS_END:
                depth += 1
            elif word == "end":
                depth -= 1
                if depth == 0:
                    if parts:
                        found.append((".".join(parts), header_line, first, toks[k][0]))
                    return k + 1
            k += 1
        return k

    while k < len(toks):
        word = toks[k][1]
        if word in ROUTINE_WORDS and (k == 0 or toks[k - 1][1] not in ("=", ":", "of")):
            k = parse_routine(k)
        elif k > 0 and opens_type(k):
            k = skip_type_block(k + 1)
        else:
            k += 1
    return found, lines


CONDITIONAL = re.compile(r"\{\$(ifdef|ifndef|ifopt|if|endif|ifend)\b", re.IGNORECASE)


def conditional_lines(path):
    """The numbers of the lines inside a {$IF…} group (which a build
    configuration may switch off)."""
    depth, inside = 0, set()
    for number, line in enumerate(read_text(path).split("\n"), 1):
        if depth > 0:
            inside.add(number)
        for m in CONDITIONAL.finditer(line):
            depth = max(0, depth + (1 if m.group(1).lower().startswith("if") and
                                    m.group(1).lower() != "ifend" else -1))
        if depth > 0:
            inside.add(number)
    return inside


def source_files(tree):
    for folder, _, files in sorted(os.walk(tree)):
        for name in sorted(files):
            if name.lower().endswith(EXTENSIONS):
                yield os.path.join(folder, name)


def declared_names(lines, first, last, header_line):
    """Parameters, locals and `with`-free declared names of a routine
    (lower case): words before ':' between its header and its body's end
    that are not followed by '='."""
    names = set()
    for number in range(header_line, last + 1):
        for m in re.finditer(r"([A-Za-z_]\w*(?:\s*,\s*[A-Za-z_]\w*)*)\s*:(?!=)", lines[number - 1]):
            names |= {w.strip().lower() for w in m.group(1).split(",")}
    return names


def tree_qualifiers(tree, unit_names):
    """Unit and class names of the tree, and names declared with one of its
    classes, after which a word may name a routine of the tree."""
    classes, declared = set(), []
    for path in source_files(tree):
        for line in code_lines(path):
            for m in re.finditer(r"\b(\w+)\s*=\s*(?:packed\s+)?(?:class|record|object|interface)\b",
                                 line, re.I):
                classes.add(m.group(1).lower())
            for m in re.finditer(r"([A-Za-z_]\w*(?:\s*,\s*[A-Za-z_]\w*)*)\s*:\s*(\w+)", line):
                for name in m.group(1).split(","):
                    declared.append((name.strip().lower(), m.group(2).lower()))
            for m in re.finditer(r"(\w+)\s*:=\s*(\w+)\s*\.\s*create\b", line, re.I):
                declared.append((m.group(1).lower(), m.group(2).lower()))
    objects = {v for v, t in declared if t in classes}
    return classes | objects | unit_names | {"self", "inherited", "result"}
