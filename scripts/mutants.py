#!/usr/bin/env python3
"""One-line mutants of C++ sources, sampled with a seed; the helper of scripts/mutation.sh.

    mutants.py list SEED COUNT FILE...     prints COUNT mutants, one a line: FILE<TAB>LINE<TAB>WHAT
    mutants.py apply FILE LINE WHAT        rewrites line LINE of FILE as WHAT says

WHAT names the change by its operator and place on the line ("'<' -> '<=' @17"), so a mutant
can be applied again from the printed list alone. Every mutable line is equally likely, then
one of its changes: a table of a hundred rows does not drown the code around it.
"""

import random
import re
import sys

# Binary operators are written with a blank each side (clang-format), which tells them from
# template brackets, pointers and references.
SWAPS = [
    (" == ", " != "), (" != ", " == "),
    (" < ", " <= "), (" <= ", " < "), (" > ", " >= "), (" >= ", " > "),
    (" < ", " > "), (" > ", " < "),
    (" && ", " || "), (" || ", " && "),
    (" + ", " - "), (" - ", " + "), (" += ", " -= "), (" -= ", " += "),
    ("++", "--"), ("--", "++"),
    (" & ", " | "), (" | ", " & "), (" << ", " >> "), (" >> ", " << "),
    ("true", "false"), ("false", "true"),
]

NUMBER = re.compile(r"(?<![\w.])(0[xX][0-9a-fA-F]+|\d+)([uUlL]*)(?![\w.])")
WORD = re.compile(r"\w")


def mask(line):
    """The line with string and character literals and comments blanked out (same length)."""
    out = []
    i = 0
    while i < len(line):
        c = line[i]
        if line.startswith("//", i):
            out.append(" " * (len(line) - i))
            break
        if c in "\"'":
            j = i + 1
            while j < len(line) and line[j] != c:
                j += 2 if line[j] == "\\" else 1
            out.append(c + " " * (min(j, len(line)) - i - 1) + (c if j < len(line) else ""))
            i = j + 1
            continue
        out.append(c)
        i += 1
    return "".join(out)[: len(line)]


def mutable_lines(lines):
    """(index, masked text) of each line of code a mutant may change."""
    in_comment = False
    for index, line in enumerate(lines):
        stripped = line.strip()
        if in_comment:
            in_comment = "*/" not in stripped
            continue
        if stripped.startswith("/*"):
            in_comment = "*/" not in stripped
            continue
        if not stripped or stripped.startswith(("//", "#", "static_assert", "namespace", "}")):
            continue
        if stripped.startswith(("template", "using ", "struct ", "class ", "enum ")):
            continue
        yield index, mask(line)


def changes(masked):
    """Every change of one masked line: (description, function from the line to the mutant)."""
    found = []
    for old, new in SWAPS:
        start = 0
        while (at := masked.find(old, start)) >= 0:
            start = at + 1
            if old.strip() in ("true", "false") and (
                (at > 0 and WORD.match(masked[at - 1]))
                or (at + len(old) < len(masked) and WORD.match(masked[at + len(old)]))
            ):
                continue
            if old in ("++", "--") and masked[at - 1 : at] == old[0]:
                continue
            found.append((f"'{old.strip()}' -> '{new.strip()}' @{at}", old, new, at))
    for match in NUMBER.finditer(masked):
        text = match.group(1)
        value = int(text, 16) if text[:2].lower() == "0x" else int(text)
        replacement = value + 1 if value != 1 else 0
        new = hex(replacement) if text[:2].lower() == "0x" else str(replacement)
        found.append((f"'{text}' -> '{new}' @{match.start()}", text, new, match.start()))
    code = masked.strip()
    if code.startswith("if (") and code.endswith(") {"):
        at = masked.index("if (") + 4
        end = masked.rindex(") {")
        found.append((f"negate condition @{at}", None, None, at))
        del end
    if (
        code.endswith(";")
        and not code.startswith(("return", "case", "default", "const ", "static "))
        and "{" not in code and "}" not in code
        and code.count("(") == code.count(")")
        and not re.match(r"^[\w:<>,\s*&]+\s[\w*&]+\s*(=|\{|;|\()", code)
    ):
        found.append(("delete statement", None, None, 0))
    return found


def apply(line, what):
    """The mutant of one line that WHAT describes."""
    if what == "delete statement":
        indent = line[: len(line) - len(line.lstrip())]
        return indent + ";  // mutant: statement deleted\n"
    if what.startswith("negate condition @"):
        at = int(what.rsplit("@", 1)[1])
        end = line.rindex(") {")
        return line[:at] + "!(" + line[at:end] + ")" + line[end:]
    match = re.fullmatch(r"'(.*)' -> '(.*)' @(\d+)", what)
    old, new, at = match.group(1), match.group(2), int(match.group(3))
    # Operators were matched with their blanks; find the bare text at or after the place.
    at = line.index(old, at)
    return line[:at] + new + line[at + len(old) :]


def main(argv):
    if len(argv) >= 4 and argv[1] == "list":
        rng = random.Random(int(argv[2]))
        count = int(argv[3])
        candidates = []
        for path in sorted(argv[4:]):
            with open(path, encoding="utf-8") as source:
                lines = source.readlines()
            for index, masked in mutable_lines(lines):
                options = changes(masked)
                if options:
                    candidates.append((path, index + 1, options))
        picked = set()
        while len(picked) < count and len(picked) < sum(len(c[2]) for c in candidates):
            path, number, options = rng.choice(candidates)
            what = rng.choice(options)[0]
            if (path, number, what) not in picked:
                picked.add((path, number, what))
                print(f"{path}\t{number}\t{what}")
        return 0
    if len(argv) == 5 and argv[1] == "apply":
        path, number, what = argv[2], int(argv[3]), argv[4]
        with open(path, encoding="utf-8") as source:
            lines = source.readlines()
        before = lines[number - 1]
        lines[number - 1] = apply(before, what)
        if lines[number - 1] == before:
            return 1
        with open(path, "w", encoding="utf-8") as target:
            target.writelines(lines)
        print(f"{before.strip()}  =>  {lines[number - 1].strip()}")
        return 0
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
