#!/bin/sh
# CTest's emulator: runs one Windows executable in a private Wine prefix
# (copied from a cached template) on a private virtual display, then ends
# everything it started: the prefix's wineserver and the display, by id.
#
#   wine-run.sh program.exe [arguments...]
#
# CORVANIX_KEEP_PREFIX=1 keeps the prefix for a look afterwards.
# CORVANIX_USE_DISPLAY=1 uses the current $DISPLAY instead of a private one.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"

run_dir=$(mktemp -d "${TMPDIR:-/tmp}/corvanix-run.XXXXXX")
XVFB_PID=
export WINEPREFIX="$run_dir/prefix"

cleanup() {
    WINEPREFIX="$run_dir/prefix" wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX="$run_dir/prefix" wineserver -w >/dev/null 2>&1 || true
    stop_private_display
    if [ "${CORVANIX_KEEP_PREFIX:-0}" = 1 ]; then
        echo "wine-run: prefix kept in $run_dir/prefix" >&2
    else
        rm -rf "$run_dir"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if ! make_private_prefix "$WINEPREFIX"; then
    echo "wine-run: could not make a Wine prefix" >&2
    exit 1
fi

if [ "${CORVANIX_USE_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
    start_private_display || exit 1
fi

exe=$1
shift
"$WINE_LOADER" "$exe" "$@"
status=$?
exit $status
