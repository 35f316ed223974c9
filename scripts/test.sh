#!/usr/bin/env bash
# Builds everything and runs every test: Linux (and its scenarios under valgrind's memcheck),
# Linux with AddressSanitizer and UndefinedBehaviorSanitizer (and the allocation-failure
# sweep), the Windows release build under Wine, whose tests also build its ZIP package and
# check it (what CI tests is what ships), short runs of the fuzz targets, and line coverage of
# the extender's own code with its minimum. Ends by checking that the machine is as it was:
# /dev/null still a character device, nothing of the run left in the temporary folder.
#   scripts/test.sh [PRESET...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
presets=${*:-linux linux-asan release fuzz coverage}

# The run leaves the machine as it found it. Its temporary files go to a folder of its own
# (TMPDIR for every step), removed at the end; the end checks that no step left anything
# there, made anything in the system's temporary folder or replaced /dev/null.
system_tmp=${TMPDIR:-/tmp}
temporaries() { find "$system_tmp" -mindepth 1 -maxdepth 1 -user "$(id -u)" -printf '%f\n' | sort; }
temporaries_before=$(temporaries)
new_temporaries() { comm -13 <(printf '%s\n' "$temporaries_before") <(temporaries) | sed '/^$/d'; }
run_tmp=$(mktemp -d "$system_tmp/zek-test.XXXXXX")
export TMPDIR=$run_tmp

check_machine() {
    local status=$? found=()
    [ -c /dev/null ] || found+=("/dev/null is no longer a character device: $(ls -ld /dev/null)")
    local left
    left=$(cd "$run_tmp" && find . -mindepth 1 -maxdepth 2 | sed 's|^\./||' | sort)
    [ -z "$left" ] || found+=("left in the run's temporary folder: $(echo $left)")
    rm -rf "$run_tmp"
    # What is new there, and still there a moment later: another program's passing files
    # (a compiler's, say) are not the run's.
    left=$(new_temporaries)
    if [ -n "$left" ]; then
        sleep 2
        left=$(comm -12 <(printf '%s\n' "$left") <(new_temporaries))
    fi
    [ -z "$left" ] || found+=("made in $system_tmp and left there: $(echo $left)")
    if ((${#found[@]})); then
        echo "== the run did not leave the machine as it found it ==" >&2
        printf '%s\n' "${found[@]}" >&2
        exit 1
    fi
    exit "$status"
}
trap check_machine EXIT

# Test presets that run on another preset's build.
declare -A more_tests=([linux]=linux-valgrind [linux-asan]=linux-sweep)

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
    windows | release)
        echo "== $1: benchmark smoke run =="
        build/$1/wine-run.sh --start
        scripts/wine-bench-overrides.sh build/$1/wine-run.sh
        build/$1/wine-run.sh build/$1/bin/zxvto_bench.exe "${options[@]}" </dev/null >/dev/null
        build/$1/wine-run.sh --stop
        ;;
    esac
}

for preset in $presets; do
    echo "== $preset =="
    start=$SECONDS
    if [ "$preset" = coverage ]; then
        scripts/coverage.sh
    else
        cmake --preset "$preset" >/dev/null
        cmake --build --preset "$preset"
        ctest --preset "$preset"
        for tests in ${more_tests[$preset]:-}; do
            echo "== $tests =="
            ctest --preset "$tests"
        done
        bench_smoke "$preset"
    fi
    echo "== $preset: $((SECONDS - start)) s =="
done
