#!/bin/sh
# Fails, with a line naming the file and the include, when a source file
# includes a header of a layer above its own (scripts/layers declares the
# order). Run by the test command.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# folder -> "rank" for the ordered layers, or "only:a b c" for a program
# of its own.
rules=$(awk '
    /^[[:space:]]*(#|$)/ { next }
    /</ {
        split($0, sides, "<")
        n = split(sides[2], allowed, " ")
        list = ""
        for (i = 1; i <= n; i++) list = list " " allowed[i]
        gsub(/[[:space:]]/, "", sides[1])
        print sides[1], "only", list
        next
    }
    { rank++; for (i = 1; i <= NF; i++) print $i, "rank", rank }
' scripts/layers)

status=0
for folder in $(echo "$rules" | awk '{print $1}'); do
    [ -d "$folder" ] || { echo "scripts/layers: folder $folder does not exist"; status=1; continue; }
    files=$(find "$folder" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' -o -name '*.in' \))
    [ -n "$files" ] || continue
    # shellcheck disable=SC2086
    out=$(grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*/' $files | awk -v folder="$folder" -v rules="$rules" '
        BEGIN {
            n = split(rules, lines, "\n")
            for (i = 1; i <= n; i++) {
                split(lines[i], f, " ")
                kind[f[1]] = f[2]
                if (f[2] == "rank") rank[f[1]] = f[3]
                else { only[f[1]] = " " substr(lines[i], index(lines[i], "only") + 5) " " }
            }
        }
        {
            split($0, parts, ":")
            file = parts[1]; line = parts[2]
            inc = $0; sub(/^[^"]*"/, "", inc); sub(/".*$/, "", inc)
            target = inc; sub(/\/.*$/, "", target)
            if (target == folder) next
            bad = ""
            if (!(target in kind)) bad = "a folder that is no layer"
            else if (kind[folder] == "only") {
                if (index(only[folder], " " target " ") == 0) bad = "a folder this program does not stand on"
            } else if (kind[target] == "only") bad = "another program"
            else if (rank[target] > rank[folder]) bad = "a layer above its own"
            else if (rank[target] == rank[folder]) bad = "a folder beside its own"
            if (bad != "") printf "%s:%s: includes \"%s\": %s\n", file, line, inc, bad
        }')
    if [ -n "$out" ]; then
        echo "$out"
        status=1
    fi
done
[ $status -eq 0 ] && echo "layers: every include runs downward"
exit $status
