#!/usr/bin/env bash
# Builds everything and runs every test: Linux (and its scenarios under valgrind's memcheck),
# Linux with AddressSanitizer and UndefinedBehaviorSanitizer (and the allocation-failure
# sweep), the Windows release build under Wine, whose tests also build its ZIP package and
# check it (what CI tests is what ships), short runs of the fuzz targets, and line coverage of
# the extender's own code with its minimum, counted by the sanitized build's tests. Ends by
# checking that the machine is as it was: /dev/null still a character device, nothing of the
# run left in the temporary folder.
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

# Under CI the machine runs nothing else, so anything new in the system's temporary folder is
# the run's and fails it. On a developer's machine other programs of the same user make files
# there too, and nothing shows which are the run's: those are reported, not failed on. The
# run's own folder and /dev/null fail the run everywhere.
check_machine() {
    local status=$? found=() left
    [ -c /dev/null ] || found+=("/dev/null is no longer a character device: $(ls -ld /dev/null)")
    left=$(cd "$run_tmp" && find . -mindepth 1 -maxdepth 2 | sed 's|^\./||' | sort)
    [ -z "$left" ] || found+=("left in the run's temporary folder: $(echo $left)")
    rm -rf "$run_tmp"
    # What is new there, and still there a moment later: passing files are nobody's leftovers.
    left=$(new_temporaries)
    if [ -n "$left" ]; then
        sleep 2
        left=$(comm -12 <(printf '%s\n' "$left") <(new_temporaries))
    fi
    if [ -n "$left" ]; then
        if [ "${CI:-}" = true ]; then
            found+=("made in $system_tmp and left there: $(echo $left)")
        else
            echo "== warning: new in $system_tmp since the run began, by this run or another" \
                "program (under CI=true this fails the run): $(echo $left) ==" >&2
        fi
    fi
    if ((${#found[@]})); then
        echo "== the run did not leave the machine as it found it ==" >&2
        printf '%s\n' "${found[@]}" >&2
        exit 1
    fi
    exit "$status"
}
trap check_machine EXIT

ran=

for preset in $presets; do
    echo "== $preset =="
    start=$SECONDS
    if [ "$preset" = coverage ]; then
        # The sanitized build counts coverage: after its tests in this run, only the report.
        if [[ " $ran " == *" linux-asan "* ]]; then
            scripts/coverage.sh --report
        else
            scripts/coverage.sh
        fi
    else
        cmake --preset "$preset" >/dev/null
        cmake --build --preset "$preset"
        # Coverage counts of an earlier run would add to this one's.
        find "build/$preset" -name '*.gcda' -delete
        # Every test of the build in one run, two at a time. The test presets divide them (the
        # scenarios under memcheck and the sweep have presets of their own) for running apart.
        ctest --test-dir "build/$preset" --output-on-failure --parallel 2
    fi
    ran+=" $preset"
    echo "== $preset: $((SECONDS - start)) s =="
done
