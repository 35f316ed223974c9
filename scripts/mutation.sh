#!/usr/bin/env bash
# Mutation testing: plants small one-line faults in the product code, one at a time, rebuilds
# the Linux library and its tests incrementally in build/mutation and runs the Linux tests
# against each. A mutant the tests do not notice is printed as a survivor; the score is
# killed / compiled. Too slow for CI (some ten seconds a mutant); run it by hand:
#
#   scripts/mutation.sh [-n COUNT] [-s SEED] [-t 'TEST COMMAND'] [-l] [-r LIST] [FILE...]
#
#   -n COUNT  mutants to try (default 20)       -s SEED  the sample's seed (default 1)
#   -t CMD    the test command, run from the clone (default: every Linux test but valgrind's
#             and the instruction budget's, two at a time, stopping at the first failure: a
#             mutant is judged by what it does, not by its speed)
#   -l        list the sampled mutants only
#   -r LIST   try the mutants of LIST, a file as -l prints them; each run writes its survivors
#             so to build/mutation/survivors.txt, to try them again after a new test
#   FILE...   mutate these files (default: every .cpp of the product and of common/)
#
# Changes: a comparison flipped or weakened, && and || swapped, + and - swapped, ++ and --,
# a bit operator or shift swapped, true and false, a number changed, an if's condition
# negated, a statement deleted. Mutants that do not compile are skipped and counted apart.
# The mutated file is restored after each mutant, on failure and on Ctrl-C; a copy kept in
# build/mutation/original restores it even after the script was killed, on its next run.
set -euo pipefail

cd "$(dirname "$0")/.."
clone=$PWD
build=build/mutation
count=20
seed=1
list_only=0
replay=
test_command="ctest --test-dir $build -j2 --stop-on-failure --timeout 120 --output-on-failure \
-LE 'valgrind|instructions'"
while getopts "n:s:t:lr:" option; do
    case $option in
    n) count=$OPTARG ;;
    s) seed=$OPTARG ;;
    t) test_command=$OPTARG ;;
    l) list_only=1 ;;
    r) replay=$OPTARG ;;
    *) sed -n '2,22s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))

if (($# > 0)); then
    files=("$@")
else
    # The product's own sources. Headers are left out (name them to include them): a mutant
    # of a header rebuilds most of the tree, twice. So is mingw/, which Linux does not build.
    mapfile -t files < <(git ls-files -- 'extender/*.cpp' 'propstore/*.cpp' 'properties/*.cpp' \
        'status/*.cpp' 'platform/*.cpp' 'common/*.cpp' | grep -v '^platform/mingw/')
fi

if [[ -n $replay ]]; then
    mapfile -t mutants < <(grep $'\t' "$replay")
else
    mapfile -t mutants < <(python3 scripts/mutants.py list "$seed" "$count" "${files[@]}")
fi
if ((list_only)); then
    printf '%s\n' "${mutants[@]}"
    exit 0
fi

# A file is mutated only while its original waits here, inside the build folder.
original_dir=$build/original
restore() {
    if [[ -d $original_dir ]]; then
        (cd "$original_dir" && find . -type f -print0) | while IFS= read -r -d '' saved; do
            cp "$original_dir/$saved" "$clone/$saved"
            rm "$original_dir/$saved"
        done
    fi
}
restore
trap restore EXIT
trap 'restore; exit 130' INT TERM

# The linux preset, built without optimisation or debug information: each mutant recompiles
# one file and relinks, and that is most of its cost.
mkdir -p "$build"
cmake --preset linux -B "$build" -DZEK_BUILD_BENCH=OFF -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O0 -DNDEBUG" \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O0 -DNDEBUG" >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log"; exit 1; }
echo "building the unmutated code in $build ..."
cmake --build "$build" -j2 >/dev/null
echo "checking that the tests pass before any mutant ..."
if ! GTEST_FAIL_FAST=1 bash -c "$test_command" >"$build/mutation-test.log" 2>&1; then
    echo "the tests fail without a mutant: see $build/mutation-test.log" >&2
    exit 1
fi

killed=0
compiled=0
uncompiled=0
survivors=()
index=0
: >"$build/survivors.txt.new"
for mutant in "${mutants[@]}"; do
    index=$((index + 1))
    IFS=$'\t' read -r file line what <<<"$mutant"
    mkdir -p "$original_dir/$(dirname "$file")"
    cp -p "$file" "$original_dir/$file"
    if ! change=$(python3 scripts/mutants.py apply "$file" "$line" "$what"); then
        restore
        continue
    fi
    label="$file:$line: $change"
    if ! cmake --build "$build" -j2 >"$build/mutation-build.log" 2>&1; then
        uncompiled=$((uncompiled + 1))
        echo "[$index/${#mutants[@]}] no compile  $label"
    else
        compiled=$((compiled + 1))
        # A mutant may loop and grow a string without end: its memory is bounded.
        if GTEST_FAIL_FAST=1 timeout 600 bash -c "ulimit -v 4000000; $test_command" \
            >"$build/mutation-test.log" 2>&1
        then
            survivors+=("$label")
            printf '%s\n' "$mutant" >>"$build/survivors.txt.new"
            echo "[$index/${#mutants[@]}] SURVIVED    $label"
        else
            killed=$((killed + 1))
            echo "[$index/${#mutants[@]}] killed      $label"
        fi
    fi
    restore
    # The restored file is newer than its mutant's object, so the next build compiles it again.
    touch "$file"
done
mv "$build/survivors.txt.new" "$build/survivors.txt"
# Leave the build as the code is.
cmake --build "$build" -j2 >/dev/null 2>&1 || true

echo
echo "seed $seed, $index mutants: $compiled compiled, $uncompiled did not compile"
if ((${#survivors[@]} > 0)); then
    echo "survivors:"
    printf '  %s\n' "${survivors[@]}"
fi
if ((compiled > 0)); then
    echo "score: $killed killed of $compiled compiled ($((100 * killed / compiled)) %)"
fi
