#!/usr/bin/env bash
# scripts/setup.sh in a PATH of our making: every tool it looks for on PATH is linked there
# except the ones a case leaves out, beside a fake apt-get that records what it is asked for.
#   setup_test.sh SETUP_SCRIPT WORK_DIR
set -uo pipefail
setup=$1 work=$2
bash=$(command -v bash)
rm -rf "$work" && mkdir -p "$work"
failures=0

fail() {
    echo "FAIL [$case_name]: $*"
    failures=$((failures + 1))
}

# make_path MISSING_TOOL APT_GET_KIND: a bin folder without MISSING_TOOL and, when
# APT_GET_KIND is not "none", with an apt-get that logs its arguments and, for "working",
# installs MISSING_TOOL. A sudo that runs its command is there too, for runs as a user.
make_path() {
    local missing=$1 kind=$2 what
    bin=$work/$case_name/bin log=$work/$case_name/apt.log
    mkdir -p "$bin"
    : >"$log"
    while read -r what _; do
        [[ $what == /* || $what == "$missing" ]] && continue
        ln -s "$(command -v "$what")" "$bin/$what"
    done < <("$setup" --list)
    cat >"$bin/sudo" <<EOF
#!$bash
while [[ \$1 == *=* ]]; do export "\$1"; shift; done
exec "\$@"
EOF
    if [[ $kind != none ]]; then
        cat >"$bin/apt-get" <<EOF
#!$bash
echo "\$DEBIAN_FRONTEND \$*" >>'$log'
if [[ '$kind' == working && \$1 == install ]]; then
    '$(command -v ln)' -s '$(command -v "$missing")' '$bin/$missing'
fi
EOF
    fi
    chmod +x "$bin"/*
}

run_setup() { output=$(PATH=$bin "$bash" "$setup" "$@" 2>&1) && status=0 || status=$?; }

expect() { # STATUS LOG_TEXT OUTPUT_PATTERN...
    [[ $status == "$1" ]] || fail "exit status $status, expected $1; output: $output"
    [[ $(<"$log") == "$2" ]] || fail "apt-get was asked: '$(<"$log")', expected '$2'"
    shift 2
    local pattern
    for pattern in "$@"; do
        [[ $output == *$pattern* ]] || fail "no '$pattern' in: $output"
    done
}

install_log=$'noninteractive update -qq\nnoninteractive install -y -qq ninja-build'

case_name=all-present
output=$("$setup" 2>&1) && status=0 || status=$?
[[ $status == 0 && -z $output ]] || fail "status $status, output '$output' (expected 0 and nothing)"

case_name=installs-only-the-missing-package
make_path ninja working
run_setup
expect 0 "$install_log" "missing: ninja" "installing with apt-get: ninja-build"
[[ $output != *cmake* && $output != *googletest* ]] || fail "names packages that are present: $output"
run_setup
[[ $status == 0 && -z $output ]] || fail "second run: status $status, output '$output'"

case_name=dry-run-installs-nothing
make_path ninja working
run_setup --dry-run
expect 0 "" "missing: ninja" "would install: ninja-build"

case_name=no-apt-get
make_path ninja none
run_setup
expect 1 "" "missing: ninja" "no apt-get" "packages" "ninja-build"

case_name=install-that-leaves-it-missing
make_path ninja broken
run_setup
expect 1 "$install_log" "still missing after installing: ninja" "ninja-build"

case_name=unknown-option
make_path ninja working
run_setup --install-everything
expect 2 "" "usage"

((failures == 0)) && echo "setup.sh: all cases passed"
exit $((failures != 0))
