#!/usr/bin/env bash
# Line coverage of the extender's own code (extender/, propstore/, properties/, status/,
# platform/; not the stand-in, not the host) after the tests of the coverage preset, by
# folder. Fails below the given percentage of lines (default 95).
#   scripts/coverage.sh [MINIMUM]
set -euo pipefail
cd "$(dirname "$0")/.."
minimum=${1:-95}
build=build/coverage

cmake --preset coverage >/dev/null
cmake --build --preset coverage
find "$build" -name '*.gcda' -delete
ctest --preset coverage

filters=()
for folder in extender propstore properties status platform; do
    filters+=(--filter "$PWD/$folder/")
done
# One summary per folder, then the whole, which must reach the minimum.
for folder in extender propstore properties status platform; do
    printf '%-11s ' "$folder/"
    gcovr --root . --object-directory "$build" --exclude-directories "$build/CMakeFiles" \
        --filter "$PWD/$folder/" --print-summary \
        --output /dev/null 2>/dev/null | grep "^lines:"
done
gcovr --root . --object-directory "$build" --exclude-directories "$build/CMakeFiles" \
    "${filters[@]}" --print-summary \
    --txt "$build/coverage.txt" --fail-under-line "$minimum" | grep '^lines:' | sed 's/^/all         /'
echo "coverage by file: $build/coverage.txt"
