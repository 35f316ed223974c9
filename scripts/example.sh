#!/usr/bin/env bash
# Builds the extender for Linux and the release DLL for Windows (the one the package ships) and
# runs the example scripts through the reference host against both (the Windows DLL under Wine,
# with the stand-in property system): examples/example.zek, then examples/tags.zek, which tags
# a fresh real file and reads the tags back.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

for preset in linux release; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target zekhost zxvto38r zek_standin
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'Quarterly figures\n' >"$work/linux-photo.jpg"
printf 'Quarterly figures\n' >"$work/windows-photo.jpg"

echo "== libzxvto38r.so =="
build/linux/bin/zekhost examples/example.zek
build/linux/bin/zekhost --define "file=$work/linux-photo.jpg" examples/tags.zek

echo "== zxvto38r.dll (Wine) =="
build/release/wine-run.sh --start
trap 'build/release/wine-run.sh --stop; rm -rf "$work"' EXIT
build/release/wine-run.sh build/release/bin/zekhost.exe examples/example.zek
build/release/wine-run.sh build/release/bin/zekhost.exe \
    --define "file=Z:$(printf '%s' "$work/windows-photo.jpg" | tr / '\\')" examples/tags.zek
