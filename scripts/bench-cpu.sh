#!/bin/sh
# Processor time side by side, while the desktop stays still: Wine's
# taskmgr, a bare polling loop (poll_loop.exe, which reads only what a
# refresh pass must read) and Corvanix, each shown over the same fixture
# windows (five per process), each in a fresh prefix on a display of its
# own. For each it counts the manager's process and that prefix's
# wineserver (which answers every call the manager makes) over a fixed
# interval, after a warm-up, and prints the percentages of one core and
# Corvanix's ratios to the other two. Prints figures; asserts nothing.
#
#   bench-cpu.sh [window counts...]      (100 500 by default)
#
# CORVANIX_CPU_SECONDS sets the interval (20 s), CORVANIX_CPU_WARMUP the
# warm-up (10 s). CORVANIX_CPU_SHOTS=dir keeps a screenshot of each run;
# CORVANIX_CPU_PROGRAM measures another build of Corvanix.exe (an earlier
# one, for a before and after).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-env.sh"
bin="$root/build/x64/bin"
seconds=${CORVANIX_CPU_SECONDS:-20}
warmup=${CORVANIX_CPU_WARMUP:-10}
ticks=$(getconf CLK_TCK)

# utime + stime of a process, in clock ticks (0 once it is gone). The
# command name in parentheses may hold blanks: the fields after it count.
process_ticks() {
    sed 's/^.*) //' "/proc/$1/stat" 2>/dev/null | awk '{print $12 + $13}' || echo 0
}

# The wineserver of the prefix given, found by the prefix in its
# environment (it is started by the prefix's first program and inherits it).
server_of_prefix() {
    for proc in /proc/[0-9]*; do
        case $(readlink "$proc/exe" 2>/dev/null) in
        *wineserver*)
            if tr '\0' '\n' <"$proc/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$1"; then
                echo "${proc#/proc/}"
                return
            fi ;;
        esac
    done
}

RUN_DIR=
cleanup_run() {
    if [ -n "$RUN_DIR" ]; then
        WINEPREFIX="$RUN_DIR/prefix" wineserver -k >/dev/null 2>&1 || true
        WINEPREFIX="$RUN_DIR/prefix" wineserver -w >/dev/null 2>&1 || true
        stop_private_display
        rm -rf "$RUN_DIR"
        RUN_DIR=
    fi
}
trap cleanup_run EXIT
trap 'exit 130' INT TERM

# measure NAME WINDOWS program [arguments...]: prints the percentage.
measure() {
    name=$1; windows=$2
    shift 2
    # Each measure runs in a subshell of its own, which keeps no trap.
    trap cleanup_run EXIT
    trap 'exit 130' INT TERM
    RUN_DIR=$(mktemp -d "${TMPDIR:-/tmp}/corvanix-cpu.XXXXXX")
    export WINEPREFIX="$RUN_DIR/prefix"
    XVFB_PID=
    make_private_prefix "$WINEPREFIX" || return 1
    # Every thread of a Wine process that draws has a connection of its
    # own: a hundred programs take more than the display's 256 by default.
    start_private_display -maxclients 2048 || return 1
    processes=$((windows / 5))
    # In batches of ten, each waited for: a hundred Wine programs started
    # at one moment can take minutes to come up.
    i=0
    while [ $i -lt "$processes" ]; do
        n=$((i * 5))
        "$WINE_LOADER" "$bin/fixture.exe" --log "$(winepath_of "$RUN_DIR/f$i.log")" \
            --window "Bench $n" --rect 10 10 120 60 --window "Bench $((n + 1))" --rect 20 20 120 60 \
            --window "Bench $((n + 2))" --rect 30 30 120 60 --window "Bench $((n + 3))" --rect 40 40 120 60 \
            --window "Bench $((n + 4))" --rect 50 50 120 60 >/dev/null 2>&1 &
        i=$((i + 1))
        if [ $((i % 10)) -eq 0 ] || [ $i -eq "$processes" ]; then
            waited=0
            while [ "$(cat "$RUN_DIR"/f*.log 2>/dev/null | grep -c '^READY')" -lt $i ]; do
                sleep 0.5
                waited=$((waited + 1))
                if [ $waited -gt 240 ]; then
                    echo "bench-cpu: the fixtures did not start" >&2
                    return 1
                fi
            done
        fi
    done
    if [ -n "${MEASURE_VIEW:-}" ]; then
        "$WINE_LOADER" reg add 'HKCU\Software\Zarn\Corvanix' /v View /t REG_DWORD \
            /d "$MEASURE_VIEW" /f >/dev/null 2>&1
    fi
    # Named by its path, taskmgr runs in the process started here; by its
    # name alone, start.exe would start it as another.
    [ "$1" != taskmgr ] || set -- "$WINEPREFIX/drive_c/windows/system32/taskmgr.exe"
    "$WINE_LOADER" "$@" >/dev/null 2>&1 &
    manager=$!
    sleep "$warmup"
    server=$(server_of_prefix "$WINEPREFIX")
    before=$(( $(process_ticks "$manager") + $(process_ticks "$server") ))
    sleep "$seconds"
    after=$(( $(process_ticks "$manager") + $(process_ticks "$server") ))
    if [ -n "${CORVANIX_CPU_SHOTS:-}" ]; then
        mkdir -p "$CORVANIX_CPU_SHOTS"
        import -window root "$CORVANIX_CPU_SHOTS/cpu-$name-$windows.png" 2>/dev/null || true
    fi
    cleanup_run
    echo $(( (after - before) * 1000 / ticks / seconds ))
}

# Tenths of a percent as a percentage, and a ratio of two of them.
percent() { echo "$1" | awk '{printf "%.1f %%", $1 / 10}'; }
ratio() { echo "$1 $2" | awk '{ if ($2 > 0) printf "%.2f", $1 / $2; else print "-" }'; }

[ $# -gt 0 ] || set -- 100 500
program=${CORVANIX_CPU_PROGRAM:-$bin/Corvanix.exe}
echo "Processor time while nothing changes (one core = 100 %, ${seconds} s after ${warmup} s,"
echo "the manager's process plus its prefix's wineserver):"
for windows in "$@"; do
    taskmgr=$(measure taskmgr "$windows" taskmgr)
    poll=$(measure poll "$windows" "$bin/poll_loop.exe")
    corvanix=$(measure corvanix "$windows" "$program")
    # The details view, whose processor times tick in the rows in sight.
    details=$(MEASURE_VIEW=3 measure details "$windows" "$program")
    printf '  %d windows in %d processes: taskmgr %s, polling loop %s,\n' \
        "$windows" $((windows / 5)) "$(percent "$taskmgr")" "$(percent "$poll")"
    printf '    Corvanix %s (in the details view %s)\n' "$(percent "$corvanix")" "$(percent "$details")"
    printf '    Corvanix : polling loop = %s (details %s)    Corvanix : taskmgr = %s (details %s)\n' \
        "$(ratio "$corvanix" "$poll")" "$(ratio "$details" "$poll")" \
        "$(ratio "$corvanix" "$taskmgr")" "$(ratio "$details" "$taskmgr")"
done
