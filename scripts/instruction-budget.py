#!/usr/bin/env python3
"""Holds every benchmark case to its instruction budget (bench/instruction-budget.txt).

  scripts/instruction-budget.py check [BUILD_FOLDER]    # fails naming each case over budget
  scripts/instruction-budget.py update [BUILD_FOLDER]   # budgets = today's counts + 5 %

Counts are instructions per call under callgrind (scripts/bench-instructions.sh), which do not
depend on the machine's load; they do depend on the compiler and its options, so the budget is
only comparable with the build it was taken from (BUILD_FOLDER, default build/linux: the linux
preset, RelWithDebInfo). The cases of 10 000 and 100 000 names or stores are left out: their
set-up alone takes minutes under callgrind, and their 1 000 siblings run the same path (a run
of the rest takes about 10 s of CPU)."""
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUDGET = os.path.join(ROOT, "bench", "instruction-budget.txt")
MARGIN = 1.05
FILTER = "--benchmark_filter=^([^/]*|.*/[0-9]{1,4})$"  # every case up to the /1000 ones

HEADER = """\
# Instructions per call that each benchmark case may take: today's count + 5 %.
# Checked by scripts/instruction-budget.py check (ctest -L instructions in the linux preset);
# taken with scripts/instruction-budget.py update from the linux preset's zxvto_bench
# (RelWithDebInfo, GCC of Debian 12). Lower a budget when a change makes a case cheaper.
# case  counted  budget
"""


def measure(build):
    table = subprocess.run([os.path.join(ROOT, "scripts", "bench-instructions.sh"), build, FILTER],
                           check=True, stdout=subprocess.PIPE, text=True).stdout
    counts = {}
    for line in table.splitlines():
        if line == "":
            break  # the first table only: the ratios follow
        match = re.match(r"\| (\S+) \| (\d+) \|$", line)
        if match:
            counts[match.group(1)] = int(match.group(2))
    return counts


def read_budget():
    budget = {}
    with open(BUDGET) as lines:
        for line in lines:
            fields = line.split()
            if fields and not fields[0].startswith("#"):
                budget[fields[0]] = int(fields[2])
    return budget


def check(counts):
    budget = read_budget()
    failures = []
    for case in sorted(set(counts) | set(budget)):
        if case not in budget:
            failures.append(f"{case}: {counts[case]} instructions a call and no budget")
        elif case not in counts:
            failures.append(f"{case}: has a budget but was not measured")
        elif counts[case] > budget[case]:
            failures.append(f"{case}: {counts[case]} instructions a call, over its budget of "
                            f"{budget[case]}")
    for failure in failures:
        print(failure)
    print(f"{len(counts)} cases, {len(failures)} over or without a budget")
    return 1 if failures else 0


def update(counts):
    with open(BUDGET, "w") as out:
        out.write(HEADER)
        for case, count in sorted(counts.items()):
            out.write(f"{case} {count} {int(count * MARGIN + 0.5)}\n")
    print(f"{len(counts)} budgets written to {os.path.relpath(BUDGET, ROOT)}")
    return 0


def main():
    if len(sys.argv) not in (2, 3) or sys.argv[1] not in ("check", "update"):
        print(__doc__.split("\n\n")[1], file=sys.stderr)
        return 2
    build = sys.argv[2] if len(sys.argv) == 3 else os.path.join(ROOT, "build", "linux")
    counts = measure(os.path.abspath(build))
    return check(counts) if sys.argv[1] == "check" else update(counts)


if __name__ == "__main__":
    sys.exit(main())
