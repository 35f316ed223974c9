#!/bin/sh
# Runs call scripts on a fresh real file, each in a process of its own.
#   run.sh [--wine] ZEKHOST WORK_DIR SCRIPT_DIR:NAME ...
# Each NAME.zek runs with "file" set to the file's absolute path and its transcript is compared
# with NAME.expected. With --wine, ZEKHOST is a command under Wine and the path is given as
# Windows sees it (drive Z: is the Unix root).
set -eu
wine=false
if [ "$1" = "--wine" ]; then
    wine=true
    shift
fi
host=$1
work=$2
shift 2

rm -rf "$work"
mkdir -p "$work"
file=$work/photo.jpg
printf 'Quarterly figures\n' >"$file"
if $wine; then
    file="Z:$(printf '%s' "$file" | tr / '\\')"
fi

for step in "$@"; do
    dir=${step%:*}
    name=${step##*:}
    $host --standin-check --define "file=$file" --expect "$dir/$name.expected" "$dir/$name.zek"
done
