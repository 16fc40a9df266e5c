#!/bin/sh
# The README's test command: installs what is missing, checks that every
# include runs down the layers, builds both targets with warnings as
# errors, and runs every test under Wine. Its last lines
# are CTest's summary.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/check-layers.sh"
"$root/scripts/build.sh" -DCORVANIX_WERROR=ON
cd "$root/build/x64"
ctest --output-on-failure -j "${CORVANIX_TEST_JOBS:-2}" "$@"
