#!/usr/bin/env bash
# Holds the includes of the extender's folders against their order in layers.txt: a quoted
# #include may name a file of the including file's own layer or of a layer listed below it.
# Prints every include that runs upwards (or out of the listed folders) and fails if there is
# one. With --arrows it prints instead each pair of layers that an include joins, and how many
# includes join them.
#   scripts/check-layers.sh [--arrows] [SOURCE_DIR]
set -euo pipefail
mode=check
if [ "${1:-}" = --arrows ]; then
    mode=arrows
    shift
fi
cd "${1:-$(dirname "$0")/..}"

layers=$(sed -e 's/#.*//' -e 's/[[:space:]]*$//' layers.txt | grep -v '^$')
# Top-level folders, to tell an include written from the source root from one written
# relative to the including file.
folders=$(find . -mindepth 1 -maxdepth 1 -type d -printf '%f\n')

# shellcheck disable=SC2086 # one folder per word
find $(printf '%s\n' $layers | cut -d/ -f1 | sort -u) -type f \
    \( -name '*.h' -o -name '*.cpp' -o -name '*.c' -o -name '*.rc' \) -print0 |
    sort -z | xargs -0 grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' |
    awk -v mode="$mode" -v layerList="$layers" -v folderList="$folders" '
        BEGIN {
            count = split(layerList, layer, "\n")
            for (i = 1; i <= count; ++i) rank[layer[i]] = i
            split(folderList, folder, "\n")
            for (i in folder) topLevel[folder[i]] = 1
        }
        # The listed layer a path lies in: the longest listed folder around it, or "".
        function layerOf(path,    i, best) {
            best = ""
            for (i = 1; i <= count; ++i) {
                if (index(path, layer[i] "/") == 1 && length(layer[i]) > length(best)) best = layer[i]
            }
            return best
        }
        {
            file = $0; sub(/:.*/, "", file)
            line = $0; sub(/^[^:]*:/, "", line); sub(/:.*/, "", line)
            target = $0; sub(/^[^"]*"/, "", target); sub(/".*/, "", target)
            first = target; sub(/\/.*/, "", first)
            if (!(first in topLevel)) {
                # Relative to the including file.
                directory = file; sub(/\/[^\/]*$/, "", directory)
                target = directory "/" target
            }
            while (sub(/\/\.\//, "/", target)) {}
            while (sub(/[^\/]+\/\.\.\//, "", target)) {}
            from = layerOf(file); to = layerOf(target)
            if (from == "") next # a folder around a listed one, but not listed itself
            if (mode == "arrows") {
                if (to != from) arrows[from " -> " (to == "" ? first "/ (not a layer)" : to)]++
                next
            }
            if (to == "") {
                printf "%s:%s: includes %s, outside the layers of layers.txt\n", file, line, target
                ++wrong
            } else if (rank[to] < rank[from]) {
                printf "%s:%s: includes %s: %s/ is listed above %s/ in layers.txt\n", file, line, target, to, from
                ++wrong
            }
        }
        END {
            if (mode == "arrows") {
                for (arrow in arrows) printf "%s (%d includes)\n", arrow, arrows[arrow]
                exit 0
            }
            exit wrong > 0
        }' | sort
