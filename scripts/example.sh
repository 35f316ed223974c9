#!/usr/bin/env bash
# Builds the extender for Linux and for Windows and runs the example script through the
# reference host against both (the Windows DLL under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
script=${1:-examples/example.zek}

for preset in linux windows; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target zekhost zxvto38r
done

echo "== libzxvto38r.so =="
build/linux/bin/zekhost "$script"

echo "== zxvto38r.dll (Wine) =="
build/windows/wine-run.sh --start
trap 'build/windows/wine-run.sh --stop' EXIT
build/windows/wine-run.sh build/windows/bin/zekhost.exe "$script"
