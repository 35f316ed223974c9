#!/usr/bin/env bash
# Builds everything and runs every test: Linux, Linux with AddressSanitizer and
# UndefinedBehaviorSanitizer, and the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
presets=${*:-linux linux-asan windows}

for preset in $presets; do
    echo "== $preset =="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
