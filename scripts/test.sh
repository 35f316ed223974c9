#!/usr/bin/env bash
# Builds everything and runs every test: Linux, Linux with AddressSanitizer and
# UndefinedBehaviorSanitizer, and the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
presets=${*:-linux linux-asan windows}

# The benchmarks run once, briefly, so that they keep working; their times are not checked
# (scripts/bench.sh measures).
bench_smoke() {
    local options=(--no-memory --benchmark_min_time=0.001 --benchmark_repetitions=1)
    case $1 in
    linux)
        if [ -x build/linux/bin/zxvto_bench ]; then
            echo "== $1: benchmark smoke run =="
            build/linux/bin/zxvto_bench "${options[@]}" >/dev/null
        fi
        ;;
    windows)
        echo "== $1: benchmark smoke run =="
        build/windows/wine-run.sh --start
        scripts/wine-bench-overrides.sh build/windows/wine-run.sh
        build/windows/wine-run.sh build/windows/bin/zxvto_bench.exe "${options[@]}" \
            </dev/null >/dev/null
        build/windows/wine-run.sh --stop
        ;;
    esac
}

for preset in $presets; do
    echo "== $preset =="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
    bench_smoke "$preset"
done
