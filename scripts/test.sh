#!/usr/bin/env bash
# Builds everything and runs every test: Linux, Linux with AddressSanitizer and
# UndefinedBehaviorSanitizer, and the Windows release build under Wine, whose tests also build
# its ZIP package and check it: what CI tests is what ships.
#   scripts/test.sh [PRESET...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
presets=${*:-linux linux-asan release}

for preset in $presets; do
    echo "== $preset =="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
