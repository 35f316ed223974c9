#!/usr/bin/env bash
# Line coverage of the extender's own code (extender/, propstore/, properties/, status/,
# platform/; not the stand-in, not the host) after the tests of the linux-asan preset, whose
# build counts coverage as well, by folder. Fails below the given percentage of lines
# (default 95).
#   scripts/coverage.sh [MINIMUM]            builds, runs the tests, reports
#   scripts/coverage.sh --report [MINIMUM]   reports what the last run of those tests counted
#                                            (scripts/test.sh, right after it ran them)
set -euo pipefail
cd "$(dirname "$0")/.."
report_only=false
if [ "${1:-}" = --report ]; then
    report_only=true
    shift
fi
minimum=${1:-95}
build=build/linux-asan

if ! $report_only; then
    cmake --preset linux-asan >/dev/null
    cmake --build --preset linux-asan
    find "$build" -name '*.gcda' -delete
    ctest --preset linux-asan
fi

filters=()
for folder in extender propstore properties status platform; do
    filters+=(--filter "$PWD/$folder/")
done
# One pass writes the report by file into the build folder, prints the summary and checks the
# minimum; nothing is written anywhere else. Coverage files are looked for in the coverage
# build alone: the whole clone would take in other builds, and through a Wine prefix's drive
# letters, the whole machine.
status=0
gcovr --root . --object-directory "$build" --exclude-directories "$build/CMakeFiles/[0-9].*" \
    "${filters[@]}" --txt "$build/coverage.txt" --print-summary --fail-under-line "$minimum" \
    "$build" >"$build/coverage-summary.txt" || status=$?
# By folder, from the report by file.
awk '$2 ~ /^[0-9]+$/ && $3 ~ /^[0-9]+$/ && $1 != "TOTAL" {
         split($1, path, "/"); lines[path[1]] += $2; covered[path[1]] += $3
     }
     END { for (f in lines) printf "%-11s %5.1f%% (%d of %d lines)\n", f "/", 100 * covered[f] / lines[f], covered[f], lines[f] }' \
    "$build/coverage.txt" | sort
grep '^lines:' "$build/coverage-summary.txt" | sed 's/^lines:/all         /'
echo "coverage by file: $build/coverage.txt"
if ((status != 0)); then
    echo "coverage: below the minimum of $minimum % of lines, or gcovr failed (exit $status)" >&2
    exit "$status"
fi
