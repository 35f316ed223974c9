#!/usr/bin/env bash
# Gives zxvto_bench.exe, and it alone, the stand-in property system in a build's Wine prefix.
# An override in WINEDLLOVERRIDES would reach the desktop process too, should the benchmark
# start it, and the stand-in shell32 lacks what that needs.
#   scripts/wine-bench-overrides.sh BUILD/wine-run.sh
set -euo pipefail
for dll in propsys shell32; do
    env -u WINEDLLOVERRIDES "$1" reg add \
        'HKCU\Software\Wine\AppDefaults\zxvto_bench.exe\DllOverrides' /v "$dll" /d native /f \
        </dev/null >/dev/null 2>&1
done
