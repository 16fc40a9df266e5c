#!/bin/sh
# Installs, from Debian's archive, every package the build, the run command
# and the tests need. Safe to run again: it only asks apt for what is missing.
set -eu

PACKAGES="cmake make g++ g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix \
mingw-w64-tools binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 \
wine wine64 fonts-wine fonts-liberation libxcursor1 xvfb xauth x11-utils imagemagick googletest"
# The help file is written by halibut.
PACKAGES="$PACKAGES halibut"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

echo "installing:$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
# wine32 is never wanted: this kernel runs no 32-bit user space.
$SUDO apt-get install -y -q --no-install-recommends $missing
