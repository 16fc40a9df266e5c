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
shot="$root/build/corvanix-screenshot.png"
show_on_virtual_display "$exe" "$PWD" "$shot" "$@"
echo "$shot"
