#!/bin/sh
# Fails, with a line naming the file and what is wrong, when a source file
# includes a header of a layer above its own or beside it, of a program it
# does not stand on, of a folder that is no layer or from outside the tree;
# and when a file lies in a folder scripts/layers does not know, in a
# subfolder of a layer, or is of a kind its folder does not hold. Includes are read in both forms ("..."
# and <...>, the latter when it names a folder of the tree), their paths
# resolved as the compiler does: a quoted one from the including file's
# folder first, then from the top of the tree, `..` taken into account.
# Run by the test command.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

list=$(mktemp)
trap 'rm -f "$list"' EXIT
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    # What git tracks and what it would track: a new file counts at once.
    git ls-files --cached --others --exclude-standard >"$list"
else
    find . -type f ! -path './.git/*' ! -path './build/*' | sed 's|^\./||' >"$list"
fi

awk -v layers=scripts/layers -v list="$list" '
function normalize(path,   n, parts, out, m, i, result) {
    n = split(path, parts, "/")
    m = 0
    for (i = 1; i <= n; i++) {
        if (parts[i] == "" || parts[i] == ".")
            continue
        if (parts[i] == ".." && m > 0 && out[m] != "..") {
            m--
            continue
        }
        out[++m] = parts[i]
    }
    result = ""
    for (i = 1; i <= m; i++)
        result = result (i > 1 ? "/" : "") out[i]
    return result
}
function top(path) {
    return index(path, "/") ? substr(path, 1, index(path, "/") - 1) : ""
}
# The declared folder a file lies in: the longest one that holds it ("."
# holds the files at the top of the tree), "" when none does.
function folder_of(path,   best, f) {
    if (index(path, "/") == 0)
        return ("." in kinds) ? "." : ""
    best = ""
    for (f in kinds)
        if (f != "." && index(path, f "/") == 1 && length(f) > length(best))
            best = f
    return best
}
function holds(folder, name,   n, k, i, base) {
    base = name
    sub(/.*\//, "", base)
    n = split(kinds[folder], k, " ")
    for (i = 1; i <= n; i++)
        if (base == k[i] || (substr(k[i], 1, 1) == "." && length(base) > length(k[i]) &&
                             substr(base, length(base) - length(k[i]) + 1) == k[i]))
            return 1
    return 0
}
function fail(text) {
    print text
    status = 1
}
# Why an include of target from a file of folder is not allowed, "" when
# it is.
function wrong(folder, target) {
    if (target == folder)
        return ""
    if (!(target in kind))
        return "a folder that is no layer"
    if (kind[folder] == "only")
        return index(only[folder], " " target " ") ? "" : "a folder this program does not stand on"
    if (kind[target] == "only")
        return "another program"
    if (rank[target] > rank[folder])
        return "a layer above its own"
    if (rank[target] == rank[folder])
        return "a folder beside its own"
    return ""
}
function check_includes(file,   folder, dir, line, number, inc, quoted, path, target, why) {
    folder = top(file)
    dir = file
    sub(/\/[^\/]*$/, "", dir)
    number = 0
    while ((getline line < file) > 0) {
        number++
        if (line !~ /^[ \t]*#[ \t]*include[ \t]*["<]/)
            continue
        quoted = line ~ /^[ \t]*#[ \t]*include[ \t]*"/
        inc = line
        sub(/^[ \t]*#[ \t]*include[ \t]*["<]/, "", inc)
        sub(/[">].*$/, "", inc)
        path = ""
        if (quoted && ((normalize(dir "/" inc)) in files))
            path = normalize(dir "/" inc)
        else if (quoted || (top(inc) in folders))
            path = normalize(inc)
        if (path == "" || (quoted && index(path, "/") == 0 && !(path in files)))
            continue  # a system header, or one the compiler finds beside the file
        if (path ~ /^\.\.(\/|$)/)
            why = "a path outside the source tree"
        else if (index(path, "/") == 0)
            why = "a folder that is no layer"
        else
            why = wrong(folder, top(path))
        if (why != "")
            fail(sprintf("%s:%d: includes %s: %s", file, number,
                         quoted ? "\"" inc "\"" : "<" inc ">", why))
    }
    close(file)
}
BEGIN {
    status = 0
    while ((getline line < layers) > 0) {
        if (line ~ /^[ \t]*(#|$)/)
            continue
        if (index(line, ":")) {
            name = substr(line, 1, index(line, ":") - 1)
            gsub(/[ \t]/, "", name)
            kinds[name] = substr(line, index(line, ":") + 1)
            continue
        }
        if (index(line, "<")) {
            name = substr(line, 1, index(line, "<") - 1)
            gsub(/[ \t]/, "", name)
            kind[name] = "only"
            only[name] = " " substr(line, index(line, "<") + 1) " "
            gsub(/[ \t]+/, " ", only[name])
            layered[++count] = name
            continue
        }
        ranks++
        n = split(line, names, " ")
        for (i = 1; i <= n; i++) {
            kind[names[i]] = "rank"
            rank[names[i]] = ranks
            layered[++count] = names[i]
        }
    }
    close(layers)
    for (i = 1; i <= count; i++)
        kinds[layered[i]] = kinds["layers"]
    delete kinds["layers"]
    while ((getline file < list) > 0) {
        files[file] = 1
        if (index(file, "/"))
            folders[top(file)] = 1
    }
    close(list)
    for (i = 1; i <= count; i++)
        if (!(layered[i] in folders))
            fail("scripts/layers: folder " layered[i] " does not exist")
    for (file in files) {
        folder = folder_of(file)
        if (folder == "") {
            fail(file ": in a folder that scripts/layers does not know")
            continue
        }
        if ((folder in kind) && split(file, parts, "/") > 2) {
            fail(file ": in a subfolder of a layer, which the build does not compile")
            continue
        }
        if (!holds(folder, file)) {
            fail(file ": a kind of file that " folder "/ does not hold (scripts/layers)")
            continue
        }
        if ((top(file) in kind) && file ~ /\.(h|cpp|rc|h\.in)$/)
            check_includes(file)
    }
    if (status == 0)
        print "layers: every include runs downward, every file in its place"
    exit status
}'
