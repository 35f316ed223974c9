#!/usr/bin/env bash
# Builds everything and runs every test: Linux, Linux with AddressSanitizer and
# UndefinedBehaviorSanitizer, and the release build for Windows, whose tests run under Wine
# against the DLL that its ZIP package ships (and check the package itself).
#   scripts/test.sh [PRESET...]   one workflow per preset: linux, linux-asan, windows, release
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
presets=${*:-linux linux-asan release}

for preset in $presets; do
    echo "== $preset =="
    cmake --workflow --preset "$preset"
done
