#!/usr/bin/env bash
# scripts/check-layers.sh on small trees of our making: an include down the layers passes, one
# up the layers, into an unlisted folder or up from a nested layer fails.
#   check_layers_test.sh CHECK_SCRIPT WORK_DIR
set -uo pipefail
check=$1 work=$2
failures=0

# expect PASS|FAIL CASE FILE INCLUDE: a tree with layers top/, top/inner/ and bottom/ (and an
# unlisted folder other/), where FILE includes INCLUDE.
expect() {
    local want=$1 case_name=$2 file=$3 include=$4 tree=$work/$2
    rm -rf "$tree" && mkdir -p "$tree/top/inner" "$tree/bottom" "$tree/other"
    printf 'top\ntop/inner\nbottom\n' >"$tree/layers.txt"
    touch "$tree/top/a.h" "$tree/top/inner/b.h" "$tree/bottom/c.h" "$tree/other/d.h"
    printf '#include "%s"\n' "$include" >>"$tree/$file"
    if "$check" "$tree" >"$tree/out" 2>&1; then got=PASS; else got=FAIL; fi
    if [ "$got" != "$want" ]; then
        echo "FAIL [$case_name]: expected $want, got $got"
        cat "$tree/out"
        failures=$((failures + 1))
    fi
}

expect PASS down top/a.h bottom/c.h
expect PASS same_folder top/a.h top/a.h
expect PASS relative_same_folder bottom/c.h c.h
expect PASS into_nested_layer_below top/a.h top/inner/b.h
expect FAIL up bottom/c.h top/a.h
expect FAIL up_from_nested_layer top/inner/b.h top/a.h
expect FAIL into_unlisted_folder top/a.h other/d.h
expect FAIL relative_up top/inner/b.h ../a.h

[ "$failures" -eq 0 ] && echo "all cases passed"
exit $((failures > 0))
