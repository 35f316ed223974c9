#!/usr/bin/env bash
# Builds and runs the benchmarks (bench/) on Linux and, for the Windows DLL, under Wine; keeps
# each run's measurements in docs/performance/ and redraws the plot of docs/performance.md.
#   scripts/bench.sh [linux] [windows]      (both by default)
# Extra options for zxvto_bench go in ZEK_BENCH_ARGS, e.g. ZEK_BENCH_ARGS=--benchmark_filter=vto
set -euo pipefail
cd "$(dirname "$0")/.."
platforms=${*:-linux windows}
out=docs/performance
mkdir -p "$out"

for platform in $platforms; do
    case $platform in
    linux)
        cmake --preset bench >/dev/null
        cmake --build --preset bench
        build/bench/bin/zxvto_bench --tsv="$out/linux.tsv" ${ZEK_BENCH_ARGS:-} | tee build/bench/report.txt
        ;;
    windows)
        cmake --preset bench-windows >/dev/null
        cmake --build --preset bench-windows
        run=build/bench-windows/wine-run.sh
        "$run" --start
        "$run" build/bench-windows/bin/zxvto_bench.exe --tsv="Z:$PWD/$out/wine.tsv" \
            ${ZEK_BENCH_ARGS:-} </dev/null | tr -d '\r' | tee build/bench-windows/report.txt
        "$run" --stop
        ;;
    *)
        echo "unknown platform: $platform (linux or windows)" >&2
        exit 1
        ;;
    esac
done

if command -v python3 >/dev/null; then
    python3 scripts/plot-performance.py "$out" docs/performance.svg
fi
