#!/usr/bin/env python3
"""Instructions per call of each benchmark case from callgrind's dumps (bench-instructions.sh).

Each dump holds one loop of one case, labelled "case@iterations"; the largest loop of a case
counts. Prints the cases, then each beside its bare calls as in the benchmark's own report."""
import re
import sys

PAIRS = [  # case, beside
    ("bare:trampoline", "bare:callback"), ("vtoVersion", "bare:callback"), ("vtoIsDebugBuild", "bare:callback"),
    ("vtoIsPSValid", "bare:callback"), ("error:bad-handle", "bare:callback"),
    ("vtoGetErrorText:9", "bare:callback"), ("vtoGetErrorText:903", "bare:callback"),
    ("vtoGetPropertyValue", "bare:GetPropertyValue"),
] + [(f"vtoGetPropertyNames:{mode}/{n}", f"bare:names-{mode}/{n}")
     for n in (10, 1000, 10000) for mode in ("text", "array")] + [
    (f"open+close/{n}", "bare:open+close") for n in (10, 1000, 10000, 100000)] + [
    (f"{case}/{n}", f"{case}/1000") for case in ("open+close", "close-random+reopen")
    for n in (10000, 100000)]


def main():
    best = {}
    for path in sys.argv[1:]:
        label, total = None, None
        with open(path, errors="replace") as dump:
            for line in dump:
                match = re.match(r"desc: Trigger: Client Request: (.+)@(\d+)$", line.strip())
                if match:
                    label = (match.group(1), int(match.group(2)))
                match = re.match(r"(?:summary|totals): (\d+)", line)
                if match:
                    total = int(match.group(1))
        if label and total is not None:
            case, iterations = label
            if iterations >= best.get(case, (0, 0))[0]:
                best[case] = (iterations, total / iterations)
    print("| case | instructions per call |\n|---|---:|")
    for case, (_, per_call) in sorted(best.items()):
        print(f"| {case} | {per_call:.0f} |")
    print("\n| case | instructions | beside | instructions | ratio |\n|---|---:|---|---:|---:|")
    for case, beside in PAIRS:
        if case in best and beside in best:
            a, b = best[case][1], best[beside][1]
            print(f"| {case} | {a:.0f} | {beside} | {b:.0f} | {a / b:.2f} |")


if __name__ == "__main__":
    main()
