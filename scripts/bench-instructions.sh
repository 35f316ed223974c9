#!/usr/bin/env bash
# Instructions per call of every benchmark case, counted by callgrind (valgrind): a measure
# that other work on the machine does not disturb, beside the times of scripts/bench.sh.
#   scripts/bench-instructions.sh [BUILD_FOLDER] [zxvto_bench options...]
# BUILD_FOLDER defaults to build/bench (cmake --preset bench && cmake --build --preset bench).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}
shift || true
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$out/dump" "$build/bin/zxvto_bench" --no-memory \
    --benchmark_min_time=0.05 --benchmark_repetitions=1 "$@" >/dev/null 2>"$out/log" ||
    { cat "$out/log" >&2; exit 1; }
python3 scripts/callgrind-summary.py "$out"/dump.*
