#!/bin/sh
# Replays every transcript block of the documents script authors read, as doctest does: each
# fenced block whose first line starts with "> " runs through the reference host in a process
# of its own, and its output must be the block itself. A mismatch names the document's line.
#   replay.sh [--wine] ZEKHOST WORK_DIR DOCUMENT ...
# The line before a block may mark it: <!-- replay: setup --> (its calls run before every later
# block of the document), <!-- replay: user --> (needs an ordinary user: root reads any file),
# <!-- replay: unbound --> (the property system missing: only Wine can take it away),
# <!-- replay: skip REASON -->. Every block sees the variables photo (a fresh JPEG file), notes
# (a .txt file), folder (their folder) and locked (a photo nobody may read).
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
failed=0
path() { if $wine; then printf 'Z:%s' "$1" | tr / '\\'; else printf '%s' "$1"; fi; }
for doc in "$@"; do
    name=$(basename "$doc")
    out=$work/${name%.md}
    mkdir -p "$out"
    awk -v out="$out" '
        function emit(  i, z, e, l) {
            calls = 0; z = e = l = ""
            if (mark != "unbound") { z = setupZ; e = setupE; l = setupL }
            for (i = 1; i <= n; i++) {
                e = e lines[i] "\n"; l = l at[i] "\n"
                if (lines[i] ~ /^> /) { z = z substr(lines[i], 3) "\n"; if (lines[i] !~ /^> @/) calls++ }
            }
            printf "%s", z > (out "/" start ".zek"); printf "%s", e > (out "/" start ".expected")
            printf "%s", l > (out "/" start ".lines")
            print start, calls, mark > (out "/blocks")
            if (mark == "setup") { setupZ = z; setupE = e; setupL = l }
        }
        /^```/ && !fence { fence = 1; start = NR + 1; n = 0; next }
        /^```/ { fence = 0; if (n > 0 && lines[1] ~ /^> /) emit(); mark = ""; next }
        fence { lines[++n] = $0; at[n] = NR; next }
        /^<!-- replay: .* -->$/ { mark = substr($0, 14, length($0) - 17); next }
        { mark = "" }' "$doc"
    [ -f "$out/blocks" ] || continue
    replayed=0 skipped=0 calls=0 differ=0
    while read -r line count mark; do
        calls=$((calls + count))
        reason=
        case $mark in
        user) [ "$(id -u)" != 0 ] || reason="root may read every file" ;;
        unbound) $wine || reason="only Wine can take the property system away" ;;
        skip*) reason=${mark#skip } ;;
        esac
        if [ -n "$reason" ]; then
            echo "$doc:$line: skipped: $reason"
            skipped=$((skipped + 1))
            continue
        fi
        files=$out/$line.files
        rm -rf "$files" && mkdir -p "$files/folder"
        printf 'Quarterly figures\n' >"$files/folder/photo.jpg"
        printf 'Quarterly figures\n' >"$files/folder/notes.txt"
        printf 'Quarterly figures\n' >"$files/folder/locked.jpg"
        chmod 000 "$files/folder/locked.jpg"
        environment=
        [ "$mark" != unbound ] || environment=WINEDLLOVERRIDES=propsys=
        # shellcheck disable=SC2086 # the host command is split into words
        if env $environment $host --standin-check --expect "$out/$line.expected" \
            --define "photo=$(path "$files/folder/photo.jpg")" \
            --define "notes=$(path "$files/folder/notes.txt")" \
            --define "folder=$(path "$files/folder")" \
            --define "locked=$(path "$files/folder/locked.jpg")" \
            "$out/$line.zek" >"$out/$line.actual" 2>"$out/$line.report"; then
            replayed=$((replayed + 1))
        else
            # The host names the transcript's line; the map gives the document's (past the end
            # of a block: its last line).
            at=$(sed -n 's/.* at line \([0-9]*\).*/\1/p' "$out/$line.report")
            where=$line
            [ -z "$at" ] || where=$(sed -n "${at}p" "$out/$line.lines")
            [ -n "$where" ] || where=$(tail -n 1 "$out/$line.lines")
            echo "$doc:$where: the transcript differs"
            sed "/ at line [0-9]/d" "$out/$line.report"
            failed=1 differ=$((differ + 1))
        fi
    done <"$out/blocks"
    echo "$doc: $((replayed + skipped + differ)) blocks, $calls calls: $replayed replayed," \
        "$skipped skipped, $differ differ"
done
exit $failed
