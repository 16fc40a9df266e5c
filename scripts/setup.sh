#!/bin/sh
# Builds and starts setup.exe from the distributable folder build/x64/dist
# under Wine, the way a user starts it from the folder they copied. On the
# user's display it uses the user's own prefix (WINEPREFIX or ~/.wine), so
# the installation lands there. Without a display it runs setup in a
# private prefix on a virtual display, saves a screenshot of its first
# screen, prints its path and ends everything it started.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
CORVANIX_SKIP_I686=1 "$root/scripts/build.sh"
. "$root/scripts/wine-env.sh"
dist="$root/build/x64/dist"

if [ -n "${DISPLAY:-}" ]; then
    cd "$dist"
    exec "$WINE_LOADER" "$dist/setup.exe"
fi

shot="$root/build/setup-screenshot.png"
show_on_virtual_display "$dist/setup.exe" "$dist" "$shot"
echo "$shot"
