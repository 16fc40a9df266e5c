#!/bin/sh
# The README's run command: installs what is missing, builds, and starts
# Corvanix under Wine on the user's display. Without a display it starts a
# virtual one, runs Corvanix there, saves a screenshot and prints its path,
# and ends everything it started.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
CORVANIX_SKIP_I686=1 "$root/scripts/build.sh"
. "$root/scripts/wine-env.sh"
exe="$root/build/x64/bin/Corvanix.exe"

if [ -n "${DISPLAY:-}" ]; then
    # The user's own prefix (WINEPREFIX or ~/.wine), the user's display.
    exec "$WINE_LOADER" "$exe" "$@"
fi

# No display: a private prefix and a virtual display, then a screenshot.
run_dir=$(mktemp -d "${TMPDIR:-/tmp}/corvanix-show.XXXXXX")
export WINEPREFIX="$run_dir/prefix"
XVFB_PID=
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    stop_private_display
    rm -rf "$run_dir"
}
trap cleanup EXIT
make_private_prefix "$WINEPREFIX"
start_private_display
"$WINE_LOADER" "$exe" "$@" &
sleep "${CORVANIX_SHOT_DELAY:-6}"
shot="$root/build/corvanix-screenshot.png"
import -window root "$shot"
echo "$shot"
